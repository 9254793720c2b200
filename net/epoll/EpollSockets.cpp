// The epoll runtime's sockets, listener and timer.
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/epoll/EpollObjects.h"

namespace tazu::net {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kReadsPerEvent = 4;  // then other connections get their turn

bool ParseAddress(const std::string& host, in_addr& out) {
  if (host.empty() || host == "0.0.0.0") {
    out.s_addr = htonl(INADDR_ANY);
    return true;
  }
  if (host == "localhost") {
    out.s_addr = htonl(INADDR_LOOPBACK);
    return true;
  }
  return inet_pton(AF_INET, host.c_str(), &out) == 1;
}

void AddressOf(int fd, bool peer, std::string& host, uint16_t& port) {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  const int rc = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&a), &n)
                      : getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
  if (rc != 0 || a.sin_family != AF_INET) return;
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
  host = text;
  port = ntohs(a.sin_port);
}

SocketError FromErrno(int e) {
  switch (e) {
    case ECONNREFUSED:
      return SocketError::ConnectionRefused;
    case ETIMEDOUT:
      return SocketError::Timeout;
    case ECONNRESET:
    case EPIPE:
      return SocketError::ConnectionReset;
    default:
      return SocketError::Other;
  }
}

class EpollSocket final : public TcpSocket, public EpollRuntime::Handler {
 public:
  explicit EpollSocket(EpollRuntime& rt) : rt_(rt) {}
  EpollSocket(EpollRuntime& rt, int fd) : rt_(rt), fd_(fd), connected_(true) {
    AddressOf(fd_, false, localHost_, localPort_);
    AddressOf(fd_, true, peerHost_, peerPort_);
    key_ = rt_.Watch(fd_, EPOLLIN, this);
  }
  ~EpollSocket() override { Shut(true); }

  bool Connect(const std::string& host, uint16_t port) override {
    in_addr addr{};
    if (host.empty() || port == 0 || !ParseAddress(host, addr)) return false;
    Shut(false);
    kernel_ = 0;
    unacknowledged_ = 0;
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr = addr;
    a.sin_port = htons(port);
    connecting_ = true;
    key_ = rt_.Watch(fd_, EPOLLOUT, this);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && errno != EINPROGRESS) {
      // Reported from the loop, never from inside Connect.
      const int e = errno;
      PostError(FromErrno(e), std::strerror(e));
    }
    return true;
  }

  void Send(std::string_view bytes) override {
    if (!connected_ || bytes.empty() || broken_) return;
    if (out_.size() == sent_) {
      out_.clear();
      sent_ = 0;
      const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        const int e = errno;
        PostError(FromErrno(e), std::strerror(e));
        return;
      }
      const std::size_t done = n > 0 ? static_cast<std::size_t>(n) : 0;
      kernel_ += done;
      if (done == bytes.size()) return;
      out_.assign(bytes.substr(done));
      rt_.Modify(fd_, key_, EPOLLIN | EPOLLOUT);
      return;
    }
    out_.append(bytes);
  }

  void Close() override { Shut(true); }
  bool IsConnected() const override { return connected_; }
  std::string LocalAddress() const override { return connected_ ? localHost_ : std::string(); }
  uint16_t LocalPort() const override { return connected_ ? localPort_ : 0; }
  std::string PeerAddress() const override { return connected_ ? peerHost_ : std::string(); }
  uint16_t PeerPort() const override { return connected_ ? peerPort_ : 0; }
  std::size_t BytesQueued() const override { return out_.size() - sent_; }
  uint64_t BytesTaken() const override { return kernel_; }
  uint64_t BytesUnacknowledged() const override {
    // The kernel keeps the count after a reset too, until the descriptor goes.
    int outq = 0;
    if (fd_ >= 0 && !connecting_ && ioctl(fd_, SIOCOUTQ, &outq) == 0) {
      unacknowledged_ = static_cast<uint64_t>(outq);
    }
    return unacknowledged_;
  }

  void OnEvents(uint32_t events) override {
    if (connecting_) {
      int err = 0;
      socklen_t n = sizeof err;
      getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &n);
      if (err != 0 || (events & (EPOLLERR | EPOLLHUP))) {
        Fail(FromErrno(err), std::strerror(err ? err : ECONNREFUSED));
        return;
      }
      connecting_ = false;
      connected_ = true;
      AddressOf(fd_, false, localHost_, localPort_);
      AddressOf(fd_, true, peerHost_, peerPort_);
      rt_.Modify(fd_, key_, out_.size() > sent_ ? EPOLLIN | EPOLLOUT : EPOLLIN);
      if (const auto handler = onConnected) handler();
      return;
    }
    const Lifetime::Guard life = life_.Watch();
    if (events & EPOLLOUT) {
      if (!Flush()) return;
    }
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
      static char buffer[kReadChunk];
      for (int i = 0; i < kReadsPerEvent; ++i) {
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n > 0) {
          if (!Deliver(std::string_view(buffer, static_cast<std::size_t>(n)))) return;
          if (!life || !connected_) return;
          if (static_cast<std::size_t>(n) < sizeof buffer) break;
          continue;
        }
        if (n == 0) {
          Shut(false);
          if (const auto handler = onClosed) handler();
          return;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) break;
        if (errno == EINTR) continue;
        const int e = errno;
        Fail(FromErrno(e), std::strerror(e));
        return;
      }
    }
  }

 protected:
  void FailLineTooLong() override {
    Shut(true);
    if (const auto handler = onError) {
      handler(SocketError::LineTooLong, ToString(SocketError::LineTooLong));
    }
  }

 private:
  // False when the connection failed (and the error was raised).
  bool Flush() {
    while (sent_ < out_.size()) {
      const ssize_t n = send(fd_, out_.data() + sent_, out_.size() - sent_, MSG_NOSIGNAL);
      if (n > 0) {
        sent_ += static_cast<std::size_t>(n);
        kernel_ += static_cast<uint64_t>(n);
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
      if (n < 0 && errno == EINTR) continue;
      const int e = errno;
      Fail(FromErrno(e), std::strerror(e));
      return false;
    }
    out_.clear();
    sent_ = 0;
    rt_.Modify(fd_, key_, EPOLLIN);
    return true;
  }

  void Fail(SocketError error, const std::string& message) {
    Shut(false);
    if (const auto handler = onError) handler(error, message);
  }

  void PostError(SocketError error, std::string message) {
    broken_ = true;
    rt_.Post([life = life_.Watch(), this, error, message] {
      if (!life || fd_ < 0) return;
      Fail(error, message);
    });
  }

  // Ends the connection without callbacks. With `flush` the kernel gets what
  // it takes at once of the unsent bytes (a goodbye, an error line); the rest
  // is dropped, so a closed connection holds none of our memory.
  void Shut(bool flush) {
    if (fd_ >= 0) {
      rt_.Unwatch(fd_, key_);
      if (flush && connected_ && out_.size() > sent_) {
        const ssize_t n = send(fd_, out_.data() + sent_, out_.size() - sent_, MSG_NOSIGNAL);
        if (n > 0) kernel_ += static_cast<uint64_t>(n);
      }
      BytesUnacknowledged();  // the last figure
      ::close(fd_);
    }
    fd_ = -1;
    connected_ = connecting_ = broken_ = false;
    out_.clear();
    sent_ = 0;
    life_.Renew();
    EndDeliveries();
  }

  EpollRuntime& rt_;
  int fd_ = -1;
  uint64_t key_ = 0;
  bool connected_ = false;
  bool connecting_ = false;
  bool broken_ = false;
  std::string out_;
  std::size_t sent_ = 0;
  uint64_t kernel_ = 0;                  // bytes send() took since the connection opened
  mutable uint64_t unacknowledged_ = 0;  // the last figure read
  std::string localHost_, peerHost_;
  uint16_t localPort_ = 0, peerPort_ = 0;
  Lifetime life_;
};

class EpollListener final : public TcpListener, public EpollRuntime::Handler {
 public:
  explicit EpollListener(EpollRuntime& rt) : rt_(rt) {}
  ~EpollListener() override { Close(); }

  bool Listen(const std::string& host, uint16_t port, std::string* error) override {
    Close();
    in_addr addr{};
    if (!ParseAddress(host, addr)) {
      if (error) *error = "not an IPv4 address: " + host;
      return false;
    }
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr = addr;
    a.sin_port = htons(port);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd_, 4096) != 0) {
      if (error) *error = std::strerror(errno);
      Close();
      return false;
    }
    std::string ignored;
    AddressOf(fd_, false, ignored, port_);
    spare_ = open("/dev/null", O_RDONLY | O_CLOEXEC);
    key_ = rt_.Watch(fd_, EPOLLIN, this);
    return true;
  }

  void Close() override {
    if (fd_ >= 0) {
      rt_.Unwatch(fd_, key_);
      ::close(fd_);
    }
    if (spare_ >= 0) ::close(spare_);
    fd_ = spare_ = -1;
    port_ = 0;
  }
  uint16_t Port() const override { return port_; }

  void OnEvents(uint32_t) override {
    for (int i = 0; i < 256; ++i) {
      const int fd = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) {
        if ((errno == EMFILE || errno == ENFILE) && spare_ >= 0) {
          // Out of descriptors: take the connection with the spare one and
          // drop it, or the listener would wake us forever.
          ::close(spare_);
          const int dropped = accept(fd_, nullptr, nullptr);
          if (dropped >= 0) ::close(dropped);
          spare_ = open("/dev/null", O_RDONLY | O_CLOEXEC);
          continue;
        }
        return;
      }
      int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      auto connection = std::make_unique<EpollSocket>(rt_, fd);
      if (const auto handler = onAccept) handler(std::move(connection));
      if (fd_ < 0) return;  // closed by the handler
    }
  }

 private:
  EpollRuntime& rt_;
  int fd_ = -1;
  int spare_ = -1;
  uint64_t key_ = 0;
  uint16_t port_ = 0;
};

class EpollTimer final : public Timer {
 public:
  explicit EpollTimer(EpollRuntime& rt)
      : rt_(rt), entry_(std::make_shared<EpollRuntime::TimerEntry>()) {
    entry_->fire = [this] {
      if (const auto handler = onTimeout) handler();
    };
  }
  ~EpollTimer() override {
    entry_->active = false;
    entry_->fire = nullptr;
  }
  void Start(Milliseconds interval, bool repeat) override {
    entry_->interval = interval;
    entry_->repeat = repeat;
    entry_->deadline = rt_.Now() + interval;
    entry_->active = true;
    rt_.Arm(entry_);
  }
  void Stop() override { entry_->active = false; }
  bool IsActive() const override { return entry_->active; }

 private:
  EpollRuntime& rt_;
  std::shared_ptr<EpollRuntime::TimerEntry> entry_;
};

}  // namespace

std::unique_ptr<TcpSocket> NewEpollSocket(EpollRuntime& runtime) {
  return std::make_unique<EpollSocket>(runtime);
}
std::unique_ptr<TcpListener> NewEpollListener(EpollRuntime& runtime) {
  return std::make_unique<EpollListener>(runtime);
}
std::unique_ptr<Timer> NewEpollTimer(EpollRuntime& runtime) {
  return std::make_unique<EpollTimer>(runtime);
}

}  // namespace tazu::net
