// The search and the user information window, on the offscreen platform;
// every figure includes the view catching up (layout and repaint).
//   a search answer of 50 results filling the results list:   under 50 ms
//   opening the information window with its seven pages:       under 100 ms
// Reads the default skin beside the executable.
//   build/bin/shell2_bench
#include <benchmark/benchmark.h>

#include <memory>

#include "net/qt/QtRuntime.h"
#include "server/UClientePCTazu.h"
#include "shell/Contexto.h"
#include "shell/UBuscaContato.h"
#include "shell/UFrmInfoUsuario.h"

namespace tazu {
namespace {

struct TBancada {
  net::QtRuntime rt;
  TClientePCTazu cliente{rt};
  TContexto ctx{rt, cliente};
};

TBancada& Bancada() {
  static TBancada* b = new TBancada();
  return *b;
}

void Esvaziar() {
  QCoreApplication::processEvents();
}

void BuscaCom50Resultados(benchmark::State& estado) {
  TFrmBuscaContato* busca = TFrmBuscaContato::BuscaContato(Bancada().ctx, "Tazu");
  Esvaziar();
  for (auto _ : estado) {
    estado.PauseTiming();
    busca->NovaBusca();
    Esvaziar();
    estado.ResumeTiming();
    for (int i = 0; i < 50; ++i) {
      busca->ResultadoRecebido(std::to_string(2000 + i), "Contato " + std::to_string(i),
                               "Nome Completo do Contato " + std::to_string(i),
                               "contato" + std::to_string(i) + "@exemplo.com.br",
                               i % 2 ? '1' : '0');
    }
    busca->BuscaFinalizada();
    Esvaziar();
  }
  estado.counters["linhas"] = busca->ListView()->topLevelItemCount();
  busca->close();
  Esvaziar();
}
BENCHMARK(BuscaCom50Resultados)->Unit(benchmark::kMillisecond);

void AbrirJanelaDeInformacoes(benchmark::State& estado) {
  TBancada& b = Bancada();
  for (auto _ : estado) {
    auto* janela = new TFrmInfoUsuario(b.ctx, "Tazu", "4242", "Maria");
    janela->show();
    Esvaziar();
    estado.PauseTiming();
    delete janela;
    Esvaziar();
    estado.ResumeTiming();
  }
}
BENCHMARK(AbrirJanelaDeInformacoes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tazu
