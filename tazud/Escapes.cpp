#include "tazud/Escapes.h"

#include "core/UGlobal.h"

namespace tazu::tazud {

std::string LerApelido(std::string_view campo) {
  std::string t = SubstituirTodos(campo, "\xC0\xD1", Separador);
  t = SubstituirTodos(t, "\xC0\xD3", "'");
  return SubstituirTodos(t, "\xC0\xD2", "\r\n");
}

std::string EscreverApelido(std::string_view apelido) {
  // Most nicknames need none of it, and one goes with every message.
  bool simples = true;
  for (const char c : apelido) simples = simples && c != kSeparador && c != '\'' && c != '\r';
  if (simples) return std::string(apelido);
  std::string t = SubstituirTodos(apelido, Separador, "\xC0\xD0");
  t = SubstituirTodos(t, "'", "\xC0\xD3");
  return SubstituirTodos(t, "\r\n", "\xC0\xD1");
}

std::string ProtegerTexto(std::string_view texto) {
  return SubstituirTodos(texto, Separador, "#<QRB>#");
}

std::string SemSeparador(std::string_view texto) {
  std::string t(texto);
  for (char& c : t) {
    if (c == kSeparador || c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return t;
}

}  // namespace tazu::tazud
