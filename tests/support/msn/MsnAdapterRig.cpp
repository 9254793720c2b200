#include "tests/support/msn/MsnAdapterRig.h"

#include "msn/ComunicadorMSN.h"
#include "tests/support/ScriptedPeer.h"

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
  ScriptedPeer script(R"(
    C: VER # MSNP7 MSNP6 MSNP5 MSNP4 CVRO
    S: VER # MSNP7
    C: INF #
    S: INF # MD5
    C: USR # MD5 I ana@tazu.test
    S: USR # MD5 S 1013928519.693957190
    C: USR # MD5 S 4ec013ce186f22d5ed4c4218e804e206
    S: USR # OK ana@tazu.test Ana
    C: CHG # NLN
    C: LST # AL
    C: LST # BL
  )",
                      dialect);
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
