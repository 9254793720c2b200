// The outside networks a program offers: the programs (tazu-cli,
// tazu-messenger) register each network's adapter factory with the hub here,
// so the hub itself never depends on an adapter.
#pragma once

#include "server/UClientePCTazu.h"

namespace tazu {

// Registers the ICQ (1), Yahoo (3) and MSN (4) adapters built into this
// program; where their servers are comes from core/ServidoresExternos.
void RegistrarRedes(TClientePCTazu& cliente);

}  // namespace tazu
