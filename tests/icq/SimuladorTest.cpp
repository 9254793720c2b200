// The simulator facing bad clients: a log line and a closed connection, and
// it goes on serving; one log line per SNAC it reads.
#include <gtest/gtest.h>

#include "icq/CodecCliente.h"
#include "icq/CodecFlap.h"
#include "sim/icq/Contas.h"
#include "tests/support/icq/ICQRig.h"

namespace tazu::test {
namespace {

bool Contem(const std::vector<std::string>& log, const std::string& trecho) {
  for (const std::string& l : log)
    if (l.find(trecho) != std::string::npos) return true;
  return false;
}

TEST(SimuladorICQ, EntradaRuimFechaAConexaoComUmaLinha) {
  struct Caso {
    int porta;  // 0 login, 1 session, 2 gateway
    std::string bytes;
    const char* linha;
  };
  const std::string snac = icq::MontarFlap(2, 0, icq::MontarSnac(1, 0x17, 0, 0, {}));
  const Caso casos[] = {
      {0, std::string("\x2B\x01\x00\x00\x00\x00", 6), "quadro sem 0x2A; conexão fechada"},
      {1, std::string("\x2A\x02\x00\x00\xFF\xFF", 6), "quadro longo demais; conexão fechada"},
      {0, icq::MontarFlap(1, 0, std::string("\0\0\0\2xx", 6)), "quadro de login malformado"},
      {1, snac, "SNAC fora de uma sessão"},
      {1, icq::MontarFlap(1, 0, icq::cliente::QuadroCookie("inventado")), "cookie desconhecido"},
      {2, "BREW /cafe HTCPCP/1.0\r\n\r\n", "gateway: pedido malformado"},
      {2, "GET /x HTTP/1.0\r\ncontent-length: 999999\r\n\r\n", "gateway: corpo longo demais"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.linha);
    ICQRig rig;
    const uint16_t portas[] = {rig.sim.PortaLogin(), rig.sim.PortaSessao(), rig.sim.PortaGateway()};
    net::FakePeer& p = rig.rt.Dial(portas[c.porta]);
    rig.rt.RunPending();
    p.Write(c.bytes);
    rig.rt.RunPending();
    EXPECT_TRUE(Contem(rig.log, c.linha));
    EXPECT_TRUE(p.ClientClosed());
    EXPECT_TRUE(rig.Entrar()) << "still serving";
  }
}

TEST(SimuladorICQ, UmaLinhaPorSnacLido) {
  ICQRig rig;
  int enviados = 0;
  rig.cliente.OnPktParse = [&](icq::TICQClient&, std::string_view b, bool entrada) {
    if (!entrada && b.size() > 1 && b[1] == 2) ++enviados;
  };
  ASSERT_TRUE(rig.Entrar());
  rig.cliente.SendPlainMessage(222222, "x");
  rig.Girar();
  int lidos = 0;
  for (const std::string& l : rig.log) lidos += l.find(": <- ") != std::string::npos;
  EXPECT_EQ(lidos, enviados);
  EXPECT_GT(lidos, 15);
}

TEST(SimuladorICQ, ContasEmTexto) {
  net::FakeRuntime rt;
  sim::icq::TSimuladorICQ sim(rt, {});
  std::string erro;
  ASSERT_TRUE(sim::icq::AplicarContas(
      sim,
      "# demo\nconta 111111 segredo \"Ana Lima\"\nconta 222222 s Bia autorizacao\n"
      "eco 333333 Robô\nlista 111111 222222 Bia\nlista 111111 333333 Eco Tazu\n"
      "info 222222 cidade Recife\n",
      &erro))
      << erro;
  EXPECT_EQ(sim.Conta("111111")->geral.apelido, "Ana Lima");
  EXPECT_TRUE(sim.Conta("222222")->exigeAutorizacao);
  EXPECT_TRUE(sim.Conta("333333")->eco);
  EXPECT_EQ(sim.Conta("333333")->geral.apelido, "Rob\xF4");
  EXPECT_EQ(sim.Conta("111111")->lista.size(), 4u);  // two groups, two contacts
  EXPECT_EQ(sim.Conta("222222")->geral.cidade, "Recife");
  EXPECT_FALSE(sim::icq::AplicarContas(sim, "conta 1 x\n", &erro));
  EXPECT_EQ(erro, "1: linha não reconhecida: conta 1 x");
  EXPECT_FALSE(sim::icq::AplicarContas(sim, "\nlista 9 1 x\n", &erro));
  EXPECT_EQ(erro, "2: conta desconhecida: 9");
}

}  // namespace
}  // namespace tazu::test
