// Figures for the MSN read paths: a forward list of 1,000 contacts from its
// first LST line to the last contact raised in the hub, and message payloads
// arriving on a switchboard session.
#include <benchmark/benchmark.h>

#include "tests/support/msn/MsnAdapterRig.h"
#include "tests/support/msn/MsnClientRig.h"

namespace tazu {
namespace {

// 1,000 LST lines in one read, through the MSN client and the adapter to
// AoReceberContato of the hub. Goal: < 20 ms.
void BM_ListaDireta1000(benchmark::State& state) {
  std::string rajada;
  for (int i = 1; i <= 1000; ++i)
    rajada += "LST 8 FL 42 " + std::to_string(i) + " 1000 contato" + std::to_string(i) +
              "@tazu.test Contato%20" + std::to_string(i) + "\r\n";
  for (auto _ : state) {
    state.PauseTiming();
    test::TazuClientRig rig(false);
    test::MsnDialect dialeto;
    net::FakePeer* ns = rig.LogIn() ? test::LogInMsn(rig, dialeto) : nullptr;
    if (!ns) {
      state.SkipWithError("no MSN login");
      break;
    }
    int eventos = 0;
    rig.cliente.AoReceberContato = [&](TClientePCTazu&, TContato*) { ++eventos; };
    state.ResumeTiming();
    ns->Write(rajada);
    rig.rt.RunPending();
    state.PauseTiming();
    if (eventos != 1000 || rig.cliente.Contatos.Quantidade() != 1000)
      state.SkipWithError("contacts missing");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ListaDireta1000)->Unit(benchmark::kMillisecond);

// Text payloads from the contact of an open switchboard session, 64 KiB
// reads as a socket would deliver them, to AoReceberMensagem. Goal: at least
// 50,000 payloads per second.
void BM_PayloadsDoSwitchboard(benchmark::State& state) {
  test::MsnClientRig rig(false);
  if (!rig.LogIn()) return state.SkipWithError("no login");
  rig.ServerSendsRaw("RNG 5 127.0.0.1:1865 CKI 1.2 bob@tazu.test Bob\r\n");
  net::FakePeer& sb = rig.rt.LastPeer();
  sb.Accept();
  rig.rt.RunPending();
  sb.Write("IRO 1 1 1 bob@tazu.test Bob\r\nANS 1 OK\r\n");
  rig.rt.RunPending();
  test::MsnDialect d(1);
  const std::string msg = d.Encode(
      "MSG bob@tazu.test Bob |texto| Oi, tudo bem? Vamos almoçar amanhã?\\r\\nBeijos", false);
  std::string leitura;
  while (leitura.size() + msg.size() <= 65536) leitura += msg;
  const int64_t porLeitura = static_cast<int64_t>(leitura.size() / msg.size());
  int64_t recebidas = 0;
  rig.cliente.AoReceberMensagem = [&](msn::TClienteMSN&, uint32_t, const std::string&,
                                      const std::string&, const std::string&) { ++recebidas; };
  for (auto _ : state) {
    sb.Write(leitura);
    rig.rt.RunPending();
  }
  if (recebidas != porLeitura * static_cast<int64_t>(state.iterations()))
    state.SkipWithError("messages missing");
  state.SetItemsProcessed(recebidas);
}
BENCHMARK(BM_PayloadsDoSwitchboard)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tazu
