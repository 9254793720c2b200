// End to end: the real tazud, the real tazu-sim-msn and the real tazu-cli,
// each its own process on 127.0.0.1. The user keeps an MSN account on tazud
// (setaccounts); at the next login it arrives in SACM, the MSN adapter logs
// in to the simulator, and the user chats with an MSN-only user (played here
// by an MSN client of our own) both ways, with accents.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "base/Cp1252.h"
#include "msn/ClienteMSN.h"
#include "net/qt/QtRuntime.h"
#include "tests/support/LoopQt.h"
#include "tests/support/msn/MsnClientRig.h"

namespace tazu::test {
namespace {

// A child process whose output is gathered as it comes.
struct Processo {
  QProcess p;
  QByteArray saida, erro;
  Processo(const QString& programa, const QStringList& args,
           const QProcessEnvironment& ambiente = QProcessEnvironment::systemEnvironment()) {
    p.setProcessEnvironment(ambiente);
    QObject::connect(&p, &QProcess::readyReadStandardOutput,
                     [this] { saida += p.readAllStandardOutput(); });
    QObject::connect(&p, &QProcess::readyReadStandardError,
                     [this] { erro += p.readAllStandardError(); });
    p.start(programa, args);
    EXPECT_TRUE(p.waitForStarted(10000)) << programa.toStdString();
  }
  ~Processo() {
    if (p.state() != QProcess::NotRunning) {
      p.kill();
      p.waitForFinished(5000);
    }
  }
  // The port after `marca` in the standard error, once it is there.
  int Porta(const QString& marca) {
    const QRegularExpression re(QRegularExpression::escape(marca) + "(\\d+)");
    int porta = 0;
    EsperarAte([&] {
      const auto m = re.match(QString::fromUtf8(erro));
      if (m.hasMatch()) porta = m.captured(1).toInt();
      return porta > 0;
    });
    return porta;
  }
  bool Esperar(const std::vector<std::string>& pedacos) {
    return EsperarAte([&] {
      for (const QByteArray& linha : saida.split('\n')) {
        bool todos = true;
        for (const std::string& p : pedacos) todos = todos && linha.contains(p.c_str());
        if (todos) return true;
      }
      return false;
    });
  }
  void Escrever(const std::string& linha) { p.write((linha + "\n").c_str()); }
};

TEST(PontaAPontaMsn, TazuCliConversaComUsuarioSoDoMsn) {
  AplicacaoDeTeste app("msn_ponta_a_ponta");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString banco = dir.filePath("tazud.db");
  {
    Processo admin(TAZUD_BIN, {"--db", banco, "--hash-cost", "1", "adduser", "ana", "a"});
    ASSERT_TRUE(admin.p.waitForFinished(10000));
    ASSERT_EQ(admin.saida.trimmed(), "1000");
  }
  Processo tazud(TAZUD_BIN, {"--listen", "127.0.0.1:0", "--db", banco, "--hash-cost", "1"});
  const int portaTazu = tazud.Porta("listening on 127.0.0.1:");
  ASSERT_GT(portaTazu, 0);
  Processo sim(TAZU_SIM_MSN_BIN,
               {"--listen", "127.0.0.1:0", "--user", "ana@tazu.test:pm:Ana", "--user",
                "bob@tazu.test:pb:Bob Sousa", "--contact", "ana@tazu.test:bob@tazu.test",
                "--contact", "bob@tazu.test:ana@tazu.test"});
  const int portaMsn = sim.Porta("dispatch listening on 127.0.0.1:");
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
  ASSERT_TRUE(EsperarAte([&] { return bob.LoggedIn(); })) << sim.erro.toStdString();

  QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
  ambiente.insert("TAZU_SERVIDOR_MSN", QString("127.0.0.1:%1").arg(portaMsn));
  const QStringList args = {"--server",   QString("127.0.0.1:%1").arg(portaTazu),
                            "--niu",      "1000",
                            "--password", "a",
                            "--home",     dir.filePath("home")};
  {
    Processo cli(TAZU_CLI_BIN, args, ambiente);
    ASSERT_TRUE(cli.Esperar({"\"AoConectarComunidade\""}));
    cli.Escrever("setaccounts 0 0 x 1 ana@tazu.test pm 0 y z");
    cli.Escrever("quit");
    ASSERT_TRUE(cli.p.waitForFinished(10000));
  }
  Processo cli(TAZU_CLI_BIN, args, ambiente);
  ASSERT_TRUE(cli.Esperar({"\"AoConectarComunicador\"", "\"MSN\""})) << cli.saida.toStdString();
  ASSERT_TRUE(cli.Esperar(
      {"\"AoReceberContato\"", "bob@tazu.test", "\"Apelido\": \"Bob Sousa\"", "\"Status\": 1"}))
      << cli.saida.toStdString();

  cli.Escrever("msg MSN bob@tazu.test olá, Bob! Ação às 9h");
  ASSERT_TRUE(EsperarAte([&] {
    return !eventosBob.empty() &&
           eventosBob.back().find("ana@tazu.test, Ana, olá, Bob! Ação às 9h)") != std::string::npos;
  })) << (eventosBob.empty() ? "" : eventosBob.back());
  EXPECT_TRUE(cli.Esperar({"\"AoConfirmarEnvio\"", "\"Comunicador\": \"MSN\"", "bob@tazu.test"}));

  bob.EnviarMensagem("ana@tazu.test", cp1252::FromUtf8("Tudo ótimo, Ana! É já"));
  EXPECT_TRUE(
      cli.Esperar({"\"AoReceberMensagemUsuario\"", "bob@tazu.test", "Tudo ótimo, Ana! É já"}))
      << cli.saida.toStdString();

  cli.Escrever("quit");
  ASSERT_TRUE(cli.p.waitForFinished(10000));
  EXPECT_EQ(cli.p.exitCode(), 0);
  EXPECT_TRUE(EsperarAte([&] {
    return std::find(eventosBob.begin(), eventosBob.end(),
                     "AoMudarStatusContato(ana@tazu.test, Ana, 3)") != eventosBob.end();
  })) << "ana signed out of MSN with the program";
}

}  // namespace
}  // namespace tazu::test
