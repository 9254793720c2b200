// tazu-sim-icq: the OSCAR simulator on 127.0.0.1, for tests and the demo.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "net/epoll/EpollRuntime.h"
#include "sim/icq/Contas.h"
#include "sim/icq/SimuladorICQ.h"

namespace {

constexpr char kAjuda[] =
    "uso: tazu-sim-icq [opções]\n"
    "Simulador de servidor ICQ (OSCAR) em 127.0.0.1: autorização, sessão e gateway HTTP.\n"
    "  --login-port N      porta do servidor de autorização (0: qualquer livre)\n"
    "  --session-port N    porta do servidor de sessão (0: qualquer livre)\n"
    "  --gateway-port N    porta do gateway HTTP (0: qualquer livre)\n"
    "  --no-gateway        sem o gateway HTTP\n"
    "  --account UIN:SENHA:APELIDO[:autorizacao]  uma conta\n"
    "  --buddy UIN:CONTATO:APELIDO[:GRUPO]        CONTATO na lista do servidor de UIN\n"
    "  --echo-bot UIN[:APELIDO]                   conta sempre conectada que devolve\n"
    "                                             cada mensagem\n"
    "  --accounts ARQUIVO  contas, uma por linha:\n"
    "                        conta UIN SENHA APELIDO [autorizacao]\n"
    "                        lista UIN CONTATO APELIDO [GRUPO]\n"
    "                        eco UIN [APELIDO]\n"
    "                        info UIN CAMPO VALOR\n"
    "  --max-logins N      logins por minuto de uma conta antes de \"frequente demais\"\n"
    "  --help              esta ajuda\n"
    "Cada SNAC recebido é uma linha na saída de erro.\n";

std::string Linha(const char* tipo, std::string valor) {
  for (char& c : valor)
    if (c == ':') c = ' ';
  return std::string(tipo) + " " + valor;
}

bool Porta(const char* texto, uint16_t& porta) {
  char* fim = nullptr;
  const long n = std::strtol(texto, &fim, 10);
  if (!*texto || *fim || n < 0 || n > 65535) return false;
  porta = static_cast<uint16_t>(n);
  return true;
}

// The options into `opcoes` and the account lines; an exit status when the
// program should stop here (help, a bad option), -1 otherwise.
int LerOpcoes(int argc, char** argv, tazu::sim::icq::TOpcoesSim& opcoes,
              std::vector<std::string>& linhas) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* valor = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok = true;
    if (a == "--help") {
      std::fputs(kAjuda, stdout);
      return 0;
    } else if (a == "--no-gateway") {
      opcoes.gateway = false;
      continue;
    } else if (!valor) {
      ok = false;
    } else if (a == "--login-port") {
      ok = Porta(valor, opcoes.portaLogin);
    } else if (a == "--session-port") {
      ok = Porta(valor, opcoes.portaSessao);
    } else if (a == "--gateway-port") {
      ok = Porta(valor, opcoes.portaGateway);
    } else if (a == "--max-logins") {
      opcoes.maxLoginsPorMinuto = std::atoi(valor);
    } else if (a == "--account") {
      linhas.push_back(Linha("conta", valor));
    } else if (a == "--buddy") {
      linhas.push_back(Linha("lista", valor));
    } else if (a == "--echo-bot") {
      linhas.push_back(Linha("eco", valor));
    } else if (a == "--accounts") {
      std::ifstream f(valor);
      std::stringstream s;
      s << f.rdbuf();
      if (!f) std::fprintf(stderr, "tazu-sim-icq: não foi possível ler %s\n", valor);
      linhas.push_back(s.str());
      ok = static_cast<bool>(f);
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "tazu-sim-icq: opção inválida: %s\n%s", a.c_str(), kAjuda);
      return 2;
    }
    ++i;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tazu;
  sim::icq::TOpcoesSim opcoes;
  opcoes.log = [](const std::string& l) { std::fprintf(stderr, "%s\n", l.c_str()); };
  std::vector<std::string> linhas;
  if (const int fim = LerOpcoes(argc, argv, opcoes, linhas); fim >= 0) return fim;
  net::EpollRuntime rt;
  sim::icq::TSimuladorICQ simulador(rt, opcoes);
  for (const std::string& l : linhas) {
    std::string erro;
    if (!sim::icq::AplicarContas(simulador, l, &erro)) {
      std::fprintf(stderr, "tazu-sim-icq: %s\n", erro.c_str());
      return 2;
    }
  }
  std::string erro;
  if (!simulador.Iniciar(&erro)) {
    std::fprintf(stderr, "tazu-sim-icq: %s\n", erro.c_str());
    return 1;
  }
  std::fprintf(stderr, "listening on 127.0.0.1:%u (login)\n", simulador.PortaLogin());
  std::fprintf(stderr, "listening on 127.0.0.1:%u (session)\n", simulador.PortaSessao());
  if (opcoes.gateway)
    std::fprintf(stderr, "listening on 127.0.0.1:%u (gateway)\n", simulador.PortaGateway());
  rt.StopOnSignals();
  rt.Run();
  return 0;
}
