// The skinned controls under synthetic mouse events.
#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

#include "skin/MoverForm.h"
#include "skin/UBotoes.h"
#include "skin/UChaveador.h"
#include "skin/URedimensionador.h"
#include "tests/skin/Apoio.h"

namespace tazu {
namespace {

using teste::Clicar;
using teste::Mover;
using teste::Pressionar;
using teste::Soltar;

class Controles : public ::testing::Test {
 protected:
  void SetUp() override { janela_.resize(200, 150); }
  teste::TAplicacaoPronta app_;
  QWidget janela_;
};

struct TRegistroDoBotao {
  int cliques = 0;
  int passagens = 0;
  std::vector<Qt::CursorShape> cursores;
};

TBotaoImagem* BotaoVirtual(QWidget& host, TRegistroDoBotao& reg) {
  auto* b = new TBotaoImagem(&host);
  b->Retangulo = {20, 20, 60, 40};
  b->AoClicar = [&reg](TBotaoImagem&) { ++reg.cliques; };
  b->AoPassar = [&reg](TBotaoImagem&) { ++reg.passagens; };
  b->AoMudarCursor = [&reg, &host](TBotaoImagem&, Qt::CursorShape c) {
    reg.cursores.push_back(c);
    host.setCursor(c);
  };
  b->Instalar();
  return b;
}

TEST_F(Controles, BotaoClicaSoComPressaoESolturaDentro) {
  TRegistroDoBotao reg;
  BotaoVirtual(janela_, reg);
  // The edges of the hot rectangle count as inside.
  Clicar(&janela_, {60, 40});
  EXPECT_EQ(reg.cliques, 1);
  EXPECT_EQ(janela_.cursor().shape(), Qt::PointingHandCursor);
  Mover(&janela_, {61, 40});
  EXPECT_EQ(janela_.cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(reg.cursores, (std::vector<Qt::CursorShape>{Qt::PointingHandCursor, Qt::ArrowCursor}));

  // Pressed inside, released outside: no click.
  Pressionar(&janela_, {30, 30});
  Mover(&janela_, {100, 100}, true);
  Soltar(&janela_, {100, 100});
  EXPECT_EQ(reg.cliques, 1);

  // Pressed inside, out and back in before the release: a click.
  Pressionar(&janela_, {30, 30});
  Mover(&janela_, {100, 100}, true);
  Mover(&janela_, {40, 25}, true);
  Soltar(&janela_, {40, 25});
  EXPECT_EQ(reg.cliques, 2);

  // Pressed outside and released inside: no click.
  Pressionar(&janela_, {100, 100});
  Mover(&janela_, {30, 30}, true);
  Soltar(&janela_, {30, 30});
  EXPECT_EQ(reg.cliques, 2);
  EXPECT_GT(reg.passagens, 0);
}

TEST_F(Controles, BotaoDesabilitadoNaoMudaCursorNemClica) {
  TRegistroDoBotao reg;
  TBotaoImagem* b = BotaoVirtual(janela_, reg);
  b->DefinirHabilitado(false);
  Clicar(&janela_, {30, 30});
  Mover(&janela_, {100, 100});
  EXPECT_EQ(reg.cliques, 0);
  EXPECT_EQ(reg.passagens, 0);
  EXPECT_TRUE(reg.cursores.empty());
  EXPECT_EQ(janela_.cursor().shape(), Qt::ArrowCursor);

  // Disabled while pressed: the release does not click either.
  b->DefinirHabilitado(true);
  Pressionar(&janela_, {30, 30});
  b->DefinirHabilitado(false);
  b->DefinirHabilitado(true);
  Soltar(&janela_, {30, 30});
  EXPECT_EQ(reg.cliques, 0);
}

TEST_F(Controles, VariosControlesNoMesmoHospedeiroVeemTodosOsEventos) {
  TRegistroDoBotao a, b;
  BotaoVirtual(janela_, a);
  TBotaoImagem* segundo = BotaoVirtual(janela_, b);
  segundo->Retangulo = {100, 100, 120, 120};
  Clicar(&janela_, {30, 30});
  Clicar(&janela_, {110, 110});
  EXPECT_EQ(a.cliques, 1);
  EXPECT_EQ(b.cliques, 1);
  // Whichever control was installed last has the last word on the cursor.
  EXPECT_EQ(janela_.cursor().shape(), Qt::PointingHandCursor);
  delete segundo;
  Clicar(&janela_, {110, 110});
  Clicar(&janela_, {30, 30});
  EXPECT_EQ(a.cliques, 2);
  EXPECT_EQ(b.cliques, 1);
}

TEST_F(Controles, BotaoDeFiguraRecortaOPrimeiroQuadroENaLinha) {
  teste::TSkinTemporaria skin;
  QImage quadros = teste::Cheia(40, 60, 0xFF3366AA);
  for (int y = 20; y < 60; ++y) {
    for (int x = 0; x < 40; ++x) quadros.setPixel(x, y, 0xFF000000);
  }
  skin.Imagem("Botoes/Teste.bmp", quadros);
  TRegistroDoBotao reg;
  TBotaoImagem b(&janela_);
  b.Virtual = false;
  b.Imagem = "Botoes\\Teste.bmp";
  b.Quadros = 3;
  b.LinhaAutomatica = true;
  b.QuantidadeNaLinha = 2;
  b.IndiceNaLinha = 2;
  b.EspacoNaLinha = 10;
  b.Posicao = {0, 90};
  b.AoClicar = [&reg](TBotaoImagem&) { ++reg.cliques; };
  b.Instalar();
  QLabel* figura = b.Figura();
  ASSERT_NE(figura, nullptr);
  EXPECT_EQ(figura->size(), QSize(40, 20));
  // Row of two 40-pixel buttons 10 apart in 200 pixels: the second starts at 105.
  EXPECT_EQ(figura->pos(), QPoint(105, 90));
  EXPECT_EQ(figura->pixmap().toImage().pixel(5, 5) | 0xFF000000, 0xFF3366AAu);
  EXPECT_EQ(b.Retangulo, (TRetangulo{2, 2, 38, 18}));
  // The inset keeps the picture's rim out of the hot rectangle.
  Clicar(figura, {1, 1});
  EXPECT_EQ(reg.cliques, 0);
  Clicar(figura, {20, 10});
  EXPECT_EQ(reg.cliques, 1);
  EXPECT_EQ(figura->cursor().shape(), Qt::PointingHandCursor);
  b.DefinirHabilitado(false);
  EXPECT_TRUE(figura->isHidden());
}

TEST_F(Controles, AreaDeArrastoMoveAJanela) {
  janela_.move(100, 100);
  TMoverForm m(&janela_);
  m.UsarAreaRetangular = true;
  m.Retangulo = {0, 0, 199, 20};
  m.Instalar();
  // Outside the area nothing moves.
  Pressionar(&janela_, {50, 50});
  Mover(&janela_, {80, 90}, true);
  Soltar(&janela_, {80, 90});
  EXPECT_EQ(janela_.pos(), QPoint(100, 100));
  Pressionar(&janela_, {10, 10});
  EXPECT_TRUE(m.Arrastando());
  Mover(&janela_, {25, 5}, true);
  EXPECT_EQ(janela_.pos(), QPoint(115, 95));
  Soltar(&janela_, {25, 5});
  EXPECT_FALSE(m.Arrastando());
  Mover(&janela_, {60, 60});
  EXPECT_EQ(janela_.pos(), QPoint(115, 95));
}

struct TRegistroDaAlca {
  int iniciou = 0, terminou = 0;
  QSize redimensionada;
  std::vector<Qt::CursorShape> cursores;
};

TRedimensionador* Alca(QWidget& janela, int tipo, TRegistroDaAlca& reg) {
  auto* g = new TRedimensionador(&janela);
  g->Retangulo = {180, 130, 199, 149};
  g->Tipo = tipo;
  g->LarguraMinima = 150;
  g->AlturaMinima = 100;
  g->AoIniciar = [&reg](TRedimensionador&) { ++reg.iniciou; };
  g->AoTerminar = [&reg](TRedimensionador&) { ++reg.terminou; };
  g->AoRedimensionar = [&reg](QWidget&, int w, int h) { reg.redimensionada = QSize(w, h); };
  g->AoMudarCursor = [&reg](TRedimensionador&, Qt::CursorShape c) { reg.cursores.push_back(c); };
  g->Instalar();
  return g;
}

// The grip follows the mouse in its own direction only, never below the
// minimum, with an outline while dragging and the window resized on release.
TEST_F(Controles, AlcaRedimensionaNoSeuSentidoSemPassarDoMinimo) {
  struct TCaso {
    int tipo;
    Qt::CursorShape cursor;
    QPoint meio, fim;
    QSize rastreado, final;
  };
  // clang-format off
  const TCaso casos[] = {
      {TRedimensionador::SoLargura, Qt::SizeHorCursor, {230, 200}, {20, 10}, {240, 150}, {150, 150}},
      {TRedimensionador::SoAltura, Qt::SizeVerCursor, {300, 10}, {300, 200}, {200, 100}, {200, 210}},
      {TRedimensionador::TipoDoSkin(7), Qt::SizeFDiagCursor, {100, 60}, {150, 170}, {150, 100},
       {160, 180}}};
  // clang-format on
  for (const TCaso& c : casos) {
    janela_.resize(200, 150);
    TRegistroDaAlca reg;
    std::unique_ptr<TRedimensionador> g(Alca(janela_, c.tipo, reg));
    Mover(&janela_, {190, 140});
    Mover(&janela_, {10, 10});
    EXPECT_EQ(reg.cursores, (std::vector<Qt::CursorShape>{c.cursor, Qt::ArrowCursor}));
    Pressionar(&janela_, {190, 140});
    Mover(&janela_, c.meio, true);
    EXPECT_EQ(g->TamanhoRastreado(), c.rastreado);
    ASSERT_NE(g->Caixa(), nullptr);
    EXPECT_EQ(g->Caixa()->Geometria().size(), c.rastreado);
    Mover(&janela_, c.fim, true);
    Soltar(&janela_, c.fim);
    EXPECT_EQ(g->Caixa(), nullptr);
    EXPECT_EQ(janela_.size(), c.final);
    EXPECT_EQ(reg.redimensionada, c.final);
    EXPECT_EQ(reg.iniciou * 10 + reg.terminou, 11);
  }
  EXPECT_EQ(TRedimensionador::TipoDoSkin(1), TRedimensionador::SoLargura);
  EXPECT_EQ(TRedimensionador::TipoDoSkin(2), TRedimensionador::SoAltura);
  EXPECT_EQ(TRedimensionador::TipoDoSkin(0), TRedimensionador::Ambos);
}

TEST_F(Controles, ChaveadorCopiaOEstadoSemOMagentaEClica) {
  TChaveador c(&janela_);
  c.setGeometry(10, 10, 48, 16);
  c.DefinirQuantidade(3);
  QImage ativo = teste::Cheia(16, 16, 0xFF00AA00);
  ativo.setPixel(3, 3, 0xFFFF00FF);
  c.DefinirImagens(1, {teste::Cheia(16, 16, 0xFF888888), ativo});
  c.DefinirEstado(1, 1);
  const int x = c.PosicaoDaChave(1);
  EXPECT_EQ(x, 16);
  EXPECT_EQ(c.Faixa().pixel(x + 5, 5), 0xFF00AA00u);
  EXPECT_EQ(qAlpha(c.Faixa().pixel(x + 3, 3)), 0);
  c.DefinirEstado(1, 0);
  EXPECT_EQ(c.Faixa().pixel(x + 3, 3), 0xFF888888u);
  EXPECT_EQ(qAlpha(c.Faixa().pixel(2, 5)), 0);

  std::vector<int> cliques;
  c.AoClicar = [&cliques](TChaveador&, int chave) { cliques.push_back(chave); };
  Clicar(&c, {x + 8, 8});
  Pressionar(&c, {x + 8, 8});
  Soltar(&c, {2, 8});
  c.Habilitado = false;
  Clicar(&c, {x + 8, 8});
  EXPECT_EQ(cliques, std::vector<int>{1});
}

}  // namespace
}  // namespace tazu
