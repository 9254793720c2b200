#include "skin/UFrmEncapado.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>

#include "base/Eventos.h"
#include "skin/Animacao.h"
#include "skin/BmpRgn.h"
#include "skin/MoverForm.h"
#include "skin/Skin.h"
#include "skin/Texto.h"
#include "skin/UBotoes.h"
#include "skin/UChaveador.h"
#include "skin/URedimensionador.h"

namespace tazu {

namespace {

// Pictures keep their own size when the layout moves them.
bool EhFigura(const QWidget& w) {
  if (dynamic_cast<const TAnimacao*>(&w)) return true;
  const auto* rotulo = qobject_cast<const QLabel*>(&w);
  return rotulo && (!rotulo->pixmap().isNull() || rotulo->movie());
}

Qt::Alignment AlinhamentoDoSkin(uint8_t alinhamento) {
  switch (alinhamento) {
    case 1:
      return Qt::AlignLeft | Qt::AlignVCenter;
    case 2:
      return Qt::AlignRight | Qt::AlignVCenter;
    default:
      return Qt::AlignHCenter | Qt::AlignVCenter;
  }
}

}  // namespace

void ColorirControle(QWidget& controle, uint32_t cor, uint32_t corDaFonte) {
  QPalette paleta = controle.palette();
  const QColor fundo = CorDaSkin(cor);
  const QColor texto = CorDaSkin(corDaFonte);
  for (auto papel : {QPalette::Window, QPalette::Base, QPalette::Button}) {
    paleta.setColor(papel, fundo);
  }
  for (auto papel : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    paleta.setColor(papel, texto);
  }
  controle.setPalette(paleta);
  controle.setAutoFillBackground(true);
}

TFrmEncapado::TFrmEncapado(QWidget* pai) : QDialog(pai, Qt::Window | Qt::FramelessWindowHint) {
  setFont(FonteDaSkin());
}

TFrmEncapado::~TFrmEncapado() = default;

TRetangulo TFrmEncapado::Retangulo(const TRegistroFeicao& r) const {
  return RetanguloDoElemento(r, ParaTamanho(size()));
}

QRect TFrmEncapado::RetanguloQt(const TRegistroFeicao& r) const {
  return ParaQRect(Retangulo(r));
}

void TFrmEncapado::Construir() {
  feicoes_.Carregar(CaminhoNaSkin(ArquivoDescritor));
  if (TFeicao* janela = feicoes_.Janela()) {
    cor_ = CorDaSkin(janela->Registro.Color());
    PosicionarJanela(*this, janela->Registro);
  } else {
    cor_ = palette().color(QPalette::Window);
  }
  bool registroDaJanela = true;
  for (TFeicao* f : feicoes_) {
    if (!registroDaJanela) CriarObjeto(*f);
    registroDaJanela = false;
  }
  construida_ = true;
  AposRedimensionar();
}

void TFrmEncapado::CriarObjeto(TFeicao& f) {
  TResultadoFeicao res;
  if (AoCriarFeicao) {
    const TAoCriarFeicao chamada = AoCriarFeicao;
    res = chamada(*this, f);
  }
  const TRegistroFeicao& r = f.Registro;
  switch (res.Tipo) {
    case TTipoFeicao::BTN: {
      auto* b = new TBotaoImagem(this);
      b->Virtual = true;
      b->Retangulo = Retangulo(r);
      b->AoClicar = [clique = res.AoClicar](TBotaoImagem&) { Disparar(clique); };
      b->AoMudarCursor = [this](TBotaoImagem&, Qt::CursorShape c) { setCursor(c); };
      b->Instalar();
      f.Objeto = b;
      break;
    }
    case TTipoFeicao::MOV: {
      auto* m = new TMoverForm(this);
      m->UsarAreaRetangular = true;
      m->Retangulo = Retangulo(r);
      m->Instalar();
      f.Objeto = m;
      break;
    }
    case TTipoFeicao::RDM: {
      auto* g = new TRedimensionador(this);
      g->Retangulo = Retangulo(r);
      g->Tipo = TRedimensionador::TipoDoSkin(r.ResizeKind());
      if (const TFeicao* janela = feicoes_.Janela()) {
        g->LarguraMinima = janela->Registro.MinWidth();
        g->AlturaMinima = janela->Registro.MinHeight();
      }
      g->AoIniciar = [this](TRedimensionador&) { redimensionando_ = true; };
      g->AoRedimensionar = [this](QWidget&, int, int) { AposRedimensionar(); };
      g->AoTerminar = [this](TRedimensionador&) { redimensionando_ = false; };
      g->AoMudarCursor = [this](TRedimensionador&, Qt::CursorShape c) { setCursor(c); };
      g->Instalar();
      f.Objeto = g;
      break;
    }
    case TTipoFeicao::RTL:
      if (r.LabelKind() == 1) {
        auto* rotulo = new QLabel(ParaQString(r.Text()), this);
        rotulo->setAlignment(AlinhamentoDoSkin(r.Alignment()));
        rotulo->setFont(FonteDaSkin(8, true));
        QPalette paleta = rotulo->palette();
        paleta.setColor(QPalette::WindowText, CorDaSkin(r.FontColor()));
        rotulo->setPalette(paleta);
        rotulo->setAttribute(Qt::WA_TransparentForMouseEvents);
        rotulo->show();
        f.Objeto = rotulo;
      } else {
        f.Objeto = new TFiguraDaSkin(this, SemCor(CarregarImagemDaSkin(r.Text())));
      }
      break;
    case TTipoFeicao::PSC:
    case TTipoFeicao::Nenhum:
      break;
  }
}

void TFrmEncapado::Colocar(QWidget& controle, TFeicao& feicao) {
  const TRegistroFeicao& r = feicao.Registro;
  if (!EhFigura(controle)) ColorirControle(controle, r.Color(), r.FontColor());
  feicao.Objeto = &controle;
  Reposicionar(feicao);
  controle.show();
}

void TFrmEncapado::AposRedimensionar() {
  fundo_ = PintarMoldura(height(), width(), Pecas, cor_);
  AplicarRegiao(*this, fundo_);
  for (TFeicao* f : feicoes_) Reposicionar(*f);
  update();
  Disparar(AoRedimensionar, *this, width(), fundo_, height());
}

void TFrmEncapado::Reposicionar(TFeicao& f) {
  QObject* objeto = f.Objeto;
  if (!objeto) return;
  const TRetangulo r = Retangulo(f.Registro);
  if (auto* b = dynamic_cast<TBotaoImagem*>(objeto)) {
    if (b->Virtual) {
      b->Retangulo = r;
    } else {
      b->DefinirPosicao({r.Esquerda, r.Topo});
    }
  } else if (auto* g = dynamic_cast<TRedimensionador*>(objeto)) {
    g->Retangulo = r;
  } else if (auto* m = dynamic_cast<TMoverForm*>(objeto)) {
    m->Retangulo = r;
  } else if (auto* figura = dynamic_cast<TFiguraDaSkin*>(objeto)) {
    QPainter p(&fundo_);
    p.drawImage(r.Esquerda, r.Topo, figura->Imagem);
  } else if (auto* chaves = dynamic_cast<TChaveador*>(objeto)) {
    chaves->setGeometry(r.Esquerda, r.Topo, ParaQRect(r).width(), TChaveador::LadoDaChave);
  } else if (auto* w = qobject_cast<QWidget*>(objeto)) {
    if (EhFigura(*w)) {
      w->move(r.Esquerda, r.Topo);
    } else {
      w->setGeometry(ParaQRect(r));
    }
  }
}

void TFrmEncapado::paintEvent(QPaintEvent*) {
  // The background is the frame as last painted; a resize repaints it once
  // rather than on every request.
  QPainter p(this);
  p.drawImage(0, 0, fundo_);
}

void TFrmEncapado::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && !FecharComEsc) {
    e->ignore();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TFrmEncapado::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  if (construida_ && size() != fundo_.size()) AposRedimensionar();
}

}  // namespace tazu
