// The server on the epoll runtime with real sockets on 127.0.0.1: a client
// that stops reading is dropped while another goes on.
#include <gmock/gmock.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "net/epoll/EpollRuntime.h"
#include "tazud/Banco.h"
#include "tazud/Senhas.h"
#include "tazud/Servidor.h"
#include "tests/tazud/ClienteBruto.h"

namespace tazu::tazud {
namespace {

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
  void Logar(test::TClienteBruto& c, Niu niu) {
    c.Identificar(niu, "s");
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

TEST_F(Rede, AClientThatStopsReadingIsDroppedAndStallsNoOne) {
  test::TClienteBruto lento(servidor_->Porta(), 4096), ativo(servidor_->Porta());
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

}  // namespace
}  // namespace tazu::tazud
