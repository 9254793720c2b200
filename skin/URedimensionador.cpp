#include "skin/URedimensionador.h"

#include <QWidget>
#include <algorithm>

#include "base/Eventos.h"

namespace tazu {

TRedimensionador::TRedimensionador(QWidget* janela) : TGanchoDeMouse(janela), janela_(janela) {}

TRedimensionador::~TRedimensionador() = default;

int TRedimensionador::TipoDoSkin(uint8_t resizeKind) {
  if (resizeKind == 1) return SoLargura;
  if (resizeKind == 2) return SoAltura;
  return Ambos;
}

Qt::CursorShape TRedimensionador::CursorDoTipo() const {
  if (Tipo == SoLargura) return Qt::SizeHorCursor;
  if (Tipo == SoAltura) return Qt::SizeVerCursor;
  return Qt::SizeFDiagCursor;
}

void TRedimensionador::MudarCursor(Qt::CursorShape cursor) {
  if (cursor_ == cursor) return;
  cursor_ = cursor;
  Disparar(AoMudarCursor, *this, cursor);
}

void TRedimensionador::AoPressionar(QPoint p, Qt::MouseButton botao) {
  if (botao != Qt::LeftButton || !janela_ || !Retangulo.Contem(p.x(), p.y())) return;
  redimensionando_ = true;
  larguraInicial_ = largura_ = janela_->width();
  alturaInicial_ = altura_ = janela_->height();
  inicio_ = p;
  const QRect g = janela_->frameGeometry();
  caixa_ = std::make_unique<TCaixaTransparente>(g.left(), g.top(), g.width(), g.height());
  Disparar(AoIniciar, *this);
}

void TRedimensionador::AoMover(QPoint p) {
  if (!redimensionando_) {
    if (Retangulo.Contem(p.x(), p.y())) {
      Disparar(AoPassar, *this);
      MudarCursor(CursorDoTipo());
    } else {
      MudarCursor(Qt::ArrowCursor);
    }
    return;
  }
  int largura = largura_;
  int altura = altura_;
  if (Tipo != SoAltura) largura = std::max(p.x() - inicio_.x() + larguraInicial_, LarguraMinima);
  if (Tipo != SoLargura) altura = std::max(p.y() - inicio_.y() + alturaInicial_, AlturaMinima);
  // Within what a frame can be painted at, whatever the skin's minimum says.
  largura = std::clamp(largura, 1, TamanhoMaximoDeJanela);
  altura = std::clamp(altura, 1, TamanhoMaximoDeJanela);
  if (largura != largura_ || altura != altura_) {
    largura_ = largura;
    altura_ = altura;
    if (caixa_) caixa_->Redimensionar(largura_, altura_);
  }
}

void TRedimensionador::AoSoltar(QPoint, Qt::MouseButton botao) {
  if (botao != Qt::LeftButton || !redimensionando_) return;
  caixa_.reset();
  if (janela_) {
    janela_->resize(largura_, altura_);
    Disparar(AoRedimensionar, *janela_, janela_->width(), janela_->height());
  }
  redimensionando_ = false;
  Disparar(AoTerminar, *this);
}

}  // namespace tazu
