// A simulated server listening on the same fake runtime as the product: every
// connection the product opens to 127.0.0.1 is joined to the listener on its
// port (or refused when nothing listens there), and bytes and closes are
// carried both ways, so the two talk in virtual time with no test in between.
#pragma once

#include <cstdint>
#include <vector>

#include "net/testing/FakeRuntime.h"

namespace tazu::test {

class FakeBridge {
 public:
  explicit FakeBridge(net::FakeRuntime& rt) : rt_(rt) {}
  ~FakeBridge();
  FakeBridge(const FakeBridge&) = delete;
  FakeBridge& operator=(const FakeBridge&) = delete;

  net::FakeRuntime& Runtime() { return rt_; }
  // Turns the loop until nothing moves.
  void Run();
  // Lets time pass in steps, running everything in between.
  void Advance(net::Milliseconds by, net::Milliseconds step = net::Milliseconds(50));
  // The product's end of the n-th joined connection (from 0).
  net::FakePeer& ClientEnd(std::size_t n) { return *joined_.at(n).client; }
  // The server's end of the newest joined connection to `port`, or null.
  net::FakePeer* ServerEnd(uint16_t port);

 private:
  bool Link();

  struct Joint {
    net::FakePeer* client;
    net::FakePeer* server;
  };
  net::FakeRuntime& rt_;
  std::vector<Joint> joined_;
  std::size_t seen_ = 0;
};

}  // namespace tazu::test
