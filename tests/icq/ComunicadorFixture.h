// The ICQ adapter for account 111111 on the simulator in virtual time, with
// every event it raises recorded as one line.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "icq/CodecLista.h"
#include "icq/ComunicadorICQ.h"
#include "tests/support/ComunicadorEventos.h"
#include "tests/support/icq/ICQRig.h"

namespace tazu::test {

using Evs = std::vector<std::string>;

class Comunicador : public ::testing::Test {
 protected:
  Comunicador() {
    ContasPadrao(sim);
    sim.AdicionarConta("444444", "senha4", "Caio").exigeAutorizacao = true;
  }
  // The adapter for 111111 at the given status, every event recorded.
  icq::TComunicadorICQ& Criar(uint8_t status = 1) {
    a = std::make_unique<icq::TComunicadorICQ>(rt, status, "1234", "segredo", "111111",
                                               TEnderecoServidor{"127.0.0.1", sim.PortaLogin()});
    Gravar(*a);
    return *a;
  }
  icq::TComunicadorICQ& Entrar(uint8_t status = 1) {
    Criar(status).Conectar();
    ponte.Run();
    EXPECT_TRUE(a->Logado());
    return *a;
  }
  void Gravar(icq::TComunicadorICQ& c) { GravarEventosComunicador(c, e); }
  Evs Eventos() { return std::exchange(e, {}); }
  // Bia's own engine, logged in.
  icq::TICQClient& Bia() {
    if (!bia) bia = MotorLogado(ponte, sim.PortaLogin(), 222222, "senha2", &deBia);
    return *bia;
  }
  const icq::TItemLista* ItemDoServidor(const std::string& nome, uint16_t tipo = 0) {
    for (const icq::TItemLista& i : sim.Conta("111111")->lista)
      if (i.nome == nome && i.tipo == tipo) return &i;
    return nullptr;
  }

  net::FakeRuntime rt;
  FakeBridge ponte{rt};
  sim::icq::TSimuladorICQ sim{rt, {}};
  std::unique_ptr<icq::TComunicadorICQ> a;
  std::unique_ptr<icq::TICQClient> bia;
  Evs e, deBia;
};

}  // namespace tazu::test
