// tazu-cli driven end to end through its stdin and stdout, against a server
// played by the test on 127.0.0.1 (scrambling on).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/ProtocoloTazu.h"
#include "core/UCriptografia.h"
#include "net/qt/QtRuntime.h"

#ifndef TAZU_CLI
#error "TAZU_CLI must name the tazu-cli executable"
#endif

namespace tazu {
namespace {

const std::string S = "\xA7";

// A Tazu server that answers by rules and records the lines it got.
class ServidorRoteirizado {
 public:
  explicit ServidorRoteirizado(net::Runtime& rt) : escuta_(rt.CreateTcpListener()) {
    cripto_.Chave = 0;
    escuta_->onAccept = [this](std::unique_ptr<net::TcpSocket> s) {
      conexao_ = std::move(s);
      conexao_->onData = [this](std::string_view d) {
        leitor_.Alimentar(d, [this](std::string_view bruta) {
          Responder(AbrirLinha(bruta, cripto_));
          return true;
        });
      };
      conexao_->onClosed = [this] { fechada = true; };
    };
    EXPECT_TRUE(escuta_->Listen("127.0.0.1", 0));
  }
  uint16_t Porta() const { return escuta_->Port(); }

  std::vector<std::string> recebidas;
  bool fechada = false;

 private:
  void Enviar(const std::string& linha) { conexao_->Send(PrepararEnvio(linha, cripto_)); }
  void Responder(const std::string& linha) {
    recebidas.push_back(linha);
    if (linha.rfind("[CVER]", 0) == 0) {
      Enviar("[RVER]" + S + "1000" + S + "0" + S + "77");
      cripto_.Chave = 77;  // everything after RVER is scrambled
    } else if (linha == "[CCON]" + S + "pw" + S + "1") {
      Enviar("[RCCA]");
      Enviar("[RUAC]" + S + "0" + S + "Ana");
      Enviar("[SACT]" + S + "20" + S + "Bia" + S + "A" + S + "1" + S + "TPC");
    } else if (linha.rfind("[CMSG]", 0) == 0) {
      Enviar("[SCEM]" + S + "20");
      Enviar("[CMSG]" + S + "20" + S + "Bia" + S + "C" + S + "ol\xE1 Ana");
    } else if (linha == "[CDSC]") {
      Enviar("[SDSC]");
    }
  }

  std::unique_ptr<net::TcpListener> escuta_;
  std::unique_ptr<net::TcpSocket> conexao_;
  TCriptografia cripto_;
  TLeitorDeLinhas leitor_;
};

bool Esperar(const std::function<bool()>& condicao, int ms = 20000) {
  QElapsedTimer t;
  t.start();
  while (!condicao() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return condicao();
}

TEST(CliProcesso, LogsInSendsReceivesAndQuits) {
  int argc = 1;
  char nome[] = "cli_processo";
  char* argv[] = {nome, nullptr};
  QCoreApplication app(argc, argv);
  net::QtRuntime rt;
  ServidorRoteirizado servidor(rt);
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());

  QProcess cli;
  cli.start(TAZU_CLI, {"--server", QString("127.0.0.1:%1").arg(servidor.Porta()), "--niu", "1000",
                       "--password", "pw", "--home", home.path()});
  ASSERT_TRUE(cli.waitForStarted(10000));
  QByteArray saida;
  QObject::connect(&cli, &QProcess::readyReadStandardOutput,
                   [&] { saida += cli.readAllStandardOutput(); });

  ASSERT_TRUE(Esperar([&] { return saida.contains("AoConectarComunidade"); })) << saida.data();
  cli.write("msg Tazu 20 oi Bia\n");
  ASSERT_TRUE(Esperar([&] { return saida.contains("AoReceberMensagemUsuario"); })) << saida.data();
  cli.write("quit\n");
  ASSERT_TRUE(Esperar([&] { return cli.state() == QProcess::NotRunning; })) << saida.data();
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
