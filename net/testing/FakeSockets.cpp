// Fake connections: the product's socket on one side, FakePeer (played by the
// test) on the other. The peer's state changes as soon as the test acts; the
// product's socket learns of it when the loop delivers the queued event.
#include <algorithm>
#include <stdexcept>

#include "net/testing/FakeWorld.h"

namespace tazu::net {
namespace {

bool IsDottedQuad(const std::string& host) {
  int parts = 0;
  int digits = 0;
  int value = 0;
  for (const char c : host) {
    if (c == '.') {
      if (digits == 0) return false;
      ++parts;
      digits = 0;
      value = 0;
    } else if (c >= '0' && c <= '9') {
      value = value * 10 + (c - '0');
      if (++digits > 3 || value > 255) return false;
    } else {
      return false;
    }
  }
  return parts == 3 && digits > 0;
}

std::string MessageFor(SocketError error, std::string message) {
  return message.empty() ? ToString(error) : message;
}

}  // namespace

// --- FakePeer ---------------------------------------------------------------

FakePeer::FakePeer(FakeWorld& world, std::string host, uint16_t port)
    : world_(world), host_(std::move(host)), port_(port) {}

void FakePeer::Post(std::function<void(FakeTcpSocket&)> event) {
  // The world owns every peer for as long as its queue exists.
  world_.Post([this, event = std::move(event)] {
    if (client_ != nullptr) event(*client_);
  });
}

void FakePeer::Accept() {
  if (state_ != State::Connecting) {
    if (clientClosed_) return;  // the client gave up first: a race, not a bug
    throw std::logic_error("FakePeer::Accept: the connection attempt was already answered");
  }
  state_ = State::Open;
  Post([](FakeTcpSocket& socket) { socket.OnPeerAccepted(); });
}

void FakePeer::Refuse(SocketError error, std::string message) {
  if (state_ != State::Connecting) {
    if (clientClosed_) return;
    throw std::logic_error("FakePeer::Refuse: the connection attempt was already answered");
  }
  Fail(error, std::move(message));
}

void FakePeer::Write(std::string_view bytes) {
  if (state_ == State::Connecting) {
    throw std::logic_error("FakePeer::Write: the connection was not accepted yet");
  }
  if (state_ == State::Closed) return;
  Post([bytes = std::string(bytes)](FakeTcpSocket& socket) { socket.OnPeerData(bytes); });
}

void FakePeer::Close() {
  if (state_ == State::Connecting) {
    throw std::logic_error("FakePeer::Close: not accepted yet; Refuse the attempt instead");
  }
  if (state_ == State::Closed) return;
  state_ = State::Closed;
  Post([](FakeTcpSocket& socket) { socket.OnPeerClosed(); });
}

void FakePeer::Fail(SocketError error, std::string message) {
  if (state_ == State::Closed) return;
  state_ = State::Closed;
  reset_ = true;  // what was not acknowledged is lost
  Post([error, message = MessageFor(error, std::move(message))](FakeTcpSocket& socket) {
    socket.OnPeerFailed(error, message);
  });
}

void FakePeer::SetKernelBudget(std::size_t bytes) {
  budget_ = bytes;
  if (client_ != nullptr) client_->Pump();
}

void FakePeer::HoldAcknowledgements(bool hold) {
  holdAcks_ = hold;
  if (hold || reset_ || inFlight_.empty()) return;
  received_.append(inFlight_);
  inFlight_.clear();
  if (const auto hook = onClientData) hook();
}

std::string FakePeer::Take() {
  std::string taken;
  taken.swap(received_);
  return taken;
}

void FakePeer::SetLocalAddress(std::string address, uint16_t port) {
  localAddress_ = std::move(address);
  localPort_ = port;
}

void FakePeer::SetPeerAddress(std::string address, uint16_t port) {
  peerAddress_ = std::move(address);
  peerPort_ = port;
}

FakePeer& FakeWorld::NewPeer(std::string host, uint16_t port, FakePeer::State state) {
  // The constructor is private to the world; make_unique cannot reach it.
  std::unique_ptr<FakePeer> peer(new FakePeer(*this, host, port));
  peer->state_ = state;
  peer->SetLocalAddress("127.0.0.1", FreePort());
  // Names resolve to a documentation address unless the test says otherwise.
  peer->SetPeerAddress(IsDottedQuad(host) ? host : "192.0.2.1", port);
  peers.push_back(std::move(peer));
  return *peers.back();
}

uint16_t FakeWorld::FreePort() {
  for (;;) {
    const uint16_t port = nextPort;
    nextPort = nextPort == 65535 ? 49152 : nextPort + 1;
    if (FindListener(port, {}) == nullptr) return port;
  }
}

FakeTcpListener* FakeWorld::FindListener(uint16_t port, const std::string& host) const {
  for (FakeTcpListener* listener : listeners) {
    if (listener->Port() != port) continue;
    const std::string& bound = listener->Host();
    if (host.empty() || bound.empty() || bound == "0.0.0.0" || bound == host) return listener;
  }
  return nullptr;
}

// --- FakeTcpSocket ----------------------------------------------------------

FakeTcpSocket::~FakeTcpSocket() {
  Detach(true);
}

bool FakeTcpSocket::Connect(const std::string& host, uint16_t port) {
  if (host.empty() || port == 0) return false;
  if (world_->rejectNext) {
    world_->rejectNext = false;
    return false;
  }
  Close();
  queued_.clear();
  taken_ = 0;
  unacknowledged_ = 0;
  FakePeer& peer = world_->NewPeer(host, port);
  peer_ = &peer;
  peer.client_ = this;
  const auto& failures = world_->failures;
  const auto rule = std::find_if(failures.begin(), failures.end(), [&](const auto& failure) {
    return failure.host == host && (failure.port == 0 || failure.port == port);
  });
  if (world_->failNext) {
    world_->failNext = false;
    peer.Refuse(world_->failNextError);
  } else if (rule != failures.end()) {
    peer.Refuse(rule->error);
  } else if (world_->autoAccept) {
    peer.Accept();
  }
  return true;
}

void FakeTcpSocket::Send(std::string_view bytes) {
  if (!connected_ || bytes.empty()) return;
  FakePeer& peer = *peer_;
  // The far end closed and our socket has not heard yet: nobody reads these.
  if (peer.state_ == FakePeer::State::Closed) return;
  queued_.append(bytes);
  Pump();
}

void FakeTcpSocket::Pump() {
  if (peer_ == nullptr || queued_.empty()) return;
  FakePeer& peer = *peer_;
  const std::size_t n = std::min(queued_.size(), peer.budget_);
  if (n == 0) return;
  if (peer.budget_ != FakePeer::kNoLimit) peer.budget_ -= n;
  taken_ += n;
  (peer.holdAcks_ ? peer.inFlight_ : peer.received_).append(queued_, 0, n);
  queued_.erase(0, n);
  if (peer.holdAcks_) return;
  if (const auto hook = peer.onClientData) hook();
}

uint64_t FakeTcpSocket::BytesUnacknowledged() const {
  return peer_ != nullptr ? peer_->inFlight_.size() : unacknowledged_;
}

void FakeTcpSocket::Close() {
  if (peer_ == nullptr) return;
  Detach(true);
  EndDeliveries();
}

void FakeTcpSocket::Detach(bool byClient) {
  if (peer_ == nullptr) return;
  // A closed socket lets go of what it still held; the counts stay.
  unacknowledged_ = peer_->inFlight_.size();
  queued_.clear();
  if (byClient) {
    peer_->clientClosed_ = true;
    peer_->state_ = FakePeer::State::Closed;
  }
  peer_->client_ = nullptr;
  peer_ = nullptr;
  connected_ = false;
}

std::string FakeTcpSocket::LocalAddress() const {
  return connected_ ? peer_->localAddress_ : "";
}
uint16_t FakeTcpSocket::LocalPort() const {
  return connected_ ? peer_->localPort_ : 0;
}
std::string FakeTcpSocket::PeerAddress() const {
  return connected_ ? peer_->peerAddress_ : "";
}
uint16_t FakeTcpSocket::PeerPort() const {
  return connected_ ? peer_->peerPort_ : 0;
}

void FakeTcpSocket::AdoptConnection(FakePeer& peer) {
  peer_ = &peer;
  peer.client_ = this;
  connected_ = true;
}

void FakeTcpSocket::OnPeerAccepted() {
  connected_ = true;
  if (const auto handler = onConnected) handler();
}

void FakeTcpSocket::OnPeerData(const std::string& bytes) {
  if (connected_) Deliver(bytes);
}

void FakeTcpSocket::OnPeerClosed() {
  Detach(false);
  EndDeliveries();
  if (const auto handler = onClosed) handler();
}

void FakeTcpSocket::OnPeerFailed(SocketError error, const std::string& message) {
  Detach(false);
  EndDeliveries();
  if (const auto handler = onError) handler(error, message);
}

void FakeTcpSocket::FailLineTooLong() {
  Close();
  if (const auto handler = onError)
    handler(SocketError::LineTooLong, ToString(SocketError::LineTooLong));
}

// --- FakeTcpListener --------------------------------------------------------

bool FakeTcpListener::Listen(const std::string& host, uint16_t port, std::string* error) {
  Close();
  if (port == 0) {
    port = world_->FreePort();
  } else if (world_->FindListener(port, {}) != nullptr) {
    if (error != nullptr) *error = "address already in use";
    return false;
  }
  host_ = host;
  port_ = port;
  listenId_ = world_->nextListenId++;
  world_->listeners.push_back(this);
  return true;
}

void FakeTcpListener::Close() {
  auto& listeners = world_->listeners;
  listeners.erase(std::remove(listeners.begin(), listeners.end(), this), listeners.end());
  listenId_ = 0;
}

}  // namespace tazu::net
