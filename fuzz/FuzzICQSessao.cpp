// Whatever a logged-in engine receives, it neither crashes nor reads past a
// frame: the input becomes SNACs of the families and subtypes the engine
// handles (the first two bytes choose one), written as the server's, then
// raw bytes in reads of fuzzer-chosen sizes.
#include <cstdint>
#include <string>

#include "icq/CodecFlap.h"
#include "tests/support/icq/ICQRig.h"

namespace {

constexpr uint16_t kSnacs[][2] = {
    {0x0003, 0x000B}, {0x0003, 0x000C}, {0x0004, 0x0007}, {0x0004, 0x000B},
    {0x0013, 0x0006}, {0x0013, 0x000E}, {0x0013, 0x0019}, {0x0013, 0x001B},
    {0x0013, 0x001C}, {0x0015, 0x0003}, {0x0001, 0x0003}, {0x0009, 0x0003},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  using namespace tazu;
  test::ICQSessaoFalsa s(false);
  s.cliente.DisableDirectConnections = data[1] & 1;
  if (!s.Entrar()) __builtin_trap();
  const std::string resto(reinterpret_cast<const char*>(data + 2), size - 2);
  // The same bytes as the body of every SNAC kind the engine reads.
  for (std::size_t k = data[0] % 12, n = 0; n < 12 && s.servidor->IsOpen(); ++n, k = (k + 1) % 12) {
    const uint16_t flags = (data[1] & 2) ? 0x8000 : 0;
    s.ServidorBytes(icq::MontarSnac(kSnacs[k][0], kSnacs[k][1], flags, 0, resto));
  }
  // Then as raw bytes on the connection.
  std::size_t passo = 1 + data[1] % 31, pos = 0;
  while (pos < resto.size() && s.servidor->IsOpen()) {
    s.servidor->Write(resto.substr(pos, passo));
    s.rt.RunPending();
    pos += passo;
  }
  s.rt.Advance(std::chrono::seconds(30));
  return 0;
}
