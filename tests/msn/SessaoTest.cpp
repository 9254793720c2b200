// Switchboard sessions: our own calls and invitations, message payloads in
// UTF-8 both ways, ACK and NAK, framing across reads, and every way a session
// ends.
#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "tests/support/Expect.h"
#include "tests/support/msn/MsnClientRig.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;
using Evs = std::vector<std::string>;

std::string W(const char* utf8) {
  return cp1252::FromUtf8(utf8);
}

// Our call to bob, answered in session 42, and the first message out.
constexpr const char* kAtendida = R"(
    C: USR 1 ana@tazu.test 17262740.1050826919.32308
    S: USR 1 OK ana@tazu.test Ana
    C: CAL 2 bob@tazu.test
    S: CAL 2 RINGING 42
    S: JOI bob@tazu.test Bob
    C: MSG 3 A |texto| oi
)";

class Sessao : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string porque;
    ASSERT_TRUE(rig.LogIn(1, &porque)) << porque;
    rig.TakeEvents();
    rig.dialect.SetNextId(7);
  }
  // Our call to bob until the notification server hands out the switchboard.
  net::FakePeer& Chamar(const std::string& texto) {
    rig.cliente.EnviarMensagem("bob@tazu.test", W(texto.c_str()));
    const std::string xfr = rig.TakeSent();
    rig.ServerSends("XFR " + xfr.substr(4, xfr.find(" SB") - 4) +
                    " SB 127.0.0.1:1865 CKI 17262740.1050826919.32308");
    net::FakePeer& sb = rig.rt.LastPeer();
    EXPECT_EQ(sb.Port(), 1865);
    return sb;
  }
  // Plays `passos` over `sb` (accepting it first when needed).
  void Roteiro(net::FakePeer& sb, MsnDialect& dialeto, std::string_view passos) {
    ScriptedPeer s(passos, dialeto);
    s.PlayOver(sb);
    rig.rt.RunPending();
    EXPECT_TRUE(Played(s));
  }
  bool Registrada(const std::string& numero, const std::string& contato) {
    return rig.cliente.SessoesPorNumero().count(numero) == 1 &&
           rig.cliente.SessoesPorContato().count(contato) == 1;
  }

  MsnClientRig rig;
};

TEST_F(Sessao, ChamadaPropriaEmOrdemComAckENakDaMensagemCerta) {
  net::FakePeer& sb = Chamar("oi");
  MsnDialect d(1);
  Roteiro(sb, d, R"(
    C: USR 1 ana@tazu.test 17262740.1050826919.32308
    S: USR 1 OK ana@tazu.test Ana%20Lima
    C: CAL 2 bob@tazu.test
    S: CAL 2 RINGING 11752013
    S: JOI bob@tazu.test Bob%20Silva
    C: MSG 3 A |texto| oi
    S: ACK 3
  )");
  EXPECT_EQ(rig.TakeEvents(), Evs{"AoConfirmarEnvio(11752013, bob@tazu.test)"});
  EXPECT_TRUE(Registrada("11752013", "bob@tazu.test"));

  // The session is reused: no XFR; the text is longer in UTF-8 bytes.
  rig.cliente.EnviarMensagem("bob@tazu.test", W("olá"));
  rig.cliente.EnviarMensagem("bob@tazu.test", W("tchau"));
  EXPECT_EQ(rig.TakeSent(), "");
  Roteiro(sb, d, R"(
    C: MSG 4 A |texto| olá
    C: MSG 5 A |texto| tchau
    S: NAK 4
    S: ACK 5
  )");
  EXPECT_EQ(rig.TakeEvents(), (Evs{"AoFalharEnvio(11752013, bob@tazu.test, olá)",
                                   "AoConfirmarEnvio(11752013, bob@tazu.test)"}));
}

TEST_F(Sessao, RecebidasEmUtf8CortadasEJuntasENotificacoesSemEvento) {
  net::FakePeer& sb = Chamar("oi");
  MsnDialect d(1);
  Roteiro(sb, d, kAtendida);
  rig.TakeEvents();
  std::string fluxo = d.Encode("MSG bob@tazu.test Bob |texto| é isso\\r\\naí\\r\\n", false) +
                      d.Encode(
                          "MSG bob@tazu.test Bob | MIME-Version: 1.0\\r\\nContent-Type: "
                          "text/x-msmsgscontrol\\r\\nTypingUser: bob@tazu.test\\r\\n\\r\\n",
                          false) +
                      d.Encode(
                          "MSG outro@tazu.test Outro | Content-Type: text/plain\\r\\n\\r\\n"
                          "sem charset \\xE9",
                          false) +
                      "ACK 3\r\n";
  for (std::size_t i = 0; i < fluxo.size(); i += 17) sb.Write(fluxo.substr(i, 17));
  rig.rt.RunPending();
  EXPECT_EQ(rig.TakeEvents(), (Evs{"AoReceberMensagem(42, bob@tazu.test, Bob, é isso\r\naí)",
                                   "AoReceberMensagem(42, bob@tazu.test, Bob, sem charset é)",
                                   "AoConfirmarEnvio(42, bob@tazu.test)"}));
}

TEST_F(Sessao, ConviteAtendidoERespondidoPelaMesmaSessao) {
  rig.ServerSends("RNG 11752099 127.0.0.1:1865 CKI 849102291.520491113 bob@tazu.test Bob%20Silva");
  net::FakePeer& sb = rig.rt.LastPeer();
  EXPECT_TRUE(rig.cliente.SessoesPorNumero().count("11752099"));
  rig.ServerSends("RNG 11752099 127.0.0.1:1865 CKI 849102291.520491113 bob@tazu.test Bob%20Silva");
  EXPECT_EQ(rig.rt.PeerCount(), 2u) << "a second invitation to the same session is ignored";
  MsnDialect d(1);
  Roteiro(sb, d, R"(
    C: ANS 1 ana@tazu.test 849102291.520491113 11752099
    S: IRO 1 1 1 bob@tazu.test Bob%20Silva
    S: ANS 1 OK
    S: MSG bob@tazu.test Bob%20Silva |texto| Olá, Ana!
  )");
  EXPECT_EQ(rig.TakeEvents(),
            Evs{"AoReceberMensagem(11752099, bob@tazu.test, Bob Silva, Olá, Ana!)"});
  EXPECT_TRUE(Registrada("11752099", "bob@tazu.test"));
  rig.cliente.EnviarMensagem("bob@tazu.test", W("já vi"));
  EXPECT_EQ(rig.TakeSent(), "");
  Roteiro(sb, d, "C: MSG 2 A |texto| já vi");
}

TEST_F(Sessao, ContatoQueSaiEncerraASessaoEAProximaMensagemChamaDeNovo) {
  net::FakePeer& sb = Chamar("oi");
  MsnDialect d(1);
  Roteiro(sb, d, std::string(kAtendida) + R"(
    S: ACK 3
    S: BYE bob@tazu.test
    C: OUT
    C! close
  )");
  EXPECT_TRUE(rig.cliente.SessoesPorContato().empty());
  EXPECT_TRUE(rig.cliente.SessoesPorNumero().empty());
  rig.cliente.EnviarMensagem("bob@tazu.test", "de novo");
  EXPECT_EQ(rig.TakeSent(), "XFR 8 SB\r\n");
  EXPECT_EQ(rig.TakeEvents(), Evs{"AoConfirmarEnvio(42, bob@tazu.test)"})
      << "a session that had rung and sent reports nothing at its end";
}

TEST_F(Sessao, MensagemQueNuncaFoiEhRelatadaUmaVez) {
  struct Caso {
    const char* nome;
    std::function<void(net::FakePeer&, MsnDialect&)> roteiro;
    std::string esperado;
  };
  const auto ate = [this](std::string_view passos) {
    return [this, passos](net::FakePeer& sb, MsnDialect& d) { Roteiro(sb, d, passos); };
  };
  const std::vector<Caso> casos = {
      {"conexão recusada",
       [this](net::FakePeer& sb, MsnDialect&) {
         sb.Refuse();
         rig.rt.RunPending();
       },
       "AoFalharEnvio(0, bob@tazu.test, oi)"},
      {"fechada antes de tocar", ate("C: *\nS: USR 1 OK ana@tazu.test Ana\nC: *\nS! close"),
       "AoFalharEnvio(0, bob@tazu.test, oi)"},
      {"contato desconectado", ate("C: *\nS: USR 1 OK ana@tazu.test Ana\nC: *\nS: 217 2\nC! close"),
       "AoFalharEnvio(0, bob@tazu.test, oi)"},
      {"tocou e ninguém entrou",
       [this, ate](net::FakePeer& sb, MsnDialect& d) {
         ate("C: *\nS: USR 1 OK ana@tazu.test Ana\nC: *\nS: CAL 2 RINGING 77")(sb, d);
         rig.rt.Advance(59s);
         EXPECT_EQ(rig.TakeEvents(), Evs{});
         rig.rt.Advance(1s);
         EXPECT_TRUE(sb.ClientClosed());
       },
       "AoFalharEnvio(77, bob@tazu.test, oi)"},
      {"recusada e depois fechada",
       ate("C: *\nS: USR 1 OK ana@tazu.test Ana\nC: *\nS: JOI bob@tazu.test Bob\nC: *\n"
           "S: NAK 3\nS! close"),
       "AoFalharEnvio(0, bob@tazu.test, oi)"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    net::FakePeer& sb = Chamar("oi");
    MsnDialect d(1);
    c.roteiro(sb, d);
    rig.rt.RunPending();
    EXPECT_EQ(rig.TakeEvents(), Evs{c.esperado});
    EXPECT_TRUE(rig.cliente.SessoesPorContato().empty());
    EXPECT_TRUE(rig.cliente.SessoesPorNumero().empty());
  }
  rig.ServerSends("XFR 12 SB 127.0.0.1:porta CKI 1.2");
  EXPECT_EQ(rig.TakeEvents(), Evs{});
  rig.cliente.EnviarMensagem("bob@tazu.test", "oi");
  rig.TakeSent();
  rig.ServerSends("XFR 12 SB 127.0.0.1:porta CKI 1.2");
  EXPECT_EQ(rig.TakeEvents(), Evs{"AoFalharEnvio(0, bob@tazu.test, oi)"})
      << "an address that does not read";
  // A cookie that would end the line it goes back on.
  const std::size_t conexoes = rig.rt.PeerCount();
  rig.cliente.EnviarMensagem("bob@tazu.test", "oi");
  rig.TakeSent();
  rig.ServerSends("XFR 13 SB 127.0.0.1:1865 CKI 1.2\\nOUT");
  EXPECT_EQ(rig.TakeEvents(), Evs{"AoFalharEnvio(0, bob@tazu.test, oi)"});
  EXPECT_EQ(rig.rt.PeerCount(), conexoes);
}

}  // namespace
}  // namespace tazu::test
