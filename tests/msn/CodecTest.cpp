// The MSN codec: the stream cut into lines and payloads whatever the reads,
// its bounds, MIME payloads, nicknames, status words and digests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Cp1252.h"
#include "msn/CodecMSN.h"
#include "msn/CodecMensagemMSN.h"

namespace tazu::msn {
namespace {

using Quadros = std::vector<std::string>;

// Feeds the chunks in order; each unit as "line" or "line | payload".
Quadros Ler(TLeitorMSN& leitor, const std::vector<std::string>& pedacos,
            TLeitorMSN::Resultado* fim = nullptr) {
  Quadros q;
  TLeitorMSN::Resultado r = TLeitorMSN::Resultado::Continua;
  for (const std::string& p : pedacos) {
    r = leitor.Alimentar(p, [&](const TQuadroMSN& u) {
      q.push_back(std::string(u.linha) + (u.temPayload ? " | " + std::string(u.payload) : ""));
      return true;
    });
  }
  if (fim) *fim = r;
  return q;
}

const std::string kFluxo =
    "ILN 7 NLN bob@tazu.test Bob\r\n"
    "MSG bob@tazu.test Bob 11\r\nab\r\ncd\r\nefg"
    "MSG x y 0\r\n"
    "MSG x y nove\r\n"
    "QRY 10\r\n"
    "FLN bob@tazu.test\r\n";
const Quadros kEsperados = {"ILN 7 NLN bob@tazu.test Bob",
                            "MSG bob@tazu.test Bob 11 | ab\r\ncd\r\nefg",
                            "MSG x y 0 | ",
                            "MSG x y nove",
                            "QRY 10",
                            "FLN bob@tazu.test"};

TEST(LeitorMSN, QualquerCorteDasLeiturasDaOsMesmosQuadros) {
  {
    TLeitorMSN leitor;
    EXPECT_EQ(Ler(leitor, {kFluxo}), kEsperados) << "tudo numa leitura";
  }
  for (std::size_t corte = 1; corte < kFluxo.size(); ++corte) {
    TLeitorMSN leitor;
    EXPECT_EQ(Ler(leitor, {kFluxo.substr(0, corte), kFluxo.substr(corte)}), kEsperados)
        << "corte em " << corte;
  }
  TLeitorMSN leitor;
  std::vector<std::string> bytes;
  for (const char c : kFluxo) bytes.emplace_back(1, c);
  EXPECT_EQ(Ler(leitor, bytes), kEsperados) << "byte a byte";
  EXPECT_EQ(leitor.Pendente(), 0u);
}

TEST(LeitorMSN, LinhaOuPayloadAlemDoLimiteParaALeitura) {
  struct Caso {
    const char* nome;
    std::vector<std::string> pedacos;
    TLeitorMSN::Resultado esperado;
    Quadros antes;
  };
  const std::string longa(40, 'x');
  const std::vector<Caso> casos = {
      {"linha longa sem fim", {"OK 1\r\n" + longa}, TLeitorMSN::Resultado::LinhaLonga, {"OK 1"}},
      {"linha longa em pedaços",
       {longa.substr(0, 20), longa.substr(20) + "\r\n"},
       TLeitorMSN::Resultado::LinhaLonga,
       {}},
      {"payload grande", {"MSG a b 33\r\n"}, TLeitorMSN::Resultado::PayloadGrande, {}},
      {"no limite",
       {std::string(32, 'y') + "\r\nMSG a b 32\r\n" + std::string(32, 'z')},
       TLeitorMSN::Resultado::Continua,
       {std::string(32, 'y'), "MSG a b 32 | " + std::string(32, 'z')}},
  };
  for (const Caso& c : casos) {
    TLeitorMSN leitor(32, 32);
    TLeitorMSN::Resultado r;
    EXPECT_EQ(Ler(leitor, c.pedacos, &r), c.antes) << c.nome;
    EXPECT_EQ(r, c.esperado) << c.nome;
    if (r != TLeitorMSN::Resultado::Continua) {
      EXPECT_EQ(Ler(leitor, {"FLN x\r\n"}, &r), Quadros{}) << c.nome << ": nada depois da quebra";
      EXPECT_EQ(r, TLeitorMSN::Resultado::Parado);
    }
  }
}

TEST(LeitorMSN, QuemRecusaOQuadroParaOResto) {
  TLeitorMSN leitor;
  int vistos = 0;
  const auto r =
      leitor.Alimentar("A 1\r\nB 2\r\nC 3\r\n", [&](const TQuadroMSN&) { return ++vistos < 2; });
  EXPECT_EQ(r, TLeitorMSN::Resultado::Parado);
  EXPECT_EQ(vistos, 2);
}

TEST(LinhaMSN, PalavrasRestoENumeros) {
  TLinhaMSN l;
  DividirLinha("LST 5 FL 12  1 2 bob@tazu.test Bob%20B 0", l);
  EXPECT_EQ(l.comando, "LST");
  EXPECT_EQ(l.Arg(5), "bob@tazu.test");  // the double space makes no empty word
  EXPECT_EQ(l.Arg(9), "");
  EXPECT_EQ(l.Resto(6), "Bob%20B 0");
  uint32_t n = 0;
  EXPECT_TRUE(LerNumeroMSN("4294967295", n));
  EXPECT_FALSE(LerNumeroMSN("4294967296", n));
  EXPECT_FALSE(LerNumeroMSN("12a", n));
  EXPECT_FALSE(LerNumeroMSN("-1", n));
  // A word that would end the word or the line is refused.
  for (const char* ruim : {"", "a b", "a\r\nOUT", "a\tb", "a\x7f"})
    EXPECT_FALSE(PalavraValida(ruim));
  EXPECT_TRUE(PalavraValida("bob@tazu.test"));
}

TEST(EstadosMSN, NosDoisSentidos) {
  const std::vector<std::pair<std::string, int>> estados = {
      {"FLN", 3},   {"NLN", 1},   {"HDN", 2},   {"BSY", 6}, {"AWY", 8}, {"IDL", 100},
      {"BRB", 101}, {"PHN", 102}, {"LUN", 103}, {"XYZ", 1}, {"", 1}};
  for (const auto& [estado, codigo] : estados) EXPECT_EQ(CodigoDoEstado(estado), codigo) << estado;
  const std::vector<std::pair<int, std::string>> codigos = {
      {1, "NLN"},   {2, "HDN"},   {3, "FLN"},   {5, "BSY"},   {6, "BSY"},   {7, "NLN"},  {8, "AWY"},
      {100, "IDL"}, {101, "BRB"}, {102, "PHN"}, {103, "LUN"}, {200, "NLN"}, {255, "NLN"}};
  for (const auto& [codigo, estado] : codigos)
    EXPECT_EQ(EstadoDoCodigo(static_cast<uint8_t>(codigo)), estado) << codigo;
}

TEST(ApelidosMSN, DecodificadosDaRedeEDeVolta) {
  const std::vector<std::pair<std::string, std::string>> casos = {
      {"Some%20Name", "Some Name"},
      {"bob@tazu.test", "bob"},
      {"Bia%40casa%20nova", "Bia"},
      {"Jos%C3%A9%20%E2%82%AC", "José €"},  // UTF-8, as the wire carries it
      {"Jos%E9", "José"},                   // a Latin-1 byte is kept as it is
      {"100%25", "100%"},
      {"meio%2", "meio%2"},
  };
  for (const auto& [rede, esperado] : casos)
    EXPECT_EQ(cp1252::ToUtf8(DecodificarApelido(rede)), esperado) << rede;
  const std::string apelido = cp1252::FromUtf8("Ana Lúcia & cia");
  EXPECT_EQ(CodificarApelido(apelido), "Ana%20L%C3%BAcia%20%26%20cia");
  EXPECT_EQ(DecodificarApelido(CodificarApelido(apelido)), apelido);
}

TEST(MensagemMIME, TextoControleECabecalhosForaDeOrdem) {
  const std::string texto = MontarMensagemDeTexto("ol\xC3\xA1\r\nmundo");
  EXPECT_EQ(texto,
            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
            "X-MMS-IM-Format: FN=Microsoft%20Sans%20Serif; EF=; CO=0; CS=0; PF=22\r\n\r\n"
            "ol\xC3\xA1\r\nmundo");
  TMensagemMIME m = LerMensagemMIME(texto);
  EXPECT_EQ(m.versao, "1.0");
  EXPECT_EQ(m.tipo, TMensagemMIME::Tipo::Texto);
  EXPECT_TRUE(m.utf8);
  EXPECT_EQ(m.corpo, "ol\xC3\xA1\r\nmundo");

  m = LerMensagemMIME(
      "content-type: TEXT/PLAIN;  Charset = utf-8 ; x=y\nMIME-Version: 1.0\n\na\nb\n\n");
  EXPECT_EQ(m.tipo, TMensagemMIME::Tipo::Texto);
  EXPECT_TRUE(m.utf8);
  EXPECT_EQ(m.corpo, "a\r\nb") << "line breaks travel on as CR LF, none at the end";

  m = LerMensagemMIME("MIME-Version: 1.0\r\nContent-Type: text/plain\r\n\r\nsem charset");
  EXPECT_FALSE(m.utf8);
  m = LerMensagemMIME(MontarAvisoDeDigitacao("bob@tazu.test"));
  EXPECT_EQ(m.tipo, TMensagemMIME::Tipo::Controle);
  EXPECT_EQ(m.digitando, "bob@tazu.test");
  m = LerMensagemMIME("Content-Type: text/x-msmsgsprofile; charset=UTF-8\r\nLoginTime: 1");
  EXPECT_EQ(m.tipo, TMensagemMIME::Tipo::Perfil);
  EXPECT_EQ(m.corpo, "") << "no empty line: all headers";
}

TEST(MensagemMIME, FormatoDaFonte) {
  TFonteMSN f = LerFormatoDeFonte("FN=Arial%20Black; EF=BIU; CO=ff8000; CS=0; PF=22");
  EXPECT_EQ(f.nome, "Arial Black");
  EXPECT_TRUE(f.negrito && f.italico && f.sublinhado);
  EXPECT_FALSE(f.riscado);
  EXPECT_EQ(f.cor, 0xFF8000u);
  f = LerFormatoDeFonte("CO=1g2; EF=S");
  EXPECT_EQ(f.cor, 0x102u) << "what is not a hex digit counts as 0";
  EXPECT_TRUE(f.riscado);
}

}  // namespace
}  // namespace tazu::msn
