#include "tests/support/msn/MsnSimRig.h"

#include <stdexcept>

namespace tazu::test {

MsnSimRig::MsnSimRig(sim::msn::TConfigSimMSN config) {
  sim = std::make_unique<sim::msn::TSimuladorMSN>(
      rt, std::move(config), [this](const std::string& l) { log.push_back(l); });
  std::string error;
  if (!sim->Iniciar(&error)) throw std::runtime_error("the simulator does not listen: " + error);
}

MsnSimRig::~MsnSimRig() {
  for (const Bridge& b : bridges_) {
    b.client->onClientData = nullptr;
    b.server->onClientData = nullptr;
  }
}

bool MsnSimRig::Link() {
  bool moved = false;
  for (; seen_ < rt.PeerCount(); ++seen_) {
    net::FakePeer& p = rt.Peer(seen_);
    if (p.GetState() != net::FakePeer::State::Connecting) continue;  // dialled by us
    moved = true;
    if (!rt.IsListening(p.Port())) {
      p.Refuse();
      continue;
    }
    net::FakePeer& s = rt.Dial(p.Port());
    p.Accept();
    p.onClientData = [&p, &s] { s.Write(p.Take()); };
    s.onClientData = [&p, &s] { p.Write(s.Take()); };
    bridges_.push_back({&p, &s});
  }
  return moved;
}

bool MsnSimRig::CarryCloses() {
  bool moved = false;
  for (const Bridge& b : bridges_) {
    if (b.client->ClientClosed() && b.server->IsOpen()) {
      b.server->Close();
      moved = true;
    }
    if (b.server->ClientClosed() && b.client->IsOpen()) {
      b.client->Close();
      moved = true;
    }
  }
  return moved;
}

void MsnSimRig::Run() {
  for (int i = 0; i < 1000; ++i) {
    rt.RunPending();
    const bool linked = Link();
    const bool closed = CarryCloses();
    if (!linked && !closed && rt.PendingTasks() == 0) return;
  }
  throw std::logic_error("MsnSimRig::Run: the conversation never settles");
}

void MsnSimRig::Advance(net::Milliseconds by) {
  const net::Milliseconds step{100};
  Run();
  while (by.count() > 0) {
    const net::Milliseconds now = std::min(by, step);
    rt.Advance(now);
    Run();
    by -= now;
  }
}

net::FakePeer* MsnSimRig::ServerEnd(uint16_t port) {
  for (auto b = bridges_.rbegin(); b != bridges_.rend(); ++b)
    if (b->client->Port() == port) return b->server;
  return nullptr;
}

bool MsnSimRig::Logged(const std::string& piece) const {
  for (const std::string& l : log)
    if (l.find(piece) != std::string::npos) return true;
  return false;
}

}  // namespace tazu::test
