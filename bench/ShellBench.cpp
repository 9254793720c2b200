// The manager with thousands of contacts, shown on the offscreen platform:
// every figure includes the view catching up (layout and repaint).
//   filling it with 10,000 contacts, one AtualizaContato each: under 1 s
//   one presence change in a list of 10,000:                   under 1 ms
//   one blink tick with 10,000 rows:                           under 2 ms
// Reads the default skin beside the executable.
//   build/bin/shell_bench
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "net/qt/QtRuntime.h"
#include "server/UClientePCTazu.h"
#include "shell/Contexto.h"
#include "shell/UComunicando.h"
#include "shell/UGerenciador.h"
#include "shell/UPrincipal.h"

namespace tazu {
namespace {

constexpr int kContatos = 10000;

struct TBancada {
  net::QtRuntime rt;
  TClientePCTazu cliente{rt};
  TContexto ctx{rt, cliente};
  TFrmPrincipal principal{ctx};
  std::unique_ptr<TFrmGerenciador> gerenciador;
  std::vector<std::unique_ptr<TContato>> contatos;

  TBancada() {
    ctx.Principal = &principal;
    gerenciador = std::make_unique<TFrmGerenciador>(ctx);
    ctx.Gerenciador = gerenciador.get();
    gerenciador->resize(240, 700);
    gerenciador->show();
    for (int i = 0; i < kContatos; ++i) {
      auto c = std::make_unique<TContato>();
      c->Identificador = std::to_string(10000 + i);
      c->NIU = static_cast<uint16_t>(10000 + i);
      c->Apelido = "Contato " + std::to_string((i * 7919) % kContatos);
      c->Lista = 'A';
      c->Conectado = i % 3 == 0;
      c->Status = c->Conectado ? 1 + i % 8 : 3;
      c->Origem = "TPC";
      contatos.push_back(std::move(c));
    }
  }
  ~TBancada() {
    for (auto& [chave, janela] : ctx.JanelasDeConversa.Todas()) delete janela;
  }
  void Encher() {
    for (const auto& c : contatos) gerenciador->AtualizaContato(*c);
  }
};

TBancada& Bancada() {
  static TBancada* b = new TBancada();
  return *b;
}

void Esvaziar() {
  QCoreApplication::processEvents();
}

void EncherCom10000Contatos(benchmark::State& estado) {
  TBancada& b = Bancada();
  for (auto _ : estado) {
    estado.PauseTiming();
    b.gerenciador->LimpaListas();
    Esvaziar();
    estado.ResumeTiming();
    b.Encher();
    Esvaziar();
  }
  estado.counters["linhas"] = static_cast<double>(b.gerenciador->Listas().rowCount());
}
BENCHMARK(EncherCom10000Contatos)->Unit(benchmark::kMillisecond)->Iterations(5);

void MudancaDePresencaEntre10000(benchmark::State& estado) {
  TBancada& b = Bancada();
  b.gerenciador->LimpaListas();
  b.Encher();
  Esvaziar();
  std::size_t i = 0;
  for (auto _ : estado) {
    // A different contact each time, in and out of "Conectados".
    TContato& c = *b.contatos[(i++ * 37) % b.contatos.size()];
    c.Conectado = !c.Conectado;
    c.Status = c.Conectado ? 1 : 3;
    b.gerenciador->AtualizaContato(c);
    Esvaziar();
  }
}
BENCHMARK(MudancaDePresencaEntre10000)->Unit(benchmark::kMicrosecond);

void PiscadaCom10000Linhas(benchmark::State& estado) {
  TBancada& b = Bancada();
  b.gerenciador->LimpaListas();
  b.Encher();
  // Three conversations with unread text, as the blinking finds them.
  for (int i : {0, 4999, 9998}) {
    TFrmComunicando* j = b.principal.AbrirConversa(*b.contatos[static_cast<std::size_t>(i)], true);
    j->ChamaAtencao();
  }
  Esvaziar();
  for (auto _ : estado) {
    b.gerenciador->Piscar();
    Esvaziar();
  }
}
BENCHMARK(PiscadaCom10000Linhas)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tazu
