// The connection of the Tazu client: login, framing, keep-alive, leaving,
// errors and the settling of pending requests, seen on the wire and in events.
#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "core/UCriptografia.h"
#include "tests/server/ClienteFixture.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;

std::string W(const char* utf8) { return cp1252::FromUtf8(utf8); }

class Conexao : public ClienteFixture {};

TEST_F(Conexao, LoginSemEmbaralharBytesExatosEEventosEmOrdem) {
  Connect();
  EXPECT_EQ(Eventos(), (Evs{"AoConectarServidor()"}));
  EXPECT_TRUE(cliente.Conectado);
  EXPECT_TRUE(cliente.AguardandoConexao);
  cliente.NIU = 1234;
  cliente.Identificar(5);
  EXPECT_EQ(Enviado(), W("[CVER]§127.0.0.1§5555§1234§1.0 AA§P§Tazu Messenger\r\n"));
  EXPECT_EQ(cliente.EnderecoLocal, W("§127.0.0.1§5555§"));
  Servidor("[RVER] 1234 x 0");
  EXPECT_EQ(Enviado(), W("[CCON]§segredo§5\r\n"));
  Servidor("[RCCA]\n[RUAC] 0 Ana\\xC0\\xD3s");
  EXPECT_EQ(Eventos(), (Evs{"AoConfirmar()", "AoConectarComunidade()",
                            "AoReceberResposta(Comando=1, Sucesso=true, Resposta=\"\")"}));
  EXPECT_EQ(cliente.Apelido, "Ana's");
  EXPECT_FALSE(cliente.AguardandoConexao);
  EXPECT_EQ(cliente.ComandoPendente, 0);
}

TEST_F(Conexao, LoginEmbaralhadoEmVariasChaves) {
  for (const int chave : {1, 77, 200, 255}) {
    SCOPED_TRACE(chave);
    Entrar(static_cast<uint8_t>(chave));  // RVER in clear, CCON on scrambled
    EXPECT_EQ(cliente.Criptografia.Chave, chave);
    TCriptografia c;
    c.Chave = static_cast<uint8_t>(chave);
    cliente.MudarStatus(6);
    EXPECT_EQ(Enviado(), c.Embaralhar(W("[CNMS]§6")) + "\r\n");
    peer->Close();
    rt.RunPending();
    EXPECT_EQ(cliente.Criptografia.Chave, 0);
    Eventos();
  }
}

TEST_F(Conexao, LoginRecusadoTrazOTextoDoServidorEFalhaOPedido) {
  Connect();
  cliente.Identificar(1);
  Servidor("[RVER] 1 0 0");
  Eventos();
  Servidor("[RERR] 7 falha\\xA7x");
  EXPECT_EQ(Eventos(), (Evs{W("AoReceberErro(Numero=7, Descricao=\"falha§x\")"),
                            "AoReceberResposta(Comando=1, Sucesso=false, Resposta=\"\")"}));
}

TEST_F(Conexao, Enquadramento) {
  Entrar();
  // Two messages in one read, an empty line between them.
  cliente.BuscarContato("Tazu", '2', "ana");
  Enviado();
  ServerSendsRaw("[RPNG]\r\n\r\n[SFBS]\r\n");
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarBusca()",
                            "AoReceberResposta(Comando=6, Sucesso=true, Resposta=\"\")"}));
  // An unknown code, then a line without brackets while a request is pending.
  Servidor("[XXXX] a");
  EXPECT_EQ(Eventos(), (Evs{W("AoReceberErro(Numero=2, Descricao=\"Comando inválido: XXXX\")")}));
  cliente.PedirListaDeContatos();
  EXPECT_EQ(Enviado(), "[CRLC]\r\n");
  Servidor("=hello");
  EXPECT_EQ(Eventos(),
            (Evs{W("AoReceberErro(Numero=1, Descricao=\"Mensagem não reconhecida: hello\")"),
                 W("AoReceberErro(Numero=2, Descricao=\"Comando inválido: \")"),
                 "AoReceberResposta(Comando=2, Sucesso=false, Resposta=\"\")"}));
  // What Enviar puts on the wire.
  cliente.Enviar("[CPNG]\r\n\r\n");
  cliente.Enviar("");
  EXPECT_EQ(Enviado(), "[CPNG]\r\n");
  // Cut across reads: kept until whole.
  ServerSendsRaw(W("[SEMS]§5§manu"));
  EXPECT_TRUE(Eventos().empty());
  ServerSendsRaw(W("tenção\r\n[SE"));
  ServerSendsRaw(W("MS]§6§b\r\n"));
  EXPECT_EQ(Eventos(), (Evs{W("AoMensagemDeSistema(Numero=5, Descricao=\"manutenção\")"),
                            "AoMensagemDeSistema(Numero=6, Descricao=\"b\")"}));
}

TEST_F(Conexao, UmaLinhaRuimERecusadaSozinhaEORestoDaLeituraSegue) {
  Entrar();
  ServerSendsRaw(W("[SCEM]§abc\r\n[SCEM]§0042\r\n") + std::string("[SCEM]\0lixo\r\n", 13) +
                 W("[SCEM]§7\r\n"));
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 4u);
  EXPECT_NE(e[0].find("AoReceberErro(Numero=3"), std::string::npos) << e[0];
  EXPECT_NE(e[0].find("[SCEM]"), std::string::npos) << e[0];
  EXPECT_EQ(e[1], "AoConfirmarEnvio(Comunicador=\"Tazu\", Identificador=\"42\")");
  EXPECT_NE(e[2].find("AoReceberErro(Numero=3"), std::string::npos) << e[2];  // cut at the NUL
  EXPECT_EQ(e[3], "AoConfirmarEnvio(Comunicador=\"Tazu\", Identificador=\"7\")");
}

TEST_F(Conexao, LinhaLongaDemaisEErroUmEAConexaoSegue) {
  Entrar();
  ServerSendsRaw(W("[SEMS]§1§") + std::string(TClientePCTazu::kLimiteDeLinha, 'x'));
  ServerSendsRaw(W("yyy\r\n[SEMS]§2§ok\r\n"));
  EXPECT_EQ(Eventos(), (Evs{W("AoReceberErro(Numero=1, Descricao=\"Mensagem não reconhecida: "
                              "linha maior que 1 MiB.\")"),
                            "AoMensagemDeSistema(Numero=2, Descricao=\"ok\")"}));
  EXPECT_TRUE(cliente.Conectado);
}

TEST_F(Conexao, KeepAliveEmTempoVirtual) {
  Entrar();
  rt.Advance(59s);
  EXPECT_EQ(Enviado(), "");
  rt.Advance(1s);
  EXPECT_EQ(Enviado(), "[CPNG]\r\n");
  Servidor("[RPNG]");
  rt.Advance(30s);
  EXPECT_TRUE(Eventos().empty());
  rt.Advance(30s);  // next ping, never answered
  EXPECT_EQ(Enviado(), "[CPNG]\r\n");
  rt.Advance(20s);
  EXPECT_EQ(Eventos(), (Evs{W("AoReceberErro(Numero=1001, Descricao=\"A comunicação com o "
                              "servidor \"Tazu Messenger\" foi perdida.\")")}));
  EXPECT_EQ(Enviado(), "[CDSC]\r\n");
  EXPECT_EQ(cliente.ComandoPendente, TClientePCTazu::PendenteDesconexao);
  rt.Advance(20s);  // the time-out keeps reporting until an answer or the end
  EXPECT_EQ(Eventos().size(), 1u);
  Servidor("[SBFF]");
  EXPECT_EQ(Enviado(), "[CDSC]\r\n[CBFF]\r\n");
}

TEST_F(Conexao, SairTerminaUmaVezPeloSdscOuMeioSegundoDepois) {
  Entrar();
  cliente.Sair();
  EXPECT_EQ(Enviado(), "[CDSC]\r\n");
  rt.Advance(499ms);
  EXPECT_TRUE(Eventos().empty());
  rt.Advance(1ms);
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarAplicativo()"}));
  rt.Advance(5s);
  Servidor("[SDSC]");  // too late: already finished
  EXPECT_EQ(Eventos(), (Evs{"AoReceberResposta(Comando=4, Sucesso=true, Resposta=\"\")"}));

  Entrar();
  cliente.Sair();
  Servidor("[SDSC]");
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarAplicativo()",
                            "AoReceberResposta(Comando=4, Sucesso=true, Resposta=\"\")"}));
  rt.Advance(2s);
  EXPECT_TRUE(Eventos().empty());
}

TEST_F(Conexao, SdscConformeOPedidoPendente) {
  Connect();
  cliente.Identificar(1);
  Eventos();
  Servidor("[SDSC]");  // during the login: the end of the program
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarAplicativo()",
                            "AoReceberResposta(Comando=1, Sucesso=true, Resposta=\"\")"}));
  Enviado();
  // Nothing pending: the client says goodbye too, and that request is settled
  // by the same line.
  Servidor("[SDSC]");
  EXPECT_EQ(Enviado(), "[CDSC]\r\n");
  EXPECT_EQ(Eventos(), (Evs{"AoReceberResposta(Comando=3, Sucesso=true, Resposta=\"\")"}));
  cliente.Desconectar();
  Servidor("[SDSC]");  // answering our own disconnection
  EXPECT_EQ(Eventos(), (Evs{"AoDesconectarServidor()",
                            "AoReceberResposta(Comando=3, Sucesso=true, Resposta=\"\")"}));
}

TEST_F(Conexao, DesconectarEFecharFechaSozinho) {
  Entrar();
  cliente.DesconectarEFechar();
  EXPECT_EQ(Enviado(), "[CDSC]\r\n");
  rt.Advance(500ms);
  EXPECT_TRUE(peer->ClientClosed());
  EXPECT_EQ(Eventos(), (Evs{"AoDesconectarServidor()"}));
  EXPECT_FALSE(cliente.Conectado);
  EXPECT_EQ(cliente.ComandoPendente, 0);
}

TEST_F(Conexao, FalhasDeConexao) {
  cliente.PortaServidor = 0;  // cannot even be tried
  cliente.Conectar();
  EXPECT_EQ(Eventos(), (Evs{W("AoReceberErro(Numero=1000, Descricao=\"Não foi possível "
                              "estabelecer conexão.\r\nCertifique-se de que o computador está "
                              "conectado à Internet.\")"),
                            "AoFinalizarAplicativo()"}));
  EXPECT_FALSE(cliente.Conectando);

  cliente.PortaServidor = 7498;
  rt.FailNextConnect(net::SocketError::ConnectionRefused);
  cliente.Conectar();
  rt.RunPending();
  const std::string erroZero =
      W("AoReceberErro(Numero=0, Descricao=\"Erro de comunicação com o servidor.\")");
  EXPECT_EQ(Eventos(), (Evs{erroZero, "AoDesconectarServidor()"}));
  EXPECT_FALSE(cliente.Conectando);

  // Reset or closed during the login: the login failed, as a refusal would.
  for (const bool reset : {true, false}) {
    Connect();
    cliente.Identificar(1);
    Servidor("[RVER] 1234 0 0");
    Eventos();
    if (reset) {
      peer->Fail(net::SocketError::ConnectionReset);
    } else {
      peer->Close();
    }
    rt.RunPending();
    EXPECT_EQ(Eventos(), (Evs{erroZero, "AoDesconectarServidor()"})) << reset;
    EXPECT_NE(cliente.ComandoPendente, TClientePCTazu::PendenteIdentificacao);
  }
}

TEST_F(Conexao, OEnderecoDoServidorNaoECortado) {
  // Any name the settings file holds (255 bytes), not the 25 of a nickname.
  const std::string longo = std::string(60, 'a') + ".servidores.tazu.example";
  cliente.IPServidor = longo;
  cliente.Conectar();
  rt.RunPending();
  EXPECT_EQ(rt.LastPeer().Host(), longo);
}

TEST_F(Conexao, ErroComAConexaoAbertaLimpaESai) {
  Entrar();
  peer->Fail(net::SocketError::ConnectionReset);
  rt.RunPending();
  EXPECT_EQ(Eventos(), (Evs{"AoDesconectarServidor()"}));
  rt.Advance(500ms);
  EXPECT_EQ(Eventos(), (Evs{"AoFinalizarAplicativo()"}));
}

// A handler that acts on the client from inside an event sees it settled:
// reconnecting from AoDesconectarServidor (and being refused) reports its
// error, and the client stays in the state the handler left it in.
TEST_F(Conexao, OEstadoEstaAcertadoQuandoOEventoChega) {
  Entrar();
  bool reconectou = false;
  cliente.AoDesconectarServidor = [&](TClientePCTazu& c) {
    EXPECT_FALSE(c.Conectado);
    EXPECT_FALSE(c.Conectando);
    EXPECT_FALSE(c.Desligando);
    EXPECT_EQ(c.Criptografia.Chave, 0);
    EXPECT_TRUE(c.Contatos.Vazia());
    if (std::exchange(reconectou, true)) return;
    rt.FailNextConnect(net::SocketError::ConnectionRefused);
    c.Conectar();
  };
  std::vector<int> erros;
  cliente.AoReceberErro = [&](TClientePCTazu& c, int n, const std::string&) {
    erros.push_back(n);
    EXPECT_FALSE(c.Conectando);
  };
  peer->Close();
  rt.RunPending();
  EXPECT_TRUE(reconectou);
  EXPECT_EQ(erros, std::vector<int>{0});
  EXPECT_FALSE(cliente.Conectando);
}

TEST_F(Conexao, SnmpFechaEDizOndeOUsuarioSeConectou) {
  Entrar();
  Servidor("[SACT] 20 Bia A 1 TPC\n[SNMP] SMS\n[SEMS] 1 \"never seen\"");
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

TEST_F(Conexao, RespostasDoCatalogoTrazemSeusValores) {
  Entrar();
  Servidor(R"(
    [SRBS] 12 Zé João jx ""
    [SCUA] 0300 Bem-vindo\xA7!
    [SECM] 1 123 p 0 "" "" 1 yid yp
    [SRIG] 9 Bia a\xA7b
    [SUNP] 9 Bia
    [RCEA] 9 Bia\xC0\xD3
    [SPAC] 9 Bia t1 t#<RET>#2
  )");
  EXPECT_EQ(Eventos(),
            (Evs{W("AoReceberBusca(Identificador=\"12\", Apelido=\"Zé\", Nome=\"João\", "
                   "EMail=\"jx\", Autorizar=\"0\")"),
                 W("AoAceitarCadastro(NIU=300, BoasVindas=\"Bem-vindo§!\")"),
                 "AoReceberComunicadores(UsaICQ=true, UIN=\"123\", SenhaICQ=\"p\", UsaMSN=false, "
                 "EMailMSN=\"\", SenhaMSN=\"\", UsaYahoo=true, NomeYahoo=\"yid\", "
                 "SenhaYahoo=\"yp\")",
                 "AoConfirmar()",
                 W("AoReceberInfoUsuario(Tipo=1, Comunicador=\"Tazu\", Identificador=\"9\", "
                   "Apelido=\"Bia\", Evento=\"a§b\")"),
                 "AoReceberInfoUsuario(Tipo=0, Comunicador=\"Tazu\", Identificador=\"9\", "
                 "Apelido=\"Bia\", Evento=\"\")",
                 "AoConfirmar()",
                 "AoExigirAutorizacao(Comunicador=\"Tazu\", Identificador=\"9\", "
                 "Apelido=\"Bia\xC0\xD3\")",
                 "AoConfirmar()",
                 W("AoReceberEventoUsuario(Tipo=2, Comunicador=\"Tazu\", Identificador=\"9\", "
                   "Apelido=\"Bia\", Evento=\"t1§t\r\n2\")")}));
}

TEST_F(Conexao, ComandosDoClienteNoFio) {
  Entrar();
  cliente.EnviarMensagem(55, {"oi", "tudo bem"});
  cliente.EnviarMensagem(55, {});
  cliente.AdicionarContato("Tazu", "9");
  cliente.PedirAutorizacao("Tazu", "9", "me aceita'");
  cliente.PedirInformacoes("Tazu", "9");
  cliente.GravarInformacoes("Tazu", 2, W("a§b"));
  cliente.EncerrarBusca(2);
  cliente.GravarComunicadores(true, "123", "p", false, "", "", true, "y", "yp");
  cliente.Cadastrar({W("Ana§'"), "x"});
  cliente.IdentificarCadastro(1, "Ana'");
  EXPECT_EQ(LinhasEnviadas(),
            (Linhas{W("[CMSG]§55§oi#<RET>#tudo bem#<RET>#"), W("[CACL]§9"),
                    W("[CPAC]§9§me aceita#<APS>#"), W("[CRIU]§0§9"), W("[CADC]§2§a§b"),
                    W("[CFNT]§2"), W("[CSCM]§1§123§p§0§§§1§y§yp"),
                    W("[CCUS]§1.0 AA§Ana") + "\xC0\xD1\xC0\xD3" + W("§x"),
                    W("[CVER]§127.0.0.1§5555§Ana") + "\xC0\xD3" +
                        W("§1.0 AA§P§Tazu Messenger§1")}));
}

// A lone CR or LF inside a field would end the line early on the server, and
// what follows would pass for a command of the user's own: in a message it is
// a line break, in any other field the command is refused.
TEST_F(Conexao, QuebraDeLinhaNumCampoNaoInjetaComandos) {
  Entrar();
  cliente.EnviarMensagem(1001, {"ola\r[CDSC]\rtchau", std::string("a\nb\0c", 5)});
  EXPECT_EQ(LinhasEnviadas(),
            Linhas{W("[CMSG]§1001§ola#<RET>#[CDSC]#<RET>#tchau#<RET>#a#<RET>#bc#<RET>#")});
  cliente.PedirAutorizacao("Tazu", "9", "oi\n[CDSC]");
  EXPECT_EQ(LinhasEnviadas(), Linhas{W("[CPAC]§9§oi#<RET>#[CDSC]")});
  Eventos();
  const std::string cr = "9\r[CDSC]";
  cliente.AdicionarContato("Tazu", cr);
  cliente.RemoverContato("Tazu", cr);  // not in the list: nothing at all
  cliente.PedirInformacoes("Tazu", "9\n[CDSC]");
  cliente.ResponderAutorizacao("Tazu", cr);
  cliente.RejeitarAutorizacao("Tazu", cr);
  cliente.GravarInformacoes("Tazu", 1, "a\n[CDSC]");
  cliente.BuscarContato("Tazu", '2', std::string("ana\0x", 5));
  cliente.GravarComunicadores(true, "1", "p\r\n[CDSC]", false, "", "", false, "", "");
  cliente.Cadastrar({"Ana", "x\ry"});
  cliente.IdentificarCadastro(1, "Ana\n");
  EXPECT_EQ(Enviado(), "");
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 9u);
  for (const std::string& evento : e)
    EXPECT_EQ(evento.rfind("AoReceberErro(Numero=4, Descricao=\"O comando [", 0), 0u) << evento;
  EXPECT_NE(e[0].find("[CACL]"), std::string::npos);
}

// A "§" inside a value would split it on the server and shift every field
// after it: the account settings would be stored with the wrong password and
// the next values moved along. Texts escape it; single values are refused.
TEST_F(Conexao, SeparadorNumValorNaoDeslocaOsCampos) {
  Entrar();
  Eventos();
  cliente.GravarComunicadores(true, "123456", W("se§nha"), false, "", "", false, "", "");
  cliente.AdicionarContato("Tazu", W("9§1"));
  cliente.PedirInformacoes("Tazu", W("9§1"));
  EXPECT_EQ(Enviado(), "");
  const Evs e = Eventos();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0], W("AoReceberErro(Numero=4, Descricao=\"O comando [CSCM] não foi enviado: um dos "
                    "seus campos contém o caractere §, que separa os campos.\")"));
  cliente.PedirAutorizacao("Tazu", "9", W("a§b"));
  EXPECT_EQ(LinhasEnviadas(), Linhas{W("[CPAC]§9§a#<QRB>#b")});
}

}  // namespace
}  // namespace tazu::test
