#include "shell/USobre.h"

#include <QPointer>

#include "shell/Textos.h"
#include "skin/Texto.h"

namespace tazu {

TFrmSobre::TFrmSobre() {
  setWindowTitle(ParaQString(textos_shell::TituloSobre));
  setAttribute(Qt::WA_DeleteOnClose);
  FecharComEsc = true;
  Pecas = CarregarPecas("Sobre");
  ArquivoDescritor = "Sobre.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    switch (f.Registro.Id()) {
      case 1: {
        ok_ = new TBotaoImagem(this);
        ok_->Virtual = false;
        ok_->Imagem = "Botoes\\Ok.bmp";
        const TRetangulo r = Retangulo(f.Registro);
        ok_->Posicao = {r.Esquerda, r.Topo};
        // A centred record: the button centres itself in the window.
        ok_->LinhaAutomatica = f.Registro.AnchorLeft() && f.Registro.Left() == -1;
        ok_->AoClicar = [this](TBotaoImagem&) { close(); };
        ok_->Instalar();
        f.Objeto = ok_;
        return {TTipoFeicao::PSC};
      }
      case 2:
        return {TTipoFeicao::BTN, [this] { close(); }};
      case 3:
        return {TTipoFeicao::MOV};
      case 4:
        return {TTipoFeicao::RTL};
      default:
        return {};
    }
  };
  Construir();
}

TFrmSobre* TFrmSobre::Abrir() {
  static QPointer<TFrmSobre> aberta;
  if (!aberta) aberta = new TFrmSobre();
  aberta->show();
  aberta->raise();
  aberta->activateWindow();
  return aberta;
}

}  // namespace tazu
