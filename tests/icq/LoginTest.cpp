// The engine's login against transcripts: the frames byte for byte, the
// answers of the authorisation server, framing faults and time-outs.
#include <gtest/gtest.h>

#include "icq/ICQClient.h"
#include "net/testing/FakeRuntime.h"
#include "tests/support/Expect.h"
#include "tests/support/icq/ICQRig.h"
#include "tests/support/icq/OscarDialect.h"

namespace tazu::test {
namespace {

using Evs = std::vector<std::string>;

constexpr char kQuadroLogin[] =
    R"(FLAP 1 00000001 T0001("111111") T0002(8043E6B65CE2B4))"
    R"( T0003("ICQ Inc. - Product of ICQ (TM).2001b.5.15.1.3634.85") T0016(010A) T0017(0005))"
    R"( T0018(000F) T0019(0001) T001A(0E32) T0014(00000055) T000F("en") T000E("us"))";

const std::string kAutorizacao = std::string("S: FLAP 1 00000001\nC: ") + kQuadroLogin +
                                 "\nS: FLAP 4 T0001(\"111111\") T0005(\"10.0.0.2:5191\")"
                                 " T0006(\"biscoito\")\nC: FLAP 4\nC! close\n";

// Continuation lines of a step are joined for the script.
std::string Juntar(std::string_view t) {
  std::string r;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\n' && i + 9 < t.size() && t.substr(i + 1, 9) == "         ") {
      i += 9;
      r += ' ';
    } else {
      r += t[i];
    }
  }
  return r;
}

// The engine as the session tests have it (the FLAP sequence starts at 0x7FFF).
class Login : public ::testing::Test, public ICQSessaoFalsa {
 protected:
  // Login, and the authorisation server's connection accepted.
  net::FakePeer& Abrir() {
    cliente.Login(0);
    rt.RunPending();
    net::FakePeer& p = rt.LastPeer();
    p.Accept();
    rt.RunPending();
    return p;
  }
  // Logs in as far as the authorisation server, answering it with `resposta`.
  net::FakePeer& Autorizacao(std::string_view resposta) {
    net::FakePeer& p = Abrir();
    p.Write(icq::MontarFlap(1, 0, std::string("\0\0\0\1", 4)));
    rt.RunPending();
    p.Take();
    p.Write(icq::MontarFlap(4, 1, OscarDialect::Body("FLAP 4 " + std::string(resposta))));
    rt.RunPending();
    return p;
  }
};

TEST_F(Login, DuasEtapasByteAByte) {
  cliente.ContactList = {"222222"};
  OscarDialect d1(0x7FFF), d2(0x8001);
  ScriptedPeer autorizacao(kAutorizacao, d1);
  ScriptedPeer sessao(Juntar(R"(
    S: FLAP 1 00000001
    C: FLAP 1 00000001 T0006("biscoito")
    S: SNAC 0001/0003 0001 0002 0003 0004 0009 0013 0015
    C: SNAC 0001/0017 00010003 00130002 00020001 00030001 00150001 00040001 00060001 00090001
         000A0001 000B0001
    S: SNAC 0001/0013 0004
    C: SNAC 0001/0006
    S: SNAC 0001/0007 0001
    C: SNAC 0001/0008 0001 0002 0003 0004 0005
    C: SNAC 0004/0002 0000 00000003 1F40 03E7 03E7 00000000
    C: SNAC 0001/000E
    C: SNAC 0002/0002
    C: SNAC 0003/0002
    C: SNAC 0004/0004
    C: SNAC 0009/0002
    S: SNAC 0009/0003 T0001(00C8) T0002(00C8)
    C: SNAC 0002/0004 T0005(094613494C7F11D1822244455354000097B12751243C4334AD22D6ABF73F1492
         2E7A6475FADF4DC8886FEA3595FDB6DF094613444C7F11D18222444553540000)
    C: SNAC 0003/0004 b"222222"
    C: SNAC 0009/0007
    C: SNAC 0001/001E T0006(00000000) T0008(0000) T000C(00000000 00000000 04 0008 00000000
         00000050 00000003 00000000 00000000 00000000 0000)
    C: SNAC 0001/0002 00010003 0110047B 00130002 0110047B 00020001 0101047B 00030001 0110047B
         00150001 0110047B 00040001 0110047B 00060001 0110047B 00090001 0110047B
         000A0001 0110047B 000B0001 0110047B
    C: SNAC 0015/0002 id=00010002 T0001(L(le32:111111 le16:60 le16:2))
  )"),
                      d2);
  cliente.Login(0);
  rt.RunPending();
  ASSERT_EQ(rt.LastPeer().Host(), "10.0.0.1");
  autorizacao.PlayOver(rt.LastPeer());
  rt.RunPending();
  EXPECT_TRUE(Played(autorizacao));
  net::FakePeer& s = rt.LastPeer();
  EXPECT_EQ(s.Host(), "10.0.0.2");
  EXPECT_EQ(s.Port(), 5191);
  sessao.PlayOver(s);
  rt.RunPending();
  EXPECT_TRUE(Played(sessao));
  EXPECT_EQ(Eventos(), (Evs{"OnLogin()"}));
  EXPECT_TRUE(cliente.LoggedIn());
}

TEST_F(Login, RespostasDoServidorDeAutorizacao) {
  struct Caso {
    const char* resposta;
    Evs eventos;
    bool mandaFim;  // the client acknowledged the answer (channel 4) before failing
  };
  const std::string malformado = "OnError(3, \"Received malformed login packet\")";
  const Caso casos[] = {
      {R"(T0001("111111") T0004("http://x/"))",
       {"OnError(5, \"Bad password\")", "OnConnectionFailed()"},
       false},
      {R"(T0001("111111") T0008(0018))",
       {"OnError(5, \"Too often logins\")", "OnConnectionFailed()"},
       false},
      {R"(T0005("h:1") T0001("111111"))", {malformado, "OnConnectionFailed()"}, false},
      {R"(T0001("111111") T0009("?"))", {malformado, "OnConnectionFailed()"}, false},
      {R"(T0001("111111") T0005("h:1"))", {malformado, "OnConnectionFailed()"}, false},
      {R"(T0001("111111") T0005("10.0.0.2") T0006("c"))",
       {malformado, "OnConnectionFailed()"},
       true},
      {R"(T0001("111111") T0005("10.0.0.2:0") T0006("c"))",
       {malformado, "OnConnectionFailed()"},
       true},
      {R"(T0001("111111") T0005("10.0.0.2:x1") T0006("c"))",
       {malformado, "OnConnectionFailed()"},
       true},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.resposta);
    net::FakePeer& p = Autorizacao(c.resposta);
    EXPECT_EQ(Eventos(), c.eventos);
    EXPECT_TRUE(p.ClientClosed());
    EXPECT_EQ(p.Take(), c.mandaFim ? icq::MontarFlap(4, 0x8000, {}) : "");
    EXPECT_FALSE(cliente.LoggedIn());
    EXPECT_EQ(rt.FindPeer("10.0.0.2", 0), nullptr) << "no session server was tried";
  }
}

TEST_F(Login, QuadrosPartidosEJuntados) {
  net::FakePeer& p = Abrir();
  const std::string saudacao = icq::MontarFlap(1, 0, std::string("\0\0\0\1", 4));
  for (char b : saudacao.substr(0, 5)) {
    p.Write(std::string(1, b));
    rt.RunPending();
  }
  EXPECT_EQ(p.Read(), "") << "nothing before the greeting is whole";
  // The greeting's last byte and the answer arrive in one read.
  p.Write(saudacao.substr(5) +
          icq::MontarFlap(
              4, 1, OscarDialect::Body(R"(FLAP 4 T0001("1") T0005("10.0.0.2:5191") T0006("c"))")));
  rt.RunPending();
  OscarDialect d(0x7FFF);
  const std::string login = d.Encode(kQuadroLogin, true);
  EXPECT_TRUE(SameBytes(login + icq::MontarFlap(4, 0x8000, {}), p.Take()));
  EXPECT_NE(rt.FindPeer("10.0.0.2", 5191), nullptr);
}

TEST_F(Login, QuadrosMalformadosFechamComErroTipo3) {
  struct Caso {
    std::string bytes;
    std::string erro;
  };
  const Caso casos[] = {
      {std::string("\x2B\x01\x00\x00\x00\x04\0\0\0\1", 10), "Received malformed packet"},
      {std::string("\x2A\x02\x00\x00\x20\x01", 6),
       "Length of received packet exceeds maximum supported by protocol. Len = 8193"},
  };
  for (const Caso& c : casos) {
    net::FakePeer& p = Abrir();
    p.Write(c.bytes);
    rt.RunPending();
    EXPECT_EQ(Eventos(), (Evs{"OnError(3, \"" + c.erro + "\")", "OnConnectionFailed()"}));
    EXPECT_TRUE(p.ClientClosed());
  }
}

TEST_F(Login, TempoEsgotadoSoComConnectionTimeout) {
  cliente.Login(0);
  rt.RunPending();
  rt.LastPeer().Accept();
  rt.Advance(std::chrono::hours(1));
  EXPECT_EQ(Eventos(), Evs{}) << "ConnectionTimeout 0 never times out";

  cliente.ConnectionTimeout = 5;
  cliente.Login(0);
  rt.RunPending();
  net::FakePeer& p = rt.LastPeer();
  p.Accept();
  rt.Advance(std::chrono::milliseconds(4999));
  EXPECT_EQ(Eventos(), Evs{});
  rt.Advance(std::chrono::milliseconds(1));
  EXPECT_EQ(Eventos(), (Evs{"OnError(4, \"Connection timed out\")", "OnConnectionFailed()"}));
  EXPECT_TRUE(p.ClientClosed());
}

TEST_F(Login, ConexaoPerdidaOuRecusadaNoLoginEhFalha) {
  // The server hangs up before answering: the login failed (it used to wait
  // for ever when no time-out was set).
  Abrir().Close();
  rt.RunPending();
  EXPECT_EQ(Eventos(), (Evs{"OnConnectionFailed()"}));

  rt.FailNextConnect(net::SocketError::ConnectionRefused);
  cliente.Login(0);
  rt.RunPending();
  EXPECT_EQ(Eventos(), (Evs{"OnError(0, \"Could not connect\")", "OnConnectionFailed()"}));
}

TEST(LoginNoSimulador, FimDoServidorELogOffFalhamUmaVez) {
  ICQRig rig;
  ASSERT_TRUE(rig.Entrar());
  rig.Eventos();
  rig.cliente.LogOff();
  rig.Girar();
  EXPECT_EQ(rig.Eventos(), (Evs{"OnConnectionFailed()"}));
  EXPECT_FALSE(rig.sim.Online("111111"));

  // The same account logging in elsewhere makes the server sign this one off.
  ASSERT_TRUE(rig.Entrar());
  rig.Eventos();
  auto outro = rig.OutroUsuario(111111, "segredo");
  EXPECT_TRUE(outro->LoggedIn());
  EXPECT_EQ(rig.Eventos(), (Evs{"OnConnectionFailed()"}));
  EXPECT_FALSE(rig.cliente.LoggedIn());
}

TEST(LoginNoSimulador, SenhaErradaELoginsFrequentes) {
  ICQRig rig;
  rig.cliente.Password = "errada";
  EXPECT_FALSE(rig.Entrar());
  EXPECT_EQ(rig.Eventos(), (Evs{"OnError(5, \"Bad password\")", "OnConnectionFailed()"}));
  rig.cliente.Password = "segredo";
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(rig.Entrar());
    rig.cliente.LogOff();
  }
  rig.Eventos();
  EXPECT_FALSE(rig.Entrar());
  EXPECT_EQ(rig.Eventos(), (Evs{"OnError(5, \"Too often logins\")", "OnConnectionFailed()"}));
  rig.ponte.Advance(std::chrono::minutes(1));
  EXPECT_TRUE(rig.Entrar()) << "a minute later it may log in again";
}

}  // namespace
}  // namespace tazu::test
