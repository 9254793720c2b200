// The MSN simulator on the fake runtime, wired to every connection the
// product opens to its ports: bytes and closes are carried both ways, so MSN
// clients and the simulator talk in virtual time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "net/testing/FakeRuntime.h"
#include "sim/msn/SimuladorMSN.h"

namespace tazu::test {

class MsnSimRig {
 public:
  // The dispatch server on 127.0.0.1:1863 (unless the config says otherwise);
  // the other two on free ports.
  explicit MsnSimRig(sim::msn::TConfigSimMSN config);
  ~MsnSimRig();

  // Runs the loop, carrying bytes and closes, until nothing moves. A
  // connection to a port nobody listens on is refused.
  void Run();
  // Lets time pass in small steps, running everything in between.
  void Advance(net::Milliseconds by);
  // The simulator's side of the newest bridged connection to `port`: what
  // is written there reaches the simulator as if the client had sent it.
  net::FakePeer* ServerEnd(uint16_t port);
  // Whether the simulator logged a line holding `piece`.
  bool Logged(const std::string& piece) const;

  net::FakeRuntime rt;
  std::vector<std::string> log;
  std::unique_ptr<sim::msn::TSimuladorMSN> sim;

 private:
  struct Bridge {
    net::FakePeer* client;
    net::FakePeer* server;
  };
  bool Link();
  bool CarryCloses();

  std::vector<Bridge> bridges_;
  std::size_t seen_ = 0;
};

}  // namespace tazu::test
