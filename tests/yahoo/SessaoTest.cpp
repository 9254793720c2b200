// The Yahoo session against a server played by the test: login and its
// failures, keep-alive, framing, and the debug lines, on the wire and in
// events.
#include <gtest/gtest.h>

#include <optional>

#include "base/Cp1252.h"
#include "tests/support/Expect.h"
#include "tests/support/yahoo/YahooRig.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;
using Evs = std::vector<std::string>;

std::string W(const char* utf8) {
  return cp1252::FromUtf8(utf8);
}

class Sessao : public ::testing::Test, public ClienteYahooRig {};

TEST_F(Sessao, LoginComDesafioBytesExatosEEventosEmOrdem) {
  bool tentando = false;
  cliente.TentandoExterno = &tentando;
  cliente.Status = 12;  // the login answer carries the chosen status
  Connect();
  EXPECT_TRUE(tentando);
  EXPECT_TRUE(SameBytes(YmsgBytes("AUTH 0 @0 1=ana"), peer->Take()));
  ServerSends(std::string("AUTH 0 1=ana 94=") + kSemente);
  // The answers of the fixed vectors (DesafioTest) for this seed.
  EXPECT_TRUE(SameBytes(YmsgBytes("AUTHRESP 12 @0 0=ana 6=ojqrbPw6KKMq4QTaNvZogw-- "
                                  "96=rPvsrW_6j7qmt6GMhBB2uQ-- 1=ana"),
                        peer->Take()));
  EXPECT_EQ(cliente.SessionID, kSessao);
  ServerSends(
      "LIST 0 87=\"Amigos:bia,caio\\nTrabalho:davi,\\nSolto\\n\"\n"
      "LOGON 0 0=ana 1=ana 8=1 7=bia 10=0 13=1");
  EXPECT_EQ(TakeEvents(),
            (Evs{"AoReceberContato(Group=\"Amigos\", UserID=\"bia\", YahooStatus=1515563606, "
                 "Away=true, Msg=\"\")",
                 "AoReceberContato(Group=\"Amigos\", UserID=\"caio\", YahooStatus=1515563606, "
                 "Away=true, Msg=\"\")",
                 "AoReceberContato(Group=\"Trabalho\", UserID=\"davi\", YahooStatus=1515563606, "
                 "Away=true, Msg=\"\")",
                 "AoConectar()",
                 "AoMudarStatusContato(UserID=\"bia\", Status=0, Away=false, Msg=\"\")"}));
  EXPECT_TRUE(cliente.LoggedIn);
  EXPECT_FALSE(tentando);
  EXPECT_EQ(cliente.Contatos.size(), 3u);
}

TEST_F(Sessao, NadaAconteceComStatusDesconectadoESemSenhaFalhaSemAbrir) {
  cliente.Conectar(3);
  rt.Advance(1s);
  EXPECT_EQ(rt.PeerCount(), 0u);
  EXPECT_TRUE(TakeEvents().empty());
  bool tentando = true;
  cliente.TentandoExterno = &tentando;
  cliente.Senha = "";
  cliente.Conectar(1);
  rt.Advance(1s);
  EXPECT_EQ(rt.PeerCount(), 0u);
  EXPECT_EQ(TakeEvents(), (Evs{W("AoFalharConexao(LoginStatus=1, URL=\"Usuário e/ou Senha "
                                 "inválidos\")")}));
  EXPECT_FALSE(tentando) << "a login that never starts leaves no attempt behind";
}

TEST_F(Sessao, CadaFalhaDeConexaoComSeuCodigo) {
  using Servidor = std::function<void(ClienteYahooRig&)>;
  const auto socket = [](std::optional<net::SocketError> erro) -> Servidor {
    return [erro](ClienteYahooRig& r) {
      erro ? r.rt.FailNextConnect(*erro) : r.rt.RejectNextConnect();
      r.rt.Advance(200ms);
    };
  };
  // Accepted, the challenge request taken, then `depois`.
  const auto aceita = [](Servidor depois) -> Servidor {
    return [depois](ClienteYahooRig& r) {
      r.rt.Advance(200ms);
      r.peer = &r.rt.LastPeer();
      r.peer->Accept();
      r.rt.RunPending();
      r.peer->Take();
      depois(r);
    };
  };
  const auto envia = [&](std::string pacotes) {
    return aceita([pacotes](ClienteYahooRig& r) { r.ServerSends(pacotes); });
  };
  const auto fim = [&](std::optional<net::SocketError> erro) {
    return aceita([erro](ClienteYahooRig& r) {
      erro ? r.peer->Fail(*erro) : r.peer->Close();
      r.rt.RunPending();
    });
  };
  const std::string semFalha = W(", URL=\"Falha ao tentar conectar-se ao servidor\")");
  const std::string falha100 = "AoFalharConexao(LoginStatus=100, URL=\"\")";
  struct Caso {
    const char* nome;
    Servidor servidor;
    Evs eventos;
    bool fechadaPeloCliente;
  };
  const std::vector<Caso> casos = {
      {"refused",
       socket(net::SocketError::ConnectionRefused),
       {"AoFalharConexao(LoginStatus=10061" + semFalha},
       false},
      {"no such host",
       socket(net::SocketError::HostNotFound),
       {"AoFalharConexao(LoginStatus=11001" + semFalha},
       false},
      {"cannot even start",
       socket(std::nullopt),
       {"AoFalharConexao(LoginStatus=11001" + semFalha},
       false},
      {"refused by the server",
       envia("AUTH 0 1=ana 94=ABCDEFGHIJKLMNOPQRSTUVWX\nAUTHRESP 0 66=13 20=\"http://x/\""),
       {"AoFalharConexao(LoginStatus=13, URL=\"http://x/\")"},
       true},
      {"status before login",
       envia("BACK 0 7=bia 10=0 13=1"),
       {"AoMudarStatusContato(UserID=\"bia\", Status=0, Away=false, Msg=\"\")",
        "AoFalharConexao(LoginStatus=99, URL=\"\")"},
       false},
      {"closed while logging in", fim(std::nullopt), {falha100}, false},
      {"reset while logging in", fim(net::SocketError::ConnectionReset), {falha100}, false},
      {"not YMSG",
       aceita([](ClienteYahooRig& r) { r.ServerSendsRaw("HTTP/1.1 400 Bad Request\r\n\r\n"); }),
       {falha100},
       true},
      {"seed too short", envia("AUTH 0 1=ana 94=curta"), {falha100}, true},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    ClienteYahooRig r;
    r.cliente.Conectar(1);
    c.servidor(r);
    EXPECT_EQ(r.TakeEvents(), c.eventos);
    EXPECT_FALSE(r.cliente.Tentando);
    EXPECT_FALSE(r.cliente.LoggedIn);
    if (c.fechadaPeloCliente) {
      EXPECT_TRUE(r.peer->ClientClosed());
    }
    if (r.peer) r.peer->Take();
    r.rt.Advance(5min);  // nothing is retried, nothing kept alive
    EXPECT_TRUE(r.TakeEvents().empty());
    if (r.peer) {
      EXPECT_EQ(r.peer->Read(), "");
    }
  }
}

TEST_F(Sessao, KeepAliveSoDepoisDoLoginEParaAoFechar) {
  Connect();
  peer->Take();
  rt.Advance(3min);  // waiting for the challenge: no keep-alive yet
  EXPECT_EQ(peer->Read(), "");
  peer->Close();
  rt.RunPending();
  ASSERT_TRUE(LogIn());
  rt.Advance(59s);
  EXPECT_EQ(TakeSent(), "");
  rt.Advance(1s);
  EXPECT_EQ(TakeSent(), "PING 0 @4660\n");
  rt.Advance(60s);
  EXPECT_EQ(TakeSent(), "PING 0 @4660\n");
  peer->Close();
  rt.RunPending();
  EXPECT_EQ(TakeEvents(), (Evs{"AoDesconectar()"}));
  rt.Advance(5min);
  EXPECT_EQ(rt.ActiveTimers(), 0u);
}

TEST_F(Sessao, PacotesCortadosEJuntadosEmLeiturasQuaisquer) {
  ASSERT_TRUE(LogIn());
  const std::string dois = YmsgBytes("MESSAGE 1 4=bia 14=um\nMESSAGE 1 4=bia 14=dois", kSessao);
  ServerSendsRaw(dois.substr(0, 7));
  ServerSendsRaw(dois.substr(7, 20));  // 27 of the first packet's 36 bytes
  EXPECT_TRUE(TakeEvents().empty());
  ServerSendsRaw(dois.substr(27) + YmsgBytes("MESSAGE 1 4=caio 14=tres", kSessao));
  EXPECT_EQ(TakeEvents(),
            (Evs{"OnUserMessage(UserID=\"bia\", Msg=\"um\", TimeStamp=0, UTF8=false)",
                 "OnUserMessage(UserID=\"bia\", Msg=\"dois\", TimeStamp=0, UTF8=false)",
                 "OnUserMessage(UserID=\"caio\", Msg=\"tres\", TimeStamp=0, UTF8=false)"}));
}

TEST_F(Sessao, UmCabecalhoQueNaoEYmsgEncerraAConexaoLogada) {
  std::vector<std::string> log;
  cliente.AoLogRecebidas = [&](yahoo::TClienteYahoo&, const std::string& l) { log.push_back(l); };
  ASSERT_TRUE(LogIn());
  log.clear();
  ServerSendsRaw(YmsgBytes("MESSAGE 1 4=bia 14=antes", kSessao) + "XMSG" + std::string(16, '\0'));
  EXPECT_EQ(TakeEvents(),
            (Evs{"OnUserMessage(UserID=\"bia\", Msg=\"antes\", TimeStamp=0, UTF8=false)",
                 "AoDesconectar()"}));
  EXPECT_TRUE(peer->ClientClosed());
  EXPECT_EQ(log.back(), W("\r\nErro: \r\nCabeçalho de pacote inválido; a conexão foi encerrada."));
}

TEST_F(Sessao, LinhasDeDepuracao) {
  std::vector<std::string> log;
  cliente.AoLogRecebidas = [&](yahoo::TClienteYahoo&, const std::string& l) { log.push_back(l); };
  ASSERT_TRUE(LogIn());
  log.clear();
  ServerSends("MESSAGE 0xFFFFFFFF 4=bia 14=\"x y\"\n0x4B 0\n0x05 0\nPING 0");
  ServerSendsRaw(
      YmsgBytes("=YMSG\\x09\\x00\\x00\\x00\\x00\\x0A\\x00\\x06\\x00\\x00\\x00\\x01"
                "\\x00\\x00\\x12\\x34k\\xC0\\x80v\\xC0\\x8014\\xC0\\x80"));
  rt.Advance(60s);  // the keep-alive sent is not logged
  cliente.MudarStatus(2, true, "");
  const Evs esperado = {
      W("\r\nRecebido: \r\nServiço = $0006; Packet Status = $FFFFFFFF"),
      "[0] Key = 4; Value = \"bia\".",
      "[1] Key = 14; Value = \"x y\".",
      W("\r\nRecebido: \r\nServiço = $004B; Packet Status = $00000000"),
      W("Serviço desconhecido recebido: 00 4B "),
      W("\r\nRecebido: \r\nServiço = $0005; Packet Status = $00000000"),
      W("Serviço não manipulado recebido: 00 05 "),
      W("\r\nRecebido: \r\nServiço = $0012; Packet Status = $00000000"),
      W("Serviço não manipulado recebido: 00 12 "),
      W("\r\nErro ao gerar item de pacote (próximo pacote): Key = \"k\"; Value = \"v\"."),
      W("\r\nRecebido: \r\nServiço = $0006; Packet Status = $00000001"),
      "[0] Key = 14; Value = \"\".",
      W("\r\nEnviando: \r\nServiço = $0003; Packet Status = $00000002"),
      "[0] Key = 10; Value = \"2\".",
  };
  EXPECT_EQ(log, esperado);
  EXPECT_EQ(TakeEvents(), (Evs{"OnYahooError(Number=0, Error=\"x y\")"}));
}

}  // namespace
}  // namespace tazu::test
