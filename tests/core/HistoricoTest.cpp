#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/Caminhos.h"
#include "core/UCriptografia.h"
#include "core/UHistorico.h"
#include "tests/core/EmbaralhadorOriginal.h"

namespace tazu {
namespace {

const std::string S = "\xA7";

class Historico : public ::testing::Test {
 protected:
  void SetUp() override {
    char modelo[] = "/tmp/tazu-hst-XXXXXX";
    raiz_ = mkdtemp(modelo);
    const char* antes = std::getenv("TAZU_HOME");
    if (antes) anterior_ = antes;
    setenv("TAZU_HOME", raiz_.c_str(), 1);
  }
  void TearDown() override {
    if (anterior_.empty())
      unsetenv("TAZU_HOME");
    else
      setenv("TAZU_HOME", anterior_.c_str(), 1);
    std::filesystem::remove_all(raiz_);
  }
  std::string raiz_, anterior_;
};

TEST_F(Historico, LinesRoundTripWithSeparatorsQuotesAndBreaks) {
  const std::string texto = "pre" + S + "co 'a'\r\nsegunda linha";
  ASSERT_TRUE(GravaHistorico(10, "Tazu", "20", HistoricoRecebida, "06-12-2026 10:30", texto,
                             "Bia" + S + ": "));
  ASSERT_TRUE(GravaHistorico(10, "Tazu", "20", HistoricoNaoEntregue, "06-12-2026 10:31", "x",
                             "Bia n\xE3o est\xE1 conectado"));
  const auto linhas = LerHistorico(10, "Tazu", "20");
  ASSERT_EQ(linhas.size(), 2u);
  EXPECT_EQ(linhas[0].Tipo, 0);
  EXPECT_EQ(linhas[0].Hora, "06-12-2026 10:30");
  EXPECT_EQ(linhas[0].Cabecalho, "Bia" + S + ": ");
  EXPECT_EQ(linhas[0].Texto, texto);
  EXPECT_EQ(linhas[1].Tipo, 2);
  EXPECT_EQ(linhas[1].Cabecalho, "Bia n\xE3o est\xE1 conectado");
}

TEST_F(Historico, FileBytesAreScrambledLinesWithTheUsersKey) {
  ASSERT_TRUE(
      GravaHistorico(130, "MSN", "bia@x.com", HistoricoEnviada, "01-01-2027 00:00", "oi", "Ana: "));
  const std::string arquivo = ArquivoDeHistorico(130, "MSN", "bia@x.com");
  EXPECT_EQ(arquivo, raiz_ +
                         "/Hst/130\xC2\xA7MSN\xC2\xA7"
                         "bia@x.com.hst");
  std::string bytes;
  ASSERT_EQ(LerArquivo(arquivo, bytes), TLeitura::Lido);
  TCriptografia c;
  c.Chave = ChaveDoHistorico(130);
  EXPECT_EQ(bytes, c.Embaralhar("1" + S + "01-01-2027 00:00" + S + "Ana: " + S + "oi") + "\r\n");
  struct stat st {};
  ASSERT_EQ(stat(arquivo.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(stat((raiz_ + "/Hst").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(Historico, KeysNamesAndRemoval) {
  for (int niu : {0, 1, 63, 64, 65535}) {
    const int k = ChaveDoHistorico(static_cast<uint16_t>(niu));
    EXPECT_GE(k, 1);
    EXPECT_LE(k, 64);
  }
  // Two local users, two files; an identifier cannot lead out of Hst/.
  EXPECT_NE(ArquivoDeHistorico(1, "Tazu", "9"), ArquivoDeHistorico(2, "Tazu", "9"));
  const std::string perigoso = ArquivoDeHistorico(1, "Yahoo", "../../etc/passwd");
  EXPECT_EQ(perigoso.find('/', (raiz_ + "/Hst/").size()), std::string::npos) << perigoso;
  EXPECT_FALSE(ExisteHistorico(1, "Tazu", "9"));
  EXPECT_TRUE(LerHistorico(1, "Tazu", "9").empty());
  ASSERT_TRUE(GravaHistorico(1, "Tazu", "9", 0, "h", "t", "c"));
  EXPECT_TRUE(ExisteHistorico(1, "Tazu", "9"));
  EXPECT_TRUE(ApagarHistorico(1, "Tazu", "9"));
  EXPECT_FALSE(ExisteHistorico(1, "Tazu", "9"));
  EXPECT_TRUE(ApagarHistorico(1, "Tazu", "9"));
}

TEST_F(Historico, DamagedLinesDoNotStopTheReading) {
  TCriptografia c;
  const std::string bytes = "lixo\r\n\r\n" + c.Embaralhar("9x" + S + "h" + S + "c" + S + "t") +
                            "\n" + c.Embaralhar("1" + S + "h" + S + "c" + S + "t") + "\r\n";
  const auto linhas = LerLinhasDeHistorico(bytes, TCriptografia::ChavePadrao);
  ASSERT_EQ(linhas.size(), 3u);
  EXPECT_EQ(linhas[1].Tipo, 0);
  EXPECT_EQ(linhas[2].Tipo, 1);
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
    const std::string linha = "1" + S + "01-02-2003 04:05" + S + "Ana: " + S + texto;
    const std::string antiga = teste::EmbaralharOriginal(linha, chave);
    if (!teste::LidoDeDuasManeiras(linha, chave) ||
        antiga.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
      continue;
    arquivo += antiga + "\r\n";
    textos.push_back(texto);
  }
  std::filesystem::create_directories(raiz_ + "/Hst");
  std::ofstream(ArquivoDeHistorico(42, "Tazu", "7"), std::ios::binary) << arquivo;
  const auto linhas = LerHistorico(42, "Tazu", "7");
  ASSERT_EQ(textos.size(), 20u);
  ASSERT_EQ(linhas.size(), textos.size());
  for (std::size_t i = 0; i < textos.size(); ++i) EXPECT_EQ(linhas[i].Texto, textos[i]) << i;
}

}  // namespace
}  // namespace tazu
