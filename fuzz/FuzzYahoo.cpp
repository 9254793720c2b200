// Whatever a Yahoo server sends, the client neither crashes nor misbehaves:
// every whole packet that reads is written back and reads the same; then the
// input is played, in reads of fuzzer-chosen sizes, into a logged-in session
// on the fake runtime, with time passing for the keep-alive.
#include <cstdint>
#include <string>

#include "tests/support/yahoo/YahooRig.h"

namespace {

void Propriedade(std::string_view bytes) {
  using namespace tazu::yahoo;
  TYahooPacket p, de_novo;
  TLeitorYmsg leitor;
  leitor.Alimentar(bytes, [&](std::string_view bloco) {
    if (LerPacote(bloco, p) != TResultadoLeitura::Ok) __builtin_trap();  // framed: sizes agree
    // Written back it may grow a little (a last value gets its separator),
    // past what a header can count only when it was nearly full already.
    std::string escrito;
    if (!Serializar(p, escrito)) {
      if (TamanhoDaCarga(p) <= ymsg::kMaiorCarga) __builtin_trap();
      return true;
    }
    if (LerPacote(escrito, de_novo) != TResultadoLeitura::Ok) __builtin_trap();
    if (de_novo.Quantidade() != p.Quantidade()) __builtin_trap();
    for (std::size_t i = 0; i < p.Quantidade(); ++i)
      if (de_novo.Pares()[i].Key != p.Pares()[i].Key ||
          de_novo.Pares()[i].Value != p.Pares()[i].Value)
        __builtin_trap();
    return true;
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string fluxo(reinterpret_cast<const char*>(data + 1), size - 1);
  Propriedade(fluxo);
  tazu::test::ClienteYahooRig rig(false);
  rig.cliente.AoLogRecebidas = [](tazu::yahoo::TClienteYahoo&, const std::string&) {};
  if (!rig.LogIn()) __builtin_trap();
  std::size_t passo = 1 + data[0] % 61, pos = 0;
  while (pos < fluxo.size() && rig.peer->IsOpen()) {
    rig.ServerSendsRaw(std::string_view(fluxo).substr(pos, passo));
    pos += passo;
    passo = 1 + (passo * 7 + 3) % 127;
    rig.cliente.EnviarMensagem("bia", "oi");
  }
  rig.rt.Advance(std::chrono::minutes(2));
  rig.cliente.Desconectar();
  rig.rt.RunPending();
  return 0;
}
