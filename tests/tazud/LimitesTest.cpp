// What one client, one address or one account may take of the server: output
// and searches within a turn, time to log in, password checks, new users,
// room in someone's mailbox, lines in the log.
#include <gmock/gmock.h>

#include <algorithm>
#include <numeric>

#include "tests/tazud/Ambiente.h"

namespace tazu::tazud::test {
namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

class Limites : public Ambiente {
 protected:
  void SetUp() override { Iniciar(); }

  // Every code the server sent `c` since the last call, in order.
  static std::vector<std::string> Codigos(TCliente& c) {
    std::vector<std::string> codigos;
    for (const std::string& l : c.Receber()) codigos.push_back(l.substr(1, 4));
    return codigos;
  }
};

TEST_F(Limites, SaidaEBuscasDeUmComandoSaoLimitadasPorTurno) {
  config_.limiteDeFila = 6000;
  config_.buscasPorTurno = 4;
  Reiniciar();
  for (int i = 0; i < 60; ++i) Criar("usuario" + std::to_string(i), "x");
  const Niu ana = Criar("ana", "a");
  TCliente& a = Logado(ana, "a");
  // Everything a turn hands over, one piece per write.
  std::vector<int> buscasPorEscrita;
  a.Peer().onClientData = [&] {
    const auto codigos = Codigos(a);
    buscasPorEscrita.push_back(
        static_cast<int>(std::count(codigos.begin(), codigos.end(), "SFBS")));
  };
  // Fifty results, some 3.5 KB, per search: two of them pass the bound.
  for (int i = 0; i < 10; ++i) a.Enviar(L("CRBS", {"2", "usu"}));
  rt_.Advance(net::Milliseconds(10));
  EXPECT_EQ(std::accumulate(buscasPorEscrita.begin(), buscasPorEscrita.end(), 0), 10);
  EXPECT_THAT(buscasPorEscrita, Each(::testing::Le(2)));
  // Small searches wait only for the turn's allowance.
  buscasPorEscrita.clear();
  for (int i = 0; i < 10; ++i) a.Enviar(L("CRBS", {"1", std::to_string(ana)}));
  rt_.Advance(net::Milliseconds(10));
  EXPECT_EQ(std::accumulate(buscasPorEscrita.begin(), buscasPorEscrita.end(), 0), 10);
  EXPECT_THAT(buscasPorEscrita, Each(::testing::Le(4)));
  EXPECT_FALSE(a.Fechado());
}

TEST_F(Limites, ClienteQueParaDeLerCaiEOQuePerdeuFicaGuardado) {
  config_.limiteDeFila = 64 * 1024;
  Reiniciar();
  const Niu ana = Criar("ana", "a"), bia = Criar("bia", "b");
  TCliente& a = Logado(ana, "a");
  TCliente& b = Logado(bia, "b");
  b.Peer().SetKernelBudget(0);
  for (int i = 0; i < 20 && !b.Fechado(); ++i) {
    a.Enviar(L("CMSG", {std::to_string(bia), std::string(8000, 'x')}));
    Rodar();
  }
  EXPECT_TRUE(b.Fechado());
  a.Receber();
  a.Enviar(L("CPNG"));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("RPNG")));
  EXPECT_GT(banco_->ContarMensagens(bia), 5) << "kept for the next login";
}

TEST_F(Limites, PrazoDeLoginContaDaAceitacaoOQueQuerQueOClienteDiga) {
  config_.conexoesTotais = 2;
  Reiniciar();
  TCliente& c = Conectar();
  for (int i = 0; i < 3; ++i) {
    rt_.Advance(net::Milliseconds(20'000));
    c.Enviar(L("CPNG"));
    Rodar();
  }
  EXPECT_THAT(Codigos(c), ElementsAre("RPNG", "RPNG", "RERR"));
  EXPECT_TRUE(c.Fechado());
  // A full server says so, not that the address has too many.
  Conectar();
  Conectar();
  TCliente& terceira = Conectar("10.0.0.9");
  EXPECT_THAT(terceira.Receber(), ElementsAre(Erro(123)));
}

TEST_F(Limites, ChutarSenhaAtrasaQuemChutaEODonoAindaEntra) {
  config_.limites.conferenciasPorEndereco = 4;
  Reiniciar();
  const Niu bia = Criar("bia", "certa");
  auto tentar = [&](const std::string& endereco, const std::string& senha) -> TCliente& {
    return Entrar(Conectar(endereco), bia, senha);
  };
  TCliente& primeira = tentar("10.0.0.66", "chute0");
  EXPECT_THAT(primeira.Receber(), ElementsAre(Erro(107)));
  // The next checks wait for the delay; past its few places the address is refused.
  std::vector<TCliente*> esperando;
  for (int i = 1; i <= 3; ++i)
    esperando.push_back(&tentar("10.0.0.66", "chute" + std::to_string(i)));
  TCliente& demais = tentar("10.0.0.66", "chute4");
  EXPECT_THAT(demais.Receber(), ElementsAre(Erro(125)));
  for (TCliente* c : esperando) EXPECT_THAT(c->Receber(), IsEmpty());
  // Bia meanwhile, from elsewhere: her check waits for the account's delay
  // as it stood when she came, and she gets in.
  TCliente& real = tentar("10.0.0.7", "certa");
  EXPECT_THAT(real.Receber(), IsEmpty());
  rt_.Advance(net::Milliseconds(1000));
  for (TCliente* c : esperando) EXPECT_THAT(c->Receber(), ElementsAre(Erro(107)));
  EXPECT_THAT(real.Com("RCCA"), SizeIs(1));
  // After four failures the guesser waits eight seconds.
  rt_.Advance(net::Milliseconds(6000));
  TCliente& depois = tentar("10.0.0.66", "chute5");
  EXPECT_THAT(depois.Receber(), IsEmpty());
  rt_.Advance(net::Milliseconds(2000));
  EXPECT_THAT(depois.Receber(), ElementsAre(Erro(107)));
}

TEST_F(Limites, CadastrosPorConexaoEPorEnderecoPorHora) {
  config_.limites.cadastrosPorEnderecoPorHora = 3;
  Reiniciar();
  auto cadastrar = [](TCliente& c, const std::string& apelido) {
    c.Enviar(LinhaDeCadastro(apelido, apelido + "@ex.com"));
  };
  TCliente& c = Conectar();
  for (const char* apelido : {"um", "dois", "tres"}) {
    cadastrar(c, apelido);
    Rodar();
  }
  EXPECT_THAT(Codigos(c), ElementsAre("SCUA", "SCUA", "RERR"));
  TCliente& d = Conectar();
  cadastrar(d, "quatro");
  cadastrar(Conectar(), "cinco");
  Rodar();
  EXPECT_THAT(Codigos(d), ElementsAre("SCUA"));
  EXPECT_THAT(clientes_.back()->Receber(), ElementsAre(Erro(126)));
  rt_.Advance(net::Milliseconds(3600'000));
  cadastrar(Conectar(), "seis");
  Rodar();
  EXPECT_THAT(Codigos(*clientes_.back()), ElementsAre("SCUA"));
}

TEST_F(Limites, UmRemetenteNaoEncheACaixaDeOutro) {
  config_.mensagensGuardadasPorUsuario = 5;
  config_.mensagensGuardadasPorRemetente = 3;
  Reiniciar();
  const Niu ana = Criar("ana", "a"), bia = Criar("bia", "b"), caio = Criar("caio", "c");
  TCliente& a = Logado(ana, "a");
  TCliente& c = Logado(caio, "c");
  for (int i = 0; i < 4; ++i) a.Enviar(L("CMSG", {std::to_string(bia), "oi"}));
  for (int i = 0; i < 3; ++i) c.Enviar(L("CMSG", {std::to_string(bia), "oi"}));
  Rodar();
  const auto snem = StartsWith("[SNEM]");
  EXPECT_THAT(a.Receber(), ElementsAre(snem, snem, snem, Erro(128)));
  EXPECT_THAT(c.Receber(), ElementsAre(snem, snem, Erro(115)));
  EXPECT_EQ(banco_->ContarMensagens(bia), 5);
}

TEST_F(Limites, OLogEscapaOQueOClienteEscolheuEResumeRecusas) {
  config_.conexoesPorEndereco = 1;
  Reiniciar();
  TCliente& c = Conectar();
  c.Enviar(L("CVER", {"1", "2", "x\x1B[2J\\fim\xE9", "1.0 AA", "P", "Tazu Messenger", "1"}));
  Rodar();
  EXPECT_THAT(log_, Contains(HasSubstr("unknown user x\\x1B[2J\\x5Cfim\\xE9")));
  Conectar("10.0.0.5");
  log_.clear();
  for (int i = 0; i < 50; ++i) Conectar("10.0.0.5");
  rt_.Advance(net::Milliseconds(1000));
  EXPECT_THAT(log_, ElementsAre(HasSubstr("refused 10.0.0.5"), HasSubstr("refused 49 more")));
}

}  // namespace
}  // namespace tazu::tazud::test
