#include "shell/UAbertura.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "base/Eventos.h"
#include "skin/BmpRgn.h"
#include "skin/Skin.h"

namespace tazu {

TFrmAbertura::TFrmAbertura() : QDialog(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
  const QImage figura = CarregarImagemDaSkin("Entrada\\Prim.bmp");
  auto* imagem = new QLabel(this);
  imagem->setPixmap(QPixmap::fromImage(figura));
  imagem->resize(figura.size());
  resize(figura.isNull() ? QSize(1, 1) : figura.size());
  AplicarRegiao(*this, figura);
  if (const QScreen* tela = QGuiApplication::primaryScreen()) {
    move(tela->availableGeometry().center() - rect().center());
  }
  timer_.setInterval(1);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    Disparar(AoIniciar);
    timerFechar_.start();
  });
  timerFechar_.setInterval(TempoAberta);
  timerFechar_.setSingleShot(true);
  connect(&timerFechar_, &QTimer::timeout, this, [this] {
    accept();
    Disparar(AoFechar);
  });
  timer_.start();
}

}  // namespace tazu
