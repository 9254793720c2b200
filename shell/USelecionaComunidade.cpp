#include "shell/USelecionaComunidade.h"

#include "shell/Contexto.h"
#include "shell/Textos.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

constexpr const char* kComunidades[4] = {"Tazu", "ICQ", "MSN", "Yahoo"};

}  // namespace

TFrmSelecionaComunidade::TFrmSelecionaComunidade(TContexto& ctx) : ctx_(ctx) {
  setWindowTitle(ParaQString(textos_shell::TituloSelecao));
  const std::string_view rotulos[4] = {textos_shell::RadioTazu, textos_shell::RadioICQ,
                                       textos_shell::RadioMSN, textos_shell::RadioYahoo};
  for (std::size_t i = 0; i < 4; ++i) {
    opcoes_[i] = new QRadioButton(ParaQString(rotulos[i]), this);
    opcoes_[i]->setFont(FonteDaSkin(8));
    opcoes_[i]->hide();
  }
  Pecas = CarregarPecas("Selecao");
  ArquivoDescritor = "Selecao.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    const uint8_t id = f.Registro.Id();
    switch (id) {
      case 1:
        return {TTipoFeicao::BTN, [this] { Ok(); }};
      case 2:
        return {TTipoFeicao::BTN, [this] { done(ResultadoCancelar); }};
      case 3:
      case 4:
      case 5:
      case 6:
        Colocar(*opcoes_[id - 3u], f);
        return {TTipoFeicao::PSC};
      case 7:
        return {TTipoFeicao::RTL};
      case 8:
        return {TTipoFeicao::MOV};
      default:
        return {};
    }
  };
  Construir();
}

void TFrmSelecionaComunidade::Ok() {
  std::string escolhida;
  for (std::size_t i = 0; i < 4; ++i) {
    if (opcoes_[i]->isChecked()) escolhida = kComunidades[i];
  }
  if (escolhida.empty()) {
    ctx_.Caixas.Informacao(std::string(textos_shell::IndiqueComunidade));
    return;
  }
  if (escolhida != "Tazu" && !ctx_.ClientePC.Comunicadores.Localizar(escolhida)) {
    ctx_.Caixas.Informacao(std::string(textos_shell::HabiliteAntes) + escolhida +
                           std::string(textos_shell::HabiliteDepois));
    return;
  }
  comunidade_ = escolhida;
  done(ResultadoOk);
}

std::optional<std::string> TFrmSelecionaComunidade::SelecionaComunidade(TContexto& ctx) {
  TFrmSelecionaComunidade janela(ctx);
  if (janela.exec() != ResultadoOk) return std::nullopt;
  return janela.Comunidade();
}

}  // namespace tazu
