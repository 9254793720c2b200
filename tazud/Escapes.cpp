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

bool TemQuebraOuNulo(std::string_view campo) {
  for (const char c : campo) {
    if (c == '\r' || c == '\n' || c == '\0') return true;
  }
  return false;
}

std::string TextoLivre(std::string_view texto) {
  std::string t;
  t.reserve(texto.size());
  for (std::size_t i = 0; i < texto.size(); ++i) {
    const char c = texto[i];
    if (c == kSeparador) {
      t += "#<QRB>#";
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
      t += "#<RET>#";
    } else if (c != '\0') {
      t += c;
    }
  }
  return t;
}

std::string SemSeparador(std::string_view texto) {
  std::string t(texto);
  for (char& c : t) {
    if (c == kSeparador || c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return t;
}

std::string ParaOLog(std::string_view linha) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string t;
  t.reserve(linha.size());
  for (const char c : linha) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && c != '\\') {
      t += c;
    } else {
      t += "\\x";
      t += kHex[b >> 4];
      t += kHex[b & 0xF];
    }
  }
  return t;
}

}  // namespace tazu::tazud
