// One client connection: its line reader, its scrambler, where it stands in
// the login, and what waits to be sent to it. The rules of the states are at
// the top of Sessao.cpp.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/Lifetime.h"
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
  // Alive while the session object is; callbacks of slow work hold it.
  Lifetime::Guard Vida() const { return vida_.Watch(); }

  TEstado estado = TEstado::Novo;
  TCriptografia cripto;
  Niu niu = 0;          // the identified (then logged-in) user
  std::string apelido;  // plain text
  uint8_t status = 1;   // chosen status; Invisível included
  bool cadastrando = false;
  int cadastros = 0;
  int erros = 0;
  net::TimePoint aceitaEm;
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
  void Processar(std::string_view bruta);
  // Keeps a line for when the session goes on; false when too much waits.
  bool Adiar(std::string_view bruta);
  // Handles the lines that waited, until they end or it must wait again.
  void Retomar();
  void AoExcesso();
  std::size_t BytesNaFila() const { return saida_.size() + socket_->BytesQueued(); }

  TServidor& servidor_;
  uint64_t id_;
  std::unique_ptr<net::TcpSocket> socket_;
  std::string endereco_;
  uint16_t porta_ = 0;
  TLeitorDeLinhas leitor_;
  std::string saida_;      // prepared bytes not yet handed to the socket
  uint64_t enviados_ = 0;  // bytes handed to the socket so far
  // What the connection carries that the server must not lose: where its
  // bytes end (counted like enviados_) and what it is. Kept until the peer's
  // TCP acknowledges those bytes, oldest first.
  struct TEntrega {
    uint64_t fim = 0;
    bool mensagem = true;  // a message; otherwise a kept event
    int64_t id = 0;
    bool guardada = true;  // its row is in the store
    // A message without a row: what storing it needs, and the sweep it came in.
    Niu de = 0;
    std::string texto;
    int64_t quando = 0;
    uint64_t varredura = 0;

    static TEntrega Guardada(uint64_t fim, bool mensagem, int64_t id) {
      TEntrega e;
      e.fim = fim;
      e.mensagem = mensagem;
      e.id = id;
      return e;
    }
  };
  std::deque<TEntrega> entregas_;
  bool suja_ = false;
  bool fecharAposEnvio_ = false;
  bool fechada_ = false;
  std::string motivo_;
  // Commands wait while the output is past its bound or the turn's searches
  // are used up; the lines received meanwhile, still raw.
  bool pausada_ = false;
  // (A vector read from `proximaAdiada_`: an idle connection, the common
  // case, then holds no memory for it.)
  std::vector<std::string> adiadas_;
  std::size_t proximaAdiada_ = 0;
  std::size_t bytesAdiados_ = 0;
  uint64_t turnoDasBuscas_ = 0;
  int buscasNoTurno_ = 0;
  // The unit of work that last queued output here, and where that output began.
  uint64_t unidade_ = 0;
  std::size_t marcaDaSaida_ = 0;
  Lifetime vida_;
};

}  // namespace tazu::tazud
