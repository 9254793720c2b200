#include "redes/Redes.h"

#include "core/ServidoresExternos.h"
#ifdef TAZU_COM_ICQ
#include "icq/ComunicadorICQ.h"
#endif

#if TAZU_COM_YAHOO
#include "yahoo/ComunicadorYahoo.h"
#endif
#if TAZU_COM_MSN
#include "msn/ComunicadorMSN.h"
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
#if TAZU_COM_YAHOO
  cliente.RegistrarFabrica(3, [endereco = servidores.yahoo](net::Runtime& runtime,
                                                          const TContaComunicador& conta) {
    auto adaptador = std::make_unique<yahoo::TComunicadorYahoo>(
        runtime, conta.Status, std::string(), conta.NIU, conta.Senha, conta.Identificador);
    adaptador->DefinirServidor(endereco.host, endereco.porta);
    return std::unique_ptr<TInterfaceComunicador>(std::move(adaptador));
  });
#endif

  // MSN (type 4)
#if TAZU_COM_MSN
  cliente.RegistrarFabrica(
      msn::TComunicadorMSN::kTipo,
      [msn = servidores.msn](net::Runtime& runtime, const TContaComunicador& conta) {
        return std::make_unique<msn::TComunicadorMSN>(runtime, conta.Status, conta.Identificador,
                                                      conta.Senha, msn.host, msn.porta);
      });
#endif
}

}  // namespace tazu
