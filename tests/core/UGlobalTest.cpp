#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "core/UGlobal.h"

namespace tazu {
namespace {

const std::string S = "\xA7";  // the field separator

TEST(Campos, ProximoCampoELerComando) {
  std::string t = "12" + S + "abc" + S;
  EXPECT_EQ(ProximoCampo(t, S), "12");
  EXPECT_EQ(ProximoCampo(t, S), "abc");
  EXPECT_EQ(t, "");
  EXPECT_EQ(ProximoCampo(t, S), "");
  std::string multi = "a::b::c";
  EXPECT_EQ(ProximoCampo(multi, "::"), "a");
  EXPECT_EQ(multi, "b::c");

  // A code in brackets at the start, taken with its separator.
  const std::vector<std::tuple<std::string, std::string, std::string>> linhas = {
      {"[CPNG]", "CPNG", ""},
      {"[RVER]" + S + "1" + S + "2", "RVER", "1" + S + "2"},
      {"[]" + S + "x", "", "x"},
      {"RVER" + S + "1", "", "RVER" + S + "1"},
      {"[ABC", "", "[ABC"},
      {"x[A]" + S, "", "x[A]" + S},
      {"", "", ""}};
  for (const auto& [linha, codigo, resto] : linhas) {
    std::string l = linha;
    EXPECT_EQ(LerComando(l), codigo) << linha;
    EXPECT_EQ(l, resto) << linha;
  }
}

TEST(Escapes, TagsEPares) {
  const std::string texto = "d'Ajuda " + S + " fim'\r\n";
  EXPECT_EQ(CodificarTexto(texto), "d#<APS>#Ajuda #<QRB># fim#<APS>##<RET>#");
  EXPECT_EQ(DecodificarTexto(CodificarTexto(texto)), texto);
  EXPECT_EQ(CodificarTexto("a\rb\nc"), "a\rb\nc");  // lone CR and LF are not breaks
  EXPECT_EQ(DecodificarTexto("#<QRB>#<QRB>#"), S + "<QRB>#");

  // Nicknames: two tables that are not each other's inverse.
  EXPECT_EQ(CodificarApelido("a" + S + "b'c'\r\n"),
            "a\xC0\xD1"
            "b\xC0\xD3"
            "c\xC0\xD3\xC0\xD2");
  EXPECT_EQ(DecodificarApelido("a\xC0\xD0"
                               "b\xC0\xD3"
                               "c\xC0\xD1"),
            "a" + S + "b'c\r\n");
  EXPECT_EQ(DecodificarApelido(CodificarApelido(S)), "\r\n");
  EXPECT_EQ(DecodificarApelido(CodificarApelido("\r\n")), "\xC0\xD2");
}

TEST(Linhas, QuebrasFinaisPrimeiraLinhaEDivisao) {
  for (const auto& [antes, depois] :
       std::vector<std::pair<std::string, std::string>>{{"abc\r\n\r\n", "abc"},
                                                        {"abc\r\n\r", "abc\r\n\r"},
                                                        {"abc\n", "abc\n"},
                                                        {"a\r\nb", "a\r\nb"},
                                                        {"\r\n", ""}}) {
    EXPECT_EQ(RemoverQuebrasFinais(antes), depois) << antes;
  }
  std::vector<std::string> linhas = {"\t\x01 a b\x1F\x20", "\xE9 "};
  EXPECT_EQ(PrimeiraLinha(linhas), "a b");
  EXPECT_EQ(PrimeiraLinha(linhas), "\xE9");  // accented letters are not trimmed
  EXPECT_EQ(PrimeiraLinha(linhas), "");
  EXPECT_EQ(DividirLinhas("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(DividirLinhas("a\n\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
}

TEST(NomeDoStatus, CodigosBasicosEEstendidos) {
  for (const auto& [codigo, base, nome] :
       std::vector<std::tuple<uint8_t, int, std::string>>{{102, 6, "Ao telefone"},
                                                          {2, 2, "Invisível"},
                                                          {7, 7, "Livre para \"Chat\""},
                                                          {103, 8, "Horário de almoço"},
                                                          {255, 255, "Desconhecido"}}) {
    std::string texto;
    EXPECT_EQ(NomeDoStatus(codigo, texto), base) << int(codigo);
    EXPECT_EQ(cp1252::ToUtf8(texto), nome);
  }
  for (uint8_t desconhecido : {0, 4, 9, 99, 104, 199, 204, 254}) {
    std::string intocado = "antes";
    EXPECT_EQ(NomeDoStatus(desconhecido, intocado), desconhecido);
    EXPECT_EQ(intocado, "antes");
  }
}

TEST(Textos, MaiusculasAnsiELerNumero) {
  EXPECT_EQ(cp1252::ToUtf8(MaiusculasAnsi(cp1252::FromUtf8("ação é ñ ÿ š œ ž 09"))),
            "AÇÃO É Ñ Ÿ Š Œ Ž 09");
  EXPECT_EQ(MaiusculasAnsi("\xF7\xDF"), "\xF7\xDF");  // ÷ and ß have no upper case
  uint32_t v = 7;
  EXPECT_TRUE(LerNumero("65535", 65535, v));
  EXPECT_EQ(v, 65535u);
  for (const char* ruim : {"", "65536", "-1", "+1", " 1", "1 ", "1a", "99999999999"})
    EXPECT_FALSE(LerNumero(ruim, 65535, v)) << ruim;
  EXPECT_EQ(v, 65535u);
}

}  // namespace
}  // namespace tazu
