// Descriptor records, reading and writing, and the anchoring arithmetic.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "skin/Descritor.h"
#include "tests/skin/Apoio.h"

namespace tazu {
namespace {

TRegistroFeicao Registro(int32_t left, int32_t top, int32_t width, int32_t height,
                         bool anchorLeft = true, bool anchorTop = true) {
  return teste::Elemento(0, left, top, width, height, anchorLeft, anchorTop);
}

// Left and top -1 centre (truncating toward zero, also when the element is
// larger than the parent); a far-edge anchor counts from the right or bottom;
// a size of 0 or less stretches to that far from the edge; a fixed size ends at
// the start plus the size.
TEST(Ancoragem, RetanguloDoElementoNoPai) {
  struct TCaso {
    TRegistroFeicao registro;
    TRetangulo esperado;
  };
  const TTamanho pai{200, 150};
  // clang-format off
  const TCaso casos[] = {
      {Registro(-1, -1, 30, 20), {85, 65, 115, 85}},
      {Registro(-1, -1, 10, 153), {95, -1, 105, 152}},
      {Registro(25, 30, 10, 20, false, false), {175, 120, 185, 140}},
      {Registro(5, 8, -10, -12), {5, 8, 190, 138}},
      {Registro(0, 0, 0, 0), {0, 0, 200, 150}},
      {Registro(30, 20, 40, 1, false, false), {170, 130, 210, 131}}};
  // clang-format on
  for (const TCaso& c : casos) {
    const TRetangulo r = RetanguloDoElemento(c.registro, pai);
    EXPECT_EQ(r, c.esperado) << r.Esquerda << " " << r.Topo << " " << r.Direita << " " << r.Base;
    EXPECT_EQ(ElementWidth(c.registro, pai), r.Largura());
    EXPECT_EQ(ElementHeight(c.registro, pai), r.Altura());
  }
}

TEST(Ancoragem, ValoresExtremosNaoTransbordam) {
  const int32_t minimo = std::numeric_limits<int32_t>::min();
  const int32_t maximo = std::numeric_limits<int32_t>::max();
  const TTamanho pai{maximo, maximo};
  const auto r = Registro(minimo, maximo, minimo, maximo, false, false);
  EXPECT_EQ(ElementLeft(r, pai), maximo);
  EXPECT_EQ(ElementRight(r, pai), -1);
  EXPECT_EQ(ElementTop(r, pai), 0);
  EXPECT_EQ(ElementBottom(r, pai), maximo);
  EXPECT_EQ(ElementWidth(r, pai), minimo);
  const auto centro = Registro(-1, -1, minimo, minimo);
  EXPECT_EQ(ElementLeft(centro, TTamanho{maximo, 0}), maximo);
}

TEST(Ancoragem, JanelaContraATela) {
  const TTamanho tela{1280, 1024};
  EXPECT_EQ(PosicaoDaJanela(Registro(-1, -1, 200, 100), tela), (TRetangulo{540, 462, 740, 562}));
  // Sizes of 0 or less are the screen less that much; centring uses the result.
  EXPECT_EQ(PosicaoDaJanela(Registro(-1, -1, -280, -24), tela), (TRetangulo{140, 12, 1140, 1012}));
  // Far-edge anchors count from the screen's right and bottom.
  EXPECT_EQ(PosicaoDaJanela(Registro(300, 50, 240, 400, false, false), tela),
            (TRetangulo{980, 974, 1220, 1374}));
  // A record asking for more than a frame can be painted at is held to the limit.
  const auto enorme = PosicaoDaJanela(Registro(0, 0, 1 << 30, -5000), tela);
  EXPECT_EQ(enorme.Largura(), TamanhoMaximoDeJanela);
  EXPECT_EQ(enorme.Altura(), 1);
}

TEST(Registro, CadaCampoNoSeuDeslocamento) {
  TRegistroFeicao r;
  r.DefinirId(9);
  r.DefinirResizeKind(2);
  r.DefinirLeft(-2);
  r.DefinirTop(0x01020304);
  r.DefinirAnchorLeft(true);
  r.DefinirAnchorTop(false);
  r.DefinirHeight(-7);
  r.DefinirWidth(300);
  r.DefinirColor(0x00C0FFEE);
  r.DefinirFontColor(0x00123456);
  r.DefinirMinWidth(240);
  r.DefinirMinHeight(26);
  r.DefinirText("Botoes\\Ok.bmp");
  r.DefinirLabelKind(1);
  r.DefinirAlignment(2);
  r.DefinirDisabledColor(0x00ABCDEF);
  // Little-endian fields at their offsets.
  const auto& b = r.Bytes();
  // clang-format off
  const std::pair<std::size_t, std::vector<uint8_t>> campos[] = {
      {0, {9, 2}},
      {54, {0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 1, 0, 0xF9, 0xFF, 0xFF, 0xFF,
            0x2C, 0x01, 0, 0, 0xEE, 0xFF, 0xC0, 0}},
      {92, {0x56, 0x34, 0x12, 0, 240, 0, 0, 0, 26, 0, 0, 0}},
      {112, {13, 'B', 'o', 't', 'o', 'e', 's', '\\', 'O', 'k', '.', 'b', 'm', 'p'}},
      {143, {1, 2}},
      {156, {0xEF, 0xCD, 0xAB, 0}}};
  // clang-format on
  for (const auto& [pos, esperado] : campos) {
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + pos, b.begin() + pos + esperado.size()), esperado)
        << pos;
  }
  // And back.
  const TRegistroFeicao lido(r.Bytes());
  EXPECT_EQ(lido.Top(), 0x01020304);
  EXPECT_EQ(lido.Height(), -7);
  EXPECT_EQ(lido.DisabledColor(), 0x00ABCDEFu);
  EXPECT_EQ(lido.Text(), "Botoes\\Ok.bmp");
}

TEST(Registro, TextoCurtoCortadoECodigosDeOpcao) {
  TRegistroFeicao r;
  r.DefinirText(std::string(40, 'x'));
  EXPECT_EQ(r.Text(), std::string(30, 'x'));
  // A length byte past the field reads as the whole field, never beyond.
  auto bytes = r.Bytes();
  bytes[112] = 200;
  bytes[143] = 'y';
  EXPECT_EQ(TRegistroFeicao(bytes).Text(), std::string(30, 'x'));

  // Option codes: one byte per row from offset 143; LabelKind and Alignment
  // are the first two.
  TRegistroFeicao menu;
  for (int linha = 0; linha < 6; ++linha) {
    ASSERT_TRUE(menu.DefinirCodigoDeOpcao(linha, static_cast<uint8_t>(linha + 2)));
  }
  EXPECT_EQ(menu.LabelKind(), 2);
  EXPECT_EQ(menu.Alignment(), 3);
  EXPECT_EQ(menu.Bytes()[148], 7);
  EXPECT_EQ(menu.CodigoDeOpcao(5), 7);
  EXPECT_FALSE(menu.DefinirCodigoDeOpcao(13, 1));
  EXPECT_FALSE(menu.DefinirCodigoDeOpcao(-1, 1));
  EXPECT_EQ(menu.CodigoDeOpcao(13), 0);
  EXPECT_EQ(menu.DisabledColor(), 0u);
}

class ArquivoDeDescritor : public ::testing::Test {
 protected:
  std::string Escrever(const std::string& nome, const std::string& bytes) {
    raiz_.Escrever(nome, bytes);
    return raiz_ / nome;
  }
  teste::TRaizTemporaria raiz_;
};

TEST_F(ArquivoDeDescritor, AusenteTruncadoESobras) {
  std::vector<TRegistroFeicao> lidos(3);
  EXPECT_EQ(LerDescritor(raiz_ / "nada.cap", lidos), TResultadoDaLeitura::Ausente);
  EXPECT_TRUE(lidos.empty());

  TRegistroFeicao janela;
  janela.DefinirWidth(320);
  TRegistroFeicao elemento;
  elemento.DefinirId(4);
  const std::string dois = CodificarDescritor({janela, elemento});
  ASSERT_EQ(dois.size(), 448u);

  EXPECT_EQ(LerDescritor(Escrever("curto.cap", dois.substr(0, 223)), lidos),
            TResultadoDaLeitura::Lido);
  EXPECT_TRUE(lidos.empty());

  EXPECT_EQ(LerDescritor(Escrever("sobra.cap", dois + std::string(100, '\x7F')), lidos),
            TResultadoDaLeitura::Lido);
  ASSERT_EQ(lidos.size(), 2u);
  EXPECT_EQ(lidos[0].Width(), 320);
  EXPECT_EQ(lidos[1].Id(), 4);

  EXPECT_EQ(LerDescritor(Escrever("meio.cap", dois.substr(0, 300)), lidos),
            TResultadoDaLeitura::Lido);
  ASSERT_EQ(lidos.size(), 1u);
  EXPECT_EQ(lidos[0].Width(), 320);

  EXPECT_EQ(LerDescritor(Escrever("vazio.cap", ""), lidos), TResultadoDaLeitura::Lido);
  EXPECT_TRUE(lidos.empty());
}

TEST_F(ArquivoDeDescritor, GravarPreservaBytesNaoLidos) {
  TRegistroFeicao::TBytes bytes;
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  const auto caminho = raiz_ / "bruto.cap";
  ASSERT_TRUE(GravarDescritor(caminho, {TRegistroFeicao(bytes)}));
  std::vector<TRegistroFeicao> lidos;
  ASSERT_EQ(LerDescritor(caminho, lidos), TResultadoDaLeitura::Lido);
  ASSERT_EQ(lidos.size(), 1u);
  EXPECT_EQ(lidos[0].Bytes(), bytes);
}

// Any byte string decodes into its whole records and encodes back to exactly
// those bytes; nothing past the last whole record survives.
TEST(Descritor, BytesQuaisquerIdaEVolta) {
  std::mt19937 gerador(1234);
  std::uniform_int_distribution<int> byte(0, 255), tamanho(0, 5 * 224 + 223);
  for (int rodada = 0; rodada < 200; ++rodada) {
    std::string entrada(static_cast<std::size_t>(tamanho(gerador)), '\0');
    for (char& c : entrada) c = static_cast<char>(byte(gerador));
    const auto registros = DecodificarDescritor(entrada);
    ASSERT_EQ(registros.size(), entrada.size() / 224);
    const std::string volta = CodificarDescritor(registros);
    ASSERT_EQ(volta, entrada.substr(0, registros.size() * 224));
    for (const auto& r : registros) {
      // Reading any field of any record is defined.
      (void)RetanguloDoElemento(r, TTamanho{r.MinWidth(), r.MinHeight()});
      EXPECT_LE(r.Text().size(), 30u);
    }
  }
}

}  // namespace
}  // namespace tazu
