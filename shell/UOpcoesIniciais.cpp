#include "shell/UOpcoesIniciais.h"

#include "shell/Contexto.h"
#include "shell/Textos.h"
#include "shell/UFrmCadastro.h"
#include "shell/UFrmRegistroDeUsuario.h"
#include "skin/Texto.h"

namespace tazu {

TFrmOpcoesIniciais::TFrmOpcoesIniciais(TContexto& ctx) : ctx_(ctx) {
  setWindowTitle(ParaQString(textos_shell::TituloOpcoesIniciais));
  Pecas = CarregarPecas("Prim");
  ArquivoDescritor = "Prim.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    switch (f.Registro.Id()) {
      case 1:
        return {TTipoFeicao::BTN, [this] { NovoCadastro(); }};
      case 2:
        return {TTipoFeicao::BTN, [this] { RegistrarExistente(); }};
      case 3:
        return {TTipoFeicao::BTN, [this] { close(); }};
      case 4:
        return {TTipoFeicao::MOV};
      default:
        return {};
    }
  };
  Construir();
}

void TFrmOpcoesIniciais::Executar(TContexto& ctx) {
  TFrmOpcoesIniciais janela(ctx);
  janela.exec();
}

void TFrmOpcoesIniciais::NovoCadastro() {
  hide();
  TFrmCadastro::Executar(ctx_);
  if (ctx_.CadastroConcluido) {
    concluido_ = true;
    accept();
  } else {
    show();
  }
}

void TFrmOpcoesIniciais::RegistrarExistente() {
  hide();
  TFrmRegistroDeUsuario::Executar(ctx_);
  if (ctx_.CadastroConcluido) {
    concluido_ = true;
    accept();
  } else {
    show();
  }
}

void TFrmOpcoesIniciais::done(int resultado) {
  TFrmEncapado::done(resultado);
  if (!concluido_ && ctx_.EstadoSessao == 0) ctx_.Terminar(0);
}

}  // namespace tazu
