#include "tests/support/yahoo/YahooRig.h"

#include <stdexcept>

#include "tests/support/ScriptedPeer.h"

namespace tazu::test {

namespace {

std::string Q(const std::string& s) {
  return "\"" + s + "\"";
}
std::string B(bool b) {
  return b ? "true" : "false";
}

}  // namespace

void ObservarClienteYahoo(yahoo::TClienteYahoo& c, std::vector<std::string>& e) {
  using C = yahoo::TClienteYahoo;
  c.AoConectar = [&e](C&) { e.push_back("AoConectar()"); };
  c.AoDesconectar = [&e](C&) { e.push_back("AoDesconectar()"); };
  c.AoFalharConexao = [&e](C&, uint32_t codigo, const std::string& url) {
    e.push_back("AoFalharConexao(LoginStatus=" + std::to_string(codigo) + ", URL=" + Q(url) + ")");
  };
  c.AoReceberContato = [&e](C&, const std::string& g, const std::string& id, uint32_t st, bool aus,
                            const std::string& m) {
    e.push_back("AoReceberContato(Group=" + Q(g) + ", UserID=" + Q(id) +
                ", YahooStatus=" + std::to_string(st) + ", Away=" + B(aus) + ", Msg=" + Q(m) + ")");
  };
  c.AoMudarStatusContato = [&e](C&, const std::string& id, int32_t st, bool aus,
                                const std::string& m) {
    e.push_back("AoMudarStatusContato(UserID=" + Q(id) + ", Status=" + std::to_string(st) +
                ", Away=" + B(aus) + ", Msg=" + Q(m) + ")");
  };
  c.OnYahooError = [&e](C&, int n, const std::string& t) {
    e.push_back("OnYahooError(Number=" + std::to_string(n) + ", Error=" + Q(t) + ")");
  };
  c.OnUserMessage = [&e](C&, const std::string& id, const std::string& m, int32_t h, bool u) {
    e.push_back("OnUserMessage(UserID=" + Q(id) + ", Msg=" + Q(m) +
                ", TimeStamp=" + std::to_string(h) + ", UTF8=" + B(u) + ")");
  };
  c.OnSystemMessage = [&e](C&, const std::string& m) {
    e.push_back("OnSystemMessage(Msg=" + Q(m) + ")");
  };
  c.OnContactRejected = [&e](C&, const std::string& id, const std::string& m) {
    e.push_back("OnContactRejected(UserID=" + Q(id) + ", Msg=" + Q(m) + ")");
  };
  c.OnContactNotFound = [&e](C&, const std::string& id) {
    e.push_back("OnContactNotFound(UserID=" + Q(id) + ")");
  };
}

// ---- ClienteYahooRig ----

ClienteYahooRig::ClienteYahooRig(bool recordEvents) {
  cliente.Servidor = "127.0.0.1";
  cliente.Porta = 5050;
  cliente.Usuario = "ana";
  cliente.Senha = "segredo";
  if (recordEvents) ObservarClienteYahoo(cliente, events);
}

net::FakePeer& ClienteYahooRig::Connect() {
  cliente.Conectar(1);
  rt.Advance(net::Milliseconds(200));
  net::FakePeer& p = rt.LastPeer();
  p.Accept();
  rt.RunPending();
  peer = &p;
  return p;
}

bool ClienteYahooRig::LogIn(std::string_view depois, std::string* why) {
  Connect();
  YmsgDialect dialect;
  dialect.SetSessionId(kSessao);
  const std::string login = std::string("C: AUTH 0 @0 1=ana\n") + "S: AUTH 0 1=ana 94=" + kSemente +
                            "\nC: *\nS: LOGON 0 0=ana 1=ana\n";
  bool ok = false;
  {
    ScriptedPeer script(login, dialect);
    script.PlayOver(*peer);
    rt.RunPending();
    const ScriptedPeer::Outcome r = script.Finished();
    ok = r.ok;
    if (!ok && why) *why = r.message;
  }
  peer->onClientData = nullptr;
  if (!depois.empty()) ServerSends(depois);
  peer->Take();
  TakeEvents();
  return ok;
}

void ClienteYahooRig::ServerSends(std::string_view lines) {
  ServerSendsRaw(YmsgBytes(lines, kSessao));
}

void ClienteYahooRig::ServerSendsRaw(std::string_view bytes) {
  peer->Write(bytes);
  rt.RunPending();
}

std::string ClienteYahooRig::TakeSent() {
  return peer ? YmsgText(peer->Take()) : std::string();
}

std::vector<std::string> ClienteYahooRig::TakeEvents() {
  return std::exchange(events, {});
}

// ---- RedeYahoo ----

RedeYahoo::RedeYahoo(net::FakeRuntime& rt, uint16_t porta)
    : servidor(rt, contas, 20260101), porta_(porta), ponte_(rt) {
  servidor.AoRegistrar = [this](const std::string& l) { log.push_back(l); };
  std::string erro;
  if (!servidor.Escutar("127.0.0.1", porta, erro)) throw std::logic_error(erro);
}

void RedeYahoo::Conta(std::string_view linha) {
  simyahoo::TContaSim conta;
  std::string erro;
  if (!simyahoo::LerConta(linha, conta, erro) || !contas.Adicionar(std::move(conta), erro))
    throw std::invalid_argument(erro);
}

void RedeYahoo::Rodar() {
  ponte_.Run();
}

void RedeYahoo::Avancar(net::Milliseconds tempo) {
  ponte_.Advance(tempo, net::Milliseconds(50));
}

}  // namespace tazu::test
