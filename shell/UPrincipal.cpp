#include "shell/UPrincipal.h"

#include <QApplication>
#include <QCloseEvent>

#include "shell/Contexto.h"
#include "shell/Icones.h"
#include "shell/ListasDoGerenciador.h"
#include "shell/SystemTray.h"
#include "shell/Textos.h"
#include "shell/UAdicionarContato.h"
#include "shell/UBuscaContato.h"
#include "shell/UComunicadores.h"
#include "shell/UComunicando.h"
#include "shell/UConfiguracoes.h"
#include "shell/UFrmCadastro.h"
#include "shell/UFrmInfoUsuario.h"
#include "shell/UFrmRegistroDeUsuario.h"
#include "shell/UGerenciador.h"
#include "shell/UMenuUsuarios.h"
#include "shell/USelecionaComunidade.h"
#include "skin/Texto.h"

namespace tazu {

namespace {

struct TItemDeStatus {
  std::string_view Texto;
  int Codigo;
};

// The status sub-menu, in its order; each item's tag is its code.
constexpr TItemDeStatus kItensDeStatus[] = {
    {"Conectado"_cp, 1}, {"Livre para Chat"_cp, 7}, {"Invisível"_cp, 2},   {"Longe"_cp, 8},
    {"Ocupado"_cp, 6},   {"Não Perturbe"_cp, 5},    {"Desconectado"_cp, 3}};

QString Q(std::string_view texto) {
  return ParaQString(texto);
}

}  // namespace

TFrmPrincipal::TFrmPrincipal(TContexto& ctx) : ctx_(ctx) {
  setWindowTitle(Q(textos_shell::TazuMessenger));
  setWindowFlag(Qt::Tool);
  tmrAgendado_.setInterval(IntervaloAgendado);
  tmrAgendado_.setSingleShot(true);
  connect(&tmrAgendado_, &QTimer::timeout, this, [this] { MostrarAvisos(); });
  tmrApelido_.setInterval(IntervaloApelido);
  tmrApelido_.setSingleShot(true);
  connect(&tmrApelido_, &QTimer::timeout, this, [this] {
    if (ctx_.Gerenciador) ctx_.Gerenciador->MostraApelido(ctx_.ClientePC.Apelido);
  });
  CriarMenu();
}

TFrmPrincipal::~TFrmPrincipal() {
  if (bandeja_) bandeja_->DefinirImagem(-1);
}

void TFrmPrincipal::CriarMenu() {
  const TIcones icones = TIcones::Carregar();
  auto item = [&](std::string_view texto, bool habilitado, auto acao) {
    QAction* a = pumPrincipal_.addAction(Q(texto));
    a->setEnabled(habilitado);
    connect(a, &QAction::triggered, this, acao);
    return a;
  };
  mostrar1_ = item(textos_shell::MostrarTazu, false, [this] { MostraGerenciador(); });
  pumPrincipal_.setDefaultAction(mostrar1_);
  minhasInformacoes1_ = item(textos_shell::MinhasInformacoes, false, [this] {
    TFrmInfoUsuario::MostraInformacoes(ctx_, "Tazu", std::to_string(ctx_.ClientePC.NIU),
                                       std::string(textos_shell::TituloMinhasInformacoes));
  });
  comunicadores1_ = item(textos_shell::Comunicadores, false, [this] { AbrirComunicadores(); });
  selecionarUsuario1_ =
      item(textos_shell::SelecionarUsuario, true, [this] { SelecionarUsuarioAtivo(); });
  menuStatus_.setTitle(Q(textos_shell::EstadoDeConexao));
  for (const TItemDeStatus& s : kItensDeStatus) {
    QAction* a = menuStatus_.addAction(Q(s.Texto));
    a->setData(s.Codigo);
    a->setCheckable(true);
    if (static_cast<std::size_t>(s.Codigo) < icones.Menu.size())
      a->setIcon(icones.Menu[static_cast<std::size_t>(s.Codigo)]);
    const int codigo = s.Codigo;
    connect(a, &QAction::triggered, this, [this, codigo] { AplicaStatus(codigo, true); });
    itensDeStatus_.push_back(a);
  }
  status1_ = pumPrincipal_.addMenu(&menuStatus_);
  status1_->setEnabled(false);
  n1_ = pumPrincipal_.addSeparator();
  mnuConfiguracoes_ =
      item(textos_shell::Configuracoes, true, [this] { TFrmConfiguracoes::Executar(ctx_); });
  pumPrincipal_.addSeparator();
  sair1_ = item(textos_shell::Sair, true, [this] { Sair(); });
}

void TFrmPrincipal::CriarBandeja() {
  bandeja_ = new TSystemTray(this);
  bandeja_->ImageList = TIcones::Carregar().Bandeja;
  bandeja_->ImagemPiscada = ImagemPiscada;
  bandeja_->DefinirHint(Q(textos_shell::TazuMessenger));
  bandeja_->DefinirMenu(&pumPrincipal_);
  bandeja_->OnDblClick = [this] { DuploClique(); };
  bandeja_->DefinirImagem(2);
  n1_->setVisible(true);
  mnuConfiguracoes_->setVisible(true);
}

QAction* TFrmPrincipal::ItemDeStatus(int codigo) const {
  for (QAction* a : itensDeStatus_) {
    if (a->data().toInt() == codigo) return a;
  }
  return nullptr;
}

void TFrmPrincipal::AplicaStatus(int status, bool enviar) {
  if (status <= 0) return;
  for (QAction* a : itensDeStatus_) a->setChecked(a->data().toInt() == status);
  if (enviar) {
    TDadosUsuario& usuario = ctx_.UsuarioAtual;
    // Only a user of this computer has a record to keep the choice in; one
    // signed in from the command line without a record gets none made here.
    if (usuario.NIU != 0 && status != StatusDesconectado && LocalizarUsuario(usuario.NIU) >= 0) {
      usuario.StatusPreferido = static_cast<uint8_t>(status);
      GravarUsuario(usuario);
    }
    ctx_.ClientePC.MudarStatus(static_cast<uint8_t>(status));
  }
  if (bandeja_) bandeja_->DefinirImagem(TListasDoGerenciador::ImagemDoStatus(status));
  if (ctx_.Gerenciador) ctx_.Gerenciador->DefinirStatus(status);
}

void TFrmPrincipal::MostraGerenciador() {
  if (mostrar1_->isEnabled() && ctx_.Gerenciador) {
    ctx_.Gerenciador->showNormal();
    ctx_.Gerenciador->raise();
    ctx_.Gerenciador->activateWindow();
  } else if (ctx_.JanelaDeLogin) {
    ctx_.JanelaDeLogin->show();
    ctx_.JanelaDeLogin->raise();
    ctx_.JanelaDeLogin->activateWindow();
  } else if (ctx_.IniciaLogin) {
    ctx_.IniciaLogin();
  }
}

void TFrmPrincipal::DuploClique() {
  if (!mensagensNaoLidas_.Vazia()) {
    mensagensNaoLidas_.Primeiro();
    const TContato* c = mensagensNaoLidas_.ContatoAtual();
    if (TFrmComunicando* janela = ctx_.JanelasDeConversa.Localizar(
            TRegistroDeJanelas<TFrmComunicando>::Chave(c->Comunicador, c->Identificador))) {
      janela->showNormal();
      janela->raise();
      janela->activateWindow();
      return;
    }
  }
  MostraGerenciador();
}

void TFrmPrincipal::TextoChegouInativa(const std::string& comunicador,
                                       const std::string& identificador,
                                       const std::string& apelido) {
  if (mensagensNaoLidas_.Localizar(comunicador, identificador)) return;
  auto c = std::make_unique<TContato>();
  c->Comunicador = comunicador;
  c->Identificador = identificador;
  c->Apelido = apelido;
  c->Origem = "MSG";
  mensagensNaoLidas_.Adicionar(std::move(c));
  AtualizaBandeja();
}

void TFrmPrincipal::TextoVisto(const std::string& comunicador, const std::string& identificador,
                               const std::string&) {
  if (mensagensNaoLidas_.Localizar(comunicador, identificador)) {
    mensagensNaoLidas_.Remover();
    AtualizaBandeja();
  }
  TListaDeContatos& contatos = ctx_.ClientePC.Contatos;
  if (ctx_.Gerenciador && contatos.Localizar(comunicador, identificador)) {
    ctx_.Gerenciador->RestauraIconeContato(*contatos.ContatoAtual());
  }
}

void TFrmPrincipal::AtualizaBandeja() {
  if (!bandeja_) return;
  if (mensagensNaoLidas_.Vazia()) {
    bandeja_->DefinirHint(Q(textos_shell::TazuMessenger));
    bandeja_->DefinirPiscando(false);
    return;
  }
  naoLidasPendentes_ = true;
  mensagensNaoLidas_.Primeiro();
  bandeja_->DefinirHint(
      Q(std::string(textos_shell::MensagemDe) + mensagensNaoLidas_.ContatoAtual()->Apelido.str()));
  bandeja_->DefinirPiscando(true);
}

void TFrmPrincipal::AdiaAviso(const std::string& texto) {
  avisosAdiados_.push_back(texto);
  tmrAgendado_.start();
}

void TFrmPrincipal::MostrarAvisos() {
  // Shown once each: a notice that stayed would come back with every new one.
  const std::vector<std::string> avisos = std::exchange(avisosAdiados_, {});
  for (const std::string& aviso : avisos) ctx_.Caixas.Informacao(aviso);
}

void TFrmPrincipal::ExecutaOpcao(int codigo) {
  switch (codigo) {
    case 2:
      AdicionarContato();
      break;
    case 3:
      ctx_.Caixas.Informacao(std::string(textos_shell::ComoRemover));
      break;
    case 4:
      TFrmCadastro::Abrir(ctx_);
      break;
    case 5:
      TFrmRegistroDeUsuario::Abrir(ctx_);
      break;
    case 6:
      SelecionarUsuarioAtivo();
      break;
    case 7:
      if (comunicadores1_->isEnabled()) AbrirComunicadores();
      break;
    default:
      break;
  }
}

void TFrmPrincipal::SelecionarUsuarioAtivo() {
  TFrmMenuUsuarios::Abrir(ctx_);
}

void TFrmPrincipal::AbrirComunicadores() {
  if (TFrmComunicadores* aberta = TFrmComunicadores::Aberta()) {
    aberta->show();
    aberta->raise();
    aberta->activateWindow();
    return;
  }
  // The server's answer opens the window (AoReceberComunicadores).
  ctx_.ClientePC.PedirComunicadores();
  ctx_.Espera.Mostrar(std::string(textos_shell::TituloComunicadores),
                      std::string(textos_shell::CarregandoComunicadores), true);
}

void TFrmPrincipal::AdicionarContato() {
  if (ctx_.ClientePC.Comunicadores.Vazia()) {
    TFrmBuscaContato::BuscaContato(ctx_, "Tazu");
    return;
  }
  const std::optional<std::string> comunidade = TFrmSelecionaComunidade::SelecionaComunidade(ctx_);
  if (!comunidade) return;
  if (*comunidade == "Tazu" || *comunidade == "ICQ") {
    TFrmBuscaContato::BuscaContato(ctx_, *comunidade);
  } else {
    TFrmAdicionarContato::AdicionaContato(ctx_, *comunidade);
  }
}

void TFrmPrincipal::Sair() {
  if (ctx_.ClientePC.Conectado) {
    ctx_.ClientePC.Sair();
  } else {
    Encerrar(0);
  }
}

void TFrmPrincipal::Avisar(TCaixa caixa, std::string texto) {
  caixas_.emplace_back(caixa, std::move(texto));
  if (!mostrandoCaixa_ && caixas_.size() == 1) {
    QTimer::singleShot(0, this, [this] { ProximaCaixa(); });
  }
}

void TFrmPrincipal::ProximaCaixa() {
  if (mostrandoCaixa_) return;
  mostrandoCaixa_ = true;
  while (!caixas_.empty()) {
    const auto [caixa, texto] = std::move(caixas_.front());
    caixas_.pop_front();
    switch (caixa) {
      case TCaixa::Erro:
        ctx_.Caixas.Erro(texto);
        break;
      case TCaixa::Informacao:
        ctx_.Caixas.Informacao(texto);
        break;
      case TCaixa::MensagemDeSistema:
        ctx_.Caixas.MensagemDeSistema(texto);
        break;
    }
  }
  mostrandoCaixa_ = false;
  if (encerrar_) ctx_.Terminar(*std::exchange(encerrar_, std::nullopt));
}

void TFrmPrincipal::Encerrar(int codigo) {
  podeFechar_ = true;
  tmrAgendado_.stop();
  if (mostrandoCaixa_ || !caixas_.empty()) {
    encerrar_ = codigo;
    return;
  }
  ctx_.Terminar(codigo);
}

void TFrmPrincipal::closeEvent(QCloseEvent* e) {
  if (podeFechar_) {
    e->accept();
    return;
  }
  e->ignore();
  Sair();
}

}  // namespace tazu
