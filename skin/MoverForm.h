// Drag areas: pressing inside the hot rectangle and moving drags the window.
#pragma once

#include <QPoint>
#include <QPointer>

#include "skin/Descritor.h"
#include "skin/GanchoDeMouse.h"

namespace tazu {

class TMoverForm : public TGanchoDeMouse {
 public:
  // `janela` owns the area, is its host and is the window it moves.
  explicit TMoverForm(QWidget* janela);

  TRetangulo Retangulo;
  // False: the whole host is a drag area.
  bool UsarAreaRetangular = false;

  void Instalar() { Vigiar(janela_); }
  bool Arrastando() const { return arrastando_; }

 protected:
  void AoPressionar(QPoint p, Qt::MouseButton botao) override;
  void AoMover(QPoint p) override;
  void AoSoltar(QPoint p, Qt::MouseButton botao) override;

 private:
  QPointer<QWidget> janela_;
  bool arrastando_ = false;
  QPoint inicio_;
};

}  // namespace tazu
