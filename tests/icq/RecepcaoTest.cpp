// What the logged-in engine makes of each incoming SNAC, server frames written
// by the test.
#include <gtest/gtest.h>

#include "icq/CodecCliente.h"
#include "icq/CodecMeta.h"
#include "icq/CodecServidor.h"
#include "tests/support/Expect.h"
#include "tests/support/icq/ICQRig.h"
#include "tests/support/icq/OscarDialect.h"

namespace tazu::test {
namespace {

using Evs = std::vector<std::string>;
using namespace icq;

class Recepcao : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(s.Entrar()); }
  ICQSessaoFalsa s;
};

TEST_F(Recepcao, MensagensDosTresCanais) {
  s.Servidor(R"(SNAC 0004/0007 0102030405060708 0001 b"222222" 0000 0001 T0006(00000000)
                T0002(T0501(01) T0101(00000000 "canal um")))");
  s.Servidor(
      R"(SNAC 0004/0007 0102030405060708 0001 b"222222" 0000 0000 T0002(T0501(01) T0101(00000000)))");
  s.ServidorBytes(servidor::MensagemCanal4("222222", 1, "{\\rtf1 canal\\par quatro}"));
  s.ServidorBytes(servidor::MensagemCanal4("222222", 4, "Tazu\xFEhttp://tazu"));
  s.ServidorBytes(
      servidor::MensagemCanal4("1", 0x1A,
                               "ICQSMS <sms_message><source>ICQ</source><sender>+55</sender>"
                               "<text>oi</text><time>12:00</time></sms_message>"));
  EXPECT_EQ(s.Eventos(), (Evs{"OnMessageRecv(\"canal um\", 222222)",
                              "OnMessageRecv(\"canal\r\nquatro\", 222222)",
                              "OnURLRecv(\"Tazu\", \"http://tazu\", 222222)",
                              "OnSMSReply(\"ICQ\", \"+55\", \"12:00\", \"oi\")"}));
}

TEST_F(Recepcao, MensagemDoCanal2EhConfirmadaAntesDoEvento) {
  s.cliente.AutoAwayMessage = "fui";
  const std::string tlv5 =
      OscarDialect::Body(
          "SNAC 0000/0000 0000 0000000000070000 " +
          std::string("094613494C7F11D18222444553540000 T000A(0001) T2711(le16:27 le16:8 ") +
          "00000000000000000000000000000000 le16:0 le32:3 00 le16:77 le16:14 le16:65535 " +
          "000000000000000000000000 01 00 le16:0 le16:0 z\"oi\")")
          .substr(10);
  s.ServidorBytes(servidor::MensagemCanal2(std::string("\0\0\0\0\0\7\0\0", 8), "222222", tlv5));
  const std::string ack = s.servidor->Take();
  TSnac snac;
  ASSERT_TRUE(LerSnac(std::string_view(ack).substr(6), snac));
  EXPECT_EQ(snac.subtipo, 0x000B);
  TConfirmacao c;
  ASSERT_TRUE(cliente::LerConfirmacao(snac.dados, c));
  EXPECT_EQ(c.id, 7);
  EXPECT_EQ(c.uin, "222222");
  EXPECT_EQ(c.aceite, 0);
  EXPECT_EQ(s.Eventos(), (Evs{"OnMessageRecv(\"oi\", 222222)"}));
  // An auto-message request (type 0xE8) is answered with AutoAwayMessage.
  std::string pedido = tlv5;
  pedido[26 + 6 + 4 + 45] = '\xE8';
  s.ServidorBytes(servidor::MensagemCanal2(std::string(8, '\0'), "222222", pedido));
  const std::string resposta = s.servidor->Take();
  EXPECT_NE(resposta.find(std::string("\x04\x00"
                                      "fui\0",
                                      6)),
            std::string::npos);
}

TEST_F(Recepcao, ConfirmacoesPorTipoDeAceite) {
  const auto ack = [](uint8_t tipo, uint8_t aceite, const char* texto) {
    return "SNAC 0004/000B 00000000 0005 0000 0002 b\"222222\" 0003 " + std::string(90, '0') + " " +
           (tipo < 16 ? "0" : "") +
           [&] {
             char b[3];
             std::snprintf(b, 3, "%X", tipo);
             return std::string(b);
           }() +
           " 00 " +
           [&] {
             char b[3];
             std::snprintf(b, 3, "%02X", aceite);
             return std::string(b);
           }() +
           " 000000 z\"" + texto + "\"";
  };
  for (uint8_t aceite : {0, 4, 9, 10, 12, 14, 1, 5}) s.Servidor(ack(1, aceite, "fora"));
  s.Servidor(ack(0xE8, 4, "estou longe"));
  EXPECT_EQ(
      s.Eventos(),
      (Evs{"OnAdvancedMsgAck(222222, 5, 0, \"\")", "OnAdvancedMsgAck(222222, 5, 4, \"fora\")",
           "OnAdvancedMsgAck(222222, 5, 9, \"fora\")", "OnAdvancedMsgAck(222222, 5, 10, \"fora\")",
           "OnAdvancedMsgAck(222222, 5, 12, \"fora\")", "OnAdvancedMsgAck(222222, 5, 14, \"fora\")",
           "OnAutoMsgResponse(222222, 5, 232, \"estou longe\")"}));
}

TEST_F(Recepcao, PresencaEOuvinteDireto) {
  s.Servidor(R"(SNAC 0003/000B b"222222" 0000 0002 T000C(7F000001 00001389 04 0008 00000009
                0000005000000003000000000000000000000000 0000) T0006(00000011))");
  s.Servidor(R"(SNAC 0003/000C b"222222" 0000 0000)");
  s.Servidor(R"(SNAC 0003/000B b"333333" 0000 0001 T0001(0050))");  // no status: nothing
  EXPECT_EQ(s.Eventos(), (Evs{"OnStatusChange(222222, 17)", "OnUserOffline(222222)"}));
}

TEST_F(Recepcao, EnderecoDiretoSoComTipoConhecido) {
  ICQSessaoFalsa comOuvinte;
  comOuvinte.cliente.DisableDirectConnections = false;
  ASSERT_TRUE(comOuvinte.Entrar());
  ASSERT_NE(comOuvinte.cliente.Direto(), nullptr);
  comOuvinte.Servidor(R"(SNAC 0003/000B b"222222" 0000 0003 T000C(0A000002 00001389 04 0008 0000ABCD
                         0000005000000003000000000000000000000000 0000) T000A(C0A80001) T0006(00000000))");
  comOuvinte.Servidor(R"(SNAC 0003/000B b"333333" 0000 0002 T000A(C0A80001) T0006(00000000))");
  const TEnderecoDireto* e = comOuvinte.cliente.Direto()->Endereco("222222");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->porta, 5001u);
  EXPECT_EQ(e->cookie, 0xABCDu);
  EXPECT_EQ(e->ipExterno, 0xC0A80001u);
  EXPECT_EQ(comOuvinte.cliente.Direto()->Endereco("333333"), nullptr);
  EXPECT_EQ(comOuvinte.Eventos()[1],
            "OnError(1, \"Cannot estabilish direct connection because remote client uses unknown "
            "proxy type\")");
}

TEST_F(Recepcao, ListaAutorizacaoEResultados) {
  s.Servidor(R"(SNAC 0013/0006 flags=8000 0006 0001 0002 0000 00 0004
                w"Tazu" 000A 0000 0001 0000
                w"222222" 000A 0003 0000 0007 T0131("Bia")
                w"777" 000B 0004 0002 0000
                w"888" 000B 0005 0003 0000 00000000)");
  s.Servidor("SNAC 0013/000E flags=8000 0006000100020000 0001");
  s.Servidor("SNAC 0013/000E flags=8000 0006000100020000 000E");
  s.Servidor(R"(SNAC 0013/0019 flags=8000 0006000100020000 b"222222" le16:3 "oi!" 0000)");
  s.Servidor(R"(SNAC 0013/001B flags=8000 0006000100020000 b"222222" 00 w"não")");
  s.Servidor(R"(SNAC 0013/001C flags=8000 0006000100020000 b"222222" 0000)");
  s.Servidor(R"(SNAC 0013/001C flags=8000 0006000200020000 b"222222" 0000)");  // not TLV 1
  EXPECT_EQ(
      s.Eventos(),
      (Evs{"OnServerListRecv([222222 \"Bia\" 0 10/3 \"Tazu\"][777 \"\" 2 11/4 \"\"]"
           "[888 \"\" 3 11/5 \"\"])",
           "OnSSLChangeResponse(10)", "OnSSLChangeResponse(14)", "OnAuthRequest(222222, \"oi!\")",
           "OnAuthResponse(222222, denied, \"não\")", "OnAddedYou(222222)"}));
  // Without a handler a request is granted at once.
  s.cliente.OnAuthRequest = nullptr;
  s.servidor->Take();
  s.Servidor(R"(SNAC 0013/0019 flags=8000 0006000100020000 b"222222" le16:0 0000)");
  EXPECT_TRUE(SameBytes(OscarDialect::Body(R"(SNAC 0013/001A b"222222" 01 0000 0000)"),
                        s.servidor->Take().substr(6)));
}

TEST_F(Recepcao, PedidoDeInformacaoCompletaAcabaNaUltimaParte) {
  s.cliente.RequestFullInfo(222222);  // meta sequence 3
  const auto geral = [] {
    meta::TInfoGeral i;
    i.apelido = "Bia";
    return meta::Resposta(111111, meta::kRespostaInfo, 3,
                          meta::RespostaInfo(meta::kGeral, true, meta::Geral(i)));
  };
  s.ServidorBytes(geral());
  s.ServidorBytes(meta::Resposta(111111, meta::kRespostaInfo, 3,
                                 meta::RespostaInfo(meta::kPassado, true, std::string(2, '\0'))));
  // The request was answered to its last part: it is forgotten (it used to
  // stay for the rest of the session).
  s.ServidorBytes(geral());
  EXPECT_EQ(s.Eventos(), (Evs{"OnUserGeneralInfo(222222, \"Bia\", \"\", \"\", \"Unknown\")",
                              "OnUserGeneralInfo(, \"Bia\", \"\", \"\", \"Unknown\")"}));
}

TEST_F(Recepcao, RespostasMetaSemPedidoESinalDeFim) {
  // A reply to nothing asked is about nobody.
  s.ServidorBytes(meta::Resposta(
      111111, meta::kRespostaInfo, 40,
      meta::RespostaInfo(meta::kCurta, true, meta::Curta({"X", "", "", "", false}))));
  s.ServidorBytes(
      meta::Resposta(111111, meta::kMensagemOffline, 2,
                     meta::MensagemOffline({222222, 2004, 1, 2, 3, 4, 4, 0, "d\xFEu"})));
  s.Servidor("SNAC 0015/0003 T0002(0000)");  // not TLV 1: ignored
  s.servidor->Take();
  s.ServidorBytes(meta::Resposta(111111, meta::kFimOffline, 2, std::string(1, '\0')));
  EXPECT_EQ(s.Eventos(), (Evs{"OnUserInfoShort(, \"X\", found, no auth)",
                              "OnOfflineURLRecv(\"d\", \"u\", 222222)"}));
  EXPECT_TRUE(
      SameBytes(meta::Pedido(111111, meta::kConfirmarOffline, 2), s.servidor->Take().substr(6)));
  // A sign-off while logged in ends the session.
  s.servidor->Write(MontarFlap(4, 99, {}));
  s.rt.RunPending();
  EXPECT_EQ(s.Eventos(), (Evs{"OnConnectionFailed()"}));
  EXPECT_TRUE(s.servidor->ClientClosed());
}

}  // namespace
}  // namespace tazu::test
