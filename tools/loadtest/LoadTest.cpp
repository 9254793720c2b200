// tazu-loadtest: N simulated clients on loopback against a running tazud.
// Each client registers a fresh user (CCUS), logs in on the same connection
// (CVER, CCON, scrambled when the server says so), then all of them exchange
// messages with random others at a fixed total rate. Reports login time,
// delivered messages per second, delivery latency percentiles (send to CMSG
// at the recipient) and, given the server's pid, its resident memory.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/ProtocoloTazu.h"
#include "core/UGlobal.h"
#include "net/epoll/EpollRuntime.h"

namespace {

using namespace tazu;
using Clock = std::chrono::steady_clock;

struct Opcoes {
  std::string host = "127.0.0.1";
  uint16_t porta = 7498;
  int clientes = 100;
  double taxa = 1000;       // messages per second, all clients together
  double segundos = 10;     // of messaging
  int simultaneos = 64;     // registrations and logins in flight at once
  long pidServidor = 0;
  double limiteSegundos = 600;  // gives up past this, whatever happens
};

long RssKb(long pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string linha;
  while (std::getline(f, linha)) {
    if (linha.rfind("VmRSS:", 0) == 0) return std::atol(linha.c_str() + 6);
  }
  return -1;
}

// CPU seconds a process spent in user space and in the kernel.
struct Cpu {
  double usuario = 0, sistema = 0;
  double Total() const { return usuario + sistema; }
  Cpu operator-(const Cpu& o) const { return {usuario - o.usuario, sistema - o.sistema}; }
};

Cpu CpuDe(long pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string tudo((std::istreambuf_iterator<char>(f)), {});
  const auto fecha = tudo.rfind(')');
  if (fecha == std::string::npos) return {};
  std::vector<std::string> campos;
  std::string campo;
  for (std::size_t i = fecha + 2; i <= tudo.size(); ++i) {
    if (i == tudo.size() || tudo[i] == ' ') {
      campos.push_back(campo);
      campo.clear();
    } else {
      campo += tudo[i];
    }
  }
  if (campos.size() < 13) return {};
  const auto tique = static_cast<double>(sysconf(_SC_CLK_TCK));
  return {static_cast<double>(std::atoll(campos[11].c_str())) / tique,
          static_cast<double>(std::atoll(campos[12].c_str())) / tique};
}

// CPU seconds the hypervisor gave to others while this machine wanted to run.
double CpuRoubada() {
  std::ifstream f("/proc/stat");
  std::string rotulo;
  double v[8] = {};  // user nice system idle iowait irq softirq steal
  f >> rotulo;
  for (double& x : v) f >> x;
  return v[7] / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU seconds of every process but these two, by pid.
std::map<long, double> CpuDosOutros(long servidor, long proprio) {
  std::map<long, double> cpu;
  for (const auto& e : std::filesystem::directory_iterator("/proc")) {
    const std::string nome = e.path().filename().string();
    if (nome.empty() || nome.find_first_not_of("0123456789") != std::string::npos) continue;
    const long pid = std::atol(nome.c_str());
    if (pid != servidor && pid != proprio) cpu[pid] = CpuDe(pid).Total();
  }
  return cpu;
}

double CpuDosOutrosDesde(const std::map<long, double>& antes, long servidor, long proprio) {
  double total = 0;
  for (const auto& [pid, segundos] : CpuDosOutros(servidor, proprio)) {
    const auto a = antes.find(pid);
    total += segundos - (a == antes.end() ? 0 : a->second);
  }
  return total;
}

int64_t Agora() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

struct Cliente;

struct Teste {
  Opcoes op;
  net::EpollRuntime rt;
  std::vector<std::unique_ptr<Cliente>> clientes;
  std::vector<Cliente*> conectados;
  int emAndamento = 0;
  int proximo = 0;
  int falhas = 0;
  std::string prefixo;
  bool medindo = false;
  int64_t enviadas = 0, entregues = 0, confirmadas = 0, guardadas = 0, erros = 0;
  std::vector<int64_t> latencias;  // microseconds
  void Iniciar();
  void Continuar();
};

struct Cliente {
  Teste& t;
  int indice;
  std::unique_ptr<net::TcpSocket> socket;
  TLeitorDeLinhas leitor{1 << 16};
  TCriptografia cripto;
  int niu = 0;
  bool logado = false;
  std::string saida;

  Cliente(Teste& teste, int i) : t(teste), indice(i) { cripto.Chave = 0; }

  void Enviar(const std::string& linha) { socket->Send(PrepararEnvio(linha, cripto)); }

  void Abrir() {
    socket = t.rt.CreateTcpSocket();
    socket->onConnected = [this] {
      std::string ccus = "[CCUS]\xA7" "1.0 AA";
      const std::string apelido = t.prefixo + std::to_string(indice);
      const std::string valores[20] = {apelido, "Carga " + apelido, "senha", "D", "", "", "", "",
                                       "", "", "", "", "", "", "", "", "", apelido + "@carga", "0", "0"};
      for (const auto& v : valores) ccus += "\xA7" + v;
      Enviar(ccus);
    };
    socket->onData = [this](std::string_view dados) {
      leitor.Alimentar(dados, [this](std::string_view bruta) {
        AoLinha(AbrirLinha(bruta, cripto));
        return true;
      });
    };
    socket->onClosed = [this] { Falhou("closed by the server"); };
    socket->onError = [this](net::SocketError, const std::string& m) { Falhou(m); };
    if (!socket->Connect(t.op.host, t.op.porta)) Falhou("cannot connect");
  }

  void Falhou(const std::string& motivo) {
    if (t.falhas++ < 5) std::fprintf(stderr, "client %d: %s\n", indice, motivo.c_str());
    if (!logado) {
      --t.emAndamento;
      t.Continuar();
    }
    logado = false;
  }

  void AoLinha(std::string linha) {
    const std::string codigo = LerComando(linha);
    if (codigo == "CMSG") {
      ProximoCampo(linha, Separador);  // sender
      ProximoCampo(linha, Separador);  // nickname
      ProximoCampo(linha, Separador);  // presence
      const std::string texto = linha;
      if (texto.size() > 1 && texto[0] == 't') {
        const int64_t enviado = std::atoll(texto.c_str() + 1);
        if (t.medindo) {
          ++t.entregues;
          t.latencias.push_back(Agora() - enviado);
        }
      }
    } else if (codigo == "SCEM") {
      ++t.confirmadas;
    } else if (codigo == "SNEM") {
      ++t.guardadas;
    } else if (codigo == "SCUA") {
      niu = std::atoi(ProximoCampo(linha, Separador).c_str());
      Enviar("[CVER]\xA7" "127.0.0.1\xA7" "0\xA7" + std::to_string(niu) + "\xA7" "1.0 AA\xA7P\xA7Tazu Messenger");
    } else if (codigo == "RVER") {
      ProximoCampo(linha, Separador);
      ProximoCampo(linha, Separador);
      const std::string chave = ProximoCampo(linha, Separador);
      // CCON already goes out scrambled.
      cripto.Chave = static_cast<uint8_t>(std::atoi(chave.c_str()));
      Enviar("[CCON]\xA7senha\xA7" "1");
    } else if (codigo == "RCCA") {
      logado = true;
      t.conectados.push_back(this);
      --t.emAndamento;
      t.Continuar();
    } else if (codigo == "RERR") {
      ++t.erros;
      if (!logado) {
        if (t.falhas++ < 5) std::fprintf(stderr, "client %d: RERR %s\n", indice, linha.c_str());
        --t.emAndamento;
        t.Continuar();
        socket->Close();
      }
    }
  }
};

void Teste::Continuar() {
  while (emAndamento < op.simultaneos && proximo < op.clientes) {
    clientes.push_back(std::make_unique<Cliente>(*this, proximo++));
    ++emAndamento;
    clientes.back()->Abrir();
  }
}

double Percentil(std::vector<int64_t>& v, double p) {
  if (v.empty()) return 0;
  const std::size_t i = std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())));
  std::nth_element(v.begin(), v.begin() + static_cast<long>(i), v.end());
  return static_cast<double>(v[i]) / 1000.0;
}

[[noreturn]] void Uso() {
  std::fputs(
      "usage: tazu-loadtest [--server HOST:PORT] [--clients N] [--rate MSGS_PER_S]\n"
      "                     [--seconds S] [--parallel N] [--server-pid PID]\n"
      "Registers N users, logs them in, then sends MSGS_PER_S messages per second\n"
      "(all clients together, to random recipients) for S seconds. The server\n"
      "should allow N connections, password checks and registrations from one\n"
      "address (--max-per-address N --max-checks-per-address 0\n"
      "--max-registrations-per-hour 0) and may use a cheap hash cost (--hash-cost 1)\n"
      "so that N logins do not take long.\n",
      stderr);
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  // Progress lines reach a log as they happen.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  Teste t;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) Uso();
    const std::string v = argv[++i];
    if (a == "--server") {
      const auto p = v.rfind(':');
      if (p == std::string::npos) Uso();
      t.op.host = v.substr(0, p);
      t.op.porta = static_cast<uint16_t>(std::atoi(v.c_str() + p + 1));
    } else if (a == "--clients") {
      t.op.clientes = std::atoi(v.c_str());
    } else if (a == "--rate") {
      t.op.taxa = std::atof(v.c_str());
    } else if (a == "--seconds") {
      t.op.segundos = std::atof(v.c_str());
    } else if (a == "--parallel") {
      t.op.simultaneos = std::atoi(v.c_str());
    } else if (a == "--server-pid") {
      t.op.pidServidor = std::atol(v.c_str());
    } else {
      Uso();
    }
  }
  rlimit limite{};
  if (getrlimit(RLIMIT_NOFILE, &limite) == 0) {
    limite.rlim_cur = limite.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limite);
  }
  std::mt19937 rng(static_cast<unsigned>(Agora()));
  t.prefixo = "c" + std::to_string(rng() % 100000) + "_";

  const auto inicio = Clock::now();
  const auto limite_ = inicio + std::chrono::duration<double>(t.op.limiteSegundos);
  t.Continuar();
  while ((t.proximo < t.op.clientes || t.emAndamento > 0) && Clock::now() < limite_) {
    t.rt.RunOnce(net::Milliseconds(50));
  }
  const double segundosLogin = std::chrono::duration<double>(Clock::now() - inicio).count();
  const std::size_t logados = t.conectados.size();
  std::printf("logged in: %zu of %d clients in %.1f s (%d failures)\n", logados, t.op.clientes,
              segundosLogin, t.falhas);
  if (t.op.pidServidor > 0) {
    std::printf("server RSS with %zu connections logged in: %.1f MB\n", logados,
                static_cast<double>(RssKb(t.op.pidServidor)) / 1024.0);
  }
  if (logados < 2) return 1;

  // Messaging at a fixed rate; the first second warms up and is not measured.
  t.latencias.reserve(static_cast<std::size_t>(t.op.taxa * t.op.segundos) + 1000);
  const double aquecimento = 1.0;
  const auto comeco = Clock::now();
  const auto fimEnvio = comeco + std::chrono::duration<double>(aquecimento + t.op.segundos);
  int64_t devidas = 0, feitas = 0;
  std::uniform_int_distribution<std::size_t> escolha(0, logados - 1);
  auto inicioMedida = comeco;
  Cpu cpuServidor0, cpuProprio0;
  double roubada0 = 0;
  std::map<long, double> outros0;
  int64_t entreguesNoFim = 0;
  while (Clock::now() < fimEnvio) {
    const double decorrido = std::chrono::duration<double>(Clock::now() - comeco).count();
    if (!t.medindo && decorrido >= aquecimento) {
      t.medindo = true;
      inicioMedida = Clock::now();
      t.enviadas = 0;
      if (t.op.pidServidor > 0) cpuServidor0 = CpuDe(t.op.pidServidor);
      cpuProprio0 = CpuDe(getpid());
      roubada0 = CpuRoubada();
      outros0 = CpuDosOutros(t.op.pidServidor, getpid());
    }
    devidas = static_cast<int64_t>(decorrido * t.op.taxa);
    while (feitas < devidas) {
      Cliente* de = t.conectados[escolha(rng)];
      Cliente* para = t.conectados[escolha(rng)];
      if (para == de) para = t.conectados[(escolha(rng))];
      if (!de->logado) {
        ++feitas;
        continue;
      }
      de->Enviar("[CMSG]\xA7" + std::to_string(para->niu) + "\xA7t" + std::to_string(Agora()));
      ++feitas;
      if (t.medindo) ++t.enviadas;
    }
    t.rt.RunOnce(net::Milliseconds(1));
  }
  const auto fimMedida = Clock::now();
  const Cpu cpuServidor = t.op.pidServidor > 0 ? CpuDe(t.op.pidServidor) - cpuServidor0 : Cpu{};
  const Cpu cpuProprio = CpuDe(getpid()) - cpuProprio0;
  const double roubada = CpuRoubada() - roubada0;
  const double outros = CpuDosOutrosDesde(outros0, t.op.pidServidor, getpid());
  entreguesNoFim = t.entregues;
  // Let the last messages arrive (their latency counts), without sending more.
  const auto fimEspera = Clock::now() + std::chrono::seconds(3);
  while (Clock::now() < fimEspera && t.entregues < t.enviadas) t.rt.RunOnce(net::Milliseconds(10));

  const double janela = std::chrono::duration<double>(fimMedida - inicioMedida).count();
  std::printf("messages: %lld sent, %lld delivered live (%lld within the window), %lld SCEM, %lld SNEM, %lld RERR\n",
              static_cast<long long>(t.enviadas), static_cast<long long>(t.entregues),
              static_cast<long long>(entreguesNoFim), static_cast<long long>(t.confirmadas),
              static_cast<long long>(t.guardadas), static_cast<long long>(t.erros));
  std::printf("throughput: %.0f messages/s delivered over %.1f s (asked for %.0f/s)\n",
              static_cast<double>(entreguesNoFim) / janela, janela, t.op.taxa);
  std::printf("latency ms: p50 %.2f  p90 %.2f  p99 %.2f  max %.2f\n", Percentil(t.latencias, 0.50),
              Percentil(t.latencias, 0.90), Percentil(t.latencias, 0.99), Percentil(t.latencias, 1.0));
  const auto pct = [janela](double segundos) { return 100.0 * segundos / janela; };
  std::printf(
      "CPU during the window, %% of one core: server %.0f%% (user %.0f%%, kernel %.0f%%), "
      "this tool %.0f%%\n",
      pct(cpuServidor.Total()), pct(cpuServidor.usuario), pct(cpuServidor.sistema),
      pct(cpuProprio.Total()));
  // Whatever else ran meanwhile competed for the same cores: a figure taken
  // while it was high says little.
  std::printf(
      "meanwhile: other processes (kernel threads too) %.0f%%, stolen by the "
      "hypervisor %.0f%%\n",
      pct(outros), pct(roubada));
  if (t.op.pidServidor > 0) {
    std::printf("server RSS after the run: %.1f MB\n",
                static_cast<double>(RssKb(t.op.pidServidor)) / 1024.0);
  }
  return t.entregues > 0 ? 0 : 1;
}
