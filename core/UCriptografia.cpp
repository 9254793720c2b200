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

constexpr bool EhCodigoDePar(unsigned char b) {
  return b >= kParSeparador && b <= kParNulo;
}

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

// Undoes the protection. A pair is recognised only when one more byte follows
// it. `historico`: read as the first scrambler wrote, with C0 D0 and C0 D1 as
// its only escapes. `ambiguos` counts the pairs that scrambler left as two
// plain bytes.
std::string Desproteger(const std::string& texto, bool historico, std::size_t* ambiguos = nullptr) {
  const unsigned char ultimoCodigo = historico ? kParQuebra : kParNulo;
  const std::size_t n = texto.size();
  const auto* s = reinterpret_cast<const unsigned char*>(texto.data());
  std::string cru(n, '\0');  // a pair never yields more than two bytes
  auto* o = reinterpret_cast<unsigned char*>(cru.data());
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char b = s[i];
    if (b != kEscape || i + 2 >= n || s[i + 1] < kParSeparador || s[i + 1] > ultimoCodigo) {
      o[k++] = b;
      continue;
    }
    if (ambiguos && s[i + 1] >= kParEscape) ++*ambiguos;
    switch (s[++i]) {
      case kParSeparador:
        o[k++] = 0xA7;
        break;
      case kParQuebra:
        o[k++] = 0x0D;
        o[k++] = 0x0A;
        break;
      case kParEscape:
        o[k++] = kEscape;
        break;
      case kParCR:
        o[k++] = 0x0D;
        break;
      case kParLF:
        o[k++] = 0x0A;
        break;
      default:
        o[k++] = 0x00;
        break;
    }
  }
  cru.resize(k);
  return cru;
}

// True when the current reading ends in the suffix and the historic one cannot,
// which settles it without the check characters. The readings differ only in
// length (one byte per ambiguous pair) and perhaps in their first byte, so the
// historic one decodes its last, plain byte at another roll offset unless the
// two offsets meet; a pair just before it is looked at the long way.
bool SoAAtualTermina(const std::string& texto, const std::string& atual, std::string_view aberto,
                     std::size_t ambiguos) {
  const std::size_t n = texto.size();
  if (aberto.size() < kSufixo.size() || aberto.substr(aberto.size() - kSufixo.size()) != kSufixo)
    return false;
  const auto* s = reinterpret_cast<const unsigned char*>(texto.data());
  const auto ambiguo = [&](std::size_t i) {
    return i + 2 < n && s[i] == kEscape && s[i + 1] >= kParEscape && s[i + 1] <= kParNulo;
  };
  if (n < 3 || ambiguo(n - 3)) return false;
  const unsigned primeiro = static_cast<unsigned char>(atual[0]);
  const unsigned primeiroHistorico = ambiguo(0) ? kEscape : primeiro;
  return (primeiroHistorico + ambiguos) % 30 != primeiro % 30;
}

// The bytes after the check character with the transformation undone, suffix
// included.
std::string Desenrolar(std::string_view bruto) {
  if (bruto.empty()) return {};
  const auto* b = reinterpret_cast<const unsigned char*>(bruto.data());
  std::string out(bruto.size() - 1, '\0');
  const auto desenrolar = [](unsigned char x, unsigned char r) {
    return static_cast<unsigned char>(static_cast<unsigned char>(x - 64) ^ r);
  };
  Rolar(b + 1, reinterpret_cast<unsigned char*>(out.data()), out.size(), b[0] % 30, desenrolar);
  return out;
}

// How well a reading fits: 2 when it ends in the suffix (true of every text
// whatever its key), plus 1 when its check character matches the key.
int Nota(std::string_view bruto, std::string_view aberto, uint8_t chave) {
  if (aberto.size() < kSufixo.size()) return 0;
  const std::string_view corpo = aberto.substr(0, aberto.size() - kSufixo.size());
  const auto esperado = static_cast<unsigned char>((ValorDeVerificacao(corpo, chave) + 64) & 0xFF);
  return (aberto.substr(corpo.size()) == kSufixo ? 2 : 0) +
         (static_cast<unsigned char>(bruto[0]) == esperado ? 1 : 0);
}

std::string SemSufixo(std::string aberto) {
  if (aberto.size() < kSufixo.size()) return {};
  aberto.resize(aberto.size() - kSufixo.size());
  return aberto;
}

// Escapes the bytes a line reader would trip over (see the header).
std::string Proteger(std::string t) {
  const std::size_t n = t.size();
  const auto* tb = reinterpret_cast<const unsigned char*>(t.data());
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
      case 0xA7:
        par = kParSeparador;
        break;
      case 0x0D:
        if (i + 2 < n && tb[i + 1] == 0x0A) {
          par = kParQuebra;
          ++i;
        } else {
          par = kParCR;
        }
        break;
      case 0x0A:
        par = kParLF;
        break;
      case 0x00:
        par = kParNulo;
        break;
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
    tb[1 + texto.size() + j] =
        enrolar(static_cast<unsigned char>(kSufixo[j]), static_cast<unsigned char>(r));
  }

  return Proteger(std::move(t));
}

std::string TCriptografia::Desembaralhar(const std::string& texto) const {
  if (texto.find(static_cast<char>(kEscape)) == std::string::npos)
    return SemSufixo(Desenrolar(texto));  // the usual case: nothing was protected
  std::size_t ambiguos = 0;
  const std::string atual = Desproteger(texto, false, &ambiguos);
  std::string aberto = Desenrolar(atual);
  if (ambiguos > 0 && !SoAAtualTermina(texto, atual, aberto, ambiguos)) {
    // What this scrambler wrote under this key always scores 3. Anything less
    // was written by another hand, most likely the first scrambler, which left
    // C0 D2..D5 alone: its reading wins when it ends in the suffix and fits at
    // least as well. A text cut short (no suffix either way) reads our way.
    const int nota = Nota(atual, aberto, Chave);
    if (nota < 3) {
      const std::string historico = Desproteger(texto, true);
      std::string abertoHistorico = Desenrolar(historico);
      const int notaHistorica = Nota(historico, abertoHistorico, Chave);
      if (notaHistorica >= 2 && notaHistorica >= nota) return SemSufixo(std::move(abertoHistorico));
    }
  }
  return SemSufixo(std::move(aberto));
}

}  // namespace tazu
