#include "tests/support/icq/ICQRig.h"

#include <stdexcept>

#include "base/Cp1252.h"
#include "icq/CodecFlap.h"
#include "icq/ComunicadorICQ.h"
#include "tests/support/icq/OscarDialect.h"

namespace tazu::test {

namespace {

std::string Q(const std::string& s) {
  return "\"" + cp1252::ToUtf8(s) + "\"";
}

sim::icq::TOpcoesSim Opcoes(std::vector<std::string>& log) {
  sim::icq::TOpcoesSim o;
  o.log = [&log](const std::string& l) { log.push_back(l); };
  return o;
}

// Information, searches, lists and authorisation.
void GravarInformacoes(icq::TICQClient& c, std::vector<std::string>& e) {
  using icq::TICQClient;
  c.OnUserGeneralInfo = [&e](TICQClient&, const std::string& u, const icq::meta::TInfoGeral& i,
                             const std::string& pais) {
    e.push_back("OnUserGeneralInfo(" + u + ", " + Q(i.apelido) + ", " + Q(i.nome) + ", " +
                Q(i.cidade) + ", " + Q(pais) + ")");
  };
  c.OnUserInfoShort = [&e](TICQClient&, const std::string& u, const std::string& n,
                           const std::string&, const std::string&, const std::string&, bool f,
                           bool a) {
    e.push_back("OnUserInfoShort(" + u + ", " + Q(n) + ", " + (f ? "found" : "not found") + ", " +
                (a ? "auth" : "no auth") + ")");
  };
  c.OnUserFound = [&e](TICQClient&, const std::string& u, const std::string& n, const std::string&,
                       const std::string&, const std::string&, uint16_t, uint8_t, uint8_t,
                       bool ultimo, bool a) {
    e.push_back("OnUserFound(" + u + ", " + Q(n) + (ultimo ? ", last" : "") + (a ? ", auth" : "") +
                ")");
  };
  c.OnUserNotFound = [&e](TICQClient&) { e.push_back("OnUserNotFound()"); };
  c.OnServerListRecv = [&e](TICQClient&, const std::vector<icq::TEntradaLista>& l) {
    std::string s = "OnServerListRecv(";
    for (const auto& x : l)
      s += "[" + std::to_string(x.uin) + " " + Q(x.apelido) + " " + std::to_string(x.tipo) + " " +
           std::to_string(x.grupo) + "/" + std::to_string(x.item) + " " + Q(x.nomeDoGrupo) + "]";
    e.push_back(s + ")");
  };
  c.OnSSLChangeResponse = [&e](TICQClient&, uint16_t r) {
    e.push_back("OnSSLChangeResponse(" + std::to_string(r) + ")");
  };
  c.OnAuthRequest = [&e](TICQClient&, const std::string& u, const std::string& r, bool&) {
    e.push_back("OnAuthRequest(" + u + ", " + Q(r) + ")");
  };
  c.OnAuthResponse = [&e](TICQClient&, const std::string& u, bool g, const std::string& r) {
    e.push_back("OnAuthResponse(" + u + ", " + (g ? "granted" : "denied") + ", " + Q(r) + ")");
  };
  c.OnAdvancedMsgAck = [&e](TICQClient&, const std::string& u, uint16_t id, uint8_t a,
                            const std::string& m) {
    e.push_back("OnAdvancedMsgAck(" + u + ", " + std::to_string(id) + ", " + std::to_string(a) +
                ", " + Q(m) + ")");
  };
}
}  // namespace

void GravarEventosICQ(icq::TICQClient& c, std::vector<std::string>& e) {
  using icq::TICQClient;
  c.OnLogin = [&e](TICQClient&) { e.push_back("OnLogin()"); };
  c.OnConnectionFailed = [&e](TICQClient&) { e.push_back("OnConnectionFailed()"); };
  c.OnError = [&e](TICQClient&, int t, const std::string& m) {
    e.push_back("OnError(" + std::to_string(t) + ", " + Q(m) + ")");
  };
  c.OnMessageRecv = [&e](TICQClient&, const std::string& m, const std::string& u) {
    e.push_back("OnMessageRecv(" + Q(m) + ", " + u + ")");
  };
  c.OnOfflineMsgRecv = [&e](TICQClient&, const std::string& m, const std::string& u) {
    e.push_back("OnOfflineMsgRecv(" + Q(m) + ", " + u + ")");
  };
  c.OnURLRecv = [&e](TICQClient&, const std::string& d, const std::string& url,
                     const std::string& u) {
    e.push_back("OnURLRecv(" + Q(d) + ", " + Q(url) + ", " + u + ")");
  };
  c.OnOfflineURLRecv = [&e](TICQClient&, const std::string& d, const std::string& url,
                            const std::string& u) {
    e.push_back("OnOfflineURLRecv(" + Q(d) + ", " + Q(url) + ", " + u + ")");
  };
  c.OnAutoMsgResponse = [&e](TICQClient&, const std::string& u, uint16_t id, uint8_t t,
                             const std::string& m) {
    e.push_back("OnAutoMsgResponse(" + u + ", " + std::to_string(id) + ", " + std::to_string(t) +
                ", " + Q(m) + ")");
  };
  c.OnSMSReply = [&e](TICQClient&, const std::string& f, const std::string& r, const std::string& h,
                      const std::string& t) {
    e.push_back("OnSMSReply(" + Q(f) + ", " + Q(r) + ", " + Q(h) + ", " + Q(t) + ")");
  };
  c.OnUserInfoMore = [&e](TICQClient&, const std::string& u, const icq::meta::TInfoMais& i,
                          const std::string& l1, const std::string& l2, const std::string& l3) {
    e.push_back("OnUserInfoMore(" + u + ", " + std::to_string(i.idade) + ", " + Q(l1) + ", " +
                Q(l2) + ", " + Q(l3) + ")");
  };
  c.OnUserWorkInfo = [&e](TICQClient&, const std::string& u, const icq::meta::TInfoTrabalho& i,
                          const std::string& pais, const std::string& ocupacao) {
    e.push_back("OnUserWorkInfo(" + u + ", " + Q(i.empresa) + ", " + Q(pais) + ", " + Q(ocupacao) +
                ")");
  };
  c.OnUserInfoAbout = [&e](TICQClient&, const std::string& u, const std::string& t) {
    e.push_back("OnUserInfoAbout(" + u + ", " + Q(t) + ")");
  };
  c.OnStatusChange = [&e](TICQClient&, const std::string& u, uint32_t s) {
    e.push_back("OnStatusChange(" + u + ", " + std::to_string(s) + ")");
  };
  c.OnUserOffline = [&e](TICQClient&, const std::string& u) {
    e.push_back("OnUserOffline(" + u + ")");
  };
  c.OnAddedYou = [&e](TICQClient&, const std::string& u) { e.push_back("OnAddedYou(" + u + ")"); };
  GravarInformacoes(c, e);
}

ICQRig::ICQRig(bool gravar) : sim(rt, Opcoes(log)) {
  ContasPadrao(sim);
  cliente.UIN = 111111;
  cliente.Password = "segredo";
  cliente.ICQServer = "127.0.0.1";
  cliente.ICQPort = sim.PortaLogin();
  cliente.DefinirAleatorio([](uint32_t limite) { return limite / 2; });
  if (gravar) GravarEventosICQ(cliente, eventos);
}

bool ICQRig::Entrar(uint32_t status, std::string* porque) {
  cliente.Login(status);
  ponte.Run();
  if (cliente.LoggedIn()) return true;
  if (porque) {
    for (const std::string& e : eventos) *porque += e + "\n";
    for (const std::string& l : log) *porque += l + "\n";
  }
  return false;
}

std::unique_ptr<icq::TICQClient> ICQRig::OutroUsuario(uint32_t uin, const std::string& senha,
                                                      std::vector<std::string>* ev) {
  return MotorLogado(ponte, sim.PortaLogin(), uin, senha, ev);
}

void ContasPadrao(sim::icq::TSimuladorICQ& sim) {
  sim.AdicionarConta("111111", "segredo", "Ana");
  sim.AdicionarConta("222222", "senha2", "Bia");
  sim.AdicionarConta("333333", {}, "Eco").eco = true;
  std::string erro;
  if (!sim.Iniciar(&erro)) throw std::runtime_error("simulator: " + erro);
}

std::unique_ptr<icq::TICQClient> MotorLogado(FakeBridge& ponte, uint16_t porta, uint32_t uin,
                                             const std::string& senha,
                                             std::vector<std::string>* ev) {
  auto m = std::make_unique<icq::TICQClient>(ponte.Runtime());
  m->UIN = uin;
  m->Password = senha;
  m->ICQServer = "127.0.0.1";
  m->ICQPort = porta;
  if (ev) GravarEventosICQ(*m, *ev);
  m->Login(0);
  ponte.Run();
  return m;
}

ICQSessaoFalsa::ICQSessaoFalsa(bool gravar) {
  cliente.UIN = 111111;
  cliente.Password = "segredo";
  cliente.ICQServer = "10.0.0.1";
  cliente.ICQPort = 5190;
  cliente.DisableDirectConnections = true;
  cliente.ConvertToPlaintext = true;
  cliente.DefinirAleatorio([](uint32_t limite) { return limite / 2; });
  if (gravar) GravarEventosICQ(cliente, eventos);
}

bool ICQSessaoFalsa::Entrar() {
  const std::string saudacao = icq::MontarFlap(1, 0, std::string("\0\0\0\1", 4));
  cliente.Login(0);
  rt.RunPending();
  net::FakePeer& a = rt.LastPeer();
  a.Accept();
  rt.RunPending();
  a.Write(saudacao);
  a.Write(icq::MontarFlap(
      4, 1, OscarDialect::Body(R"(FLAP 4 T0001("111111") T0005("10.0.0.2:5191") T0006("c"))")));
  rt.RunPending();
  servidor = &rt.LastPeer();
  servidor->SetLocalAddress("127.0.0.1", 40000);
  servidor->Accept();
  rt.RunPending();
  sequencia_ = 1;
  servidor->Write(saudacao);
  for (const char* s : {"SNAC 0001/0003 0001", "SNAC 0001/0013 0004", "SNAC 0001/0007 0001",
                        "SNAC 0009/0003 T0001(00C8)"})
    Servidor(s);
  servidor->Take();
  const bool ok = cliente.LoggedIn();
  eventos.clear();
  return ok;
}

void ICQSessaoFalsa::Servidor(std::string_view snac) {
  ServidorBytes(OscarDialect::Body(snac));
}

void ICQSessaoFalsa::ServidorBytes(std::string_view snacBytes) {
  servidor->Write(icq::MontarFlap(icq::kCanalSnac, ++sequencia_, snacBytes));
  rt.RunPending();
}

ICQHubRig::ICQHubRig(bool gravar) : tazu(gravar), rt(tazu.rt), ponte(rt), sim(rt, {}) {
  ContasPadrao(sim);
  const uint16_t porta = sim.PortaLogin();
  tazu.cliente.RegistrarFabrica(1, [porta](net::Runtime& r, const TContaComunicador& c) {
    return std::make_unique<icq::TComunicadorICQ>(r, c.Status, c.NIU, c.Senha, c.Identificador,
                                                  TEnderecoServidor{"127.0.0.1", porta});
  });
}

bool ICQHubRig::ConectarICQ() {
  if (!tazu.peer && !tazu.LogIn()) return false;
  tazu.ServerSends("S: [SACM] 1 111111 segredo");
  ponte.Run();
  return tazu.cliente.Comunicadores.Localizar("ICQ") &&
         !tazu.cliente.Comunicadores.ComunicadorAtual()->Conectando;
}

}  // namespace tazu::test
