// The events an adapter raises to the hub, one short line each with the
// texts in UTF-8, e.g. "Contato 1234/1234 Bia bia 1 C Yahoo" or
// "Msg bia Bia [oi]": what the ICQ and Yahoo adapter tests compare.
#pragma once

#include <string>
#include <vector>

#include "core/Comunicadores.h"

namespace tazu::test {

void GravarEventosComunicador(TInterfaceComunicador& c, std::vector<std::string>& e);

}  // namespace tazu::test
