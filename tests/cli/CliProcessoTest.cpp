// tazu-cli driven end to end through its stdin and stdout, against a server
// played by the test on 127.0.0.1 (scrambling on).
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "net/qt/QtRuntime.h"
#include "tests/support/Expect.h"
#include "tests/support/LoopQt.h"
#include "tests/support/TazuDialect.h"

#ifndef TAZU_CLI
#error "TAZU_CLI must name the tazu-cli executable"
#endif

namespace tazu {
namespace {

TEST(CliProcesso, EntraEnviaRecebeESai) {
  test::AplicacaoDeTeste app("cli_processo");
  net::QtRuntime rt;
  test::TazuDialect dialeto;
  test::ScriptedPeer servidor(R"(
    C: *
    S: [RVER] 1000 0 77
    C: [CCON] pw 1
    S: [RCCA]
    S: [RUAC] 0 Ana
    S: [SACT] 20 Bia A 1 TPC
    C: [CMSG] 20 "oi Bia#<RET>#"
    S: [SCEM] 20
    S: [CMSG] 20 Bia C "olá Ana"
    C: [CDSC]
    S: [SDSC]
  )", dialeto);
  auto escuta = rt.CreateTcpListener();
  escuta->onAccept = [&](std::unique_ptr<net::TcpSocket> s) { servidor.PlayOver(std::move(s)); };
  ASSERT_TRUE(escuta->Listen("127.0.0.1", 0));
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());

  QProcess cli;
  cli.start(TAZU_CLI, {"--server", QString("127.0.0.1:%1").arg(escuta->Port()), "--niu", "1000",
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
  EXPECT_TRUE(test::Played(servidor));

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
