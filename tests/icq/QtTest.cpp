// Once over net/qt: the engine and the adapter on Qt's event loop, real
// sockets on 127.0.0.1, the simulator on the same loop.
#include <gtest/gtest.h>

#include "icq/ComunicadorICQ.h"
#include "net/qt/QtRuntime.h"
#include "sim/icq/SimuladorICQ.h"
#include "tests/support/LoopQt.h"
#include "tests/support/icq/ICQRig.h"

namespace tazu::test {
namespace {

TEST(ICQSobreQt, LoginListaMensagemEConfirmacao) {
  AplicacaoDeTeste app("icq_qt");
  net::QtRuntime rt;
  sim::icq::TSimuladorICQ sim(rt, {});
  sim.AdicionarConta("111111", "segredo", "Ana");
  sim.AdicionarConta("333333", {}, "Eco").eco = true;
  sim.AdicionarAoGrupo("111111", "333333", "Eco", "Tazu");
  ASSERT_TRUE(sim.Iniciar());

  icq::TComunicadorICQ a(rt, 1, "1234", "segredo", "111111",
                         TEnderecoServidor{"127.0.0.1", sim.PortaLogin()});
  std::vector<std::string> e;
  a.OnConectar = [&](TInterfaceComunicador&) { e.push_back("conectou"); };
  a.OnReceberContato = [&](const std::string&, const std::string&, const std::string& apelido,
                           const std::string& id, const std::string& status, char lista,
                           const std::string&) {
    e.push_back(apelido + " " + id + " " + status + " " + lista);
  };
  a.OnConfirmaEnvio = [&](TInterfaceComunicador&, const std::string& id, bool recebido, uint8_t,
                          const std::string&) {
    e.push_back("confirma " + id + (recebido ? " sim" : " nao"));
  };
  a.OnReceberMsg = [&](TInterfaceComunicador&, const std::string& id, const std::string&,
                       const std::string& msg, bool,
                       const std::string&) { e.push_back("msg " + id + " " + msg); };
  a.Conectar();
  ASSERT_TRUE(EsperarAte([&] { return e.size() >= 3; }));
  EXPECT_EQ(e, (std::vector<std::string>{"conectou", "Eco 333333 3 D", "Eco 333333 1 C"}));
  e.clear();
  a.EnviarMensagem("1234", "333333", "pelo Qt");
  ASSERT_TRUE(EsperarAte([&] { return e.size() >= 2; }));
  EXPECT_EQ(e, (std::vector<std::string>{"confirma 333333 sim", "msg 333333 pelo Qt"}));
}

}  // namespace
}  // namespace tazu::test
