// Resize grips: pressing inside the hot rectangle and dragging shows an outline
// of the new size; releasing gives the window that size.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QSize>
#include <functional>
#include <memory>

#include "skin/Descritor.h"
#include "skin/GanchoDeMouse.h"
#include "skin/UCaixaTransparente.h"

namespace tazu {

class TRedimensionador : public TGanchoDeMouse {
 public:
  enum : int { SoLargura = 0, SoAltura = 1, Ambos = 2 };

  // `janela` owns the grip, is its host and is the window it resizes.
  explicit TRedimensionador(QWidget* janela);
  ~TRedimensionador() override;

  // The skin's resize kinds: 1 horizontal, 2 vertical, anything else both.
  static int TipoDoSkin(uint8_t resizeKind);

  TRetangulo Retangulo;
  int Tipo = Ambos;
  int LarguraMinima = 0;
  int AlturaMinima = 0;

  std::function<void(TRedimensionador&)> AoIniciar;
  std::function<void(QWidget& janela, int largura, int altura)> AoRedimensionar;
  std::function<void(TRedimensionador&)> AoTerminar;
  std::function<void(TRedimensionador&, Qt::CursorShape)> AoMudarCursor;
  std::function<void(TRedimensionador&)> AoPassar;

  void Instalar() { Vigiar(janela_); }
  bool Redimensionando() const { return redimensionando_; }
  // The size the window will take on release.
  QSize TamanhoRastreado() const { return {largura_, altura_}; }
  const TCaixaTransparente* Caixa() const { return caixa_.get(); }

 protected:
  void AoPressionar(QPoint p, Qt::MouseButton botao) override;
  void AoMover(QPoint p) override;
  void AoSoltar(QPoint p, Qt::MouseButton botao) override;

 private:
  Qt::CursorShape CursorDoTipo() const;
  void MudarCursor(Qt::CursorShape cursor);

  QPointer<QWidget> janela_;
  bool redimensionando_ = false;
  QPoint inicio_;
  int larguraInicial_ = 0;
  int alturaInicial_ = 0;
  int largura_ = 0;
  int altura_ = 0;
  Qt::CursorShape cursor_ = Qt::ArrowCursor;
  std::unique_ptr<TCaixaTransparente> caixa_;
};

}  // namespace tazu
