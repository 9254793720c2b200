#include "shell/Programa.h"

#include <QApplication>
#include <filesystem>
#include <iostream>
#include <optional>

#include "core/UGlobal.h"
#include "shell/Textos.h"
#include "shell/UAbertura.h"
#include "shell/UComunicando.h"
#include "shell/UGerenciador.h"
#include "shell/ULogin.h"
#include "shell/UPrincipal.h"
#include "skin/Texto.h"
#include "skin/UFeicoesVariaveis.h"
#include "skin/UFrmInfo.h"

namespace tazu {

TPrograma::TPrograma(net::Runtime& runtime, TOpcoesDoPrograma opcoes)
    : runtime_(runtime),
      opcoes_(std::move(opcoes)),
      cliente_(std::make_unique<TClientePCTazu>(runtime)),
      ctx_(std::make_unique<TContexto>(runtime, *cliente_)) {
  principal_ = std::make_unique<TFrmPrincipal>(*ctx_);
  ctx_->Principal = principal_.get();
  ctx_->IniciaLogin = [this] { IniciaLogin(); };
}

TPrograma::~TPrograma() {
  FecharJanelas();
  cliente_.reset();
  ctx_->Gerenciador = nullptr;
  gerenciador_.reset();
  ctx_->Principal = nullptr;
  principal_.reset();
}

void TPrograma::FecharJanelas() {
  // Every window that holds a contact or the context goes before them.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == principal_.get() || w == gerenciador_.get()) continue;
    if (dynamic_cast<TFrmEncapado*>(w)) delete w;
  }
}

void TPrograma::Iniciar() {
  principal_->CriarBandeja();
  for (const char* pecas : {"Info", "Gerente", "Mens", "Menu"}) PecasCompartilhadas(pecas);
  gerenciador_ = std::make_unique<TFrmGerenciador>(*ctx_);
  ctx_->Gerenciador = gerenciador_.get();

  ctx_->EstadoSessao = 0;
  ctx_->Configuracao.UltimoUsuario = 0;
  ctx_->UsuarioAtual = TDadosUsuario{};
  ctx_->UsuarioAtual.Apelido = textos_shell::Desconhecido;
  ctx_->UsuarioAtual.StatusPreferido = StatusConectado;

  principal_->LigarEventos();
  cliente_->IPServidor = ServidorPadrao;
  cliente_->PortaServidor = PortaPadrao;
  CarregarDados();
}

void TPrograma::CarregarDados() {
  TContexto& ctx = *ctx_;
  bool conectar = false;
  if (!CarregarConfiguracao()) {
    ctx.Configuracao.Servidor = cliente_->IPServidor;
    ctx.Configuracao.Porta = static_cast<uint16_t>(cliente_->PortaServidor);
  } else {
    cliente_->IPServidor = ctx.Configuracao.Servidor;
    cliente_->PortaServidor = ctx.Configuracao.Porta;
    const uint16_t ultimo = ctx.Configuracao.UltimoUsuario;
    const TDadosUsuario desconhecido = ctx.UsuarioAtual;
    CarregarUsuarios(ultimo);
    if (ultimo != 0 && LocalizarUsuario(ultimo) >= 0) {
      ctx.EstadoSessao = 1;
      if (ctx.UsuarioAtual.LembrarSenha) {
        cliente_->NIU = static_cast<uint16_t>(ctx.UsuarioAtual.NIU);
        cliente_->Senha = ctx.UsuarioAtual.Senha;
        conectar = true;
      }
    } else {
      // Only the last user counts; anyone else in the store waits for the
      // user menu.
      ctx.UsuarioAtual = desconhecido;
    }
  }
  if (opcoes_.Servidor) {
    cliente_->IPServidor = *opcoes_.Servidor;
    cliente_->PortaServidor = *opcoes_.Porta;
  }
  if (opcoes_.NIU) {
    const uint16_t niu = *opcoes_.NIU;
    CarregarUsuarios(niu);
    if (LocalizarUsuario(niu) < 0) {
      ctx.UsuarioAtual = TDadosUsuario{};
      ctx.UsuarioAtual.NIU = niu;
      ctx.UsuarioAtual.Apelido = textos_shell::Desconhecido;
    }
    ctx.EstadoSessao = 1;
    ctx.EntradaDireta = true;
    cliente_->NIU = niu;
    cliente_->Senha = opcoes_.Senha;
    conectar = true;
  }
  if (conectar) cliente_->Conectar();
}

void TPrograma::AposAbertura() {
  if (cliente_->Conectando) {
    ctx_->Espera.Mostrar(std::string(textos_shell::Conectando),
                         std::string(textos_shell::AguardandoServidor), true);
  }
}

void TPrograma::IniciaLogin() {
  tazu::IniciaLogin(*ctx_);
}

bool VerificarInstanciaUnica(TInstanciaUnica& guarda, const TCaixas& caixas) {
  if (guarda.Adquirir()) return true;
  if (caixas.InformacaoInicial) caixas.InformacaoInicial(std::string(textos_shell::JaExisteCopia));
  return false;
}

namespace {

// Reads the command line Qt left over; answers an exit code when the program
// must end here.
std::optional<int> LerOpcoes(const QApplication& app, TOpcoesDoPrograma& opcoes) {
  std::vector<std::string> args;
  for (const QString& a : app.arguments().mid(1)) args.push_back(a.toLocal8Bit().toStdString());
  std::string erro;
  if (!LerLinhaDeComando(args, opcoes, erro)) {
    std::cerr << "tazu-messenger: " << erro << "\n(tazu-messenger --help explains the options)\n";
    return 2;
  }
  if (!opcoes.Home.empty()) {
    std::error_code e;
    std::filesystem::create_directories(opcoes.Home, e);
    setenv("TAZU_HOME", opcoes.Home.c_str(), 1);
  }
  return std::nullopt;
}

// The splash, the login entry and the main loop.
int Rodar(TPrograma& programa, QApplication& app) {
  TContexto& ctx = programa.Contexto();
  ctx.UsarJanelasReais();
  std::optional<int> fim;
  ctx.Terminar = [&fim](int codigo) {
    fim = codigo;
    QCoreApplication::exit(codigo);
  };
  // Coming back to the program gives the focus back to the chat window that
  // had it.
  QObject::connect(&app, &QGuiApplication::applicationStateChanged, [&ctx](Qt::ApplicationState s) {
    if (s == Qt::ApplicationActive && ctx.JanelaAtiva && !QApplication::activeWindow()) {
      ctx.JanelaAtiva->activateWindow();
    }
  });
  {
    TFrmAbertura abertura;
    abertura.AoIniciar = [&programa] { programa.Iniciar(); };
    abertura.AoFechar = [&programa] { programa.AposAbertura(); };
    abertura.exec();
  }
  if (fim) return *fim;
  programa.IniciaLogin();
  if (fim) return *fim;
  return app.exec();
}

}  // namespace

int ExecutarTazuMessenger(int argc, char** argv, const TPecasDoPrograma& pecas) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::cout << TextoDeAjuda();
      return 0;
    }
  }
  QApplication app(argc, argv);
  TOpcoesDoPrograma opcoes;
  if (const auto saida = LerOpcoes(app, opcoes)) return *saida;
  QApplication::setQuitOnLastWindowClosed(false);
  // The windows' captions are the program's own ("Tazu Messenger (Login)",
  // "Ana (Conectado)"): no display name, which X11 would append to each.

  TInstanciaUnica guarda;
  TCaixas caixas;
  caixas.InformacaoInicial = CaixaDeInformacaoInicial;
  if (!VerificarInstanciaUnica(guarda, caixas)) return 1;

  const std::unique_ptr<net::Runtime> runtime = pecas.CriarRuntime();
  TPrograma programa(*runtime, opcoes);
  if (pecas.RegistrarRedes) pecas.RegistrarRedes(programa.Cliente());
  return Rodar(programa, app);
}

}  // namespace tazu
