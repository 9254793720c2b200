// Tazu.cfg and Usuarios.dat may hold anything a crash, a disk or another copy
// of the program left there. Reading must never fail on them, what reads back
// must write back the same, and writing a user in must keep every other byte
// of the store.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/DadosLocais.h"

namespace {

using namespace tazu;

void Exigir(bool condicao) {
  if (!condicao) std::abort();
}

void ConferirConfiguracao(std::string_view b) {
  const auto c = DecodificarConfiguracao(b);
  Exigir(c.has_value() == (b.size() >= kTamanhoConfiguracao));
  if (!c) return;
  const std::string volta = CodificarConfiguracao(*c);
  const std::size_t n = static_cast<unsigned char>(b[2]);
  Exigir(volta.substr(0, 3 + n) == b.substr(0, 3 + n));
  Exigir(volta.substr(258, 2) == b.substr(258, 2));
  Exigir(volta.substr(264, 8) == b.substr(264, 8));
}

// A record read back writes back the same, when its values fit their fields
// (the store refuses the others).
void ConferirRegistro(const TRegistroUsuario& r) {
  const auto volta = DecodificarRegistro(CodificarRegistro(r.Dados));
  Exigir(volta.has_value());
  if (CampoQueNaoCabe(r.Dados).empty()) Exigir(volta->Dados == r.Dados);
}

void ConferirArmazem(std::string_view b) {
  const TArmazemLido armazem = LerArmazem(b);
  Exigir(armazem.Registros.size() == b.size() / kTamanhoRegistroUsuario);
  Exigir(armazem.Fragmento.size() == b.size() % kTamanhoRegistroUsuario);
  for (const TRegistroArmazenado& r : armazem.Registros) {
    if (r.Usuario) ConferirRegistro(*r.Usuario);
  }

  // A user whose number the input chooses, so that it often replaces one.
  TDadosUsuario novo;
  novo.NIU = b.size() >= 2 ? static_cast<unsigned char>(b[0]) % 8 : 0;
  novo.Apelido = std::string(b.substr(0, 12));
  std::vector<TEntradaUsuario> lista;
  int defeitos = 0;
  const auto saida = InserirNoArmazem(b, novo, lista, [&](int, TDefeitoRegistro) { ++defeitos; });
  Exigir(saida.has_value());

  // Taking the new record out leaves the old store without that number.
  std::string esperado;
  std::size_t legiveis = 0;
  int ilegiveis = armazem.Fragmento.empty() ? 0 : 1;
  for (const TRegistroArmazenado& r : armazem.Registros) {
    if (!r.Usuario) ++ilegiveis;
    if (r.Usuario && r.Usuario->Dados.NIU == novo.NIU) continue;
    if (r.Usuario) ++legiveis;
    esperado += r.Bytes;
  }
  esperado += armazem.Fragmento;
  Exigir(defeitos == ilegiveis);
  Exigir(lista.size() == legiveis + 1);
  Exigir(saida->size() == esperado.size() + kTamanhoRegistroUsuario);
  for (std::size_t pos = 0; pos + kTamanhoRegistroUsuario <= saida->size();
       pos += kTamanhoRegistroUsuario) {
    const auto r =
        DecodificarRegistro(std::string_view(*saida).substr(pos, kTamanhoRegistroUsuario));
    if (r && r->Dados.NIU == novo.NIU) {
      Exigir(saida->substr(0, pos) + saida->substr(pos + kTamanhoRegistroUsuario) == esperado);
      return;
    }
  }
  std::abort();  // the new record is missing
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view entrada(reinterpret_cast<const char*>(data), size);
  ConferirConfiguracao(entrada);
  ConferirArmazem(entrada);
  return 0;
}
