// A skin animation on a window ("Animacao\Envio.avi"): the skin ships it in a
// format Qt's movie player reads, under the same stem.
#pragma once

#include <QLabel>
#include <QMovie>
#include <string_view>

namespace tazu {

class TAnimacao : public QLabel {
 public:
  explicit TAnimacao(QWidget* dono);

  // Loads the movie and shows its first frame; answers false when the skin has
  // no playable file for it (the control then stays empty).
  bool Carregar(std::string_view relativo);
  void Iniciar();
  // Stops on `QuadroDeParada` (clamped to the movie's frames).
  void Parar();
  bool Tocando() const;

  int QuadroDeParada = 0;

 private:
  QMovie filme_;
};

}  // namespace tazu
