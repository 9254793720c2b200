#include "shell/UFrmCadastro.h"

#include <QCloseEvent>
#include <QDate>
#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>

#include "core/DadosLocais.h"
#include "shell/Textos.h"
#include "shell/UFramesCadastro.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

QPointer<TFrmCadastro> aberta;

}  // namespace

TFrmCadastro::TFrmCadastro(TContexto& ctx) : ctx_(ctx) {
  setWindowTitle(ParaQString(textos_shell::TituloCadastro));
  setAttribute(Qt::WA_DeleteOnClose);
  area_ = new QWidget(this);
  Pecas = CarregarPecas("Cadastro");
  ArquivoDescritor = "Cadastro.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    switch (f.Registro.Id()) {
      case 1:
        return {TTipoFeicao::BTN, [this] { Voltar(); }};
      case 2:
        return {TTipoFeicao::BTN, [this] { Avancar(); }};
      case 3:
        return {TTipoFeicao::BTN, [this] { Concluir(); }};
      case 4:
        return {TTipoFeicao::BTN, [this] { Sair(); }};
      case 5:
        return {TTipoFeicao::BTN, [] {}};
      case 6:
        return {TTipoFeicao::MOV};
      case 7:
        return {TTipoFeicao::BTN, [this] { Voltar(); }};
      case 8:
        Colocar(*area_, f);
        return {TTipoFeicao::PSC};
      default:
        return {};  // the pages place the rest
    }
  };
  Construir();
  const uint8_t ids[QuantidadeDeBotoes] = {1, 2, 3, 4, 7};
  for (int b = 0; b < QuantidadeDeBotoes; ++b)
    botoes_[b] = TBotaoDoFundo(*this, ids[b], b != BtnVoltarErro);
  timerConnect_.setInterval(IntervaloDeConexao);
  timerConnect_.setSingleShot(true);
  connect(&timerConnect_, &QTimer::timeout, this, [this] {
    ctx_.ClientePC.Conectar();
    registrando_ = false;
  });
  // Alt+A, Alt+V and Alt+C also from inside the page's boxes, which would
  // otherwise take the letter.
  const std::pair<Qt::Key, void (TFrmCadastro::*)()> atalhos[] = {
      {Qt::Key_A, &TFrmCadastro::Avancar},
      {Qt::Key_V, &TFrmCadastro::Voltar},
      {Qt::Key_C, &TFrmCadastro::Concluir}};
  for (const auto& [tecla, acao] : atalhos) {
    connect(new QShortcut(QKeySequence(Qt::ALT | tecla), this), &QShortcut::activated, this,
            [this, acao] { (this->*acao)(); });
  }
  MudarPagina(Dados);
}

TFrmCadastro::~TFrmCadastro() {
  Devolver();
}

TFrmCadastro* TFrmCadastro::Abrir(TContexto& ctx) {
  if (!aberta) aberta = new TFrmCadastro(ctx);
  ctx.CadastroConcluido = false;
  aberta->show();
  aberta->raise();
  aberta->activateWindow();
  return aberta;
}

void TFrmCadastro::Executar(TContexto& ctx) {
  ctx.CadastroConcluido = false;
  if (aberta) aberta->close();
  aberta = new TFrmCadastro(ctx);
  aberta->exec();
}

TFrmCadastro* TFrmCadastro::Aberta() {
  return aberta;
}

TFrameCadastro1* TFrmCadastro::Pagina1() const {
  return dynamic_cast<TFrameCadastro1*>(frame_);
}
TFrameCadastro2* TFrmCadastro::Pagina2() const {
  return dynamic_cast<TFrameCadastro2*>(frame_);
}
TFrameCadastro3* TFrmCadastro::Pagina3() const {
  return dynamic_cast<TFrameCadastro3*>(frame_);
}
TFrameCadastroOk* TFrmCadastro::PaginaOk() const {
  return dynamic_cast<TFrameCadastroOk*>(frame_);
}
TFrameCadastroErro* TFrmCadastro::PaginaErro() const {
  return dynamic_cast<TFrameCadastroErro*>(frame_);
}

void TFrmCadastro::MudarPagina(int pagina) {
  TPagina* novo = nullptr;
  switch (pagina) {
    case Dados:
      novo = new TFrameCadastro1(area_, Feicoes(), ficha_);
      break;
    case Complemento: {
      auto* p = new TFrameCadastro2(area_, Feicoes(), ficha_);
      p->AoRecusar = [this](const std::string& texto) { ctx_.Caixas.Informacao(texto); };
      novo = p;
      break;
    }
    case Privacidade:
      novo = new TFrameCadastro3(area_, Feicoes(), ficha_);
      break;
    case Aceito:
      novo = new TFrameCadastroOk(area_, Feicoes());
      break;
    default:
      novo = new TFrameCadastroErro(area_, Feicoes());
      break;
  }
  delete frame_;
  frame_ = novo;
  frame_->show();
  pagina_ = pagina;
  AjustarBotoes();
  if (auto* p1 = Pagina1()) p1->EdtApelido->setFocus();
  if (auto* p2 = Pagina2()) p2->ChkMasculino->setFocus();
}

void TFrmCadastro::AjustarBotoes() {
  const bool livre = !bloqueado_;
  botoes_[BtnVoltar].Habilitar(livre && (pagina_ == Complemento || pagina_ == Privacidade));
  botoes_[BtnVoltarErro].Habilitar(livre && pagina_ == Recusado);
  botoes_[BtnAvancar].Habilitar(livre && (pagina_ == Dados || pagina_ == Complemento));
  botoes_[BtnConcluir].Habilitar(livre && pagina_ == Privacidade);
  botoes_[BtnSair].Habilitar(livre);
}

void TFrmCadastro::HabilitarTodos(bool habilitado) {
  bloqueado_ = !habilitado;
  AjustarBotoes();
}

bool TFrmCadastro::Habilitado(int botao) const {
  switch (botao) {
    case 1:
      return botoes_[BtnVoltar].Habilitado() || botoes_[BtnVoltarErro].Habilitado();
    case 2:
      return botoes_[BtnAvancar].Habilitado();
    case 3:
      return botoes_[BtnConcluir].Habilitado();
    default:
      return botoes_[BtnSair].Habilitado();
  }
}

void TFrmCadastro::CopiarPagina() {
  if (auto* p = Pagina1()) p->Copiar(ficha_);
  if (auto* p = Pagina2()) p->Copiar(ficha_);
  if (auto* p = Pagina3()) p->Copiar(ficha_);
}

void TFrmCadastro::Avancar() {
  if (!Habilitado(2)) return;
  CopiarPagina();
  if (pagina_ == Dados) {
    const std::string recusa = RecusaDaPrimeiraPagina(ficha_);
    if (!recusa.empty()) {
      ctx_.Caixas.Erro(recusa);
      return;
    }
    MudarPagina(Complemento);
  } else if (pagina_ == Complemento) {
    const TCampoDaData data =
        VerificarData(ficha_.Dia, ficha_.Mes, ficha_.Ano, QDate::currentDate().year());
    if (data != TCampoDaData::Nenhum) {
      ctx_.Caixas.Informacao(RecusaDaData(data));
      return;
    }
    // A click on a painted button never takes the focus from the mobile box,
    // so its check is made here as well.
    if (!Pagina2()->VerificarCelular()) return;
    MudarPagina(Privacidade);
  }
}

void TFrmCadastro::Voltar() {
  if (!Habilitado(1)) return;
  CopiarPagina();
  MudarPagina(pagina_ == Recusado ? Dados : pagina_ - 1);
}

void TFrmCadastro::Concluir() {
  if (!Habilitado(3)) return;
  CopiarPagina();
  // A second try after a refusal takes the events afresh.
  Devolver();
  TClientePCTazu& c = ctx_.ClientePC;
  conectar_ = std::make_unique<TEventoTomado<TClientePCTazu::TNotifyEvent>>(
      c.AoConectarServidor, [this](TClientePCTazu&) { Conectou(); });
  desconectar_ = std::make_unique<TEventoTomado<TClientePCTazu::TNotifyEvent>>(
      c.AoDesconectarServidor, [this](TClientePCTazu&) { Desconectou(); });
  aceitar_ = std::make_unique<TEventoTomado<decltype(TClientePCTazu::AoAceitarCadastro)>>(
      c.AoAceitarCadastro, [this](TClientePCTazu&, uint16_t niu, const std::string& texto) {
        CadastroAceito(niu, texto);
      });
  erro_ = std::make_unique<TEventoTomado<TClientePCTazu::TErroDoServidor>>(
      c.AoReceberErro,
      [this](TClientePCTazu&, int, const std::string& texto) { CadastroRecusado(texto); });
  registrando_ = true;
  HabilitarTodos(false);
  ctx_.Espera.Mostrar(std::string(textos_shell::Aguarde),
                      std::string(textos_shell::EmitindoCadastro), false);
  if (c.Conectado) {
    c.Desconectar();
  } else {
    timerConnect_.start();
  }
}

void TFrmCadastro::Conectou() {
  ctx_.EstadoSessao = 2;
  ctx_.ClientePC.Cadastrar(ValoresDoCadastro(ficha_));
}

void TFrmCadastro::Desconectou() {
  if (registrando_) timerConnect_.start();
}

void TFrmCadastro::CadastroAceito(uint16_t niu, const std::string& boasVindas) {
  concluido_ = true;
  niu_ = niu;
  HabilitarTodos(true);
  MudarPagina(Aceito);
  TFrameCadastroOk* ok = PaginaOk();
  ok->LblApelido->setText(ParaQString(ficha_.Apelido));
  ok->LblNIU->setText(QString::number(niu));
  ok->StxBoasVindas->setPlainText(ParaQString(boasVindas));
  TClientePCTazu& c = ctx_.ClientePC;
  c.NIU = niu;
  c.Senha = ficha_.Senha.substr(0, 15);
  c.Identificar(StatusConectado);
}

void TFrmCadastro::CadastroRecusado(const std::string& texto) {
  registrando_ = false;
  timerConnect_.stop();
  HabilitarTodos(true);
  if (pagina_ != Recusado) MudarPagina(Recusado);
  PaginaErro()->StxErro->setPlainText(ParaQString(texto));
  ctx_.Espera.Fechar();
  if (ctx_.ClientePC.Conectado) ctx_.ClientePC.Desconectar();
}

void TFrmCadastro::Sair() {
  if (!Habilitado(4)) return;
  if (concluido_) {
    TDadosUsuario novo;
    novo.NIU = niu_;
    novo.Apelido = ficha_.Apelido.substr(0, 25);
    novo.Senha = ficha_.Senha.substr(0, 15);
    novo.StatusPreferido = StatusConectado;
    novo.LembrarSenha = ficha_.LembrarSenha;
    if (GravarUsuario(novo)) {
      ctx_.Configuracao.UltimoUsuario = niu_;
      GravarConfiguracao(ctx_.Runtime.WallNow());
      CarregarUsuarios(niu_);
    }
    ctx_.CadastroConcluido = true;
  }
  close();
}

void TFrmCadastro::keyPressEvent(QKeyEvent* e) {
  if (e->modifiers() == Qt::AltModifier) {
    switch (e->key()) {
      case Qt::Key_A:
        Avancar();
        return;
      case Qt::Key_V:
        Voltar();
        return;
      case Qt::Key_C:
        Concluir();
        return;
      default:
        break;
    }
  }
  TFrmEncapado::keyPressEvent(e);
}

void TFrmCadastro::closeEvent(QCloseEvent* e) {
  Devolver();
  TFrmEncapado::closeEvent(e);
}

// The main form gets the client's events back.
void TFrmCadastro::Devolver() {
  timerConnect_.stop();
  conectar_.reset();
  desconectar_.reset();
  aceitar_.reset();
  erro_.reset();
}

}  // namespace tazu
