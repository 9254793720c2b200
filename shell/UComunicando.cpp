#include "shell/UComunicando.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>

#include "core/UGlobal.h"
#include "core/UHistorico.h"
#include "shell/Contexto.h"
#include "shell/Icones.h"
#include "shell/Textos.h"
#include "shell/UFrmInfoUsuario.h"
#include "shell/UHistorico.h"
#include "shell/UPrincipal.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

// Elements 1 to 7 are known by their place in the descriptor.
enum : std::size_t {
  ElementoApelido = 1,
  ElementoNIU,
  ElementoConversa,
  ElementoMemo,
  ElementoEnviar,
  ElementoAnimacao,
  ElementoDigitos,
};

std::string Icone(const std::string& origem, int32_t status) {
  if (origem == "ICQ") return "Icones\\Origens\\ICQ1.bmp";
  if (origem == "MSN") return "Icones\\Origens\\MSN1.bmp";
  if (origem == "Yahoo") return "Icones\\Origens\\YAH1.bmp";
  if (origem == "SMS") return "Icones\\Origens\\Celular.bmp";
  if (origem == "TPC" || status == StatusDesconectado) return {};
  return "Icones\\Origens\\Globo.bmp";
}

}  // namespace

TFrmComunicando::TFrmComunicando(TContexto& ctx) : ctx_(ctx) {
  setAttribute(Qt::WA_DeleteOnClose);
  Pecas = PecasCompartilhadas("Mens");
  ArquivoDescritor = "Mens.cap";
  CriarControles();
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) { return CriarFeicao(f); };
  Construir();
  setWindowIcon(TIcones::Figura("Icones\\Sistema\\TelaMsg.ico"));
  lblDigitos_->setText(QStringLiteral("0"));
  DefinirEnvio(false);
  tmrLimpaMemo_.setInterval(1);
  tmrLimpaMemo_.setSingleShot(true);
  connect(&tmrLimpaMemo_, &QTimer::timeout, this, [this] {
    memo_->clear();
    lblDigitos_->setText(QStringLiteral("0"));
  });
  tmrLimpaMemo_.start();
  auto* altE = new QShortcut(QKeySequence(QStringLiteral("Alt+E")), this);
  connect(altE, &QShortcut::activated, this, [this] {
    if (botaoEnviar_->Habilitado()) Enviar();
  });
  auto* ctrlE = new QShortcut(QKeySequence(QStringLiteral("Ctrl+E")), this);
  connect(ctrlE, &QShortcut::activated, this, [this] {
    if (botaoEnviar_->Habilitado()) Enviar();
  });
}

TFrmComunicando::~TFrmComunicando() {
  if (contato_ && contato_->Janela == this) contato_->Janela = nullptr;
}

void TFrmComunicando::CriarControles() {
  memo_ = new QPlainTextEdit(this);
  memo_->setFrameShape(QFrame::NoFrame);
  memo_->setFont(FonteDaSkin(9));
  memo_->installEventFilter(this);
  connect(memo_, &QPlainTextEdit::textChanged, this, [this] { TextoMudou(); });
  richEdit_ = new QTextEdit(this);
  richEdit_->setReadOnly(true);
  richEdit_->setFrameShape(QFrame::NoFrame);
  richEdit_->setFont(FonteDaSkin(9));
  richEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  richEdit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  lblApelido_ = new QLabel(this);
  lblApelido_->setFont(FonteDaSkin(9, true));
  lblApelido_->setTextFormat(Qt::PlainText);
  lblNIU_ = new QLabel(this);
  lblNIU_->setFont(FonteDaSkin(9, true));
  lblNIU_->setTextFormat(Qt::PlainText);
  lblDigitos_ = new QLabel(QStringLiteral("000"), this);
  lblDigitos_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  imgStatus_ = new QLabel(this);
  imgStatus_->hide();
  imgComunicador_ = new QLabel(this);
  imgComunicador_->hide();
  animacao_ = new TAnimacao(this);
  animacao_->QuadroDeParada = 15;
  animacao_->Carregar("Animacao\\Envio.avi");
}

TResultadoFeicao TFrmComunicando::CriarFeicao(TFeicao& f) {
  const auto e = [&](std::size_t n) { return &f == Feicoes().Elemento(n); };
  if (e(ElementoApelido)) {
    Colocar(*lblApelido_, f);
    lblApelido_->setAutoFillBackground(false);
  } else if (e(ElementoNIU)) {
    Colocar(*lblNIU_, f);
    lblNIU_->setAutoFillBackground(false);
  } else if (e(ElementoConversa)) {
    Colocar(*richEdit_, f);
  } else if (e(ElementoMemo)) {
    Colocar(*memo_, f);
  } else if (e(ElementoEnviar)) {
    botaoEnviar_ = new TBotaoImagem(this);
    botaoEnviar_->Retangulo = Retangulo(f.Registro);
    botaoEnviar_->AoClicar = [this](TBotaoImagem&) { Enviar(); };
    botaoEnviar_->AoMudarCursor = [this](TBotaoImagem&, Qt::CursorShape c) { setCursor(c); };
    botaoEnviar_->Instalar();
    f.Objeto = botaoEnviar_;
  } else if (e(ElementoAnimacao)) {
    Colocar(*animacao_, f);
  } else if (e(ElementoDigitos)) {
    Colocar(*lblDigitos_, f);
  } else {
    switch (f.Registro.Id()) {
      case 8:
        return {TTipoFeicao::BTN, [this] { showMinimized(); }};
      case 9:
        return {TTipoFeicao::BTN, [this] { close(); }};
      case 10:
        return {TTipoFeicao::RDM};
      case 11:
        return {TTipoFeicao::MOV};
      case 12:
        return {TTipoFeicao::BTN, [this] { AbrirHistorico(); }};
      case 13:
        Colocar(*imgStatus_, f);
        imgStatus_->setAutoFillBackground(false);
        break;
      case 14:
        Colocar(*imgComunicador_, f);
        imgComunicador_->setAutoFillBackground(false);
        break;
      case 15:
        return {TTipoFeicao::BTN, [this] { AbrirInformacoes(); }};
      default:
        return {};
    }
  }
  return {TTipoFeicao::PSC};
}

void TFrmComunicando::DefinirContato(TContato* contato) {
  if (!contato) {
    if (contato_ && contato_->Janela == this) contato_->Janela = nullptr;
    contato_ = nullptr;
    // A text still on its way will get no answer now: give the box back.
    if (conversa_.Enviando) FimDoEnvio();
    return;
  }
  contato_ = contato;
  contato->Janela = this;
  conversa_.Comunicador = contato->Comunicador.str();
  conversa_.Identificador = contato->Identificador;
  conversa_.Apelido = contato->Apelido.str();
  Apresentar();
}

void TFrmComunicando::Apresentar() {
  const TContato& c = *contato_;
  lblNIU_->setText(ParaQString(c.Identificador));
  lblNIU_->setToolTip(lblNIU_->text());
  if (c.Comunicador == textos_shell::Tazu) {
    nomeDaRede_ = std::string(textos_shell::TazuMessenger);
  } else if (ctx_.ClientePC.Comunicadores.Localizar(c.Comunicador)) {
    nomeDaRede_ = ctx_.ClientePC.Comunicadores.ComunicadorAtual()->NomeComunidade;
  } else {
    nomeDaRede_ = c.Comunicador.str();
  }
  const bool aEsquerda = c.Origem == "MSN" || c.Origem == "Yahoo";
  lblNIU_->setAlignment((aEsquerda ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter);
  const std::string icone = Icone(c.Origem.str(), c.Status);
  imgComunicador_->setPixmap(icone.empty() ? QPixmap() : TIcones::Figura(icone));
  imgComunicador_->adjustSize();
  imgComunicador_->setVisible(!icone.empty());
  Atualiza();
}

void TFrmComunicando::Atualiza() {
  if (contato_) {
    std::string nome(textos_shell::Desconhecido);
    const int32_t status = contato_->Status;
    const int base = status >= 0 && status < 255 ? NomeDoStatus(static_cast<uint8_t>(status), nome)
                                                 : static_cast<int>(StatusDesconhecido);
    nomeDoStatus_ = nome;
    conversa_.Apelido = contato_->Apelido.str();
    imgStatus_->setPixmap(
        TIcones::Figura(ctx_.DiretorioStatusGrande + "Status" + std::to_string(base) + ".bmp"));
    imgStatus_->adjustSize();
  }
  imgStatus_->setToolTip(ParaQString(nomeDoStatus_));
  const QString titulo = ParaQString(Titulo());
  lblApelido_->setText(titulo);
  setWindowTitle(titulo);
}

std::string TFrmComunicando::Titulo() const {
  return conversa_.Apelido + " (" + nomeDoStatus_ + ")";
}

void TFrmComunicando::TextoMudou() {
  QString texto = memo_->toPlainText();
  if (texto.size() > MaximoDoTexto) {
    texto.truncate(MaximoDoTexto);
    memo_->setPlainText(texto);
    memo_->moveCursor(QTextCursor::End);
    return;  // setPlainText comes back here
  }
  lblDigitos_->setText(QString::number(texto.size()));
  DefinirEnvio(!texto.isEmpty());
}

void TFrmComunicando::DefinirEnvio(bool habilitado) {
  if (botaoEnviar_) botaoEnviar_->DefinirHabilitado(habilitado);
  update();
}

void TFrmComunicando::Enviar() {
  if (!contato_) {
    ctx_.Caixas.Informacao(std::string(textos_shell::NaoEPossivelEnviar) + conversa_.Apelido +
                           std::string(textos_shell::NoMomento) + "\r\n" +
                           std::string(textos_shell::VerifiqueComunicador) + nomeDaRede_ +
                           std::string(textos_shell::EstaConectado));
    return;
  }
  const auto linhas = TConversa::LinhasParaEnviar(ParaCp1252(memo_->toPlainText()));
  if (!linhas) return;
  // Kept as the program keeps every text: lines joined by CR LF.
  conversa_.UltimoEnviado.clear();
  for (std::size_t i = 0; i < linhas->size(); ++i) {
    if (i) conversa_.UltimoEnviado += "\r\n";
    conversa_.UltimoEnviado += (*linhas)[i];
  }
  conversa_.Enviando = true;
  DefinirEnvio(false);
  memo_->setEnabled(false);
  animacao_->Iniciar();
  if (contato_->Comunicador == textos_shell::Tazu) {
    ctx_.ClientePC.EnviarMensagem(contato_->NIU, *linhas);
  } else {
    ctx_.ClientePC.EnviarMensagemComunicador(contato_->Comunicador, contato_->Identificador,
                                             *linhas);
  }
}

void TFrmComunicando::FimDoEnvio() {
  conversa_.Enviando = false;
  animacao_->Parar();
  memo_->setEnabled(true);
  memo_->setFocus();
  TextoMudou();
}

void TFrmComunicando::Mostrar(const std::vector<TTrecho>& trechos) {
  QTextCursor cursor(richEdit_->document());
  cursor.movePosition(QTextCursor::End);
  for (const TTrecho& t : trechos) {
    if (!richEdit_->document()->isEmpty()) cursor.insertBlock();
    QTextCharFormat formato;
    formato.setForeground(CorDaSkin(t.Cor));
    formato.setFontWeight(t.Cabecalho ? QFont::Bold : QFont::Normal);
    cursor.insertText(ParaQString(t.Texto), formato);
  }
  richEdit_->setTextCursor(cursor);
  richEdit_->ensureCursorVisible();
}

void TFrmComunicando::ChegouMensagem(const std::string& hora, std::vector<std::string>& linhas) {
  const std::vector<TTrecho> trechos = conversa_.Recebida(ctx_.ClientePC.NIU, hora, linhas);
  if (!isActiveWindow()) ChamaAtencao();
  Mostrar(trechos);
}

void TFrmComunicando::MensagemEntregue(const std::string& hora) {
  Mostrar(conversa_.Entregue(ctx_.ClientePC.NIU, hora, ctx_.ClientePC.Apelido));
  tmrLimpaMemo_.start();
  FimDoEnvio();
}

void TFrmComunicando::MensagemNaoEntregue(const std::string& hora,
                                          std::vector<std::string>& linhas) {
  Mostrar(conversa_.NaoEntregue(ctx_.ClientePC.NIU, hora, linhas));
  tmrLimpaMemo_.start();
  FimDoEnvio();
}

void TFrmComunicando::ChamaAtencao() {
  // The window manager flashes the caption and the taskbar entry until the
  // window is activated.
  ctx_.PedirAtencao(*this);
  conversa_.NaoLido = true;
  if (contato_ && AoChegarInativa) {
    AoChegarInativa(conversa_.Comunicador, conversa_.Identificador, Titulo());
  }
}

void TFrmComunicando::Ativou() {
  if (conversa_.NaoLido) {
    conversa_.NaoLido = false;
    if (contato_ && AoVerTexto)
      AoVerTexto(conversa_.Comunicador, conversa_.Identificador, Titulo());
  }
  ctx_.JanelaAtiva = this;
}

void TFrmComunicando::changeEvent(QEvent* e) {
  TFrmEncapado::changeEvent(e);
  if (fechando_) return;
  // Restored while active counts as activated: only now can the text be seen.
  if (e->type() == QEvent::WindowStateChange && isActiveWindow() && !isMinimized()) Ativou();
  if (e->type() != QEvent::ActivationChange) return;
  // A minimised window shows nothing: being active does not make its text
  // seen.
  if (isActiveWindow() && !isMinimized()) {
    Ativou();
    if (memo_->isEnabled()) memo_->setFocus();
  } else if (ctx_.JanelaAtiva == this && QApplication::activeWindow()) {
    // Another of our windows took over. When the whole program lost the
    // focus this window stays the one to give it back to.
    ctx_.JanelaAtiva = nullptr;
  }
}

void TFrmComunicando::closeEvent(QCloseEvent* e) {
  fechando_ = true;
  ctx_.JanelasDeConversa.Remover(
      TRegistroDeJanelas<TFrmComunicando>::Chave(conversa_.Comunicador, conversa_.Identificador));
  // Closing counts as having seen what arrived.
  Ativou();
  if (ctx_.JanelaAtiva == this) ctx_.JanelaAtiva = nullptr;
  if (contato_ && contato_->Janela == this) contato_->Janela = nullptr;
  contato_ = nullptr;
  TFrmEncapado::closeEvent(e);
}

void TFrmComunicando::paintEvent(QPaintEvent* e) {
  TFrmEncapado::paintEvent(e);
  // The send button is part of the painted frame: veil it while disabled.
  if (botaoEnviar_ && !botaoEnviar_->Habilitado()) {
    QPainter p(this);
    QColor veu = CorDaJanela();
    veu.setAlpha(150);
    p.fillRect(ParaQRect(botaoEnviar_->Retangulo).adjusted(0, 0, 1, 1), veu);
  }
}

bool TFrmComunicando::eventFilter(QObject* objeto, QEvent* evento) {
  if (objeto == memo_ && evento->type() == QEvent::KeyPress) {
    auto* tecla = static_cast<QKeyEvent*>(evento);
    const bool enter = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
    if (enter && (tecla->modifiers() & Qt::ControlModifier)) {
      Enviar();
      if (conversa_.Enviando) tmrLimpaMemo_.start();
      return true;
    }
  }
  return TFrmEncapado::eventFilter(objeto, evento);
}

void TFrmComunicando::AbrirHistorico() {
  if (ExisteHistorico(ctx_.ClientePC.NIU, conversa_.Comunicador, conversa_.Identificador)) {
    TFrmHistorico::Abrir(ctx_, conversa_.Comunicador, conversa_.Identificador);
  } else {
    ctx_.Caixas.Informacao(std::string(textos_shell::HistoricoDe) + conversa_.Apelido +
                           std::string(textos_shell::EstaVazio));
  }
}

void TFrmComunicando::AbrirInformacoes() {
  if (!contato_) {
    ctx_.Caixas.Informacao(std::string(textos_shell::InformacoesDe) + conversa_.Apelido +
                           std::string(textos_shell::NaoDisponiveis) + "\r\n" +
                           std::string(textos_shell::VerifiqueComunicador) + nomeDaRede_ +
                           std::string(textos_shell::EstaConectado));
  } else {
    TFrmInfoUsuario::MostraInformacoes(ctx_, contato_->Comunicador, contato_->Identificador,
                                       contato_->Apelido);
  }
}

}  // namespace tazu
