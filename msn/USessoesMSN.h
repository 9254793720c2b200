// A switchboard session: one conversation over its own connection, created
// by the MSN client for its own call or for an invitation. It runs its rules
// (ConversaMSN) and reports to the client, which keeps it in its registries
// and frees it (later, on the main loop) once it is over.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/ActionRunner.h"
#include "base/Lifetime.h"
#include "msn/ConexaoMSN.h"
#include "msn/ConversaMSN.h"
#include "net/Runtime.h"

namespace tazu::msn {

class TSessaoMSN {
 public:
  // What a session tells its client; set at creation.
  struct TNotificacoes {
    std::function<void(bool recebida, const std::string& texto)> log;
    std::function<bool()> registrando;  // whether anyone wants the log lines
    std::function<void(TSessaoMSN& sessao, uint32_t numero)> registrarNumero;
    std::function<void(TSessaoMSN& sessao, const std::string& contato)> registrarContato;
    std::function<void(uint32_t sessao, const std::string& contato, const std::string& apelido,
                       const std::string& texto)>
        recebida;
    std::function<void(uint32_t sessao, const std::string& contato)> confirmada;
    std::function<void(uint32_t sessao, const std::string& contato, const std::string& texto)>
        falhou;
    std::function<void(const TFonteMSN& fonte)> fonte;  // optional
    // The session is over: forget it (it may be freed once this returns).
    std::function<void(TSessaoMSN& sessao)> encerrada;
  };

  TSessaoMSN(net::Runtime& runtime, TDadosDaConversa dados, TNotificacoes notificacoes);
  ~TSessaoMSN();
  TSessaoMSN(const TSessaoMSN&) = delete;
  TSessaoMSN& operator=(const TSessaoMSN&) = delete;

  void Conectar();
  void EnviarMensagem(const std::string& texto);

  uint32_t Numero() const { return conversa_.Numero(); }
  const std::string& Contato() const { return conversa_.Contato(); }
  const std::string& ApelidoDoContato() const { return conversa_.ApelidoDoContato(); }

 private:
  void Executar();
  void ExecutarAcao(TAcaoConversa& a);

  TNotificacoes n_;
  TConversaMSN conversa_;
  TConexaoMSN conexao_;
  ActionRunner<TAcaoConversa> executor_;
  Lifetime vivo_;
};

}  // namespace tazu::msn
