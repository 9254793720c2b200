#include "tazud/EpollRuntime.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tazud/SaidaMedida.h"

namespace tazu::tazud {

namespace {

constexpr uint64_t kWakeKey = 0;
constexpr uint64_t kSignalKey = 1;
constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kReadsPerEvent = 4;  // then other connections get their turn
constexpr auto kLingerLimit = std::chrono::seconds(10);

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

net::SocketError FromErrno(int e) {
  switch (e) {
    case ECONNREFUSED: return net::SocketError::ConnectionRefused;
    case ETIMEDOUT: return net::SocketError::Timeout;
    case ECONNRESET:
    case EPIPE: return net::SocketError::ConnectionReset;
    default: return net::SocketError::Other;
  }
}

}  // namespace

struct EpollRuntime::TimerEntry {
  net::TimePoint deadline;
  net::Milliseconds interval{0};
  bool repeat = false;
  bool active = false;
  uint64_t order = 0;
  std::function<void()> fire;
};

// --- sockets ----------------------------------------------------------------

class EpollSocket final : public net::TcpSocket, public ISaidaMedida, public EpollRuntime::Handler {
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
  std::size_t BytesNaFila() const override { return out_.size() - sent_; }
  uint64_t BytesNoKernel() const override { return kernel_; }

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
    const std::weak_ptr<bool> life = life_;
    if (events & EPOLLOUT) {
      if (!Flush()) return;
    }
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
      static char buffer[kReadChunk];
      for (int i = 0; i < kReadsPerEvent; ++i) {
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n > 0) {
          if (!Deliver(std::string_view(buffer, static_cast<std::size_t>(n)))) return;
          if (life.expired() || !connected_) return;
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
      handler(net::SocketError::LineTooLong, net::ToString(net::SocketError::LineTooLong));
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

  void Fail(net::SocketError error, const std::string& message) {
    Shut(false);
    if (const auto handler = onError) handler(error, message);
  }

  void PostError(net::SocketError error, std::string message) {
    broken_ = true;
    rt_.Post([life = std::weak_ptr<bool>(life_), this, error, message] {
      if (life.expired() || fd_ < 0) return;
      Fail(error, message);
    });
  }

  // Ends the connection without callbacks; `flush` lets unsent bytes linger.
  void Shut(bool flush) {
    if (fd_ >= 0) {
      rt_.Unwatch(fd_, key_);
      if (flush && connected_ && out_.size() > sent_) {
        rt_.Linger(fd_, out_.substr(sent_));
      } else {
        ::close(fd_);
      }
    }
    fd_ = -1;
    connected_ = connecting_ = broken_ = false;
    out_.clear();
    sent_ = 0;
    life_ = std::make_shared<bool>(true);
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
  uint64_t kernel_ = 0;  // bytes send() took since the connection opened
  std::string localHost_, peerHost_;
  uint16_t localPort_ = 0, peerPort_ = 0;
  std::shared_ptr<bool> life_ = std::make_shared<bool>(true);
};

class EpollListener final : public net::TcpListener, public EpollRuntime::Handler {
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

class EpollTimer final : public net::Timer {
 public:
  explicit EpollTimer(EpollRuntime& rt) : rt_(rt), entry_(std::make_shared<EpollRuntime::TimerEntry>()) {
    entry_->fire = [this] {
      if (const auto handler = onTimeout) handler();
    };
  }
  ~EpollTimer() override {
    entry_->active = false;
    entry_->fire = nullptr;
  }
  void Start(net::Milliseconds interval, bool repeat) override {
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

class EpollRuntime::Lingerer final : public Handler {
 public:
  Lingerer(EpollRuntime& rt, int fd, std::string bytes)
      : rt_(rt), fd_(fd), bytes_(std::move(bytes)), deadline_(rt.Now() + kLingerLimit) {
    key_ = rt_.Watch(fd_, EPOLLOUT, this);
  }
  ~Lingerer() override { Done(); }
  void OnEvents(uint32_t events) override {
    if (events & (EPOLLERR | EPOLLHUP)) {
      Done();
      return;
    }
    while (sent_ < bytes_.size()) {
      const ssize_t n = send(fd_, bytes_.data() + sent_, bytes_.size() - sent_, MSG_NOSIGNAL);
      if (n > 0) {
        sent_ += static_cast<std::size_t>(n);
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        return;
      } else {
        break;
      }
    }
    Done();
  }
  bool Finished(net::TimePoint now) const { return fd_ < 0 || now >= deadline_; }

 private:
  void Done() {
    if (fd_ < 0) return;
    rt_.Unwatch(fd_, key_);
    ::close(fd_);
    fd_ = -1;
  }
  EpollRuntime& rt_;
  int fd_;
  std::string bytes_;
  std::size_t sent_ = 0;
  net::TimePoint deadline_;
  uint64_t key_ = 0;
};

// --- the loop ---------------------------------------------------------------

EpollRuntime::EpollRuntime() : loopThread_(std::this_thread::get_id()) {
  epoll_ = epoll_create1(EPOLL_CLOEXEC);
  wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.u64 = kWakeKey;
  epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &ev);
}

EpollRuntime::~EpollRuntime() {
  lingering_.clear();
  if (signals_ >= 0) ::close(signals_);
  ::close(wake_);
  ::close(epoll_);
}

std::unique_ptr<net::TcpSocket> EpollRuntime::CreateTcpSocket() {
  return std::make_unique<EpollSocket>(*this);
}
std::unique_ptr<net::TcpListener> EpollRuntime::CreateTcpListener() {
  return std::make_unique<EpollListener>(*this);
}
std::unique_ptr<net::Timer> EpollRuntime::CreateTimer() { return std::make_unique<EpollTimer>(*this); }

void EpollRuntime::Post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(tasksMutex_);
    tasks_.push_back(std::move(task));
  }
  // On the loop's own thread the tasks run before it waits again; waking it
  // through the eventfd would cost two system calls a turn for nothing.
  if (std::this_thread::get_id() == loopThread_) return;
  if (!wakePending_.exchange(true)) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wake_, &one, sizeof one);
  }
}

net::TimePoint EpollRuntime::Now() const {
  return std::chrono::time_point_cast<net::Milliseconds>(std::chrono::steady_clock::now());
}
net::WallTime EpollRuntime::WallNow() const {
  return std::chrono::time_point_cast<net::Milliseconds>(std::chrono::system_clock::now());
}

uint64_t EpollRuntime::Watch(int fd, uint32_t events, Handler* handler) {
  const uint64_t key = nextKey_++;
  epoll_event ev{};
  ev.events = events;
  ev.data.u64 = key;
  epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev);
  handlers_.emplace(key, handler);
  return key;
}

void EpollRuntime::Modify(int fd, uint64_t key, uint32_t events) {
  epoll_event ev{};
  ev.events = events;
  ev.data.u64 = key;
  epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &ev);
}

void EpollRuntime::Unwatch(int fd, uint64_t key) {
  epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
  handlers_.erase(key);
}

void EpollRuntime::Arm(const std::shared_ptr<TimerEntry>& entry) {
  entry->order = timerOrder_++;
  for (const auto& t : timers_) {
    if (t.lock() == entry) return;
  }
  timers_.push_back(entry);
}

void EpollRuntime::Linger(int fd, std::string bytes) {
  lingering_.push_back(std::make_unique<Lingerer>(*this, fd, std::move(bytes)));
}

void EpollRuntime::StopOnSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  signals_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.u64 = kSignalKey;
  epoll_ctl(epoll_, EPOLL_CTL_ADD, signals_, &ev);
}

void EpollRuntime::Stop() { stop_ = true; }

void EpollRuntime::Run() {
  stop_ = false;
  while (!stop_) RunOnce(net::Milliseconds(1000));
}

net::Milliseconds EpollRuntime::NextTimeout(net::Milliseconds limit) {
  const net::TimePoint now = Now();
  net::Milliseconds best = limit;
  for (const auto& weak : timers_) {
    const auto t = weak.lock();
    if (!t || !t->active) continue;
    best = std::min(best, std::max(net::Milliseconds(0),
                                   std::chrono::duration_cast<net::Milliseconds>(t->deadline - now)));
  }
  return best;
}

void EpollRuntime::RunOnce(net::Milliseconds timeout) {
  {
    std::lock_guard<std::mutex> lock(tasksMutex_);
    if (!tasks_.empty()) timeout = net::Milliseconds(0);
  }
  timeout = NextTimeout(timeout);
  epoll_event events[256];
  const int n = epoll_wait(epoll_, events, 256, static_cast<int>(timeout.count()));
  for (int i = 0; i < n; ++i) {
    const uint64_t key = events[i].data.u64;
    if (key == kWakeKey) {
      uint64_t value;
      [[maybe_unused]] const ssize_t r = read(wake_, &value, sizeof value);
      wakePending_ = false;
      continue;
    }
    if (key == kSignalKey) {
      signalfd_siginfo info;
      [[maybe_unused]] const ssize_t r = read(signals_, &info, sizeof info);
      stop_ = true;
      continue;
    }
    const auto it = handlers_.find(key);
    if (it != handlers_.end()) it->second->OnEvents(events[i].events);
  }
  RunTimers();
  RunTasks();
  if (!lingering_.empty()) {
    const net::TimePoint now = Now();
    std::erase_if(lingering_, [now](const auto& l) { return l->Finished(now); });
  }
}

void EpollRuntime::RunTimers() {
  const net::TimePoint now = Now();
  std::vector<std::shared_ptr<TimerEntry>> due;
  std::erase_if(timers_, [&](const std::weak_ptr<TimerEntry>& weak) {
    const auto t = weak.lock();
    if (!t || !t->fire) return true;
    if (t->active && t->deadline <= now) due.push_back(t);
    return false;
  });
  std::sort(due.begin(), due.end(), [](const auto& a, const auto& b) {
    return a->deadline != b->deadline ? a->deadline < b->deadline : a->order < b->order;
  });
  for (const auto& t : due) {
    if (!t->active || t->deadline > now) continue;  // stopped or restarted by an earlier one
    if (t->repeat) {
      t->deadline = std::max(t->deadline + t->interval, now);
    } else {
      t->active = false;
    }
    const auto fire = t->fire;  // the timer may be destroyed by its own handler
    if (fire) fire();
  }
}

void EpollRuntime::RunTasks() {
  for (int round = 0; round < 64; ++round) {
    std::vector<std::function<void()>> batch;
    {
      std::lock_guard<std::mutex> lock(tasksMutex_);
      batch.swap(tasks_);
    }
    if (batch.empty()) return;
    for (auto& task : batch) task();
  }
}

}  // namespace tazu::tazud
