#include "shell/UOpcoesIniciais.h"

#include "shell/Contexto.h"
#include "shell/Textos.h"
#include "shell/UPrincipal.h"
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

// The registration windows come with a later version: until then each button
// says so and the options come back.
void TFrmOpcoesIniciais::NovoCadastro() {
  hide();
  ctx_.CadastroConcluido = false;
  if (ctx_.Principal) ctx_.Principal->AindaNaoDisponivel(textos_shell::JanelaCadastro);
  if (ctx_.CadastroConcluido) {
    concluido_ = true;
    accept();
  } else {
    show();
  }
}

void TFrmOpcoesIniciais::RegistrarExistente() {
  hide();
  ctx_.CadastroConcluido = false;
  if (ctx_.Principal) ctx_.Principal->AindaNaoDisponivel(textos_shell::JanelaRegistro);
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
