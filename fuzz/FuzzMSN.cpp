// Whatever an MSN peer sends. The frame reader cuts it the same way however
// the reads fall. A logged-in client (on the notification connection or on a
// switchboard session) neither crashes nor sends anything but whole command
// lines back. The simulator (fresh connections, or a signed-in user's own)
// never crashes and still serves a new login afterwards. The first byte picks
// the target, the second seeds the read sizes.
#include <cstdint>
#include <string>
#include <vector>

#include "msn/CodecMSN.h"
#include "tests/support/msn/MsnClientRig.h"
#include "tests/support/msn/MsnSimRig.h"

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

template <typename Rodar>
void Tocar(net::FakePeer& peer, std::string_view fluxo, std::size_t passo, Rodar rodar) {
  for (std::size_t pos = 0; pos < fluxo.size() && peer.IsOpen(); pos += passo) {
    peer.Write(fluxo.substr(pos, passo));
    rodar();
  }
}

void Cliente(bool switchboard, std::string_view fluxo, std::size_t passo) {
  test::MsnClientRig rig(true, true);
  if (!rig.LogIn()) __builtin_trap();
  rig.cliente.AdicionarContato("bob@tazu.test");
  rig.cliente.RemoverContato("eva@tazu.test");
  rig.cliente.EnviarMensagem("bob@tazu.test", "oi");
  net::FakePeer* alvo = rig.ns;
  std::string enviado = rig.TakeSent();
  if (switchboard) {
    rig.ServerSendsRaw("XFR 9 SB 127.0.0.1:1865 CKI 1.2\r\n");
    alvo = &rig.rt.LastPeer();
    alvo->Accept();
    rig.rt.RunPending();
    alvo->Write("USR 1 OK ana@tazu.test Ana\r\nCAL 2 RINGING 5\r\nJOI bob@tazu.test Bob\r\n");
    rig.rt.RunPending();
    ConferirEnviado(alvo->Take());
  }
  Tocar(*alvo, fluxo, passo, [&] { rig.rt.RunPending(); });
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
}

bool Entra(test::MsnSimRig& sim, msn::TClienteMSN& c) {
  c.DefinirServidor("127.0.0.1", sim.sim->PortaDespacho());
  c.Conectar(1);
  sim.Advance(std::chrono::seconds(3));
  return c.LoggedIn();
}

void Simulador(bool daUsuaria, std::string_view fluxo, std::size_t passo) {
  sim::msn::TConfigSimMSN config;
  config.contas = {{"ana@tazu.test", "a", "Ana"}, {"eco@tazu.test", "e", "Eco"}};
  config.contatos = {{"ana@tazu.test", "eco@tazu.test"}};
  config.robos = {"eco@tazu.test"};
  test::MsnSimRig sim(config);
  const auto rodar = [&] { sim.Run(); };
  msn::TClienteMSN ana(sim.rt);
  ana.Identificador = "ana@tazu.test";
  ana.Senha = "a";
  if (daUsuaria) {
    if (!Entra(sim, ana)) __builtin_trap();
    ana.EnviarMensagem("eco@tazu.test", "oi");
    sim.Run();
    for (const uint16_t porta : {sim.sim->PortaNotificacao(), sim.sim->PortaSwitchboard()})
      if (net::FakePeer* p = sim.ServerEnd(porta)) Tocar(*p, fluxo, passo, rodar);
  } else {
    for (const uint16_t porta :
         {sim.sim->PortaDespacho(), sim.sim->PortaNotificacao(), sim.sim->PortaSwitchboard()}) {
      net::FakePeer& p = sim.rt.Dial(porta);
      sim.Run();
      Tocar(p, fluxo, passo, rodar);
    }
  }
  sim.Advance(std::chrono::seconds(130));
  msn::TClienteMSN outra(sim.rt);
  outra.Identificador = "ana@tazu.test";
  outra.Senha = "a";
  if (!Entra(sim, outra)) __builtin_trap();  // still serving
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string_view fluxo(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t passo = 1 + data[1] % 97;
  if (Quadros(fluxo, fluxo.size() + 1) != Quadros(fluxo, passo)) __builtin_trap();
  switch (data[0] % 4) {
    case 0:
      Cliente(false, fluxo, passo);
      break;
    case 1:
      Cliente(true, fluxo, passo);
      break;
    case 2:
      Simulador(false, fluxo, passo);
      break;
    case 3:
      Simulador(true, fluxo, passo);
      break;
  }
  return 0;
}
