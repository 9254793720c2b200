// Image buttons. A virtual button is a hot rectangle over its host's painted
// background (the skin draws the button into the frame); a picture button owns
// a visible picture cut from a skin image.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <functional>
#include <string>

#include "skin/Descritor.h"
#include "skin/GanchoDeMouse.h"

namespace tazu {

class TBotaoImagem : public TGanchoDeMouse {
 public:
  // `dono` is the host: the window or frame the button lives on.
  explicit TBotaoImagem(QWidget* dono);

  bool Virtual = true;
  // Hot rectangle, inclusive on all sides: host coordinates for a virtual
  // button, picture coordinates for a picture button.
  TRetangulo Retangulo;

  // Picture buttons only: the skin image, its frames stacked vertically, where
  // the picture goes, and the optional centred row of buttons it belongs to.
  std::string Imagem;
  int Quadros = 1;
  QPoint Posicao;
  bool LinhaAutomatica = false;
  int QuantidadeNaLinha = 1;
  int EspacoNaLinha = 0;
  int IndiceNaLinha = 1;
  int Recuo = 2;

  std::function<void(TBotaoImagem&)> AoClicar;
  // Fired on every move inside the hot rectangle.
  std::function<void(TBotaoImagem&)> AoPassar;
  // A virtual button's host shows the cursor the button asks for.
  std::function<void(TBotaoImagem&, Qt::CursorShape)> AoMudarCursor;

  // Starts watching the host (virtual) or builds and watches the picture.
  void Instalar();

  bool Habilitado() const { return habilitado_; }
  // Disabled buttons ignore the mouse; a picture button also hides.
  void DefinirHabilitado(bool habilitado);
  // Moves a picture button's picture (host coordinates).
  void DefinirPosicao(QPoint posicao);

  Qt::CursorShape CursorAtual() const { return cursor_; }
  bool Pressionado() const { return pressionado_; }
  bool Armado() const { return armado_; }
  // The visible picture of a picture button; null for a virtual one.
  QLabel* Figura() const { return figura_; }

 protected:
  void AoPressionar(QPoint p, Qt::MouseButton botao) override;
  void AoMover(QPoint p) override;
  void AoSoltar(QPoint p, Qt::MouseButton botao) override;

 private:
  void MudarCursor(Qt::CursorShape cursor);
  void PosicionarNaLinha();

  QWidget* dono_;
  bool habilitado_ = true;
  bool pressionado_ = false;
  bool armado_ = false;
  Qt::CursorShape cursor_ = Qt::ArrowCursor;
  QImage completa_;
  QPointer<QLabel> figura_;
};

}  // namespace tazu
