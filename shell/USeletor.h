// The row selector of the skinned menus: one picture holding every row
// stacked, with the row under the pointer (or the chosen one) drawn a little
// darker. A click on a row chooses it.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

namespace tazu {

class TSeletor : public QWidget {
 public:
  explicit TSeletor(QWidget* dono);

  bool Habilitado = true;
  int AlturaDaSelecao = 1;
  int NumeroDeOpcoes = 0;  // 0: no limit
  bool SelecioneAoClicar = false;
  std::function<void(TSeletor&)> AoMoverSobre;
  std::function<void(TSeletor&)> AoClicar;
  std::function<void(TSeletor&, Qt::CursorShape)> AoMudarCursor;

  // The picture of every row, relative to the skin; sizes the selector to it.
  void DefinirImagemFundo(const std::string& relativo);
  int Atual() const { return atual_; }
  // Draws row r as the chosen one; rows past the count are ignored.
  void Selecionar(int linha);
  // The darkened band of the current row; empty when none is drawn.
  const QImage& Destaque() const { return destaque_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;

 private:
  bool LinhaValida(int linha) const;
  void MudarCursor(Qt::CursorShape cursor);

  QImage fundo_;
  QImage destaque_;
  int atual_ = -1;
  bool pressionado_ = false;
  Qt::CursorShape cursor_ = Qt::ArrowCursor;
};

}  // namespace tazu
