// Figures for the Tazu client's read path: a contact-list download of 10,000
// SACT lines in one burst, and incoming messages with scrambling on.
#include <benchmark/benchmark.h>

#include "tests/support/TazuClientRig.h"

namespace tazu {
namespace {

using test::TazuClientRig;

std::unique_ptr<TazuClientRig> Logado(uint8_t chave) {
  auto rig = std::make_unique<TazuClientRig>(false);
  if (!rig->LogIn(chave)) return nullptr;
  return rig;
}

// 10,000 contacts in one read, each raising AoReceberContato. Goal: < 50 ms.
void BM_ListaDeContatos10000(benchmark::State& state) {
  const uint8_t chave = static_cast<uint8_t>(state.range(0));
  std::string rajada;
  {
    auto modelo = Logado(chave);
    for (int i = 0; i < 10000; ++i)
      rajada += modelo->dialect.Encode("[SACT] " + std::to_string(1001 + i) + " \"Contato " +
                                           std::to_string(i) + "\" A " +
                                           std::to_string(1 + i % 8) + " TPC",
                                       false);
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto rig = Logado(chave);
    int eventos = 0;
    rig->cliente.AoReceberContato = [&](TClientePCTazu&, TContato*) { ++eventos; };
    state.ResumeTiming();
    rig->ServerSendsRaw(rajada);
    state.PauseTiming();
    if (eventos != 10000) state.SkipWithError("contacts missing");
    rig.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ListaDeContatos10000)->Arg(0)->Arg(77)->Unit(benchmark::kMillisecond);

// Incoming messages from known contacts, scrambled; reads of 64 KiB as a
// socket would deliver them. Goal: at least 200,000 lines per second.
void BM_MensagensEmbaralhadas(benchmark::State& state) {
  auto rig = Logado(77);
  rig->ServerSends("[SACT] 20 Bia A 1 TPC");
  const std::string linha = rig->dialect.Encode(
      "[CMSG] 20 Bia C \"Oi, tudo bem? Vamos almoçar amanhã?#<RET>#Beijos\"", false);
  std::string leitura;
  while (leitura.size() + linha.size() <= 65536) leitura += linha;
  const int64_t porLeitura = static_cast<int64_t>(leitura.size() / linha.size());
  int64_t mensagens = 0;
  rig->cliente.AoReceberMensagemUsuario = [&](TClientePCTazu&, TContato*,
                                              std::vector<std::string>&) { ++mensagens; };
  for (auto _ : state) rig->ServerSendsRaw(leitura);
  if (mensagens != porLeitura * static_cast<int64_t>(state.iterations()))
    state.SkipWithError("messages missing");
  state.SetItemsProcessed(mensagens);
}
BENCHMARK(BM_MensagensEmbaralhadas);

}  // namespace
}  // namespace tazu
