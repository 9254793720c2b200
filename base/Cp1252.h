// Windows-1252, the single-byte code page of every text the program keeps,
// sends and stores. UTF-8 appears only at the edges that speak it (terminal,
// JSON, the MSN and Yahoo wires); these are the conversions for those edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tazu::cp1252 {

// Code points of the bytes 0x80..0x9F; 0 marks the five bytes Windows-1252
// leaves undefined.
inline constexpr char16_t kFaixa80[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The byte for a code point, or -1 when Windows-1252 has none. The undefined
// bytes map to their C1 control code points, as Windows does.
constexpr int ByteFor(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kFaixa80[i] == cp) return 0x80 + i;
    if (kFaixa80[i] == 0 && cp == static_cast<char32_t>(0x80 + i)) return 0x80 + i;
  }
  return -1;
}

constexpr char32_t CodePointOf(unsigned char b) {
  if (b < 0x80 || b >= 0xA0) return b;
  char16_t cp = kFaixa80[b - 0x80];
  return cp ? cp : b;
}

// Decodes one UTF-8 sequence at s[i]; answers the code point and advances i, or
// answers -1 (and advances past one byte) for a malformed sequence.
constexpr long DecodeUtf8(std::string_view s, std::size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  int len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return -1;
  }
  long cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; k < len; ++k) {
    const unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) {
      ++i;
      return -1;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  const long minimo = len == 1 ? 0 : len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
  if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return -1;
  }
  i += len;
  return cp;
}

// Windows-1252 → UTF-8. Every byte has a code point, so nothing is lost.
std::string ToUtf8(std::string_view text);
// UTF-8 → Windows-1252. Characters the code page lacks, and malformed
// sequences, become `replacement`.
std::string FromUtf8(std::string_view utf8, char replacement = '?');

// A UTF-8 source literal turned into Windows-1252 bytes at compile time; a
// character the code page lacks does not compile.
template <std::size_t N>
struct Literal {
  char bytes[N]{};
  std::size_t size = 0;
  consteval Literal(const char (&s)[N]) {
    std::string_view v(s, N - 1);
    std::size_t i = 0;
    while (i < v.size()) {
      const long cp = DecodeUtf8(v, i);
      if (cp < 0) throw "malformed UTF-8 in a Windows-1252 literal";
      const int b = ByteFor(static_cast<char32_t>(cp));
      if (b < 0) throw "character outside Windows-1252";
      bytes[size++] = static_cast<char>(b);
    }
  }
};

}  // namespace tazu::cp1252

namespace tazu {

// "Invisível"_cp is the Windows-1252 text, as a view of static storage.
template <cp1252::Literal L>
constexpr std::string_view operator""_cp() {
  return std::string_view(L.bytes, L.size);
}

}  // namespace tazu
