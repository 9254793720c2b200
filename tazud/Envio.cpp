#include "tazud/Envio.h"

#include <cstring>

#include "core/ProtocoloTazu.h"
#include "core/UGlobal.h"

namespace tazu::tazud {

namespace {

// Not find_first_of: it calls memchr once per byte of the line.
bool TemQuebra(std::string_view linha) {
  return std::memchr(linha.data(), '\r', linha.size()) != nullptr ||
         std::memchr(linha.data(), '\n', linha.size()) != nullptr;
}

}  // namespace

void AnexarLinha(std::string& saida, std::string_view linha, const TCriptografia& cripto) {
  if (linha.empty()) return;
  if (TemQuebra(linha)) {
    // Not one line after all: the general form knows how to cut it.
    saida += PrepararEnvio(std::string(linha), cripto);
    return;
  }
  if (cripto.Chave == 0) {
    saida.append(linha);
  } else {
    saida += cripto.Embaralhar(std::string(Aparar(linha)));
  }
  saida += "\r\n";
}

}  // namespace tazu::tazud
