// Whatever an MSN server sends: the frame reader cuts it the same way however
// the reads fall, and a logged-in client (on the notification connection,
// or on a switchboard session, as the first byte picks) neither crashes nor
// sends anything but whole, well-formed command lines back.
#include <cstdint>
#include <string>
#include <vector>

#include "msn/CodecMSN.h"
#include "tests/support/msn/MsnClientRig.h"

namespace {

using namespace tazu;

std::vector<std::string> Quadros(std::string_view fluxo, std::size_t passo) {
  msn::TLeitorMSN leitor;
  std::vector<std::string> q;
  for (std::size_t pos = 0; pos < fluxo.size(); pos += passo) {
    const auto r = leitor.Alimentar(fluxo.substr(pos, passo), [&](const msn::TQuadroMSN& u) {
      if (u.linha.find("\r\n") != std::string_view::npos) __builtin_trap();
      q.push_back(std::string(u.linha) + '\0' + (u.temPayload ? "P" : "") + std::string(u.payload));
      return true;
    });
    if (r != msn::TLeitorMSN::Resultado::Continua) {
      q.push_back("quebra");
      break;
    }
  }
  return q;
}

// What the client sent: whole lines (and the payloads they announce) only.
void ConferirEnviado(const std::string& bytes) {
  msn::TLeitorMSN leitor;
  const auto r = leitor.Alimentar(bytes, [](const msn::TQuadroMSN& q) {
    for (const char c : q.linha)
      if (c == '\r' || c == '\n' || c == '\0') __builtin_trap();
    return true;
  });
  if (r != msn::TLeitorMSN::Resultado::Continua || leitor.Pendente() != 0) __builtin_trap();
}

void Tocar(test::MsnClientRig& rig, net::FakePeer& peer, std::string_view fluxo,
           std::size_t passo) {
  for (std::size_t pos = 0; pos < fluxo.size() && peer.IsOpen(); pos += passo) {
    peer.Write(fluxo.substr(pos, passo));
    rig.rt.RunPending();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string_view fluxo(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t passo = 1 + data[1] % 97;
  if (Quadros(fluxo, fluxo.size() + 1) != Quadros(fluxo, passo)) __builtin_trap();

  test::MsnClientRig rig(true, true);
  if (!rig.LogIn()) __builtin_trap();
  rig.cliente.AdicionarContato("bob@tazu.test");
  rig.cliente.RemoverContato("eva@tazu.test");
  rig.cliente.EnviarMensagem("bob@tazu.test", "oi");
  net::FakePeer* alvo = rig.ns;
  std::string enviado = rig.TakeSent();
  if (data[0] % 2 == 1) {
    // A switchboard session: the call to bob, answered.
    rig.ServerSendsRaw("XFR 9 SB 127.0.0.1:1865 CKI 1.2\r\n");
    alvo = &rig.rt.LastPeer();
    alvo->Accept();
    rig.rt.RunPending();
    alvo->Write("USR 1 OK ana@tazu.test Ana\r\nCAL 2 RINGING 5\r\nJOI bob@tazu.test Bob\r\n");
    rig.rt.RunPending();
    ConferirEnviado(alvo->Take());
  }
  Tocar(rig, *alvo, fluxo, passo);
  for (std::size_t i = 0; i < rig.rt.PeerCount(); ++i) {
    net::FakePeer& p = rig.rt.Peer(i);
    if (p.GetState() == net::FakePeer::State::Connecting) p.Accept();
  }
  rig.rt.RunPending();
  rig.cliente.EnviarMensagem("bob@tazu.test", "de novo");
  rig.rt.Advance(std::chrono::minutes(2));
  enviado += rig.TakeSent();
  ConferirEnviado(enviado);
  for (std::size_t i = 0; i < rig.rt.PeerCount(); ++i) ConferirEnviado(rig.rt.Peer(i).Take());
  rig.cliente.Desconectar();
  rig.rt.RunPending();
  return 0;
}
