// One Yahoo account's connection to the Yahoo login server, as the adapter
// sees it: requests in, events out. Inside, three pieces: CodecYahoo (packets
// as values), SessaoYahoo (the rules, stated at the top of SessaoYahoo.cpp)
// and ConexaoYahoo (socket and timer); this object runs the session's
// actions in order and raises the events. An event handler may call the
// client again; what that call produces is carried out before the rest of
// the batch that raised the event, as if the handler had acted in place.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/ActionRunner.h"
#include "base/Lifetime.h"
#include "net/Runtime.h"
#include "yahoo/ConexaoYahoo.h"
#include "yahoo/SessaoYahoo.h"

namespace tazu::yahoo {

class TClienteYahoo : public TEstadoYahoo {
 public:
  using TNotifyEvent = std::function<void(TClienteYahoo& sender)>;

  explicit TClienteYahoo(net::Runtime& runtime);
  ~TClienteYahoo();
  TClienteYahoo(const TClienteYahoo&) = delete;
  TClienteYahoo& operator=(const TClienteYahoo&) = delete;

  // The published properties (Usuario, Nome, Senha, Status, Servidor, Porta)
  // and the login state (LoggedIn, Tentando, SessionID, Contatos) are
  // TEstadoYahoo's.

  // ---- Events ----
  TNotifyEvent AoConectar;
  TNotifyEvent AoDesconectar;
  std::function<void(TClienteYahoo& sender, uint32_t LoginStatus, const std::string& URL)>
      AoFalharConexao;
  std::function<void(TClienteYahoo& sender, const std::string& Texto)> AoLogRecebidas;
  std::function<void(TClienteYahoo& sender, const std::string& Group, const std::string& UserID,
                     uint32_t YahooStatus, bool Away, const std::string& Msg)>
      AoReceberContato;
  std::function<void(TClienteYahoo& sender, const std::string& UserID, int32_t Status, bool Away,
                     const std::string& Msg)>
      AoMudarStatusContato;
  std::function<void(TClienteYahoo& sender, int Number, const std::string& Error)> OnYahooError;
  std::function<void(TClienteYahoo& sender, const std::string& UserID, const std::string& Msg,
                     int32_t TimeStamp, bool UTF8)>
      OnUserMessage;
  std::function<void(TClienteYahoo& sender, const std::string& Msg)> OnSystemMessage;
  std::function<void(TClienteYahoo& sender, const std::string& UserID, const std::string& Msg)>
      OnContactRejected;
  std::function<void(TClienteYahoo& sender, const std::string& UserID)> OnContactNotFound;

  // ---- Requests ----
  // `status` is the program's status code; 3 does nothing.
  void Conectar(int32_t status);
  void EnviarMensagem(const std::string& destinatario, const std::string& texto);
  void MudarStatus(uint32_t codigo, bool ausente, const std::string& mensagem);
  void AdicionarContato(const std::string& id, const std::string& grupo);
  void RemoverContato(const std::string& id);
  void Desconectar();

 private:
  void Executar();
  void ExecutarAcao(TAcaoYahoo& a);
  void Evento(TAcaoYahoo& a);

  TSessaoYahoo sessao_;
  TConexaoYahoo conexao_;
  ActionRunner<TAcaoYahoo> executor_;
  Lifetime vivo_;
};

}  // namespace tazu::yahoo
