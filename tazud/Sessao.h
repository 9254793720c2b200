// One client connection: its line reader, its scrambler, where it stands in
// the login, and what waits to be sent to it. The rules of the states are at
// the top of Sessao.cpp.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_set>

#include "core/ProtocoloTazu.h"
#include "core/UCriptografia.h"
#include "net/Runtime.h"
#include "tazud/Banco.h"

namespace tazu::tazud {

class TServidor;

enum class TEstado {
  Novo,          // may identify (CVER) or register (CCUS)
  Identificado,  // RVER sent: waits for the password (CCON)
  Conferindo,    // the password is being checked
  Conectado,     // logged in
  Encerrando,    // closes once its output is sent; reads nothing more
};

class TSessao {
 public:
  TSessao(TServidor& servidor, uint64_t id, std::unique_ptr<net::TcpSocket> socket);
  ~TSessao();

  uint64_t Id() const { return id_; }
  const std::string& Endereco() const { return endereco_; }
  std::string Nome() const;  // for the log: #id address[:port] [NIU]
  bool Fechada() const { return fechada_; }
  // Alive while the session object is; callbacks of slow work hold it weakly.
  std::weak_ptr<bool> Vida() const { return vida_; }

  TEstado estado = TEstado::Novo;
  TCriptografia cripto;
  Niu niu = 0;          // the identified (then logged-in) user
  std::string apelido;  // plain text
  uint8_t status = 1;   // chosen status; Invisível included
  bool cadastrando = false;
  int erros = 0;
  net::TimePoint ultimaAtividade;
  bool sondada = false;  // SBFF sent, no line since
  // Users who sent this session a message: it may ask for their entry (CCCT).
  std::unordered_set<Niu> remetentes;
  // Offline messages still to hand over, after this id.
  bool maisMensagens = false;
  int64_t ultimaMensagem = 0;

 private:
  friend class TServidor;
  bool AoLinha(std::string_view bruta);
  void AoExcesso();
  std::size_t BytesNaFila() const;
  // Of enviados_, how many the kernel has taken: they reach the client even
  // if the server dies now.
  uint64_t BytesNoKernel() const;

  TServidor& servidor_;
  uint64_t id_;
  std::unique_ptr<net::TcpSocket> socket_;
  std::string endereco_;
  uint16_t porta_ = 0;
  TLeitorDeLinhas leitor_;
  std::string saida_;      // prepared bytes not yet handed to the socket
  uint64_t enviados_ = 0;  // bytes handed to the socket so far
  // Stored items in the output: where their bytes end (counted like
  // enviados_), and what they are (message or event, id).
  struct TEntrega {
    uint64_t fim;
    bool mensagem;
    int64_t id;
  };
  std::deque<TEntrega> entregas_;
  bool suja_ = false;
  bool fecharAposEnvio_ = false;
  bool fechada_ = false;
  std::string motivo_;
  std::shared_ptr<bool> vida_ = std::make_shared<bool>(true);
};

}  // namespace tazu::tazud
