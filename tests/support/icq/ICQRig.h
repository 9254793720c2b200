// Canned openers for the ICQ tests, benchmarks and fuzz targets: the OSCAR
// simulator and ICQ engines on the fake runtime, joined by a FakeBridge, with
// every engine event recorded in order as one readable line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "icq/ICQClient.h"
#include "net/testing/FakeRuntime.h"
#include "sim/icq/SimuladorICQ.h"
#include "tests/support/FakeBridge.h"
#include "tests/support/TazuClientRig.h"

namespace tazu::test {

// Assigns every event of the engine; each call appends one line, such as
// "OnMessageRecv(Msg=\"oi\", UIN=\"222222\")".
void GravarEventosICQ(icq::TICQClient& cliente, std::vector<std::string>& eventos);

// Accounts 111111 "segredo" "Ana", 222222 "senha2" "Bia" and the echo bot
// 333333 "Eco"; the simulator started (throws when it cannot listen).
void ContasPadrao(sim::icq::TSimuladorICQ& sim);
// An engine for `uin` logged in to the simulator at `porta`; its events go
// to `eventos` when given.
std::unique_ptr<icq::TICQClient> MotorLogado(FakeBridge& ponte, uint16_t porta, uint32_t uin,
                                             const std::string& senha,
                                             std::vector<std::string>* eventos = nullptr);

class ICQRig {
 public:
  // Accounts: 111111 "segredo" "Ana" (the engine's), 222222 "senha2" "Bia",
  // 333333 an echo bot "Eco". The engine's server is the simulator.
  explicit ICQRig(bool gravar = true);

  // Logs the engine in; false (with the events so far) when OnLogin did not
  // come.
  bool Entrar(uint32_t status = 0, std::string* porque = nullptr);
  // A second engine for another account, logged in; its events go to `eventos`.
  std::unique_ptr<icq::TICQClient> OutroUsuario(uint32_t uin, const std::string& senha,
                                                std::vector<std::string>* eventos = nullptr);
  void Girar() { ponte.Run(); }
  std::vector<std::string> Eventos() { return std::exchange(eventos, {}); }

  net::FakeRuntime rt;
  FakeBridge ponte{rt};
  std::vector<std::string> log;  // the simulator's lines
  sim::icq::TSimuladorICQ sim;
  icq::TICQClient cliente{rt};
  std::vector<std::string> eventos;
};

// An engine logged in over a fake connection whose server side the test
// writes: for the handlers of incoming SNACs (tests and fuzz targets).
class ICQSessaoFalsa {
 public:
  explicit ICQSessaoFalsa(bool gravar = true);
  // Logs in (authorisation and session set-up answered); false when OnLogin
  // did not come.
  bool Entrar();
  // One SNAC from the server, in the OSCAR dialect ("SNAC 0003/000B ...") or
  // as its bytes, in one read.
  void Servidor(std::string_view snac);
  void ServidorBytes(std::string_view snacBytes);
  std::vector<std::string> Eventos() { return std::exchange(eventos, {}); }

  net::FakeRuntime rt;
  icq::TICQClient cliente{rt};
  net::FakePeer* servidor = nullptr;
  std::vector<std::string> eventos;

 private:
  uint16_t sequencia_ = 0;
};

// The Tazu client logged in to its server (played by the test) with the real
// ICQ adapter registered for network type 1, its server the simulator: an
// ICQ account handed over in SACM logs in there. Account 111111 "segredo" is
// the user's; 222222 "Bia" and 333333 (echo) exist too.
class ICQHubRig {
 public:
  explicit ICQHubRig(bool gravar = true);
  // SACM for the ICQ account; the adapter logs in. False when it did not.
  bool ConectarICQ();
  void Girar() { ponte.Run(); }

  TazuClientRig tazu;
  net::FakeRuntime& rt;
  FakeBridge ponte;
  sim::icq::TSimuladorICQ sim;
};

}  // namespace tazu::test
