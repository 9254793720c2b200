// tazud: the Tazu server, and its admin commands.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "base/Cp1252.h"
#include "net/epoll/EpollRuntime.h"
#include "tazud/Banco.h"
#include "tazud/Senhas.h"
#include "tazud/Servidor.h"

namespace {

using namespace tazu;
using namespace tazu::tazud;

constexpr const char* kAjuda = R"(usage:
  tazud --listen ADDRESS:PORT --db FILE [options]     run the server
  tazud --db FILE adduser NICKNAME PASSWORD [--name NAME] [--email EMAIL]
                        [--auth] [--private]           create a user, print its NIU
  tazud --db FILE users                               list the users
  tazud --db FILE message [--to NIU] NUMBER TEXT      send a system message (SEMS)
                                                      to every user, or to one
  tazud --help

Server options:
  --no-scramble            hand out key 0 in RVER: nothing is scrambled
  --hash-cost N            password hashing cost for new passwords (libxcrypt's
                           strongest method; 0 = the library's default, 1..11
                           cheaper to dearer; default 0)
  --max-per-address N      connections allowed from one address (default 16)
  --max-connections N      connections allowed in all (default 20000)
  --max-queue BYTES        unsent bytes allowed per connection: past them its
                           commands wait, and a client that does not read is
                           dropped (default 1048576)
  --max-line BYTES         longest line a client may send (default 8192)
  --max-checks-per-address N
                           password checks and new-password hashes in flight
                           from one address (default 8; 0 = no bound)
  --max-registrations-per-hour N
                           new users one address may register in an hour
                           (default 10; 0 = no bound)
  --sync full|normal       full (default): every commit reaches the disk before
                           any answer; normal: commits survive a crash of the
                           server but not of the machine

The database is one SQLite file in WAL mode, created (readable by its owner
only: it holds outside-network passwords) and migrated on start.
Admin commands may run while the server runs: users created there can log in
at once, and system messages reach online users within a second (others at
their next login).

After a wrong password the account and the address wait a second before the
next check, twice as long after each further failure (an account at most 8 s,
an address at most a minute); a quarter of an hour without failures forgets.

Log: one line per connection event on standard error (refused connections:
one a second, the rest summed up); bytes a client chose are written as \xNN.
Texts given on the command line are UTF-8; the server keeps Windows-1252.
)";

[[noreturn]] void Falhar(const std::string& texto) {
  std::fprintf(stderr, "tazud: %s\n", texto.c_str());
  std::exit(2);
}

bool Numero(const char* texto, unsigned long maximo, unsigned long& valor) {
  char* fim = nullptr;
  errno = 0;
  valor = std::strtoul(texto, &fim, 10);
  return texto[0] != '\0' && *fim == '\0' && errno == 0 && valor <= maximo;
}

void Registrar(const std::string& linha) {
  char quando[32];
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  std::strftime(quando, sizeof quando, "%Y-%m-%d %H:%M:%S", &tm);
  std::fprintf(stderr, "%s %s\n", quando, linha.c_str());
}

void AumentarDescritores() {
  rlimit limite{};
  if (getrlimit(RLIMIT_NOFILE, &limite) == 0 && limite.rlim_cur < limite.rlim_max) {
    limite.rlim_cur = limite.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limite);
  }
}

int Servir(const std::string& escuta, const std::string& arquivo, TConfiguracao config,
           unsigned long custo, bool sincronoTotal) {
  const auto doisPontos = escuta.rfind(':');
  unsigned long porta = 0;
  if (doisPontos == std::string::npos ||
      !Numero(escuta.substr(doisPontos + 1).c_str(), 65535, porta)) {
    Falhar("--listen wants ADDRESS:PORT, got " + escuta);
  }
  AumentarDescritores();
  std::string erro;
  auto banco = TBanco::Abrir(arquivo, sincronoTotal, erro);
  if (!banco) Falhar("cannot open " + arquivo + ": " + erro);
  net::EpollRuntime runtime;
  runtime.StopOnSignals();
  TSenhasEmThread senhas([&runtime](std::function<void()> f) { runtime.Post(std::move(f)); },
                         custo);
  TServidor servidor(runtime, *banco, senhas, std::move(config));
  servidor.AoRegistrar = Registrar;
  if (!servidor.Escutar(escuta.substr(0, doisPontos), static_cast<uint16_t>(porta), erro)) {
    Falhar("cannot listen on " + escuta + ": " + erro);
  }
  Registrar("listening on " + escuta.substr(0, doisPontos) + ":" +
            std::to_string(servidor.Porta()) + ", database " + arquivo);
  runtime.Run();
  Registrar("stopping");
  servidor.Encerrar();
  // Let goodbyes and lingering bytes go out.
  for (int i = 0; i < 20; ++i) runtime.RunOnce(net::Milliseconds(10));
  return 0;
}

std::unique_ptr<TBanco> AbrirParaAdmin(const std::string& arquivo) {
  if (arquivo.empty()) Falhar("--db FILE is needed");
  std::string erro;
  auto banco = TBanco::Abrir(arquivo, true, erro);
  if (!banco) Falhar("cannot open " + arquivo + ": " + erro);
  return banco;
}

int CriarUsuario(const std::string& arquivo, const std::vector<std::string>& args,
                 unsigned long custo) {
  std::vector<std::string> posicionais;
  TUsuario u;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "--name" || a == "--email") && i + 1 < args.size()) {
      (a == "--name" ? u.nome : u.email) = cp1252::FromUtf8(args[++i]);
    } else if (a == "--auth") {
      u.exigeAutorizacao = true;
    } else if (a == "--private") {
      u.naoPublicar = true;
    } else if (a.rfind("--", 0) == 0) {
      Falhar("adduser: unknown option " + a);
    } else {
      posicionais.push_back(a);
    }
  }
  if (posicionais.size() != 2) Falhar("adduser wants NICKNAME PASSWORD");
  u.apelido = cp1252::FromUtf8(posicionais[0]);
  if (u.apelido.empty() || u.apelido.size() > 25)
    Falhar("the nickname must have 1 to 25 characters");
  const std::string senha = cp1252::FromUtf8(posicionais[1]);
  auto banco = AbrirParaAdmin(arquivo);
  if (banco->ApelidoEmUso(u.apelido)) Falhar("nickname already taken: " + posicionais[0]);
  u.hash = GerarHash(senha, custo);
  if (u.hash.empty()) Falhar("password hashing failed");
  std::string bloco = u.apelido;
  for (int i = 2; i <= 19; ++i) {
    bloco += "\xA7";
    if (i == 3) bloco += u.nome;
    if (i == 18) bloco += u.email;
  }
  std::string erro;
  if (!banco->Iniciar()) Falhar("the database is busy");
  const Niu niu = banco->CriarUsuario(u, bloco);
  if (niu == 0 || !banco->Confirmar(erro)) Falhar("cannot create the user " + erro);
  std::printf("%u\n", niu);
  return 0;
}

int ListarUsuarios(const std::string& arquivo) {
  auto banco = AbrirParaAdmin(arquivo);
  std::printf("%-6s %-25s %-30s %-30s %s\n", "NIU", "nickname", "name", "e-mail", "flags");
  for (const TUsuario& u : banco->Usuarios()) {
    std::string flags;
    if (u.exigeAutorizacao) flags += "auth ";
    if (u.naoPublicar) flags += "private";
    std::printf("%-6u %-25s %-30s %-30s %s\n", u.niu, cp1252::ToUtf8(u.apelido).c_str(),
                cp1252::ToUtf8(u.nome).c_str(), cp1252::ToUtf8(u.email).c_str(), flags.c_str());
  }
  return 0;
}

int EnviarAviso(const std::string& arquivo, const std::vector<std::string>& args) {
  unsigned long para = 0;
  std::vector<std::string> posicionais;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--to" && i + 1 < args.size()) {
      if (!Numero(args[++i].c_str(), 65535, para) || para == 0) Falhar("--to wants a NIU");
    } else {
      posicionais.push_back(args[i]);
    }
  }
  unsigned long numero = 0;
  if (posicionais.size() != 2 || !Numero(posicionais[0].c_str(), 1000000, numero)) {
    Falhar("message wants NUMBER TEXT");
  }
  std::string texto = cp1252::FromUtf8(posicionais[1]);
  for (char& c : texto) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  auto banco = AbrirParaAdmin(arquivo);
  if (para != 0 && !banco->Usuario(static_cast<Niu>(para)))
    Falhar("no user " + std::to_string(para));
  std::string erro;
  if (!banco->Iniciar()) Falhar("the database is busy");
  const int64_t id = banco->GravarAviso(static_cast<Niu>(para), static_cast<int>(numero), texto);
  if (!banco->Confirmar(erro)) Falhar("cannot store the message: " + erro);
  std::printf("system message %lld queued\n", static_cast<long long>(id));
  return 0;
}

// The server's bounds: true when `a` was one of their options.
template <class Numero>
bool LerLimite(const std::string& a, Numero&& numero, TConfiguracao& config) {
  if (a == "--max-per-address") {
    config.conexoesPorEndereco = static_cast<int>(numero(1000000));
  } else if (a == "--max-connections") {
    config.conexoesTotais = static_cast<int>(numero(1000000));
  } else if (a == "--max-queue") {
    config.limiteDeFila = numero(1UL << 30);
  } else if (a == "--max-line") {
    config.limiteDeLinha = numero(1UL << 20);
  } else if (a == "--max-checks-per-address") {
    config.limites.conferenciasPorEndereco = static_cast<int>(numero(1000000));
  } else if (a == "--max-registrations-per-hour") {
    config.limites.cadastrosPorEnderecoPorHora = static_cast<int>(numero(1000000));
  } else {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string escuta, arquivo;
  TConfiguracao config;
  unsigned long custo = 0;
  bool sincronoTotal = true;
  std::string subcomando;
  std::vector<std::string> resto;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto valor = [&]() -> std::string {
      if (i + 1 >= argc) Falhar(a + " needs a value");
      return argv[++i];
    };
    auto numero = [&](unsigned long maximo) {
      const std::string v = valor();
      unsigned long n = 0;
      if (!Numero(v.c_str(), maximo, n)) Falhar(a + " wants a number, got " + v);
      return n;
    };
    if (!subcomando.empty()) {
      resto.push_back(a);
    } else if (a == "--help" || a == "-h") {
      std::fputs(kAjuda, stdout);
      return 0;
    } else if (a == "--listen") {
      escuta = valor();
    } else if (a == "--db") {
      arquivo = valor();
    } else if (a == "--no-scramble") {
      config.embaralhar = false;
    } else if (a == "--hash-cost") {
      custo = numero(11);
    } else if (LerLimite(a, numero, config)) {
    } else if (a == "--sync") {
      const std::string v = valor();
      if (v != "full" && v != "normal") Falhar("--sync wants full or normal");
      sincronoTotal = v == "full";
    } else if (a == "adduser" || a == "users" || a == "message") {
      subcomando = a;
    } else {
      Falhar("unknown argument " + a + " (see --help)");
    }
  }
  if (subcomando == "adduser") return CriarUsuario(arquivo, resto, custo);
  if (subcomando == "users") return ListarUsuarios(arquivo);
  if (subcomando == "message") return EnviarAviso(arquivo, resto);
  if (escuta.empty() || arquivo.empty()) Falhar("--listen and --db are needed (see --help)");
  return Servir(escuta, arquivo, std::move(config), custo, sincronoTotal);
}
