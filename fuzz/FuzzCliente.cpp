// Whatever a server sends, the client neither crashes nor misbehaves: the
// input is played, in reads of fuzzer-chosen sizes, into a client logged in on
// the fake runtime (at the key the first byte names), with adapter factories
// so adapter starts are exercised too.
#include <cstdint>
#include <string>

#include "tests/support/TazuClientRig.h"

namespace {

class AdaptadorNulo : public tazu::TInterfaceComunicador {
 public:
  using TInterfaceComunicador::TInterfaceComunicador;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  using namespace tazu;
  test::TazuClientRig rig(false);
  for (int tipo : {1, 3, 4})
    rig.cliente.RegistrarFabrica(tipo, [tipo](net::Runtime& r, const TContaComunicador& conta) {
      auto a = std::make_unique<AdaptadorNulo>(r);
      a->NomeComunicador = tipo == 1 ? "ICQ" : tipo == 3 ? "Yahoo" : "MSN";
      a->Conta = conta.Identificador;
      return a;
    });
  if (!rig.LogIn(data[0])) __builtin_trap();
  // The rest comes in reads whose sizes the second byte seeds.
  const std::string fluxo(reinterpret_cast<const char*>(data + 2), size - 2);
  std::size_t passo = 1 + data[1] % 61, pos = 0;
  while (pos < fluxo.size() && rig.peer->IsOpen()) {
    rig.ServerSendsRaw(std::string_view(fluxo).substr(pos, passo));
    pos += passo;
    passo = 1 + (passo * 7 + 3) % 127;
  }
  rig.rt.Advance(std::chrono::minutes(3));  // timers: keep-alive, quit
  rig.cliente.Sair();
  rig.rt.Advance(std::chrono::seconds(1));
  return 0;
}
