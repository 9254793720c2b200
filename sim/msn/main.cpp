// tazu-sim-msn: the MSNP7 simulator as a program, on 127.0.0.1.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "net/epoll/EpollRuntime.h"
#include "sim/msn/SimuladorMSN.h"

namespace {

using namespace tazu;
using namespace tazu::sim::msn;

constexpr const char* kAjuda = R"(usage: tazu-sim-msn [options]

An MSN Messenger (MSNP7) server for tests and demos: a dispatch server on the
given port that sends every login on to its notification server, and a
switchboard for the conversations. It listens on 127.0.0.1 only.

  --listen 127.0.0.1:PORT     the dispatch server (default 127.0.0.1:1863;
                              port 0 picks a free one)
  --ns-port PORT              the notification server (default: a free port)
  --sb-port PORT              the switchboard (default: a free port)
  --user EMAIL:PASSWORD[:NICK]  an account (the nick is UTF-8)
  --contact OWNER:CONTACT     CONTACT on OWNER's forward and allow lists
  --block OWNER:CONTACT       CONTACT on OWNER's block list
  --echo-bot EMAIL            that account is signed in by the simulator; it
                              joins any call and answers every text with
                              "eco: " and the text
  --accounts FILE             the same, one a line: "user EMAIL PASSWORD [NICK]",
                              "contact OWNER CONTACT", "block OWNER CONTACT",
                              "echo-bot EMAIL"; blank lines and # comments skipped
  --challenge-every SECONDS   challenge signed-in clients this often (default 60;
                              0: never); a wrong or missing answer closes them
  --help

Log: one line per command received, on standard error.
)";

[[noreturn]] void Falhar(const std::string& texto) {
  std::fprintf(stderr, "tazu-sim-msn: %s\n", texto.c_str());
  std::exit(2);
}

void Registrar(const std::string& linha) {
  char quando[32];
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  std::strftime(quando, sizeof quando, "%Y-%m-%d %H:%M:%S", &tm);
  std::fprintf(stderr, "%s %s\n", quando, linha.c_str());
  std::fflush(stderr);
}

uint16_t Porta(const std::string& texto) {
  char* fim = nullptr;
  const unsigned long p = std::strtoul(texto.c_str(), &fim, 10);
  if (texto.empty() || *fim != '\0' || p > 65535) Falhar("not a port: " + texto);
  return static_cast<uint16_t>(p);
}

// "A:B" → {A, B}; the first colon splits.
std::pair<std::string, std::string> Par(const std::string& texto, const char* opcao) {
  const std::size_t dois = texto.find(':');
  if (dois == std::string::npos || dois == 0 || dois + 1 == texto.size())
    Falhar(std::string(opcao) + " takes A:B, not " + texto);
  return {texto.substr(0, dois), texto.substr(dois + 1)};
}

void Conta(const std::string& texto, TConfigSimMSN& c) {
  auto [email, resto] = Par(texto, "--user");
  const std::size_t dois = resto.find(':');
  TContaSim conta{email, resto.substr(0, dois),
                  dois == std::string::npos ? "" : resto.substr(dois + 1)};
  c.contas.push_back(conta);
}

void LerArquivo(const std::string& caminho, TConfigSimMSN& c) {
  std::ifstream f(caminho);
  if (!f) Falhar("cannot read " + caminho);
  std::string linha;
  int n = 0;
  while (std::getline(f, linha)) {
    ++n;
    std::istringstream in(linha);
    std::string tipo, a, b;
    in >> tipo;
    if (tipo.empty() || tipo[0] == '#') continue;
    in >> a >> b;
    std::string resto;
    std::getline(in, resto);
    const std::size_t i = resto.find_first_not_of(' ');
    resto = i == std::string::npos ? "" : resto.substr(i);
    if (tipo == "user" && !b.empty())
      c.contas.push_back({a, b, resto});
    else if (tipo == "contact" && !b.empty())
      c.contatos.emplace_back(a, b);
    else if (tipo == "block" && !b.empty())
      c.bloqueios.emplace_back(a, b);
    else if (tipo == "echo-bot" && !a.empty())
      c.robos.push_back(a);
    else
      Falhar(caminho + ":" + std::to_string(n) + ": cannot read \"" + linha + "\"");
  }
}

TConfigSimMSN LerOpcoes(int argc, char** argv) {
  TConfigSimMSN c;
  c.semente = static_cast<uint32_t>(std::time(nullptr));
  for (int i = 1; i < argc; ++i) {
    const std::string o = argv[i];
    if (o == "--help" || o == "-h") {
      std::fputs(kAjuda, stdout);
      std::exit(0);
    }
    if (i + 1 >= argc) Falhar("unknown option or missing value: " + o + " (see --help)");
    const std::string v = argv[++i];
    if (o == "--listen") {
      auto [host, porta] = Par(v, "--listen");
      if (host != "127.0.0.1") Falhar("the simulator listens on 127.0.0.1 only");
      c.portaDespacho = Porta(porta);
    } else if (o == "--ns-port") {
      c.portaNotificacao = Porta(v);
    } else if (o == "--sb-port") {
      c.portaSwitchboard = Porta(v);
    } else if (o == "--user") {
      Conta(v, c);
    } else if (o == "--contact") {
      c.contatos.push_back(Par(v, "--contact"));
    } else if (o == "--block") {
      c.bloqueios.push_back(Par(v, "--block"));
    } else if (o == "--echo-bot") {
      c.robos.push_back(v);
    } else if (o == "--accounts") {
      LerArquivo(v, c);
    } else if (o == "--challenge-every") {
      c.intervaloDeDesafio = std::chrono::seconds(Porta(v));
    } else {
      Falhar("unknown option: " + o + " (see --help)");
    }
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  TConfigSimMSN config = LerOpcoes(argc, argv);
  net::EpollRuntime runtime;
  runtime.StopOnSignals();
  TSimuladorMSN simulador(runtime, std::move(config), Registrar);
  std::string erro;
  if (!simulador.Iniciar(&erro)) Falhar("cannot listen: " + erro);
  Registrar(
      "tazu-sim-msn: dispatch listening on 127.0.0.1:" + std::to_string(simulador.PortaDespacho()) +
      ", notification server on 127.0.0.1:" + std::to_string(simulador.PortaNotificacao()) +
      ", switchboard on 127.0.0.1:" + std::to_string(simulador.PortaSwitchboard()));
  runtime.Run();
  return 0;
}
