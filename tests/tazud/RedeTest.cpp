// The server on the epoll runtime with real sockets on 127.0.0.1: a scrambled
// login, a client that stops reading while another goes on, and what is
// stored for a reader the kernel cannot take more for.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "core/ProtocoloTazu.h"
#include "core/UGlobal.h"
#include "net/epoll/EpollRuntime.h"
#include "tazud/Banco.h"
#include "tazud/Senhas.h"
#include "tazud/Servidor.h"

namespace tazu::tazud {
namespace {

// A blocking-free client on a raw socket.
class Bruto {
 public:
  Bruto(uint16_t porta, int bufferDeRecepcao = 0) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    if (bufferDeRecepcao > 0)
      setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bufferDeRecepcao, sizeof(int));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(porta);
    inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    conectado_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    cripto_.Chave = 0;
  }
  ~Bruto() { close(fd_); }
  bool Conectado() const { return conectado_; }
  void Enviar(const std::string& linha) {
    const std::string bytes = PrepararEnvio(linha, cripto_);
    ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  // Reads what is there, without waiting; false once the server closed.
  bool Ler() {
    char b[65536];
    for (;;) {
      const ssize_t n = recv(fd_, b, sizeof b, MSG_DONTWAIT);
      if (n == 0) return false;
      if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
      leitor_.Alimentar(
          std::string_view(b, static_cast<std::size_t>(n)), [this](std::string_view l) {
            std::string linha = AbrirLinha(l, cripto_);
            if (linha.rfind("[RVER]", 0) == 0)
              cripto_.Chave =
                  static_cast<uint8_t>(std::stoi(linha.substr(linha.rfind('\xA7') + 1)));
            linhas.push_back(linha);
            return true;
          });
    }
  }
  bool Recebeu(const std::string& prefixo) const {
    for (const auto& l : linhas) {
      if (l.rfind(prefixo, 0) == 0) return true;
    }
    return false;
  }
  std::vector<std::string> linhas;

 private:
  int fd_;
  bool conectado_ = false;
  TCriptografia cripto_;
  TLeitorDeLinhas leitor_;
};

class Rede : public ::testing::Test {
 protected:
  void SetUp() override {
    caminho_ = ::testing::TempDir() + "tazud_rede_" + std::to_string(getpid()) + ".db";
    std::remove(caminho_.c_str());
    std::string erro;
    banco_ = TBanco::Abrir(caminho_, false, erro);
    ASSERT_TRUE(banco_) << erro;
    senhas_ = std::make_unique<TSenhasEmThread>(
        [this](std::function<void()> f) { rt_.Post(std::move(f)); }, 1);
    config_.limiteDeFila = 64 * 1024;
    config_.limiteDeLinha = 16 * 1024;
    servidor_ = std::make_unique<TServidor>(rt_, *banco_, *senhas_, config_);
    ASSERT_TRUE(servidor_->Escutar("127.0.0.1", 0, erro)) << erro;
    for (const char* nome : {"ana", "bia", "caio"}) {
      TUsuario u;
      u.apelido = nome;
      u.hash = GerarHash("s", 1);
      ASSERT_TRUE(banco_->Iniciar());
      nius_.push_back(banco_->CriarUsuario(u, nome));
      ASSERT_TRUE(banco_->Confirmar(erro));
    }
  }
  void TearDown() override {
    servidor_.reset();
    senhas_.reset();
    banco_.reset();
    for (const char* s : {"", "-wal", "-shm"}) std::remove((caminho_ + s).c_str());
  }
  bool Esperar(const std::function<bool()>& pronto, int ms = 5000) {
    const auto fim = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < fim) {
      rt_.RunOnce(net::Milliseconds(5));
      if (pronto()) return true;
    }
    return false;
  }
  void Logar(Bruto& c, Niu niu) {
    c.Enviar(MontarLinha("CVER",
                         {"127.0.0.1", "1", std::to_string(niu), "1.0 AA", "P", "Tazu Messenger"}));
    ASSERT_TRUE(Esperar([&] { return c.Ler() && c.Recebeu("[RVER]"); }));
    c.Enviar(MontarLinha("CCON", {"s", "1"}));
    ASSERT_TRUE(Esperar([&] { return c.Ler() && c.Recebeu("[RUAC]"); }));
  }

  std::string caminho_;
  net::EpollRuntime rt_;
  std::unique_ptr<TBanco> banco_;
  std::unique_ptr<TSenhasEmThread> senhas_;
  TConfiguracao config_;
  std::unique_ptr<TServidor> servidor_;
  std::vector<Niu> nius_;
};

TEST_F(Rede, ScrambledLoginAndLiveMessageOverLoopback) {
  Bruto a(servidor_->Porta()), b(servidor_->Porta());
  ASSERT_TRUE(a.Conectado() && b.Conectado());
  Logar(a, nius_[0]);
  Logar(b, nius_[1]);
  a.Enviar(MontarLinha("CMSG", {std::to_string(nius_[1]), "ol\xE1#<RET>#"}));
  ASSERT_TRUE(Esperar([&] { return b.Ler() && b.Recebeu("[CMSG]"); }));
  EXPECT_TRUE(
      b.Recebeu(MontarLinha("CMSG", {std::to_string(nius_[0]), "ana", "C", "ol\xE1#<RET>#"})));
  ASSERT_TRUE(Esperar([&] { return a.Ler() && a.Recebeu("[SCEM]"); }));
}

TEST_F(Rede, AClientThatStopsReadingIsDroppedAndStallsNoOne) {
  Bruto lento(servidor_->Porta(), 4096), ativo(servidor_->Porta());
  Logar(lento, nius_[0]);
  Logar(ativo, nius_[1]);
  const std::string texto(8000, 'x');
  int enviadas = 0;
  // The active client keeps writing to the one that does not read; its own
  // answers keep coming all along.
  const bool caiu = Esperar(
      [&] {
        for (int i = 0; i < 20; ++i, ++enviadas)
          ativo.Enviar(MontarLinha("CMSG", {std::to_string(nius_[0]), texto}));
        ativo.Enviar(MontarLinha("CPNG"));
        return servidor_->Conectados() == 1;
      },
      20000);
  ASSERT_TRUE(caiu) << "the slow reader was never dropped";
  EXPECT_GT(enviadas, 0);
  ativo.linhas.clear();
  ativo.Enviar(MontarLinha("CPNG"));
  ASSERT_TRUE(Esperar([&] { return ativo.Ler() && ativo.Recebeu("[RPNG]"); }));
  // What never left for the dropped client is still kept for its next login.
  rt_.RunOnce(net::Milliseconds(1100));
  EXPECT_GT(banco_->ContarMensagens(nius_[0]), 0);
}

TEST_F(Rede, AStalledReaderGetsEverythingInOrderAndOnlyWhatTheKernelRefusedIsStored) {
  // Loopback send buffers grow to megabytes: a queue bound that lets the
  // stalled reader stay connected past them.
  servidor_.reset();
  config_.limiteDeFila = 64 << 20;
  servidor_ = std::make_unique<TServidor>(rt_, *banco_, *senhas_, config_);
  std::string erro;
  ASSERT_TRUE(servidor_->Escutar("127.0.0.1", 0, erro)) << erro;
  Bruto lento(servidor_->Porta(), 4096), ativo(servidor_->Porta());
  Logar(lento, nius_[0]);
  Logar(ativo, nius_[1]);
  const std::string recheio(2000, 'x');
  int enviadas = 0;
  auto mandar = [&](int n) {
    for (int i = 0; i < n; ++i) {
      ativo.Enviar(
          MontarLinha("CMSG", {std::to_string(nius_[0]), std::to_string(enviadas++) + recheio}));
    }
  };
  // Until the kernel refuses some, then a few more behind those.
  ASSERT_TRUE(Esperar(
      [&] {
        mandar(50);
        ativo.Ler();
        return banco_->ContarMensagens(nius_[0]) > 0;
      },
      30000))
      << "the kernel never refused anything";
  mandar(20);
  ASSERT_TRUE(Esperar([&] {
    ativo.Ler();
    int scem = 0;
    for (const auto& l : ativo.linhas) scem += l.rfind("[SCEM]", 0) == 0;
    return scem == enviadas;
  }));
  const int guardadas = banco_->ContarMensagens(nius_[0]);
  EXPECT_LT(guardadas, enviadas) << "what the kernel took is not stored";
  // Nothing more can reach the kernel while the reader sleeps: the sweeps
  // meanwhile delete nothing.
  Esperar([] { return false; }, 1200);
  EXPECT_EQ(banco_->ContarMensagens(nius_[0]), guardadas);

  // With the server's loop standing still, the reader gets exactly what the
  // kernel holds, as it would if the server died now: every message that was
  // not stored must be there whole.
  auto quieto = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - quieto < std::chrono::milliseconds(300)) {
    const std::size_t antes = lento.linhas.size();
    ASSERT_TRUE(lento.Ler());
    if (lento.linhas.size() != antes) quieto = std::chrono::steady_clock::now();
    usleep(5000);
  }
  int inteiras = 0;
  for (const auto& l : lento.linhas) inteiras += l.rfind("[CMSG]", 0) == 0;
  EXPECT_GE(inteiras, enviadas - guardadas)
      << "a message confirmed without a row was not in the kernel";

  std::vector<int> ordem;
  ASSERT_TRUE(Esperar(
      [&] {
        lento.Ler();
        ordem.clear();
        for (const auto& l : lento.linhas) {
          if (l.rfind("[CMSG]", 0) == 0) ordem.push_back(std::stoi(l.substr(l.rfind('\xA7') + 1)));
        }
        return static_cast<int>(ordem.size()) >= enviadas;
      },
      30000));
  std::vector<int> esperada(enviadas);
  for (int i = 0; i < enviadas; ++i) esperada[i] = i;
  EXPECT_EQ(ordem, esperada);
  // Once all of it left, the sweep clears the store.
  EXPECT_TRUE(Esperar([&] { return banco_->ContarMensagens(nius_[0]) == 0; }, 3000));
}

}  // namespace
}  // namespace tazu::tazud
