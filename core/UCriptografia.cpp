#include "core/UCriptografia.h"

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

// x mod m without a division (Lemire's fastmod); exact for every 32-bit x.
struct ModuloRapido {
  explicit ModuloRapido(uint32_t m) : m(m), inverso(UINT64_C(0xFFFFFFFFFFFFFFFF) / m + 1) {}
  uint32_t operator()(uint32_t x) const {
    const uint64_t baixo = inverso * x;
    return static_cast<uint32_t>((static_cast<unsigned __int128>(baixo) * m) >> 64);
  }
  uint64_t m;
  uint64_t inverso;
};

uint32_t ValorDeVerificacao(std::string_view texto, uint8_t chave) {
  const ModuloRapido mod(uint32_t{chave} + 30);
  uint32_t c = 0;
  for (const char ch : texto) c = mod(static_cast<unsigned char>(ch) + c);
  for (const char ch : kSufixo) c = mod(static_cast<unsigned char>(ch) + c);
  return c;
}

}  // namespace

std::string TCriptografia::Embaralhar(const std::string& texto) const {
  const std::size_t n = texto.size() + kSufixo.size() + 1;  // transformed length
  const unsigned char verificacao =
      static_cast<unsigned char>((ValorDeVerificacao(texto, Chave) + 64) & 0xFF);

  // Transformed bytes, then protected. Protection looks one byte ahead, so the
  // transformed text is built first.
  std::string t(n, '\0');
  auto* tb = reinterpret_cast<unsigned char*>(t.data());
  tb[0] = verificacao;
  unsigned r = verificacao % 30;
  std::size_t i = 1;
  auto rolar = [&](unsigned char b) {
    tb[i++] = static_cast<unsigned char>((b ^ r) + 64);
    if (++r == 30) r = 0;
  };
  for (const char ch : texto) rolar(static_cast<unsigned char>(ch));
  for (const char ch : kSufixo) rolar(static_cast<unsigned char>(ch));

  std::string out(2 * n, '\0');
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  std::size_t k = 0;
  for (i = 0; i < n; ++i) {
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
  const std::size_t n = texto.size();
  const auto* s = reinterpret_cast<const unsigned char*>(texto.data());
  std::string out(n + 1, '\0');  // each byte or pair yields at most two bytes
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  std::size_t k = 0;
  bool primeiro = true;
  unsigned r = 0;
  auto desenrolar = [&](unsigned char b) {
    if (primeiro) {  // the check character: dropped, it only seeds the roll
      primeiro = false;
      r = b % 30;
      return;
    }
    o[k++] = static_cast<unsigned char>((b - 64) & 0xFF) ^ static_cast<unsigned char>(r);
    if (++r == 30) r = 0;
  };
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char b = s[i];
    if (b != kEscape || i + 2 >= n || !EhCodigoDePar(s[i + 1])) {
      desenrolar(b);
      continue;
    }
    switch (s[++i]) {
      case kParSeparador: desenrolar(0xA7); break;
      case kParQuebra:
        desenrolar(0x0D);
        desenrolar(0x0A);
        break;
      case kParEscape: desenrolar(kEscape); break;
      case kParCR: desenrolar(0x0D); break;
      case kParLF: desenrolar(0x0A); break;
      default: desenrolar(0x00); break;
    }
  }
  out.resize(k >= kSufixo.size() ? k - kSufixo.size() : 0);
  return out;
}

}  // namespace tazu
