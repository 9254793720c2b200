// The MSN simulator on the fake runtime, wired to every connection the
// product opens to its ports: bytes and closes are carried both ways, so MSN
// clients and the simulator talk in virtual time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "net/testing/FakeRuntime.h"
#include "sim/msn/SimuladorMSN.h"
#include "tests/support/FakeBridge.h"

namespace tazu::test {

class MsnSimRig {
 public:
  // The dispatch server on 127.0.0.1:1863 (unless the config says otherwise);
  // the other two on free ports.
  explicit MsnSimRig(sim::msn::TConfigSimMSN config);

  // Runs the loop, carrying bytes and closes, until nothing moves. A
  // connection to a port nobody listens on is refused.
  void Run() { bridge_.Run(); }
  // Lets time pass in small steps, running everything in between.
  void Advance(net::Milliseconds by) { bridge_.Advance(by, net::Milliseconds(100)); }
  // The simulator's side of the newest bridged connection to `port`: what
  // is written there reaches the simulator as if the client had sent it.
  net::FakePeer* ServerEnd(uint16_t port) { return bridge_.ServerEnd(port); }
  // Whether the simulator logged a line holding `piece`.
  bool Logged(const std::string& piece) const;

  net::FakeRuntime rt;
  std::vector<std::string> log;
  std::unique_ptr<sim::msn::TSimuladorMSN> sim;

 private:
  FakeBridge bridge_{rt};
};

}  // namespace tazu::test
