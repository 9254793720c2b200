#include "shell/UFrmRegistroDeUsuario.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>

#include "core/DadosLocais.h"
#include "core/UGlobal.h"
#include "shell/Textos.h"
#include "shell/UPrincipal.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

QPointer<TFrmRegistroDeUsuario> aberta;

}  // namespace

TFrmRegistroDeUsuario::TFrmRegistroDeUsuario(TContexto& ctx) : ctx_(ctx) {
  setWindowTitle(ParaQString(textos_shell::TituloRegistro));
  setAttribute(Qt::WA_DeleteOnClose);
  edtNIU_ = NovaCaixa(this, 9);
  SomenteAlgarismos(*edtNIU_);
  chkNIU_ = new QRadioButton(ParaQString(textos_shell::PeloNumero), this);
  chkApelido_ = new QRadioButton(ParaQString(textos_shell::PeloApelido), this);
  edtApelido_ = NovaCaixa(this, 25);
  edtSenha_ = NovaCaixa(this, 15, true);
  edtConfirmacao_ = NovaCaixa(this, 15, true);
  chkSenha_ = new QCheckBox(ParaQString(textos_shell::LembrarSenhaNoComputador), this);
  for (QWidget* w : std::initializer_list<QWidget*>{chkNIU_, chkApelido_, chkSenha_})
    w->setFont(FonteDaSkin(8));
  chkNIU_->setChecked(true);
  edtApelido_->setEnabled(false);
  connect(chkNIU_, &QRadioButton::toggled, this, [this](bool porNumero) {
    edtNIU_->setEnabled(porNumero);
    edtApelido_->setEnabled(!porNumero);
    (porNumero ? edtNIU_ : edtApelido_)->setFocus();
  });
  Pecas = CarregarPecas("Registro");
  ArquivoDescritor = "Registro.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) -> TResultadoFeicao {
    QWidget* controles[8] = {nullptr,     edtNIU_,   chkNIU_,         chkApelido_,
                             edtApelido_, edtSenha_, edtConfirmacao_, chkSenha_};
    const uint8_t id = f.Registro.Id();
    if (id >= 1 && id <= 7) {
      Colocar(*controles[id], f);
      return {TTipoFeicao::PSC};
    }
    switch (id) {
      case 10:
        return {TTipoFeicao::BTN, [this] { Registrar(); }};
      case 11:
        return {TTipoFeicao::BTN, [this] { close(); }};
      case 12:
        return {TTipoFeicao::MOV};
      case 13:
        return {TTipoFeicao::RTL};
      default:
        return {};
    }
  };
  Construir();
  ok_ = TBotaoDoFundo(*this, 10);
  cancelar_ = TBotaoDoFundo(*this, 11);
  setTabOrder(edtNIU_, edtApelido_);
  setTabOrder(edtApelido_, edtSenha_);
  setTabOrder(edtSenha_, edtConfirmacao_);
  connect(edtConfirmacao_, &QLineEdit::returnPressed, this, [this] { Registrar(); });
  timer_.setInterval(IntervaloDeConexao);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    ctx_.ClientePC.Conectar();
    registrando_ = false;
  });
}

TFrmRegistroDeUsuario::~TFrmRegistroDeUsuario() {
  Devolver();
}

TFrmRegistroDeUsuario* TFrmRegistroDeUsuario::Abrir(TContexto& ctx) {
  if (!aberta) aberta = new TFrmRegistroDeUsuario(ctx);
  ctx.CadastroConcluido = false;
  aberta->show();
  aberta->raise();
  aberta->activateWindow();
  return aberta;
}

void TFrmRegistroDeUsuario::Executar(TContexto& ctx) {
  ctx.CadastroConcluido = false;
  if (aberta) aberta->close();
  aberta = new TFrmRegistroDeUsuario(ctx);
  aberta->exec();
}

TFrmRegistroDeUsuario* TFrmRegistroDeUsuario::Aberta() {
  return aberta;
}

std::string TFrmRegistroDeUsuario::Recusa() const {
  const bool porNumero = chkNIU_->isChecked();
  if (porNumero && edtNIU_->text().isEmpty()) return std::string(textos_shell::InformeNIU);
  if (!porNumero && edtApelido_->text().trimmed().isEmpty())
    return std::string(textos_shell::InformeApelido);
  if (edtSenha_->text().isEmpty()) return std::string(textos_shell::InformeSenha);
  if (edtSenha_->text() != edtConfirmacao_->text())
    return std::string(textos_shell::SenhasDiferentes);
  if (porNumero) {
    uint32_t n = 0;
    // A number no Tazu user can have.
    if (!LerNumero(ParaCp1252(edtNIU_->text()), 65535, n) || n == 0)
      return std::string(textos_shell::InformeNIU);
  }
  // Someone this computer knows already needs no server to say so.
  const std::string procurado = porNumero
                                    ? std::to_string(edtNIU_->text().toUInt())
                                    : MaiusculasAnsi(ParaCp1252(edtApelido_->text().trimmed()));
  for (const TEntradaUsuario& u : ctx_.UsuariosLocais) {
    const bool mesmo = porNumero ? std::to_string(u.Identificador.NIU) == procurado
                                 : MaiusculasAnsi(u.Apelido) == procurado;
    if (mesmo) {
      return std::string(textos_shell::JaRegistrado) + u.Apelido + " (" +
             std::to_string(u.Identificador.NIU) + ")";
    }
  }
  return {};
}

void TFrmRegistroDeUsuario::Registrar() {
  if (registrando_ || conectar_) return;
  const std::string recusa = Recusa();
  if (!recusa.empty()) {
    ctx_.Caixas.Informacao(recusa);
    return;
  }
  TClientePCTazu& c = ctx_.ClientePC;
  c.Senha = ParaCp1252(edtSenha_->text());
  conectar_ = std::make_unique<TEventoTomado<TClientePCTazu::TNotifyEvent>>(
      c.AoConectarServidor, [this](TClientePCTazu&) { Conectou(); });
  comunidade_ = std::make_unique<TEventoTomado<TClientePCTazu::TNotifyEvent>>(
      c.AoConectarComunidade, [this](TClientePCTazu&) { ComunidadeConectada(); });
  desconectar_ = std::make_unique<TEventoTomado<TClientePCTazu::TNotifyEvent>>(
      c.AoDesconectarServidor, [this](TClientePCTazu&) {
        if (registrando_) timer_.start();
      });
  erro_ = std::make_unique<TEventoTomado<TClientePCTazu::TErroDoServidor>>(
      c.AoReceberErro,
      [this](TClientePCTazu&, int numero, const std::string& texto) { Erro(numero, texto); });
  TDadosUsuario& atual = ctx_.UsuarioAtual;
  if (atual.NIU != 0 && LocalizarUsuario(atual.NIU) >= 0) {
    atual.StatusPreferido = c.Status;
    GravarUsuario(atual);
  }
  c.Status = StatusConectado;
  registrando_ = true;
  ok_.Habilitar(false);
  cancelar_.Habilitar(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (c.Conectado) {
    c.Desconectar();
  } else {
    timer_.start();
  }
  ctx_.Espera.Mostrar(std::string(textos_shell::Registrando),
                      std::string(textos_shell::EnviandoRegistro), true);
}

void TFrmRegistroDeUsuario::Conectou() {
  ctx_.EstadoSessao = 2;
  const bool porApelido = chkApelido_->isChecked();
  ctx_.ClientePC.IdentificarCadastro(porApelido ? 1 : 0,
                                     porApelido ? ParaCp1252(edtApelido_->text().trimmed())
                                                : std::to_string(edtNIU_->text().toUInt()));
}

void TFrmRegistroDeUsuario::ComunidadeConectada() {
  TClientePCTazu& c = ctx_.ClientePC;
  TDadosUsuario novo;
  novo.NIU = c.NIU;
  novo.Apelido = c.Apelido.str().substr(0, 25);
  novo.Senha = c.Senha.substr(0, 15);
  novo.StatusPreferido = StatusConectado;
  novo.LembrarSenha = chkSenha_->isChecked();
  if (GravarUsuario(novo)) {
    ctx_.Configuracao.UltimoUsuario = c.NIU;
    GravarConfiguracao(ctx_.Runtime.WallNow());
    CarregarUsuarios(c.NIU);
  } else {
    ctx_.Caixas.Erro(std::string(textos_shell::NaoSalvouUsuario));
  }
  ctx_.CadastroConcluido = true;
  QApplication::restoreOverrideCursor();
  Devolver();
  if (ctx_.Principal) {
    ctx_.Principal->ComunidadeConectada();
    ctx_.Principal->AdiaAviso(std::string(textos_shell::ConectadoAComunidade));
  }
  close();
}

void TFrmRegistroDeUsuario::Erro(int numero, const std::string& texto) {
  registrando_ = false;
  timer_.stop();
  Devolver();
  QApplication::restoreOverrideCursor();
  ctx_.Espera.Fechar();
  if (ctx_.Principal) {
    ctx_.Principal->Avisar(
        TFrmPrincipal::TCaixa::Erro,
        std::string(textos_shell::ErroNumero) + std::to_string(numero) + "\r\n\r\n" + texto);
  }
  ok_.Habilitar(true);
  cancelar_.Habilitar(true);
}

void TFrmRegistroDeUsuario::closeEvent(QCloseEvent* e) {
  if (conectar_) QApplication::restoreOverrideCursor();
  Devolver();
  TFrmEncapado::closeEvent(e);
}

void TFrmRegistroDeUsuario::Devolver() {
  timer_.stop();
  conectar_.reset();
  comunidade_.reset();
  desconectar_.reset();
  erro_.reset();
}

}  // namespace tazu
