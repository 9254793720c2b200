#include "shell/UPedidoAutorizacao.h"

#include "shell/Contexto.h"
#include "shell/Textos.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

TFrmPedidoAutorizacao::TFrmPedidoAutorizacao(TContexto& ctx, std::string comunidade,
                                             std::string identificador,
                                             const std::string& explicacao)
    : ctx_(ctx), comunidade_(std::move(comunidade)), identificador_(std::move(identificador)) {
  setWindowTitle(ParaQString(textos_shell::TituloPedidoAutorizacao));
  setAttribute(Qt::WA_DeleteOnClose);
  stxDescricao_ = new QLabel(ParaQString(explicacao), this);
  stxDescricao_->setWordWrap(true);
  stxDescricao_->setTextFormat(Qt::PlainText);
  stxDescricao_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  stxDescricao_->setFont(FonteDaSkin(8));
  memo_ = new QPlainTextEdit(this);
  memo_->setFrameShape(QFrame::NoFrame);
  memo_->setFont(FonteDaSkin(8));
  memo_->setTabChangesFocus(true);
  Pecas = CarregarPecas("PedeAut");
  ArquivoDescritor = "PedeAut.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    switch (f.Registro.Id()) {
      case 1:
        Colocar(*stxDescricao_, f);
        stxDescricao_->setAutoFillBackground(false);
        return {TTipoFeicao::PSC};
      case 2:
        Colocar(*memo_, f);
        return {TTipoFeicao::PSC};
      case 3:
        return {TTipoFeicao::BTN, [this] { close(); }};
      case 4:
        return {TTipoFeicao::BTN, [this] { Enviar(); }};
      case 5:
        return {TTipoFeicao::MOV};
      case 6:
        return {TTipoFeicao::RTL};
      default:
        return {};
    }
  };
  Construir();
}

TFrmPedidoAutorizacao* TFrmPedidoAutorizacao::Abrir(TContexto& ctx, const std::string& comunidade,
                                                    const std::string& identificador,
                                                    const std::string& explicacao) {
  auto* janela = new TFrmPedidoAutorizacao(ctx, comunidade, identificador, explicacao);
  janela->show();
  janela->memo_->setFocus();
  return janela;
}

void TFrmPedidoAutorizacao::Enviar() {
  // The memo's line breaks are the program's CR LF, as every text it sends.
  std::string texto = ParaCp1252(memo_->toPlainText());
  std::string comQuebras;
  for (char c : texto) {
    if (c == '\n') {
      comQuebras += "\r\n";
    } else {
      comQuebras += c;
    }
  }
  ctx_.ClientePC.PedirAutorizacao(comunidade_, identificador_, comQuebras);
  close();
}

}  // namespace tazu
