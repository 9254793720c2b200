#include "skin/MoverForm.h"

#include <QWidget>

namespace tazu {

TMoverForm::TMoverForm(QWidget* janela) : TGanchoDeMouse(janela), janela_(janela) {}

void TMoverForm::AoPressionar(QPoint p, Qt::MouseButton botao) {
  if (botao != Qt::LeftButton) return;
  if (UsarAreaRetangular && !Retangulo.Contem(p.x(), p.y())) return;
  arrastando_ = true;
  inicio_ = p;
}

void TMoverForm::AoMover(QPoint p) {
  if (!arrastando_ || !janela_) return;
  QWidget* janela = janela_->window();
  janela->move(janela->pos() + (p - inicio_));
}

void TMoverForm::AoSoltar(QPoint, Qt::MouseButton botao) {
  if (botao == Qt::LeftButton) arrastando_ = false;
}

}  // namespace tazu
