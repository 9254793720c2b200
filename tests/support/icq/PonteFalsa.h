// Joins the connections a program opens on the fake runtime to the fake
// listeners on the same port (a simulator's), so a client and a server talk
// to each other in virtual time. A connection to a port nobody listens on is
// refused.
#pragma once

#include <cstddef>
#include <set>
#include <vector>

#include "net/testing/FakeRuntime.h"

namespace tazu::test {

class PonteFalsa {
 public:
  explicit PonteFalsa(net::FakeRuntime& rt) : rt_(rt) {}

  // Turns the loop until nothing moves: new connections are joined, bytes and
  // closes cross.
  void Girar();
  // Moves time forward in steps of at most `passo`, turning after each.
  void Avancar(net::Milliseconds tempo, net::Milliseconds passo = net::Milliseconds(50));

 private:
  bool JuntarNovas();
  bool Cruzar();

  struct TPar {
    net::FakePeer* cliente;   // the far end of the socket the program opened
    net::FakePeer* servidor;  // the dialled end, which the listener's socket talks to
  };
  net::FakeRuntime& rt_;
  std::size_t vistos_ = 0;
  std::set<const net::FakePeer*> discados_;
  std::vector<TPar> pares_;
};

}  // namespace tazu::test
