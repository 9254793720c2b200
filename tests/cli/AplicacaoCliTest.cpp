// tazu-cli's behaviour on the fake runtime: commands in, JSON and wire bytes
// out, history written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "cli/AplicacaoCli.h"
#include "core/UHistorico.h"
#include "net/testing/FakeRuntime.h"

namespace tazu::cli {
namespace {

const std::string S = "\xA7";

TEST(DividirComando, WordsQuotesAndAFreeLastArgument) {
  std::vector<std::string> p;
  ASSERT_TRUE(DividirComando("Tazu  20   oi,  tudo \"bem\"", 3, true, p));
  EXPECT_EQ(p, (std::vector<std::string>{"Tazu", "20", "oi,  tudo \"bem\""}));
  ASSERT_TRUE(DividirComando("1 \"\" \"a b\" \"x\\\"y\\\\\"", 4, false, p));
  EXPECT_EQ(p, (std::vector<std::string>{"1", "", "a b", "x\"y\\"}));
  EXPECT_FALSE(DividirComando("\"aberta", 1, false, p));
  ASSERT_TRUE(DividirComando("", 0, false, p));
  EXPECT_TRUE(p.empty());
}

TEST(LerOpcoes, ReadsTheCommandLineAndRefusesNonsense) {
  TOpcoes o;
  std::string erro;
  ASSERT_TRUE(LerOpcoes({"--server", "127.0.0.1:7498", "--niu", "1000", "--password", "s\xC3\xA9",
                         "--status", "6", "--home", "/tmp/x"},
                        o, erro))
      << erro;
  EXPECT_EQ(o.host, "127.0.0.1");
  EXPECT_EQ(o.porta, 7498);
  EXPECT_TRUE(o.temNiu);
  EXPECT_EQ(o.niu, 1000);
  EXPECT_EQ(o.senha, "s\xE9");  // converted to Windows-1252
  EXPECT_EQ(o.status, 6);
  for (auto ruim : std::vector<std::vector<std::string>>{
           {"--server", "semporta"}, {"--server", "h:0"}, {"--niu", "70000"}, {"--niu"},
           {"--status", "3"}, {"--frobnicate"}}) {
    TOpcoes x;
    EXPECT_FALSE(LerOpcoes(ruim, x, erro)) << ruim[0];
    EXPECT_FALSE(erro.empty());
  }
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    char modelo[] = "/tmp/tazu-cli-XXXXXX";
    home_ = mkdtemp(modelo);
    setenv("TAZU_HOME", home_.c_str(), 1);
  }
  void TearDown() override {
    app_.reset();
    unsetenv("TAZU_HOME");
    std::filesystem::remove_all(home_);
  }

  // Starts the CLI for NIU 1000 and completes its login.
  void Entrar() {
    TOpcoes o;
    o.host = "127.0.0.1";
    o.porta = 7498;
    o.temNiu = true;
    o.niu = 1000;
    o.senha = "pw";
    app_ = std::make_unique<TAplicacaoCli>(rt_, o);
    app_->saida = [this](const std::string& j) { saida_.push_back(j); };
    app_->aoTerminar = [this](int c) { codigo_ = c; };
    app_->Iniciar();
    rt_.RunPending();
    peer_ = &rt_.LastPeer();
    if (peer_->GetState() == net::FakePeer::State::Connecting) peer_->Accept();
    rt_.RunPending();
  }
  void Servidor(const std::string& b) {
    peer_->Write(b);
    rt_.RunPending();
  }
  void Comando(const std::string& l) {
    app_->Comando(l);
    rt_.RunPending();
  }
  std::vector<std::string> Saida() {
    std::vector<std::string> s;
    s.swap(saida_);
    return s;
  }

  std::string home_;
  net::FakeRuntime rt_;
  std::unique_ptr<TAplicacaoCli> app_;
  net::FakePeer* peer_ = nullptr;
  std::vector<std::string> saida_;
  int codigo_ = -1;
};

TEST_F(Cli, CommandsTypedDuringLoginWaitForItsEnd) {
  Entrar();
  EXPECT_EQ(peer_->Take(), "[CVER]" + S + "127.0.0.1" + S + "49152" + S + "1000" + S + "1.0 AA" + S + "P" + S +
                               "Tazu Messenger\r\n");
  Comando("msg Tazu 20 oi\\ncomo vai");
  Comando("bogus");
  EXPECT_EQ(peer_->Take(), "");  // still logging in
  Servidor("[RVER]" + S + "1000" + S + "0" + S + "0\r\n[RCCA]\r\n[RUAC]" + S + "0" + S + "Ana\r\n");
  EXPECT_EQ(peer_->Take(), "[CCON]" + S + "pw" + S + "1\r\n[CMSG]" + S + "20" + S +
                               "oi#<RET>#como vai#<RET>#\r\n");
  const auto s = Saida();
  ASSERT_GE(s.size(), 5u);
  EXPECT_EQ(s[0], "{\"event\": \"AoConectarServidor\"}");
  EXPECT_EQ(s.back(), "{\"event\": \"erro\", \"Descricao\": \"Comando desconhecido: bogus\"}");
}

TEST_F(Cli, MalformedCommandsOnlyAnswerAnError) {
  Entrar();
  Servidor("[RVER]" + S + "1000" + S + "0" + S + "0\r\n[RCCA]\r\n[RUAC]" + S + "0" + S + "Ana\r\n");
  peer_->Take();
  Saida();
  for (const char* ruim : {"msg Tazu", "msg Tazu abc oi", "status x", "search Tazu 9 a",
                           "setinfo 3 x", "setaccounts 1 2", "identify 2 a b", "add \"Tazu"}) {
    Comando(ruim);
    const auto s = Saida();
    ASSERT_EQ(s.size(), 1u) << ruim;
    EXPECT_EQ(s[0].rfind("{\"event\": \"erro\"", 0), 0u) << s[0];
  }
  EXPECT_EQ(peer_->Take(), "");
  Comando("register a b c D e f g h i \"\" \"\" pt en es 1 2 3 a@b 0 0");
  EXPECT_NE(Saida().at(0).find("desconecte-se"), std::string::npos);
}

TEST_F(Cli, MessagesGoToTheHistoryAsTheChatWindowWritesThem) {
  Entrar();
  Servidor("[RVER]" + S + "1000" + S + "0" + S + "0\r\n[RCCA]\r\n[RUAC]" + S + "0" + S + "Ana\r\n" +
           "[SACT]" + S + "20" + S + "Bia" + S + "A" + S + "1" + S + "TPC\r\n");
  Comando("msg Tazu 20 primeira");
  Servidor("[SCEM]" + S + "20\r\n[CMSG]" + S + "20" + S + "Bia" + S + "C" + S + "resposta\r\n");
  Comando("msg Tazu 20 segunda");
  Servidor("[SNEM]" + S + "20" + S + "segunda\r\n");
  const auto h = LerHistorico(1000, "Tazu", "20");
  ASSERT_EQ(h.size(), 3u);
  EXPECT_EQ(h[0].Tipo, HistoricoEnviada);
  EXPECT_EQ(h[0].Cabecalho, "Ana: ");
  EXPECT_EQ(h[0].Texto, "primeira");
  EXPECT_EQ(h[1].Tipo, HistoricoRecebida);
  EXPECT_EQ(h[1].Cabecalho, "Bia: ");
  EXPECT_EQ(h[1].Texto, "resposta");
  EXPECT_EQ(h[2].Tipo, HistoricoNaoEntregue);
  EXPECT_EQ(h[2].Cabecalho, "Bia n\xE3o est\xE1 conectado ao Tazu no momento. A mensagem ser\xE1 "
                            "enviada quando ele se conectar:");
  EXPECT_EQ(h[2].Texto, "segunda");
  EXPECT_EQ(h[0].Hora.size(), 16u);
}

TEST_F(Cli, QuitAndEndOfInputLeaveCleanly) {
  Entrar();
  Servidor("[RVER]" + S + "1000" + S + "0" + S + "0\r\n[RCCA]\r\n[RUAC]" + S + "0" + S + "Ana\r\n");
  peer_->Take();
  app_->FimDaEntrada();
  rt_.RunPending();
  EXPECT_EQ(peer_->Take(), "[CDSC]\r\n");
  EXPECT_EQ(codigo_, -1);
  Servidor("[SDSC]\r\n");
  EXPECT_EQ(codigo_, 0);
}

TEST_F(Cli, AServerThatNeverAnswersReleasesTheCommandsAfter30s) {
  Entrar();
  Comando("contacts");
  EXPECT_EQ(Saida().size(), 1u);  // only AoConectarServidor
  rt_.Advance(std::chrono::seconds(30));
  const auto s = Saida();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_NE(s[0].find("30 segundos"), std::string::npos);
  EXPECT_EQ(s[1], "{\"event\": \"contatos\", \"Contatos\": []}");
}

TEST_F(Cli, HistoricoGuardaCadaTextoNaSuaConversaEmOrdem) {
  Entrar();
  Servidor("[RVER]" + S + "1000" + S + "0" + S + "0\r\n[RCCA]\r\n[RUAC]" + S + "0" + S + "Ana\r\n");
  Comando("msg Tazu 20 primeira");
  Comando("msg Tazu 0042 para quarenta e dois");
  Comando("msg Tazu 20 segunda");
  Servidor("[SCEM]" + S + "20\r\n[SNEM]" + S + "42" + S + "para quarenta e dois\r\n[SCEM]" + S +
           "20\r\n");
  const auto vinte = LerHistorico(1000, "Tazu", "20");
  ASSERT_EQ(vinte.size(), 2u);
  EXPECT_EQ(vinte[0].Texto, "primeira");
  EXPECT_EQ(vinte[1].Texto, "segunda");
  const auto quarentaEDois = LerHistorico(1000, "Tazu", "42");
  ASSERT_EQ(quarentaEDois.size(), 1u);
  EXPECT_EQ(quarentaEDois[0].Tipo, HistoricoNaoEntregue);
  EXPECT_EQ(quarentaEDois[0].Texto, "para quarenta e dois");
}

// A command that cannot be carried out says why, and sends nothing.
TEST_F(Cli, ComandoQueNaoPodeSerFeitoDaUmErro) {
  Entrar();
  Servidor("[RVER]" + S + "1000" + S + "0" + S + "0\r\n[RCCA]\r\n[RUAC]" + S + "0" + S + "Ana\r\n");
  peer_->Take();
  Saida();
  for (const char* comando :
       {"msg ICQ 123 oi", "add Yahoo amigo", "authreq MSN a@b.c oi", "info ICQ 1", "grant Yahoo x",
        "search MSN 4 a@b.c", "msg Orkut 1 oi", "remove Tazu 99"}) {
    Comando(comando);
    const auto s = Saida();
    ASSERT_EQ(s.size(), 1u) << comando;
    EXPECT_EQ(s[0].rfind("{\"event\": \"erro\"", 0), 0u) << comando << ": " << s[0];
  }
  EXPECT_EQ(peer_->Take(), "");
  // The community's name may be typed in any case.
  Comando("msg tazu 20 oi");
  EXPECT_EQ(peer_->Take(), "[CMSG]" + S + "20" + S + "oi#<RET>#\r\n");

  peer_->Close();  // the server ends the session: offline from here
  rt_.RunPending();
  Saida();
  for (const char* comando : {"msg Tazu 20 oi", "add Tazu 20", "accounts", "setinfo 1 x",
                              "endsearch", "disconnect"}) {
    Comando(comando);
    const auto s = Saida();
    ASSERT_EQ(s.size(), 1u) << comando;
    EXPECT_EQ(s[0].rfind("{\"event\": \"erro\"", 0), 0u) << comando << ": " << s[0];
  }
}

TEST_F(Cli, ServidorInalcancavelTerminaComUm) {
  rt_.FailNextConnect(net::SocketError::ConnectionRefused);
  Entrar();
  EXPECT_EQ(codigo_, 1);
  const auto s = Saida();
  ASSERT_FALSE(s.empty());
  EXPECT_NE(s[0].find("AoReceberErro"), std::string::npos) << s[0];
}

TEST_F(Cli, FalhaAoGravarOHistoricoViraErro) {
  Entrar();
  Servidor("[RVER]" + S + "1000" + S + "0" + S + "0\r\n[RCCA]\r\n[RUAC]" + S + "0" + S + "Ana\r\n");
  std::ofstream(home_ + "/Hst") << "um arquivo onde devia haver uma pasta";
  Saida();
  Servidor("[CMSG]" + S + "20" + S + "Bia" + S + "C" + S + "oi\r\n");
  const auto s = Saida();
  ASSERT_FALSE(s.empty());
  EXPECT_EQ(s.back().rfind("{\"event\": \"erro\"", 0), 0u) << s.back();
  EXPECT_NE(s.back().find("hist\xC3\xB3rico"), std::string::npos) << s.back();
}

TEST_F(Cli, OfflineQuitExitsAtOnce) {
  app_ = std::make_unique<TAplicacaoCli>(rt_, TOpcoes{});
  app_->aoTerminar = [this](int c) { codigo_ = c; };
  app_->Iniciar();
  app_->FimDaEntrada();
  EXPECT_EQ(codigo_, 0);
  EXPECT_EQ(rt_.PeerCount(), 0u);
}

}  // namespace
}  // namespace tazu::cli

namespace tazu {
namespace {

TEST(EventoEmJson, EscapesAndConvertsTexts) {
  TContato c;
  c.Apelido = "Z\xE9 \"o\" \\";
  c.Identificador = "7";
  c.Lista = 'A';
  const TEventoDoCliente e{"AoReceberMensagemUsuario",
                           {"Contato", "Mensagem"},
                           {TValorDeEvento::DoContato(c),
                            TValorDeEvento::DeLinhas({"a\tb", std::string("\x01", 1)})}};
  EXPECT_EQ(EventoEmJson(e),
            "{\"event\": \"AoReceberMensagemUsuario\", \"Contato\": {\"NIU\": 0, \"Apelido\": "
            "\"Z\xC3\xA9 \\\"o\\\" \\\\\", \"Lista\": \"A\", \"Status\": 0, \"Origem\": \"D\", "
            "\"Conectado\": false, \"Nativo\": true, \"Identificador\": \"7\", \"Comunicador\": "
            "\"Tazu\"}, \"Mensagem\": [\"a\\tb\", \"\\u0001\"]}");
}

}  // namespace
}  // namespace tazu
