#include "yahoo/ClienteYahoo.h"

#include "base/Eventos.h"

namespace tazu::yahoo {

TClienteYahoo::TClienteYahoo(net::Runtime& runtime)
    : sessao_(
          *this, [&runtime] { return runtime.Now(); }, [this] { return bool(AoLogRecebidas); }),
      conexao_(runtime) {
  conexao_.aoConectar = [this] {
    sessao_.Conectou();
    Executar();
  };
  conexao_.aoPacote = [this](std::string_view pacote) {
    sessao_.PacoteRecebido(pacote);
    Executar();
  };
  conexao_.aoEnquadramentoInvalido = [this] {
    sessao_.EnquadramentoInvalido();
    Executar();
  };
  conexao_.aoFechar = [this] {
    sessao_.Fechou();
    Executar();
  };
  conexao_.aoFalhar = [this](net::SocketError erro) {
    sessao_.Falhou(erro);
    Executar();
  };
  conexao_.aoPrazo = [this] {
    sessao_.AoPrazo();
    Executar();
  };
}

TClienteYahoo::~TClienteYahoo() {
  vivo_.End();
}

void TClienteYahoo::Conectar(int32_t status) {
  sessao_.Conectar(status);
  Executar();
}

void TClienteYahoo::EnviarMensagem(const std::string& destinatario, const std::string& texto) {
  sessao_.EnviarMensagem(destinatario, texto);
  Executar();
}

void TClienteYahoo::MudarStatus(uint32_t codigo, bool ausente, const std::string& mensagem) {
  sessao_.MudarStatus(codigo, ausente, mensagem);
  Executar();
}

void TClienteYahoo::AdicionarContato(const std::string& id, const std::string& grupo) {
  sessao_.AdicionarContato(id, grupo);
  Executar();
}

void TClienteYahoo::RemoverContato(const std::string& id) {
  sessao_.RemoverContato(id);
  Executar();
}

void TClienteYahoo::Desconectar() {
  sessao_.Desconectar();
  Executar();
}

void TClienteYahoo::Executar() {
  const bool vivo = executor_.Run(
      vivo_, [this](TSessaoYahoo::TAcoes& acoes) { sessao_.TomarAcoes(acoes); },
      [this](TAcaoYahoo& a) { ExecutarAcao(a); });
  if (vivo) conexao_.ArmarPrazo(sessao_.ProximoPrazo());
}

void TClienteYahoo::ExecutarAcao(TAcaoYahoo& a) {
  const auto abrirFalhou = [this] {
    sessao_.AbrirFalhou();
    Executar();
  };
  if (CarrySocketAction(a, conexao_, abrirFalhou)) return;
  Evento(a);
}

void TClienteYahoo::Evento(TAcaoYahoo& a) {
  if (std::holds_alternative<acao::Conectou>(a)) {
    Disparar(AoConectar, *this);
  } else if (std::holds_alternative<acao::Desconectou>(a)) {
    Disparar(AoDesconectar, *this);
  } else if (auto* f = std::get_if<acao::FalhaConexao>(&a)) {
    Disparar(AoFalharConexao, *this, f->codigo, f->url);
  } else if (auto* log = std::get_if<acao::Log>(&a)) {
    Disparar(AoLogRecebidas, *this, log->texto);
  } else if (auto* c = std::get_if<acao::Contato>(&a)) {
    Disparar(AoReceberContato, *this, c->grupo, c->id, c->status, c->ausente, c->mensagem);
  } else if (auto* s = std::get_if<acao::StatusContato>(&a)) {
    Disparar(AoMudarStatusContato, *this, s->id, s->status, s->ausente, s->mensagem);
  } else if (auto* erro = std::get_if<acao::ErroYahoo>(&a)) {
    Disparar(OnYahooError, *this, 0, erro->texto);
  } else if (auto* m = std::get_if<acao::Mensagem>(&a)) {
    Disparar(OnUserMessage, *this, m->id, m->texto, m->hora, m->utf8);
  } else if (auto* sis = std::get_if<acao::MensagemDoSistema>(&a)) {
    Disparar(OnSystemMessage, *this, sis->texto);
  } else if (auto* r = std::get_if<acao::ContatoRecusado>(&a)) {
    Disparar(OnContactRejected, *this, r->id, r->mensagem);
  } else if (auto* n = std::get_if<acao::ContatoNaoEncontrado>(&a)) {
    Disparar(OnContactNotFound, *this, n->id);
  }
}

}  // namespace tazu::yahoo
