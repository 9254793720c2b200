// End to end: the real tazud program and the real client (tazu-cli), each in
// its own process, over 127.0.0.1 with a temporary database. The server
// scrambles (its default) in every test.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tests/tazud/ClienteBruto.h"

namespace {

using Clock = std::chrono::steady_clock;

// A child process with its standard input and output (and error) on pipes.
class Processo {
 public:
  explicit Processo(std::vector<std::string> args) {
    int entrada[2], saida[2], erro[2];
    EXPECT_EQ(pipe(entrada), 0);
    EXPECT_EQ(pipe(saida), 0);
    EXPECT_EQ(pipe(erro), 0);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(entrada[0], 0);
      dup2(saida[1], 1);
      dup2(erro[1], 2);
      for (int fd : {entrada[0], entrada[1], saida[0], saida[1], erro[0], erro[1]}) close(fd);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(entrada[0]);
    close(saida[1]);
    close(erro[1]);
    in_ = entrada[1];
    out_ = saida[0];
    err_ = erro[0];
    fcntl(out_, F_SETFL, O_NONBLOCK);
    fcntl(err_, F_SETFL, O_NONBLOCK);
  }
  ~Processo() {
    if (pid_ > 0 && !terminou_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {in_, out_, err_}) close(fd);
  }
  void Escrever(const std::string& linha) {
    const std::string l = linha + "\n";
    ASSERT_EQ(write(in_, l.data(), l.size()), static_cast<ssize_t>(l.size()));
  }
  // Waits until a line of standard output (or error) holds every piece; the
  // lines read are kept in `saida`.
  bool Esperar(const std::vector<std::string>& pedacos, bool doErro = false, int ms = 10000) {
    const auto fim = Clock::now() + std::chrono::milliseconds(ms);
    std::size_t olhadas = 0;
    for (;;) {
      auto& linhas = doErro ? erro : saida;
      for (; olhadas < linhas.size(); ++olhadas) {
        bool todos = true;
        for (const auto& p : pedacos) todos = todos && linhas[olhadas].find(p) != std::string::npos;
        if (todos) return true;
      }
      if (Clock::now() >= fim) return false;
      Ler(50);
    }
  }
  void Ler(int ms) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    poll(fds, 2, ms);
    Drenar(out_, parcialOut_, saida);
    Drenar(err_, parcialErr_, erro);
  }
  // Exit status, waiting up to `ms`; -1 if still running.
  int Fim(int ms = 10000) {
    const auto fim = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < fim) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        terminou_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      Ler(20);
    }
    return -1;
  }
  void Matar() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    terminou_ = true;
  }

  std::vector<std::string> saida, erro;

 private:
  static void Drenar(int fd, std::string& parcial, std::vector<std::string>& linhas) {
    char b[4096];
    ssize_t n;
    while ((n = read(fd, b, sizeof b)) > 0) {
      parcial.append(b, static_cast<std::size_t>(n));
      std::size_t p;
      while ((p = parcial.find('\n')) != std::string::npos) {
        linhas.push_back(parcial.substr(0, p));
        parcial.erase(0, p + 1);
      }
    }
  }
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1, err_ = -1;
  bool terminou_ = false;
  std::string parcialOut_, parcialErr_;
};

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
  void Iniciar() {
    servidor_ = std::make_unique<Processo>(
        std::vector<std::string>{TAZUD_BIN, "--listen", "127.0.0.1:0", "--db",
                                 (dir_ / "tazud.db").string(), "--hash-cost", "1"});
    ASSERT_TRUE(servidor_->Esperar({"listening on 127.0.0.1:"}, true));
    for (const auto& l : servidor_->erro) {
      const auto p = l.find("listening on 127.0.0.1:");
      if (p != std::string::npos) porta_ = std::stoi(l.substr(p + 23));
    }
    ASSERT_GT(porta_, 0);
  }
  std::string Admin(const std::vector<std::string>& args) {
    std::vector<std::string> todos = {TAZUD_BIN, "--db", (dir_ / "tazud.db").string(),
                                      "--hash-cost", "1"};
    todos.insert(todos.end(), args.begin(), args.end());
    Processo p(todos);
    EXPECT_EQ(p.Fim(), 0);
    return p.saida.empty() ? std::string() : p.saida[0];
  }
  // A client logged in as `niu`, or offline when niu is empty.
  Processo& Cliente(const std::string& niu, const std::string& senha = "",
                    const std::string& status = "1") {
    std::vector<std::string> args = {TAZU_CLI_BIN, "--server",
                                     "127.0.0.1:" + std::to_string(porta_), "--home",
                                     (dir_ / ("home" + std::to_string(clientes_.size()))).string()};
    if (!niu.empty()) {
      for (const std::string& a : {std::string("--niu"), niu, std::string("--password"), senha,
                                   std::string("--status"), status}) {
        args.push_back(a);
      }
    }
    clientes_.push_back(std::make_unique<Processo>(args));
    Processo& c = *clientes_.back();
    if (!niu.empty()) {
      EXPECT_TRUE(c.Esperar({"\"AoConectarComunidade\""})) << "login of " << niu;
    }
    return c;
  }

  std::filesystem::path dir_;
  std::unique_ptr<Processo> servidor_;
  int porta_ = 0;
  std::vector<std::unique_ptr<Processo>> clientes_;
};

TEST_F(PontaAPonta, RegistrationLoginSearchInformationAndAccounts) {
  Processo& novo = Cliente("");
  novo.Escrever(
      R"(register zeca "José Carlos" s3nha M 01/02/1990 Recife PE Brasil 50000 "" "" pt en "" 8199990000 "" "" zeca@ex.com.br 0 0)");
  ASSERT_TRUE(novo.Esperar({"\"AoAceitarCadastro\"", "\"NIU\": 1000"}));
  ASSERT_TRUE(novo.Esperar({"\"AoConectarComunidade\""})) << "logs in at once as the new user";

  novo.Escrever("search Tazu 3 josé");
  EXPECT_TRUE(novo.Esperar({"\"AoReceberBusca\"", "1000", "zeca", "José Carlos"}));
  EXPECT_TRUE(novo.Esperar({"\"AoFinalizarBusca\""}));
  novo.Escrever("info Tazu 1000");
  EXPECT_TRUE(novo.Esperar({"\"AoReceberInfoUsuario\"", "\"Tipo\": 1", "José Carlos", "Recife"}));
  EXPECT_TRUE(novo.Esperar({"\"AoReceberInfoUsuario\"", "\"Tipo\": 2"}));
  novo.Escrever("setaccounts 0 12345 pi 0 z@msn.com pm 0 zeca_y py");
  novo.Escrever("accounts");
  EXPECT_TRUE(novo.Esperar({"\"AoReceberComunicadores\"", "12345", "z@msn.com", "zeca_y"}));
  novo.Escrever("quit");
  EXPECT_EQ(novo.Fim(), 0);

  // A user created by the admin command is found by nickname and logs in.
  EXPECT_EQ(Admin({"adduser", "ana", "a", "--name", "Ana Lima"}), "1001");
  Processo& zeca = Cliente("1000", "s3nha");
  zeca.Escrever("search Tazu 2 an");
  EXPECT_TRUE(zeca.Esperar({"\"AoReceberBusca\"", "1001", "Ana Lima"}));
  Processo& errada = Cliente("");
  errada.Escrever("identify 0 1001 errada");
  EXPECT_TRUE(errada.Esperar({"\"AoReceberErro\"", "107"}));
}

TEST_F(PontaAPonta, ContactsAuthorisationPresenceAndMessages) {
  Admin({"adduser", "ana", "a"});
  Admin({"adduser", "bia", "b", "--auth"});
  Processo& ana = Cliente("1000", "a");
  Processo& bia = Cliente("1001", "b");

  // Bia needs authorisation: Ana asks, Bia grants.
  ana.Escrever("add Tazu 1001");
  ASSERT_TRUE(ana.Esperar({"\"AoExigirAutorizacao\"", "1001"}));
  ana.Escrever("authreq Tazu 1001 sou a Ana");
  ASSERT_TRUE(ana.Esperar({"\"AoReceberContato\"", "\"Lista\": \"P\""}));
  ASSERT_TRUE(bia.Esperar({"\"AoReceberEventoUsuario\"", "\"Tipo\": 2", "sou a Ana"}));
  bia.Escrever("grant Tazu 1001");
  bia.Escrever("grant Tazu 1000");
  ASSERT_TRUE(ana.Esperar({"\"AoReceberEventoUsuario\"", "\"Tipo\": 4", "1001"}));
  ASSERT_TRUE(ana.Esperar({"\"AoConectarContato\"", "\"Identificador\": \"1001\""}));

  // Ana needs none: Bia adds her straight away, and Ana is told.
  bia.Escrever("add Tazu 1000");
  ASSERT_TRUE(
      bia.Esperar({"\"AoReceberContato\"", "\"Identificador\": \"1000\"", "\"Lista\": \"A\""}));
  ASSERT_TRUE(ana.Esperar({"\"AoReceberEventoUsuario\"", "\"Tipo\": 1", "1001"}));

  // Presence both ways.
  bia.Escrever("status 6");
  EXPECT_TRUE(ana.Esperar({"\"AoMudarStatus\"", "\"Identificador\": \"1001\"", "\"Status\": 6"}));
  ana.Escrever("status 8");
  EXPECT_TRUE(bia.Esperar({"\"AoMudarStatus\"", "\"Identificador\": \"1000\"", "\"Status\": 8"}));

  // Live messages both ways.
  ana.Escrever("msg Tazu 1001 oi, Bia\\ntudo bem?");
  EXPECT_TRUE(
      bia.Esperar({"\"AoReceberMensagemUsuario\"", "\"Mensagem\": [\"oi, Bia\", \"tudo bem?\"]"}));
  EXPECT_TRUE(ana.Esperar({"\"AoConfirmarEnvio\"", "1001"}));
  bia.Escrever("msg Tazu 1000 tudo ótimo");
  EXPECT_TRUE(ana.Esperar({"\"AoReceberMensagemUsuario\"", "tudo ótimo"}));

  // Bia goes invisible: Ana sees her leave, yet her message marks her online.
  bia.Escrever("status 2");
  EXPECT_TRUE(ana.Esperar({"\"AoDesconectarContato\"", "\"Identificador\": \"1001\""}));
  bia.Escrever("msg Tazu 1000 estou aqui");
  EXPECT_TRUE(ana.Esperar({"\"AoMudarStatus\"", "\"Identificador\": \"1001\"", "\"Status\": 2"}));
  EXPECT_TRUE(ana.Esperar({"\"AoReceberMensagemUsuario\"", "estou aqui"}));
  bia.Escrever("quit");
  EXPECT_EQ(bia.Fim(), 0);
}

TEST_F(PontaAPonta, ADuplicateLoginEndsTheFirstSession) {
  Admin({"adduser", "ana", "a"});
  Processo& primeiro = Cliente("1000", "a");
  Processo& segundo = Cliente("1000", "a");
  EXPECT_TRUE(primeiro.Esperar(
      {"\"AoInformar\"", "\"Numero\": 1", "ana se conectou por outro cliente PC"}));
  EXPECT_TRUE(primeiro.Esperar({"\"AoDesconectarServidor\""})) << "the first connection is closed";
  segundo.Escrever("contacts");
  EXPECT_TRUE(segundo.Esperar({"\"contatos\""}));
  segundo.Escrever("quit");
  EXPECT_EQ(segundo.Fim(), 0);
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

TEST_F(PontaAPonta, NoAcknowledgedMessageIsLostWhenTheRecipientStallsAndResets) {
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

TEST_F(PontaAPonta, OfflineMessagesSurviveAServerCrash) {
  Admin({"adduser", "ana", "a"});
  Admin({"adduser", "bia", "b"});
  Processo& ana = Cliente("1000", "a");
  ana.Escrever("msg Tazu 1001 primeira");
  ana.Escrever("msg Tazu 1001 segunda");
  ASSERT_TRUE(ana.Esperar({"\"AoEnviarOffLine\"", "primeira"}));
  ASSERT_TRUE(ana.Esperar({"\"AoEnviarOffLine\"", "segunda"}));
  // Acknowledged, then the server dies without a chance to tidy up.
  servidor_->Matar();
  ana.Matar();
  Iniciar();
  Processo& bia = Cliente("1001", "b");
  ASSERT_TRUE(bia.Esperar({"\"AoReceberMensagemUsuario\"", "primeira"}));
  ASSERT_TRUE(bia.Esperar({"\"AoReceberMensagemUsuario\"", "segunda"}));
  int primeira = -1, segunda = -1;
  for (int i = 0; i < static_cast<int>(bia.saida.size()); ++i) {
    if (bia.saida[i].find("primeira") != std::string::npos && primeira < 0) primeira = i;
    if (bia.saida[i].find("segunda") != std::string::npos && segunda < 0) segunda = i;
  }
  EXPECT_LT(primeira, segunda) << "in the order sent";
  // A system message from the admin command reaches her while online.
  Admin({"message", "5", "Manutenção às 22h"});
  EXPECT_TRUE(bia.Esperar({"\"AoMensagemDeSistema\"", "Manutenção às 22h"}));
}

}  // namespace
