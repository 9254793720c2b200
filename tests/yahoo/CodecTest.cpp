// YMSG packets on the wire: byte layouts, reading back, lengths that do not
// fit, pairs that do not read, and cutting a stream into packets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Expect.h"
#include "yahoo/CodecYahoo.h"

namespace tazu::yahoo {
namespace {

using test::SameBytes;
using namespace std::string_literals;

const std::string kSep = "\xC0\x80";

std::string Cabecalho(uint16_t tamanho, uint16_t servico, uint32_t status, uint32_t sessao) {
  std::string h = "YMSG\x09\x00\x00\x00"s;
  for (const uint32_t v : {uint32_t(tamanho) << 16 | servico, status, sessao})
    for (int s = 24; s >= 0; s -= 8) h.push_back(static_cast<char>(v >> s));
  return h;
}

std::vector<std::pair<int32_t, std::string>> Pares(const TYahooPacket& p) {
  std::vector<std::pair<int32_t, std::string>> v;
  for (const TYahooPair& par : p.Pares()) v.emplace_back(par.Key, par.Value);
  return v;
}

TEST(CodecYmsg, PacotesByteAByte) {
  // Keep-alive: the header alone.
  EXPECT_TRUE(SameBytes("YMSG\x09\x00\x00\x00\x00\x00\x00\x12\x00\x00\x00\x00\x01\x02\x03\x04"s,
                        Serializar(TYahooPacket(0x12, 0, 0x01020304))));
  // Key 1 = "abc" is 8 payload bytes; key 0 is the single digit.
  TYahooPacket p(0x57, 0x5A55AA56, 0);
  p.Adicionar(1, "abc").Adicionar(0, "").Adicionar(96, "x");
  EXPECT_TRUE(
      SameBytes("YMSG\x09\x00\x00\x00\x00\x14\x00\x57\x5A\x55\xAA\x56\x00\x00\x00\x00"
                "1\xC0\x80"
                "abc\xC0\x80"
                "0\xC0\x80\xC0\x80"
                "96\xC0\x80x\xC0\x80"s,
                Serializar(p)));
}

TEST(CodecYmsg, CamposDoCabecalhoUsamTodosOsBits) {
  TYahooPacket lido;
  ASSERT_EQ(LerPacote(Cabecalho(0, 0xFFFF, 0xFFFFFFFF, 0x89ABCDEF), lido), TResultadoLeitura::Ok);
  EXPECT_EQ(lido.Service, 0xFFFF);
  EXPECT_EQ(lido.Status, 0xFFFFFFFFu);
  EXPECT_EQ(lido.SessionID, 0x89ABCDEFu);
}

TEST(CodecYmsg, CargasComoChegamDosServidores) {
  struct Caso {
    const char* nome;
    std::string carga;
    std::vector<std::pair<int32_t, std::string>> pares;
    std::vector<std::string> ruins;  // keys left out
  };
  const std::vector<Caso> casos = {
      {"last value without separator",
       "1" + kSep + "abc" + kSep + "14" + kSep + "oi",
       {{1, "abc"}, {14, "oi"}},
       {}},
      {"repeated keys kept in order",
       "7" + kSep + "a" + kSep + "7" + kSep + "b" + kSep + "7" + kSep + "a" + kSep,
       {{7, "a"}, {7, "b"}, {7, "a"}},
       {}},
      {"a lone last byte holds no pair", "1" + kSep + "a" + kSep + "9", {{1, "a"}}, {}},
      {"key without value", "12", {{12, ""}}, {}},
      {"bad keys alone are dropped",
       "x1" + kSep + "v" + kSep + "1" + kSep + "ok" + kSep + kSep + "empty key" + kSep + "-5" +
           kSep + "n" + kSep + "99999999999" + kSep + "big" + kSep + "2147483647" + kSep + "max" +
           kSep,
       {{1, "ok"}, {2147483647, "max"}},
       {"x1", "", "-5", "99999999999"}},
      {"value holding C0 alone", "14" + kSep + "a\xC0z" + kSep, {{14, "a\xC0z"}}, {}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    TYahooPacket lido;
    std::vector<TParRuim> ruins;
    const std::string bloco = Cabecalho(static_cast<uint16_t>(c.carga.size()), 6, 1, 2) + c.carga;
    ASSERT_EQ(LerPacote(bloco, lido, &ruins), TResultadoLeitura::Ok);
    EXPECT_EQ(Pares(lido), c.pares);
    std::vector<std::string> chaves;
    for (const TParRuim& r : ruins) chaves.push_back(r.chave);
    EXPECT_EQ(chaves, c.ruins);
  }
}

TEST(CodecYmsg, BlocoDeTamanhoDiferenteDoCabecalhoNaoEPacote) {
  TYahooPacket lido;
  const std::string bloco = Cabecalho(3, 6, 0, 0) + "1" + kSep;
  EXPECT_EQ(LerPacote(bloco, lido), TResultadoLeitura::Ok);
  EXPECT_EQ(LerPacote(bloco + "x", lido), TResultadoLeitura::TamanhoDifere);
  EXPECT_EQ(LerPacote(bloco.substr(0, 22), lido), TResultadoLeitura::TamanhoDifere);
  EXPECT_EQ(LerPacote("YMSG", lido), TResultadoLeitura::TamanhoDifere);
}

TEST(CodecYmsg, CargaQueEstourariaOTamanhoNaoEEscrita) {
  TYahooPacket p(6, 0, 0);
  p.Adicionar(14, std::string(65535 - 6, 'x'));  // "14" C0 80 ... C0 80: exactly 65535
  std::string bytes = "keep";
  ASSERT_TRUE(Serializar(p, bytes));
  EXPECT_EQ(bytes.size(), 4u + 20u + 65535u);
  EXPECT_EQ(bytes.substr(12, 2), "\xFF\xFF"s);
  p.Adicionar(1, "");  // 65539 bytes: the length would read 3
  bytes = "keep";
  EXPECT_FALSE(Serializar(p, bytes));
  EXPECT_EQ(bytes, "keep");
  EXPECT_EQ(Serializar(p), "");
}

// ---- Cutting a stream into packets ----

struct Leitura {
  std::vector<std::string> pacotes;
  TLeitorYmsg leitor;
  TLeitorYmsg::TResultado Ler(std::string_view dados) {
    return leitor.Alimentar(dados, [this](std::string_view p) {
      pacotes.emplace_back(p);
      return true;
    });
  }
};

TEST(LeitorYmsg, PacotesCortadosEmQualquerPontoSaemInteiros) {
  TYahooPacket a(6, 1, 9), b(0x12, 0, 9);
  a.Adicionar(4, "bia").Adicionar(14, "oi");
  const std::string pa = Serializar(a), pb = Serializar(b);
  const std::string fluxo = pa + pb + pa;
  // Every cut into two reads, then into single bytes.
  for (std::size_t corte = 0; corte <= fluxo.size(); ++corte) {
    Leitura l;
    EXPECT_EQ(l.Ler(fluxo.substr(0, corte)), TLeitorYmsg::TResultado::Ok);
    EXPECT_EQ(l.Ler(fluxo.substr(corte)), TLeitorYmsg::TResultado::Ok);
    EXPECT_EQ(l.pacotes, (std::vector<std::string>{pa, pb, pa})) << "cut at " << corte;
    EXPECT_EQ(l.leitor.Pendente(), 0u);
  }
  Leitura um;
  for (const char c : fluxo) um.Ler(std::string_view(&c, 1));
  EXPECT_EQ(um.pacotes, (std::vector<std::string>{pa, pb, pa}));
}

TEST(LeitorYmsg, GuardaNoMaximoUmPacoteEParaNumCabecalhoQueNaoEYmsg) {
  Leitura l;
  const std::string grande = Cabecalho(0xFFFF, 6, 0, 0) + std::string(0xFFFF, 'x');
  EXPECT_EQ(l.Ler(grande.substr(0, 40000)), TLeitorYmsg::TResultado::Ok);
  EXPECT_LE(l.leitor.Pendente(), grande.size());
  EXPECT_EQ(l.Ler(grande.substr(40000) + "HTTP/1.1 200 OK\r\n\r\n"),
            TLeitorYmsg::TResultado::Invalido);
  EXPECT_EQ(l.pacotes.size(), 1u);
  EXPECT_EQ(l.leitor.Pendente(), 0u);
  Leitura cortado;  // the bad header itself arriving in pieces
  EXPECT_EQ(cortado.Ler("YMS"), TLeitorYmsg::TResultado::Ok);
  EXPECT_EQ(cortado.Ler("X\x09\x00\x00\x00\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00\x00"s),
            TLeitorYmsg::TResultado::Invalido);
}

TEST(LeitorYmsg, QuemParaDescartaOResto) {
  TLeitorYmsg leitor;
  const std::string p = Serializar(TYahooPacket(0x12, 0, 0));
  int vistos = 0;
  EXPECT_EQ(
      leitor.Alimentar(p + p + p.substr(0, 5), [&](std::string_view) { return ++vistos < 1; }),
      TLeitorYmsg::TResultado::Parou);
  EXPECT_EQ(vistos, 1);
}

}  // namespace
}  // namespace tazu::yahoo
