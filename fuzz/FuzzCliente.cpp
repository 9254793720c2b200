// Whatever a server sends, the client neither crashes nor misbehaves: the
// input is played, in reads of fuzzer-chosen sizes, into a client logged in on
// the fake runtime (scrambled or not, by the first byte), with a fake adapter
// factory so adapter starts are exercised too.
#include <cstdint>
#include <string>

#include "net/testing/FakeRuntime.h"
#include "server/UClientePCTazu.h"

namespace {

class AdaptadorNulo : public tazu::TInterfaceComunicador {
 public:
  using TInterfaceComunicador::TInterfaceComunicador;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  using namespace tazu;
  net::FakeRuntime rt;
  TClientePCTazu cliente(rt);
  cliente.IPServidor = "127.0.0.1";
  cliente.PortaServidor = 7498;
  for (int tipo : {1, 3, 4})
    cliente.RegistrarFabrica(tipo, [tipo](net::Runtime& r, const TContaComunicador& conta) {
      auto a = std::make_unique<AdaptadorNulo>(r);
      a->NomeComunicador = tipo == 1 ? "ICQ" : tipo == 3 ? "Yahoo" : "MSN";
      a->Conta = conta.Identificador;
      return a;
    });
  cliente.Conectar();
  rt.RunPending();
  net::FakePeer& peer = rt.LastPeer();
  peer.Accept();
  rt.RunPending();
  cliente.Identificar(1);
  const std::string S = "\xA7";
  const uint8_t chave = data[0];
  peer.Write("[RVER]" + S + "1000" + S + "0" + S + std::to_string(chave) + "\r\n");
  rt.RunPending();
  // The rest comes in reads whose sizes the second byte seeds.
  const std::string fluxo(reinterpret_cast<const char*>(data + 2), size - 2);
  std::size_t passo = 1 + data[1] % 61, pos = 0;
  while (pos < fluxo.size() && peer.IsOpen()) {
    peer.Write(std::string_view(fluxo).substr(pos, passo));
    rt.RunPending();
    pos += passo;
    passo = 1 + (passo * 7 + 3) % 127;
  }
  rt.Advance(std::chrono::minutes(3));  // timers: keep-alive, quit
  cliente.Sair();
  rt.Advance(std::chrono::seconds(1));
  return 0;
}
