// End to end, each program in its own process on 127.0.0.1: tazu-cli signed
// in to tazud, the user's Yahoo account stored there with `setaccounts` and
// handed over at the next login, the Yahoo adapter logging in to
// tazu-sim-yahoo, and messages with a Yahoo-only user (played here by a
// Yahoo client on Qt's loop) and with the simulator's echo bot.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "net/qt/QtRuntime.h"
#include "tests/support/LoopQt.h"
#include "tests/support/yahoo/YahooRig.h"
#include "yahoo/ClienteYahoo.h"

#if !defined(TAZUD_BIN) || !defined(TAZU_CLI_BIN) || !defined(TAZU_SIM_YAHOO_BIN)
#error "TAZUD_BIN, TAZU_CLI_BIN and TAZU_SIM_YAHOO_BIN must name the programs"
#endif

namespace tazu::test {
namespace {

// A program whose output lines are kept, standard output and error apart.
class Programa {
 public:
  Programa(const QString& caminho, const QStringList& args, const QProcessEnvironment& env = {}) {
    if (!env.isEmpty()) p_.setProcessEnvironment(env);
    QObject::connect(&p_, &QProcess::readyReadStandardOutput, [this] { Ler(false); });
    QObject::connect(&p_, &QProcess::readyReadStandardError, [this] { Ler(true); });
    p_.start(caminho, args);
  }
  ~Programa() {
    if (p_.state() != QProcess::NotRunning) {
      p_.kill();
      p_.waitForFinished(5000);
    }
  }
  void Escrever(const std::string& linha) { p_.write((linha + "\n").c_str()); }
  // A line of standard output (or error) holding every piece.
  bool Esperar(const std::vector<std::string>& pedacos, bool erro = false, int ms = 15000) {
    return EsperarAte([&] { return !Linha(pedacos, erro).empty(); }, ms);
  }
  std::string Linha(const std::vector<std::string>& pedacos, bool erro = false) const {
    for (const std::string& l : erro ? erro_ : saida_) {
      bool todos = true;
      for (const std::string& p : pedacos) todos = todos && l.find(p) != std::string::npos;
      if (todos) return l;
    }
    return {};
  }
  bool Terminou(int ms = 15000) {
    return EsperarAte([&] { return p_.state() == QProcess::NotRunning; }, ms);
  }
  // The port of a "listening on 127.0.0.1:PORT" line.
  uint16_t Porta() const {
    const std::string l = Linha({"listening on 127.0.0.1:"}, true);
    return static_cast<uint16_t>(std::stoi(l.substr(l.find("127.0.0.1:") + 10)));
  }
  const std::vector<std::string>& Saida() const { return saida_; }

 private:
  void Ler(bool erro) {
    std::string& parcial = erro ? parcialErro_ : parcialSaida_;
    parcial += (erro ? p_.readAllStandardError() : p_.readAllStandardOutput()).toStdString();
    for (std::size_t n; (n = parcial.find('\n')) != std::string::npos; parcial.erase(0, n + 1))
      (erro ? erro_ : saida_).push_back(parcial.substr(0, n));
  }
  QProcess p_;
  std::string parcialSaida_, parcialErro_;
  std::vector<std::string> saida_, erro_;
};

TEST(PontaAPontaYahoo, ContaYahooGuardadaNoTazudEntraEConversa) {
  AplicacaoDeTeste app("yahoo_e2e");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString db = dir.path() + "/tazud.db";
  {
    Programa admin(TAZUD_BIN, {"--db", db, "--hash-cost", "1", "adduser", "ana", "a"});
    ASSERT_TRUE(admin.Terminou());
    ASSERT_EQ(admin.Saida(), std::vector<std::string>{"1000"});
  }
  Programa tazud(TAZUD_BIN, {"--listen", "127.0.0.1:0", "--db", db, "--hash-cost", "1"});
  ASSERT_TRUE(tazud.Esperar({"listening on 127.0.0.1:"}, true));
  Programa sim(
      TAZU_SIM_YAHOO_BIN,
      {"--listen", "127.0.0.1:0", "--account", "ana_y:py:Amigos=bia_y,eco_y", "--account",
       "bia_y:pb:Amigos=ana_y", "--account", "eco_y:pe:Amigos=ana_y", "--echo-bot", "eco_y"});
  ASSERT_TRUE(sim.Esperar({"echo bot eco_y: logged in"}, true));

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("TAZU_SERVIDOR_YAHOO", QString("127.0.0.1:%1").arg(sim.Porta()));
  const QStringList cli = {"--server",   QString("127.0.0.1:%1").arg(tazud.Porta()),
                           "--niu",      "1000",
                           "--password", "a",
                           "--home",     dir.path() + "/home"};
  {
    Programa ana(TAZU_CLI_BIN, cli, env);
    ASSERT_TRUE(ana.Esperar({"\"AoConectarComunidade\""}));
    ana.Escrever("setaccounts 0 \"\" \"\" 0 \"\" \"\" 1 ana_y py");
    ana.Escrever("accounts");
    ASSERT_TRUE(ana.Esperar({"\"AoReceberComunicadores\"", "ana_y"}));
    ana.Escrever("quit");
    ASSERT_TRUE(ana.Terminou());
  }

  // The Yahoo-only user.
  net::QtRuntime rt;
  yahoo::TClienteYahoo bia(rt);
  std::vector<std::string> eventosBia;
  ObservarClienteYahoo(bia, eventosBia);
  bia.Servidor = "127.0.0.1";
  bia.Porta = sim.Porta();
  bia.Usuario = "bia_y";
  bia.Senha = "pb";
  bia.Conectar(1);
  ASSERT_TRUE(EsperarAte([&] { return bia.LoggedIn; }));

  // Next login: the account comes with it and the buddies show up.
  Programa ana(TAZU_CLI_BIN, cli, env);
  ASSERT_TRUE(ana.Esperar({"\"AoConectarComunicador\"", "Yahoo"}));
  EXPECT_TRUE(ana.Esperar(
      {"\"AoReceberContato\"", "\"bia_y\"", "\"Comunicador\": \"Yahoo\"", "\"Conectado\": true"}));
  EXPECT_TRUE(ana.Esperar({"\"AoReceberContato\"", "\"eco_y\"", "\"Conectado\": true"}));

  ana.Escrever("msg Yahoo bia_y olá Bia");
  ASSERT_TRUE(EsperarAte([&] {
    for (const std::string& e : eventosBia)
      if (e.find("UserID=\"ana_y\", Msg=\"ol\xC3\xA1 Bia\"") != std::string::npos) return true;
    return false;
  })) << "bia gets the text as UTF-8";
  EXPECT_TRUE(ana.Esperar({"\"AoConfirmarEnvio\"", "\"Yahoo\"", "bia_y"}));
  bia.EnviarMensagem("ana_y", "oi Ana, tudo bem?");
  EXPECT_TRUE(ana.Esperar({"\"AoReceberMensagemUsuario\"", "bia_y", "oi Ana, tudo bem?"}));
  ana.Escrever("msg Yahoo eco_y você está aí?");
  EXPECT_TRUE(ana.Esperar({"\"AoReceberMensagemUsuario\"", "eco_y", "eco: você está aí?"}));

  ana.Escrever("quit");
  ASSERT_TRUE(ana.Terminou());
  EXPECT_TRUE(EsperarAte([&] {
    for (const std::string& e : eventosBia)
      if (e.find("UserID=\"ana_y\", Status=1515563606") != std::string::npos) return true;
    return false;
  })) << "bia sees ana leave";
}

}  // namespace
}  // namespace tazu::test
