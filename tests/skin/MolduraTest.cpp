// Frame painting from the eight pieces, and the window shape cut from it.
#include <gtest/gtest.h>

#include <QPainter>
#include <QWidget>

#include "skin/BmpRgn.h"
#include "skin/UFeicoesVariaveis.h"
#include "tests/skin/Apoio.h"

namespace tazu {
namespace {

using teste::Cheia;

constexpr QRgb Fundo = 0xFF102030;

// Every piece a distinct colour and size, so each pixel tells who drew it.
TPecasMoldura Pecas() {
  TPecasMoldura p;
  p[SE] = Cheia(10, 12, 0xFF0000AA);
  p[CS] = Cheia(7, 5, 0xFF00AA00);
  p[SD] = Cheia(9, 11, 0xFFAA0000);
  p[CD] = Cheia(4, 6, 0xFFAAAA00);
  p[ID] = Cheia(8, 9, 0xFF00AAAA);
  p[CI] = Cheia(6, 3, 0xFFAA00AA);
  p[IE] = Cheia(11, 10, 0xFF555555);
  p[CE] = Cheia(3, 8, 0xFF999999);
  return p;
}

// Each point of the picture has the colour expected (alpha ignored).
void Confere(const QImage& i, std::initializer_list<std::tuple<int, int, QRgb>> pontos) {
  for (const auto& [x, y, cor] : pontos) {
    EXPECT_EQ(i.pixel(x, y) | 0xFF000000, cor) << x << "," << y;
  }
}

// Corners are painted last, over the edges. The top edge starts at SE's right
// edge in whole tiles, the last running under SD; the right edge starts at the
// very top (under SD), the left edge at SE's bottom, the bottom edge at x = 0
// (under IE). The colour fills the inside.
TEST(Moldura, CantosPorCimaDasBordasLadrilhadas) {
  const QImage i = PintarMoldura(60, 50, Pecas(), QColor::fromRgb(Fundo));
  ASSERT_EQ(i.size(), QSize(50, 60));
  // clang-format off
  Confere(i, {{0, 0, 0xFF0000AA}, {9, 11, 0xFF0000AA}, {41, 0, 0xFFAA0000}, {49, 10, 0xFFAA0000},
              {42, 51, 0xFF00AAAA}, {0, 50, 0xFF555555}, {10, 0, 0xFF00AA00}, {40, 4, 0xFF00AA00},
              {20, 5, Fundo}, {46, 11, 0xFFAAAA00}, {45, 30, Fundo}, {0, 12, 0xFF999999},
              {2, 49, 0xFF999999}, {3, 30, Fundo}, {11, 57, 0xFFAA00AA}, {41, 59, 0xFFAA00AA},
              {20, 56, Fundo}, {25, 30, Fundo}});
  // clang-format on
}

TEST(Moldura, PecasAusentesOuGrandesDemaisNaoSaoDesenhadas) {
  TPecasMoldura p = Pecas();
  p[SE] = p[CD] = p[IE] = QImage();
  // Without SE the top edge starts at 0 and the left edge at the top, over it.
  const QImage i = PintarMoldura(40, 40, p, QColor::fromRgb(Fundo));
  Confere(i, {{5, 0, 0xFF00AA00}, {0, 0, 0xFF999999}, {1, 6, 0xFF999999}, {37, 20, Fundo}});
  Confere(i, {{5, 39, 0xFFAA00AA}});
  Confere(PintarMoldura(20, 30, TPecasMoldura{}, QColor::fromRgb(Fundo)),
          {{0, 0, Fundo}, {29, 19, Fundo}, {15, 10, Fundo}});

  TPecasMoldura q;
  q[SE] = Cheia(4, 4, 0xFF0000AA);
  q[SD] = Cheia(4, 4, 0xFFAA0000);
  q[CS] = Cheia(30, 4, 0xFF00AA00);  // wider than the room between the corners
  q[CE] = Cheia(3, 50, 0xFF999999);  // taller than the window
  Confere(PintarMoldura(20, 20, q, QColor::fromRgb(Fundo)),
          {{10, 1, Fundo}, {1, 10, Fundo}, {0, 0, 0xFF0000AA}, {19, 0, 0xFFAA0000}});
  q[CS] = Cheia(12, 4, 0xFF00AA00);  // exactly as wide as the room: drawn once
  Confere(PintarMoldura(20, 20, q, QColor::fromRgb(Fundo)), {{10, 1, 0xFF00AA00}});
}

TEST(Regiao, MargemTransparenteECorDoCantoPorDentro) {
  // A frame whose top-left colour also paints a hole in the middle.
  QImage i = Cheia(40, 30, 0xFFFF00FF);
  QPainter p(&i);
  p.fillRect(2, 3, 36, 25, QColor(0x20, 0x40, 0x60));
  p.fillRect(15, 10, 5, 4, QColor(0xFF, 0x00, 0xFF));
  p.end();
  // Exactly the pixels not of that colour.
  EXPECT_EQ(RegiaoDoBitmap(i), QRegion(2, 3, 36, 25).subtracted(QRegion(15, 10, 5, 4)));
}

TEST(Regiao, CortadaDoCantoSuperiorEsquerdoQualquerQueSejaACor) {
  QImage i = Cheia(10, 10, 0xFF00FF00);
  i.setPixel(5, 5, 0xFF123456);
  EXPECT_EQ(RegiaoDoBitmap(i), QRegion(5, 5, 1, 1));
  EXPECT_TRUE(RegiaoDoBitmap(Cheia(8, 8, 0xFF808080)).isEmpty());
  EXPECT_TRUE(RegiaoDoBitmap(QImage()).isEmpty());
}

TEST(Regiao, JanelaRecebeAMascaraOuFicaRetangular) {
  teste::Aplicacao();
  QWidget w;
  w.resize(40, 30);
  QImage i = Cheia(40, 30, 0xFFFF00FF);
  QPainter(&i).fillRect(4, 4, 32, 22, Qt::blue);
  AplicarRegiao(w, i);
  EXPECT_EQ(w.mask(), QRegion(4, 4, 32, 22));
  AplicarRegiao(w, Cheia(40, 30, 0xFFFF00FF));
  EXPECT_TRUE(w.mask().isEmpty());
}

}  // namespace
}  // namespace tazu
