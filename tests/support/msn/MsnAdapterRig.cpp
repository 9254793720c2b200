#include "tests/support/msn/MsnAdapterRig.h"

#include "msn/ComunicadorMSN.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/msn/MsnClientRig.h"

namespace tazu::test {

net::FakePeer* LogInMsn(TazuClientRig& rig, MsnDialect& dialect, std::string* why) {
  rig.cliente.RegistrarFabrica(msn::TComunicadorMSN::kTipo,
                               [](net::Runtime& rt, const TContaComunicador& c) {
                                 return std::make_unique<msn::TComunicadorMSN>(
                                     rt, c.Status, c.Identificador, c.Senha, "127.0.0.1", 1863);
                               });
  rig.ServerSends("[SACM] 4 ana@tazu.test segredo");
  rig.rt.Advance(std::chrono::seconds(1));
  net::FakePeer& ns = rig.rt.LastPeer();
  dialect = MsnDialect(0);
  ScriptedPeer script(MsnLoginTranscript("NLN", "Ana"), dialect);
  script.PlayOver(ns);
  rig.rt.RunPending();
  const ScriptedPeer::Outcome r = script.Finished();
  if (!r.ok) {
    if (why) *why = r.message;
    return nullptr;
  }
  rig.TakeEvents();
  return &ns;
}

}  // namespace tazu::test
