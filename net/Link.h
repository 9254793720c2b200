// One connection of a protocol session, on the runtime: the socket, a
// generation that tells a read whether its bytes still come from the current
// connection of a live owner, and one timer armed to the session's next
// deadline. The owner frames the bytes and decides everything else; the
// Tazu, Yahoo, MSN and ICQ connections are this plus their framing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/Lifetime.h"
#include "net/Runtime.h"

namespace tazu::net {

class Link {
 public:
  explicit Link(Runtime& runtime);

  // False when the attempt cannot even start. Ends the connection before.
  bool Open(const std::string& host, uint16_t port);
  // The same through a socket of the caller's (a proxy's, say), which the
  // link keeps from now on.
  bool Open(const std::string& host, uint16_t port, std::unique_ptr<TcpSocket> via);
  void Send(std::string_view bytes) { socket_->Send(bytes); }
  // Ends the connection without any callback.
  void Close();
  bool IsOpen() const { return socket_->IsConnected(); }
  std::string LocalAddress() const { return socket_->LocalAddress(); }
  uint16_t LocalPort() const { return socket_->LocalPort(); }
  TcpSocket& Socket() { return *socket_; }

  // Arms the timer to `deadline` (now, when it has passed); nothing stops it.
  // A deadline that has not changed leaves the timer alone.
  void ArmDeadline(std::optional<TimePoint> deadline);

  // Taken at the start of a read: Current() turns false once a handler has
  // closed or reopened the connection, or destroyed the owner, so the rest of
  // the read must be dropped without touching the owner.
  class Reading {
   public:
    bool Current() const { return alive_ && generation_ == link_->generation_; }
    // The owner is still there (the connection may have changed).
    bool OwnerAlive() const { return static_cast<bool>(alive_); }

   private:
    friend class Link;
    Reading(const Link& link) : link_(&link), alive_(link.life_.Watch()), generation_(link.generation_) {}
    const Link* link_;
    Lifetime::Guard alive_;
    uint64_t generation_;
  };
  Reading StartReading() const { return Reading(*this); }

  std::function<void()> onConnected;
  std::function<void(std::string_view bytes)> onData;
  std::function<void()> onClosed;
  std::function<void(SocketError error, const std::string& message)> onError;
  std::function<void()> onDeadline;
  // Whenever a connection ends or a new one starts: the owner drops what it
  // kept of the old stream (an unfinished line or packet).
  std::function<void()> onReset;

 private:
  void Ended();
  void Adopt(std::unique_ptr<TcpSocket> socket);

  Runtime& runtime_;
  std::unique_ptr<TcpSocket> socket_;
  std::unique_ptr<Timer> timer_;
  uint64_t generation_ = 0;
  std::optional<TimePoint> armed_;
  Lifetime life_;
};

}  // namespace tazu::net
