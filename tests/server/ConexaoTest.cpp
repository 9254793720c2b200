// The connection of the Tazu client: framing, login, keep-alive, leaving,
// errors and the settling of pending requests.
#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "core/UCriptografia.h"
#include "tests/server/ClienteFixture.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;

std::string W(const char* utf8) { return cp1252::FromUtf8(utf8); }

class Conexao : public ClienteFixture {};

TEST_F(Conexao, LoginUnscrambledSendsExactBytesAndRaisesEventsInOrder) {
  Conectar();
  EXPECT_EQ(Eventos(), (Evs{"AoConectarServidor()"}));
  EXPECT_TRUE(cliente.Conectado);
  EXPECT_TRUE(cliente.AguardandoConexao);
  cliente.NIU = 1234;
  cliente.Identificar(5);
  EXPECT_EQ(Enviado(), "[CVER]" + S + "127.0.0.1" + S + "5555" + S + "1234" + S + "1.0 AA" + S +
                           "P" + S + "Tazu Messenger\r\n");
  EXPECT_EQ(cliente.EnderecoLocal, S + "127.0.0.1" + S + "5555" + S);

  Servidor("[RVER]" + S + "1234" + S + "x" + S + "0\r\n");
  EXPECT_EQ(Enviado(), "[CCON]" + S + "segredo" + S + "5\r\n");
  Servidor("[RCCA]\r\n[RUAC]" + S + "0" + S + "Ana\xC0\xD3s\r\n");
  EXPECT_EQ(Eventos(), (Evs{"AoConfirmar()", "AoConectarComunidade()",
                                "AoReceberResposta(Comando=1, Sucesso=true, Resposta=\"\")"}));
  EXPECT_EQ(cliente.Apelido, "Ana's");
  EXPECT_FALSE(cliente.AguardandoConexao);
  EXPECT_EQ(cliente.ComandoPendente, 0);
}

TEST_F(Conexao, LoginScrambledAtSeveralKeys) {
  for (const int chave : {1, 77, 200, 255}) {
    SCOPED_TRACE(chave);
    Conectar();
    Eventos();
    cliente.Identificar(1);
    Enviado();
    TCriptografia c;
    c.Chave = static_cast<uint8_t>(chave);
    // RVER travels in clear; from CCON on, everything is scrambled.
    Servidor("[RVER]" + S + "77" + S + "0" + S + std::to_string(chave) + "\r\n" +
             Linha(c, "[RCCA]"));
    const std::string ccon = Enviado();
    EXPECT_EQ(ccon, c.Embaralhar("[CCON]" + S + "segredo" + S + "1") + "\r\n");
    EXPECT_EQ(cliente.NIU, 77);
    Servidor(Linha(c, "[RUAC]" + S + "0" + S + W("Zé")) + Linha(c, "[RPNG]"));
    EXPECT_EQ(Eventos(), (Evs{"AoConfirmar()",
                                  "AoReceberResposta(Comando=1, Sucesso=true, Resposta=\"\")",
                                  "AoConectarComunidade()"}));
    cliente.MudarStatus(6);
    EXPECT_EQ(Enviado(), c.Embaralhar("[CNMS]" + S + "6") + "\r\n");
    peer->Close();
    rt.RunPending();
    EXPECT_EQ(cliente.Criptografia.Chave, 0);
    Eventos();
  }
}

TEST_F(Conexao, RefusedLoginReportsTheServersTextAndFailsTheRequest) {
  Conectar();
  cliente.Identificar(1);
  Servidor("[RVER]" + S + "1" + S + "0" + S + "0\r\n");
  Eventos();
  Servidor("[RERR]" + S + "7" + S + "falha" + S + "x\r\n");
  EXPECT_EQ(Eventos(), (Evs{"AoReceberErro(Numero=7, Descricao=\"falha" + S + "x\")",
                                "AoReceberResposta(Comando=1, Sucesso=false, Resposta=\"\")"}));
}

TEST_F(Conexao, FramingEdgeCases) {
  Entrar();
  // Two messages in one read, an empty line between them.
  cliente.BuscarContato("Tazu", '2', "ana");
  Enviado();
  Servidor("[RPNG]\r\n\r\n[SFBS]\r\n");
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarBusca()",
                                "AoReceberResposta(Comando=6, Sucesso=true, Resposta=\"\")"}));
  // An unknown code, then a line without brackets while a request is pending.
  Servidor("[XXXX]" + S + "a\r\n");
  EXPECT_EQ(Eventos(), (Evs{W("AoReceberErro(Numero=2, Descricao=\"Comando inválido: XXXX\")")}));
  cliente.PedirListaDeContatos();
  EXPECT_EQ(Enviado(), "[CRLC]\r\n");
  Servidor("hello\r\n");
  EXPECT_EQ(Eventos(),
            (Evs{W("AoReceberErro(Numero=1, Descricao=\"Mensagem não reconhecida: hello\")"),
                     W("AoReceberErro(Numero=2, Descricao=\"Comando inválido: \")"),
                     "AoReceberResposta(Comando=2, Sucesso=false, Resposta=\"\")"}));
  // What Enviar puts on the wire.
  cliente.Enviar("[CPNG]\r\n\r\n");
  cliente.Enviar("");
  EXPECT_EQ(Enviado(), "[CPNG]\r\n");
}

TEST_F(Conexao, MessagesCutAcrossReadsAreKeptUntilWhole) {
  Entrar();
  Servidor("[SEMS]" + S + "5" + S + "manu");
  EXPECT_TRUE(Eventos().empty());
  Servidor(std::string("ten\xE7\xE3o\r\n[SE"));
  Servidor("MS]" + S + "6" + S + "b\r\n");
  EXPECT_EQ(Eventos(), (Evs{W("AoMensagemDeSistema(Numero=5, Descricao=\"manutenção\")"),
                                "AoMensagemDeSistema(Numero=6, Descricao=\"b\")"}));
}

TEST_F(Conexao, ABadLineIsRejectedAloneAndTheRestOfTheReadIsHandled) {
  Entrar();
  Servidor("[SCEM]" + S + "abc\r\n[SCEM]" + S + "0042\r\n" + std::string("[SCEM]\0lixo\r\n", 13) +
           "[SCEM]" + S + "7\r\n");
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 4u);
  EXPECT_NE(e[0].find("AoReceberErro(Numero=3"), std::string::npos) << e[0];
  EXPECT_NE(e[0].find("[SCEM]"), std::string::npos) << e[0];
  EXPECT_EQ(e[1], "AoConfirmarEnvio(Comunicador=\"Tazu\", Identificador=\"42\")");
  EXPECT_NE(e[2].find("AoReceberErro(Numero=3"), std::string::npos) << e[2];  // cut at the NUL
  EXPECT_EQ(e[3], "AoConfirmarEnvio(Comunicador=\"Tazu\", Identificador=\"7\")");
}

TEST_F(Conexao, AnOverlongLineIsErrorOneAndTheConnectionGoesOn) {
  Entrar();
  Servidor("[SEMS]" + S + "1" + S + std::string(TClientePCTazu::kLimiteDeLinha, 'x'));
  Servidor("yyy\r\n[SEMS]" + S + "2" + S + "ok\r\n");
  EXPECT_EQ(Eventos(),
            (Evs{W("AoReceberErro(Numero=1, Descricao=\"Mensagem não reconhecida: linha maior "
                       "que 1 MiB.\")"),
                     "AoMensagemDeSistema(Numero=2, Descricao=\"ok\")"}));
  EXPECT_TRUE(cliente.Conectado);
}

TEST_F(Conexao, KeepAliveInVirtualTime) {
  Entrar();
  rt.Advance(59s);
  EXPECT_EQ(Enviado(), "");
  rt.Advance(1s);
  EXPECT_EQ(Enviado(), "[CPNG]\r\n");
  Servidor("[RPNG]\r\n");
  rt.Advance(30s);
  EXPECT_TRUE(Eventos().empty());
  rt.Advance(30s);  // next ping, never answered
  EXPECT_EQ(Enviado(), "[CPNG]\r\n");
  rt.Advance(20s);
  EXPECT_EQ(Eventos(),
            (Evs{W("AoReceberErro(Numero=1001, Descricao=\"A comunicação com o servidor \"Tazu "
                       "Messenger\" foi perdida.\")")}));
  EXPECT_EQ(Enviado(), "[CDSC]\r\n");
  EXPECT_EQ(cliente.ComandoPendente, TClientePCTazu::PendenteDesconexao);
  rt.Advance(20s);  // the time-out keeps reporting until an answer or the end
  EXPECT_EQ(Eventos().size(), 1u);
  Servidor("[SBFF]\r\n");
  EXPECT_EQ(Enviado(), "[CDSC]\r\n[CBFF]\r\n");
}

TEST_F(Conexao, SairAgainstASilentServerFinishesOnceAfter500ms) {
  Entrar();
  cliente.Sair();
  EXPECT_EQ(Enviado(), "[CDSC]\r\n");
  rt.Advance(499ms);
  EXPECT_TRUE(Eventos().empty());
  rt.Advance(1ms);
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarAplicativo()"}));
  rt.Advance(5s);
  Servidor("[SDSC]\r\n");  // too late: already finished
  EXPECT_EQ(Eventos(), (Evs{"AoReceberResposta(Comando=4, Sucesso=true, Resposta=\"\")"}));
}

TEST_F(Conexao, SairAnsweredBySdscFinishesOnceAtOnce) {
  Entrar();
  cliente.Sair();
  Servidor("[SDSC]\r\n");
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarAplicativo()",
                                "AoReceberResposta(Comando=4, Sucesso=true, Resposta=\"\")"}));
  rt.Advance(2s);
  EXPECT_TRUE(Eventos().empty());
}

TEST_F(Conexao, SdscByPendingRequest) {
  Conectar();
  cliente.Identificar(1);
  Eventos();
  Servidor("[SDSC]\r\n");  // during the login: the end of the program
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarAplicativo()",
                                "AoReceberResposta(Comando=1, Sucesso=true, Resposta=\"\")"}));
  Enviado();
  // Nothing pending: the client says goodbye too, and that request is settled
  // by the same line.
  Servidor("[SDSC]\r\n");
  EXPECT_EQ(Enviado(), "[CDSC]\r\n");
  EXPECT_EQ(Eventos(), (Evs{"AoReceberResposta(Comando=3, Sucesso=true, Resposta=\"\")"}));
  cliente.Desconectar();
  Servidor("[SDSC]\r\n");  // answering our own disconnection
  EXPECT_EQ(Eventos(), (Evs{"AoDesconectarServidor()",
                                "AoReceberResposta(Comando=3, Sucesso=true, Resposta=\"\")"}));
}

TEST_F(Conexao, DesconectarEFecharClosesByItself) {
  Entrar();
  cliente.DesconectarEFechar();
  EXPECT_EQ(Enviado(), "[CDSC]\r\n");
  rt.Advance(500ms);
  EXPECT_TRUE(peer->ClientClosed());
  EXPECT_EQ(Eventos(), (Evs{"AoDesconectarServidor()"}));
  EXPECT_FALSE(cliente.Conectado);
  EXPECT_EQ(cliente.ComandoPendente, 0);
}

TEST_F(Conexao, ConnectionFailures) {
  cliente.PortaServidor = 0;  // cannot even be tried
  cliente.Conectar();
  EXPECT_EQ(Eventos(),
            (Evs{W("AoReceberErro(Numero=1000, Descricao=\"Não foi possível estabelecer "
                       "conexão.\r\nCertifique-se de que o computador está conectado à "
                       "Internet.\")"),
                     "AoFinalizarAplicativo()"}));

  cliente.PortaServidor = 7498;
  rt.FailNextConnect(net::SocketError::ConnectionRefused);
  cliente.Conectar();
  rt.RunPending();
  EXPECT_EQ(Eventos(),
            (Evs{W("AoReceberErro(Numero=0, Descricao=\"Erro de comunicação com o servidor.\")"),
                     "AoDesconectarServidor()"}));
  EXPECT_FALSE(cliente.Conectando);
}

TEST_F(Conexao, AnErrorWhileConnectedCleansUpAndQuits) {
  Entrar();
  peer->Fail(net::SocketError::ConnectionReset);
  rt.RunPending();
  EXPECT_EQ(Eventos(), (Evs{"AoDesconectarServidor()"}));
  rt.Advance(500ms);
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarAplicativo()"}));
}

TEST_F(Conexao, SnmpClosesAndTellsWhereTheUserConnected) {
  Entrar();
  Servidor("[SACT]" + S + "20" + S + "Bia" + S + "A" + S + "1" + S + "TPC\r\n[SNMP]" + S +
           "SMS\r\n[SEMS]" + S + "1" + S + "never seen\r\n");
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].rfind("AoReceberContato(", 0), 0u);
  EXPECT_EQ(e[1].rfind("AoRemoverContato(", 0), 0u);
  EXPECT_EQ(e[2], "AoDesconectarServidor()");
  EXPECT_EQ(e[3], W("AoInformar(Numero=1, Descricao=\"Ana se conectou via celular (SMS) à "
                    "comunidade Tazu Messenger.\")"));
  EXPECT_TRUE(peer->ClientClosed());
  EXPECT_TRUE(cliente.Contatos.Vazia());
}

TEST_F(Conexao, CatalogueRepliesCarryTheirValues) {
  Entrar();
  Servidor("[SRBS]" + S + "12" + S + W("Zé") + S + W("João") + S + "jx" + S + "\r\n" +
           "[SCUA]" + S + "0300" + S + "Bem-vindo" + S + "!\r\n" + "[SECM]" + S + "1" + S +
           "123" + S + "p" + S + "0" + S + "" + S + "" + S + "1" + S + "yid" + S + "yp\r\n" +
           "[SRIG]" + S + "9" + S + "Bia" + S + "a" + S + "b\r\n" + "[SUNP]" + S + "9" + S +
           "Bia\r\n" + "[RCEA]" + S + "9" + S + "Bia\xC0\xD3\r\n" + "[SPAC]" + S + "9" + S +
           "Bia" + S + "t1" + S + "t#<RET>#2\r\n");
  EXPECT_EQ(
      Eventos(),
      (Evs{
          W("AoReceberBusca(Identificador=\"12\", Apelido=\"Zé\", Nome=\"João\", EMail=\"jx\", "
            "Autorizar=\"0\")"),
          "AoAceitarCadastro(NIU=300, BoasVindas=\"Bem-vindo" + S + "!\")",
          "AoReceberComunicadores(UsaICQ=true, UIN=\"123\", SenhaICQ=\"p\", UsaMSN=false, "
          "EMailMSN=\"\", SenhaMSN=\"\", UsaYahoo=true, NomeYahoo=\"yid\", SenhaYahoo=\"yp\")",
          "AoConfirmar()",
          "AoReceberInfoUsuario(Tipo=1, Comunicador=\"Tazu\", Identificador=\"9\", "
          "Apelido=\"Bia\", Evento=\"a" + S + "b\")",
          "AoReceberInfoUsuario(Tipo=0, Comunicador=\"Tazu\", Identificador=\"9\", "
          "Apelido=\"Bia\", Evento=\"\")",
          "AoConfirmar()",
          "AoExigirAutorizacao(Comunicador=\"Tazu\", Identificador=\"9\", Apelido=\"Bia\xC0\xD3\")",
          "AoConfirmar()",
          "AoReceberEventoUsuario(Tipo=2, Comunicador=\"Tazu\", Identificador=\"9\", "
          "Apelido=\"Bia\", Evento=\"t1" + S + "t\r\n2\")"}));
}

TEST_F(Conexao, ClientCommandsOnTheWire) {
  Entrar();
  cliente.EnviarMensagem(55, {"oi", "tudo bem"});
  cliente.EnviarMensagem(55, {});
  cliente.AdicionarContato("Tazu", "9");
  cliente.PedirAutorizacao("Tazu", "9", "me aceita'");
  cliente.PedirInformacoes("Tazu", "9");
  cliente.GravarInformacoes("Tazu", 2, "a" + S + "b");
  cliente.EncerrarBusca(2);
  cliente.GravarComunicadores(true, "123", "p", false, "", "", true, "y", "yp");
  cliente.Cadastrar({"Ana" + S + "'", "x"});
  cliente.IdentificarCadastro(1, "Ana'");
  EXPECT_EQ(Enviado(),
            "[CMSG]" + S + "55" + S + "oi#<RET>#tudo bem#<RET>#\r\n" +
            "[CACL]" + S + "9\r\n" +
            "[CPAC]" + S + "9" + S + "me aceita#<APS>#\r\n" +
            "[CRIU]" + S + "0" + S + "9\r\n" +
            "[CADC]" + S + "2" + S + "a" + S + "b\r\n" +
            "[CFNT]" + S + "2\r\n" +
            "[CSCM]" + S + "1" + S + "123" + S + "p" + S + "0" + S + S + S + "1" + S + "y" + S +
                "yp\r\n" +
            "[CCUS]" + S + "1.0 AA" + S + "Ana\xC0\xD1\xC0\xD3" + S + "x\r\n" +
            "[CVER]" + S + "127.0.0.1" + S + "5555" + S + "Ana\xC0\xD3" + S + "1.0 AA" + S + "P" +
                S + "Tazu Messenger" + S + "1\r\n");
}

}  // namespace
}  // namespace tazu::test
