#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "base/Cp1252.h"

namespace tazu {
namespace {

// glibc's iconv is the reference for the conversion table.
std::string Iconv(const char* de, const char* para, const std::string& texto) {
  iconv_t cd = iconv_open(para, de);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string in = texto;
  std::string out(texto.size() * 4 + 4, '\0');
  char* pin = in.data();
  char* pout = out.data();
  size_t nin = in.size(), nout = out.size();
  const size_t r = iconv(cd, &pin, &nin, &pout, &nout);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return "<invalid>";
  out.resize(out.size() - nout);
  return out;
}

TEST(Cp1252, AgreesWithIconvOnEveryDefinedByte) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::string esperado = Iconv("CP1252", "UTF-8", byte);
    if (esperado == "<invalid>") {
      // Undefined in the code page: kept as the matching C1 control.
      EXPECT_EQ(cp1252::FromUtf8(cp1252::ToUtf8(byte)), byte) << b;
      continue;
    }
    EXPECT_EQ(cp1252::ToUtf8(byte), esperado) << b;
    EXPECT_EQ(cp1252::FromUtf8(esperado), byte) << b;
  }
}

TEST(Cp1252, ReplacesWhatTheCodePageLacksAndMalformedInput) {
  for (const auto& [utf8, cp1252] :
       std::vector<std::pair<std::string, std::string>>{{"a\xE4\xB8\xAD"
                                                         "b",
                                                         "a?b"},  // a character the code page lacks
                                                        {"\xF0\x9F\x98\x80", "?"},  // an emoji
                                                        {"x\xC3", "x?"},     // a cut sequence
                                                        {"\xC0\xAF", "??"},  // overlong
                                                        {"\xED\xA0\x80", "???"}}) {  // a surrogate
    EXPECT_EQ(cp1252::FromUtf8(utf8), cp1252) << cp1252;
  }
  EXPECT_EQ(cp1252::FromUtf8("\xE4\xB8\xAD", '_'), "_");
  constexpr std::string_view nao = "Não €"_cp;  // converted at compile time
  static_assert(nao.size() == 5);
  EXPECT_EQ(nao, std::string_view("N\xE3o \x80"));
}

}  // namespace
}  // namespace tazu
