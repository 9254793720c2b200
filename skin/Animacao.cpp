#include "skin/Animacao.h"

#include "skin/Skin.h"

namespace tazu {

TAnimacao::TAnimacao(QWidget* dono) : QLabel(dono) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

bool TAnimacao::Carregar(std::string_view relativo) {
  filme_.stop();
  setMovie(nullptr);
  const QString caminho = CaminhoDaAnimacao(relativo);
  if (caminho.isEmpty()) return false;
  filme_.setFileName(caminho);
  if (!filme_.isValid()) return false;
  filme_.jumpToFrame(0);
  resize(filme_.currentImage().size());
  setMovie(&filme_);
  return true;
}

void TAnimacao::Iniciar() {
  if (filme_.isValid()) filme_.start();
}

void TAnimacao::Parar() {
  if (!filme_.isValid()) return;
  filme_.stop();
  const int quadros = filme_.frameCount();
  int quadro = QuadroDeParada;
  if (quadros > 0) quadro = std::clamp(quadro, 0, quadros - 1);
  filme_.jumpToFrame(std::max(quadro, 0));
}

bool TAnimacao::Tocando() const {
  return filme_.state() == QMovie::Running;
}

}  // namespace tazu
