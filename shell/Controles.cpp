#include "shell/Controles.h"

#include <QPainter>
#include <QRegularExpressionValidator>

#include "skin/Skin.h"

namespace tazu {

namespace {

class TVeu : public QWidget {
 public:
  explicit TVeu(QWidget* pai) : QWidget(pai) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
  }
  bool Opaco = false;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QColor cor = parentWidget()->palette().color(QPalette::Window);
    cor.setAlpha(Opaco ? 255 : 170);
    p.fillRect(rect(), cor);
  }
};

}  // namespace

QLineEdit* NovaCaixa(QWidget* pai, int maximo, bool senha) {
  auto* caixa = new QLineEdit(pai);
  caixa->setFrame(false);
  caixa->setFont(FonteDaSkin(8));
  caixa->setMaxLength(maximo);
  if (senha) caixa->setEchoMode(QLineEdit::Password);
  return caixa;
}

void SomenteAlgarismos(QLineEdit& caixa) {
  caixa.setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), &caixa));
}

TPagina::TPagina(QWidget* pai, std::string_view figura) : QLabel(pai) {
  setPixmap(QPixmap::fromImage(CarregarImagemDaSkin(figura)));
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setAutoFillBackground(true);
}

void TPagina::Colocar(QWidget& controle, const TRegistroFeicao& r) {
  ColorirControle(controle, r.Color(), r.FontColor());
  controle.setParent(this);
  controle.setGeometry(ParaQRect(RetanguloDoElemento(r, ParaTamanho(size()))));
  controle.show();
}

TBotaoDoFundo::TBotaoDoFundo(TFrmEncapado& janela, uint8_t id, bool comVeu) {
  if (TFeicao* f = janela.Feicoes().PorId(id))
    botao_ = dynamic_cast<TBotaoImagem*>(f->Objeto.data());
  if (comVeu) veu_ = new TVeu(&janela);
  Reposicionar();
}

void TBotaoDoFundo::DefinirOpaco(bool opaco) {
  if (auto* veu = static_cast<TVeu*>(veu_.data())) {
    veu->Opaco = opaco;
    veu->update();
  }
}

void TBotaoDoFundo::Habilitar(bool habilitado) {
  if (!botao_) return;
  botao_->DefinirHabilitado(habilitado);
  if (veu_) {
    veu_->setVisible(!habilitado);
    veu_->raise();
  }
}

void TBotaoDoFundo::Reposicionar() {
  if (!botao_ || !veu_) return;
  veu_->setGeometry(ParaQRect(botao_->Retangulo));
}

void TBotaoDoFundo::Clicar() {
  if (botao_ && botao_->Habilitado() && botao_->AoClicar) botao_->AoClicar(*botao_);
}

}  // namespace tazu
