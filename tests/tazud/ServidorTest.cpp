// The server's side of the protocol, played by clients over the fake runtime.
#include <gmock/gmock.h>

#include "base/Cp1252.h"
#include "tests/tazud/Ambiente.h"

namespace tazu::tazud::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class Servidor : public Ambiente {
 protected:
  void SetUp() override { Iniciar(); }
};

TEST_F(Servidor, LoginEmbaralhaTudoDepoisDoRverERespondeASequenciaDeLogin) {
  const Niu ana = Criar("ana", "segredo");
  const Niu bia = Criar("bia", "x");
  Contato(ana, bia);

  TCliente& c = Conectar();
  c.Enviar(L("CVER", {"10.0.0.1", "4000", std::to_string(ana), "1.0 AA", "P", "Tazu Messenger"}));
  Rodar();
  // RVER itself travels in clear.
  EXPECT_EQ(c.Peer().Read(), L("RVER", {std::to_string(ana), "0", "77"}) + "\r\n");
  EXPECT_THAT(c.Receber(), ElementsAre(L("RVER", {std::to_string(ana), "0", "77"})));

  c.Enviar(L("CCON", {"segredo", "6"}));
  Rodar();
  const std::string bruto = c.Peer().Read();
  EXPECT_EQ(bruto.find("RCCA"), std::string::npos) << "answers after RVER must be scrambled";
  EXPECT_THAT(c.Receber(), ElementsAre(L("RCCA"), L("RUAC", {std::to_string(ana), "ana"}),
                                       L("SACT", {std::to_string(bia), "bia", "A", "3", "TPC"})));
  c.Enviar(L("CPNG"));
  Rodar();
  EXPECT_THAT(c.Receber(), ElementsAre(L("RPNG")));
}

TEST_F(Servidor, SemEmbaralharAChaveEZero) {
  config_.embaralhar = false;
  Reiniciar();
  const Niu ana = Criar("ana", "s");
  TCliente& c = Entrar(ana, "s");
  EXPECT_EQ(c.Chave(), 0);
  EXPECT_THAT(c.Peer().Read(), StartsWith("[RCCA]\r\n[RUAC]\xA7"));
}

TEST_F(Servidor, SenhaErradaEUsuarioDesconhecidoSaoRecusadosEAConexaoAcaba) {
  const Niu ana = Criar("ana", "segredo");
  TCliente& c = Entrar(ana, "errada");
  EXPECT_THAT(c.Com("RERR"), ElementsAre(L("RERR", {"107", "Senha incorreta."})));
  EXPECT_TRUE(c.Fechado());
  EXPECT_EQ(servidor_->Conectados(), 0u);

  TCliente& d = Conectar();
  d.Enviar(L("CVER", {"1", "2", "4242", "1.0 AA", "P", "Tazu Messenger"}));
  Rodar();
  EXPECT_THAT(d.Receber(), ElementsAre(L("RERR", {"106", "Usuário não cadastrado."_cp})));
  EXPECT_TRUE(d.Fechado());
}

TEST_F(Servidor, CadastroDaUmNumeroEONovoUsuarioEntraPeloApelido) {
  TCliente& c = Conectar();
  // Nickname pair-escaped by the client: "d'Ávila" has an apostrophe.
  c.Enviar(LinhaDeCadastro("d\xC0\xD3\xC1vila", "maria@ex.com.br", "1"));
  Rodar();
  EXPECT_THAT(c.Receber(), ElementsAre(StartsWith(L("SCUA", {"1000", ""}))));
  // Same nickname, other case: refused with the reason; so is a missing field.
  c.Enviar(LinhaDeCadastro("D\xC0\xD3\xC1VILA", "maria@ex.com.br"));
  c.Enviar(LinhaDeCadastro("outra", ""));
  Rodar();
  EXPECT_THAT(c.Receber(),
              ElementsAre(Erro(108),
                          L("RERR", {"109", "O campo E-Mail é de preenchimento obrigatório."_cp})));

  // The registration form of CVER, by nickname, answers the number in RVER.
  c.Enviar(L("CVER", {"1", "2", "d\xC0\xD3\xC1vila", "1.0 AA", "P", "Tazu Messenger", "1"}));
  Rodar();
  EXPECT_THAT(c.Receber(), ElementsAre(L("RVER", {"1000", "0", "77"})));
  c.Enviar(L("CCON", {"senha", "1"}));
  Rodar();
  EXPECT_THAT(c.Receber(), ElementsAre(L("RCCA"), L("RUAC", {"1000", "d\xC0\xD3\xC1vila"})));
  const auto u = banco_->Usuario(1000);
  ASSERT_TRUE(u);
  EXPECT_EQ(u->apelido, "d'\xC1vila");
  EXPECT_TRUE(u->exigeAutorizacao);
  EXPECT_THAT(u->hash, StartsWith("$y$")) << "stored hashed with yescrypt, never in clear";
}

TEST_F(Servidor, AdicionarSemAutorizacaoAvisaOAdicionadoJaOuNoLogin) {
  const Niu ana = Criar("ana", "a");
  const Niu bia = Criar("bia", "b");
  const Niu caio = Criar("caio", "c");
  TCliente& a = Logado(ana, "a");
  TCliente& b = Logado(bia, "b");

  a.Enviar(L("CACL", {std::to_string(bia)}));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("CACS", {std::to_string(bia)}),
                                       L("SACT", {std::to_string(bia), "bia", "A", "1", "TPC"})));
  const auto snil = b.Com("SNIL");
  ASSERT_EQ(snil.size(), 1u);
  EXPECT_THAT(snil[0], StartsWith(L("SNIL", {std::to_string(ana), "ana"}) + "\xA7"));

  // Caio is offline: the notice waits for his login.
  a.Enviar(L("CACL", {std::to_string(caio)}));
  Rodar();
  a.Receber();
  TCliente& c = Entrar(caio, "c");
  const auto guardado = c.Com("SNIL");
  ASSERT_EQ(guardado.size(), 1u);
  EXPECT_THAT(guardado[0], StartsWith(L("SNIL", {std::to_string(ana), "ana"})));
  // ...and only once.
  c.Enviar(L("CDSC"));
  Rodar();
  TCliente& c2 = Entrar(caio, "c");
  EXPECT_THAT(c2.Com("SNIL"), IsEmpty());
}

TEST_F(Servidor, AutorizacaoPedidaConcedidaERecusada) {
  const Niu ana = Criar("ana", "a");
  const Niu bia = Criar("bia", "b", /*exige=*/true);
  const Niu caio = Criar("caio", "c");
  TCliente& a = Logado(ana, "a");

  a.Enviar(L("CACL", {std::to_string(bia)}));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("RCEA", {std::to_string(bia), "bia"})));
  EXPECT_FALSE(banco_->Lista(ana, bia)) << "nothing is added before the request";

  // Bia is offline: the request is kept; Ana sees her as waiting.
  a.Enviar(L("CPAC", {std::to_string(bia), "me adiciona#<RET>#por favor"}));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("SACT", {std::to_string(bia), "bia", "P", "3", "TPC"})));

  TCliente& b = Entrar(bia, "b");
  const auto spac = b.Com("SPAC");
  ASSERT_EQ(spac.size(), 1u);
  EXPECT_THAT(spac[0], StartsWith(L("SPAC", {std::to_string(ana), "ana"})));
  EXPECT_THAT(spac[0], ::testing::EndsWith("\xA7me adiciona#<RET>#por favor"));
  EXPECT_THAT(a.Com("SACT"), IsEmpty()) << "a waiting entry shows no presence";

  // A grant nobody asked for is refused.
  b.Enviar(L("CAAC", {std::to_string(caio)}));
  Rodar();
  EXPECT_THAT(b.Receber(), ElementsAre(Erro(112)));

  b.Enviar(L("CAAC", {std::to_string(ana)}));
  Rodar();
  const auto resposta = a.Receber();
  ASSERT_EQ(resposta.size(), 2u);
  EXPECT_THAT(resposta[0], StartsWith(L("CAAC", {std::to_string(bia), "bia"})));
  EXPECT_EQ(resposta[1], L("SACT", {std::to_string(bia), "bia", "A", "1", "TPC"}));
  EXPECT_EQ(banco_->Lista(ana, bia), std::optional<char>('A'));

  // Caio asks, Bia refuses: Caio's waiting entry goes and he is told at login.
  TCliente& c = Logado(caio, "c");
  c.Enviar(L("CPAC", {std::to_string(bia), ""}));
  Rodar();
  c.Enviar(L("CDSC"));
  Rodar();
  b.Receber();
  b.Enviar(L("CRAC", {std::to_string(caio)}));
  Rodar();
  EXPECT_FALSE(banco_->Lista(caio, bia));
  TCliente& c2 = Entrar(caio, "c");
  const auto crac = c2.Com("CRAC");
  ASSERT_EQ(crac.size(), 1u);
  EXPECT_THAT(crac[0], StartsWith(L("CRAC", {std::to_string(bia), "bia"})));
}

TEST_F(Servidor, PresencaChegaAQuemObservaEInvisivelPareceDesconectado) {
  const Niu ana = Criar("ana", "a");
  const Niu bia = Criar("bia", "b");
  Contato(ana, bia);
  TCliente& a = Logado(ana, "a");

  TCliente& b = Logado(bia, "b", 5);
  const std::string id = std::to_string(bia);
  EXPECT_THAT(a.Receber(), ElementsAre(L("SNCC", {id, "bia", "5", "TPC"})));
  b.Enviar(L("CNMS", {"6"}));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("SNMS", {id, "bia", "6", "TPC"})));
  b.Enviar(L("CNMS", {"2"}));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("SNDC", {id, "bia", "TPC"})));
  // Invisible, yet her messages come from someone online.
  b.Enviar(L("CMSG", {std::to_string(ana), "oi#<RET>#"}));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("CMSG", {id, "bia", "C", "oi#<RET>#"})));
  EXPECT_THAT(b.Receber(), ElementsAre(L("SCEM", {std::to_string(ana)})));
  // Ana's list shows her offline.
  a.Enviar(L("CRLC"));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("SACT", {id, "bia", "A", "3", "TPC"})));
  b.Enviar(L("CNMS", {"1"}));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("SNCC", {id, "bia", "1", "TPC"})));
  b.Enviar(L("CDSC"));
  Rodar();
  EXPECT_THAT(b.Receber(), ElementsAre(L("SDSC")));
  EXPECT_TRUE(b.Fechado());
  EXPECT_THAT(a.Receber(), ElementsAre(L("SNDC", {id, "bia", "TPC"})));
  // An invisible login announces nothing.
  Logado(bia, "b", 2);
  EXPECT_THAT(a.Receber(), IsEmpty());
}

TEST_F(Servidor, MensagensOfflineChegamNoLoginEmOrdemESobrevivemAUmReinicio) {
  const Niu ana = Criar("ana", "a");
  const Niu bia = Criar("bia", "b");
  TCliente& a = Logado(ana, "a");
  for (const char* texto : {"um#<RET>#", "dois#<RET>#", "tr\xEAs#<RET>#"}) {
    a.Enviar(L("CMSG", {std::to_string(bia), texto}));
  }
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("SNEM", {std::to_string(bia), "um#<RET>#"}),
                                       L("SNEM", {std::to_string(bia), "dois#<RET>#"}),
                                       L("SNEM", {std::to_string(bia), "tr\xEAs#<RET>#"})));
  // Acknowledged means committed: another connection to the file sees them.
  EXPECT_EQ(OutraConexao()->ContarMensagens(bia), 3);
  Reiniciar();
  TCliente& b = Entrar(bia, "b");
  EXPECT_THAT(b.Com("CMSG"),
              ElementsAre(L("CMSG", {std::to_string(ana), "ana", "D", "um#<RET>#"}),
                          L("CMSG", {std::to_string(ana), "ana", "D", "dois#<RET>#"}),
                          L("CMSG", {std::to_string(ana), "ana", "D", "tr\xEAs#<RET>#"})));
  Rodar();
  EXPECT_EQ(banco_->ContarMensagens(bia), 3) << "deleted with a later commit, not one of their own";
  rt_.Advance(net::Milliseconds(1000));
  EXPECT_EQ(banco_->ContarMensagens(bia), 0) << "delivered messages leave the store";
  // Bia may now ask for Ana's entry, since Ana wrote to her.
  b.Enviar(L("CCCT", {std::to_string(ana)}));
  Rodar();
  EXPECT_THAT(b.Receber(), ElementsAre(L("SACT", {std::to_string(ana), "ana", "F", "3", "TPC"})));
}

TEST_F(Servidor, SegundoLoginFechaOPrimeiroComSnmp) {
  const Niu ana = Criar("ana", "a");
  const Niu bia = Criar("bia", "b");
  Contato(bia, ana);
  TCliente& b = Logado(bia, "b");
  TCliente& primeiro = Logado(ana, "a");
  b.Receber();  // Ana's arrival
  TCliente& segundo = Entrar(ana, "a");
  EXPECT_THAT(primeiro.Receber(), ElementsAre(L("SNMP", {"TPC"})));
  EXPECT_TRUE(primeiro.Fechado());
  EXPECT_THAT(segundo.Com("RCCA"), ElementsAre(L("RCCA")));
  EXPECT_THAT(b.Receber(), IsEmpty()) << "the user never went offline";
  EXPECT_EQ(servidor_->Conectados(), 2u);
  // Messages now reach the new session.
  b.Enviar(L("CMSG", {std::to_string(ana), "oi"}));
  Rodar();
  EXPECT_THAT(segundo.Com("CMSG"), ElementsAre(L("CMSG", {std::to_string(bia), "bia", "C", "oi"})));
}

TEST_F(Servidor, BuscaInformacoesEContas) {
  const Niu ana = Criar("ana", "a");
  const Niu anabel = Criar("Anabel", "x", /*exige=*/true);
  const Niu priv = Criar("anonima", "p", false, /*privado=*/true);
  TCliente& a = Logado(ana, "a");

  a.Enviar(L("CRBS", {"2", "AN"}));
  Rodar();
  EXPECT_THAT(
      a.Receber(),
      ElementsAre(L("SRBS", {std::to_string(ana), "ana", "Nome de ana", "ana@exemplo.com.br", "0"}),
                  L("SRBS", {std::to_string(anabel), "Anabel", "Nome de Anabel",
                             "Anabel@exemplo.com.br", "1"}),
                  L("SRBS", {std::to_string(priv), "anonima", "", "", "0"}), L("SFBS")));
  a.Enviar(L("CRBS", {"3", "nome de anon"}));
  a.Enviar(L("CRBS", {"1", std::to_string(anabel)}));
  a.Enviar(L("CRBS", {"5", "ana", "nome de anab"}));
  Rodar();
  EXPECT_THAT(a.Receber(),
              ElementsAre(L("SFBS"), StartsWith("[SRBS]\xA7" + std::to_string(anabel)), L("SFBS"),
                          StartsWith("[SRBS]\xA7" + std::to_string(anabel)), L("SFBS")));

  a.Enviar(L("CRIU", {"0", std::to_string(priv)}));
  Rodar();
  EXPECT_THAT(a.Receber(), ElementsAre(L("SUNP", {std::to_string(priv), "anonima"})));

  // Own blocks stored and read back; the work block as sent.
  std::string pessoal = "ana";
  for (int i = 2; i <= 19; ++i)
    pessoal += "\xA7" + (i == 3 ? std::string("Ana Maria") : std::to_string(i));
  a.Enviar(
      "[CADC]\xA7"
      "1\xA7" +
      pessoal);
  a.Enviar(
      L("CADC", {"2", "ana", "Empresa", "BH", "MG", "BR", "30000", "3133", "Dev", "Chefe", "www"}));
  a.Enviar(L("CRIU", {"0", std::to_string(ana)}));
  Rodar();
  EXPECT_THAT(a.Receber(),
              ElementsAre(L("SRIG", {std::to_string(ana), "ana", pessoal}),
                          L("SRIT", {std::to_string(ana), "ana", "ana", "Empresa", "BH", "MG", "BR",
                                     "30000", "3133", "Dev", "Chefe", "www"})));
  // Others do not see the SMS number nor the window's own field.
  TCliente& outro = Logado(anabel, "x");
  outro.Enviar(L("CRIU", {"0", std::to_string(ana)}));
  Rodar();
  const auto srig = outro.Com("SRIG");
  ASSERT_EQ(srig.size(), 1u);
  EXPECT_THAT(srig[0],
              StartsWith(L("SRIG", {std::to_string(ana), "ana", "ana", "", "Ana Maria", "4"})));
  EXPECT_EQ(banco_->Usuario(ana)->nome, "Ana Maria") << "the name searched follows the block";

  // Accounts: stored, read back, and started at every login.
  a.Enviar(L("CSCM", {"1", "12345", "pi", "0", "a@msn", "pm", "1", "ana_y", "py"}));
  a.Enviar(L("CRCM"));
  Rodar();
  EXPECT_THAT(a.Receber(),
              ElementsAre(L("SECM", {"1", "12345", "pi", "0", "a@msn", "pm", "1", "ana_y", "py"})));
  TCliente& de_novo = Entrar(ana, "a");
  EXPECT_THAT(de_novo.Com("SACM"),
              ElementsAre(L("SACM", {"1", "12345", "pi"}), L("SACM", {"3", "ana_y", "py"})));
}

TEST_F(Servidor, MensagensDeSistemaChegamAQuemEstaOnlineEEsperamOsOutros) {
  const Niu ana = Criar("ana", "a");
  const Niu bia = Criar("bia", "b");
  TCliente& a = Logado(ana, "a");
  {
    // As the admin command does, from another connection to the file.
    std::string erro;
    auto admin = OutraConexao();
    ASSERT_TRUE(admin->Iniciar());
    admin->GravarAviso(0, 7, "Manuten\xE7\xE3o \xE0s 22h");
    ASSERT_TRUE(admin->Confirmar(erro));
  }
  rt_.Advance(net::Milliseconds(1000));
  EXPECT_THAT(a.Receber(), ElementsAre(L("SEMS", {"7", "Manuten\xE7\xE3o \xE0s 22h"})));
  TCliente& b = Entrar(bia, "b");
  EXPECT_THAT(b.Com("SEMS"), ElementsAre(L("SEMS", {"7", "Manuten\xE7\xE3o \xE0s 22h"})));
  rt_.Advance(net::Milliseconds(2000));
  EXPECT_THAT(a.Receber(), IsEmpty()) << "each notice reaches each user once";
}

TEST_F(Servidor, ConexoesSilenciosasSaoSondadasEDepoisDerrubadas) {
  const Niu ana = Criar("ana", "a");
  TCliente& a = Logado(ana, "a");
  rt_.Advance(config_.silencioAteSondar);
  EXPECT_THAT(a.Receber(), ElementsAre(L("SBFF")));
  a.Enviar(L("CBFF"));
  Rodar();
  rt_.Advance(config_.silencioAteSondar - net::Milliseconds(1000));
  EXPECT_FALSE(a.Fechado());
  rt_.Advance(net::Milliseconds(1000));
  EXPECT_THAT(a.Receber(), ElementsAre(L("SBFF")));
  rt_.Advance(config_.silencioAteDesligar);
  EXPECT_TRUE(a.Fechado());
}

}  // namespace
}  // namespace tazu::tazud::test
