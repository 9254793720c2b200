#include "tests/support/TazuClientRig.h"

#include "core/ProtocoloTazu.h"
#include "server/ObservadorDeEventos.h"
#include "tests/support/ScriptedPeer.h"

namespace tazu::test {

TazuClientRig::TazuClientRig(bool recordEvents) {
  cliente.IPServidor = "127.0.0.1";
  cliente.PortaServidor = 7498;
  cliente.Senha = "segredo";
  if (recordEvents)
    ObservarEventos(cliente,
                    [this](const TEventoDoCliente& e) { events.push_back(DescreverEvento(e)); });
}

net::FakePeer& TazuClientRig::Connect() {
  dialect.SetKey(0);
  cliente.Conectar();
  rt.RunPending();
  net::FakePeer& p = rt.LastPeer();
  p.SetLocalAddress("127.0.0.1", 5555);
  p.Accept();
  rt.RunPending();
  peer = &p;
  return p;
}

bool TazuClientRig::LogIn(uint8_t key, std::string* why) {
  Connect();
  const std::string login = "C: [CVER] 127.0.0.1 5555 " + std::to_string(cliente.NIU) +
                            " \"1.0 AA\" P \"Tazu Messenger\"\n"
                            "S: [RVER] 1234 0 " +
                            std::to_string(key) +
                            "\n"
                            "C: [CCON] segredo 1\n"
                            "S: [RCCA]\n"
                            "S: [RUAC] 0 Ana\n";
  bool ok = false;
  {
    ScriptedPeer script(login, dialect);
    script.PlayOver(*peer);
    cliente.Identificar(1);
    rt.RunPending();
    const ScriptedPeer::Outcome r = script.Finished();
    ok = r.ok;
    if (!ok && why) *why = r.message;
  }
  TakeSent();
  TakeEvents();
  return ok;
}

void TazuClientRig::ServerSends(std::string_view lines) {
  ServerSendsRaw(dialect.EncodeLines(lines));
}

void TazuClientRig::ServerSendsRaw(std::string_view bytes) {
  peer->Write(bytes);
  rt.RunPending();
}

std::string TazuClientRig::TakeSent() {
  return peer ? peer->Take() : std::string();
}

std::vector<std::string> TazuClientRig::TakeSentLines() {
  TCriptografia cripto;
  cripto.Chave = dialect.Key();
  std::vector<std::string> lines;
  TLeitorDeLinhas reader;
  reader.Alimentar(TakeSent(), [&](std::string_view raw) {
    lines.push_back(AbrirLinha(raw, cripto));
    return true;
  });
  return lines;
}

std::vector<std::string> TazuClientRig::TakeEvents() {
  return std::exchange(events, {});
}

}  // namespace tazu::test
