// Two passes over the text. The first walks it character by character with
// two flags, "at the start of a word" and "right after a blank", deleting
// blanks and trailing separators and fixing the case of letters in place; the
// second looks at whole words for the particles and the Roman numerals.
//
// The first pass keeps the program's long-standing handling of the end of the
// text: one trailing blank goes, a pair leaves one blank, three or more go
// entirely. Unlike the old routine it never steps back onto a letter (which
// glued "Jose  E" into "JosEe"), never before the first character (" a" kept
// its small "a") and never back over a "." or "," whose blank it had just
// dropped (a name ending in "." never finished).
#include "core/FormatarNome.h"

#include <array>
#include <string_view>

namespace tazu {

namespace {

bool Separador(char c) {
  return c == ' ' || c == '/' || c == '\'' || c == '"' || c == '-' || c == '\r';
}

bool BrancoOuRetorno(char c) {
  return c == ' ' || c == '\r';
}

// Case under Windows-1252: a-z, the accented letters 0xE0-0xFE (but the
// division sign 0xF7) and the four letters of the 0x80 range.
struct TTabelasDeCaixa {
  std::array<unsigned char, 256> maiuscula{};
  std::array<unsigned char, 256> minuscula{};
};

constexpr TTabelasDeCaixa CriarTabelas() {
  TTabelasDeCaixa t;
  for (int i = 0; i < 256; ++i) {
    t.maiuscula[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    t.minuscula[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
  }
  auto par = [&t](int pequena, int grande) {
    t.maiuscula[static_cast<std::size_t>(pequena)] = static_cast<unsigned char>(grande);
    t.minuscula[static_cast<std::size_t>(grande)] = static_cast<unsigned char>(pequena);
  };
  for (int c = 'a'; c <= 'z'; ++c) par(c, c - 32);
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c != 0xF7) par(c, c - 32);
  }
  par(0x9A, 0x8A);  // š
  par(0x9C, 0x8C);  // œ
  par(0x9E, 0x8E);  // ž
  par(0xFF, 0x9F);  // ÿ
  return t;
}

constexpr TTabelasDeCaixa kCaixa = CriarTabelas();

char Maiuscula(char c) {
  return static_cast<char>(kCaixa.maiuscula[static_cast<unsigned char>(c)]);
}
char Minuscula(char c) {
  return static_cast<char>(kCaixa.minuscula[static_cast<unsigned char>(c)]);
}

void PrimeiraPassagem(std::string& s) {
  bool inicioDePalavra = true;
  bool aposBranco = true;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (!Separador(c)) {
      s[i] = inicioDePalavra ? Maiuscula(c) : Minuscula(c);
      inicioDePalavra = aposBranco = false;
      if (c == '.' || c == ',') {
        // No separator before the mark and exactly one blank after it: the
        // blank is examined next, like any other.
        if (i > 0 && Separador(s[i - 1])) s.erase(--i, 1);
        s.insert(i + 1, 1, ' ');
      }
      ++i;
    } else if (inicioDePalavra && aposBranco) {
      aposBranco = BrancoOuRetorno(c);
      if (BrancoOuRetorno(c) || i + 1 == s.size()) s.erase(i, 1);
      // At the last character of a run of separators that ends the text, look
      // once more at the separator kept before it.
      if (i > 0 && i + 1 == s.size() && Separador(s[i]) && Separador(s[i - 1])) --i;
    } else if (inicioDePalavra) {
      ++i;
    } else if (i + 1 == s.size()) {
      s.erase(i, 1);  // a trailing separator goes
    } else {
      inicioDePalavra = aposBranco = true;
      ++i;
    }
  }
}

bool Particula(std::string_view p) {
  static constexpr std::string_view kParticulas[] = {"E",  "A",  "O",   "Da",  "De",  "Do",  "No",
                                                     "Na", "Em", "Das", "Dos", "Nos", "Nas", "Que"};
  for (std::string_view k : kParticulas) {
    if (p == k) return true;
  }
  return false;
}

bool Romano(std::string_view p) {
  static constexpr std::string_view kRomanos[] = {"Ii",  "Iv",   "Vi",   "Ix",  "Xi",
                                                  "Xv",  "Iii",  "Vii",  "Xii", "Xiv",
                                                  "Xvi", "Viii", "Xiii", "Xvii"};
  for (std::string_view k : kRomanos) {
    if (p == k) return true;
  }
  return false;
}

void SegundaPassagem(std::string& s) {
  bool dentro = false;
  std::size_t inicio = 0;
  while (inicio < s.size()) {
    std::size_t fim = inicio;
    while (fim < s.size() && !Separador(s[fim])) ++fim;
    if (fim == inicio) {
      ++inicio;  // separators side by side hold no word between them
      continue;
    }
    std::size_t proxima = fim;
    while (proxima < s.size() && Separador(s[proxima])) ++proxima;
    // A particle stays capitalised as the first and the last word, and after
    // a line break or the end of a sentence.
    const bool ultima = proxima >= s.size();
    const bool fimDeFrase = s[fim - 1] == '.' || (fim < s.size() && s[fim] == '\r');
    const bool seguida = !ultima && !fimDeFrase;
    const std::string_view palavra(s.data() + inicio, fim - inicio);
    dentro = dentro && seguida;
    if (dentro && Particula(palavra)) s[inicio] = Minuscula(s[inicio]);
    if (Romano(palavra)) {
      for (std::size_t k = inicio; k < fim; ++k) s[k] = Maiuscula(s[k]);
    }
    dentro = seguida;
    inicio = fim + 1;
  }
}

}  // namespace

std::string FormatarNome(const std::string& nome) {
  std::string s = nome;
  PrimeiraPassagem(s);
  SegundaPassagem(s);
  return s;
}

}  // namespace tazu
