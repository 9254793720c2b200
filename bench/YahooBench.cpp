// Figures for Yahoo: reading and writing typical message packets, and a
// buddy list of 1,000 entries from the login packets to every contact raised
// by the hub.
#include <benchmark/benchmark.h>

#include "tests/support/TazuClientRig.h"
#include "tests/support/yahoo/YahooRig.h"
#include "yahoo/ComunicadorYahoo.h"

namespace tazu {
namespace {

using namespace std::chrono_literals;

yahoo::TYahooPacket MensagemTipica() {
  yahoo::TYahooPacket p(yahoo::ymsg::Mensagem, 1, 0x5A3C0F11);
  p.Adicionar(4, "maria_silva82").Adicionar(5, "joao.pereira");
  p.Adicionar(14, "Oi, tudo bem? Vamos almoçar amanhã perto do escritório?");
  p.Adicionar(97, "1").Adicionar(63, ";0").Adicionar(64, "0");
  return p;
}

// Goal: at least 100 MB/s.
void BM_LerMensagens(benchmark::State& state) {
  const std::string bytes = yahoo::Serializar(MensagemTipica());
  yahoo::TYahooPacket p;
  for (auto _ : state) {
    if (yahoo::LerPacote(bytes, p) != yahoo::TResultadoLeitura::Ok) state.SkipWithError("unread");
    benchmark::DoNotOptimize(p);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LerMensagens);

void BM_EscreverMensagens(benchmark::State& state) {
  const yahoo::TYahooPacket p = MensagemTipica();
  std::string bytes;
  for (auto _ : state) {
    bytes.clear();
    yahoo::Serializar(p, bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_EscreverMensagens);

// The stream as a socket delivers it, 64 KiB a read, cut into packets and
// read, as the client does.
void BM_LerFluxoDeMensagens(benchmark::State& state) {
  const std::string um = yahoo::Serializar(MensagemTipica());
  std::string leitura;
  while (leitura.size() + um.size() <= 65536) leitura += um;
  yahoo::TLeitorYmsg leitor;
  yahoo::TYahooPacket p;
  int64_t pacotes = 0;
  for (auto _ : state) {
    leitor.Alimentar(leitura, [&](std::string_view bloco) {
      pacotes += yahoo::LerPacote(bloco, p) == yahoo::TResultadoLeitura::Ok;
      return true;
    });
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * leitura.size()));
  state.SetItemsProcessed(pacotes);
}
BENCHMARK(BM_LerFluxoDeMensagens);

// A hub logged in to Tazu whose Yahoo adapter has answered the challenge;
// the server's end of the Yahoo connection is `yahoo`.
struct Montagem {
  test::TazuClientRig rig{false};
  net::FakePeer* yahoo = nullptr;
};

std::unique_ptr<Montagem> Montar() {
  auto m = std::make_unique<Montagem>();
  m->rig.cliente.RegistrarFabrica(3, [](net::Runtime& r, const TContaComunicador& c) {
    auto a = std::make_unique<yahoo::TComunicadorYahoo>(r, c.Status, "", c.NIU, c.Senha,
                                                       c.Identificador);
    a->DefinirServidor("127.0.0.1", 5050);
    return std::unique_ptr<TInterfaceComunicador>(std::move(a));
  });
  if (!m->rig.LogIn()) return nullptr;
  m->rig.ServerSends("[SACM] 3 ana segredo");
  m->rig.rt.Advance(200ms);
  m->yahoo = m->rig.rt.FindPeer("127.0.0.1", 5050);
  if (!m->yahoo) return nullptr;
  m->yahoo->Accept();
  m->rig.rt.RunPending();
  m->yahoo->Write(test::YmsgBytes("AUTH 0 1=ana 94=ABCDEFGHIJKLMNOPQRSTUVWX", 7));
  m->rig.rt.RunPending();
  m->yahoo->Take();
  return m;
}

// Goal: under 20 ms.
void BM_ListaDe1000Amigos(benchmark::State& state) {
  std::string lista = "Amigos:";
  for (int i = 0; i < 1000; ++i) lista += (i ? "," : "") + ("amigo_" + std::to_string(i));
  yahoo::TYahooPacket l(yahoo::ymsg::ListaDeContatos, 0, 7);
  l.Adicionar(87, lista + "\n");
  const std::string login = yahoo::Serializar(l) + test::YmsgBytes("LOGON 0 0=ana 1=ana", 7);
  for (auto _ : state) {
    state.PauseTiming();
    auto m = Montar();
    int contatos = 0;
    if (m) m->rig.cliente.AoReceberContato = [&](TClientePCTazu&, TContato*) { ++contatos; };
    state.ResumeTiming();
    if (!m) {
      state.SkipWithError("setup failed");
      break;
    }
    m->yahoo->Write(login);
    m->rig.rt.RunPending();
    state.PauseTiming();
    if (contatos != 1000) state.SkipWithError("contacts missing");
    m.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ListaDe1000Amigos)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tazu
