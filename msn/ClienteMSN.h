// One MSN Messenger account kept logged in to the notification server
// (MSNP7), with the switchboard sessions its messages travel through. It
// knows nothing of the rest of the program: the MSN adapter creates it, fills
// its properties and listens to its events.
//
// Pieces: CodecMSN (lines, payloads, digests), NotificacaoMSN (the rules of
// the notification connection, stated at the top of NotificacaoMSN.cpp),
// ConversaMSN and USessoesMSN (one switchboard session each), ConexaoMSN
// (socket, framing and timer), and this object, which runs the rules' actions,
// keeps the sessions and raises the events.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/ActionRunner.h"
#include "base/Lifetime.h"
#include "msn/ConexaoMSN.h"
#include "msn/NotificacaoMSN.h"
#include "msn/USessoesMSN.h"
#include "net/Runtime.h"

namespace tazu::msn {

class TClienteMSN {
 public:
  using TNotifyEvent = std::function<void(TClienteMSN& sender)>;
  using TEventoTexto = std::function<void(TClienteMSN& sender, const std::string& Texto)>;
  using TEventoContato = std::function<void(TClienteMSN& sender, const std::string& Identificador,
                                            const std::string& Apelido, uint8_t Status)>;
  using TEventoIdentificador =
      std::function<void(TClienteMSN& sender, const std::string& Identificador)>;

  explicit TClienteMSN(net::Runtime& runtime);
  ~TClienteMSN();
  TClienteMSN(const TClienteMSN&) = delete;
  TClienteMSN& operator=(const TClienteMSN&) = delete;

  // ---- Properties (read at each Conectar) ----
  std::string Identificador;
  std::string Senha;
  // The own presence as a program status code (read back from the MSN state).
  uint8_t Status() const { return ns_.Status(); }
  // Stores the state for the code and, when logged in, announces it (CHG).
  void MudarStatus(uint8_t status);
  // Where each login starts: the dispatch server.
  void DefinirServidor(const std::string& host, uint16_t porta);
  bool LoggedIn() const { return ns_.Logado(); }
  bool Conectando() const { return ns_.Conectando(); }
  void ApontarConectando(bool* indicador) { ns_.ApontarConectando(indicador); }
  const TNotificacaoMSN& Notificacao() const { return ns_; }

  // The sessions by decimal number and by contact.
  const std::map<std::string, TSessaoMSN*>& SessoesPorNumero() const { return porNumero_; }
  const std::map<std::string, TSessaoMSN*>& SessoesPorContato() const { return porContato_; }

  // ---- Operations ----
  void Conectar(uint8_t status);
  void Desconectar();
  void AdicionarContato(const std::string& id, const std::string& apelido = {});
  void RemoverContato(const std::string& id);
  // Over the contact's session when there is one, else through a new call.
  void EnviarMensagem(const std::string& id, const std::string& texto);

  // ---- Events ----
  TNotifyEvent AoConectar;
  TNotifyEvent AoDesconectar;
  std::function<void(TClienteMSN& sender, uint16_t Erro, const std::string& Descricao)>
      AoFalharConexao;
  TEventoTexto AoLogRecebidas;
  TEventoTexto AoLogEnviadas;
  TEventoContato AoReceberContato;
  std::function<void(TClienteMSN& sender, const std::string& Identificador,
                     const std::string& Apelido)>
      AoReceberBloqueado;
  TEventoContato AoMudarStatusContato;
  std::function<void(TClienteMSN& sender, uint32_t Sessao, const std::string& Identificador,
                     const std::string& Apelido, const std::string& Mensagem)>
      AoReceberMensagem;
  TEventoIdentificador AoAdicionarComSucesso;
  TEventoIdentificador AoErroAdicionando;
  TEventoIdentificador AoErroDeEnvio;  // declared for its users; nothing raises it
  std::function<void(TClienteMSN& sender, uint32_t Sessao, const std::string& Identificador)>
      AoConfirmarEnvio;
  std::function<void(TClienteMSN& sender, uint32_t Sessao, const std::string& Identificador,
                     const std::string& Mensagem)>
      AoFalharEnvio;

 private:
  void Executar();
  void ExecutarAcao(TAcaoNotificacao& a);
  void IniciarSessao(const ns::Sessao& s);
  TSessaoMSN::TNotificacoes NotificacoesDaSessao();
  void Esquecer(TSessaoMSN& sessao);

  net::Runtime& runtime_;
  TNotificacaoMSN ns_;
  TConexaoMSN conexao_;
  std::vector<std::unique_ptr<TSessaoMSN>> sessoes_;
  std::map<std::string, TSessaoMSN*> porNumero_;
  std::map<std::string, TSessaoMSN*> porContato_;
  ActionRunner<TAcaoNotificacao> executor_;
  Lifetime vivo_;
};

}  // namespace tazu::msn
