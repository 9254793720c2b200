#include "skin/UBotoes.h"

#include <QPixmap>

#include "base/Eventos.h"
#include "skin/Skin.h"

namespace tazu {

TBotaoImagem::TBotaoImagem(QWidget* dono) : TGanchoDeMouse(dono), dono_(dono) {}

void TBotaoImagem::Instalar() {
  if (Virtual) {
    Vigiar(dono_);
    return;
  }
  completa_ = SemCor(CarregarImagemDaSkin(Imagem));
  const int quadros = std::max(1, Quadros);
  const int largura = completa_.width();
  const int altura = completa_.height() / quadros;
  if (!figura_) figura_ = new QLabel(dono_);
  figura_->setAttribute(Qt::WA_TranslucentBackground);
  figura_->setPixmap(QPixmap::fromImage(completa_.copy(0, 0, largura, altura)));
  figura_->resize(largura, altura);
  figura_->move(Posicao);
  if (LinhaAutomatica) PosicionarNaLinha();
  figura_->setVisible(habilitado_);
  Retangulo = {Recuo, Recuo, largura - Recuo, altura - Recuo};
  Vigiar(figura_);
}

void TBotaoImagem::PosicionarNaLinha() {
  const int w = figura_->width();
  const int total = QuantidadeNaLinha * (w + EspacoNaLinha) - EspacoNaLinha;
  const int esquerda = (dono_->width() - total) / 2 + (IndiceNaLinha - 1) * (w + EspacoNaLinha);
  figura_->move(esquerda, Posicao.y());
}

void TBotaoImagem::DefinirHabilitado(bool habilitado) {
  habilitado_ = habilitado;
  if (!habilitado) pressionado_ = armado_ = false;
  if (!Virtual && figura_) figura_->setVisible(habilitado);
}

void TBotaoImagem::DefinirPosicao(QPoint posicao) {
  Posicao = posicao;
  if (!figura_) return;
  figura_->move(posicao);
  if (LinhaAutomatica) PosicionarNaLinha();
}

void TBotaoImagem::MudarCursor(Qt::CursorShape cursor) {
  if (cursor_ == cursor) return;
  cursor_ = cursor;
  if (Virtual) {
    Disparar(AoMudarCursor, *this, cursor);
  } else if (figura_) {
    figura_->setCursor(cursor);
  }
}

void TBotaoImagem::AoMover(QPoint p) {
  if (!habilitado_) return;
  if (Retangulo.Contem(p.x(), p.y())) {
    Disparar(AoPassar, *this);
    MudarCursor(Qt::PointingHandCursor);
    if (pressionado_) armado_ = true;
  } else {
    MudarCursor(Qt::ArrowCursor);
    armado_ = false;
  }
}

void TBotaoImagem::AoPressionar(QPoint p, Qt::MouseButton botao) {
  if (botao != Qt::LeftButton) return;
  if (habilitado_ && Retangulo.Contem(p.x(), p.y())) pressionado_ = armado_ = true;
}

void TBotaoImagem::AoSoltar(QPoint, Qt::MouseButton botao) {
  if (botao != Qt::LeftButton) return;
  const bool clicar = armado_ && habilitado_;
  pressionado_ = armado_ = false;
  if (clicar) Disparar(AoClicar, *this);
}

}  // namespace tazu
