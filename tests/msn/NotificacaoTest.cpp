// The MSN client on the notification server: the exact command sequences,
// redirection, challenges, contacts and presence, requests and their error
// replies, the server's own messages, framing and losing the connection.
#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "tests/support/Expect.h"
#include "tests/support/msn/MsnClientRig.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;
using Evs = std::vector<std::string>;

class Notificacao : public ::testing::Test {
 protected:
  void Entrar(uint8_t status = 1) {
    std::string porque;
    ASSERT_TRUE(rig.LogIn(status, &porque)) << porque;
    rig.TakeEvents();
    rig.dialect.SetNextId(7);
  }
  // Steps in transcript notation against the connection as it stands.
  void Roteiro(std::string_view passos) {
    ScriptedPeer s(passos, rig.dialect);
    s.PlayOver(*rig.ns);
    rig.rt.RunPending();
    EXPECT_TRUE(Played(s));
  }
  Evs Eventos() { return rig.TakeEvents(); }

  MsnClientRig rig;
};

TEST_F(Notificacao, LoginComRedirecionamentoSemEventosNoMeio) {
  rig.cliente.Conectar(6);
  EXPECT_TRUE(rig.cliente.Conectando());
  rig.rt.Advance(999ms);
  EXPECT_EQ(rig.rt.PeerCount(), 0u) << "a second of waiting before connecting";
  rig.rt.Advance(1ms);
  net::FakePeer& despacho = rig.rt.LastPeer();
  EXPECT_EQ(despacho.Host(), "127.0.0.1");
  EXPECT_EQ(despacho.Port(), 1863);
  despacho.Accept();
  ScriptedPeer d(R"(
    C: VER 0 MSNP7 MSNP6 MSNP5 MSNP4 CVRO
    S: VER 0 MSNP7
    C: INF 1
    S: INF 1 MD5
    C: USR 2 MD5 I ana@tazu.test
    S: XFR 2 NS 127.0.0.2:1864 0
    C! close
  )",
                 rig.dialect);
  d.PlayOver(despacho);
  rig.rt.RunPending();
  EXPECT_TRUE(Played(d));
  EXPECT_EQ(Eventos(), Evs{}) << "the redirection raises nothing";
  EXPECT_TRUE(rig.cliente.Conectando());
  rig.rt.Advance(999ms);
  EXPECT_EQ(rig.rt.PeerCount(), 1u);
  rig.rt.Advance(1ms);
  net::FakePeer& ns = rig.rt.LastPeer();
  EXPECT_EQ(ns.Host(), "127.0.0.2");
  EXPECT_EQ(ns.Port(), 1864);
  ns.Accept();
  MsnDialect dialeto(3);
  ScriptedPeer n(MsnLoginTranscript("BSY"), dialeto);
  n.PlayOver(ns);
  rig.rt.RunPending();
  EXPECT_TRUE(Played(n));
  EXPECT_EQ(Eventos(), Evs{"AoConectar()"});
  EXPECT_TRUE(rig.cliente.LoggedIn());
  EXPECT_FALSE(rig.cliente.Conectando());
  EXPECT_EQ(rig.cliente.Notificacao().ApelidoProprio(), "Ana%20Lima");
  EXPECT_EQ(rig.cliente.Status(), 6);
}

TEST_F(Notificacao, ContaInvalidaOuStatusDesconectadoNaoAbremConexao) {
  rig.cliente.Conectar(3);
  rig.cliente.Senha = "";
  rig.cliente.Conectar(1);
  rig.cliente.Senha = "x";
  rig.cliente.Identificador = "ana@tazu.test\r\nOUT";
  rig.cliente.Conectar(1);
  rig.rt.Advance(5s);
  EXPECT_EQ(rig.rt.PeerCount(), 0u);
  EXPECT_EQ(Eventos(), (Evs{"AoFalharConexao(1, Usuário e/ou Senha inválidos)",
                            "AoFalharConexao(1, Usuário e/ou Senha inválidos)"}));
  EXPECT_FALSE(rig.cliente.Conectando());
}

TEST_F(Notificacao, DesafioRespondidoSemFimDeLinhaDepoisDoDigesto) {
  Entrar();
  rig.ServerSends("CHL 0 15570131571988941333");
  EXPECT_TRUE(SameBytes("QRY 7 tazu@tazumessenger.com.br 32\r\nf7d979f78f66e61ab549a8cd59e075b6",
                        rig.TakeSent()));
  rig.cliente.MudarStatus(8);
  EXPECT_EQ(rig.TakeSent(), "CHG 8 AWY\r\n") << "the id keeps counting after QRY";
}

TEST_F(Notificacao, ContatosEPresenca) {
  Entrar();
  rig.ServerSends(R"(
    ILN 4 AWY x@tazu.test Some%20Name
    ILN 4 NLN x@tazu.test Some%20Name
    FLN x@tazu.test
    NLN BSY y@tazu.test Y%20Silva
    LST 5 AL 12 1 3 x@tazu.test Outro
    LST 5 AL 12 2 3 z@tazu.test Z%40casa 0
    LST 5 AL 12 3 3 w@tazu.test Jos%C3%A9
    LST 6 BL 12 0 0
    LST 6 BL 12 1 1 chato@tazu.test Chato
    LST 6 FL 12 1 1 v@tazu.test V
    LST 6 RL 12 1 1 r@tazu.test R
  )");
  EXPECT_EQ(Eventos(), (Evs{
                           "AoReceberContato(x@tazu.test, Some Name, 8)",
                           "AoMudarStatusContato(x@tazu.test, Some Name, 1)",
                           "AoMudarStatusContato(x@tazu.test, Some Name, 3)",
                           "AoMudarStatusContato(y@tazu.test, Y Silva, 6)",
                           "AoReceberContato(z@tazu.test, Z, 3)",
                           "AoReceberContato(w@tazu.test, José, 3)",
                           "AoReceberBloqueado(chato@tazu.test, Chato)",
                           "AoReceberContato(v@tazu.test, V, 3)",
                       }));
  EXPECT_EQ(rig.cliente.Notificacao().ListaDireta().Quantidade(), 4u);
  EXPECT_EQ(rig.cliente.Notificacao().ListaDeBloqueio().Quantidade(), 1u);
  EXPECT_EQ(rig.TakeSent(), "");
}

TEST_F(Notificacao, AdicaoRemocaoERespostasDeErro) {
  Entrar();
  rig.cliente.AdicionarContato("bob@tazu.test");
  rig.cliente.AdicionarContato("zz@tazu.test", cp1252::FromUtf8("Zé"));
  rig.cliente.AdicionarContato("a b");
  EXPECT_EQ(rig.TakeSent(),
            "ADD 7 FL bob@tazu.test bob%40tazu.test 0\r\n"
            "ADD 8 FL zz@tazu.test Z%C3%A9 0\r\n");
  rig.ServerSends(R"(
    ADD 7 FL 13 bob@tazu.test bob%40tazu.test 0
    205 8
    205 99
    ADD 0 RL 14 eva@tazu.test Eva
    LST 5 BL 14 1 1 bob@tazu.test Bob
  )");
  EXPECT_EQ(Eventos(),
            (Evs{"AoErroAdicionando(a b)", "AoAdicionarComSucesso(bob@tazu.test)",
                 "AoReceberContato(bob@tazu.test, bob, 3)", "AoErroAdicionando(zz@tazu.test)",
                 "AoReceberBloqueado(bob@tazu.test, Bob)"}));

  // Not on the forward list: retried on the allow list, then the block list.
  rig.cliente.RemoverContato("bob@tazu.test");
  EXPECT_EQ(rig.TakeSent(), "REM 9 FL bob@tazu.test\r\n");
  rig.ServerSends("216 9");
  EXPECT_EQ(rig.TakeSent(), "REM 10 AL bob@tazu.test\r\n");
  rig.ServerSends("216 10");
  EXPECT_EQ(rig.TakeSent(), "REM 11 BL bob@tazu.test\r\n");
  rig.ServerSends("REM 11 BL 15 bob@tazu.test\n216 11");
  EXPECT_EQ(rig.TakeSent(), "") << "the block list was the last try";
  EXPECT_EQ(rig.cliente.Notificacao().ListaDeBloqueio().Quantidade(), 0u);
  EXPECT_EQ(rig.cliente.Notificacao().ListaDireta().Quantidade(), 1u)
      << "REM of the block list leaves the forward list alone";
  rig.ServerSends("REM 0 RL 16 bob@tazu.test\nREM 12 FL 16 bob@tazu.test");
  EXPECT_EQ(rig.cliente.Notificacao().ListaDireta().Quantidade(), 0u);
  // A refusal of a removal is no failed add.
  rig.cliente.RemoverContato("eva@tazu.test");
  EXPECT_EQ(rig.TakeSent(), "REM 12 FL eva@tazu.test\r\n");
  rig.ServerSends("201 12");
  EXPECT_EQ(Eventos(), Evs{});
}

TEST_F(Notificacao, LinhasCortadasJuntasLongasECorposPorTamanho) {
  Entrar();
  rig.cliente.AoLogRecebidas = [this](msn::TClienteMSN&, const std::string& t) {
    if (t.find("Perfil") != std::string::npos) rig.events.push_back("log " + cp1252::ToUtf8(t));
  };
  const std::string apelido(1500, 'n');
  const std::string perfil =
      "MIME-Version: 1.0\r\nContent-Type: text/x-msmsgsprofile; charset=UTF-8\r\n"
      "LoginTime: 1\r\n\r\n";
  const std::string fluxo = "ILN 4 NLN a@t A\r\nILN 4 NLN b@t " + apelido +
                            "\r\nMSG Hotmail Hotmail " + std::to_string(perfil.size()) + "\r\n" +
                            perfil + "ILN 4 NLN c@t C\r\n";
  for (std::size_t i = 0; i < fluxo.size(); i += 700) rig.ns->Write(fluxo.substr(i, 700));
  rig.rt.RunPending();
  EXPECT_EQ(Eventos(),
            (Evs{"AoReceberContato(a@t, A, 1)", "AoReceberContato(b@t, " + apelido + ", 1)",
                 "log -> Perfil de Usuário Recebido.\r\n", "AoReceberContato(c@t, C, 1)"}));
  // A number that does not read abandons its line only.
  rig.ServerSends(R"(
    XFR 2 NS 127.0.0.1:abc 0
    RNG abc 127.0.0.1:1865 CKI 1.2 bob@t Bob
    ADD x FL 1 d@t D
    MSG Hotmail Hotmail muitos
    ILN 4 NLN d@t D
  )");
  EXPECT_EQ(Eventos(), Evs{"AoReceberContato(d@t, D, 1)"});
  EXPECT_TRUE(rig.cliente.LoggedIn());
  EXPECT_EQ(rig.rt.PeerCount(), 1u);
}

TEST_F(Notificacao, FluxoAlemDoLimiteDerrubaAConexao) {
  Entrar();
  rig.ServerSendsRaw(std::string(msn::TLeitorMSN::kLimiteDeLinha + 10, 'x'));
  EXPECT_EQ(Eventos(), Evs{"AoDesconectar()"});
  EXPECT_TRUE(rig.ns->ClientClosed());
  EXPECT_FALSE(rig.cliente.LoggedIn());
}

TEST_F(Notificacao, PerdaDaConexaoNoLoginEDepois) {
  // Refused while opening: the socket's error.
  rig.cliente.Conectar(1);
  rig.rt.Advance(1s);
  rig.rt.LastPeer().Refuse();
  rig.rt.RunPending();
  EXPECT_EQ(Eventos(), Evs{"AoFalharConexao(10061, Falha ao tentar conectar-se ao servidor)"});
  EXPECT_FALSE(rig.cliente.Conectando());
  // Closed before USR OK.
  rig.Connect();
  rig.ns->Close();
  rig.rt.RunPending();
  EXPECT_EQ(Eventos(), Evs{"AoFalharConexao(2, Falha ao tentar conectar-se ao servidor)"});
  // A server that never answers.
  rig.Connect();
  rig.rt.Advance(60s);
  EXPECT_EQ(Eventos(), Evs{"AoFalharConexao(2, Falha ao tentar conectar-se ao servidor)"});
  EXPECT_TRUE(rig.ns->ClientClosed());
  // Logged in, then the server goes.
  Entrar();
  rig.ns->Close();
  rig.rt.RunPending();
  EXPECT_EQ(Eventos(), Evs{"AoDesconectar()"});
  EXPECT_FALSE(rig.cliente.LoggedIn());
}

TEST_F(Notificacao, DesconectarSaiComOutOuAbandonaOLogin) {
  Entrar();
  rig.cliente.Desconectar();
  EXPECT_EQ(rig.TakeSent(), "OUT\r\n");
  EXPECT_TRUE(rig.ns->ClientClosed());
  EXPECT_EQ(Eventos(), Evs{"AoDesconectar()"});
  EXPECT_EQ(rig.cliente.Notificacao().ListaDireta().Quantidade(), 0u);

  rig.Connect();
  rig.cliente.Desconectar();
  EXPECT_TRUE(rig.ns->ClientClosed());
  EXPECT_FALSE(rig.cliente.Conectando());
  rig.rt.Advance(120s);
  EXPECT_EQ(Eventos(), Evs{}) << "an abandoned login raises nothing, now or later";
}

TEST_F(Notificacao, QuemOuveAoConectarPodeMudarOStatusEmOrdem) {
  rig.cliente.AoConectar = [](msn::TClienteMSN& c) { c.MudarStatus(8); };
  rig.Connect();
  Roteiro(MsnLoginTranscript("NLN", "Ana") + "C: CHG # AWY");
}

}  // namespace
}  // namespace tazu::test
