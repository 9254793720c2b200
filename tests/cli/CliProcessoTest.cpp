// tazu-cli driven end to end through its stdin and stdout, against a server
// played by the test on 127.0.0.1 (scrambling on).
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "net/qt/QtRuntime.h"
#include "tests/support/LoopQt.h"
#include "tests/support/ServidorRoteirizado.h"

#ifndef TAZU_CLI
#error "TAZU_CLI must name the tazu-cli executable"
#endif

namespace tazu {
namespace {

const std::string S = "\xA7";

TEST(CliProcesso, LogsInSendsReceivesAndQuits) {
  test::AplicacaoDeTeste app("cli_processo");
  net::QtRuntime rt;
  test::ServidorRoteirizado servidor(rt);
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());

  QProcess cli;
  cli.start(TAZU_CLI, {"--server", QString("127.0.0.1:%1").arg(servidor.Porta()), "--niu", "1000",
                       "--password", "pw", "--home", home.path()});
  ASSERT_TRUE(cli.waitForStarted(10000));
  QByteArray saida;
  QObject::connect(&cli, &QProcess::readyReadStandardOutput,
                   [&] { saida += cli.readAllStandardOutput(); });

  ASSERT_TRUE(test::EsperarAte([&] { return saida.contains("AoConectarComunidade"); })) << saida.data();
  cli.write("msg Tazu 20 oi Bia\n");
  ASSERT_TRUE(test::EsperarAte([&] { return saida.contains("AoReceberMensagemUsuario"); })) << saida.data();
  cli.write("quit\n");
  ASSERT_TRUE(test::EsperarAte([&] { return cli.state() == QProcess::NotRunning; })) << saida.data();
  saida += cli.readAllStandardOutput();

  EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(cli.exitCode(), 0);
  ASSERT_GE(servidor.recebidas.size(), 4u);
  EXPECT_TRUE(servidor.recebidas[0].ends_with(S + "1000" + S + "1.0 AA" + S + "P" + S +
                                              "Tazu Messenger"))
      << servidor.recebidas[0];
  EXPECT_EQ(servidor.recebidas[1], "[CCON]" + S + "pw" + S + "1");
  EXPECT_EQ(servidor.recebidas[2], "[CMSG]" + S + "20" + S + "oi Bia#<RET>#");
  EXPECT_EQ(servidor.recebidas[3], "[CDSC]");

  const QList<QByteArray> linhas = saida.trimmed().split('\n');
  const std::string texto = saida.toStdString();
  EXPECT_NE(texto.find("{\"event\": \"AoConfirmarEnvio\", \"Comunicador\": \"Tazu\", "
                       "\"Identificador\": \"20\"}"),
            std::string::npos);
  EXPECT_NE(texto.find("\"Mensagem\": [\"ol\xC3\xA1 Ana\"]"), std::string::npos) << texto;
  EXPECT_EQ(linhas.front().toStdString(), "{\"event\": \"AoConectarServidor\"}");
  EXPECT_TRUE(QFile::exists(home.path() + "/Hst"));
}

}  // namespace
}  // namespace tazu
