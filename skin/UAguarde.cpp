#include "skin/UAguarde.h"

#include <QCoreApplication>

#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

// Elements of "Aguarde.cap".
enum : uint8_t {
  ElementoLinha1 = 1,
  ElementoLinha2 = 2,
  ElementoAnimacao = 3,
  ElementoRotulo = 4,
  ElementoArrasto = 5,
};

QLabel* NovaLinha(QWidget* dono, bool negrito) {
  auto* l = new QLabel(dono);
  l->setFont(FonteDaSkin(8, negrito));
  l->setTextFormat(Qt::PlainText);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  l->setAttribute(Qt::WA_TransparentForMouseEvents);
  return l;
}

}  // namespace

TFrmAguarde::TFrmAguarde() {
  linha1_ = NovaLinha(this, true);
  linha2_ = NovaLinha(this, false);
  linha2_->setWordWrap(true);
  linha2_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  animacao_ = new TAnimacao(this);
  animacao_->Carregar("Animacao\\Envio.avi");

  // The wait window wears the message boxes' frame.
  Pecas = PecasCompartilhadas("Info");
  ArquivoDescritor = "Aguarde.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    switch (f.Registro.Id()) {
      case ElementoLinha1:
        Colocar(*linha1_, f);
        linha1_->setAutoFillBackground(false);
        return {TTipoFeicao::PSC};
      case ElementoLinha2:
        Colocar(*linha2_, f);
        linha2_->setAutoFillBackground(false);
        return {TTipoFeicao::PSC};
      case ElementoAnimacao:
        Colocar(*animacao_, f);
        animacao_->Iniciar();
        return {TTipoFeicao::PSC};
      case ElementoRotulo:
        return {TTipoFeicao::RTL};
      case ElementoArrasto:
        return {TTipoFeicao::MOV};
      default:
        return {};
    }
  };
  Construir();
}

void TFrmAguarde::DefinirLinhas(const std::string& linha1, const std::string& linha2) {
  linha1_->setText(ParaQString(linha1));
  QString segunda = ParaQString(linha2);
  segunda.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  linha2_->setText(segunda);
  setWindowTitle(linha1_->text());
}

TAguarde& TAguarde::Instancia() {
  static TAguarde aguarde;
  return aguarde;
}

QTimer& TAguarde::Temporizador() {
  if (!temporizador_) {
    // Owned by the application, so it goes away with the event loop it needs.
    temporizador_ = new QTimer(QCoreApplication::instance());
    temporizador_->setInterval(IntervaloDeFechamento);
    QObject::connect(temporizador_, &QTimer::timeout, [this] {
      temporizador_->stop();
      FecharAgora();
    });
  }
  return *temporizador_;
}

void TAguarde::Mostrar(const std::string& linha1, const std::string& linha2, bool modal) {
  if (janela_) return;
  auto* janela = new TFrmAguarde();
  janela->setAttribute(Qt::WA_DeleteOnClose);
  janela->DefinirLinhas(linha1, linha2);
  janela_ = janela;
  QObject::connect(janela, &QDialog::finished, [this, janela] {
    if (janela_ == janela) janela_ = nullptr;
  });
  if (modal) {
    janela->setModal(true);
    janela->exec();
  } else {
    janela->show();
  }
}

void TAguarde::Fechar() {
  Temporizador().start();
}

void TAguarde::FecharAgora() {
  if (temporizador_) temporizador_->stop();
  TFrmAguarde* janela = janela_;
  janela_ = nullptr;
  if (janela) janela->done(ResultadoOk);
}

}  // namespace tazu
