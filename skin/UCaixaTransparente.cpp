#include "skin/UCaixaTransparente.h"

#include <QPainter>

namespace tazu {

namespace {

class TLadoDaCaixa : public QWidget {
 public:
  TLadoDaCaixa()
      : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.fillRect(rect(), QBrush(QColor(0xC0, 0xC0, 0xC0), Qt::DiagCrossPattern));
  }
};

}  // namespace

TCaixaTransparente::TCaixaTransparente(int esquerda, int topo, int largura, int altura)
    : geometria_(esquerda, topo, largura, altura) {
  for (auto& lado : lados_) lado = std::make_unique<TLadoDaCaixa>();
  Posicionar();
  for (auto& lado : lados_) lado->show();
}

TCaixaTransparente::~TCaixaTransparente() = default;

void TCaixaTransparente::Redimensionar(int largura, int altura) {
  geometria_.setSize(QSize(largura, altura));
  Posicionar();
}

void TCaixaTransparente::Posicionar() {
  const QRect& g = geometria_;
  const int w = std::max(1, g.width());
  const int h = std::max(1, g.height());
  lados_[0]->setGeometry(g.left(), g.top(), w, 1);          // top
  lados_[1]->setGeometry(g.left() + w - 1, g.top(), 1, h);  // right
  lados_[2]->setGeometry(g.left(), g.top() + h - 1, w, 1);  // bottom
  lados_[3]->setGeometry(g.left(), g.top(), 1, h);          // left
}

}  // namespace tazu
