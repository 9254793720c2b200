// The ICQ adapter inside the Tazu client: an account handed over in SACM logs
// in to the simulator and its contacts and failures reach the client's events.
// Messages through the hub: the end-to-end test.
#include <gtest/gtest.h>

#include "tests/support/icq/ICQRig.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;

int Contar(const std::vector<std::string>& eventos, const std::string& trecho) {
  int n = 0;
  for (const std::string& e : eventos) n += e.find(trecho) != std::string::npos;
  return n;
}

TEST(HubICQ, ContaDoSacmEntraEContatosChegam) {
  ICQHubRig rig;
  rig.sim.AdicionarAoGrupo("111111", "222222", "Bia", "Tazu");
  rig.sim.AdicionarAoGrupo("111111", "333333", "Eco", "Tazu");
  ASSERT_TRUE(rig.ConectarICQ());
  const auto e = rig.tazu.TakeEvents();
  EXPECT_EQ(Contar(e, "AoConectarComunicador("), 1);
  // Listed (both offline), then the echo bot's presence.
  EXPECT_EQ(Contar(e, "AoReceberContato("), 3);
  EXPECT_EQ(
      Contar(e, "Status=1 Origem=\"ICQ\" Conectado=true Nativo=false Identificador=\"333333\""), 1);
  EXPECT_EQ(rig.tazu.cliente.Contatos.Quantidade(), 2u);

  // The Tazu connection is lost: the ICQ account logs off too.
  rig.tazu.peer->Close();
  rig.Girar();
  EXPECT_FALSE(rig.sim.Online("111111"));
  rig.ponte.Advance(9s);
}

TEST(HubICQ, LoginRecusadoLiberaOAdaptadorDepoisDe8s) {
  ICQHubRig rig;
  rig.sim.Conta("111111")->senha = "outra";
  ASSERT_TRUE(rig.tazu.LogIn());
  rig.tazu.TakeEvents();
  EXPECT_FALSE(rig.ConectarICQ());
  EXPECT_EQ(Contar(rig.tazu.TakeEvents(), "AoReceberErro(Numero=10"), 1);
  EXPECT_EQ(rig.tazu.cliente.MudarStatusDaRede("ICQ", 1), TClientePCTazu::TStatusDaRede::EmLogin);
  rig.ponte.Advance(8s);
  EXPECT_FALSE(rig.tazu.cliente.Comunicadores.Localizar("ICQ")) << "freed, out of the list";
  // So the user may try again.
  rig.sim.Conta("111111")->senha = "segredo";
  EXPECT_EQ(rig.tazu.cliente.MudarStatusDaRede("ICQ", 1), TClientePCTazu::TStatusDaRede::Aplicado);
  rig.Girar();
  EXPECT_TRUE(rig.sim.Online("111111"));
}

}  // namespace
}  // namespace tazu::test
