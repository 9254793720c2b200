// The runtime seam: everything a protocol object may use of the outside world.
//
// Protocol objects (the Tazu client, the adapters, the server sessions) receive a
// Runtime in their constructor and reach sockets, timers, the clock and the main
// loop only through it. net/qt implements it on Qt's event loop; net/testing holds
// a deterministic fake driven by the test.
//
// Rules every implementation keeps, so product code can rely on them:
//  - One thread. Every callback runs on the main loop, never re-entrantly from
//    inside a call the product code makes (Send, Close, Connect, Start, Post).
//  - A local Close() raises no callback. A peer that closes raises onClosed; a
//    failure raises onError; after either one the socket is closed and quiet.
//  - An object may be destroyed from inside one of its own callbacks.
//  - Callbacks are optional: an unassigned one is simply not called.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/Lifetime.h"

namespace tazu::net {

using Milliseconds = std::chrono::milliseconds;
// Monotonic time, for deadlines and time-outs.
using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Milliseconds>;
// Wall-clock time, for dates written to files and shown to the user.
using WallTime = std::chrono::time_point<std::chrono::system_clock, Milliseconds>;

enum class SocketError {
  None,
  ConnectionRefused,
  HostNotFound,
  Timeout,
  ConnectionReset,  // the peer went away in an unclean way
  LineTooLong,      // line mode: a line grew past the limit without its end
  Other,
};

const char* ToString(SocketError error);
// The Windows Sockets number of a failure (10061 refused, 11001 host not
// found, ...): the numbers the outside networks' adapters report, as their
// users know them. 0 for None.
int WinsockNumber(SocketError error);

// A TCP client socket: one connection, asynchronous, callback driven.
//
// Raw mode (the default) hands every chunk read to onData as it arrives. Line
// mode cuts the stream at the line end (default "\r\n") and hands each complete
// line, without its end, to onData; an unfinished line waits for the next read.
// Switching modes keeps whatever is buffered: leaving line mode hands the
// unfinished line to onData as a raw chunk. A payload whose length a line
// announces is read with ReadBlock, so the lines after it are still cut.
class TcpSocket {
 public:
  virtual ~TcpSocket() { alive_.End(); }

  // Starts connecting. False when the attempt cannot even start (an empty host
  // or port 0); otherwise the outcome arrives later as onConnected or onError.
  // Connecting an open socket closes it first.
  virtual bool Connect(const std::string& host, uint16_t port) = 0;
  // Queues bytes for sending. Ignored when not connected.
  virtual void Send(std::string_view bytes) = 0;
  // Closes the connection; raises no callback. Unsent bytes are flushed on a
  // best-effort basis.
  virtual void Close() = 0;
  virtual bool IsConnected() const = 0;
  // Local address (dotted IPv4 text) and port of the open connection; empty / 0
  // when not connected.
  virtual std::string LocalAddress() const = 0;
  virtual uint16_t LocalPort() const = 0;
  // Address and port of the peer; empty / 0 when not connected.
  virtual std::string PeerAddress() const = 0;
  virtual uint16_t PeerPort() const = 0;

  // Where the bytes Send() accepted are, for a sender that must know what it
  // could still lose: bytes the socket holds die with this process, bytes the
  // kernel took but the peer's TCP has not acknowledged die with the
  // connection, acknowledged bytes are the peer's. Counted from the start of
  // the connection; after it ends the last figures stay until the next Connect.
  //
  // Bytes accepted by Send() that the kernel has not taken yet (0 once closed).
  virtual std::size_t BytesQueued() const = 0;
  // Bytes the kernel has taken since the connection opened.
  virtual uint64_t BytesTaken() const = 0;
  // Of those, bytes the peer's TCP has not acknowledged. A socket that cannot
  // tell answers 0.
  virtual uint64_t BytesUnacknowledged() const = 0;
  uint64_t BytesAcknowledged() const { return BytesTaken() - BytesUnacknowledged(); }

  // Called outside onData, bytes already buffered that the switch completes (the
  // unfinished line, when leaving line mode) reach onData from inside this call.
  void SetLineMode(bool on);
  // The next `bytes` bytes of the stream, whatever they hold, arrive as one onData
  // call; then the socket goes on in its mode. Bytes already handed to onData do
  // not count, so call it from onData, on the line that announced the payload.
  // The caller bounds `bytes` (SetMaxLineLength does not limit a block); asking
  // again before the block is complete changes its size; 0 cancels it.
  void ReadBlock(std::size_t bytes);
  bool LineMode() const { return lineMode_; }
  void SetLineEnd(std::string end);  // an empty end is refused (kept as it was)
  const std::string& LineEnd() const { return lineEnd_; }
  // Longest unfinished line kept in line mode; past it onError(LineTooLong) is
  // raised and the connection closed.
  void SetMaxLineLength(std::size_t bytes) { maxLine_ = bytes; }

  std::function<void()> onConnected;
  std::function<void(std::string_view data)> onData;
  std::function<void()> onClosed;
  std::function<void(SocketError error, const std::string& message)> onError;

 protected:
  // Implementations call this with every chunk read; it applies line mode and
  // blocks and raises onData. Answers false when delivery must stop because a
  // callback destroyed or closed the socket (or an over-long line failed it); the
  // implementation must then not touch `this` again. `chunk` must not live in the
  // socket object: a callback may destroy it.
  bool Deliver(std::string_view chunk);
  // Implementations call this whenever the connection ends (Close, peer close,
  // error): deliveries in progress stop and the unfinished line or block is
  // dropped, so it never leaks into the next connection.
  void EndDeliveries();
  // Implementations close the connection and raise onError(LineTooLong).
  virtual void FailLineTooLong() = 0;

 private:
  Lifetime alive_;
  bool lineMode_ = false;
  std::string lineEnd_ = "\r\n";
  std::size_t maxLine_ = 1 << 20;
  std::size_t block_ = 0;  // size of the block being read; 0 when none
  // Bytes read but not yet handed over: an unfinished line or block.
  std::string buffer_;
  // How far into buffer_ the line end was already looked for, so a slow trickle
  // of bytes does not rescan a long line from its start on every read.
  std::size_t searched_ = 0;
};

// A listening TCP socket, for servers and for tests that play a server.
class TcpListener {
 public:
  virtual ~TcpListener() = default;
  // Starts listening; false (with the reason in `error`) when that fails. Port 0
  // picks a free port, readable afterwards from Port().
  virtual bool Listen(const std::string& host, uint16_t port, std::string* error = nullptr) = 0;
  virtual void Close() = 0;
  virtual uint16_t Port() const = 0;
  // Every accepted connection, already connected; the receiver owns it.
  std::function<void(std::unique_ptr<TcpSocket> connection)> onAccept;
};

// A timer on the main loop. Start() (re)starts counting from now; a repeating
// timer ticks every interval until stopped. A single-shot timer is no longer
// active by the time its onTimeout runs, so the handler may start it again.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void Start(Milliseconds interval, bool repeat = true) = 0;
  virtual void Stop() = 0;
  virtual bool IsActive() const = 0;
  std::function<void()> onTimeout;
};

class Runtime {
 public:
  virtual ~Runtime() = default;
  virtual std::unique_ptr<TcpSocket> CreateTcpSocket() = 0;
  virtual std::unique_ptr<TcpListener> CreateTcpListener() = 0;
  virtual std::unique_ptr<Timer> CreateTimer() = 0;
  // Runs the task on the main loop later, after the current callback returns.
  // Tasks run in the order posted.
  virtual void Post(std::function<void()> task) = 0;
  virtual TimePoint Now() const = 0;
  virtual WallTime WallNow() const = 0;
};

}  // namespace tazu::net
