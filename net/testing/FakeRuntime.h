// A deterministic Runtime for tests: virtual time advanced by hand and sockets
// whose far end the test plays.
//
// Nothing happens on its own. Posted tasks, timers and everything the far end of
// a connection does wait in one queue until the test calls RunPending() (the loop
// turning without time passing) or Advance() (time passing). So a peer action
// such as FakePeer::Write() reaches the client's onData only on the next
// RunPending(), never from inside the call that caused it: the rule that no
// callback runs re-entrantly from Send, Close, Connect, Start or Post holds for
// the test's calls as well, and a test may play the peer from inside a product
// callback.
//
// Connections are not wired to fake listeners: the test is the far end of every
// socket the product opens (FakePeer), and plays the remote client of every
// connection it dials into a listener (FakeRuntime::Dial).
//
// Objects created by the runtime may outlive it; FakePeer references stay valid
// as long as the runtime lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/Runtime.h"

namespace tazu::net {

class FakeTcpSocket;
struct FakeWorld;

// The far end of one connection (each Connect makes a new one). Misuse that can
// only be a bug in the test, such as writing before accepting, throws
// std::logic_error.
class FakePeer {
 public:
  enum class State { Connecting, Open, Closed };

  // The address the client asked for; for a dialled connection, the listener's.
  const std::string& Host() const { return host_; }
  uint16_t Port() const { return port_; }
  State GetState() const { return state_; }
  bool IsOpen() const { return state_ == State::Open; }
  // The product's side ended the connection: Close(), a new Connect(),
  // destroying its socket, or an over-long line.
  bool ClientClosed() const { return clientClosed_; }

  // Outcome of a connection attempt: onConnected, or onError(error).
  void Accept();
  void Refuse(SocketError error = SocketError::ConnectionRefused, std::string message = {});
  // Bytes to the client, one read each call (so a test chooses how the stream is
  // cut). Dropped once the connection is closed, as on a real network.
  void Write(std::string_view bytes);
  // The peer closes (onClosed) or the connection breaks (onError).
  void Close();
  void Fail(SocketError error, std::string message = {});

  // Everything the client sent and the test has not taken yet.
  const std::string& Read() const { return received_; }
  std::string Take();

  // The client's kernel: by default it takes whatever the client sends and the
  // bytes arrive here at once. With a budget it takes at most that many more
  // bytes; the rest waits in the client's socket (BytesQueued) until a new
  // budget lets it through. kNoLimit lifts the limit.
  static constexpr std::size_t kNoLimit = SIZE_MAX;
  void SetKernelBudget(std::size_t bytes);
  // While held, bytes the kernel takes travel but are not acknowledged: they
  // count as BytesUnacknowledged on the client's side and are not in Read()
  // yet. Releasing delivers them; Fail() loses them, as a reset does.
  void HoldAcknowledgements(bool hold);

  // What the client's socket reports as LocalAddress/LocalPort and
  // PeerAddress/PeerPort while connected.
  void SetLocalAddress(std::string address, uint16_t port);
  void SetPeerAddress(std::string address, uint16_t port);

  // Runs after every Send of the client, inside it: may read, take and write
  // (writes are queued), must not touch the client's socket.
  std::function<void()> onClientData;

  FakePeer(const FakePeer&) = delete;
  FakePeer& operator=(const FakePeer&) = delete;

 private:
  friend struct FakeWorld;
  friend class FakeTcpSocket;
  FakePeer(FakeWorld& world, std::string host, uint16_t port);
  // Queues what the client's socket sees of a peer action.
  void Post(std::function<void(FakeTcpSocket&)> event);

  FakeWorld& world_;
  std::string host_;
  uint16_t port_;
  State state_ = State::Connecting;
  bool clientClosed_ = false;
  std::string received_;
  std::size_t budget_ = kNoLimit;
  bool holdAcks_ = false;
  bool reset_ = false;
  std::string inFlight_;  // taken by the kernel, not acknowledged yet
  std::string localAddress_;
  uint16_t localPort_ = 0;
  std::string peerAddress_;
  uint16_t peerPort_ = 0;
  FakeTcpSocket* client_ = nullptr;  // the product's socket while it holds this connection
};

class FakeRuntime final : public Runtime {
 public:
  // Where the virtual clocks start; a fixed point so runs repeat exactly.
  static constexpr TimePoint kStart{std::chrono::hours(1)};
  static constexpr WallTime kWallStart{std::chrono::seconds(1072915200)};  // 2004-01-01 UTC

  FakeRuntime();
  ~FakeRuntime() override;

  std::unique_ptr<TcpSocket> CreateTcpSocket() override;
  std::unique_ptr<TcpListener> CreateTcpListener() override;
  std::unique_ptr<Timer> CreateTimer() override;
  void Post(std::function<void()> task) override;
  TimePoint Now() const override;
  WallTime WallNow() const override;  // moves with Now()

  // Runs queued tasks and peer events, and those they queue, and fires timers
  // already due, until nothing is left at the current time.
  void RunPending();
  // Moves time forward, firing due timers in deadline order (ties in the order
  // they were started) with the clock set to each deadline, and running what is
  // queued before and after each one.
  void Advance(Milliseconds by);
  std::size_t PendingTasks() const;
  std::size_t ActiveTimers() const;

  // Every connection the product opened, oldest first.
  std::size_t PeerCount() const;
  FakePeer& Peer(std::size_t index);
  FakePeer& LastPeer();  // throws std::logic_error when there is none
  // The newest connection to host:port; null when there is none.
  FakePeer* FindPeer(const std::string& host, uint16_t port);

  // Every new connection is accepted by itself.
  void SetAutoAccept(bool on);
  // Connects to host:port (port 0: any port) fail by themselves with `error`.
  void FailConnectsTo(std::string host, uint16_t port, SocketError error);
  // The next Connect fails by itself with `error` (a peer is still recorded).
  void FailNextConnect(SocketError error);
  // The next Connect cannot even start: it returns false.
  void RejectNextConnect();

  // Plays a remote client connecting to a fake listener on host:port (an empty
  // host: whatever address the listener has); the listener's onAccept receives
  // the server's end on the next RunPending(). Throws std::logic_error when
  // nothing listens there.
  FakePeer& Dial(uint16_t port, const std::string& host = {});
  bool IsListening(uint16_t port) const;

 private:
  std::shared_ptr<FakeWorld> world_;
};

}  // namespace tazu::net
