// Reading the fields of a received line.
#pragma once

#include <string>
#include <vector>

#include "core/UGlobal.h"

namespace tazu::tazud {

// Every "§"-separated field of the rest of a line; an empty rest has none.
inline std::vector<std::string> Dividir(std::string resto) {
  std::vector<std::string> campos;
  if (resto.empty()) return campos;
  for (;;) {
    const bool ultimo = resto.find(kSeparador) == std::string::npos;
    campos.push_back(ProximoCampo(resto, Separador));
    if (ultimo) return campos;
  }
}

// Cuts a stored text to the length the client's fields hold.
inline std::string Cortar(std::string texto, std::size_t maximo) {
  if (texto.size() > maximo) texto.resize(maximo);
  return texto;
}

}  // namespace tazu::tazud
