// The simulator's connections, accounts and authorisation server.
#include "sim/icq/SimuladorICQ.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "icq/CodecLista.h"
#include "icq/CodecServidor.h"
#include "sim/icq/Gateway.h"
#include "sim/icq/Interno.h"

namespace tazu::sim::icq {

using namespace tazu::icq;

TSimuladorICQ::TSimuladorICQ(net::Runtime& runtime, TOpcoesSim opcoes)
    : runtime_(runtime), opcoes_(std::move(opcoes)) {}

TSimuladorICQ::~TSimuladorICQ() = default;

bool TSimuladorICQ::Iniciar(std::string* erro) {
  login_ = runtime_.CreateTcpListener();
  sessao_ = runtime_.CreateTcpListener();
  login_->onAccept = [this](std::unique_ptr<net::TcpSocket> s) { Aceitar(std::move(s), false); };
  sessao_->onAccept = [this](std::unique_ptr<net::TcpSocket> s) { Aceitar(std::move(s), true); };
  if (!login_->Listen(opcoes_.host, opcoes_.portaLogin, erro)) return false;
  if (!sessao_->Listen(opcoes_.host, opcoes_.portaSessao, erro)) return false;
  if (opcoes_.gateway) {
    gateway_ = std::make_unique<TGateway>(*this, runtime_, opcoes_.esperaDoMonitor);
    if (!gateway_->Iniciar(opcoes_.host, opcoes_.portaGateway, erro)) return false;
  }
  return true;
}

uint16_t TSimuladorICQ::PortaLogin() const {
  return login_ ? login_->Port() : 0;
}
uint16_t TSimuladorICQ::PortaSessao() const {
  return sessao_ ? sessao_->Port() : 0;
}
uint16_t TSimuladorICQ::PortaGateway() const {
  return gateway_ ? gateway_->Porta() : 0;
}

TContaSim& TSimuladorICQ::AdicionarConta(const std::string& uin, const std::string& senha,
                                         const std::string& apelido) {
  TContaSim& c = contas_[uin];
  c.uin = uin;
  c.senha = senha;
  c.geral.apelido = apelido;
  return c;
}

TContaSim* TSimuladorICQ::Conta(const std::string& uin) {
  const auto c = contas_.find(uin);
  return c == contas_.end() ? nullptr : &c->second;
}

void TSimuladorICQ::AdicionarAoGrupo(const std::string& uin, const std::string& contato,
                                     const std::string& apelido, const std::string& grupo) {
  TContaSim* c = Conta(uin);
  if (!c) return;
  uint16_t idGrupo = 0, maiorGrupo = 0, maiorItem = 0;
  for (const TItemLista& i : c->lista) {
    if (i.tipo == lista::kGrupo && i.nome == grupo) idGrupo = i.grupo;
    maiorGrupo = std::max(maiorGrupo, i.grupo);
    maiorItem = std::max(maiorItem, i.item);
  }
  if (idGrupo == 0) {
    idGrupo = static_cast<uint16_t>(maiorGrupo + 1);
    c->lista.push_back({grupo, idGrupo, 0, lista::kGrupo, {}, {}, false, {}});
  }
  c->lista.push_back({contato,
                      idGrupo,
                      static_cast<uint16_t>(maiorItem + 1),
                      lista::kContato,
                      apelido,
                      {},
                      false,
                      {}});
}

bool TSimuladorICQ::Online(const std::string& uin) const {
  return std::any_of(conexoes_.begin(), conexoes_.end(), [&](const auto& c) {
    return c->sessao && !c->encerrada && c->pronta && c->uin == uin;
  });
}

std::size_t TSimuladorICQ::Conexoes() const {
  return static_cast<std::size_t>(std::count_if(conexoes_.begin(), conexoes_.end(),
                                                [](const auto& c) { return !c->encerrada; }));
}

void TSimuladorICQ::Log(const std::string& linha) {
  if (opcoes_.log) opcoes_.log(linha);
}

void TSimuladorICQ::Aceitar(std::unique_ptr<net::TcpSocket> socket, bool sessao) {
  auto c = std::make_unique<TConexao>();
  TConexao& r = *c;
  r.socket = std::move(socket);
  r.sessao = sessao;
  r.nome = (sessao ? "sessao " : "login ") + r.socket->PeerAddress() + ":" +
           std::to_string(r.socket->PeerPort());
  r.socket->onData = [this, &r](std::string_view d) { Dados(r, d); };
  r.socket->onClosed = [this, &r] { Fechada(r); };
  r.socket->onError = [this, &r](net::SocketError, const std::string&) { Fechada(r); };
  conexoes_.push_back(std::move(c));
  Log(r.nome + ": conectou");
  Enviar(r, kCanalLogin, servidor::Saudacao());
}

void TSimuladorICQ::Dados(TConexao& c, std::string_view dados) {
  c.montador.Alimentar(dados);
  c.lendo = true;
  TFlap q;
  while (!c.encerrada) {
    const auto r = c.montador.Proximo(q);
    if (r == TMontadorFlap::Resultado::Incompleto) break;
    if (r != TMontadorFlap::Resultado::Quadro) {
      Derrubar(c, r == TMontadorFlap::Resultado::Longo ? "quadro longo demais" : "quadro sem 0x2A");
      break;
    }
    Quadro(c, q.canal, q.dados);
  }
  c.lendo = false;
  Despachar(c);
}

// What a read made this connection answer goes out in one write.
void TSimuladorICQ::Despachar(TConexao& c) {
  if (!c.saida.empty()) c.socket->Send(std::exchange(c.saida, {}));
}

void TSimuladorICQ::Quadro(TConexao& c, uint8_t canal, std::string_view dados) {
  if (canal == kCanalLogin) {
    if (dados.size() == 4) return;  // a greeting
    c.sessao ? Cookie(c, dados) : Login(c, dados);
  } else if (canal == kCanalSnac) {
    if (!c.sessao || c.uin.empty()) {
      Derrubar(c, "SNAC fora de uma sessão");
      return;
    }
    Snac(c, dados);
  } else if (canal == kCanalFim) {
    Log(c.nome + ": encerrou (canal 4)");
    Fechada(c);
  } else {
    Log(c.nome + ": canal " + std::to_string(canal) + " ignorado");
  }
}

void TSimuladorICQ::Fechada(TConexao& c) {
  if (c.encerrada) return;
  c.encerrada = true;
  Despachar(c);  // a last answer (a refused login) still goes
  c.socket->Close();
  Log(c.nome + ": desconectou");
  if (c.sessao && c.pronta) {
    c.pronta = false;
    AnunciarATodos(c.uin);
  }
  if (!recolhendo_) {
    recolhendo_ = true;
    runtime_.Post([this] { Recolher(); });
  }
}

void TSimuladorICQ::Recolher() {
  recolhendo_ = false;
  std::erase_if(conexoes_, [](const auto& c) { return c->encerrada; });
}

void TSimuladorICQ::Derrubar(TConexao& c, const std::string& motivo) {
  Log(c.nome + ": " + motivo + "; conexão fechada");
  Fechada(c);
}

void TSimuladorICQ::Enviar(TConexao& c, uint8_t canal, const std::string& dados) {
  if (c.encerrada) return;
  c.saida += MontarFlap(canal, c.sequencia++, dados);
  if (!c.lendo) Despachar(c);
}

void TSimuladorICQ::EnviarSnac(TConexao& c, const std::string& snac) {
  TSnac s;
  if (LerSnac(snac, s)) {
    char t[32];
    std::snprintf(t, sizeof t, "-> %04X/%04X", s.familia, s.subtipo);
    Log(c.nome + ": " + t);
  }
  Enviar(c, kCanalSnac, snac);
}

bool TSimuladorICQ::LoginFrequente(const std::string& uin) {
  auto& vezes = logins_[uin];
  const net::TimePoint agora = runtime_.Now();
  std::erase_if(vezes, [&](net::TimePoint t) { return agora - t >= std::chrono::minutes(1); });
  if (static_cast<int>(vezes.size()) >= opcoes_.maxLoginsPorMinuto) return true;
  vezes.push_back(agora);
  return false;
}

void TSimuladorICQ::Login(TConexao& c, std::string_view dados) {
  servidor::TLogin l;
  if (!servidor::LerQuadroLogin(dados, l) || l.uin.empty()) {
    Derrubar(c, "quadro de login malformado");
    return;
  }
  c.uin = l.uin;
  const TContaSim* conta = Conta(l.uin);
  if (!conta || conta->eco || conta->senha != l.senha) {
    Log(c.nome + ": login " + l.uin + ": senha errada");
    Enviar(c, kCanalFim, servidor::SenhaErrada(l.uin));
    Fechada(c);
    return;
  }
  if (LoginFrequente(l.uin)) {
    Log(c.nome + ": login " + l.uin + ": frequente demais");
    Enviar(c, kCanalFim, servidor::LoginsFrequentes(l.uin));
    Fechada(c);
    return;
  }
  char cookie[32];
  std::snprintf(cookie, sizeof cookie, "%08X%08X", proximoCookie_++,
                static_cast<unsigned>(runtime_.Now().time_since_epoch().count()));
  cookies_[cookie] = l.uin;
  Log(c.nome + ": login " + l.uin + " aceito");
  Enviar(c, kCanalFim,
         servidor::LoginAceito(l.uin, opcoes_.host + ":" + std::to_string(PortaSessao()), cookie));
}

void TSimuladorICQ::Cookie(TConexao& c, std::string_view dados) {
  servidor::TLogin l;
  const auto achado = servidor::LerQuadroLogin(dados, l) ? cookies_.find(l.cookie) : cookies_.end();
  if (achado == cookies_.end()) {
    Derrubar(c, "cookie desconhecido");
    return;
  }
  c.uin = achado->second;
  cookies_.erase(achado);
  c.nome = "sessao " + c.uin;
  for (auto& outra : conexoes_) {
    if (outra.get() != &c && outra->sessao && !outra->encerrada && outra->uin == c.uin) {
      Enviar(*outra, kCanalFim, {});
      Derrubar(*outra, "o mesmo UIN entrou de novo");
    }
  }
  Log(c.nome + ": cookie aceito");
  EnviarSnac(c, servidor::Familias());
}

}  // namespace tazu::sim::icq
