// The shared state behind FakeRuntime and the objects it creates. Each of them
// holds the world, so they may outlive the runtime object itself.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/testing/FakeRuntime.h"

namespace tazu::net {

class FakeTimer;
class FakeTcpListener;

struct FakeWorld {
  TimePoint now = FakeRuntime::kStart;
  std::deque<std::function<void()>> tasks;
  std::vector<FakeTimer*> timers;  // every live timer, active or not
  uint64_t nextStartOrder = 0;

  std::vector<std::unique_ptr<FakePeer>> peers;
  std::vector<FakeTcpListener*> listeners;  // the listening ones
  uint64_t nextListenId = 1;
  uint16_t nextPort = 49152;

  struct ConnectFailure {
    std::string host;
    uint16_t port;
    SocketError error;
  };
  bool autoAccept = false;
  std::vector<ConnectFailure> failures;
  bool failNext = false;
  SocketError failNextError = SocketError::None;
  bool rejectNext = false;

  void Post(std::function<void()> task) { tasks.push_back(std::move(task)); }
  void RunTasks();
  // The active timer due first, at `limit` at the latest; null when none.
  FakeTimer* NextDue(TimePoint limit) const;
  uint16_t FreePort();
  FakePeer& NewPeer(std::string host, uint16_t port,
                    FakePeer::State state = FakePeer::State::Connecting);
  FakeTcpListener* FindListener(uint16_t port, const std::string& host) const;
};

class FakeTcpSocket final : public TcpSocket {
 public:
  explicit FakeTcpSocket(std::shared_ptr<FakeWorld> world) : world_(std::move(world)) {}
  ~FakeTcpSocket() override;

  bool Connect(const std::string& host, uint16_t port) override;
  void Send(std::string_view bytes) override;
  void Close() override;
  bool IsConnected() const override { return connected_; }
  std::string LocalAddress() const override;
  uint16_t LocalPort() const override;
  std::string PeerAddress() const override;
  uint16_t PeerPort() const override;
  std::size_t BytesQueued() const override { return queued_.size(); }
  uint64_t BytesTaken() const override { return taken_; }
  uint64_t BytesUnacknowledged() const override;

  // A dialled connection: already connected to `peer`.
  void AdoptConnection(FakePeer& peer);
  // Hands the peer what its kernel budget lets through.
  void Pump();

  // What the far end did, delivered from the loop.
  void OnPeerAccepted();
  void OnPeerData(const std::string& bytes);
  void OnPeerClosed();
  void OnPeerFailed(SocketError error, const std::string& message);

 protected:
  void FailLineTooLong() override;

 private:
  // The connection ends on our side or theirs; no callback.
  void Detach(bool byClient);

  std::shared_ptr<FakeWorld> world_;
  FakePeer* peer_ = nullptr;  // the current connection; the world owns it
  bool connected_ = false;
  std::string queued_;  // sent, not taken by the peer's kernel yet
  uint64_t taken_ = 0;
  uint64_t unacknowledged_ = 0;  // the last figure, once detached
};

class FakeTcpListener final : public TcpListener {
 public:
  explicit FakeTcpListener(std::shared_ptr<FakeWorld> world) : world_(std::move(world)) {}
  ~FakeTcpListener() override { Close(); }
  bool Listen(const std::string& host, uint16_t port, std::string* error) override;
  void Close() override;
  uint16_t Port() const override { return listenId_ != 0 ? port_ : 0; }

  const std::string& Host() const { return host_; }
  // Tells one listening period from the next, so a queued dial never reaches a
  // listener that was closed and opened again meanwhile.
  uint64_t ListenId() const { return listenId_; }

 private:
  std::shared_ptr<FakeWorld> world_;
  std::string host_;
  uint16_t port_ = 0;
  uint64_t listenId_ = 0;
};

class FakeTimer final : public Timer {
 public:
  explicit FakeTimer(std::shared_ptr<FakeWorld> world);
  ~FakeTimer() override;
  void Start(Milliseconds interval, bool repeat) override;
  void Stop() override { active_ = false; }
  bool IsActive() const override { return active_; }

  TimePoint Deadline() const { return deadline_; }
  uint64_t StartOrder() const { return startOrder_; }
  // Called by the loop when the deadline is reached; may destroy the timer.
  void Fire();

 private:
  std::shared_ptr<FakeWorld> world_;
  Milliseconds interval_{0};
  bool repeat_ = false;
  bool active_ = false;
  TimePoint deadline_;
  uint64_t startOrder_ = 0;
};

}  // namespace tazu::net
