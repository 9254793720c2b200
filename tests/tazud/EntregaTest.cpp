// How a message reaches its recipient: straight into the kernel when nothing
// is ahead of it, through the store otherwise, and never confirmed to its
// sender before it is safe from a crash.
#include <gmock/gmock.h>

#include "tests/tazud/Ambiente.h"

namespace tazu::tazud::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

std::vector<std::string> Textos(const std::vector<std::string>& cmsg) {
  std::vector<std::string> textos;
  for (const std::string& l : cmsg) textos.push_back(l.substr(l.rfind('\xA7') + 1));
  return textos;
}

class Entrega : public Ambiente {
 protected:
  void SetUp() override {
    Iniciar();
    ana_ = Criar("ana", "a");
    bia_ = Criar("bia", "b");
  }

  // What another connection to the file sees: only what was committed.
  int GuardadasNoDisco(Niu para) {
    auto outra = OutraConexao();
    return outra ? outra->ContarMensagens(para) : -1;
  }

  // Every time the server writes to `c`, what of Bia's mail is on disk.
  void ContarNoDiscoACadaEnvio(TCliente& c, std::vector<int>& contagens) {
    c.Peer().onClientData = [this, &contagens] { contagens.push_back(GuardadasNoDisco(bia_)); };
  }

  void Mandar(TCliente& de, Niu para, const std::string& texto) {
    de.Enviar(L("CMSG", {std::to_string(para), texto}));
  }

  Niu ana_ = 0, bia_ = 0;
};

TEST_F(Entrega, MensagemAoVivoQueOKernelAceitouEConfirmadaSemSerGuardada) {
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  Mandar(a, bia_, "oi");
  Rodar();
  EXPECT_THAT(b.Receber(), ElementsAre(L("CMSG", {std::to_string(ana_), "ana", "C", "oi"})));
  EXPECT_THAT(a.Receber(), ElementsAre(L("SCEM", {std::to_string(bia_)})));
  EXPECT_EQ(banco_->ContarMensagens(bia_), 0) << "not even written in the open transaction";
  // A crash right now has nothing to deliver twice.
  Reiniciar();
  TCliente& b2 = Entrar(bia_, "b");
  EXPECT_THAT(b2.Com("CMSG"), IsEmpty());
}

TEST_F(Entrega, MensagensAtrasDeUmBufferCheioSaoGravadasAntesDoScemEChegamEmOrdem) {
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  std::vector<int> noDisco;
  ContarNoDiscoACadaEnvio(a, noDisco);

  b.Peer().SetKernelBudget(0);
  Mandar(a, bia_, "um");
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("SCEM", {std::to_string(bia_)})));
  EXPECT_THAT(noDisco, ElementsAre(1)) << "the SCEM left before its message was committed";
  Mandar(a, bia_, "dois");
  Mandar(a, bia_, "tr\xEAs");
  Rodar();
  EXPECT_THAT(a.Com("SCEM"), ::testing::SizeIs(2));
  EXPECT_EQ(noDisco.back(), 3);
  EXPECT_THAT(b.Com("CMSG"), IsEmpty());

  b.Peer().SetKernelBudget(net::FakePeer::kNoLimit);
  EXPECT_THAT(Textos(b.Com("CMSG")), ElementsAre("um", "dois", "tr\xEAs"));
  // The buffer is empty again: the next one goes live, without a row.
  Mandar(a, bia_, "quatro");
  Rodar();
  EXPECT_THAT(b.Com("CMSG"), ElementsAre(L("CMSG", {std::to_string(ana_), "ana", "C", "quatro"})));
  EXPECT_EQ(banco_->ContarMensagens(bia_), 3);
  rt_.Advance(net::Milliseconds(1000));
  EXPECT_EQ(GuardadasNoDisco(bia_), 0) << "what reached the kernel leaves the store";
}

TEST_F(Entrega, MensagemEscritaEmParteFicaGuardadaAteORestoSair) {
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  std::vector<int> noDisco;
  ContarNoDiscoACadaEnvio(a, noDisco);

  b.Peer().SetKernelBudget(10);
  Mandar(a, bia_, "uma mensagem que n\xE3o cabe");
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("SCEM", {std::to_string(bia_)})));
  EXPECT_THAT(noDisco, ElementsAre(1));
  EXPECT_EQ(b.Peer().Read().size(), 10u);
  rt_.Advance(net::Milliseconds(2000));
  EXPECT_EQ(GuardadasNoDisco(bia_), 1) << "deleted while part of it was still ours";

  b.Peer().SetKernelBudget(net::FakePeer::kNoLimit);
  EXPECT_THAT(Textos(b.Com("CMSG")), ElementsAre("uma mensagem que n\xE3o cabe"));
  rt_.Advance(net::Milliseconds(1000));
  EXPECT_EQ(GuardadasNoDisco(bia_), 0);
}

TEST_F(Entrega, OQueEsperavaNoSocketQuandoOServidorCaiuChegaNoProximoLogin) {
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  b.Peer().SetKernelBudget(10);
  Mandar(a, bia_, "um");
  Mandar(a, bia_, "dois");
  Rodar();
  EXPECT_THAT(a.Com("SCEM"), ::testing::SizeIs(2));
  Reiniciar();
  TCliente& b2 = Entrar(bia_, "b");
  EXPECT_THAT(b2.Com("CMSG"), ElementsAre(L("CMSG", {std::to_string(ana_), "ana", "D", "um"}),
                                          L("CMSG", {std::to_string(ana_), "ana", "D", "dois"})));
}

TEST_F(Entrega, OQueOTcpDoDestinatarioNaoConfirmouVemDeNovoNoProximoLoginEmOrdem) {
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  Mandar(a, bia_, "um");
  Rodar();
  // The rest reaches her kernel without a row ("dois"), or waits in our queue
  // and is stored; her TCP acknowledges none of it.
  b.Peer().HoldAcknowledgements(true);
  Mandar(a, bia_, "dois");
  Rodar();
  b.Peer().SetKernelBudget(0);
  Mandar(a, bia_, "tr\xEAs");
  Mandar(a, bia_, "quatro");
  Rodar();
  b.Peer().SetKernelBudget(net::FakePeer::kNoLimit);
  Rodar();
  EXPECT_THAT(a.Com("SCEM"), SizeIs(4));
  EXPECT_THAT(Textos(b.Com("CMSG")), ElementsAre("um"));
  b.Peer().Fail(net::SocketError::ConnectionReset);
  Rodar();
  TCliente& b2 = Entrar(bia_, "b");
  EXPECT_THAT(Textos(b2.Com("CMSG")), ElementsAre("dois", "tr\xEAs", "quatro"));
}

TEST_F(Entrega, MensagemAoVivoNaoConfirmadaEGuardadaNaVarreduraELiberadaAoConfirmar) {
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  b.Peer().HoldAcknowledgements(true);
  Mandar(a, bia_, "oi");
  Rodar();
  EXPECT_EQ(GuardadasNoDisco(bia_), 0);
  rt_.Advance(net::Milliseconds(2000));
  EXPECT_EQ(GuardadasNoDisco(bia_), 1) << "a crash now would lose it";
  b.Peer().HoldAcknowledgements(false);
  rt_.Advance(net::Milliseconds(1000));
  EXPECT_EQ(GuardadasNoDisco(bia_), 0);
  EXPECT_THAT(Textos(b.Com("CMSG")), ElementsAre("oi"));
}

TEST_F(Entrega, LoginEmOutroLugarRecebeOQueAConexaoSubstituidaNaoConfirmou) {
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  b.Peer().HoldAcknowledgements(true);
  Mandar(a, bia_, "oi");
  Rodar();
  TCliente& b2 = Entrar(bia_, "b");
  EXPECT_THAT(b2.Com("CMSG"), ElementsAre(L("CMSG", {std::to_string(ana_), "ana", "D", "oi"})));
}

TEST_F(Entrega, MensagemQueChegaDuranteACargaDasGuardadasEsperaAtrasDelas) {
  config_.paginaDeMensagens = 2;
  Reiniciar();
  TCliente& a = Entrar(ana_, "a");
  for (int i = 0; i < 5; ++i) Mandar(a, bia_, std::to_string(i));
  Rodar();
  a.Receber();
  TCliente& b = Conectar();
  // Ana writes the moment the login answers and the first page leave (the
  // second write, after RVER), before the next page is read.
  int envios = 0;
  b.Peer().onClientData = [&] {
    if (++envios == 2) Mandar(a, bia_, "novo");
  };
  Entrar(b, bia_, "b");
  rt_.Advance(net::Milliseconds(1000));
  ASSERT_GE(envios, 3) << "the pages were not handed over one by one";
  EXPECT_THAT(Textos(b.Com("CMSG")), ElementsAre("0", "1", "2", "3", "4", "novo"));
  EXPECT_THAT(a.Receber(), ElementsAre(L("SCEM", {std::to_string(bia_)})));
}

TEST_F(Entrega, NadaSaiAntesDaGravacaoDeQueDepende) {
  const Niu caio = Criar("caio", "c");
  TCliente& a = Logado(ana_, "a");
  TCliente& b = Logado(bia_, "b");
  // Whenever Bia's connection is written to, the contact her CACS confirms
  // must already be committed.
  std::vector<std::string> linhas;
  std::vector<bool> confirmadoNoDisco;
  b.Peer().onClientData = [&] {
    for (std::string& l : b.Receber()) {
      if (l.rfind("[CACS]", 0) == 0) {
        auto outra = OutraConexao();
        confirmadoNoDisco.push_back(outra && outra->Lista(bia_, caio).has_value());
      }
      linhas.push_back(std::move(l));
    }
  };
  // In one turn: Bia adds Caio (a write, answered with CACS), then Ana writes
  // to her.
  b.Enviar(L("CACL", {std::to_string(caio)}));
  Mandar(a, bia_, "oi");
  Rodar();
  EXPECT_THAT(confirmadoNoDisco, ElementsAre(true));
  ASSERT_EQ(linhas.size(), 3u);
  EXPECT_EQ(linhas[0], L("CACS", {std::to_string(caio)}));
  EXPECT_THAT(linhas[1], StartsWith("[SACT]"));
  EXPECT_EQ(linhas[2], L("CMSG", {std::to_string(ana_), "ana", "C", "oi"}));
  EXPECT_THAT(a.Receber(), ElementsAre(L("SCEM", {std::to_string(bia_)})));
}

TEST_F(Entrega, MensagemNoTurnoDoLoginDoDestinatarioVemDepoisDasRespostasDoLogin) {
  TCliente& a = Logado(ana_, "a");
  servidor_->AoRegistrar = [&](const std::string& linha) {
    if (linha.rfind("logged in", 0) == 0 &&
        linha.find("NIU " + std::to_string(bia_)) != std::string::npos) {
      Mandar(a, bia_, "oi");
    }
  };
  TCliente& b = Entrar(bia_, "b");
  const std::vector<std::string> linhas = b.Receber();
  ASSERT_FALSE(linhas.empty());
  EXPECT_EQ(linhas.front(), L("RCCA"));
  EXPECT_EQ(linhas.back(), L("CMSG", {std::to_string(ana_), "ana", "C", "oi"}));
  EXPECT_THAT(a.Receber(), ElementsAre(L("SCEM", {std::to_string(bia_)})));
  EXPECT_EQ(banco_->ContarMensagens(bia_), 0);
}

}  // namespace
}  // namespace tazu::tazud::test
