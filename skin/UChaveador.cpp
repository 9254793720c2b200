#include "skin/UChaveador.h"

#include <QMouseEvent>
#include <QPainter>

#include "base/Eventos.h"
#include "skin/Skin.h"

namespace tazu {

TChave* TListaDeChaves::Chave(int indice) const {
  for (TChave* c : *this) {
    if (c->Indice == indice) return c;
  }
  return nullptr;
}

TChaveador::TChaveador(QWidget* dono) : QWidget(dono) {
  setMouseTracking(true);
  setAttribute(Qt::WA_TranslucentBackground);
  resize(LadoDaChave, LadoDaChave);
}

void TChaveador::DefinirQuantidade(int chaves) {
  chaves_.Limpar();
  for (int i = 0; i < chaves; ++i) {
    chaves_.IrPara(-1);
    chaves_.Inserir(new TChave{i, 0, {}});
  }
  Redesenhar();
}

void TChaveador::DefinirImagens(int chave, std::vector<QImage> imagens) {
  if (TChave* c = chaves_.Chave(chave)) c->Imagens = std::move(imagens);
}

void TChaveador::DefinirEstado(int chave, int estado) {
  TChave* c = chaves_.Chave(chave);
  if (!c) return;
  c->Estado = estado;
  DesenharChave(*c);
  update();
}

int TChaveador::Estado(int chave) const {
  const TChave* c = chaves_.Chave(chave);
  return c ? c->Estado : -1;
}

int TChaveador::PosicaoDaChave(int chave) const {
  const int n = std::max(1, Quantidade());
  const int celula = std::max(LadoDaChave, width() / n);
  return chave * celula + (celula - LadoDaChave) / 2;
}

int TChaveador::ChaveEm(QPoint p) const {
  if (p.y() < 0 || p.y() >= LadoDaChave) return -1;
  for (int i = 0; i < Quantidade(); ++i) {
    const int x = PosicaoDaChave(i);
    if (p.x() >= x && p.x() < x + LadoDaChave) return i;
  }
  return -1;
}

void TChaveador::Redesenhar() {
  faixa_ = QImage(std::max(1, width()), LadoDaChave, QImage::Format_ARGB32);
  faixa_.fill(Qt::transparent);
  for (TChave* c : chaves_) DesenharChave(*c);
  update();
}

void TChaveador::DesenharChave(const TChave& chave) {
  const int x0 = PosicaoDaChave(chave.Indice);
  for (int y = 0; y < LadoDaChave; ++y) {
    for (int x = 0; x < LadoDaChave; ++x) {
      if (x0 + x >= 0 && x0 + x < faixa_.width()) faixa_.setPixel(x0 + x, y, 0);
    }
  }
  if (chave.Estado < 0 || chave.Estado >= static_cast<int>(chave.Imagens.size())) return;
  const QImage& imagem = chave.Imagens[static_cast<std::size_t>(chave.Estado)];
  const QRgb magenta = CorTransparente & 0xFFFFFF;
  const int w = std::min(imagem.width(), LadoDaChave);
  const int h = std::min(imagem.height(), LadoDaChave);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const QRgb cor = imagem.pixel(x, y);
      if ((cor & 0xFFFFFF) == magenta || qAlpha(cor) == 0) continue;
      if (x0 + x >= 0 && x0 + x < faixa_.width()) faixa_.setPixel(x0 + x, y, cor | 0xFF000000);
    }
  }
}

void TChaveador::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, faixa_);
}

void TChaveador::resizeEvent(QResizeEvent*) {
  Redesenhar();
}

void TChaveador::mouseMoveEvent(QMouseEvent* e) {
  if (!Habilitado) return;
  const int chave = ChaveEm(e->position().toPoint());
  if (chave < 0) {
    unsetCursor();
    return;
  }
  setCursor(Qt::PointingHandCursor);
  Disparar(AoPassar, *this, chave);
}

void TChaveador::mousePressEvent(QMouseEvent* e) {
  armada_ = Habilitado && e->button() == Qt::LeftButton ? ChaveEm(e->position().toPoint()) : -1;
}

void TChaveador::mouseReleaseEvent(QMouseEvent* e) {
  const int armada = armada_;
  armada_ = -1;
  if (!Habilitado || armada < 0 || ChaveEm(e->position().toPoint()) != armada) return;
  Disparar(AoClicar, *this, armada);
}

void TChaveador::leaveEvent(QEvent*) {
  unsetCursor();
}

}  // namespace tazu
