// The proxy sockets against proxies played by the test: the bytes of each
// handshake, what the proxy's refusals turn into, and the bytes that follow
// a reply.
#include <gtest/gtest.h>

#include "net/proxy/HttpGateway.h"
#include "net/proxy/ProxySocket.h"
#include "net/testing/FakeRuntime.h"
#include "tests/support/Expect.h"

namespace tazu::test {
namespace {

using net::proxy::Config;
using K = Config::Kind;

struct Caso {
  const char* nome;
  Config config;
  std::string destino;
  std::vector<std::pair<std::string, std::string>>
      dialogo;           // what it sends, what the proxy answers
  std::string desfecho;  // "connected:<data>" or "error:<text>"
};

Config Proxy(K kind, bool auth = false, bool remoto = false) {
  Config c;
  c.kind = kind;
  c.host = "10.9.9.9";
  c.port = 1080;
  c.authenticate = auth;
  c.user = "ana";
  c.password = "s3";
  c.remoteResolve = remoto;
  return c;
}

std::string B(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

TEST(Proxy, ApertosDeMaoERecusas) {
  const std::string ok4 = B({0, 0x5A, 0, 0, 0, 0, 0, 0});
  const std::string pedido5 = B({5, 1, 0, 1, 10, 0, 0, 2, 0x14, 0x46});
  const Caso casos[] = {
      {"SOCKS4",
       Proxy(K::Socks4, true),
       "10.0.0.2",
       {{B({4, 1, 0x14, 0x46, 10, 0, 0, 2}) + "ana" + B({0}), ok4 + "resto"}},
       "connected:resto"},
      {"SOCKS4 pelo nome local",
       Proxy(K::Socks4),
       "localhost",
       {{B({4, 1, 0x14, 0x46, 127, 0, 0, 1, 0}), ok4}},
       "connected:"},
      {"SOCKS4a",
       Proxy(K::Socks4, false, true),
       "login.icq",
       {{B({4, 1, 0x14, 0x46, 0, 0, 0, 1, 0}) + "login.icq" + B({0}), ok4}},
       "connected:"},
      {"SOCKS4 recusado",
       Proxy(K::Socks4),
       "10.0.0.2",
       {{B({4, 1, 0x14, 0x46, 10, 0, 0, 2, 0}), B({0, 0x5B, 0, 0, 0, 0, 0, 0})}},
       "error:SOCKS4 server cannot connect to remote server"},
      {"SOCKS5 sem senha",
       Proxy(K::Socks5),
       "10.0.0.2",
       {{B({5, 1, 0}), B({5, 0})}, {pedido5, B({5, 0, 0, 1, 1, 2, 3, 4, 0, 80}) + "x"}},
       "connected:x"},
      {"SOCKS5 com senha, nome remoto, resposta com nome",
       Proxy(K::Socks5, true, true),
       "h.icq",
       {{B({5, 1, 2}), B({5, 2})},
        {B({1, 3}) + "ana" + B({2}) + "s3", B({1, 0})},
        {B({5, 1, 0, 3, 5}) + "h.icq" + B({0x14, 0x46}),
         B({5, 0, 0, 3, 3}) + "p.x" + B({0, 80}) + "dados"}},
       "connected:dados"},
      {"SOCKS5 sem método",
       Proxy(K::Socks5, true),
       "10.0.0.2",
       {{B({5, 1, 2}), B({5, 0xFF})}},
       "error:Auth methods are not supported by SOCKS5 server"},
      {"SOCKS5 senha errada",
       Proxy(K::Socks5, true),
       "10.0.0.2",
       {{B({5, 1, 2}), B({5, 2})}, {B({1, 3}) + "ana" + B({2}) + "s3", B({1, 1})}},
       "error:SOCKS5 server cannot authenticate"},
      {"SOCKS5 destino recusado",
       Proxy(K::Socks5),
       "10.0.0.2",
       {{B({5, 1, 0}), B({5, 0})}, {pedido5, B({5, 5, 0, 1, 0, 0, 0, 0, 0, 0})}},
       "error:SOCKS5 server cannot connect to remote server"},
      {"CONNECT com Basic",
       Proxy(K::HttpConnect, true),
       "10.0.0.2",
       {{"CONNECT 10.0.0.2:5190 HTTP/1.0\r\nUser-Agent: Mozilla/4.08 [en] (WinNT; U ;Nav)\r\n"
         "Proxy-Authorization: Basic YW5hOnMz\r\n\r\n",
         "HTTP/1.0 200 Connection established\r\nProxy-agent: x\r\n\r\n*"}},
       "connected:*"},
      {"CONNECT que responde 200 OK",
       Proxy(K::HttpConnect),
       "10.0.0.2",
       {{"CONNECT 10.0.0.2:5190 HTTP/1.0\r\nUser-Agent: Mozilla/4.08 [en] (WinNT; U ;Nav)\r\n\r\n",
         "HTTP/1.1 200 OK\r\n\r\n"}},
       "connected:"},
      {"CONNECT recusado",
       Proxy(K::HttpConnect),
       "10.0.0.2",
       {{"CONNECT 10.0.0.2:5190 HTTP/1.0\r\nUser-Agent: Mozilla/4.08 [en] (WinNT; U ;Nav)\r\n\r\n",
         "HTTP/1.0 407 Proxy Authentication Required\r\n\r\n"}},
       "error:Http proxy returned invalid status: 407 Proxy Authentication Required"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    net::FakeRuntime rt;
    auto s = net::proxy::CreateSocket(rt, c.config);
    std::string desfecho;
    s->onConnected = [&] { desfecho = "connected:"; };
    s->onData = [&](std::string_view d) { desfecho += std::string(d); };
    s->onError = [&](net::SocketError, const std::string& m) { desfecho = "error:" + m; };
    ASSERT_TRUE(s->Connect(c.destino, 5190));
    rt.RunPending();
    net::FakePeer& proxy = rt.LastPeer();
    EXPECT_EQ(proxy.Host(), "10.9.9.9");
    proxy.Accept();
    rt.RunPending();
    for (const auto& [envia, responde] : c.dialogo) {
      EXPECT_TRUE(SameBytes(envia, proxy.Take()));
      proxy.Write(responde);
      rt.RunPending();
    }
    EXPECT_EQ(desfecho, c.desfecho);
    EXPECT_EQ(s->IsConnected(), c.desfecho.rfind("connected", 0) == 0);
    EXPECT_EQ(proxy.ClientClosed(), c.desfecho.rfind("error", 0) == 0);
  }
}

TEST(Proxy, NadaPassaAntesDoTunel) {
  net::FakeRuntime rt;
  auto s = net::proxy::CreateSocket(rt, Proxy(K::Socks5));
  ASSERT_TRUE(s->Connect("10.0.0.2", 5190));
  rt.RunPending();
  net::FakePeer& proxy = rt.LastPeer();
  proxy.Accept();
  rt.RunPending();
  s->Send("cedo demais");
  EXPECT_EQ(proxy.Take(), B({5, 1, 0}));
  // A proxy that hangs up in the middle fails the connection; nothing is
  // tried directly.
  std::string erro;
  s->onError = [&](net::SocketError, const std::string& m) { erro = m; };
  proxy.Close();
  rt.RunPending();
  EXPECT_EQ(erro, "SOCKS5 server cannot connect to remote server");
  EXPECT_EQ(rt.PeerCount(), 1u);
}

TEST(Proxy, Base64EEnderecos) {
  EXPECT_EQ(net::proxy::Base64(""), "");
  EXPECT_EQ(net::proxy::Base64("a"), "YQ==");
  EXPECT_EQ(net::proxy::Base64("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
  uint32_t ip = 0;
  EXPECT_TRUE(net::proxy::ParseIPv4("127.0.0.1", ip));
  EXPECT_EQ(ip, 0x7F000001u);
  for (const char* ruim : {"256.1.1.1", "1.2.3", "1.2.3.4.", "a.b.c.d", "1..2.3", ""})
    EXPECT_FALSE(net::proxy::ParseIPv4(ruim, ip)) << ruim;
  const std::string pacote = net::proxy::gateway::Packet(5, "abc");
  EXPECT_TRUE(SameBytes(B({0, 15, 4, 0x43, 0, 5, 0, 0, 0, 0, 0, 0, 0, 1}) + "abc", pacote));
}

}  // namespace
}  // namespace tazu::test
