// The scrambler as it was first written down, protection of "§" and CR LF
// only: the reference for bytes that stored files and peers hold.
#pragma once

#include <cstdint>
#include <string>

namespace tazu::teste {

// Check character, text, "LX", transformed; nothing protected yet.
inline std::string TransformadoOriginal(const std::string& texto, uint8_t chave) {
  std::string t = texto + "LX";
  unsigned c = 0;
  for (unsigned char b : t) c = (b + c) % (chave + 30u);
  t.insert(t.begin(), static_cast<char>((c + 64) % 256));
  std::string out(1, t[0]);
  unsigned r = static_cast<unsigned char>(t[0]) % 30;
  for (size_t i = 1; i < t.size(); ++i) {
    out.push_back(static_cast<char>(((static_cast<unsigned char>(t[i]) ^ r) + 64) % 256));
    r = (r + 1) % 30;
  }
  return out;
}

inline std::string EmbaralharOriginal(const std::string& texto, uint8_t chave) {
  const std::string t = TransformadoOriginal(texto, chave);
  std::string out;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\xA7') {
      out += "\xC0\xD0";
    } else if (t[i] == '\r' && i + 2 < t.size() && t[i + 1] == '\n') {
      out += "\xC0\xD1";
      ++i;
    } else {
      out.push_back(t[i]);
    }
  }
  return out;
}

// True when the first scrambler wrote a pair C0 D2..D5 that we read as an
// escape, and no pair C0 D0 / C0 D1 that it misread itself.
inline bool LidoDeDuasManeiras(const std::string& texto, uint8_t chave) {
  const std::string t = TransformadoOriginal(texto, chave);
  bool ambiguo = false;
  for (size_t i = 0; i + 2 < t.size(); ++i) {
    if (t[i] != '\xC0') continue;
    const auto codigo = static_cast<unsigned char>(t[i + 1]);
    if (codigo == 0xD0 || codigo == 0xD1) return false;
    ambiguo |= codigo >= 0xD2 && codigo <= 0xD5;
  }
  return ambiguo;
}

}  // namespace tazu::teste
