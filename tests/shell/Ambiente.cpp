#include "tests/shell/Ambiente.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <typeinfo>

#include "base/Cp1252.h"
#include "core/DadosLocais.h"
#include "server/ObservadorDeEventos.h"
#include "shell/UGerenciador.h"
#include "shell/UPrincipal.h"

// Fontconfig keeps pieces of its configuration it parsed once, unreachable,
// for the life of the process; LeakSanitizer would call that ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

namespace tazu::teste {

namespace {

int argc_ = 1;
char nome_[] = "shell_tests";
char* argv_[] = {nome_, nullptr};

}  // namespace

QApplication& Aplicacao() {
  static QApplication* app = new QApplication(argc_, argv_);
  return *app;
}

bool EsperarAte(const std::function<bool()>& condicao, int ms) {
  QElapsedTimer t;
  t.start();
  while (!condicao() && t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return condicao();
}

void Rodar(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

std::string Utf8(const std::string& cp1252) {
  return cp1252::ToUtf8(cp1252);
}
std::string Cp(const char* utf8) {
  return cp1252::FromUtf8(utf8);
}

// ---- tazud -----------------------------------------------------------------

TServidorTazud::TServidorTazud(const std::filesystem::path& pasta) : banco_(pasta / "tazud.db") {
  const std::string log = (pasta / "tazud.log").string();
  pid_ = fork();
  if (pid_ == 0) {
    const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, 2);
    execl(TAZUD_BIN, TAZUD_BIN, "--listen", "127.0.0.1:0", "--db", banco_.c_str(), "--hash-cost",
          "1", static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto fim = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  const std::string marca = "listening on 127.0.0.1:";
  while (porta_ == 0 && std::chrono::steady_clock::now() < fim) {
    std::ifstream entrada(log);
    std::string linha;
    while (std::getline(entrada, linha)) {
      const auto p = linha.find(marca);
      if (p != std::string::npos)
        porta_ = static_cast<uint16_t>(std::stoi(linha.substr(p + marca.size())));
    }
    if (porta_ == 0) usleep(20000);
  }
}

TServidorTazud::~TServidorTazud() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

uint16_t TServidorTazud::Criar(const std::string& apelido, const std::string& senha,
                               bool exigeAutorizacao, const std::string& nome) {
  const std::string comando = std::string(TAZUD_BIN) + " --db '" + banco_.string() +
                              "' --hash-cost 1 adduser '" + apelido + "' '" + senha + "'" +
                              (exigeAutorizacao ? " --auth" : "") +
                              (nome.empty() ? "" : " --name '" + nome + "'");
  FILE* saida = popen(comando.c_str(), "r");
  char linha[64] = {};
  const bool leu = saida && fgets(linha, sizeof linha, saida);
  if (saida) pclose(saida);
  return leu ? static_cast<uint16_t>(std::atoi(linha)) : 0;
}

// ---- Other users -------------------------------------------------------------

TParceiro::TParceiro(net::Runtime& rt, uint16_t porta, uint16_t niu, const std::string& senha)
    : Cliente(rt) {
  Cliente.IPServidor = "127.0.0.1";
  Cliente.PortaServidor = porta;
  Cliente.NIU = niu;
  Cliente.Senha = senha;
  ObservarEventos(Cliente,
                  [this](const TEventoDoCliente& e) { Eventos.push_back(EventoEmJson(e)); });
  auto conectado = Cliente.AoConectarServidor;
  Cliente.AoConectarServidor = [conectado](TClientePCTazu& c) {
    conectado(c);
    c.Identificar(StatusConectado);
  };
}

bool TParceiro::Entrar() {
  Cliente.Conectar();
  return EsperarAte([this] { return Recebeu("AoConectarComunidade"); });
}

bool TParceiro::Recebeu(const std::string& trecho) const {
  for (const std::string& e : Eventos) {
    if (e.find(trecho) != std::string::npos) return true;
  }
  return false;
}

bool TParceiro::Recebeu(std::initializer_list<std::string> trechos) const {
  for (const std::string& e : Eventos) {
    bool todos = true;
    for (const std::string& t : trechos) todos = todos && e.find(t) != std::string::npos;
    if (todos) return true;
  }
  return false;
}

// ---- The fixture -------------------------------------------------------------

TAmbiente::TAmbiente() {
  Aplicacao();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  pasta_ =
      std::filesystem::path(::testing::TempDir()) /
      ("shell_" + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" + info->name());
  std::filesystem::remove_all(pasta_);
  std::filesystem::create_directories(pasta_);
  std::filesystem::create_directory_symlink(
      std::filesystem::path(TAZU_DIRETORIO_DOS_PROGRAMAS) / "Skin", pasta_ / "Skin");
  setenv("TAZU_HOME", pasta_.c_str(), 1);
  ReiniciarDadosLocais();
  servidor_ = std::make_unique<TServidorTazud>(pasta_);
  rt_ = std::make_unique<net::QtRuntime>();
  // A modal window nobody answers would hang the test.
  vigia_.setInterval(50);
  QObject::connect(&vigia_, &QTimer::timeout, [this] {
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!modal || !modal->isVisible() || modal->property("vigiado").toBool()) return;
    modal->setProperty("vigiado", true);
    modais_.push_back(typeid(*modal).name());
    if (AoModal) {
      AoModal(modal);
    } else {
      modal->reject();
    }
  });
  vigia_.start();
}

TAmbiente::~TAmbiente() {
  programa_.reset();
  parceiros_.clear();
  rt_.reset();
  servidor_.reset();
  ReiniciarDadosLocais();
  std::error_code e;
  std::filesystem::remove_all(pasta_, e);
}

TPrograma& TAmbiente::Programa(TOpcoesDoPrograma opcoes) {
  if (!opcoes.Servidor) {
    opcoes.Servidor = "127.0.0.1";
    opcoes.Porta = servidor_->Porta();
  }
  programa_ = std::make_unique<TPrograma>(*rt_, std::move(opcoes));
  TContexto& ctx = programa_->Contexto();
  auto caixa = [this](const char* tipo) {
    return [this, tipo](const std::string& texto) { caixas_.push_back({tipo, Utf8(texto)}); };
  };
  ctx.Caixas.Erro = caixa("erro");
  ctx.Caixas.Informacao = caixa("informacao");
  ctx.Caixas.MensagemDeSistema = caixa("sistema");
  ctx.Caixas.InformacaoInicial = caixa("inicial");
  ctx.Caixas.Confirmacao = [this](const std::string& texto) {
    caixas_.push_back({"confirmacao", Utf8(texto)});
    return resposta_;
  };
  ctx.Espera.Mostrar = [this](const std::string& a, const std::string& b, bool) {
    esperas_.emplace_back(Utf8(a), Utf8(b));
  };
  ctx.Espera.Fechar = [] {};
  ctx.TocarSom = [this](const std::string& s) { sons_.push_back(s); };
  ctx.AbrirEndereco = [this](const QUrl& u) { enderecos_.push_back(u); };
  ctx.PedirAtencao = [this](QWidget& w) { atencao_.push_back(&w); };
  ctx.Terminar = [this](int codigo) { fim_.push_back(codigo); };
  programa_->Cliente().AoDepurar = [this](TClientePCTazu&, const std::string& linha) {
    if (linha.rfind("Enviando: ", 0) == 0) enviadas_.push_back(linha.substr(10));
  };
  return *programa_;
}

TParceiro& TAmbiente::Parceiro(uint16_t niu, const std::string& senha) {
  parceiros_.push_back(std::make_unique<TParceiro>(*rt_, servidor_->Porta(), niu, senha));
  return *parceiros_.back();
}

void TAmbiente::UsuarioLocal(uint16_t niu, const std::string& apelido, const std::string& senha,
                             bool lembrar, bool ultimo) {
  TDadosUsuario u;
  u.NIU = niu;
  u.Apelido = apelido;
  u.Senha = senha;
  u.LembrarSenha = lembrar;
  ASSERT_TRUE(GravarUsuario(u));
  if (ultimo) {
    Configuracao.UltimoUsuario = niu;
    Configuracao.Servidor = "127.0.0.1";
    Configuracao.Porta = servidor_->Porta();
    ASSERT_TRUE(GravarConfiguracao(rt_->WallNow()));
  }
  ReiniciarDadosLocais();
}

void TAmbiente::Amigos(uint16_t a, const std::string& senhaA, uint16_t b,
                       const std::string& senhaB) {
  TParceiro pa(*rt_, servidor_->Porta(), a, senhaA);
  TParceiro pb(*rt_, servidor_->Porta(), b, senhaB);
  ASSERT_TRUE(pa.Entrar());
  ASSERT_TRUE(pb.Entrar());
  pa.Cliente.AdicionarContato("Tazu", std::to_string(b));
  pb.Cliente.AdicionarContato("Tazu", std::to_string(a));
  ASSERT_TRUE(EsperarAte([&] {
    return pa.Cliente.Contatos.Localizar("Tazu", std::to_string(b)) &&
           pb.Cliente.Contatos.Localizar("Tazu", std::to_string(a)) &&
           pa.Recebeu("AoReceberEventoUsuario") && pb.Recebeu("AoReceberEventoUsuario");
  }));
  bool fimA = false, fimB = false;
  pa.Cliente.AoFinalizarAplicativo = [&](TClientePCTazu&) { fimA = true; };
  pb.Cliente.AoFinalizarAplicativo = [&](TClientePCTazu&) { fimB = true; };
  pa.Cliente.Sair();
  pb.Cliente.Sair();
  ASSERT_TRUE(EsperarAte([&] { return fimA && fimB; }));
}

bool TAmbiente::IniciarConectado(TOpcoesDoPrograma opcoes) {
  TPrograma& p = Programa(std::move(opcoes));
  p.Iniciar();
  p.IniciaLogin();
  const bool conectou = EsperarAte([&p] {
    return p.Contexto().EstadoSessao == 2 && p.Principal().Mostrar1()->isEnabled() &&
           p.Gerenciador().isVisible();
  });
  if (!conectou) {
    // What happened on both sides, for whoever reads the failure.
    std::ifstream log(pasta_ / "tazud.log");
    std::cerr << "tazud:\n" << log.rdbuf() << "sent:\n";
    for (const std::string& l : enviadas_) std::cerr << "  " << Utf8(l) << "\n";
    for (const TCaixaMostrada& c : caixas_)
      std::cerr << "box " << c.Tipo << ": " << c.Texto << "\n";
  }
  return conectou;
}

std::vector<TCaixaMostrada> TAmbiente::Caixas() {
  return std::exchange(caixas_, {});
}

}  // namespace tazu::teste
