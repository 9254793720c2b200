#include "redes/Redes.h"

#include "core/ServidoresExternos.h"

#ifdef TAZU_COM_MSN
#include "msn/ComunicadorMSN.h"
#endif

namespace tazu {

void RegistrarRedes([[maybe_unused]] TClientePCTazu& cliente) {
  [[maybe_unused]] const TServidoresExternos servidores = LerServidoresExternos();
  // ICQ (type 1)

  // Yahoo (type 3)

  // MSN (type 4)
#ifdef TAZU_COM_MSN
  cliente.RegistrarFabrica(
      msn::TComunicadorMSN::kTipo,
      [msn = servidores.msn](net::Runtime& runtime, const TContaComunicador& conta) {
        return std::make_unique<msn::TComunicadorMSN>(runtime, conta.Status, conta.Identificador,
                                                      conta.Senha, msn.host, msn.porta);
      });
#endif
}

}  // namespace tazu
