#include "net/testing/FakeRuntime.h"

#include <algorithm>
#include <stdexcept>

#include "net/testing/FakeWorld.h"

namespace tazu::net {
namespace {

// A task that keeps posting itself would hang the test; failing is kinder.
constexpr std::size_t kMaxTasksPerRun = 1'000'000;

// A repeating timer of zero interval would fire forever at one instant.
constexpr Milliseconds kShortestRepeat{1};

}  // namespace

void FakeWorld::RunTasks() {
  for (std::size_t ran = 0; !tasks.empty(); ++ran) {
    if (ran == kMaxTasksPerRun) {
      throw std::runtime_error(
          "FakeRuntime: posted tasks keep posting tasks; the loop never settles");
    }
    // Out of the queue before it runs: the task may post more, or destroy
    // whatever it captured.
    const std::function<void()> task = std::move(tasks.front());
    tasks.pop_front();
    task();
  }
}

FakeTimer* FakeWorld::NextDue(TimePoint limit) const {
  FakeTimer* next = nullptr;
  for (FakeTimer* timer : timers) {
    if (!timer->IsActive() || timer->Deadline() > limit) continue;
    if (next == nullptr || timer->Deadline() < next->Deadline() ||
        (timer->Deadline() == next->Deadline() && timer->StartOrder() < next->StartOrder())) {
      next = timer;
    }
  }
  return next;
}

FakeTimer::FakeTimer(std::shared_ptr<FakeWorld> world) : world_(std::move(world)) {
  world_->timers.push_back(this);
}

FakeTimer::~FakeTimer() {
  auto& timers = world_->timers;
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void FakeTimer::Start(Milliseconds interval, bool repeat) {
  interval_ = std::max(interval, Milliseconds(0));
  repeat_ = repeat;
  active_ = true;
  deadline_ = world_->now + interval_;
  startOrder_ = world_->nextStartOrder++;
}

void FakeTimer::Fire() {
  if (repeat_) {
    deadline_ += std::max(interval_, kShortestRepeat);
  } else {
    active_ = false;
  }
  if (const auto handler = onTimeout) handler();
}

FakeRuntime::FakeRuntime() : world_(std::make_shared<FakeWorld>()) {}

FakeRuntime::~FakeRuntime() {
  // Queued events may hold sockets that hold the world; let them go now.
  world_->tasks.clear();
}

std::unique_ptr<TcpSocket> FakeRuntime::CreateTcpSocket() {
  return std::make_unique<FakeTcpSocket>(world_);
}

std::unique_ptr<TcpListener> FakeRuntime::CreateTcpListener() {
  return std::make_unique<FakeTcpListener>(world_);
}

std::unique_ptr<Timer> FakeRuntime::CreateTimer() {
  return std::make_unique<FakeTimer>(world_);
}

void FakeRuntime::Post(std::function<void()> task) {
  world_->Post(std::move(task));
}

TimePoint FakeRuntime::Now() const {
  return world_->now;
}

WallTime FakeRuntime::WallNow() const {
  return kWallStart + (world_->now - kStart);
}

void FakeRuntime::RunPending() {
  Advance(Milliseconds(0));
}

void FakeRuntime::Advance(Milliseconds by) {
  const std::shared_ptr<FakeWorld> world = world_;
  const TimePoint until = world->now + std::max(by, Milliseconds(0));
  world->RunTasks();
  while (FakeTimer* timer = world->NextDue(until)) {
    world->now = std::max(world->now, timer->Deadline());
    timer->Fire();
    world->RunTasks();
  }
  world->now = until;
}

std::size_t FakeRuntime::PendingTasks() const {
  return world_->tasks.size();
}

std::size_t FakeRuntime::ActiveTimers() const {
  const auto& timers = world_->timers;
  return static_cast<std::size_t>(std::count_if(timers.begin(), timers.end(),
                                                [](const FakeTimer* t) { return t->IsActive(); }));
}

std::size_t FakeRuntime::PeerCount() const {
  return world_->peers.size();
}

FakePeer& FakeRuntime::Peer(std::size_t index) {
  return *world_->peers.at(index);
}

FakePeer& FakeRuntime::LastPeer() {
  if (world_->peers.empty()) throw std::logic_error("FakeRuntime::LastPeer: no connection yet");
  return *world_->peers.back();
}

FakePeer* FakeRuntime::FindPeer(const std::string& host, uint16_t port) {
  const auto& peers = world_->peers;
  const auto found = std::find_if(peers.rbegin(), peers.rend(), [&](const auto& peer) {
    return peer->Host() == host && peer->Port() == port;
  });
  return found == peers.rend() ? nullptr : found->get();
}

void FakeRuntime::SetAutoAccept(bool on) {
  world_->autoAccept = on;
}

void FakeRuntime::FailConnectsTo(std::string host, uint16_t port, SocketError error) {
  world_->failures.push_back({std::move(host), port, error});
}

void FakeRuntime::FailNextConnect(SocketError error) {
  world_->failNext = true;
  world_->failNextError = error;
}

void FakeRuntime::RejectNextConnect() {
  world_->rejectNext = true;
}

FakePeer& FakeRuntime::Dial(uint16_t port, const std::string& host) {
  FakeTcpListener* listener = world_->FindListener(port, host);
  if (listener == nullptr) {
    throw std::logic_error("FakeRuntime::Dial: nothing listens on port " + std::to_string(port));
  }
  const std::string& bound = listener->Host();
  const std::string address = bound.empty() || bound == "0.0.0.0" ? "127.0.0.1" : bound;
  FakePeer& peer = world_->NewPeer(address, port, FakePeer::State::Open);
  peer.SetLocalAddress(address, port);
  peer.SetPeerAddress("127.0.0.1", world_->FreePort());

  // std::function needs a copyable task; the socket rides in a shared holder
  // and is handed over (or dropped) when the listener's turn comes.
  auto holder =
      std::make_shared<std::unique_ptr<FakeTcpSocket>>(std::make_unique<FakeTcpSocket>(world_));
  (*holder)->AdoptConnection(peer);
  world_->Post([world = world_.get(), id = listener->ListenId(), holder] {
    const auto& listeners = world->listeners;
    const auto found = std::find_if(listeners.begin(), listeners.end(),
                                    [&](const FakeTcpListener* l) { return l->ListenId() == id; });
    std::unique_ptr<FakeTcpSocket> connection = std::move(*holder);
    if (found == listeners.end()) return;  // closed meanwhile: the connection drops
    if (const auto handler = (*found)->onAccept) handler(std::move(connection));
  });
  return peer;
}

bool FakeRuntime::IsListening(uint16_t port) const {
  return world_->FindListener(port, {}) != nullptr;
}

}  // namespace tazu::net
