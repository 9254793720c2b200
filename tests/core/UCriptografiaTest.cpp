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

TCriptografia ComChave(uint8_t chave) {
  TCriptografia c;
  c.Chave = chave;
  return c;
}

std::string Aleatorio(std::mt19937& rng, std::size_t maximo) {
  std::string s(rng() % (maximo + 1), '\0');
  for (char& ch : s) ch = static_cast<char>(rng());
  return s;
}

TEST(TCriptografia, TextoComumVoltaComQualquerChave) {
  const std::string texto =
      cp1252::FromUtf8("Olá, João! Ação 123 ÀÉÎÕÜ ç §\r\nfim (x) [y] {z} ?.") + "\xA7\r\n";
  for (int chave : {0, 1, 77, 200, 255}) {
    EXPECT_EQ(ComChave(77).Desembaralhar(ComChave(static_cast<uint8_t>(chave)).Embaralhar(texto)),
              texto)
        << chave;
  }
  // The key only decides the check character.
  EXPECT_NE(ComChave(3).Embaralhar("mensagem"), ComChave(250).Embaralhar("mensagem"));
  for (const char* curto : {"", "ab"}) EXPECT_EQ(TCriptografia().Desembaralhar(curto), "");
}

// Texts that need none of the added escapes scramble to exactly the bytes of
// the first scrambler, so stored files and peers keep reading each other.
TEST(TCriptografia, MesmosBytesDoPrimeiroEmbaralhadorOndeNenhumEscapeNovoEPreciso) {
  std::mt19937 rng(1234);
  int comparados = 0;
  for (int n = 0; n < 20000; ++n) {
    const auto chave = static_cast<uint8_t>(rng());
    std::string texto(rng() % 40, '\0');
    // Mostly printable text, as users write it, with separators and breaks.
    for (char& ch : texto) {
      const unsigned r = rng() % 100;
      ch = r < 3 ? '\xA7' : r < 6 ? '\r' : r < 9 ? '\n' : static_cast<char>(0x20 + rng() % 0xDF);
    }
    if (PrecisaDeProtecaoNova(texto, chave)) continue;
    ++comparados;
    ASSERT_EQ(ComChave(chave).Embaralhar(texto), EmbaralharOriginal(texto, chave)) << n;
  }
  EXPECT_GT(comparados, 10000);
}

// Why the escapes were added: with the first protection alone, accented
// capitals scramble into NUL, CR or LF, and pairs C0 D0..D5 come out of the
// transformation by themselves (the first two read back as "§" and CR LF).
TEST(TCriptografia, OsEscapesNovosConsertamOQueOPrimeiroQuebrava) {
  std::mt19937 rng(99);
  int quebras = 0, pares = 0;
  for (int n = 0; n < 200000 && (quebras < 20 || pares < 20); ++n) {
    const std::string texto =
        n % 2 ? std::string(rng() % 30, 'a') + char(0xC0 + rng() % 32) : Aleatorio(rng, 8);
    const std::string t = TransformadoOriginal(texto, 77);
    const bool quebra =
        EmbaralharOriginal(texto, 77).find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
    const size_t p = t.find('\xC0');
    const bool par = p != std::string::npos && p + 2 < t.size() &&
                     static_cast<unsigned char>(t[p + 1]) >= 0xD0 &&
                     static_cast<unsigned char>(t[p + 1]) <= 0xD5;
    if (!quebra && !par) continue;
    quebras += quebra, pares += par;
    const std::string novo = ComChave(77).Embaralhar(texto);
    EXPECT_EQ(novo.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
    EXPECT_EQ(ComChave(77).Desembaralhar(novo), texto);
  }
  EXPECT_GE(quebras, 20);
  EXPECT_GE(pares, 20);
}

// Where the transformed text naturally holds 0xC0 before D2..D5, the first
// scrambler wrote the bytes as they were, and ours reads such a pair as an
// escape. Texts it wrote, history lines and lines of peers that scramble the
// same way, must still read back right, under their own key or another one.
TEST(TCriptografia, TextosDoPrimeiroEmbaralhadorSeLeemComoForamEscritos) {
  std::mt19937 rng(31);
  int achados = 0;
  for (int n = 0; n < 400000 && achados < 300; ++n) {
    const auto chave = static_cast<uint8_t>(rng());
    std::string texto(1 + rng() % 40, '\0');
    for (char& ch : texto) ch = static_cast<char>(0x20 + rng() % 0xE0);
    if (!teste::LidoDeDuasManeiras(texto, chave)) continue;
    ++achados;
    const std::string antigo = EmbaralharOriginal(texto, chave);
    ASSERT_EQ(ComChave(chave).Desembaralhar(antigo), texto) << "key " << int(chave) << " " << n;
    ASSERT_EQ(TCriptografia().Desembaralhar(antigo), texto) << "default key, text " << n;
    // Our own scrambling of the same text keeps reading our way.
    ASSERT_EQ(ComChave(chave).Desembaralhar(ComChave(chave).Embaralhar(texto)), texto) << n;
  }
  EXPECT_GE(achados, 300);
}

// Random bytes of all 256 values under every key: scrambling never ends with
// "§" or CR LF, and cutting the stream into lines at CR or LF and unscrambling
// with the same key gives every text back.
TEST(TCriptografia, TodoTextoSobreviveAUmLeitorDeLinhas) {
  std::mt19937 rng(2024);
  for (int chave = 0; chave < 256; ++chave) {
    const TCriptografia c = ComChave(static_cast<uint8_t>(chave));
    std::vector<std::string> textos = {""};
    std::string fluxo = c.Embaralhar("") + "\r\n";
    for (int n = 1; n < 40; ++n) {
      textos.push_back(Aleatorio(rng, 64));
      const std::string e = c.Embaralhar(textos.back());
      ASSERT_TRUE(e.back() != '\xA7' && e.substr(e.size() - 2) != "\r\n");
      fluxo += e + "\r\n";
    }
    const std::vector<std::string> linhas = DividirLinhas(fluxo);
    ASSERT_EQ(linhas.size(), textos.size()) << "key " << chave;
    for (size_t i = 0; i < linhas.size(); ++i)
      ASSERT_EQ(c.Desembaralhar(linhas[i]), textos[i]) << "key " << chave << " text " << i;
  }
}

TEST(TCriptografia, LixoSempreSeDesembaralha) {
  std::mt19937 rng(5);
  for (int n = 0; n < 5000; ++n) {
    std::string lixo = Aleatorio(rng, 50);
    for (char& ch : lixo) ch = rng() % 4 == 0 ? '\xC0' : ch;
    EXPECT_LE(TCriptografia().Desembaralhar(lixo).size(), lixo.size());
  }
}

}  // namespace
}  // namespace tazu
