#include "shell/UEventoContato.h"

#include <QPointer>

#include "shell/Contexto.h"
#include "shell/Textos.h"
#include "shell/UAdicionarContato.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

QPointer<TFrmEvento> atual;

}  // namespace

TFrmEvento::TFrmEvento(TContexto& ctx, int tipo, std::string comunidade, std::string identificador,
                       const std::string& texto, const std::string& apelido)
    : ctx_(ctx),
      tipo_(tipo),
      comunidade_(std::move(comunidade)),
      identificador_(std::move(identificador)),
      apelido_(apelido.substr(0, 25)) {
  setWindowTitle(ParaQString(textos_shell::TituloEvento));
  setAttribute(Qt::WA_DeleteOnClose);
  lblNIU_ = new QLabel(ParaQString(identificador_), this);
  lblApelido_ = new QLabel(ParaQString(apelido_), this);
  lblApelido_->setFont(FonteDaSkin(9, true));
  for (QLabel* l : {lblNIU_, lblApelido_}) l->setTextFormat(Qt::PlainText);
  stxDescricao_ = new QPlainTextEdit(ParaQString(texto), this);
  stxDescricao_->setReadOnly(true);
  stxDescricao_->setFrameShape(QFrame::NoFrame);
  stxDescricao_->setFont(FonteDaSkin(8));
  Pecas = CarregarPecas("Eventos");
  ArquivoDescritor = "Eventos.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    switch (f.Registro.Id()) {
      case 1:
        Colocar(*lblNIU_, f);
        lblNIU_->setAutoFillBackground(false);
        return {TTipoFeicao::PSC};
      case 2:
        Colocar(*lblApelido_, f);
        lblApelido_->setAutoFillBackground(false);
        return {TTipoFeicao::PSC};
      case 3:
        Colocar(*stxDescricao_, f);
        return {TTipoFeicao::PSC};
      case 4:
        BotaoDeFigura(f, "Botoes\\Sair.bmp", &TFrmEvento::Sair);
        return {TTipoFeicao::PSC};
      case 5:
        BotaoDeFigura(f, "Botoes\\Adicionar.bmp", &TFrmEvento::Adicionar);
        return {TTipoFeicao::PSC};
      case 6:
        BotaoDeFigura(f, "Botoes\\Rejeitar.bmp", &TFrmEvento::Rejeitar);
        return {TTipoFeicao::PSC};
      case 7:
        BotaoDeFigura(f, "Botoes\\Autorizar.bmp", &TFrmEvento::Autorizar);
        return {TTipoFeicao::PSC};
      case 8:
        return {TTipoFeicao::BTN, [this] { Sair(); }};
      case 9:
        return {TTipoFeicao::MOV};
      default:
        return {};
    }
  };
  Construir();
  AjustarBotoes();
}

TBotaoImagem* TFrmEvento::BotaoDeFigura(TFeicao& f, const char* imagem,
                                        void (TFrmEvento::*acao)()) {
  auto* b = new TBotaoImagem(this);
  b->Virtual = false;
  b->Imagem = imagem;
  const TRetangulo r = Retangulo(f.Registro);
  b->Posicao = {r.Esquerda, r.Topo};
  b->AoClicar = [this, acao](TBotaoImagem&) { (this->*acao)(); };
  b->Instalar();
  f.Objeto = b;
  botoes_[f.Registro.Id()] = b;
  return b;
}

TBotaoImagem* TFrmEvento::Botao(int id) const {
  return id >= 0 && id < 8 ? botoes_[id] : nullptr;
}

void TFrmEvento::AjustarBotoes() {
  const bool naLista = JaNaLista(ctx_.ClientePC, comunidade_, identificador_);
  const bool adicionar = !naLista && (comunidade_ == "Tazu" || comunidade_ == "ICQ") && tipo_ != 4;
  if (botoes_[5]) botoes_[5]->DefinirHabilitado(adicionar);
  for (int id : {6, 7}) {
    if (botoes_[id]) botoes_[id]->DefinirHabilitado(tipo_ == 2);
  }
}

TFrmEvento* TFrmEvento::MostraEvento(TContexto& ctx, int tipo, const std::string& comunidade,
                                     const std::string& identificador, const std::string& texto,
                                     const std::string& apelido) {
  QPointer<TFrmEvento> anterior = atual;
  atual = new TFrmEvento(ctx, tipo, comunidade, identificador, texto, apelido);
  // A notice over an older one would hide it: each comes a step lower.
  if (anterior && anterior->isVisible()) atual->move(anterior->pos() + QPoint(24, 24));
  // Someone else's doing must not take the focus from what the user types.
  atual->setAttribute(Qt::WA_ShowWithoutActivating);
  atual->show();
  return atual;
}

TFrmEvento* TFrmEvento::Atual() {
  return atual;
}

void TFrmEvento::Sair() {
  if (tipo_ == 2) {
    if (!ctx_.Caixas.Confirmacao(std::string(textos_shell::SeVoceSair) + apelido_ +
                                 std::string(textos_shell::SeraRejeitado))) {
      return;
    }
    ctx_.ClientePC.RejeitarAutorizacao(comunidade_, identificador_);
  }
  close();
}

void TFrmEvento::Adicionar() {
  if (JaNaLista(ctx_.ClientePC, comunidade_, identificador_)) {
    ctx_.Caixas.Informacao(std::string(textos_shell::JaNaLista));
    return;
  }
  if (comunidade_ == "Tazu" && identificador_ == std::to_string(ctx_.ClientePC.NIU)) {
    ctx_.Caixas.Informacao(std::string(textos_shell::NaoPodeSeAdicionar));
    return;
  }
  ctx_.ClientePC.AdicionarContato(comunidade_, identificador_);
  close();
}

void TFrmEvento::Rejeitar() {
  ctx_.ClientePC.RejeitarAutorizacao(comunidade_, identificador_);
  close();
}

void TFrmEvento::Autorizar() {
  ctx_.ClientePC.ResponderAutorizacao(comunidade_, identificador_);
  close();
}

}  // namespace tazu
