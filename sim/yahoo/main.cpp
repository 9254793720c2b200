// tazu-sim-yahoo: the simulated Yahoo login server on 127.0.0.1.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "base/Cp1252.h"
#include "net/epoll/EpollRuntime.h"
#include "sim/yahoo/RoboEco.h"
#include "sim/yahoo/ServidorYahoo.h"

namespace {

using namespace tazu;
using namespace tazu::simyahoo;

constexpr const char* kAjuda = R"(usage:
  tazu-sim-yahoo --listen 127.0.0.1:PORT [options]

A small Yahoo (YMSG) login server for tests and the demo. It listens on
127.0.0.1 only; port 0 picks a free port (the log line says which).

Options:
  --account ID:PASSWORD[:GROUP=BUDDY,BUDDY;GROUP=BUDDY][:refuse]
                      an account, its buddies in groups; "refuse" turns down
                      everyone who tries to add it (may be repeated)
  --accounts FILE     accounts, one such line each ('#' starts a comment)
  --echo-bot ID       signs account ID in and answers every message it gets
                      with "eco: " and the text (may be repeated)
  --seed N            fixed random seeds (challenges, session ids)
  --help

Log: one line per packet and per connection event on standard error.
Texts on the command line are UTF-8; the server keeps Windows-1252.
)";

void Registrar(const std::string& linha) {
  char quando[16];
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  std::strftime(quando, sizeof quando, "%H:%M:%S", &tm);
  std::fprintf(stderr, "%s %s\n", quando, linha.c_str());
  std::fflush(stderr);
}

[[noreturn]] void Falhar(const std::string& texto) {
  std::fprintf(stderr, "tazu-sim-yahoo: %s\n(tazu-sim-yahoo --help explains the options)\n",
               texto.c_str());
  std::exit(2);
}

struct TOpcoes {
  uint16_t porta = 0;
  bool escuta = false;
  std::vector<std::string> robos;
  uint32_t semente = 0;
};

TOpcoes LerOpcoes(int argc, char** argv, TContasSim& contas) {
  TOpcoes o;
  std::string erro;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help") {
      std::fputs(kAjuda, stdout);
      std::exit(0);
    }
    if (i + 1 >= argc) Falhar(a + " needs a value");
    const std::string v = cp1252::FromUtf8(argv[++i]);
    if (a == "--listen") {
      const std::string prefixo = "127.0.0.1:";
      char* fim = nullptr;
      const unsigned long porta = std::strtoul(v.c_str() + prefixo.size(), &fim, 10);
      if (v.rfind(prefixo, 0) != 0 || v.size() == prefixo.size() || *fim != '\0' || porta > 65535)
        Falhar("--listen wants 127.0.0.1:PORT, got " + v);
      o.porta = static_cast<uint16_t>(porta);
      o.escuta = true;
    } else if (a == "--account") {
      TContaSim conta;
      if (!LerConta(v, conta, erro) || !contas.Adicionar(std::move(conta), erro)) Falhar(erro);
    } else if (a == "--accounts") {
      if (!contas.LerArquivo(v, erro)) Falhar(erro);
    } else if (a == "--echo-bot") {
      o.robos.push_back(v);
    } else if (a == "--seed") {
      o.semente = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 10));
    } else {
      Falhar("unknown option " + a);
    }
  }
  if (!o.escuta) Falhar("--listen 127.0.0.1:PORT is needed");
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  TContasSim contas;
  const TOpcoes opcoes = LerOpcoes(argc, argv, contas);
  net::EpollRuntime runtime;
  runtime.StopOnSignals();
  TServidorYahoo servidor(runtime, contas, opcoes.semente);
  servidor.AoRegistrar = Registrar;
  std::string erro;
  if (!servidor.Escutar("127.0.0.1", opcoes.porta, erro))
    Falhar("cannot listen on 127.0.0.1:" + std::to_string(opcoes.porta) + ": " + erro);
  Registrar("listening on 127.0.0.1:" + std::to_string(servidor.Porta()) + ", " +
            std::to_string(contas.Quantidade()) + " accounts");
  std::vector<std::unique_ptr<TRoboEco>> robos;
  for (const std::string& id : opcoes.robos) {
    const TContaSim* conta = contas.Localizar(id);
    if (conta == nullptr) Falhar("--echo-bot " + id + ": no such account");
    robos.push_back(std::make_unique<TRoboEco>(runtime, conta->id, conta->senha));
    robos.back()->AoRegistrar = Registrar;
    robos.back()->Conectar("127.0.0.1", servidor.Porta());
  }
  runtime.Run();
  Registrar("stopping");
  return 0;
}
