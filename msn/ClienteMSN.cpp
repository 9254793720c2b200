// The client runs its notification rules: operations and connection reports
// go in, and the actions that come out are carried out in order — bytes and
// closes on the connection, sessions started, events raised. An event
// handler may call the client again; what that call produces is carried out
// before the rest of the batch, as if the handler had acted in place.
#include "msn/ClienteMSN.h"

#include <algorithm>

#include "base/Eventos.h"

namespace tazu::msn {

TClienteMSN::TClienteMSN(net::Runtime& runtime)
    : runtime_(runtime),
      ns_([&runtime] { return runtime.Now(); },
          [this] { return bool(AoLogRecebidas) || bool(AoLogEnviadas); }),
      conexao_(runtime) {
  conexao_.aoConectar = [this] {
    ns_.Conectou();
    Executar();
  };
  conexao_.aoQuadro = [this](const TQuadroMSN& q) {
    ns_.Quadro(q);
    Executar();
  };
  conexao_.aoFechar = [this] {
    ns_.Fechou();
    Executar();
  };
  conexao_.aoFalhar = [this](int erro, const std::string& mensagem) {
    ns_.Falhou(erro, mensagem);
    Executar();
  };
  conexao_.aoPrazo = [this] {
    ns_.AoPrazo();
    Executar();
  };
}

TClienteMSN::~TClienteMSN() {
  vivo_.End();
  // Gone without Desconectar (the program ending): still sign out politely,
  // so contacts see us leave at once rather than when the server notices.
  if (ns_.Logado()) conexao_.Enviar(MontarComando("OUT", std::nullopt));
  porNumero_.clear();
  porContato_.clear();
  sessoes_.clear();
}

void TClienteMSN::Executar() {
  const bool vivo = executor_.Run(
      vivo_, [this](TNotificacaoMSN::TAcoes& acoes) { ns_.TomarAcoes(acoes); },
      [this](TAcaoNotificacao& a) { ExecutarAcao(a); });
  if (vivo) conexao_.ArmarPrazo(ns_.ProximoPrazo());
}

void TClienteMSN::ExecutarAcao(TAcaoNotificacao& a) {
  const auto abrirFalhou = [this] {
    ns_.AbrirFalhou(CodigoDeErro(net::SocketError::HostNotFound));
    Executar();
  };
  if (CarrySocketAction(a, conexao_, abrirFalhou)) return;
  if (std::holds_alternative<ns::Conectado>(a)) {
    Disparar(AoConectar, *this);
  } else if (std::holds_alternative<ns::Desconectado>(a)) {
    Disparar(AoDesconectar, *this);
  } else if (auto* f = std::get_if<ns::FalhaConexao>(&a)) {
    Disparar(AoFalharConexao, *this, static_cast<uint16_t>(f->erro), f->texto);
  } else if (auto* log = std::get_if<ns::Log>(&a)) {
    Disparar(log->recebida ? AoLogRecebidas : AoLogEnviadas, *this, log->texto);
  } else if (auto* c = std::get_if<ns::Contato>(&a)) {
    Disparar(AoReceberContato, *this, c->id, c->apelido, c->status);
  } else if (auto* b = std::get_if<ns::Bloqueado>(&a)) {
    Disparar(AoReceberBloqueado, *this, b->id, b->apelido);
  } else if (auto* p = std::get_if<ns::Presenca>(&a)) {
    Disparar(AoMudarStatusContato, *this, p->id, p->apelido, p->status);
  } else if (auto* ad = std::get_if<ns::Adicionado>(&a)) {
    Disparar(AoAdicionarComSucesso, *this, ad->id);
  } else if (auto* e = std::get_if<ns::ErroAdicionando>(&a)) {
    Disparar(AoErroAdicionando, *this, e->id);
  } else if (auto* s = std::get_if<ns::Sessao>(&a)) {
    IniciarSessao(*s);
  } else if (auto* fe = std::get_if<ns::FalhaEnvio>(&a)) {
    Disparar(AoFalharEnvio, *this, 0u, fe->id, fe->mensagem);
  }
}

// ---- Operations ----

void TClienteMSN::MudarStatus(uint8_t status) {
  ns_.MudarStatus(status);
  Executar();
}

void TClienteMSN::DefinirServidor(const std::string& host, uint16_t porta) {
  ns_.HostPadrao = host;
  ns_.PortaPadrao = porta;
}

void TClienteMSN::Conectar(uint8_t status) {
  ns_.Identificador = Identificador;
  ns_.Senha = Senha;
  ns_.Conectar(status);
  Executar();
}

void TClienteMSN::Desconectar() {
  ns_.Desconectar();
  Executar();
}

void TClienteMSN::AdicionarContato(const std::string& id, const std::string& apelido) {
  ns_.AdicionarContato(id, apelido);
  Executar();
}

void TClienteMSN::RemoverContato(const std::string& id) {
  ns_.RemoverContato(id);
  Executar();
}

void TClienteMSN::EnviarMensagem(const std::string& id, const std::string& texto) {
  const auto it = porContato_.find(id);
  if (it != porContato_.end()) {
    it->second->EnviarMensagem(texto);
    return;
  }
  ns_.PedirSessao(id, texto);
  Executar();
}

// ---- Switchboard sessions ----

void TClienteMSN::IniciarSessao(const ns::Sessao& s) {
  if (s.numero != 0 && porNumero_.count(std::to_string(s.numero))) return;  // already there
  TDadosDaConversa d;
  d.login = ns_.Identificador;  // the login in force, not a later edit
  d.numero = s.numero;
  d.endereco = s.endereco;
  d.cookie = s.cookie;
  d.contato = s.contato;
  d.apelido = s.apelido;
  d.pendente = s.mensagem;
  sessoes_.push_back(std::make_unique<TSessaoMSN>(runtime_, std::move(d), NotificacoesDaSessao()));
  sessoes_.back()->Conectar();
}

TSessaoMSN::TNotificacoes TClienteMSN::NotificacoesDaSessao() {
  TSessaoMSN::TNotificacoes n;
  n.registrando = [this] { return bool(AoLogRecebidas) || bool(AoLogEnviadas); };
  n.log = [this](bool recebida, const std::string& texto) {
    Disparar(recebida ? AoLogRecebidas : AoLogEnviadas, *this, texto);
  };
  n.registrarNumero = [this](TSessaoMSN& s, uint32_t numero) {
    porNumero_[std::to_string(numero)] = &s;
  };
  n.registrarContato = [this](TSessaoMSN& s, const std::string& contato) {
    porContato_[contato] = &s;
  };
  n.recebida = [this](uint32_t sessao, const std::string& contato, const std::string& apelido,
                      const std::string& texto) {
    Disparar(AoReceberMensagem, *this, sessao, contato, apelido, texto);
  };
  n.confirmada = [this](uint32_t sessao, const std::string& contato) {
    Disparar(AoConfirmarEnvio, *this, sessao, contato);
  };
  n.falhou = [this](uint32_t sessao, const std::string& contato, const std::string& texto) {
    Disparar(AoFalharEnvio, *this, sessao, contato, texto);
  };
  n.encerrada = [this](TSessaoMSN& s) { Esquecer(s); };
  return n;
}

// The session is over: out of the registries now, freed once none of its own
// code is running any more.
void TClienteMSN::Esquecer(TSessaoMSN& sessao) {
  std::erase_if(porNumero_, [&](const auto& e) { return e.second == &sessao; });
  std::erase_if(porContato_, [&](const auto& e) { return e.second == &sessao; });
  runtime_.Post([this, vivo = vivo_.Watch(), alvo = &sessao] {
    if (!vivo) return;
    std::erase_if(sessoes_, [alvo](const auto& s) { return s.get() == alvo; });
  });
}

}  // namespace tazu::msn
