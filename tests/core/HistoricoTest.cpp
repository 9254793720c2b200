#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "core/Caminhos.h"
#include "core/UCriptografia.h"
#include "core/UHistorico.h"
#include "tests/core/EmbaralhadorOriginal.h"
#include "tests/support/RaizTemporaria.h"

namespace tazu {
namespace {

const std::string S = "\xA7";

class Historico : public ::testing::Test {
 protected:
  teste::TRaizTemporaria raiz_;
};

TEST_F(Historico, LinhasVoltamComSeparadoresAspasEQuebras) {
  const std::string texto = "pre" + S + "co 'a'\r\nsegunda linha";
  ASSERT_TRUE(GravaHistorico(10, "Tazu", "20", HistoricoRecebida, "06-12-2026 10:30", texto,
                             "Bia" + S + ": "));
  ASSERT_TRUE(GravaHistorico(10, "Tazu", "20", HistoricoNaoEntregue, "06-12-2026 10:31", "x",
                             "Bia n\xE3o est\xE1 conectado"));
  const auto linhas = LerHistorico(10, "Tazu", "20");
  ASSERT_EQ(linhas.size(), 2u);
  EXPECT_EQ(linhas[0].Tipo, HistoricoRecebida);
  EXPECT_EQ(linhas[0].Hora, "06-12-2026 10:30");
  EXPECT_EQ(linhas[0].Cabecalho, "Bia" + S + ": ");
  EXPECT_EQ(linhas[0].Texto, texto);
  EXPECT_EQ(linhas[1].Tipo, HistoricoNaoEntregue);
  EXPECT_EQ(linhas[1].Cabecalho, "Bia n\xE3o est\xE1 conectado");
}

TEST_F(Historico, ArquivoTemLinhasEmbaralhadasComAChaveDoUsuario) {
  ASSERT_TRUE(
      GravaHistorico(130, "MSN", "bia@x.com", HistoricoEnviada, "01-01-2027 00:00", "oi", "Ana: "));
  const std::string arquivo = ArquivoDeHistorico(130, "MSN", "bia@x.com");
  EXPECT_EQ(arquivo, raiz_ /
                         "Hst/130\xC2\xA7MSN\xC2\xA7"
                         "bia@x.com.hst");
  TCriptografia c;
  c.Chave = ChaveDoHistorico(130);
  EXPECT_EQ(raiz_.Ler("Hst/130\xC2\xA7MSN\xC2\xA7"
                      "bia@x.com.hst"),
            c.Embaralhar("1" + S + "01-01-2027 00:00" + S + "Ana: " + S + "oi") + "\r\n");
  EXPECT_EQ(teste::TRaizTemporaria::Modo(arquivo), 0600u);
  EXPECT_EQ(teste::TRaizTemporaria::Modo(raiz_ / "Hst"), 0700u);
  for (int niu : {0, 63, 64, 65535}) {
    const int k = ChaveDoHistorico(static_cast<uint16_t>(niu));
    EXPECT_TRUE(k >= 1 && k <= 64) << niu;
  }
}

TEST_F(Historico, NomesSeparadosPorUsuarioEPresosEmHst) {
  EXPECT_NE(ArquivoDeHistorico(1, "Tazu", "9"), ArquivoDeHistorico(2, "Tazu", "9"));
  const std::string perigoso = ArquivoDeHistorico(1, "Yahoo", "../../etc/passwd");
  EXPECT_EQ(perigoso.find('/', (raiz_ / "Hst/").size()), std::string::npos) << perigoso;
  EXPECT_FALSE(ExisteHistorico(1, "Tazu", "9"));
  EXPECT_TRUE(LerHistorico(1, "Tazu", "9").empty());
  ASSERT_TRUE(GravaHistorico(1, "Tazu", "9", 0, "h", "t", "c"));
  EXPECT_TRUE(ExisteHistorico(1, "Tazu", "9"));
  EXPECT_TRUE(ApagarHistorico(1, "Tazu", "9"));
  EXPECT_FALSE(ExisteHistorico(1, "Tazu", "9"));
  EXPECT_TRUE(ApagarHistorico(1, "Tazu", "9"));
}

TEST_F(Historico, LinhasDanificadasNaoInterrompemALeitura) {
  TCriptografia c;
  const std::string bytes = "lixo\r\n\r\n" + c.Embaralhar("9x" + S + "h" + S + "c" + S + "t") +
                            "\n" + c.Embaralhar("1" + S + "h" + S + "c" + S + "t") + "\r\n";
  const auto linhas = LerLinhasDeHistorico(bytes, c.Chave);
  ASSERT_EQ(linhas.size(), 3u);
  EXPECT_EQ(linhas[1].Tipo, HistoricoRecebida);  // a kind that does not read
  EXPECT_EQ(linhas[2].Tipo, HistoricoEnviada);
  EXPECT_EQ(linhas[2].Texto, "t");
}

// Lines the first scrambler wrote, where a pair it left alone reads to us as an
// escape, come back as they were written.
TEST_F(Historico, LinhasDoPrimeiroEmbaralhadorSeLeemComoForamEscritas) {
  std::mt19937 rng(8);
  const uint8_t chave = ChaveDoHistorico(42);
  std::string arquivo;
  std::vector<std::string> textos;
  for (int n = 0; n < 200000 && textos.size() < 20; ++n) {
    std::string texto(1 + rng() % 30, ' ');
    for (char& ch : texto) ch = static_cast<char>(0x20 + rng() % 0xE0);
    std::replace(texto.begin(), texto.end(), '\xA7', 'x');  // a field separator
    const std::string linha = "1" + S + "01-02-2003 04:05" + S + "Ana: " + S + texto;
    const std::string antiga = teste::EmbaralharOriginal(linha, chave);
    if (!teste::LidoDeDuasManeiras(linha, chave) ||
        antiga.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
      continue;
    arquivo += antiga + "\r\n";
    textos.push_back(texto);
  }
  ASSERT_EQ(textos.size(), 20u);
  std::filesystem::create_directory(raiz_ / "Hst");
  std::ofstream(ArquivoDeHistorico(42, "Tazu", "7"), std::ios::binary) << arquivo;
  const auto linhas = LerHistorico(42, "Tazu", "7");
  ASSERT_EQ(linhas.size(), textos.size());
  for (std::size_t i = 0; i < textos.size(); ++i) EXPECT_EQ(linhas[i].Texto, textos[i]) << i;
}

}  // namespace
}  // namespace tazu
