#include "shell/UAdicionarContato.h"

#include "core/UGlobal.h"
#include "shell/Contexto.h"
#include "shell/Controles.h"
#include "shell/Textos.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

bool JaNaLista(TClientePCTazu& cliente, const std::string& comunidade,
               const std::string& identificador) {
  return cliente.Contatos.Localizar(comunidade, identificador) &&
         cliente.Contatos.ContatoAtual()->Lista != 'F';
}

TFrmAdicionarContato::TFrmAdicionarContato(TContexto& ctx, std::string comunidade)
    : ctx_(ctx), comunidade_(std::move(comunidade)) {
  setWindowTitle(ParaQString(textos_shell::TituloAdicionar));
  setAttribute(Qt::WA_DeleteOnClose);
  FecharComEsc = true;
  edit_ = NovaCaixa(this, 50);
  imgComunicador_ = new QLabel(this);
  Pecas = CarregarPecas("Adiciona");
  ArquivoDescritor = "Adiciona.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    switch (f.Registro.Id()) {
      case 1:
        return {TTipoFeicao::BTN, [this] { Adicionar(); }};
      case 2:
        return {TTipoFeicao::BTN, [this] { close(); }};
      case 3:
        Colocar(*edit_, f);
        return {TTipoFeicao::PSC};
      case 4:
        return {TTipoFeicao::RTL};
      case 5:
        return {TTipoFeicao::MOV};
      case 6:
        imgComunicador_->setPixmap(QPixmap::fromImage(SemCor(CarregarImagemDaSkin(
            comunidade_ == "MSN" ? "Icones\\Origens\\MSN1.bmp" : "Icones\\Origens\\YAH1.bmp"))));
        Colocar(*imgComunicador_, f);
        return {TTipoFeicao::PSC};
      default:
        return {};
    }
  };
  Construir();
  connect(edit_, &QLineEdit::returnPressed, this, [this] { Adicionar(); });
}

TFrmAdicionarContato* TFrmAdicionarContato::AdicionaContato(TContexto& ctx,
                                                            const std::string& comunidade) {
  auto* janela = new TFrmAdicionarContato(ctx, comunidade);
  janela->show();
  janela->edit_->setFocus();
  return janela;
}

void TFrmAdicionarContato::Adicionar() {
  const std::string t(Aparar(ParaCp1252(edit_->text())));
  if (t.empty()) {
    ctx_.Caixas.Informacao(std::string(textos_shell::InformeContato));
    return;
  }
  TClientePCTazu& cliente = ctx_.ClientePC;
  if (JaNaLista(cliente, comunidade_, t)) {
    ctx_.Caixas.Informacao(std::string(textos_shell::JaNaLista));
    return;
  }
  // Without its adapter the network cannot be asked, nor the own account
  // known: saying that is enough.
  if (!cliente.Comunicadores.Localizar(comunidade_)) {
    ctx_.Caixas.Erro(std::string(textos_shell::ComunicadorAntes) + "\"" + comunidade_ +
                     std::string(textos_shell::EstaDesativado));
    return;
  }
  if (MaiusculasAnsi(cliente.Comunicadores.ComunicadorAtual()->Conta) == MaiusculasAnsi(t)) {
    ctx_.Caixas.Informacao(std::string(textos_shell::NaoPodeSeAdicionar));
    return;
  }
  close();
  ctx_.Espera.Mostrar(std::string(textos_shell::Aguarde),
                      std::string(textos_shell::Adicionando) + t + "\" (" + comunidade_ +
                          std::string(textos_shell::ALista),
                      false);
  cliente.AdicionarContato(comunidade_, t);
}

}  // namespace tazu
