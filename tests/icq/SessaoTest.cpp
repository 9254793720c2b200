// The engine logged in to the simulator on the fake runtime: presence,
// messages, offline messages, information, searches, the server-side list and
// authorisation between two users.
#include <gtest/gtest.h>

#include "icq/CodecFlap.h"
#include "tests/support/Expect.h"
#include "tests/support/icq/ICQRig.h"

namespace tazu::test {
namespace {

using Evs = std::vector<std::string>;

class Sessao : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string porque;
    ASSERT_TRUE(rig.Entrar(0, &porque)) << porque;
    rig.Eventos();
  }
  // Bia (222222) logged in with her own events.
  icq::TICQClient& Bia() {
    if (!bia) bia = rig.OutroUsuario(222222, "senha2", &deBia);
    return *bia;
  }
  Evs DeBia() { return std::exchange(deBia, {}); }

  ICQRig rig;
  std::unique_ptr<icq::TICQClient> bia;
  Evs deBia;
};

TEST_F(Sessao, PresencaNosDoisSentidos) {
  rig.cliente.AddToContactList(222222);
  Bia().AddToContactList(111111);
  rig.Girar();
  EXPECT_EQ(rig.Eventos(), (Evs{"OnStatusChange(222222, 0)"}));
  EXPECT_EQ(DeBia(), (Evs{"OnLogin()", "OnStatusChange(111111, 0)"}));
  Bia().SetStatus(0x0011);
  rig.Girar();
  EXPECT_EQ(rig.Eventos(), (Evs{"OnStatusChange(222222, 17)"}));
  Bia().LogOff();
  rig.Girar();
  EXPECT_EQ(rig.Eventos(), (Evs{"OnUserOffline(222222)"}));
  EXPECT_FALSE(rig.cliente.AddToContactList(222222)) << "already in the list";
}

TEST_F(Sessao, InvisivelSoParaQuemNaoEstaNaListaVisivel) {
  Bia().AddToContactList(111111);
  rig.cliente.AddToContactList(333333);
  rig.Girar();
  DeBia();
  std::vector<std::string> enviados;
  rig.cliente.OnPktParse = [&](icq::TICQClient&, std::string_view b, bool entrada) {
    icq::TSnac s;
    if (!entrada && b.size() > 6 && icq::LerSnac(b.substr(6), s))
      enviados.push_back(std::to_string(s.familia) + "/" + std::to_string(s.subtipo));
  };
  rig.cliente.SetStatus(0x0100);
  rig.Girar();
  // The visible list goes before the status; leaving, the invisible list.
  EXPECT_EQ(enviados, (Evs{"9/5", "1/30"}));
  EXPECT_EQ(DeBia(), (Evs{"OnUserOffline(111111)"}));
  rig.cliente.VisibleList = {"222222"};
  rig.cliente.SetStatus(0x0000);
  rig.cliente.SetStatus(0x0100);
  rig.Girar();
  EXPECT_EQ(enviados, (Evs{"9/5", "1/30", "9/7", "1/30", "9/5", "1/30"}));
  EXPECT_EQ(DeBia(), (Evs{"OnStatusChange(111111, 0)", "OnStatusChange(111111, 256)"}));
}

TEST_F(Sessao, MensagensSimplesEConfirmadas) {
  Bia();
  DeBia();
  rig.cliente.SendPlainMessage(222222, "oi Bia");
  rig.cliente.SendAckedMessage(222222, "tudo bem?", false, 7);
  rig.cliente.SendAckedMessage(222222, "", false, 8);  // nothing is sent
  rig.Girar();
  EXPECT_EQ(DeBia(),
            (Evs{"OnMessageRecv(\"oi Bia\", 111111)", "OnMessageRecv(\"tudo bem?\", 111111)"}));
  EXPECT_EQ(rig.Eventos(), (Evs{"OnAdvancedMsgAck(222222, 7, 0, \"\")"}));
  // Rich text on channel 2 arrives plain where ConvertToPlaintext is set.
  Bia().ConvertToPlaintext = true;
  rig.cliente.SendAckedMessage(222222, "{\\rtf1 ol\\'e1\\par}", true, 9);
  rig.Girar();
  EXPECT_EQ(DeBia(), (Evs{"OnMessageRecv(\"olá\", 111111)"}));
  // The echo bot acknowledges and answers.
  rig.Eventos();
  rig.cliente.SendAckedMessage(333333, "eco?", false, 10);
  rig.Girar();
  EXPECT_EQ(rig.Eventos(),
            (Evs{"OnAdvancedMsgAck(333333, 10, 0, \"\")", "OnMessageRecv(\"eco?\", 333333)"}));
}

TEST_F(Sessao, MensagensGuardadasAteOContatoEntrar) {
  rig.cliente.SendPlainMessage(222222, "quando voltar");
  rig.cliente.SendPlainMessage(222222, "");                           // an empty text still goes
  rig.cliente.SendAckedMessage(222222, "com confirmação", false, 1);  // not kept
  rig.Girar();
  EXPECT_EQ(rig.sim.Conta("222222")->offline.size(), 2u);
  Bia();
  EXPECT_EQ(DeBia(), (Evs{"OnLogin()", "OnOfflineMsgRecv(\"quando voltar\", 111111)"}));
  EXPECT_TRUE(rig.sim.Conta("222222")->offline.empty()) << "acknowledged, the server forgets them";
}

TEST_F(Sessao, InformacoesEBuscas) {
  sim::icq::TContaSim& b = *rig.sim.Conta("222222");
  b.geral.nome = "Beatriz";
  b.geral.sobrenome = "Lima";
  b.geral.cidade = "Recife";
  b.geral.pais = 55;
  b.geral.email = "bia@ex.com";
  b.mais.idade = 30;
  b.mais.idiomas = {36, 12, 0};
  b.trabalho.empresa = "Tazu";
  b.trabalho.pais = 351;
  b.trabalho.ocupacao = 5;
  b.sobre = "oi";
  b.exigeAutorizacao = true;
  rig.cliente.RequestFullInfo(222222);
  rig.cliente.RequestShortInfo(222222);
  rig.cliente.RequestShortInfo(999999);
  rig.Girar();
  EXPECT_EQ(rig.Eventos(),
            (Evs{"OnUserGeneralInfo(222222, \"Bia\", \"Beatriz\", \"Recife\", \"Brazil\")",
                 "OnUserInfoMore(222222, 30, \"Portuguese\", \"English\", \"Unknown\")",
                 "OnUserWorkInfo(222222, \"Tazu\", \"Portugal\", \"Computers\")",
                 "OnUserInfoAbout(222222, \"oi\")", "OnUserInfoShort(222222, \"Bia\", found, auth)",
                 "OnUserInfoShort(999999, \"\", not found, no auth)"}));
  rig.cliente.SearchByUIN(222222);
  rig.cliente.SearchByEmail("BIA@ex.com");
  rig.cliente.SearchByNames("", "", "a", "");
  rig.cliente.SearchByNames("Ninguém", "", "", "");
  rig.Girar();
  EXPECT_EQ(rig.Eventos(),
            (Evs{"OnUserFound(222222, \"Bia\", last, auth)",
                 "OnUserFound(222222, \"Bia\", last, auth)", "OnUserFound(111111, \"Ana\")",
                 "OnUserFound(222222, \"Bia\", last, auth)", "OnUserNotFound()"}));
}

TEST_F(Sessao, ListaDoServidorLongaChegaInteira) {
  for (int i = 0; i < 1000; ++i)
    rig.sim.AdicionarAoGrupo("111111", std::to_string(500000 + i), "Contato " + std::to_string(i),
                             i < 500 ? "Amigos" : "Trabalho");
  std::vector<icq::TEntradaLista> recebida;
  int vezes = 0;
  rig.cliente.OnServerListRecv = [&](icq::TICQClient&, const std::vector<icq::TEntradaLista>& l) {
    recebida = l;
    ++vezes;
  };
  rig.cliente.RequestServerList();
  rig.Girar();
  EXPECT_EQ(vezes, 1) << "several replies, one list";
  ASSERT_EQ(recebida.size(), 1000u);
  EXPECT_EQ(recebida[0].uin, 500000u);
  EXPECT_EQ(recebida[0].nomeDoGrupo, "Amigos");
  EXPECT_EQ(recebida[999].apelido, "Contato 999");
  EXPECT_EQ(recebida[999].nomeDoGrupo, "Trabalho");
}

TEST_F(Sessao, AlteracoesDaListaEAutorizacao) {
  Bia().AddToContactList(111111);
  rig.sim.Conta("222222")->exigeAutorizacao = true;
  rig.Girar();
  DeBia();
  rig.cliente.BeginServerListEdit();
  rig.cliente.AddServerGroup("Tazu", 10);
  rig.cliente.AddServerContact("222222", "Bia", 10, 1, false);  // needs authorisation
  rig.cliente.AddServerContact("222222", "Bia", 10, 1, true);   // awaiting it
  rig.cliente.AddServerContact("222222", "Bia", 10, 2, true);   // the same contact again
  rig.cliente.AddServerContact("999999", "", 10, 3, true);      // nobody
  rig.cliente.DeleteServerContact("222222", "Bia", 10, 1);
  rig.cliente.DeleteServerContact("222222", "Bia", 10, 1);  // gone already
  rig.cliente.EndServerListEdit();
  rig.Girar();
  EXPECT_EQ(rig.Eventos(),
            (Evs{"OnSSLChangeResponse(0)", "OnSSLChangeResponse(14)", "OnSSLChangeResponse(0)",
                 "OnSSLChangeResponse(3)", "OnSSLChangeResponse(2)", "OnSSLChangeResponse(0)",
                 "OnSSLChangeResponse(2)"}));
  EXPECT_EQ(DeBia(), (Evs{"OnAddedYou(111111)"}));

  rig.cliente.RequestAuthorization(222222, "sou a Ana");
  rig.Girar();
  EXPECT_EQ(DeBia(), (Evs{"OnAuthRequest(111111, \"sou a Ana\")"}));
  Bia().ReplyAuthorization("111111", "", true);
  rig.Girar();
  EXPECT_EQ(rig.Eventos(), (Evs{"OnAuthResponse(222222, granted, \"\")"}));
  rig.cliente.AddServerContact("222222", "Bia", 10, 5, false);
  rig.Girar();
  EXPECT_EQ(rig.Eventos(), (Evs{"OnSSLChangeResponse(0)"})) << "granted: no mark needed";
}

TEST_F(Sessao, OuvinteDiretoAnunciadoNaPresenca) {
  rig.cliente.LogOff();
  rig.cliente.DisableDirectConnections = false;
  ASSERT_TRUE(rig.Entrar());
  ASSERT_NE(rig.cliente.Direto(), nullptr);
  ASSERT_NE(rig.cliente.Direto()->Porta(), 0);
  Bia().AddToContactList(111111);
  rig.Girar();
  const icq::TEnderecoDireto* e = bia->Direto()->Endereco("111111");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->porta, rig.cliente.Direto()->Porta());
  EXPECT_EQ(e->ipInterno, 0x7F000001u);
  EXPECT_NE(e->cookie, 0u);
}

}  // namespace
}  // namespace tazu::test
