#include "redes/Redes.h"

#include "core/ServidoresExternos.h"

namespace tazu {

void RegistrarRedes([[maybe_unused]] TClientePCTazu& cliente) {
  [[maybe_unused]] const TServidoresExternos servidores = LerServidoresExternos();
  // ICQ (type 1)

  // Yahoo (type 3)

  // MSN (type 4)
}

}  // namespace tazu
