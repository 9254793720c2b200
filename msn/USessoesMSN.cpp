#include "msn/USessoesMSN.h"

#include "base/Eventos.h"

namespace tazu::msn {

TSessaoMSN::TSessaoMSN(net::Runtime& runtime, TDadosDaConversa dados, TNotificacoes notificacoes)
    : n_(std::move(notificacoes)),
      conversa_(
          std::move(dados), [&runtime] { return runtime.Now(); },
          [this] { return n_.registrando ? n_.registrando() : false; }, bool(n_.fonte)),
      conexao_(runtime) {
  conexao_.aoConectar = [this] {
    conversa_.Conectou();
    Executar();
  };
  conexao_.aoQuadro = [this](const TQuadroMSN& q) {
    conversa_.Quadro(q);
    Executar();
  };
  conexao_.aoFechar = [this] {
    conversa_.Fechou();
    Executar();
  };
  conexao_.aoFalhar = [this](int, const std::string&) {
    conversa_.Fechou();
    Executar();
  };
  conexao_.aoPrazo = [this] {
    conversa_.AoPrazo();
    Executar();
  };
}

TSessaoMSN::~TSessaoMSN() {
  vivo_.End();
}

void TSessaoMSN::Conectar() {
  conversa_.Iniciar();
  Executar();
}

void TSessaoMSN::EnviarMensagem(const std::string& texto) {
  conversa_.EnviarMensagem(texto);
  Executar();
}

void TSessaoMSN::Executar() {
  // A handler may destroy the session (or its client) on the way.
  const bool vivo = executor_.Run(
      vivo_, [this](TConversaMSN::TAcoes& acoes) { conversa_.TomarAcoes(acoes); },
      [this](TAcaoConversa& a) { ExecutarAcao(a); });
  if (vivo) conexao_.ArmarPrazo(conversa_.ProximoPrazo());
}

void TSessaoMSN::ExecutarAcao(TAcaoConversa& a) {
  const auto abrirFalhou = [this] {
    conversa_.AbrirFalhou();
    Executar();
  };
  if (CarrySocketAction(a, conexao_, abrirFalhou)) return;
  if (auto* log = std::get_if<sb::Log>(&a)) {
    Disparar(n_.log, log->recebida, log->texto);
  } else if (auto* numero = std::get_if<sb::RegistrarNumero>(&a)) {
    Disparar(n_.registrarNumero, *this, numero->numero);
  } else if (auto* contato = std::get_if<sb::RegistrarContato>(&a)) {
    Disparar(n_.registrarContato, *this, contato->contato);
  } else if (auto* r = std::get_if<sb::Recebida>(&a)) {
    Disparar(n_.recebida, r->sessao, r->contato, r->apelido, r->texto);
  } else if (auto* c = std::get_if<sb::Confirmada>(&a)) {
    Disparar(n_.confirmada, c->sessao, c->contato);
  } else if (auto* f = std::get_if<sb::Falhou>(&a)) {
    Disparar(n_.falhou, f->sessao, f->contato, f->texto);
  } else if (auto* fonte = std::get_if<sb::Fonte>(&a)) {
    Disparar(n_.fonte, fonte->fonte);
  } else if (std::holds_alternative<sb::Encerrada>(a)) {
    conexao_.Fechar();
    Disparar(n_.encerrada, *this);
  }
}

}  // namespace tazu::msn
