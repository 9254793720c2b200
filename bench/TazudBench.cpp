// tazud's searches over 60,000 users, matching nothing and matching a full
// page: each kind reads an index, so the time does not grow with the table.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "tazud/Banco.h"

namespace {

using tazu::tazud::TBanco;
using tazu::tazud::TUsuario;

TBanco& Banco() {
  static std::unique_ptr<TBanco> banco = [] {
    const std::string caminho = "/tmp/tazud_bench_" + std::to_string(getpid()) + ".db";
    std::string erro;
    auto b = TBanco::Abrir(caminho, false, erro);
    for (const char* s : {"", "-wal", "-shm"})
      std::remove((caminho + s).c_str());  // unlinked, still open
    b->Iniciar();
    for (int i = 0; i < 60000; ++i) {
      TUsuario u;
      u.apelido = "usuario" + std::to_string(i);
      u.nome = "Nome Sobrenome " + std::to_string(i);
      u.email = u.apelido + "@exemplo.com.br";
      u.hash = "x";
      b->CriarUsuario(u, u.apelido);
    }
    b->Confirmar(erro);
    return b;
  }();
  return *banco;
}

// Kind, then 0: matches nothing; 1: matches a full page (50).
void Buscar(benchmark::State& state) {
  const int tipo = static_cast<int>(state.range(0));
  const bool acha = state.range(1) != 0;
  static const char* kTextos[6][2] = {{},
                                      {},
                                      {"ZZZ", "USUARIO1"},
                                      {"ZZZ", "NOME SOBRENOME 1"},
                                      {"z@z", "usuario1@exemplo.com.br"},
                                      {"ZZZ", "USUARIO1"}};
  const std::string a = kTextos[tipo][acha ? 1 : 0];
  const std::string b = tipo == 5 ? "NOME" : "";
  TBanco& banco = Banco();
  std::size_t achados = 0;
  for (auto _ : state) achados = banco.Buscar(tipo, a, b, 50).size();
  state.counters["achados"] = static_cast<double>(achados);
}
BENCHMARK(Buscar)->ArgsProduct({{2, 3, 4, 5}, {0, 1}})->Unit(benchmark::kMicrosecond);

}  // namespace
