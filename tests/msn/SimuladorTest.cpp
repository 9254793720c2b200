// The MSN client against the simulator on the fake runtime, in virtual time:
// signing out, list requests, echo bots, a wrong password; and the simulator
// facing input it cannot read. Conversations both ways and challenges over
// real reads: the end-to-end test.
#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "tests/support/msn/MsnClientRig.h"
#include "tests/support/msn/MsnSimRig.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;
using Evs = std::vector<std::string>;

std::string W(const char* utf8) {
  return cp1252::FromUtf8(utf8);
}

sim::msn::TConfigSimMSN Config() {
  sim::msn::TConfigSimMSN c;
  c.contas = {{"ana@tazu.test", "segredo", "Ana Lima"},
              {"bia@tazu.test", "b", "Bia Araújo"},
              {"carol@tazu.test", "c", "Carol"},
              {"eco@tazu.test", "x", "Eco"}};
  c.contatos = {{"ana@tazu.test", "bia@tazu.test"},
                {"bia@tazu.test", "ana@tazu.test"},
                {"ana@tazu.test", "eco@tazu.test"}};
  c.robos = {"eco@tazu.test"};
  return c;
}

class Simulador : public ::testing::Test {
 protected:
  struct Cliente {
    explicit Cliente(net::Runtime& rt) : c(rt) {}
    msn::TClienteMSN c;
    Evs eventos;
    Evs Tomar() { return std::exchange(eventos, {}); }
  };
  std::unique_ptr<Cliente> Entrar(const std::string& login, const std::string& senha,
                                  uint8_t status = 1) {
    auto x = std::make_unique<Cliente>(rig.rt);
    x->c.Identificador = login;
    x->c.Senha = senha;
    x->c.DefinirServidor("127.0.0.1", 1863);
    RecordMsnEvents(x->c, x->eventos);
    x->c.Conectar(status);
    rig.Advance(3s);
    return x;
  }

  MsnSimRig rig{Config()};
};

TEST_F(Simulador, ClienteDestruidoLogadoSaiComOut) {
  auto ana = Entrar("ana@tazu.test", "segredo");
  auto bia = Entrar("bia@tazu.test", "b");
  bia->Tomar();
  ana.reset();
  rig.Run();
  EXPECT_TRUE(rig.Logged("ana@tazu.test] OUT"));
  EXPECT_EQ(bia->Tomar(), Evs{"AoMudarStatusContato(ana@tazu.test, Ana Lima, 3)"});
}

TEST_F(Simulador, RoboDeEcoResponde) {
  auto ana = Entrar("ana@tazu.test", "segredo");
  ana->Tomar();
  ana->c.EnviarMensagem("eco@tazu.test", W("você aí?"));
  rig.Run();
  const Evs e = ana->Tomar();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].rfind("AoConfirmarEnvio(", 0), 0u);
  EXPECT_NE(e[1].find("eco@tazu.test, Eco, eco: você aí?)"), std::string::npos) << e[1];
}

TEST_F(Simulador, PedidosDeListaEErros) {
  auto ana = Entrar("ana@tazu.test", "segredo");
  ana->Tomar();
  ana->c.AdicionarContato("carol@tazu.test");
  ana->c.AdicionarContato("ninguem@tazu.test");
  ana->c.AdicionarContato("bia@tazu.test");
  ana->c.AdicionarContato("semarroba");
  rig.Run();
  EXPECT_EQ(
      ana->Tomar(),
      (Evs{"AoAdicionarComSucesso(carol@tazu.test)", "AoReceberContato(carol@tazu.test, Carol, 3)",
           "AoErroAdicionando(ninguem@tazu.test)", "AoErroAdicionando(bia@tazu.test)",
           "AoErroAdicionando(semarroba)"}));
  ana->c.RemoverContato("carol@tazu.test");
  rig.Run();
  EXPECT_FALSE(ana->c.Notificacao().ListaDireta().Contem("carol@tazu.test"));
  ana->c.RemoverContato("ninguem@tazu.test");
  rig.Run();
  EXPECT_TRUE(rig.Logged("REM 16 AL ninguem@tazu.test")) << "after 216 to REM 15 FL";
  EXPECT_TRUE(rig.Logged("REM 17 BL ninguem@tazu.test"));
}

TEST_F(Simulador, SenhaErradaFechaOLogin) {
  auto errada = Entrar("bia@tazu.test", "errada");
  EXPECT_EQ(errada->Tomar(), Evs{"AoFalharConexao(2, Falha ao tentar conectar-se ao servidor)"});
  EXPECT_TRUE(rig.Logged("closing: wrong password"));
}

TEST_F(Simulador, EntradaIlegivelFechaSoAquelaConexao) {
  struct Caso {
    const char* nome;
    int porta;  // 0 dispatch, 1 notification, 2 switchboard
    std::string bytes;
  };
  const std::vector<Caso> casos = {
      {"comando desconhecido", 0, "GARBAGE 1\r\n"},
      {"id que não lê", 1, "VER x MSNP7\r\n"},
      {"tamanho que não lê", 2, "MSG 1 A nove\r\n"},
      {"fora de ordem", 1, "USR 1 MD5 S abc\r\n"},
      {"linha longa", 1, std::string(20000, 'x')},
      {"payload grande", 2, "MSG 1 A 999999\r\n"},
      {"bytes binários", 0, std::string("\0\xff\x01 \r\n", 6)},
      {"chamada antes de entrar", 2, "CAL 1 bia@tazu.test\r\n"},
      {"linha vazia", 1, "\r\n"},
      {"desafio sem pedido", 1, "VER 1 MSNP7\r\nINF 2\r\nQRY 3 x 2\r\nab"},
  };
  const uint16_t portas[] = {rig.sim->PortaDespacho(), rig.sim->PortaNotificacao(),
                             rig.sim->PortaSwitchboard()};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    const std::size_t antes = rig.log.size();
    net::FakePeer& p = rig.rt.Dial(portas[c.porta]);
    rig.Run();
    p.Write(c.bytes);
    rig.Run();
    EXPECT_TRUE(p.ClientClosed()) << "the simulator closed the connection";
    bool registrou = false;
    for (std::size_t i = antes; i < rig.log.size(); ++i)
      registrou = registrou || rig.log[i].find("closing: ") != std::string::npos;
    EXPECT_TRUE(registrou);
  }
  auto ana = Entrar("ana@tazu.test", "segredo");
  EXPECT_TRUE(ana->c.LoggedIn()) << "and goes on serving";
}

}  // namespace
}  // namespace tazu::test
