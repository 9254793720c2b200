#include "shell/UHistorico.h"

#include <QTextCursor>

#include "core/UGlobal.h"
#include "core/UHistorico.h"
#include "shell/Contexto.h"
#include "shell/Conversa.h"
#include "shell/Textos.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

uint32_t CorDoTipo(int tipo) {
  switch (tipo) {
    case HistoricoRecebida:
      return CorAzul;
    case HistoricoEnviada:
      return CorVerde;
    default:
      return CorVermelha;
  }
}

}  // namespace

TFrmHistorico::TFrmHistorico(TContexto& ctx, const std::string& comunicador,
                             const std::string& identificador)
    : ctx_(ctx), comunicador_(comunicador), identificador_(identificador) {
  setWindowTitle(ParaQString(textos_shell::TituloHistorico));
  richEdit_ = new QTextEdit(this);
  richEdit_->setReadOnly(true);
  richEdit_->setFrameShape(QFrame::NoFrame);
  richEdit_->setFont(FonteDaSkin(9));
  richEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  richEdit_->hide();
  Pecas = PecasCompartilhadas("Mens");
  ArquivoDescritor = "Hist.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) { return CriarFeicao(f); };
  Construir();
}

TFrmHistorico* TFrmHistorico::Abrir(TContexto& ctx, const std::string& comunicador,
                                    const std::string& identificador) {
  auto* janela = new TFrmHistorico(ctx, comunicador, identificador);
  janela->setAttribute(Qt::WA_DeleteOnClose);
  janela->Ler();
  janela->show();
  return janela;
}

TBotaoImagem* TFrmHistorico::BotaoDeFigura(TFeicao& f, const char* imagem) {
  auto* b = new TBotaoImagem(this);
  b->Virtual = false;
  b->Imagem = imagem;
  const TRetangulo r = Retangulo(f.Registro);
  b->Posicao = {r.Esquerda, r.Topo};
  b->Instalar();
  f.Objeto = b;
  return b;
}

TResultadoFeicao TFrmHistorico::CriarFeicao(TFeicao& f) {
  switch (f.Registro.Id()) {
    case 1:
      Colocar(*richEdit_, f);
      return {TTipoFeicao::PSC};
    case 2:
      limpar_ = BotaoDeFigura(f, "Botoes\\Limpar.bmp");
      limpar_->AoClicar = [this](TBotaoImagem&) { Limpar(); };
      return {TTipoFeicao::PSC};
    case 3:
      ok_ = BotaoDeFigura(f, "Botoes\\Ok.bmp");
      ok_->AoClicar = [this](TBotaoImagem&) { close(); };
      return {TTipoFeicao::PSC};
    case 4:
      return {TTipoFeicao::BTN, [this] { close(); }};
    case 5:
      return {TTipoFeicao::RTL};
    case 6:
      return {TTipoFeicao::MOV};
    case 7:
      return {TTipoFeicao::RDM};
    default:
      return {};
  }
}

void TFrmHistorico::Ler() {
  richEdit_->clear();
  QTextCursor cursor(richEdit_->document());
  bool primeiro = true;
  auto paragrafo = [&](const std::string& texto, uint32_t cor, bool negrito) {
    if (!primeiro) cursor.insertBlock();
    primeiro = false;
    QTextCharFormat formato;
    formato.setForeground(CorDaSkin(cor));
    formato.setFontWeight(negrito ? QFont::Bold : QFont::Normal);
    cursor.insertText(ParaQString(texto), formato);
  };
  for (const TLinhaHistorico& l : LerHistorico(ctx_.ClientePC.NIU, comunicador_, identificador_)) {
    paragrafo("[" + l.Hora + "] " + l.Cabecalho, CorDoTipo(l.Tipo), true);
    for (const std::string& linha : DividirLinhas(l.Texto)) paragrafo(linha, CorPreta, false);
  }
  richEdit_->setTextCursor(cursor);
  richEdit_->ensureCursorVisible();
}

void TFrmHistorico::Limpar() {
  ApagarHistorico(ctx_.ClientePC.NIU, comunicador_, identificador_);
  richEdit_->clear();
}

}  // namespace tazu
