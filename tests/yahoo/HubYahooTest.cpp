// A Yahoo account handed over by the Tazu server (SACM) through the programs'
// glue (redes/): the adapter is released after it logs off, and a wrong
// password is reported; all on the fake runtime. Buddies joining the contact
// list and messages through the hub: the end-to-end test.
#include <gtest/gtest.h>

#include <cstdlib>

#include "redes/Redes.h"
#include "tests/support/RaizTemporaria.h"
#include "tests/support/TazuClientRig.h"
#include "tests/support/yahoo/YahooRig.h"
#include "yahoo/ComunicadorYahoo.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;
using Evs = std::vector<std::string>;

class HubYahoo : public ::testing::Test {
 protected:
  void SetUp() override {
    // The glue reads where the Yahoo server is from the variable.
    setenv("TAZU_SERVIDOR_YAHOO", "127.0.0.1:5050", 1);
    rede.Conta("ana:segredo:Amigos=bia,caio");
    rede.Conta("bia:b:Amigos=ana");
    rede.Conta("caio:c");
    RegistrarRedes(rig.cliente);
    std::string why;
    ASSERT_TRUE(rig.LogIn(0, &why)) << why;
  }
  void TearDown() override { unsetenv("TAZU_SERVIDOR_YAHOO"); }

  // Events of the hub holding every piece, in order.
  std::vector<std::string> Com(const std::vector<std::string>& pedacos) {
    std::vector<std::string> achados;
    for (const std::string& e : rig.events) {
      bool todos = true;
      for (const std::string& p : pedacos) todos = todos && e.find(p) != std::string::npos;
      if (todos) achados.push_back(e);
    }
    return achados;
  }
  TInterfaceComunicador* Yahoo() {
    return rig.cliente.Comunicadores.Localizar("Yahoo")
               ? rig.cliente.Comunicadores.ComunicadorAtual()
               : nullptr;
  }
  void EntrarNoYahoo() {
    rig.ServerSends("[SACM] 3 ana segredo");
    rede.Avancar(1s);
  }

  teste::TRaizTemporaria raiz_;
  TazuClientRig rig;
  RedeYahoo rede{rig.rt};
};

TEST_F(HubYahoo, StatusDesconectadoSaiDoYahooELiberaOAdaptador) {
  EntrarNoYahoo();
  ASSERT_NE(Yahoo(), nullptr);
  ASSERT_TRUE(rede.servidor.Online("ana"));
  rig.events.clear();
  rig.cliente.MudarStatusDaRede("Yahoo", 3);
  rede.Rodar();
  EXPECT_EQ(Yahoo(), nullptr);
  EXPECT_FALSE(rede.servidor.Online("ana"));
  EXPECT_EQ(Com({"AoDesconectarComunicador"}).size(), 1u);
  EXPECT_FALSE(rig.cliente.Contatos.Localizar("Yahoo", "bia"));
  EXPECT_EQ(Com({"AoRemoverContato", "Yahoo"}).size(), 2u);
  // Freed: its timers are gone and the Tazu connection's keep-alive is the
  // only one left.
  EXPECT_EQ(rig.rt.ActiveTimers(), 1u);
}

TEST_F(HubYahoo, OServidorFechandoDepoisDoLoginTambemLibera) {
  EntrarNoYahoo();
  ASSERT_NE(Yahoo(), nullptr);
  rede.LadoDoCliente(0).Close();
  rede.Rodar();
  EXPECT_EQ(Yahoo(), nullptr);
  EXPECT_EQ(Com({"AoDesconectarComunicador"}).size(), 1u);
  EXPECT_EQ(rig.rt.ActiveTimers(), 1u);
}

TEST_F(HubYahoo, SenhaErradaEErroDez) {
  rig.ServerSends("[SACM] 3 ana errada");
  rede.Avancar(1s);
  EXPECT_EQ(Com({"AoReceberErro", "Numero=10", "Yahoo! Messenger"}).size(), 1u);
  ASSERT_NE(Yahoo(), nullptr);
  EXPECT_FALSE(Yahoo()->Conectando);
  // A later status change tries again, with the remembered password.
  rig.cliente.MudarStatus(1);
  rede.Avancar(1s);
  EXPECT_EQ(Com({"AoReceberErro", "Numero=10"}).size(), 2u);
}

}  // namespace
}  // namespace tazu::test
