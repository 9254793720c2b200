#include "core/UCriptografia.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tazu {

namespace {

constexpr unsigned char kEscape = 0xC0;
constexpr std::string_view kSufixo = "LX";

enum : unsigned char {
  kParSeparador = 0xD0,
  kParQuebra = 0xD1,
  kParEscape = 0xD2,
  kParCR = 0xD3,
  kParLF = 0xD4,
  kParNulo = 0xD5,
};

constexpr bool EhCodigoDePar(unsigned char b) { return b >= kParSeparador && b <= kParNulo; }

// Bytes of the transformed text that may need protection.
constexpr std::array<bool, 256> TabelaEspeciais() {
  std::array<bool, 256> t{};
  t[0x00] = t[0x0A] = t[0x0D] = t[0xA7] = t[kEscape] = true;
  return t;
}
constexpr auto kEspecial = TabelaEspeciais();

// The check value is defined as a running sum reduced modulo (key + 30) at
// every step; reducing only once at the end gives the same residue.
uint32_t ValorDeVerificacao(std::string_view texto, uint8_t chave) {
  uint64_t soma = 0;
  for (const char ch : texto) soma += static_cast<unsigned char>(ch);
  for (const char ch : kSufixo) soma += static_cast<unsigned char>(ch);
  return static_cast<uint32_t>(soma % (uint32_t{chave} + 30));
}

// The rolling transformation XORs byte i (from the second) with
// (first + i - 1) mod 30: a pattern of period 30, applied block by block so the
// compiler can vectorise the inner loop.
template <typename F>
void Rolar(const unsigned char* de, unsigned char* para, std::size_t n, unsigned r0, F f) {
  unsigned char padrao[30];
  for (unsigned j = 0; j < 30; ++j) padrao[j] = static_cast<unsigned char>((r0 + j) % 30);
  std::size_t i = 0;
  for (; i + 30 <= n; i += 30)
    for (std::size_t j = 0; j < 30; ++j) para[i + j] = f(de[i + j], padrao[j]);
  for (std::size_t j = 0; i < n; ++i, ++j) para[i] = f(de[i], padrao[j]);
}

}  // namespace

std::string TCriptografia::Embaralhar(const std::string& texto) const {
  const std::size_t n = texto.size() + kSufixo.size() + 1;  // transformed length
  const unsigned char verificacao =
      static_cast<unsigned char>((ValorDeVerificacao(texto, Chave) + 64) & 0xFF);

  // Transformed bytes first: protection looks one byte ahead.
  std::string t(n, '\0');
  auto* tb = reinterpret_cast<unsigned char*>(t.data());
  tb[0] = verificacao;
  const auto enrolar = [](unsigned char b, unsigned char r) {
    return static_cast<unsigned char>((b ^ r) + 64);
  };
  const unsigned r0 = verificacao % 30;
  Rolar(reinterpret_cast<const unsigned char*>(texto.data()), tb + 1, texto.size(), r0, enrolar);
  for (std::size_t j = 0; j < kSufixo.size(); ++j) {
    const unsigned r = static_cast<unsigned>((r0 + texto.size() + j) % 30);
    tb[1 + texto.size() + j] = enrolar(static_cast<unsigned char>(kSufixo[j]), static_cast<unsigned char>(r));
  }

  std::size_t i = 0;
  while (i < n && !kEspecial[tb[i]]) ++i;
  if (i == n) return t;  // the usual case: nothing to protect

  std::string out(2 * n, '\0');
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  std::copy(tb, tb + i, o);
  std::size_t k = i;
  for (; i < n; ++i) {
    const unsigned char b = tb[i];
    if (!kEspecial[b]) {
      o[k++] = b;
      continue;
    }
    unsigned char par;
    switch (b) {
      case 0xA7: par = kParSeparador; break;
      case 0x0D:
        if (i + 2 < n && tb[i + 1] == 0x0A) {
          par = kParQuebra;
          ++i;
        } else {
          par = kParCR;
        }
        break;
      case 0x0A: par = kParLF; break;
      case 0x00: par = kParNulo; break;
      default:  // 0xC0: escaped only where it would read as the start of a pair
        if (i + 1 < n && EhCodigoDePar(tb[i + 1])) {
          par = kParEscape;
        } else {
          o[k++] = b;
          continue;
        }
    }
    o[k++] = kEscape;
    o[k++] = par;
  }
  out.resize(k);
  return out;
}

std::string TCriptografia::Desembaralhar(const std::string& texto) const {
  // Undo the protection (only when an escape byte is present at all).
  std::string cru;
  const std::string* bruto = &texto;
  if (texto.find(static_cast<char>(kEscape)) != std::string::npos) {
    const std::size_t n = texto.size();
    const auto* s = reinterpret_cast<const unsigned char*>(texto.data());
    cru.resize(n);  // a pair never yields more than two bytes
    auto* o = reinterpret_cast<unsigned char*>(cru.data());
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const unsigned char b = s[i];
      if (b != kEscape || i + 2 >= n || !EhCodigoDePar(s[i + 1])) {
        o[k++] = b;
        continue;
      }
      switch (s[++i]) {
        case kParSeparador: o[k++] = 0xA7; break;
        case kParQuebra:
          o[k++] = 0x0D;
          o[k++] = 0x0A;
          break;
        case kParEscape: o[k++] = kEscape; break;
        case kParCR: o[k++] = 0x0D; break;
        case kParLF: o[k++] = 0x0A; break;
        default: o[k++] = 0x00; break;
      }
    }
    cru.resize(k);
    bruto = &cru;
  }
  // Drop the check character (it only seeds the roll) and the suffix.
  const std::size_t m = bruto->size();
  if (m < 1 + kSufixo.size()) return {};
  const auto* b = reinterpret_cast<const unsigned char*>(bruto->data());
  std::string out(m - 1 - kSufixo.size(), '\0');
  const auto desenrolar = [](unsigned char x, unsigned char r) {
    return static_cast<unsigned char>(static_cast<unsigned char>(x - 64) ^ r);
  };
  Rolar(b + 1, reinterpret_cast<unsigned char*>(out.data()), out.size(), b[0] % 30, desenrolar);
  return out;
}

}  // namespace tazu
