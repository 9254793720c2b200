// The engine logging in to the simulator through real proxies that the test
// starts on 127.0.0.1 (microsocks, Dante, tinyproxy, a SOCKS4a server on
// IO::Socket::Socks), and through the simulator's HTTP gateway; each with a
// wrong password or a refused destination too. Real sockets, epoll loop.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "icq/ICQClient.h"
#include "net/epoll/EpollRuntime.h"
#include "sim/icq/SimuladorICQ.h"
#include "tests/support/icq/ICQRig.h"
#include "tests/support/icq/ProcessoExterno.h"

#ifndef TAZU_SOCKS4A_PL
#error "TAZU_SOCKS4A_PL must name the SOCKS4a test proxy"
#endif

namespace tazu::test {
namespace {

using Evs = std::vector<std::string>;
using icq::TProxyType;
namespace fs = std::filesystem;

const std::string kSemSenha = "SOCKS5 server cannot authenticate";
const std::string kSocks4 = "SOCKS4 server cannot connect to remote server";
const std::string kSocks5 = "SOCKS5 server cannot connect to remote server";

class ProxyReal : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::icq::TOpcoesSim o;
    o.log = [this](const std::string& l) { logSim.push_back(l); };
    sim = std::make_unique<sim::icq::TSimuladorICQ>(rt, o);
    sim->AdicionarConta("111111", "segredo", "Ana");
    sim->AdicionarConta("333333", {}, "Eco").eco = true;
    ASSERT_TRUE(sim->Iniciar());
    dir = fs::path(::testing::TempDir()) / ("icq_proxy_" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    proxies.clear();
    fs::remove_all(dir);
  }
  // Starts a proxy listening on a free port; 0 when it does not come up.
  uint16_t Iniciar(const std::string& programa, std::vector<std::string> args,
                   const std::string& portaComo = "{porta}") {
    const uint16_t porta = PortaLivre();
    for (std::string& a : args) {
      const std::size_t p = a.find(portaComo);
      if (p != std::string::npos) a.replace(p, portaComo.size(), std::to_string(porta));
    }
    args.insert(args.begin(), programa);
    proxies.push_back(std::make_unique<ProcessoExterno>(
        args, (dir / (fs::path(programa).filename().string() + std::to_string(porta) + ".log"))
                  .string()));
    return EsperarPorta(porta) ? porta : 0;
  }
  std::string Arquivo(const std::string& nome, const std::string& texto) {
    std::ofstream(dir / nome) << texto;
    return (dir / nome).string();
  }
  bool Girar(const std::function<bool()>& ate, int ms = 5000) {
    const auto fim = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!ate()) {
      if (std::chrono::steady_clock::now() > fim) return false;
      rt.RunOnce(net::Milliseconds(10));
    }
    return true;
  }
  struct Via {
    Via(TProxyType t, uint16_t p, std::string u = {}, std::string s = {})
        : tipo(t), porta(p), usuario(std::move(u)), senha(std::move(s)) {}
    TProxyType tipo;
    uint16_t porta;
    std::string usuario, senha;
    bool resolve = false;
    std::string servidor = "127.0.0.1";
    uint16_t portaServidor = 0;  // 0: the simulator's login port
  };
  // Logs in 111111 through the proxy; the engine's events until it logged in
  // or failed.
  Evs Entrar(const Via& v) {
    cliente = std::make_unique<icq::TICQClient>(rt);
    icq::TICQClient& c = *cliente;
    c.UIN = 111111;
    c.Password = "segredo";
    c.ICQServer = v.servidor;
    c.ICQPort = v.portaServidor ? v.portaServidor : sim->PortaLogin();
    c.ProxyType = v.tipo;
    c.ProxyHost = "127.0.0.1";
    c.ProxyPort = v.porta;
    c.ProxyAuth = !v.usuario.empty();
    c.ProxyUserID = v.usuario;
    c.ProxyPass = v.senha;
    c.ProxyResolve = v.resolve;
    eventos.clear();
    GravarEventosICQ(c, eventos);
    c.Login(0);
    Girar([&] { return c.LoggedIn() || !eventos.empty(); });
    return eventos;
  }
  // Whether anything reached the simulator since the log was last cleared.
  bool AlguemChegou() const {
    for (const std::string& l : logSim)
      if (l.find(": conectou") != std::string::npos) return true;
    return false;
  }
  void ExigirPrograma(const std::string& p) {
    if (!Instalado(p)) GTEST_SKIP() << p << " is not installed";
  }

  net::EpollRuntime rt;
  std::unique_ptr<sim::icq::TSimuladorICQ> sim;
  std::unique_ptr<icq::TICQClient> cliente;
  std::vector<std::unique_ptr<ProcessoExterno>> proxies;
  Evs eventos, logSim;
  fs::path dir;
};

TEST_F(ProxyReal, Socks5ComESemSenhaNoMicrosocks) {
  ExigirPrograma("microsocks");
  const uint16_t comSenha =
      Iniciar("microsocks", {"-i", "127.0.0.1", "-p", "{porta}", "-u", "ana", "-P", "segredo"});
  const uint16_t semSenha = Iniciar("microsocks", {"-i", "127.0.0.1", "-p", "{porta}"});
  ASSERT_TRUE(comSenha && semSenha);
  EXPECT_EQ(Entrar({TProxyType::P_SOCKS5, comSenha, "ana", "segredo"}), (Evs{"OnLogin()"}));
  EXPECT_EQ(Entrar({TProxyType::P_SOCKS5, semSenha}), (Evs{"OnLogin()"}));
  logSim.clear();
  EXPECT_EQ(Entrar({TProxyType::P_SOCKS5, comSenha, "ana", "errada"}),
            (Evs{"OnError(0, \"" + kSemSenha + "\")", "OnConnectionFailed()"}));
  EXPECT_FALSE(AlguemChegou()) << "a refusing proxy is never gone round";
}

TEST_F(ProxyReal, Socks4ESocks5NoDante) {
  const std::string danted = Instalado("/usr/sbin/danted") ? "/usr/sbin/danted" : "danted";
  ExigirPrograma(danted);
  const uint16_t porta = PortaLivre();
  const std::string conf =
      Arquivo("dante.conf",
              "logoutput: stderr\ninternal: 127.0.0.1 port = " + std::to_string(porta) +
                  "\nexternal: 127.0.0.1\nsocksmethod: none\nclientmethod: none\n"
                  "user.privileged: root\nuser.unprivileged: nobody\n"
                  "client pass {\n  from: 127.0.0.1/32 to: 0.0.0.0/0\n}\n"
                  "socks pass {\n  from: 127.0.0.1/32 to: 127.0.0.1/32\n  command: connect\n}\n");
  proxies.push_back(std::make_unique<ProcessoExterno>(
      std::vector<std::string>{danted, "-f", conf, "-N", "1"}, (dir / "danted.log").string()));
  ASSERT_TRUE(EsperarPorta(porta));
  EXPECT_EQ(Entrar({TProxyType::P_SOCKS4, porta}), (Evs{"OnLogin()"}));
  EXPECT_EQ(Entrar({TProxyType::P_SOCKS5, porta}), (Evs{"OnLogin()"}));
  const uint16_t fechada = PortaLivre();
  Via v4{TProxyType::P_SOCKS4, porta};
  v4.portaServidor = fechada;
  EXPECT_EQ(Entrar(v4), (Evs{"OnError(0, \"" + kSocks4 + "\")", "OnConnectionFailed()"}));
  Via v5{TProxyType::P_SOCKS5, porta};
  v5.portaServidor = fechada;
  EXPECT_EQ(Entrar(v5), (Evs{"OnError(0, \"" + kSocks5 + "\")", "OnConnectionFailed()"}));
}

TEST_F(ProxyReal, Socks4aResolveNoProxy) {
  ExigirPrograma("perl");
  const uint16_t porta = Iniciar("perl", {TAZU_SOCKS4A_PL, "{porta}", "ana"});
  ASSERT_NE(porta, 0);
  Via v{TProxyType::P_SOCKS4, porta, "ana", ""};
  v.resolve = true;
  v.servidor = "localhost";  // the proxy resolves it
  EXPECT_EQ(Entrar(v), (Evs{"OnLogin()"}));
  v.usuario = "bia";  // a user id the proxy does not take
  logSim.clear();
  EXPECT_EQ(Entrar(v), (Evs{"OnError(0, \"" + kSocks4 + "\")", "OnConnectionFailed()"}));
  EXPECT_FALSE(AlguemChegou());
}

TEST_F(ProxyReal, ConnectComBasicNoTinyproxy) {
  ExigirPrograma("tinyproxy");
  const uint16_t porta = PortaLivre();
  const std::string conf =
      Arquivo("tiny.conf", "Port " + std::to_string(porta) +
                               "\nListen 127.0.0.1\nTimeout 60\nMaxClients 20\nAllow 127.0.0.1\n"
                               "BasicAuth ana segredo\nLogLevel Info\n");
  proxies.push_back(std::make_unique<ProcessoExterno>(
      std::vector<std::string>{"tinyproxy", "-d", "-c", conf}, (dir / "tiny.log").string()));
  ASSERT_TRUE(EsperarPorta(porta));
  EXPECT_EQ(Entrar({TProxyType::P_HTTPS, porta, "ana", "segredo"}), (Evs{"OnLogin()"}));
  logSim.clear();
  EXPECT_EQ(Entrar({TProxyType::P_HTTPS, porta, "ana", "errada"}),
            (Evs{"OnError(0, \"Http proxy returned invalid status: 401 Unauthorized\")",
                 "OnConnectionFailed()"}));
  EXPECT_FALSE(AlguemChegou());
}

TEST_F(ProxyReal, GatewayHttpDoSimulador) {
  Via v{TProxyType::P_HTTP, sim->PortaGateway()};
  ASSERT_EQ(Entrar(v), (Evs{"OnLogin()"}));
  eventos.clear();
  cliente->SendAckedMessage(333333, "pelo gateway", false, 3);
  ASSERT_TRUE(Girar([&] { return eventos.size() >= 2; }));
  EXPECT_EQ(eventos, (Evs{"OnAdvancedMsgAck(333333, 3, 0, \"\")",
                          "OnMessageRecv(\"pelo gateway\", 333333)"}));
  // The gateway cannot reach the server: it gives up with its own error.
  v.portaServidor = PortaLivre();
  EXPECT_EQ(Entrar(v), (Evs{"OnError(2, \"Could not initialize connection through HTTP proxy, "
                            "please retry.\")",
                            "OnConnectionFailed()"}));
}

}  // namespace
}  // namespace tazu::test
