// Figures for the Tazu client's read path: a contact-list download of 10,000
// SACT lines in one burst, and incoming messages with scrambling on.
#include <benchmark/benchmark.h>

#include "core/UCriptografia.h"
#include "net/testing/FakeRuntime.h"
#include "server/UClientePCTazu.h"

namespace tazu {
namespace {

const std::string S = "\xA7";

// A client logged in over the fake runtime with scrambling key `chave`.
struct Sessao {
  explicit Sessao(uint8_t chave) {
    cliente.IPServidor = "127.0.0.1";
    cliente.PortaServidor = 7498;
    cliente.Conectar();
    rt.RunPending();
    rt.LastPeer().Accept();
    rt.RunPending();
    cliente.Identificar(1);
    cripto.Chave = chave;
    rt.LastPeer().Write("[RVER]" + S + "1000" + S + "0" + S + std::to_string(chave) + "\r\n" +
                        Linha("[RCCA]") + Linha("[RUAC]" + S + "0" + S + "Ana"));
    rt.RunPending();
    rt.LastPeer().Take();
  }
  std::string Linha(const std::string& t) const {
    return (cripto.Chave ? cripto.Embaralhar(t) : t) + "\r\n";
  }
  net::FakeRuntime rt;
  TClientePCTazu cliente{rt};
  TCriptografia cripto;
};

// 10,000 contacts in one read, each raising AoReceberContato. Goal: < 50 ms.
void BM_ListaDeContatos10000(benchmark::State& state) {
  const uint8_t chave = static_cast<uint8_t>(state.range(0));
  std::string rajada;
  {
    Sessao modelo(chave);
    for (int i = 0; i < 10000; ++i)
      rajada += modelo.Linha("[SACT]" + S + std::to_string(1001 + i) + S + "Contato " +
                             std::to_string(i) + S + "A" + S + std::to_string(1 + i % 8) + S +
                             "TPC");
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto sessao = std::make_unique<Sessao>(chave);
    int eventos = 0;
    sessao->cliente.AoReceberContato = [&](TClientePCTazu&, TContato*) { ++eventos; };
    state.ResumeTiming();
    sessao->rt.LastPeer().Write(rajada);
    sessao->rt.RunPending();
    state.PauseTiming();
    if (eventos != 10000) state.SkipWithError("contacts missing");
    sessao.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ListaDeContatos10000)->Arg(0)->Arg(77)->Unit(benchmark::kMillisecond);

// Incoming messages from known contacts, scrambled; reads of 64 KiB as a
// socket would deliver them. Goal: at least 200,000 lines per second.
void BM_MensagensEmbaralhadas(benchmark::State& state) {
  Sessao sessao(77);
  sessao.rt.LastPeer().Write(sessao.Linha("[SACT]" + S + "20" + S + "Bia" + S + "A" + S + "1" +
                                          S + "TPC"));
  sessao.rt.RunPending();
  const std::string linha =
      sessao.Linha("[CMSG]" + S + "20" + S + "Bia" + S + "C" + S + "Oi, tudo bem? Vamos almo" +
                   "\xE7" + "ar amanh\xE3?#<RET>#Beijos");
  std::string leitura;
  while (leitura.size() + linha.size() <= 65536) leitura += linha;
  const int64_t porLeitura = static_cast<int64_t>(leitura.size() / linha.size());
  int64_t mensagens = 0;
  sessao.cliente.AoReceberMensagemUsuario = [&](TClientePCTazu&, TContato*,
                                                std::vector<std::string>&) { ++mensagens; };
  for (auto _ : state) {
    sessao.rt.LastPeer().Write(leitura);
    sessao.rt.RunPending();
  }
  if (mensagens != porLeitura * static_cast<int64_t>(state.iterations()))
    state.SkipWithError("messages missing");
  state.SetItemsProcessed(mensagens);
}
BENCHMARK(BM_MensagensEmbaralhadas);

}  // namespace
}  // namespace tazu
