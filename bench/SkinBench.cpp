// The skinned windows' costs: building the manager from its descriptor and
// painting its frame at 800x600 (goal: under 10 ms), and a re-layout after a
// resize (goal: under 5 ms). Reads the default skin beside the executable.
//   build/bin/skin_bench
#include <benchmark/benchmark.h>

#include <QImage>

#include "skin/BmpRgn.h"
#include "skin/Catalogo.h"
#include "skin/UFeicoesVariaveis.h"
#include "skin/UFrmEncapado.h"

namespace tazu {
namespace {

const catalogo::TJanelaEsperada& Gerente() {
  for (const auto& j : catalogo::Janelas()) {
    if (j.Descritor == "Gerente.cap") return j;
  }
  std::abort();
}

// The manager's callback: its buttons, grip, drag area and picture; the
// elements it places itself cost nothing here.
TResultadoFeicao Callback(TFeicao& f) {
  for (const auto& e : Gerente().Elementos) {
    if (e.Id == f.Registro.Id()) return {e.Tipo, [] {}};
  }
  return {};
}

std::unique_ptr<TFrmEncapado> ConstruirGerente(int largura, int altura) {
  auto j = std::make_unique<TFrmEncapado>();
  j->Pecas = PecasCompartilhadas("Gerente");
  j->ArquivoDescritor = "Gerente.cap";
  j->AoCriarFeicao = [](TFrmEncapado&, TFeicao& f) { return Callback(f); };
  j->Construir();
  j->resize(largura, altura);
  j->AposRedimensionar();
  return j;
}

void ConstruirGerente800x600(benchmark::State& estado) {
  PecasCompartilhadas("Gerente");  // read once at start-up, as the program does
  for (auto _ : estado) {
    auto j = ConstruirGerente(800, 600);
    benchmark::DoNotOptimize(j->Fundo().constBits());
  }
}
BENCHMARK(ConstruirGerente800x600)->Unit(benchmark::kMillisecond);

void RelayoutAposRedimensionar(benchmark::State& estado) {
  auto j = ConstruirGerente(800, 600);
  bool maior = false;
  for (auto _ : estado) {
    maior = !maior;
    j->resize(maior ? 810 : 800, maior ? 610 : 600);
    j->AposRedimensionar();
    benchmark::DoNotOptimize(j->Fundo().constBits());
  }
}
BENCHMARK(RelayoutAposRedimensionar)->Unit(benchmark::kMillisecond);

void PintarMoldura800x600(benchmark::State& estado) {
  const TPecasMoldura& pecas = PecasCompartilhadas("Gerente");
  for (auto _ : estado) {
    QImage i = PintarMoldura(600, 800, pecas, QColor(0xEE, 0xF2, 0xF7));
    benchmark::DoNotOptimize(i.constBits());
  }
}
BENCHMARK(PintarMoldura800x600)->Unit(benchmark::kMicrosecond);

void RegiaoDaMoldura800x600(benchmark::State& estado) {
  const QImage i =
      PintarMoldura(600, 800, PecasCompartilhadas("Gerente"), QColor(0xEE, 0xF2, 0xF7));
  for (auto _ : estado) {
    QRegion r = RegiaoDoBitmap(i);
    benchmark::DoNotOptimize(r.rectCount());
  }
}
BENCHMARK(RegiaoDaMoldura800x600)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tazu
