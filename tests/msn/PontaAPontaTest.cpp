// End to end: the real tazud, the real tazu-sim-msn and the real tazu-cli,
// each its own process on 127.0.0.1. The user keeps an MSN account on tazud
// (setaccounts); at the next login it arrives in SACM, the MSN adapter logs
// in to the simulator, and the user chats with an MSN-only user (played here
// by an MSN client of our own) both ways, with accents, while the simulator
// challenges both every second.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "base/Cp1252.h"
#include "msn/ClienteMSN.h"
#include "net/qt/QtRuntime.h"
#include "tests/support/Program.h"
#include "tests/support/msn/MsnClientRig.h"

namespace tazu::test {
namespace {

TEST(PontaAPontaMsn, TazuCliConversaComUsuarioSoDoMsn) {
  AplicacaoDeTeste app("msn_ponta_a_ponta");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString banco = dir.filePath("tazud.db");
  {
    Program admin(TAZUD_BIN, {"--db", banco, "--hash-cost", "1", "adduser", "ana", "a"});
    ASSERT_EQ(admin.Finish(), 0);
    ASSERT_EQ(admin.Out(), std::vector<std::string>{"1000"});
  }
  Program tazud(TAZUD_BIN, {"--listen", "127.0.0.1:0", "--db", banco, "--hash-cost", "1"});
  const int portaTazu = tazud.Port();
  ASSERT_GT(portaTazu, 0);
  Program sim(TAZU_SIM_MSN_BIN,
              {"--listen", "127.0.0.1:0", "--user", "ana@tazu.test:pm:Ana", "--user",
               "bob@tazu.test:pb:Bob Sousa", "--contact", "ana@tazu.test:bob@tazu.test",
               "--contact", "bob@tazu.test:ana@tazu.test", "--challenge-every", "1"});
  const int portaMsn = sim.Port("dispatch listening on 127.0.0.1:");
  ASSERT_GT(portaMsn, 0);

  // Bob, on MSN only.
  net::QtRuntime rt;
  msn::TClienteMSN bob(rt);
  std::vector<std::string> eventosBob;
  bob.Identificador = "bob@tazu.test";
  bob.Senha = "pb";
  bob.DefinirServidor("127.0.0.1", static_cast<uint16_t>(portaMsn));
  RecordMsnEvents(bob, eventosBob);
  bob.Conectar(1);
  ASSERT_TRUE(EsperarAte([&] { return bob.LoggedIn(); })) << sim.Transcript();

  QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
  ambiente.insert("TAZU_SERVIDOR_MSN", QString("127.0.0.1:%1").arg(portaMsn));
  const QStringList args = {"--server",   QString("127.0.0.1:%1").arg(portaTazu),
                            "--niu",      "1000",
                            "--password", "a",
                            "--home",     dir.filePath("home")};
  {
    Program cli(TAZU_CLI_BIN, args, ambiente);
    ASSERT_TRUE(cli.WaitFor({"\"AoConectarComunidade\""}));
    cli.Write("setaccounts 0 0 x 1 ana@tazu.test pm 0 y z");
    cli.Write("quit");
    ASSERT_EQ(cli.Finish(), 0);
  }
  Program cli(TAZU_CLI_BIN, args, ambiente);
  ASSERT_TRUE(cli.WaitFor({"\"AoConectarComunicador\"", "\"MSN\""}));
  ASSERT_TRUE(cli.WaitFor(
      {"\"AoReceberContato\"", "bob@tazu.test", "\"Apelido\": \"Bob Sousa\"", "\"Status\": 1"}))
      << cli.Transcript();

  cli.Write("msg MSN bob@tazu.test olá, Bob! Ação às 9h");
  ASSERT_TRUE(EsperarAte([&] {
    return !eventosBob.empty() &&
           eventosBob.back().find("ana@tazu.test, Ana, olá, Bob! Ação às 9h)") != std::string::npos;
  })) << (eventosBob.empty() ? "" : eventosBob.back());
  EXPECT_TRUE(cli.WaitFor({"\"AoConfirmarEnvio\"", "\"Comunicador\": \"MSN\"", "bob@tazu.test"}));

  bob.EnviarMensagem("ana@tazu.test", cp1252::FromUtf8("Tudo ótimo, Ana! É já"));
  EXPECT_TRUE(
      cli.WaitFor({"\"AoReceberMensagemUsuario\"", "bob@tazu.test", "Tudo ótimo, Ana! É já"}))
      << cli.Transcript();

  // Challenges come every second over real reads; a second one comes only to
  // a client that answered the first right.
  for (const char* quem : {"bob@tazu.test] QRY", "ana@tazu.test] QRY"}) {
    EXPECT_TRUE(EsperarAte([&] {
      return sim.Count({quem, "32 (+32 bytes)"}, true) >= 2;
    })) << quem
        << "\n"
        << sim.Transcript();
  }

  cli.Write("quit");
  EXPECT_EQ(cli.Finish(), 0);
  EXPECT_TRUE(EsperarAte([&] {
    return std::find(eventosBob.begin(), eventosBob.end(),
                     "AoMudarStatusContato(ana@tazu.test, Ana, 3)") != eventosBob.end();
  })) << "ana signed out of MSN with the program";
}

}  // namespace
}  // namespace tazu::test
