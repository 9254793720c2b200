#include "shell/UMenuUsuarios.h"

#include <QCloseEvent>

#include "core/UGlobal.h"
#include "shell/Textos.h"
#include "shell/ULogin.h"
#include "skin/Skin.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

QPointer<TFrmMenuUsuarios> aberto;

}  // namespace

TFrmMenuUsuarios::TFrmMenuUsuarios(TContexto& ctx) : TFrmMenuGrande(ctx, "MenuUsu.cap") {
  setWindowTitle(ParaQString(textos_shell::TituloUsuarios));
  listBox_ = new QListWidget(this);
  listBox_->setFrameShape(QFrame::NoFrame);
  listBox_->setFont(FonteDaSkin(8));
  Construir();
  if (TFeicao* f = Feicoes().Elemento(1)) Colocar(*listBox_, *f);
  for (const TEntradaUsuario& u : ctx_.UsuariosLocais) {
    const uint16_t niu = u.Identificador.NIU;
    auto* item =
        new QListWidgetItem(ParaQString(u.Apelido + " (" + std::to_string(niu) + ")"), listBox_);
    item->setData(Qt::UserRole, niu);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(niu == ctx_.Configuracao.UltimoUsuario ? Qt::Checked : Qt::Unchecked);
  }
  connect(listBox_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    Escolher(static_cast<uint16_t>(item->data(Qt::UserRole).toUInt()));
  });
  timer_.setInterval(IntervaloDeReconexao);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    reconectou_ = true;
    tomada_.reset();
    ctx_.ClientePC.Conectar();
    close();
  });
}

// Closing gives the disconnection event back to the main form.
TFrmMenuUsuarios::~TFrmMenuUsuarios() = default;

TFrmMenuUsuarios* TFrmMenuUsuarios::Abrir(TContexto& ctx) {
  if (!aberto) {
    aberto = new TFrmMenuUsuarios(ctx);
    aberto->Exibir();
  } else {
    aberto->raise();
    aberto->activateWindow();
  }
  return aberto;
}

void TFrmMenuUsuarios::Escolher(uint16_t niu) {
  if (tomada_) return;
  TClientePCTazu& cliente = ctx_.ClientePC;
  if (niu == ctx_.UsuarioAtual.NIU) {
    close();
    return;
  }
  if (cliente.Status == StatusDesconectado) return;
  const int indice = LocalizarUsuario(niu);
  const bool temSenha =
      indice >= 0 &&
      ctx_.UsuariosLocais[static_cast<std::size_t>(indice)].Identificador.LembrarSenha;
  std::string senhaDigitada;
  if (!temSenha) {
    // The login window takes the focus; the menu must stay for its answer.
    FecharAoDesativar = false;
    TFrmLogin login(ctx_);
    login.EdtNIU()->setText(QString::number(niu));
    const bool aceito = login.exec() == ResultadoOk;
    FecharAoDesativar = true;
    if (!aceito) return;
    niu = login.Numero();
    senhaDigitada = ParaCp1252(login.EdtSenha()->text());
  }
  TDadosUsuario& atual = ctx_.UsuarioAtual;
  if (atual.NIU != 0 && LocalizarUsuario(atual.NIU) >= 0) {
    atual.StatusPreferido = cliente.Status;
    GravarUsuario(atual);
  }
  TrocarUsuarioAtual(ctx_, niu);
  numero_ = niu;
  senha_ = temSenha ? atual.Senha.str() : senhaDigitada;
  tomada_ = std::make_unique<TEventoTomado<TClientePCTazu::TNotifyEvent>>(
      cliente.AoDesconectarServidor, [this](TClientePCTazu&) { Desconectou(); });
  listBox_->setEnabled(false);
  FecharAoDesativar = false;
  cliente.Desconectar();
}

void TFrmMenuUsuarios::closeEvent(QCloseEvent* e) {
  // The reconnection belongs to this menu: closed before it happened, the
  // program would stay disconnected. It only steps out of sight meanwhile.
  if (tomada_ && !reconectou_) {
    e->ignore();
    hide();
    return;
  }
  TFrmMenuGrande::closeEvent(e);
}

void TFrmMenuUsuarios::Desconectou() {
  ctx_.ClientePC.NIU = numero_;
  ctx_.ClientePC.Senha = senha_;
  timer_.start();
}

}  // namespace tazu
