#include "shell/USeletor.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "base/Eventos.h"
#include "skin/Skin.h"

namespace tazu {

TSeletor::TSeletor(QWidget* dono) : QWidget(dono) {
  setMouseTracking(true);
}

void TSeletor::DefinirImagemFundo(const std::string& relativo) {
  fundo_ = CarregarImagemDaSkin(relativo).convertToFormat(QImage::Format_RGB32);
  destaque_ = QImage();
  atual_ = -1;
  if (!fundo_.isNull()) resize(fundo_.size());
  update();
}

bool TSeletor::LinhaValida(int linha) const {
  if (linha < 0 || AlturaDaSelecao <= 0) return false;
  return NumeroDeOpcoes == 0 || linha < NumeroDeOpcoes;
}

void TSeletor::Selecionar(int linha) {
  if (!LinhaValida(linha)) return;
  atual_ = linha;
  const int topo = linha * AlturaDaSelecao;
  const int base = std::min(topo + AlturaDaSelecao, fundo_.height() - 1);
  if (fundo_.isNull() || base <= topo) {
    destaque_ = QImage();
  } else {
    destaque_ = fundo_.copy(0, topo, fundo_.width(), base - topo);
    for (int y = 0; y < destaque_.height(); ++y) {
      auto* px = reinterpret_cast<QRgb*>(destaque_.scanLine(y));
      for (int x = 0; x < destaque_.width(); ++x) {
        px[x] = qRgb(static_cast<int>(qRed(px[x]) / 1.07), static_cast<int>(qGreen(px[x]) / 1.07),
                     static_cast<int>(qBlue(px[x]) / 1.07));
      }
    }
  }
  update();
}

void TSeletor::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, fundo_);
  if (!destaque_.isNull()) p.drawImage(0, atual_ * AlturaDaSelecao, destaque_);
}

void TSeletor::MudarCursor(Qt::CursorShape cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  setCursor(cursor);
  Disparar(AoMudarCursor, *this, cursor);
}

void TSeletor::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (!rect().contains(p)) {
    MudarCursor(Qt::ArrowCursor);
    return;
  }
  Disparar(AoMoverSobre, *this);
  MudarCursor(Qt::PointingHandCursor);
  if (SelecioneAoClicar || AlturaDaSelecao <= 0) return;
  const int linha = p.y() / AlturaDaSelecao;
  if (linha != atual_) Selecionar(linha);
}

void TSeletor::mousePressEvent(QMouseEvent* e) {
  if (!Habilitado || e->button() != Qt::LeftButton) return;
  pressionado_ = true;
  if (SelecioneAoClicar && AlturaDaSelecao > 0) {
    Selecionar(e->position().toPoint().y() / AlturaDaSelecao);
  }
}

void TSeletor::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  // A release below the last row chooses nothing, even with a row still lit.
  const bool naLinha = AlturaDaSelecao > 0 && p.y() / AlturaDaSelecao == atual_;
  const bool clicou =
      Habilitado && pressionado_ && rect().contains(p) && LinhaValida(atual_) && naLinha;
  pressionado_ = false;
  if (clicou) Disparar(AoClicar, *this);
}

void TSeletor::leaveEvent(QEvent*) {
  MudarCursor(Qt::ArrowCursor);
}

}  // namespace tazu
