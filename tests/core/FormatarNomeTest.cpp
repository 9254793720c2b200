#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "core/FormatarNome.h"

namespace tazu {
namespace {

std::string Cp(const char* utf8) {
  return cp1252::FromUtf8(utf8);
}

TEST(FormatarNome, ExemplosDoCadastro) {
  const std::pair<const char*, const char*> casos[] = {
      {"maria  da silva", "Maria da Silva"},
      {"pedro ii", "Pedro II"},
      {"luis xiv de frança", "Luis XIV de França"},
      {"da silva", "Da Silva"},
      {"dr.joão", "Dr. João"},
      {"ana ,bia", "Ana, Bia"},
      // Trailing blanks: one goes, two leave one, three or four go entirely.
      {"ana ", "Ana"},
      {"ana  ", "Ana "},
      {"ana   ", "Ana"},
      {"ana    ", "Ana"},
      // More of the same rules.
      {"   JOSÉ DOS SANTOS E SILVA", "José dos Santos e Silva"},
      {"joão de deus e", "João de Deus E"},
      {"maria-clara d'ávila", "Maria-Clara D'Ávila"},
      {"carlos ,joão", "Carlos, João"},
      {"ana maria. da silva", "Ana Maria. Da Silva"},
      {"henrique viii/xiii", "Henrique VIII/XIII"},
      {"", ""},
  };
  for (const auto& [entrada, saida] : casos) {
    EXPECT_EQ(FormatarNome(Cp(entrada)), Cp(saida)) << entrada;
  }
}

// The old routine glued a short last word to the one before it, left a single
// letter after a leading blank small, and never finished on a final "." or ",".
TEST(FormatarNome, NaoColaPalavrasNemTravaNoPontoFinal) {
  EXPECT_EQ(FormatarNome("jose  e"), "Jose E");
  EXPECT_EQ(FormatarNome("ana  x"), "Ana X");
  EXPECT_EQ(FormatarNome(" a"), "A");
  EXPECT_EQ(FormatarNome("a "), "A");
  EXPECT_EQ(FormatarNome("jr."), "Jr.");
  EXPECT_EQ(FormatarNome("silva,"), "Silva,");
}

// Every short text over the characters the rules care about comes out without
// a leading blank, every word capitalised and no run of blanks inside.
TEST(FormatarNome, TextosCurtosQuaisquer) {
  const std::string alfabeto = "qz /.,\r-";
  std::string s;
  for (std::size_t n = 0; n <= 6; ++n) {
    std::vector<std::size_t> k(n, 0);
    while (true) {
      s.clear();
      for (std::size_t i : k) s += alfabeto[i];
      const std::string r = FormatarNome(s);
      ASSERT_TRUE(r.empty() || r[0] != ' ') << "[" << s << "] -> [" << r << "]";
      // Words begin with a capital and go on in small letters.
      bool inicio = true;
      for (char c : r) {
        if (c == ' ' || c == '/' || c == '\r' || c == '-') {
          inicio = true;
        } else {
          if (c == 'q' || c == 'z' || c == 'Q' || c == 'Z') {
            ASSERT_EQ(inicio, c == 'Q' || c == 'Z') << "[" << s << "] -> [" << r << "]";
          }
          inicio = false;
        }
      }
      // Blanks never pile up between words (a leading "/" or "-" keeps what
      // follows it as typed, and so do the blanks left at the very end).
      const std::size_t dupla = r.find("  ");
      if (dupla != std::string::npos && s.find_first_of("/-") == std::string::npos) {
        ASSERT_EQ(r.find_first_not_of(' ', dupla), std::string::npos)
            << "[" << s << "] -> [" << r << "]";
      }
      std::size_t i = 0;
      while (i < n && ++k[i] == alfabeto.size()) k[i++] = 0;
      if (i == n) break;
    }
  }
}

}  // namespace
}  // namespace tazu
