#include "redes/Redes.h"

#include "core/ServidoresExternos.h"
#ifdef TAZU_COM_ICQ
#include "icq/ComunicadorICQ.h"
#endif

namespace tazu {

void RegistrarRedes([[maybe_unused]] TClientePCTazu& cliente) {
  [[maybe_unused]] const TServidoresExternos servidores = LerServidoresExternos();
  // ICQ (type 1)
#ifdef TAZU_COM_ICQ
  cliente.RegistrarFabrica(1, [servidores](net::Runtime& rt, const TContaComunicador& conta) {
    return std::make_unique<icq::TComunicadorICQ>(rt, conta.Status, conta.NIU, conta.Senha,
                                                  conta.Identificador, servidores.icq,
                                                  servidores.proxyICQ);
  });
#endif

  // Yahoo (type 3)

  // MSN (type 4)
}

}  // namespace tazu
