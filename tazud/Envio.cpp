#include "tazud/Envio.h"

#include <cstring>

#include "core/UGlobal.h"

namespace tazu::tazud {

namespace {

// Not find_first_of: it calls memchr once per byte of the line.
bool TemQuebraOuNulo(std::string_view linha) {
  return std::memchr(linha.data(), '\r', linha.size()) != nullptr ||
         std::memchr(linha.data(), '\n', linha.size()) != nullptr ||
         std::memchr(linha.data(), '\0', linha.size()) != nullptr;
}

void Anexar(std::string& saida, std::string_view linha, const TCriptografia& cripto) {
  if (linha.empty()) return;
  if (cripto.Chave == 0) {
    saida.append(linha);
  } else {
    saida += cripto.Embaralhar(std::string(Aparar(linha)));
  }
  saida += "\r\n";
}

}  // namespace

bool AnexarLinha(std::string& saida, std::string_view linha, const TCriptografia& cripto) {
  if (!TemQuebraOuNulo(linha)) {
    Anexar(saida, linha, cripto);
    return true;
  }
  std::string consertada(linha);
  for (char& c : consertada) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  Anexar(saida, consertada, cripto);
  return false;
}

}  // namespace tazu::tazud
