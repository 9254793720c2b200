// What a logged-in Yahoo session makes of presence, messages and buddy
// packets, and what it sends for the adapter's requests.
#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "tests/support/Expect.h"
#include "tests/support/yahoo/YahooRig.h"

namespace tazu::test {
namespace {

using Evs = std::vector<std::string>;

std::string W(const char* utf8) {
  return cp1252::FromUtf8(utf8);
}

class Regras : public ::testing::Test, public ClienteYahooRig {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(LogIn("LIST 0 87=\"Amigos:bia,caio\"", &why)) << why;
  }
};

TEST_F(Regras, PresencaDosAmigos) {
  // Several buddies in one packet, each closed by its key 13.
  ServerSends(
      "AWAY 0 7=bia 10=2 13=1 7=caio 10=99 19=\"no cinema\" 47=1 13=1 7=davi 10=99 "
      "19=livre 47=0 13=1");
  ServerSends("LOGOFF 0 7=bia 10=0 13=1\nBACK 0 7=caio 10=0 13=0\nLOGON 0 7=davi 10=999 13=1");
  EXPECT_EQ(TakeEvents(),
            (Evs{"AoMudarStatusContato(UserID=\"bia\", Status=2, Away=true, Msg=\"\")",
                 "AoMudarStatusContato(UserID=\"caio\", Status=99, Away=true, Msg=\"no cinema\")",
                 "AoMudarStatusContato(UserID=\"davi\", Status=99, Away=false, Msg=\"livre\")",
                 "AoMudarStatusContato(UserID=\"bia\", Status=1515563606, Away=true, Msg=\"\")",
                 "AoMudarStatusContato(UserID=\"caio\", Status=1515563606, Away=true, Msg=\"\")",
                 "AoMudarStatusContato(UserID=\"davi\", Status=999, Away=true, Msg=\"\")"}));
  EXPECT_EQ(cliente.Status, 0u) << "buddies' codes do not overwrite our own";
}

TEST_F(Regras, UmNumeroIlegivelPerdeSoOSeuPar) {
  ServerSends("AWAY 0 7=bia 10=dois 13=1 7=caio 10=6 13=um 7=davi 10=6 13=1 16=\"aviso\"");
  EXPECT_EQ(TakeEvents(),
            (Evs{"AoMudarStatusContato(UserID=\"bia\", Status=0, Away=false, Msg=\"\")",
                 "AoMudarStatusContato(UserID=\"davi\", Status=6, Away=true, Msg=\"\")",
                 "OnYahooError(Number=0, Error=\"aviso\")"}));
  ServerSends("MESSAGE 1 4=bia 15=ontem 97=x 14=oi");
  EXPECT_EQ(TakeEvents(),
            (Evs{"OnUserMessage(UserID=\"bia\", Msg=\"oi\", TimeStamp=0, UTF8=false)"}));
  EXPECT_TRUE(cliente.LoggedIn);
}

TEST_F(Regras, MensagensRecebidas) {
  // Two messages split by key 31: the sender carries over.
  ServerSends(
      "MESSAGE 5 4=bia 14=primeira 15=1072915200 97=1 31=6 14=segunda\n"
      "MESSAGE 2 4=caio\n"
      "MESSAGE 0xFFFFFFFF 14=\"falhou\"\n"
      "SYSMESSAGE 0 14=\"manutencao\"\n"
      "0x2A 1 1=davi 16=\"nova\" 5=ana 32=x 63=y");
  EXPECT_EQ(TakeEvents(),
            (Evs{"OnUserMessage(UserID=\"bia\", Msg=\"primeira\", TimeStamp=1072915200, UTF8=true)",
                 "OnUserMessage(UserID=\"bia\", Msg=\"segunda\", TimeStamp=1072915200, UTF8=true)",
                 "OnUserMessage(UserID=\"caio\", Msg=\"\", TimeStamp=0, UTF8=false)",
                 "OnYahooError(Number=0, Error=\"falhou\")", "OnSystemMessage(Msg=\"manutencao\")",
                 "OnUserMessage(UserID=\"davi\", Msg=\"nova\", TimeStamp=0, UTF8=false)"}));
}

TEST_F(Regras, MensagensEnviadas) {
  cliente.EnviarMensagem("bia", "oi Bia");
  EXPECT_TRUE(
      SameBytes(YmsgBytes("MESSAGE 0x5A55AA56 @4660 1=ana 5=bia 14=\"oi Bia\" 97=0 63=;0 64=0"),
                peer->Take()));
  // Text beyond ASCII travels as UTF-8 and says so; line breaks as they are.
  cliente.EnviarMensagem("bia", W("olá, ação € ok\r\nfim"));
  EXPECT_EQ(TakeSent(),
            "MESSAGE 1515563606 @4660 1=\"ana\" 5=\"bia\" "
            "14=\"ol\\xC3\\xA1, a\\xC3\\xA7\\xC3\\xA3o \\xE2\\x82\\xAC ok\\x0D\\x0Afim\" 97=\"1\" "
            "63=\";0\" 64=\"0\"\n");
  cliente.EnviarMensagem("bia", "");
  EXPECT_EQ(peer->Read(), "");
  cliente.EnviarMensagem(std::string(200, 'z'), "x");
  yahoo::TYahooPacket p;
  ASSERT_EQ(yahoo::LerPacote(peer->Take(), p), yahoo::TResultadoLeitura::Ok);
  EXPECT_EQ(*p.Valor(5), std::string(127, 'z'));
}

TEST_F(Regras, UmTextoLongoVaiEmVariosPacotesSemCortarCaracteres) {
  std::string texto;
  for (int i = 0; i < 50000; ++i) texto += W("é");  // 100,000 bytes in UTF-8
  cliente.EnviarMensagem("bia", texto);
  std::string juntado;
  int pacotes = 0;
  yahoo::TLeitorYmsg leitor;
  yahoo::TYahooPacket p;
  leitor.Alimentar(peer->Take(), [&](std::string_view bloco) {
    EXPECT_EQ(yahoo::LerPacote(bloco, p), yahoo::TResultadoLeitura::Ok);
    EXPECT_EQ(cp1252::FromUtf8(*p.Valor(14)).size() * 2, p.Valor(14)->size());
    juntado += *p.Valor(14);
    ++pacotes;
    return true;
  });
  EXPECT_EQ(pacotes, 2);
  EXPECT_EQ(juntado, cp1252::ToUtf8(texto));
}

TEST_F(Regras, StatusProprio) {
  cliente.MudarStatus(4, true, "");
  cliente.MudarStatus(0, false, "");
  cliente.MudarStatus(12, false, "");
  cliente.MudarStatus(4, true, W("almoço"));
  EXPECT_EQ(TakeSent(),
            "AWAY 4 @4660 10=\"4\"\n"
            "BACK 0 @4660 10=\"0\"\n"
            "AWAY 12 @4660 10=\"12\"\n"
            "AWAY 99 @4660 10=\"99\" 19=\"almo\\xE7o\" 47=\"1\"\n");
  EXPECT_EQ(cliente.Status, 99u);
}

TEST_F(Regras, ListaDeAmigosERemocao) {
  ServerSends("LIST 0 87=\"Trabalho:davi,\\nSolto\\nOutros:,eva\" 87=\"Mais:fabio\"");
  EXPECT_EQ(TakeEvents(),
            (Evs{"AoReceberContato(Group=\"Trabalho\", UserID=\"davi\", YahooStatus=1515563606, "
                 "Away=true, Msg=\"\")",
                 "AoReceberContato(Group=\"Outros\", UserID=\"eva\", YahooStatus=1515563606, "
                 "Away=true, Msg=\"\")",
                 "AoReceberContato(Group=\"Mais\", UserID=\"fabio\", YahooStatus=1515563606, "
                 "Away=true, Msg=\"\")"}));
  cliente.RemoverContato("CAIO");
  cliente.RemoverContato("zeca");  // never in a list: nothing sent
  cliente.RemoverContato("");
  cliente.RemoverContato("caio");  // gone already
  EXPECT_EQ(TakeSent(), "REMBUDDY 0 @4660 1=\"ana\" 7=\"CAIO\" 65=\"Amigos\"\n");
}

TEST_F(Regras, AdicionarComCadaResposta) {
  // Unknown: the outcome comes with no notice before it.
  cliente.AdicionarContato("zeca", "Tazu");
  EXPECT_EQ(TakeSent(), "ADDBUDDY 0 @4660 1=\"ana\" 7=\"zeca\" 65=\"Tazu\"\n");
  ServerSends("ADDBUDDY 0 1=ana 7=zeca 65=Tazu 66=3");
  // Confirmed by a notice: nothing more on the outcome.
  cliente.AdicionarContato("gil", "Tazu");
  ServerSends("NOTIFY 0 1=ana 3=gil 10=0 47=0\nADDBUDDY 0 1=ana 7=gil 65=Tazu 66=0");
  // Refused: told, and not added by the outcome.
  cliente.AdicionarContato("hugo", "Tazu");
  ServerSends("NOTIFY 7 3=hugo 4=\"nao quero\"\nADDBUDDY 0 1=ana 7=hugo 65=Tazu 66=0");
  // Answered but not confirmed: the buddy comes in offline.
  cliente.AdicionarContato("ivo", "Tazu");
  ServerSends("NOTIFY 0 4=pendente\nADDBUDDY 0 1=ana 7=ivo 65=Tazu 66=0");
  EXPECT_EQ(
      TakeEvents(),
      (Evs{"OnContactNotFound(UserID=\"zeca\")",
           "AoReceberContato(Group=\"Tazu\", UserID=\"gil\", YahooStatus=0, Away=false, Msg=\"\")",
           "OnContactRejected(UserID=\"hugo\", Msg=\"nao quero\")",
           "AoReceberContato(Group=\"Tazu\", UserID=\"ivo\", YahooStatus=1515563606, "
           "Away=true, Msg=\"\")"}));
  TakeSent();
  // Added in this session, so they can be removed in it.
  cliente.RemoverContato("gil");
  cliente.RemoverContato("ivo");
  cliente.RemoverContato("hugo");
  EXPECT_EQ(TakeSent(),
            "REMBUDDY 0 @4660 1=\"ana\" 7=\"gil\" 65=\"Tazu\"\n"
            "REMBUDDY 0 @4660 1=\"ana\" 7=\"ivo\" 65=\"Tazu\"\n");
}

TEST_F(Regras, AdicoesSimultaneasGuardamCadaUmaSuaResposta) {
  cliente.AdicionarContato("gil", "Amigos");
  cliente.AdicionarContato("zeca", "Tazu");
  ServerSends(
      "NOTIFY 0 1=ana 3=gil 10=0 47=0\nADDBUDDY 0 1=ana 7=gil 65=Amigos 66=0\n"
      "ADDBUDDY 0 1=ana 7=zeca 65=Tazu 66=3");
  EXPECT_EQ(TakeEvents(),
            (Evs{"AoReceberContato(Group=\"Amigos\", UserID=\"gil\", YahooStatus=0, Away=false, "
                 "Msg=\"\")",
                 "OnContactNotFound(UserID=\"zeca\")"}));
}

TEST_F(Regras, ValoresComOSeparadorNaoSaem) {
  cliente.AdicionarContato(
      "bia\xC0\x80"
      "5",
      "Tazu");
  cliente.MudarStatus(0, false,
                      "a\xC0\x80"
                      "b");
  EXPECT_EQ(peer->Read(), "");
}

}  // namespace
}  // namespace tazu::test
