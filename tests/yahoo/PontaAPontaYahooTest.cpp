// End to end, each program in its own process on 127.0.0.1: tazu-cli signed
// in to tazud, the user's Yahoo account stored there with `setaccounts` and
// handed over at the next login, the Yahoo adapter logging in to
// tazu-sim-yahoo, its buddies (online or not) joining the contact list, and
// messages with a Yahoo-only user (played here by a Yahoo client on Qt's loop)
// and with the simulator's echo bot.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "net/qt/QtRuntime.h"
#include "tests/support/Program.h"
#include "tests/support/yahoo/YahooRig.h"
#include "yahoo/ClienteYahoo.h"

#if !defined(TAZUD_BIN) || !defined(TAZU_CLI_BIN) || !defined(TAZU_SIM_YAHOO_BIN)
#error "TAZUD_BIN, TAZU_CLI_BIN and TAZU_SIM_YAHOO_BIN must name the programs"
#endif

namespace tazu::test {
namespace {

TEST(PontaAPontaYahoo, ContaYahooGuardadaNoTazudEntraEConversa) {
  AplicacaoDeTeste app("yahoo_e2e");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString db = dir.path() + "/tazud.db";
  {
    Program admin(TAZUD_BIN, {"--db", db, "--hash-cost", "1", "adduser", "ana", "a"});
    ASSERT_EQ(admin.Finish(), 0);
    ASSERT_EQ(admin.Out(), std::vector<std::string>{"1000"});
  }
  Program tazud(TAZUD_BIN, {"--listen", "127.0.0.1:0", "--db", db, "--hash-cost", "1"});
  ASSERT_TRUE(tazud.WaitFor({"listening on 127.0.0.1:"}, true));
  Program sim(TAZU_SIM_YAHOO_BIN,
              {"--listen", "127.0.0.1:0", "--account", "ana_y:py:Amigos=bia_y,eco_y,zeca_y",
               "--account", "bia_y:pb:Amigos=ana_y", "--account", "eco_y:pe:Amigos=ana_y",
               "--account", "zeca_y:pz", "--echo-bot", "eco_y"});
  ASSERT_TRUE(sim.WaitFor({"echo bot eco_y: logged in"}, true));

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("TAZU_SERVIDOR_YAHOO", QString("127.0.0.1:%1").arg(sim.Port()));
  const QStringList cli = {"--server",   QString("127.0.0.1:%1").arg(tazud.Port()),
                           "--niu",      "1000",
                           "--password", "a",
                           "--home",     dir.path() + "/home"};
  {
    Program ana(TAZU_CLI_BIN, cli, env);
    ASSERT_TRUE(ana.WaitFor({"\"AoConectarComunidade\""}));
    ana.Write("setaccounts 0 \"\" \"\" 0 \"\" \"\" 1 ana_y py");
    ana.Write("accounts");
    ASSERT_TRUE(ana.WaitFor({"\"AoReceberComunicadores\"", "ana_y"}));
    ana.Write("quit");
    ASSERT_EQ(ana.Finish(), 0);
  }

  // The Yahoo-only user.
  net::QtRuntime rt;
  yahoo::TClienteYahoo bia(rt);
  std::vector<std::string> eventosBia;
  ObservarClienteYahoo(bia, eventosBia);
  bia.Servidor = "127.0.0.1";
  bia.Porta = sim.Port();
  bia.Usuario = "bia_y";
  bia.Senha = "pb";
  bia.Conectar(1);
  ASSERT_TRUE(EsperarAte([&] { return bia.LoggedIn; }));

  // Next login: the account comes with it and the buddies show up.
  Program ana(TAZU_CLI_BIN, cli, env);
  ASSERT_TRUE(ana.WaitFor({"\"AoConectarComunicador\"", "Yahoo"}));
  EXPECT_TRUE(ana.WaitFor(
      {"\"AoReceberContato\"", "\"bia_y\"", "\"Comunicador\": \"Yahoo\"", "\"Conectado\": true"}));
  EXPECT_TRUE(ana.WaitFor({"\"AoReceberContato\"", "\"eco_y\"", "\"Conectado\": true"}));
  EXPECT_TRUE(ana.WaitFor({"\"AoReceberContato\"", "\"zeca_y\"", "\"Conectado\": false"}));

  ana.Write("msg Yahoo bia_y olá Bia");
  ASSERT_TRUE(EsperarAte([&] {
    for (const std::string& e : eventosBia)
      if (e.find("UserID=\"ana_y\", Msg=\"ol\xC3\xA1 Bia\"") != std::string::npos) return true;
    return false;
  })) << "bia gets the text as UTF-8";
  EXPECT_TRUE(ana.WaitFor({"\"AoConfirmarEnvio\"", "\"Yahoo\"", "bia_y"}));
  bia.EnviarMensagem("ana_y", "oi Ana, tudo bem?");
  EXPECT_TRUE(ana.WaitFor({"\"AoReceberMensagemUsuario\"", "bia_y", "oi Ana, tudo bem?"}));
  ana.Write("msg Yahoo eco_y você está aí?");
  EXPECT_TRUE(ana.WaitFor({"\"AoReceberMensagemUsuario\"", "eco_y", "eco: você está aí?"}));

  ana.Write("quit");
  ASSERT_EQ(ana.Finish(), 0);
  EXPECT_TRUE(EsperarAte([&] {
    for (const std::string& e : eventosBia)
      if (e.find("UserID=\"ana_y\", Status=1515563606") != std::string::npos) return true;
    return false;
  })) << "bia sees ana leave";
}

}  // namespace
}  // namespace tazu::test
