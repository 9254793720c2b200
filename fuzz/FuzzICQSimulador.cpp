// Whatever a client sends, the simulator neither crashes nor stops serving:
// the input goes raw to the authorisation, session and gateway ports, then as
// the body of every kind of SNAC from a client that logged in properly; a
// well-behaved engine still logs in afterwards.
#include <cstdint>
#include <string>

#include "icq/CodecCliente.h"
#include "icq/CodecFlap.h"
#include "tests/support/icq/ICQRig.h"

namespace {

// A session opened by hand on the simulator's ports; the far end of the
// connection is the test's.
tazu::net::FakePeer* Sessao(tazu::test::ICQRig& rig) {
  using namespace tazu;
  net::FakePeer& a = rig.rt.Dial(rig.sim.PortaLogin());
  rig.rt.RunPending();
  a.Write(icq::MontarFlap(1, 0, icq::cliente::QuadroLogin(111111, "segredo")));
  rig.rt.RunPending();
  const std::string resposta = a.Take();
  if (resposta.size() < 16) return nullptr;
  const auto r = icq::cliente::LerRespostaLogin(std::string_view(resposta).substr(16));
  if (r.tipo != icq::TRespostaLogin::Tipo::Aceita) return nullptr;
  net::FakePeer& s = rig.rt.Dial(rig.sim.PortaSessao());
  rig.rt.RunPending();
  s.Write(icq::MontarFlap(1, 1, icq::cliente::QuadroCookie(r.cookie)));
  rig.rt.RunPending();
  return &s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  using namespace tazu;
  test::ICQRig rig(false);
  const std::string b(reinterpret_cast<const char*>(data + 2), size - 2);
  for (uint16_t porta : {rig.sim.PortaLogin(), rig.sim.PortaSessao(), rig.sim.PortaGateway()}) {
    net::FakePeer& p = rig.rt.Dial(porta);
    rig.rt.RunPending();
    p.Write(b);
    rig.rt.RunPending();
    p.Close();
    rig.rt.RunPending();
  }
  net::FakePeer* s = Sessao(rig);
  if (!s) __builtin_trap();
  uint16_t seq = 2;
  for (uint16_t familia : {0x0001, 0x0003, 0x0004, 0x0009, 0x0013, 0x0015}) {
    for (uint16_t sub = 0; sub < 0x20 && s->IsOpen(); sub += 1 + data[0] % 3) {
      s->Write(icq::MontarFlap(2, seq++, icq::MontarSnac(familia, sub, data[1], 0, b)));
      rig.rt.RunPending();
    }
  }
  rig.rt.Advance(std::chrono::seconds(20));
  if (!rig.Entrar()) __builtin_trap();
  return 0;
}
