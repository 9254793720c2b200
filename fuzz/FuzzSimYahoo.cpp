// Whatever a client sends, the simulated Yahoo server never crashes: the
// input goes, in reads of fuzzer-chosen sizes, to a connection already past
// the challenge when the first byte is odd.
#include <cstdint>
#include <string>

#include "net/testing/FakeRuntime.h"
#include "sim/yahoo/ServidorYahoo.h"
#include "tests/support/yahoo/YmsgDialect.h"
#include "yahoo/CodecDesafio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  using namespace tazu;
  net::FakeRuntime rt;
  simyahoo::TContasSim contas;
  std::string erro;
  for (const char* linha : {"ana:segredo:Amigos=bia", "bia:b:Amigos=ana::refuse"}) {
    simyahoo::TContaSim c;
    simyahoo::LerConta(linha, c, erro);
    contas.Adicionar(std::move(c), erro);
  }
  simyahoo::TServidorYahoo servidor(rt, contas, 1);
  if (!servidor.Escutar("127.0.0.1", 5050, erro)) __builtin_trap();
  net::FakePeer& bia = rt.Dial(5050);
  net::FakePeer& p = rt.Dial(5050);
  rt.RunPending();
  if (data[0] & 1) {
    p.Write(test::YmsgBytes("AUTH 0 1=ana"));
    rt.RunPending();
    yahoo::TYahooPacket desafio;
    const std::string recebido = p.Take();
    if (yahoo::LerPacote(recebido, desafio) != yahoo::TResultadoLeitura::Ok) __builtin_trap();
    const auto r = yahoo::ResponderDesafio("ana", "segredo", *desafio.Valor(94));
    p.Write(test::YmsgBytes("AUTHRESP 0 0=ana 6=" + r->r6 + " 96=" + r->r96 + " 1=ana"));
    rt.RunPending();
    if (!servidor.Online("ana")) __builtin_trap();
  }
  const std::string fluxo(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t passo = 1 + data[0] % 61, pos = 0;
  while (pos < fluxo.size() && p.IsOpen()) {
    p.Write(std::string_view(fluxo).substr(pos, passo));
    rt.RunPending();
    pos += passo;
    passo = 1 + (passo * 7 + 3) % 127;
  }
  bia.Close();
  if (p.IsOpen()) p.Close();
  rt.RunPending();
  if (servidor.Conexoes() != 0) __builtin_trap();
  return 0;
}
