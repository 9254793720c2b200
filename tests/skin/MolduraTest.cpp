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

QRgb Em(const QImage& i, int x, int y) {
  return i.pixel(x, y) | 0xFF000000;
}

TEST(Moldura, CantosPorCimaDasBordasLadrilhadas) {
  const QImage i = PintarMoldura(60, 50, Pecas(), QColor::fromRgb(Fundo));
  ASSERT_EQ(i.size(), QSize(50, 60));
  // Corners, last, win over everything.
  EXPECT_EQ(Em(i, 0, 0), 0xFF0000AAu);
  EXPECT_EQ(Em(i, 9, 11), 0xFF0000AAu);
  EXPECT_EQ(Em(i, 41, 0), 0xFFAA0000u);
  EXPECT_EQ(Em(i, 49, 10), 0xFFAA0000u);
  EXPECT_EQ(Em(i, 42, 51), 0xFF00AAAAu);
  EXPECT_EQ(Em(i, 0, 50), 0xFF555555u);
  // Top edge from SE's right edge, whole tiles; the last runs under SD.
  EXPECT_EQ(Em(i, 10, 0), 0xFF00AA00u);
  EXPECT_EQ(Em(i, 40, 4), 0xFF00AA00u);
  EXPECT_EQ(Em(i, 20, 5), Fundo);
  // Right edge from the very top (under SD), left edge from SE's bottom.
  EXPECT_EQ(Em(i, 46, 11), 0xFFAAAA00u);
  EXPECT_EQ(Em(i, 45, 30), Fundo);
  EXPECT_EQ(Em(i, 0, 12), 0xFF999999u);
  EXPECT_EQ(Em(i, 2, 49), 0xFF999999u);
  EXPECT_EQ(Em(i, 3, 30), Fundo);
  // Bottom edge from x = 0, under IE.
  EXPECT_EQ(Em(i, 11, 57), 0xFFAA00AAu);
  EXPECT_EQ(Em(i, 41, 59), 0xFFAA00AAu);
  EXPECT_EQ(Em(i, 20, 56), Fundo);
  // The colour fills the inside.
  EXPECT_EQ(Em(i, 25, 30), Fundo);
}

TEST(Moldura, PecasAusentesSaoPuladas) {
  TPecasMoldura p = Pecas();
  p[SE] = QImage();
  p[CD] = QImage();
  p[IE] = QImage();
  const QImage i = PintarMoldura(40, 40, p, QColor::fromRgb(Fundo));
  // Without SE the top edge starts at 0 and the left edge at the top, over it.
  EXPECT_EQ(Em(i, 5, 0), 0xFF00AA00u);
  EXPECT_EQ(Em(i, 0, 0), 0xFF999999u);
  EXPECT_EQ(Em(i, 1, 6), 0xFF999999u);
  EXPECT_EQ(Em(i, 37, 20), Fundo);
  EXPECT_EQ(Em(i, 5, 39), 0xFFAA00AAu);

  const QImage vazia = PintarMoldura(20, 30, TPecasMoldura{}, QColor::fromRgb(Fundo));
  for (int y = 0; y < 20; y += 5) {
    for (int x = 0; x < 30; x += 5) EXPECT_EQ(Em(vazia, x, y), Fundo);
  }
}

TEST(Moldura, BordaMaiorQueAJanelaNaoEDesenhada) {
  TPecasMoldura p;
  p[SE] = Cheia(4, 4, 0xFF0000AA);
  p[SD] = Cheia(4, 4, 0xFFAA0000);
  p[CS] = Cheia(30, 4, 0xFF00AA00);  // wider than the room between the corners
  p[CE] = Cheia(3, 50, 0xFF999999);  // taller than the window
  const QImage i = PintarMoldura(20, 20, p, QColor::fromRgb(Fundo));
  EXPECT_EQ(Em(i, 10, 1), Fundo);
  EXPECT_EQ(Em(i, 1, 10), Fundo);
  EXPECT_EQ(Em(i, 0, 0), 0xFF0000AAu);
  EXPECT_EQ(Em(i, 19, 0), 0xFFAA0000u);
  // A piece exactly as wide as the room is drawn once.
  p[CS] = Cheia(12, 4, 0xFF00AA00);
  EXPECT_EQ(Em(PintarMoldura(20, 20, p, QColor::fromRgb(Fundo)), 10, 1), 0xFF00AA00u);
}

TEST(Regiao, MargemTransparenteECorDoCantoPorDentro) {
  // A frame whose top-left colour also paints a hole in the middle.
  QImage i = Cheia(40, 30, 0xFFFF00FF);
  QPainter p(&i);
  p.fillRect(2, 3, 36, 25, QColor(0x20, 0x40, 0x60));
  p.fillRect(15, 10, 5, 4, QColor(0xFF, 0x00, 0xFF));
  p.end();
  const QRegion r = RegiaoDoBitmap(i);
  EXPECT_FALSE(r.contains(QPoint(0, 0)));
  EXPECT_FALSE(r.contains(QPoint(1, 15)));
  EXPECT_FALSE(r.contains(QPoint(39, 29)));
  EXPECT_TRUE(r.contains(QPoint(2, 3)));
  EXPECT_TRUE(r.contains(QPoint(37, 27)));
  EXPECT_FALSE(r.contains(QPoint(38, 27)));
  EXPECT_FALSE(r.contains(QPoint(37, 28)));
  EXPECT_FALSE(r.contains(QPoint(15, 10)));
  EXPECT_FALSE(r.contains(QPoint(19, 13)));
  EXPECT_TRUE(r.contains(QPoint(20, 13)));
  EXPECT_TRUE(r.contains(QPoint(14, 10)));
  // Exactly the opaque pixels, not one more.
  int opacos = 0;
  for (const QRect& q : r) opacos += q.width() * q.height();
  EXPECT_EQ(opacos, 36 * 25 - 5 * 4);
}

TEST(Regiao, CortadaDoCantoSuperiorEsquerdoQualquerQueSejaACor) {
  QImage i = Cheia(10, 10, 0xFF00FF00);
  i.setPixel(5, 5, 0xFF123456);
  const QRegion r = RegiaoDoBitmap(i);
  EXPECT_EQ(r, QRegion(5, 5, 1, 1));
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
