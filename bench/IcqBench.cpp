// Figures for ICQ: parsing message frames (goal: at least 100 MB/s), a
// server-side list of 1,000 items parsed and raised (goal: under 20 ms), a
// login to the simulator through a real SOCKS5 proxy on loopback (measured),
// and the Tazu client getting every contact of a 1,000-contact ICQ account
// from SACM on (goal: under 50 ms of processing, waits in virtual time).
#include <benchmark/benchmark.h>

#include <chrono>

#include "icq/CodecCliente.h"
#include "icq/CodecFlap.h"
#include "icq/CodecServidor.h"
#include "net/epoll/EpollRuntime.h"
#include "tests/support/icq/ICQRig.h"
#include "tests/support/icq/ProcessoExterno.h"

namespace tazu {
namespace {

// Incoming channel-1 messages, cut into FLAPs, SNACs and TLVs and read.
void BM_QuadrosDeMensagem(benchmark::State& state) {
  std::string fluxo;
  for (int i = 0; fluxo.size() < (1 << 20); ++i)
    fluxo += icq::MontarFlap(
        2, static_cast<uint16_t>(i),
        icq::servidor::MensagemCanal1(std::string(8, 'c'), "222222",
                                      "Oi, tudo bem? Vamos almoçar amanhã? " + std::to_string(i)));
  int64_t mensagens = 0;
  for (auto _ : state) {
    icq::TMontadorFlap montador;
    for (std::size_t p = 0; p < fluxo.size(); p += 65536) {
      montador.Alimentar(std::string_view(fluxo).substr(p, 65536));
      icq::TFlap q;
      while (montador.Proximo(q) == icq::TMontadorFlap::Resultado::Quadro) {
        icq::TSnac s;
        icq::TMensagemRecebida m;
        if (icq::LerSnac(q.dados, s) && icq::cliente::LerMensagem(s.dados, m)) ++mensagens;
      }
    }
  }
  benchmark::DoNotOptimize(mensagens);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fluxo.size()));
}
BENCHMARK(BM_QuadrosDeMensagem)->Unit(benchmark::kMillisecond);

// The replies of a 1,000-item list arriving at a logged-in engine, until
// OnServerListRecv has been raised.
void BM_ListaDoServidor1000(benchmark::State& state) {
  std::vector<icq::TItemLista> itens = {{"Amigos", 1, 0, 1, {}, {}, false, {}}};
  for (int i = 0; i < 1000; ++i)
    itens.push_back({std::to_string(500000 + i),
                     1,
                     static_cast<uint16_t>(i + 1),
                     0,
                     "Contato " + std::to_string(i),
                     {},
                     false,
                     {}});
  const std::vector<std::string> snacs = icq::servidor::Lista(itens);
  for (auto _ : state) {
    state.PauseTiming();
    test::ICQSessaoFalsa s(false);
    if (!s.Entrar()) state.SkipWithError("no login");
    std::size_t recebidos = 0;
    s.cliente.OnServerListRecv = [&](icq::TICQClient&, const std::vector<icq::TEntradaLista>& l) {
      recebidos = l.size();
    };
    state.ResumeTiming();
    for (const std::string& snac : snacs) s.ServidorBytes(snac);
    state.PauseTiming();
    if (recebidos != 1000) state.SkipWithError("entries missing");
    state.ResumeTiming();
  }
  state.counters["replies"] = static_cast<double>(snacs.size());
}
BENCHMARK(BM_ListaDoServidor1000)->Unit(benchmark::kMillisecond);

// From Login to OnLogin through microsocks (user and password), real sockets,
// the simulator in this process. Wall time per login.
void BM_LoginPorSocks5(benchmark::State& state) {
  if (!test::Instalado("microsocks")) {
    state.SkipWithError("microsocks is not installed");
    return;
  }
  const uint16_t porta = test::PortaLivre();
  test::ProcessoExterno proxy(
      {"microsocks", "-i", "127.0.0.1", "-p", std::to_string(porta), "-u", "ana", "-P", "segredo"});
  if (!test::EsperarPorta(porta)) {
    state.SkipWithError("microsocks did not start");
    return;
  }
  net::EpollRuntime rt;
  sim::icq::TOpcoesSim o;
  o.maxLoginsPorMinuto = 1 << 30;
  sim::icq::TSimuladorICQ sim(rt, o);
  sim.AdicionarConta("111111", "segredo", "Ana");
  if (!sim.Iniciar()) state.SkipWithError("simulator did not start");
  for (auto _ : state) {
    icq::TICQClient c(rt);
    c.UIN = 111111;
    c.Password = "segredo";
    c.ICQServer = "127.0.0.1";
    c.ICQPort = sim.PortaLogin();
    c.ProxyType = state.range(0) ? icq::TProxyType::P_SOCKS5 : icq::TProxyType::P_NONE;
    c.ProxyHost = "127.0.0.1";
    c.ProxyPort = porta;
    c.ProxyAuth = true;
    c.ProxyUserID = "ana";
    c.ProxyPass = "segredo";
    bool falhou = false;
    c.OnConnectionFailed = [&](icq::TICQClient&) { falhou = true; };
    c.Login(0);
    while (!c.LoggedIn() && !falhou) rt.RunOnce(net::Milliseconds(100));
    if (falhou) state.SkipWithError("login failed");
    c.LogOff();
  }
}
// Arg 0: the same login without the proxy, for comparison.
BENCHMARK(BM_LoginPorSocks5)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// SACM for an ICQ account with 1,000 contacts on its server list, until the
// Tazu client has raised every one of them (the simulator and the adapter
// on the fake runtime: processing only).
void BM_LoginICQCom1000ContatosNoHub(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    test::ICQHubRig rig(false);
    for (int i = 0; i < 1000; ++i)
      rig.sim.AdicionarConta(std::to_string(500000 + i), "x", "C" + std::to_string(i));
    for (int i = 0; i < 1000; ++i)
      rig.sim.AdicionarAoGrupo("111111", std::to_string(500000 + i), "Contato " + std::to_string(i),
                               "Tazu");
    if (!rig.tazu.LogIn()) state.SkipWithError("no Tazu login");
    int contatos = 0;
    rig.tazu.cliente.AoReceberContato = [&](TClientePCTazu&, TContato*) { ++contatos; };
    state.ResumeTiming();
    rig.ConectarICQ();
    state.PauseTiming();
    if (contatos != 1000) state.SkipWithError("contacts missing");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoginICQCom1000ContatosNoHub)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tazu
