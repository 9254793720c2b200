#include "shell/MenuGrande.h"

#include <QGuiApplication>
#include <QScreen>

#include "shell/Contexto.h"
#include "shell/Textos.h"
#include "shell/UGerenciador.h"
#include "shell/UPrincipal.h"
#include "skin/Texto.h"

namespace tazu {

TFrmMenuGrande::TFrmMenuGrande(TContexto& ctx, const std::string& descritor) : ctx_(ctx) {
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setAttribute(Qt::WA_DeleteOnClose);
  Pecas = PecasCompartilhadas("Menu");
  ArquivoDescritor = descritor;
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    if (&f == Feicoes().Elemento(1)) return {TTipoFeicao::PSC};
    switch (f.Registro.Id()) {
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
}

void TFrmMenuGrande::Montar(int numeroDeOpcoes) {
  Construir();
  seletor_ = new TSeletor(this);
  registroDoSeletor_ = Feicoes().Elemento(1);
  if (const TFeicao* f = registroDoSeletor_) {
    seletor_->DefinirImagemFundo(f->Registro.Text());
    seletor_->move(f->Registro.Left(), f->Registro.Top());
    seletor_->AlturaDaSelecao = f->Registro.MinHeight();
  }
  if (numeroDeOpcoes < 0) {
    numeroDeOpcoes = registroDoSeletor_ ? std::max(0, registroDoSeletor_->Registro.MinWidth()) : 0;
  }
  seletor_->NumeroDeOpcoes = numeroDeOpcoes;
  seletor_->AoClicar = [this](TSeletor& s) { Escolheu(s.Atual()); };
  seletor_->show();
}

void TFrmMenuGrande::Exibir() {
  const TFeicao* janela = Feicoes().Janela();
  if (Centralizar || !ctx_.Gerenciador || !janela) {
    const QRect tela = QGuiApplication::primaryScreen()->availableGeometry();
    move(tela.center() - rect().center());
  } else {
    const QPoint base = ctx_.Gerenciador->pos();
    const QPoint d = Deslocamento.value_or(QPoint(janela->Registro.Left(), janela->Registro.Top()));
    move(base + d);
  }
  show();
  raise();
  activateWindow();
}

void TFrmMenuGrande::changeEvent(QEvent* e) {
  TFrmEncapado::changeEvent(e);
  if (e->type() != QEvent::ActivationChange) return;
  // A menu goes away as soon as the user turns to something else.
  if (isActiveWindow()) {
    ativada_ = true;
  } else if (ativada_ && FecharAoDesativar) {
    close();
  }
}

TFrmMenuStatus::TFrmMenuStatus(TContexto& ctx) : TFrmMenuGrande(ctx, "MenuStat.cap") {
  setWindowTitle(ParaQString(textos_shell::TituloMenuStatus));
  Centralizar = false;
  Montar(7);
  for (int linha = 0; linha < 7; ++linha) {
    if (Codigos[linha] == ctx_.ClientePC.Status) Seletor()->Selecionar(linha);
  }
}

void TFrmMenuStatus::Escolheu(int linha) {
  if (linha < 0 || linha >= 7) return;
  close();
  if (ctx_.Principal) ctx_.Principal->AplicaStatus(Codigos[linha], true);
}

TFrmOpcoesMenu::TFrmOpcoesMenu(TContexto& ctx) : TFrmMenuGrande(ctx, "MenuOpc.cap") {
  setWindowTitle(ParaQString(textos_shell::TituloMenuOpcoes));
  Centralizar = false;
  Montar(-1);
}

int TFrmOpcoesMenu::CodigoDaLinha(int linha) const {
  const TFeicao* f = RegistroDoSeletor();
  return f ? f->Registro.CodigoDeOpcao(linha) : 0;
}

void TFrmOpcoesMenu::Escolheu(int linha) {
  const int codigo = CodigoDaLinha(linha);
  close();
  if (ctx_.Principal) ctx_.Principal->ExecutaOpcao(codigo);
}

}  // namespace tazu
