#include <gtest/gtest.h>

#include <random>

#include "base/Cp1252.h"
#include "core/UCriptografia.h"
#include "core/UGlobal.h"
#include "tests/core/EmbaralhadorOriginal.h"

namespace tazu {
namespace {

using teste::EmbaralharOriginal;
using teste::TransformadoOriginal;

// True when the transformed text holds a byte the added escapes deal with.
bool PrecisaDeProtecaoNova(const std::string& texto, uint8_t chave) {
  const std::string t = TransformadoOriginal(texto, chave);
  for (size_t i = 0; i < t.size(); ++i) {
    const unsigned char b = t[i];
    if (b == 0xC0 || b == 0x00 || b == 0x0A) return true;
    if (b == 0x0D && !(i + 2 < t.size() && t[i + 1] == '\n')) return true;
    if (b == 0x0D) ++i;
  }
  return false;
}

std::string Embaralhar(const std::string& texto, uint8_t chave) {
  TCriptografia c;
  c.Chave = chave;
  return c.Embaralhar(texto);
}

std::string Desembaralhar(const std::string& texto, uint8_t chave = TCriptografia::ChavePadrao) {
  TCriptografia c;
  c.Chave = chave;
  return c.Desembaralhar(texto);
}

TEST(TCriptografia, RoundTripsOrdinaryText) {
  const std::string texto =
      cp1252::FromUtf8("Olá, João! Ação 123 ÀÉÎÕÜ ç §\r\nfim (x) [y] {z} ?.") + "\xA7" + "\r\n";
  for (int chave : {0, 1, 77, 200, 255}) {
    EXPECT_EQ(Desembaralhar(Embaralhar(texto, static_cast<uint8_t>(chave))), texto) << chave;
  }
}

TEST(TCriptografia, EmptyTextIsThreeBytes) {
  const std::string e = Embaralhar("", 77);
  EXPECT_EQ(e.size(), 3u);
  EXPECT_EQ(Desembaralhar(e), "");
  EXPECT_EQ(Desembaralhar(""), "");
  EXPECT_EQ(Desembaralhar("ab"), "");
}

TEST(TCriptografia, KeyOnlyDecidesTheCheckCharacter) {
  const std::string texto = "mensagem de teste";
  const std::string a = Embaralhar(texto, 3);
  const std::string b = Embaralhar(texto, 250);
  EXPECT_NE(a, b);
  EXPECT_EQ(Desembaralhar(a), texto);
  EXPECT_EQ(Desembaralhar(b), texto);
}

TEST(TCriptografia, MatchesTheOriginalBytesWhereNoNewEscapeIsNeeded) {
  std::mt19937 rng(1234);
  int comparados = 0;
  for (int n = 0; n < 20000; ++n) {
    const uint8_t chave = static_cast<uint8_t>(rng());
    std::string texto(rng() % 40, '\0');
    // Mostly printable text, as users write it, with separators and breaks.
    for (char& ch : texto) {
      const unsigned r = rng() % 100;
      ch = r < 3 ? '\xA7' : r < 6 ? '\r' : r < 9 ? '\n' : static_cast<char>(0x20 + rng() % 0xDF);
    }
    if (PrecisaDeProtecaoNova(texto, chave)) continue;
    ++comparados;
    ASSERT_EQ(Embaralhar(texto, chave), EmbaralharOriginal(texto, chave)) << n;
  }
  EXPECT_GT(comparados, 10000);
}

TEST(TCriptografia, TheOriginalProtectionAloneBreaksLines) {
  // Why the escapes were added: accented capitals scramble into NUL, CR or LF
  // with the original protection; with ours every byte survives a line reader.
  bool achouQuebra = false;
  for (int b = 0xC0; b <= 0xDF && !achouQuebra; ++b) {
    for (int pos = 0; pos < 30 && !achouQuebra; ++pos) {
      const std::string texto = std::string(pos, 'a') + static_cast<char>(b);
      const std::string original = EmbaralharOriginal(texto, 77);
      if (original.find_first_of(std::string("\r\n\0", 3)) == std::string::npos) continue;
      achouQuebra = true;
      const std::string novo = Embaralhar(texto, 77);
      EXPECT_EQ(novo.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
      EXPECT_EQ(Desembaralhar(novo), texto);
    }
  }
  EXPECT_TRUE(achouQuebra);
}

TEST(TCriptografia, AmbiguousPairsInTheTransformedTextAreEscaped) {
  // Search for texts whose transformed form naturally holds C0 D0 / C0 D1: the
  // original unscrambler turns them into "§" / CR LF.
  std::mt19937 rng(99);
  int achados = 0;
  for (int n = 0; n < 200000 && achados < 20; ++n) {
    std::string texto(2 + rng() % 6, '\0');
    for (char& ch : texto) ch = static_cast<char>(rng());
    const std::string t = TransformadoOriginal(texto, 77);
    const size_t p = t.find("\xC0");
    if (p == std::string::npos || p + 1 >= t.size()) continue;
    const unsigned char seguinte = t[p + 1];
    if (seguinte < 0xD0 || seguinte > 0xD5) continue;
    ++achados;
    EXPECT_EQ(Desembaralhar(Embaralhar(texto, 77)), texto);
  }
  EXPECT_GT(achados, 0);
}

// Where the transformed text naturally holds 0xC0 before D2..D5, the first
// scrambler wrote the bytes as they were, and ours reads such a pair as an
// escape. Texts it wrote, history lines and lines of peers that scramble the
// same way, must still read back right, under their own key or another one.
TEST(TCriptografia, TextsOfTheFirstScramblerReadBackRight) {
  std::mt19937 rng(31);
  int achados = 0;
  for (int n = 0; n < 400000 && achados < 300; ++n) {
    const auto chave = static_cast<uint8_t>(rng());
    std::string texto(1 + rng() % 40, '\0');
    for (char& ch : texto) ch = static_cast<char>(0x20 + rng() % 0xE0);
    if (!teste::LidoDeDuasManeiras(texto, chave)) continue;
    ++achados;
    const std::string antigo = EmbaralharOriginal(texto, chave);
    TCriptografia c;
    c.Chave = chave;
    ASSERT_EQ(c.Desembaralhar(antigo), texto) << "key " << int(chave) << " text " << n;
    ASSERT_EQ(Desembaralhar(antigo), texto) << "default key, text " << n;
    // Our own scrambling of the same text keeps reading our way.
    ASSERT_EQ(c.Desembaralhar(c.Embaralhar(texto)), texto) << n;
  }
  EXPECT_GE(achados, 300);
}

TEST(TCriptografia, NeverEndsWithSeparatorOrLineBreak) {
  std::mt19937 rng(7);
  for (int n = 0; n < 2000; ++n) {
    std::string texto(rng() % 20, '\0');
    for (char& ch : texto) ch = static_cast<char>(rng());
    const std::string e = Embaralhar(texto, static_cast<uint8_t>(n));
    ASSERT_GE(e.size(), 3u);
    EXPECT_NE(e.back(), '\xA7');
    EXPECT_NE(e.substr(e.size() - 2), "\r\n");
  }
}

// Random bytes of all 256 values under every key: scrambling, cutting the
// stream into lines at CR or LF and unscrambling with the same key gives every
// text back.
TEST(TCriptografia, EveryTextSurvivesALineOrientedReader) {
  std::mt19937 rng(2024);
  for (int chave = 0; chave < 256; ++chave) {
    std::vector<std::string> textos;
    std::string fluxo;
    for (int n = 0; n < 40; ++n) {
      std::string texto(rng() % 64, '\0');
      for (char& ch : texto) ch = static_cast<char>(rng());
      if (n == 0) texto.clear();
      const std::string e = Embaralhar(texto, static_cast<uint8_t>(chave));
      ASSERT_EQ(e.find('\0'), std::string::npos);
      fluxo += e + "\r\n";
      textos.push_back(std::move(texto));
    }
    const std::vector<std::string> linhas = DividirLinhas(fluxo);
    ASSERT_EQ(linhas.size(), textos.size()) << "key " << chave;
    for (size_t i = 0; i < linhas.size(); ++i) {
      ASSERT_EQ(Desembaralhar(linhas[i], static_cast<uint8_t>(chave)), textos[i])
          << "key " << chave << " text " << i;
    }
  }
}

TEST(TCriptografia, UnscramblingGarbageNeverFails) {
  std::mt19937 rng(5);
  for (int n = 0; n < 5000; ++n) {
    std::string lixo(rng() % 50, '\0');
    for (char& ch : lixo) ch = static_cast<char>(rng() % 4 == 0 ? 0xC0 : rng());
    const std::string r = Desembaralhar(lixo);
    EXPECT_LE(r.size(), lixo.size());
  }
}

}  // namespace
}  // namespace tazu
