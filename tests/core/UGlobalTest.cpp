#include <gtest/gtest.h>

#include "base/Cp1252.h"
#include "core/UGlobal.h"

namespace tazu {
namespace {

const std::string S = "\xA7";  // the field separator

TEST(ProximoCampo, CutsFieldByFieldUntilEmpty) {
  std::string t = "12" + S + "abc" + S;
  EXPECT_EQ(ProximoCampo(t, S), "12");
  EXPECT_EQ(t, "abc" + S);
  EXPECT_EQ(ProximoCampo(t, S), "abc");
  EXPECT_EQ(t, "");
  EXPECT_EQ(ProximoCampo(t, S), "");
  EXPECT_EQ(t, "");

  std::string semSeparador = "abc";
  EXPECT_EQ(ProximoCampo(semSeparador, S), "abc");
  EXPECT_EQ(semSeparador, "");

  std::string multi = "a::b::c";
  EXPECT_EQ(ProximoCampo(multi, "::"), "a");
  EXPECT_EQ(multi, "b::c");
}

TEST(LerComando, RecognisesBracketedCodesOnly) {
  std::string l = "[CPNG]";
  EXPECT_EQ(LerComando(l), "CPNG");
  EXPECT_EQ(l, "");

  l = "[RVER]" + S + "1" + S + "2";
  EXPECT_EQ(LerComando(l), "RVER");
  EXPECT_EQ(l, "1" + S + "2");

  l = "RVER" + S + "1";
  EXPECT_EQ(LerComando(l), "");
  EXPECT_EQ(l, "RVER" + S + "1");

  l = "[]" + S + "x";
  EXPECT_EQ(LerComando(l), "");
  EXPECT_EQ(l, "x");

  for (std::string torto : {std::string("["), std::string("]"), std::string("[ABC"),
                            std::string("ABC]"), std::string(""), "x[A]" + S}) {
    std::string copia = torto;
    EXPECT_EQ(LerComando(copia), "") << torto;
    EXPECT_EQ(copia, torto);
  }
}

TEST(TagEscaping, EscapesAndRoundTrips) {
  const std::string texto = "d'Ajuda " + S + " fim'\r\n";
  const std::string escapado = CodificarTexto(texto);
  EXPECT_EQ(escapado, "d#<APS>#Ajuda #<QRB># fim#<APS>##<RET>#");
  EXPECT_EQ(DecodificarTexto(escapado), texto);
  // Lone CR and LF are not line breaks of the protocol and pass through.
  EXPECT_EQ(CodificarTexto("a\rb\nc"), "a\rb\nc");
  EXPECT_EQ(CodificarTexto("''"), "#<APS>##<APS>#");
  EXPECT_EQ(DecodificarTexto("#<QRB>#<QRB>#"), S + "<QRB>#");
}

TEST(PairEscaping, FollowsTheTwoDifferentTables) {
  EXPECT_EQ(CodificarApelido("a" + S + "b'c'\r\n"),
            "a\xC0\xD1"
            "b\xC0\xD3"
            "c\xC0\xD3\xC0\xD2");
  EXPECT_EQ(DecodificarApelido("a\xC0\xD0"
                               "b\xC0\xD3"
                               "c\xC0\xD1"),
            "a" + S + "b'c\r\n");
  // The tables are not inverse: an apostrophe survives, "§" returns as CR LF,
  // CR LF returns as the pair the client sent.
  EXPECT_EQ(DecodificarApelido(CodificarApelido("it's")), "it's");
  EXPECT_EQ(DecodificarApelido(CodificarApelido(S)), "\r\n");
  EXPECT_EQ(DecodificarApelido(CodificarApelido("\r\n")), "\xC0\xD2");
}

TEST(RemoverQuebrasFinais, RemovesOnlyTrailingPairs) {
  EXPECT_EQ(RemoverQuebrasFinais("abc\r\n\r\n"), "abc");
  EXPECT_EQ(RemoverQuebrasFinais("abc\r\n\r"), "abc\r\n\r");
  EXPECT_EQ(RemoverQuebrasFinais("abc\n"), "abc\n");
  EXPECT_EQ(RemoverQuebrasFinais("a\r\nb"), "a\r\nb");
  EXPECT_EQ(RemoverQuebrasFinais("\r\n"), "");
  EXPECT_EQ(RemoverQuebrasFinais(""), "");
}

TEST(PrimeiraLinha, TakesAndTrimsTheFirstLine) {
  std::vector<std::string> linhas = {"  a b ", "segunda"};
  EXPECT_EQ(PrimeiraLinha(linhas), "a b");
  ASSERT_EQ(linhas.size(), 1u);
  EXPECT_EQ(linhas[0], "segunda");

  std::vector<std::string> controles = {"\t\x01 x\x1F\x20"};
  EXPECT_EQ(PrimeiraLinha(controles), "x");
  // Bytes above 0x20 with the high bit set (accented letters) are not trimmed.
  std::vector<std::string> acentos = {"\xE9 "};
  EXPECT_EQ(PrimeiraLinha(acentos), "\xE9");

  std::vector<std::string> vazia;
  EXPECT_EQ(PrimeiraLinha(vazia), "");
}

TEST(NomeDoStatus, NamesBaseAndExtendedCodes) {
  std::string nome;
  EXPECT_EQ(NomeDoStatus(102, nome), 6);
  EXPECT_EQ(nome, "Ao telefone");
  EXPECT_EQ(NomeDoStatus(2, nome), 2);
  EXPECT_EQ(cp1252::ToUtf8(nome), "Invisível");
  EXPECT_EQ(NomeDoStatus(7, nome), 7);
  EXPECT_EQ(nome, "Livre para \"Chat\"");
  EXPECT_EQ(NomeDoStatus(103, nome), 8);
  EXPECT_EQ(cp1252::ToUtf8(nome), "Horário de almoço");
  EXPECT_EQ(NomeDoStatus(255, nome), 255);
  EXPECT_EQ(nome, "Desconhecido");

  for (uint8_t desconhecido : {0, 4, 9, 99, 104, 199, 204, 254}) {
    std::string intocado = "antes";
    EXPECT_EQ(NomeDoStatus(desconhecido, intocado), desconhecido);
    EXPECT_EQ(intocado, "antes");
  }
}

TEST(MaiusculasAnsi, UppercasesWindows1252Letters) {
  EXPECT_EQ(MaiusculasAnsi("abc xyz 09"), "ABC XYZ 09");
  EXPECT_EQ(cp1252::ToUtf8(MaiusculasAnsi(cp1252::FromUtf8("ação é ñ ÿ š œ ž"))),
            "AÇÃO É Ñ Ÿ Š Œ Ž");
  // ÷ and ß have no upper case of their own.
  EXPECT_EQ(MaiusculasAnsi("\xF7\xDF"), "\xF7\xDF");
}

TEST(DividirLinhas, SplitsAtEveryKindOfLineEnd) {
  EXPECT_EQ(DividirLinhas("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(DividirLinhas("a\n\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(DividirLinhas("").empty());
}

TEST(LerNumero, AcceptsOnlyPlainDecimalsInRange) {
  uint32_t v = 7;
  EXPECT_TRUE(LerNumero("65535", 65535, v));
  EXPECT_EQ(v, 65535u);
  for (const char* ruim : {"", "65536", "-1", "+1", " 1", "1 ", "1a", "99999999999"})
    EXPECT_FALSE(LerNumero(ruim, 65535, v)) << ruim;
  EXPECT_EQ(v, 65535u);
}

}  // namespace
}  // namespace tazu
