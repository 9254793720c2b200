#include "tests/support/FakeBridge.h"

#include <algorithm>
#include <stdexcept>

namespace tazu::test {

FakeBridge::~FakeBridge() {
  for (const Joint& j : joined_) j.client->onClientData = j.server->onClientData = nullptr;
}

bool FakeBridge::Link() {
  bool moved = false;
  for (; seen_ < rt_.PeerCount(); ++seen_) {
    net::FakePeer& c = rt_.Peer(seen_);
    // Dialled by a test or the server's own ends: not ours to join.
    if (c.GetState() != net::FakePeer::State::Connecting || c.Host() != "127.0.0.1") continue;
    moved = true;
    if (!rt_.IsListening(c.Port())) {
      c.Refuse();
      continue;
    }
    net::FakePeer& s = rt_.Dial(c.Port(), "127.0.0.1");
    c.Accept();
    c.onClientData = [&c, &s] { s.Write(c.Take()); };
    s.onClientData = [&c, &s] { c.Write(s.Take()); };
    joined_.push_back({&c, &s});
  }
  for (const Joint& j : joined_) {
    for (auto [from, to] : {std::pair{j.client, j.server}, std::pair{j.server, j.client}}) {
      if (from->ClientClosed() && to->IsOpen()) {
        to->Close();
        moved = true;
      }
    }
  }
  return moved;
}

void FakeBridge::Run() {
  for (int i = 0; i < 1000; ++i) {
    rt_.RunPending();
    if (!Link() && rt_.PendingTasks() == 0) return;
  }
  throw std::logic_error("FakeBridge::Run: the conversation never settles");
}

void FakeBridge::Advance(net::Milliseconds by, net::Milliseconds step) {
  Run();
  while (by.count() > 0) {
    const net::Milliseconds now = std::min(by, step);
    rt_.Advance(now);
    Run();
    by -= now;
  }
}

net::FakePeer* FakeBridge::ServerEnd(uint16_t port) {
  for (auto j = joined_.rbegin(); j != joined_.rend(); ++j)
    if (j->client->Port() == port) return j->server;
  return nullptr;
}

}  // namespace tazu::test
