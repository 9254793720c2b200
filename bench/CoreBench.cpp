// Figures for the core: contact look-ups over a large list, and the scrambler's
// throughput on protocol-sized and history-sized lines.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "core/Listas.h"
#include "core/UCriptografia.h"

namespace tazu {
namespace {

// 10,000 contacts over four communities, then 10,000 look-ups in the order a
// contact-list download makes them (each identifier once, mixed case). The
// figure to read is the time per iteration: all 10,000 look-ups.
void BM_Localizar10000(benchmark::State& state) {
  TListaDeContatos lista;
  const char* comunidades[] = {"Tazu", "ICQ", "MSN", "Yahoo"};
  std::vector<std::pair<std::string, std::string>> chaves;
  for (int i = 0; i < 10000; ++i) {
    auto c = std::make_unique<TContato>();
    c->Comunicador = comunidades[i % 4];
    c->Identificador = "contato" + std::to_string(i) + "@exemplo.com";
    chaves.emplace_back(c->Comunicador, "CONTATO" + std::to_string(i) + "@EXEMPLO.COM");
    lista.Adicionar(std::move(c));
  }
  std::shuffle(chaves.begin(), chaves.end(), std::mt19937(1));
  for (auto _ : state) {
    int achados = 0;
    for (const auto& [comunidade, id] : chaves) achados += lista.Localizar(comunidade, id);
    benchmark::DoNotOptimize(achados);
    if (achados != 10000) state.SkipWithError("look-up missed");
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Localizar10000)->Unit(benchmark::kMillisecond);

std::string TextoAleatorio(std::size_t n, unsigned semente) {
  std::mt19937 rng(semente);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(0x20 + rng() % 0xDF);
  return s;
}

// One scramble plus one unscramble per iteration; bytes counted once, the
// line's length. Goal: at least 200 MB/s on 1 KiB lines.
void BM_EmbaralharDesembaralhar(benchmark::State& state) {
  const std::string linha = TextoAleatorio(static_cast<std::size_t>(state.range(0)), 7);
  TCriptografia c;
  c.Chave = 113;
  for (auto _ : state) {
    std::string e = c.Embaralhar(linha);
    std::string d = c.Desembaralhar(e);
    benchmark::DoNotOptimize(d.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EmbaralharDesembaralhar)->Arg(64)->Arg(1024);

}  // namespace
}  // namespace tazu
