#include "skin/UFrmInfo.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>
#include <memory>

#include "core/UGlobal.h"
#include "skin/Skin.h"
#include "skin/Texto.h"
#include "skin/Textos.h"
#include "skin/UAguarde.h"

namespace tazu {

namespace {

// Elements of "Info.cap".
enum : uint8_t {
  ElementoTexto = 1,
  ElementoIcone = 2,
  ElementoTitulo = 3,
  ElementoBotoes = 4,
  ElementoFechar = 5,
  ElementoArrasto = 6,
  ElementoFigura = 7,  // pictures drawn on the box: its close button's look
};

constexpr int EspacoEntreBotoes = 12;

QRect Tela() {
  if (const QScreen* s = QGuiApplication::primaryScreen()) return s->availableGeometry();
  return QRect(0, 0, 1024, 768);
}

}  // namespace

TFrmInfo::TFrmInfo(const std::string& titulo, const std::string& texto, int tipo, bool modal)
    : tipo_(tipo), modal_(modal) {
  setWindowTitle(ParaQString(titulo));
  FecharComEsc = true;
  titulo_ = new QLabel(ParaQString(titulo), this);
  titulo_->setFont(FonteDaSkin(8, true));
  titulo_->setAttribute(Qt::WA_TransparentForMouseEvents);
  QString corpo = ParaQString(texto);
  corpo.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  corpo.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  texto_ = new QLabel(corpo, this);
  texto_->setFont(FonteDaSkin(8));
  texto_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  texto_->setTextFormat(Qt::PlainText);
  texto_->setAttribute(Qt::WA_TransparentForMouseEvents);
  icone_ = new QLabel(this);
  icone_->setAttribute(Qt::WA_TransparentForMouseEvents);
  const char* arquivoDoIcone = tipo == InfoErro       ? "Info\\Erro.bmp"
                               : tipo == InfoPergunta ? "Info\\Interro.bmp"
                                                      : "Info\\Excl.bmp";
  icone_->setPixmap(QPixmap::fromImage(SemCor(CarregarImagemDaSkin(arquivoDoIcone))));
  icone_->adjustSize();

  Pecas = PecasCompartilhadas("Info");
  ArquivoDescritor = "Info.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) { return CriarFeicao(f); };
  Construir();
  Dimensionar();

  if (tipo == InfoPergunta) {
    sim_ = NovoBotao("Botoes\\Sim.bmp", 1, 2);
    sim_->AoClicar = [this](TBotaoImagem&) { done(ResultadoSim); };
    nao_ = NovoBotao("Botoes\\Nao.bmp", 2, 2);
    nao_->AoClicar = [this](TBotaoImagem&) { done(ResultadoNao); };
  } else {
    ok_ = NovoBotao("Botoes\\Ok.bmp", 1, 1);
    ok_->AoClicar = [this](TBotaoImagem&) {
      if (modal_) {
        done(ResultadoOk);
      } else {
        close();
      }
    };
  }
}

TResultadoFeicao TFrmInfo::CriarFeicao(TFeicao& f) {
  switch (f.Registro.Id()) {
    case ElementoTexto:
      f.Objeto = texto_;
      texto_->setPalette([&] {
        QPalette p = texto_->palette();
        p.setColor(QPalette::WindowText, CorDaSkin(f.Registro.FontColor()));
        return p;
      }());
      return {TTipoFeicao::PSC};
    case ElementoIcone:
      f.Objeto = icone_;
      return {TTipoFeicao::PSC};
    case ElementoTitulo: {
      f.Objeto = titulo_;
      QPalette p = titulo_->palette();
      p.setColor(QPalette::WindowText, CorDaSkin(f.Registro.FontColor()));
      titulo_->setPalette(p);
      titulo_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return {TTipoFeicao::PSC};
    }
    case ElementoFechar:
      return {TTipoFeicao::BTN, [this] { done(ResultadoCancelar); }};
    case ElementoArrasto:
      return {TTipoFeicao::MOV};
    case ElementoFigura:
      return {TTipoFeicao::RTL};
    default:
      return {};
  }
}

// The text decides the size: the window grows past the skin's size until the
// text area, with the skin's margins around it, holds every line. A line wider
// than the screen allows wraps instead.
void TFrmInfo::Dimensionar() {
  const TFeicao* janela = Feicoes().Janela();
  const TFeicao* area = Feicoes().PorId(ElementoTexto);
  int esquerda = 10, topo = 10, direita = 10, base = 10;
  if (area) {
    const TRegistroFeicao& r = area->Registro;
    esquerda = std::max(0, r.Left());
    topo = std::max(0, r.Top());
    direita = r.Width() <= 0 ? -r.Width() : 10;
    base = r.Height() <= 0 ? -r.Height() : 10;
  }
  const QFontMetrics fm(texto_->font());
  const QStringList linhas = texto_->text().split(QLatin1Char('\n'));
  int largura = 0;
  for (const QString& linha : linhas) {
    largura = std::max(largura, fm.horizontalAdvance(linha));
  }
  largura += 10;
  int altura = static_cast<int>(linhas.size()) * fm.height();
  const int larguraMaxima = std::max(100, Tela().width() * 9 / 10 - esquerda - direita);
  if (largura > larguraMaxima) {
    largura = larguraMaxima;
    texto_->setWordWrap(true);
    altura =
        fm.boundingRect(QRect(0, 0, largura, 100000), Qt::TextWordWrap, texto_->text()).height();
  }
  int w = esquerda + largura + direita;
  int h = topo + altura + base;
  if (janela) {
    w = std::max(w, janela->Registro.Width());
    h = std::max(h, janela->Registro.Height());
  }
  w = std::min(w, TamanhoMaximoDeJanela);
  h = std::min(h, TamanhoMaximoDeJanela);
  resize(w, h);
  AposRedimensionar();
  const QRect tela = Tela();
  move(tela.left() + (tela.width() - w) / 2, tela.top() + (tela.height() - h) / 2);
}

TBotaoImagem* TFrmInfo::NovoBotao(const char* imagem, int indice, int quantidade) {
  auto* b = new TBotaoImagem(this);
  b->Virtual = false;
  b->Imagem = imagem;
  b->LinhaAutomatica = true;
  b->QuantidadeNaLinha = quantidade;
  b->IndiceNaLinha = indice;
  b->EspacoNaLinha = EspacoEntreBotoes;
  if (const TFeicao* f = Feicoes().PorId(ElementoBotoes)) {
    const TRetangulo r = Retangulo(f->Registro);
    b->Posicao = {r.Esquerda, r.Topo};
  }
  b->Instalar();
  return b;
}

// The keyboard answers as a system box does: Enter is the first button (OK or
// yes), Escape the one that changes nothing (OK or no).
void TFrmInfo::keyPressEvent(QKeyEvent* e) {
  TBotaoImagem* botao = nullptr;
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    botao = ok_ ? ok_ : sim_;
  } else if (e->key() == Qt::Key_Escape) {
    botao = ok_ ? ok_ : nao_;
  }
  if (botao && botao->AoClicar) {
    botao->AoClicar(*botao);
    return;
  }
  TFrmEncapado::keyPressEvent(e);
}

int TFrmInfo::Mostrar(const std::string& titulo, const std::string& texto, int tipo, bool modal) {
  if (!modal) {
    auto* caixa = new TFrmInfo(titulo, texto, tipo, false);
    caixa->setAttribute(Qt::WA_DeleteOnClose);
    caixa->show();
    return 1;
  }
  const auto caixa = std::make_unique<TFrmInfo>(titulo, texto, tipo, true);
  caixa->setModal(true);
  return caixa->exec();
}

void CaixaDeErro(const std::string& texto) {
  TAguarde::Instancia().Fechar();
  TFrmInfo::Mostrar(std::string(textos_skin::TituloErro), texto, InfoErro, true);
}

void CaixaDeInformacao(const std::string& texto) {
  TFrmInfo::Mostrar(std::string(textos_skin::TituloInformacao), texto, InfoExclamacao, true);
}

void CaixaDeMensagemDeSistema(const std::string& texto) {
  TFrmInfo::Mostrar(std::string(textos_skin::TituloMensagemDeSistema), texto, InfoExclamacao,
                    false);
}

void CaixaDeInformacaoInicial(const std::string& texto) {
  TFrmInfo::Mostrar(std::string(textos_skin::TituloInformacao), texto, InfoInicial, true);
}

bool CaixaDeConfirmacao(const std::string& texto) {
  return TFrmInfo::Mostrar(std::string(textos_skin::TituloConfirmacao), texto, InfoPergunta,
                           true) == ResultadoSim;
}

}  // namespace tazu
