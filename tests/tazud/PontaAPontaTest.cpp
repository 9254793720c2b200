// End to end: the real tazud program and the real client (tazu-cli), each in
// its own process, over 127.0.0.1 with a temporary database. The server
// scrambles (its default) in every test.
#include <gmock/gmock.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tests/support/Program.h"
#include "tests/tazud/ClienteBruto.h"

namespace {

using Clock = std::chrono::steady_clock;
using tazu::test::Program;

class PontaAPonta : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("tazud_e2e_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    Iniciar();
  }
  void TearDown() override {
    clientes_.clear();
    servidor_.reset();
    std::filesystem::remove_all(dir_);
  }
  QString Banco() const { return QString::fromStdString((dir_ / "tazud.db").string()); }
  void Iniciar() {
    servidor_ = std::make_unique<Program>(
        TAZUD_BIN, QStringList{"--listen", "127.0.0.1:0", "--db", Banco(), "--hash-cost", "1"});
    porta_ = servidor_->Port();
    ASSERT_GT(porta_, 0) << servidor_->Transcript();
  }
  std::string Admin(const QStringList& args) {
    Program p(TAZUD_BIN, QStringList{"--db", Banco(), "--hash-cost", "1"} + args);
    EXPECT_EQ(p.Finish(), 0);
    return p.Out().empty() ? std::string() : p.Out()[0];
  }
  // A client logged in as `niu`, or offline when niu is empty.
  Program& Cliente(const QString& niu, const QString& senha = "", const QString& status = "1") {
    QStringList args = {
        "--server", QString("127.0.0.1:%1").arg(porta_), "--home",
        QString::fromStdString(dir_.string()) + "/home" + QString::number(clientes_.size())};
    if (!niu.isEmpty()) args << "--niu" << niu << "--password" << senha << "--status" << status;
    Program& c = *clientes_.emplace_back(std::make_unique<Program>(TAZU_CLI_BIN, args));
    if (!niu.isEmpty()) {
      EXPECT_TRUE(c.WaitFor({"\"AoConectarComunidade\""})) << "login of " << niu.toStdString();
    }
    return c;
  }

  tazu::test::AplicacaoDeTeste app_{"tazud_e2e"};
  std::filesystem::path dir_;
  std::unique_ptr<Program> servidor_;
  uint16_t porta_ = 0;
  std::vector<std::unique_ptr<Program>> clientes_;
};

TEST_F(PontaAPonta, CadastroLoginBuscaInformacoesEContas) {
  Program& novo = Cliente("");
  novo.Write(
      R"(register zeca "José Carlos" s3nha M 01/02/1990 Recife PE Brasil 50000 "" "" pt en "" 8199990000 "" "" zeca@ex.com.br 0 0)");
  ASSERT_TRUE(novo.WaitFor({"\"AoAceitarCadastro\"", "\"NIU\": 1000"}));
  ASSERT_TRUE(novo.WaitFor({"\"AoConectarComunidade\""})) << "logs in at once as the new user";

  novo.Write("search Tazu 3 josé");
  EXPECT_TRUE(novo.WaitFor({"\"AoReceberBusca\"", "1000", "zeca", "José Carlos"}));
  EXPECT_TRUE(novo.WaitFor({"\"AoFinalizarBusca\""}));
  novo.Write("info Tazu 1000");
  EXPECT_TRUE(novo.WaitFor({"\"AoReceberInfoUsuario\"", "\"Tipo\": 1", "José Carlos", "Recife"}));
  EXPECT_TRUE(novo.WaitFor({"\"AoReceberInfoUsuario\"", "\"Tipo\": 2"}));
  novo.Write("setaccounts 0 12345 pi 0 z@msn.com pm 0 zeca_y py");
  novo.Write("accounts");
  EXPECT_TRUE(novo.WaitFor({"\"AoReceberComunicadores\"", "12345", "z@msn.com", "zeca_y"}));
  novo.Write("quit");
  EXPECT_EQ(novo.Finish(), 0);

  // A user created by the admin command is found by nickname and logs in.
  EXPECT_EQ(Admin({"adduser", "ana", "a", "--name", "Ana Lima"}), "1001");
  Program& zeca = Cliente("1000", "s3nha");
  zeca.Write("search Tazu 2 an");
  EXPECT_TRUE(zeca.WaitFor({"\"AoReceberBusca\"", "1001", "Ana Lima"}));
  Program& errada = Cliente("");
  errada.Write("identify 0 1001 errada");
  EXPECT_TRUE(errada.WaitFor({"\"AoReceberErro\"", "107"}));
}

TEST_F(PontaAPonta, ContatosAutorizacaoPresencaEMensagens) {
  Admin({"adduser", "ana", "a"});
  Admin({"adduser", "bia", "b", "--auth"});
  Program& ana = Cliente("1000", "a");
  Program& bia = Cliente("1001", "b");

  // Bia needs authorisation: Ana asks, Bia grants.
  ana.Write("add Tazu 1001");
  ASSERT_TRUE(ana.WaitFor({"\"AoExigirAutorizacao\"", "1001"}));
  ana.Write("authreq Tazu 1001 sou a Ana");
  ASSERT_TRUE(ana.WaitFor({"\"AoReceberContato\"", "\"Lista\": \"P\""}));
  ASSERT_TRUE(bia.WaitFor({"\"AoReceberEventoUsuario\"", "\"Tipo\": 2", "sou a Ana"}));
  bia.Write("grant Tazu 1001");
  bia.Write("grant Tazu 1000");
  ASSERT_TRUE(ana.WaitFor({"\"AoReceberEventoUsuario\"", "\"Tipo\": 4", "1001"}));
  ASSERT_TRUE(ana.WaitFor({"\"AoConectarContato\"", "\"Identificador\": \"1001\""}));

  // Ana needs none: Bia adds her straight away, and Ana is told.
  bia.Write("add Tazu 1000");
  ASSERT_TRUE(
      bia.WaitFor({"\"AoReceberContato\"", "\"Identificador\": \"1000\"", "\"Lista\": \"A\""}));
  ASSERT_TRUE(ana.WaitFor({"\"AoReceberEventoUsuario\"", "\"Tipo\": 1", "1001"}));

  // Presence both ways.
  bia.Write("status 6");
  EXPECT_TRUE(ana.WaitFor({"\"AoMudarStatus\"", "\"Identificador\": \"1001\"", "\"Status\": 6"}));
  ana.Write("status 8");
  EXPECT_TRUE(bia.WaitFor({"\"AoMudarStatus\"", "\"Identificador\": \"1000\"", "\"Status\": 8"}));

  // Live messages both ways.
  ana.Write("msg Tazu 1001 oi, Bia\\ntudo bem?");
  EXPECT_TRUE(
      bia.WaitFor({"\"AoReceberMensagemUsuario\"", "\"Mensagem\": [\"oi, Bia\", \"tudo bem?\"]"}));
  EXPECT_TRUE(ana.WaitFor({"\"AoConfirmarEnvio\"", "1001"}));
  bia.Write("msg Tazu 1000 tudo ótimo");
  EXPECT_TRUE(ana.WaitFor({"\"AoReceberMensagemUsuario\"", "tudo ótimo"}));

  // Bia goes invisible: Ana sees her leave, yet her message marks her online.
  bia.Write("status 2");
  EXPECT_TRUE(ana.WaitFor({"\"AoDesconectarContato\"", "\"Identificador\": \"1001\""}));
  bia.Write("msg Tazu 1000 estou aqui");
  EXPECT_TRUE(ana.WaitFor({"\"AoMudarStatus\"", "\"Identificador\": \"1001\"", "\"Status\": 2"}));
  EXPECT_TRUE(ana.WaitFor({"\"AoReceberMensagemUsuario\"", "estou aqui"}));
  bia.Write("quit");
  EXPECT_EQ(bia.Finish(), 0);
}

TEST_F(PontaAPonta, LoginDuplicadoEncerraAPrimeiraSessao) {
  Admin({"adduser", "ana", "a"});
  Program& primeiro = Cliente("1000", "a");
  Program& segundo = Cliente("1000", "a");
  EXPECT_TRUE(primeiro.WaitFor(
      {"\"AoInformar\"", "\"Numero\": 1", "ana se conectou por outro cliente PC"}));
  EXPECT_TRUE(primeiro.WaitFor({"\"AoDesconectarServidor\""})) << "the first connection is closed";
  segundo.Write("contacts");
  EXPECT_TRUE(segundo.WaitFor({"\"contatos\""}));
  segundo.Write("quit");
  EXPECT_EQ(segundo.Finish(), 0);
}

// Waits for `pronto`, reading `c` meanwhile.
bool Aguardar(const std::function<bool()>& pronto, int ms = 20000) {
  const auto fim = Clock::now() + std::chrono::milliseconds(ms);
  while (!pronto()) {
    if (Clock::now() >= fim) return false;
    usleep(2000);
  }
  return true;
}

// The indices of the "...m<i>" messages among `linhas`, in order.
void Indices(const std::vector<std::string>& linhas, std::vector<int>& indices) {
  for (const std::string& l : linhas) {
    const auto p = l.rfind('m');
    if (l.rfind("[CMSG]", 0) == 0 && p != std::string::npos)
      indices.push_back(std::stoi(l.substr(p + 1)));
  }
}

TEST_F(PontaAPonta, NenhumaMensagemConfirmadaSePerdeSeODestinatarioParaEDerruba) {
  Admin({"adduser", "ana", "a"});
  Admin({"adduser", "bia", "b"});
  using tazu::tazud::test::TClienteBruto;
  TClienteBruto ana(static_cast<uint16_t>(porta_)), bia(static_cast<uint16_t>(porta_), 4096);
  ana.Identificar(1000, "a");
  bia.Identificar(1001, "b");
  ASSERT_TRUE(Aguardar([&] { return ana.Ler() && ana.Recebeu("[RUAC]"); }));
  ASSERT_TRUE(Aguardar([&] { return bia.Ler() && bia.Recebeu("[RUAC]"); }));
  constexpr int kTotal = 2000;
  // Long enough that her kernel cannot hold them all.
  const std::string recheio(1000, 'x');
  for (int i = 0; i < kTotal; ++i) {
    ana.Enviar(
        "[CMSG]\xA7"
        "1001\xA7" +
        recheio + "m" + std::to_string(i));
  }
  // Bia reads some, then stalls; everything is acknowledged to Ana.
  std::vector<int> recebidas;
  ASSERT_TRUE(Aguardar([&] {
    bia.Ler(4096);
    return bia.linhas.size() > 100;
  }));
  Indices(bia.linhas, recebidas);
  auto confirmadas = [&] {
    int n = 0;
    for (const auto& l : ana.linhas) n += l.rfind("[SCEM]", 0) == 0 || l.rfind("[SNEM]", 0) == 0;
    return n;
  };
  ASSERT_TRUE(Aguardar([&] { return ana.Ler() && confirmadas() == kTotal; }));
  // Once her kernel has stopped taking more, what it holds counts as hers;
  // then she resets.
  int antes = -1;
  ASSERT_TRUE(Aguardar([&] {
    const int agora = bia.BytesEsperando();
    if (agora == antes) return true;
    antes = agora;
    usleep(300'000);
    return false;
  }));
  Indices(bia.Espiar(), recebidas);
  ASSERT_LT(recebidas.size(), kTotal / 2) << "her kernel took nearly all of them";
  bia.Derrubar();
  TClienteBruto de_novo(static_cast<uint16_t>(porta_));
  de_novo.Identificar(1001, "b");
  std::set<int> vistas(recebidas.begin(), recebidas.end());
  Aguardar(
      [&] {
        de_novo.Ler();
        std::vector<int> depois;
        Indices(de_novo.linhas, depois);
        return vistas.size() + depois.size() >= kTotal && !depois.empty() &&
               depois.back() == kTotal - 1;
      },
      10000);
  Indices(de_novo.linhas, recebidas);
  // In order, at least once: dropping repeats leaves 0, 1, 2, ...
  std::vector<int> sem_repeticao;
  vistas.clear();
  for (const int i : recebidas) {
    if (vistas.insert(i).second) sem_repeticao.push_back(i);
  }
  ASSERT_EQ(static_cast<int>(sem_repeticao.size()), kTotal);
  for (int i = 0; i < kTotal; ++i) ASSERT_EQ(sem_repeticao[i], i);
}

TEST_F(PontaAPonta, MensagensOfflineSobrevivemAUmaQuedaDoServidor) {
  Admin({"adduser", "ana", "a"});
  Admin({"adduser", "bia", "b"});
  Program& ana = Cliente("1000", "a");
  ana.Write("msg Tazu 1001 primeira");
  ana.Write("msg Tazu 1001 segunda");
  ASSERT_TRUE(ana.WaitFor({"\"AoEnviarOffLine\"", "primeira"}));
  ASSERT_TRUE(ana.WaitFor({"\"AoEnviarOffLine\"", "segunda"}));
  // Acknowledged, then the server dies without a chance to tidy up.
  servidor_->Kill();
  ana.Kill();
  Iniciar();
  Program& bia = Cliente("1001", "b");
  ASSERT_TRUE(bia.WaitFor({"\"AoReceberMensagemUsuario\"", "primeira"}));
  ASSERT_TRUE(bia.WaitFor({"\"AoReceberMensagemUsuario\"", "segunda"}));
  int primeira = -1, segunda = -1;
  for (int i = 0; i < static_cast<int>(bia.Out().size()); ++i) {
    if (bia.Out()[i].find("primeira") != std::string::npos && primeira < 0) primeira = i;
    if (bia.Out()[i].find("segunda") != std::string::npos && segunda < 0) segunda = i;
  }
  EXPECT_LT(primeira, segunda) << "in the order sent";
  // A system message from the admin command reaches her while online.
  Admin({"message", "5", QString::fromUtf8("Manutenção às 22h")});
  EXPECT_TRUE(bia.WaitFor({"\"AoMensagemDeSistema\"", "Manutenção às 22h"}));
}

}  // namespace
