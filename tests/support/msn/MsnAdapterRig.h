// A Tazu client whose MSN account (type 4, the real adapter) is logged in on
// the fake runtime: the canned opener of the hub-level MSN benchmarks.
#pragma once

#include <string>

#include "net/testing/FakeRuntime.h"
#include "tests/support/TazuClientRig.h"
#include "tests/support/msn/MsnDialect.h"

namespace tazu::test {

// Registers the MSN adapter (server 127.0.0.1:1863) with an already
// logged-in `rig` (status 1), hands it the account ana@tazu.test / segredo in SACM and
// plays the MSN login down to CHG and the list requests. Answers the
// notification server's end of the connection (its dialect at the next id in
// `dialect`), or null with the reason.
net::FakePeer* LogInMsn(TazuClientRig& rig, MsnDialect& dialect, std::string* why = nullptr);

}  // namespace tazu::test
