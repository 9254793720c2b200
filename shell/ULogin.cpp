#include "shell/ULogin.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

#include "core/UGlobal.h"
#include "shell/Contexto.h"
#include "shell/Textos.h"
#include "shell/UOpcoesIniciais.h"
#include "skin/Texto.h"

namespace tazu {

TFrmLogin::TFrmLogin(TContexto& ctx) : ctx_(ctx) {
  setWindowTitle(ParaQString(textos_shell::TituloLogin));
  edtNIU_ = new QLineEdit(this);
  edtNIU_->setFrame(false);
  edtNIU_->setMaxLength(5);
  edtNIU_->installEventFilter(this);
  edtSenha_ = new QLineEdit(this);
  edtSenha_->setFrame(false);
  edtSenha_->setEchoMode(QLineEdit::Password);
  edtSenha_->setMaxLength(15);
  edtSenha_->installEventFilter(this);
  chkSalvarSenha_ = new QCheckBox(ParaQString(textos_shell::LembrarSenha), this);
  chkSalvarSenha_->hide();
  Pecas = CarregarPecas("Login");
  ArquivoDescritor = "Login.cap";
  AoCriarFeicao = [this](TFrmEncapado&, TFeicao& f) { return CriarFeicao(f); };
  Construir();
  setTabOrder(edtNIU_, edtSenha_);
  setTabOrder(edtSenha_, chkSalvarSenha_);
}

TResultadoFeicao TFrmLogin::CriarFeicao(TFeicao& f) {
  switch (f.Registro.Id()) {
    case 1:
      Colocar(*edtNIU_, f);
      return {TTipoFeicao::PSC};
    case 2:
      Colocar(*edtSenha_, f);
      return {TTipoFeicao::PSC};
    case 3: {
      Colocar(*chkSalvarSenha_, f);
      const TRetangulo r = Retangulo(f.Registro);
      chkSalvarSenha_->move(r.Esquerda, r.Topo);
      return {TTipoFeicao::PSC};
    }
    case 4:
      return {TTipoFeicao::BTN, [this] { Ok(); }};
    case 5:
      return {TTipoFeicao::BTN, [this] { done(ResultadoCancelar); }};
    case 6:
      return {TTipoFeicao::MOV};
    case 7:
      return {TTipoFeicao::RTL};
    default:
      return {};
  }
}

uint16_t TFrmLogin::Numero() const {
  uint32_t n = 0;
  return LerNumero(ParaCp1252(edtNIU_->text()), 65535, n) ? static_cast<uint16_t>(n) : 0;
}

bool TFrmLogin::VerificarNumero() {
  const std::string texto = ParaCp1252(edtNIU_->text());
  if (texto.empty()) return true;
  const uint16_t n = Numero();
  if (n != 0 && LocalizarUsuario(n) >= 0) return true;
  // The box below takes the focus away from the number box: that must not
  // check the number a second time.
  verificando_ = true;
  ctx_.Caixas.Informacao(std::string(textos_shell::UsuarioAntes) + texto +
                         std::string(textos_shell::UsuarioNaoRegistrado));
  verificando_ = false;
  edtNIU_->clear();
  edtNIU_->setFocus();
  return false;
}

void TFrmLogin::Ok() {
  // An unknown number has been reported already; a second box about empty
  // boxes would only repeat it.
  if (!VerificarNumero()) return;
  if (!edtNIU_->text().isEmpty() && !edtSenha_->text().isEmpty()) {
    ctx_.SalvarSenha = chkSalvarSenha_->isChecked();
    done(ResultadoOk);
    return;
  }
  ctx_.Caixas.Informacao(std::string(textos_shell::InformeNumeroESenha));
}

void TFrmLogin::showEvent(QShowEvent* e) {
  TFrmEncapado::showEvent(e);
  edtSenha_->setFocus();
  QTimer::singleShot(0, this, [this] { VerificarNumero(); });
}

bool TFrmLogin::eventFilter(QObject* objeto, QEvent* evento) {
  if (objeto == edtNIU_ && evento->type() == QEvent::FocusOut && !verificando_) {
    // Only the user moving on counts, not another window coming up.
    const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
    if (motivo == Qt::TabFocusReason || motivo == Qt::BacktabFocusReason ||
        motivo == Qt::MouseFocusReason) {
      QTimer::singleShot(0, this, [this] { VerificarNumero(); });
    }
  }
  if (objeto == edtSenha_ && evento->type() == QEvent::KeyPress) {
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
      Ok();
      return true;
    }
  }
  return TFrmEncapado::eventFilter(objeto, evento);
}

void TrocarUsuarioAtual(TContexto& ctx, uint16_t niu) {
  CarregarUsuarios(niu);
  ctx.Configuracao.UltimoUsuario = niu;
  GravarConfiguracao(ctx.Runtime.WallNow());
}

void IniciaLogin(TContexto& ctx) {
  static bool emAndamento = false;
  if (emAndamento) return;
  emAndamento = true;
  if (ctx.EstadoSessao == 0) {
    TFrmOpcoesIniciais::Executar(ctx);
  } else if (ctx.UsuarioAtual.NIU != 0 && !ctx.UsuarioAtual.LembrarSenha && !ctx.EntradaDireta) {
    TFrmLogin login(ctx);
    login.EdtNIU()->setText(QString::number(ctx.UsuarioAtual.NIU));
    ctx.JanelaDeLogin = &login;
    if (login.exec() == ResultadoOk) {
      const uint16_t niu = login.Numero();
      // Whoever signs in becomes the current user, so that a remembered
      // password lands in that user's record and nobody else's.
      if (niu != ctx.UsuarioAtual.NIU) TrocarUsuarioAtual(ctx, niu);
      ctx.ClientePC.NIU = niu;
      ctx.ClientePC.Senha = ParaCp1252(login.EdtSenha()->text());
      ctx.ClientePC.Conectar();
      ctx.Espera.Mostrar(std::string(textos_shell::Conectando),
                         std::string(textos_shell::AguardeComunidade), true);
    }
  }
  emAndamento = false;
}

}  // namespace tazu
