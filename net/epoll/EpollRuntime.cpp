// The epoll runtime's loop: events, timers and posted tasks, in that order.
#include "net/epoll/EpollRuntime.h"

#include <signal.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>

#include "net/epoll/EpollObjects.h"

namespace tazu::net {

namespace {

constexpr uint64_t kWakeKey = 0;
constexpr uint64_t kSignalKey = 1;

}  // namespace

EpollRuntime::EpollRuntime() : loopThread_(std::this_thread::get_id()) {
  epoll_ = epoll_create1(EPOLL_CLOEXEC);
  wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.u64 = kWakeKey;
  epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &ev);
}

EpollRuntime::~EpollRuntime() {
  if (signals_ >= 0) ::close(signals_);
  ::close(wake_);
  ::close(epoll_);
}

std::unique_ptr<TcpSocket> EpollRuntime::CreateTcpSocket() {
  return NewEpollSocket(*this);
}
std::unique_ptr<TcpListener> EpollRuntime::CreateTcpListener() {
  return NewEpollListener(*this);
}
std::unique_ptr<Timer> EpollRuntime::CreateTimer() {
  return NewEpollTimer(*this);
}

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

TimePoint EpollRuntime::Now() const {
  return std::chrono::time_point_cast<Milliseconds>(std::chrono::steady_clock::now());
}
WallTime EpollRuntime::WallNow() const {
  return std::chrono::time_point_cast<Milliseconds>(std::chrono::system_clock::now());
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

void EpollRuntime::Stop() {
  stop_ = true;
}

void EpollRuntime::Run() {
  stop_ = false;
  while (!stop_) RunOnce(Milliseconds(1000));
}

Milliseconds EpollRuntime::NextTimeout(Milliseconds limit) {
  const TimePoint now = Now();
  Milliseconds best = limit;
  for (const auto& weak : timers_) {
    const auto t = weak.lock();
    if (!t || !t->active) continue;
    best = std::min(best, std::max(Milliseconds(0),
                                   std::chrono::duration_cast<Milliseconds>(t->deadline - now)));
  }
  return best;
}

void EpollRuntime::RunOnce(Milliseconds timeout) {
  {
    std::lock_guard<std::mutex> lock(tasksMutex_);
    if (!tasks_.empty()) timeout = Milliseconds(0);
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
}

void EpollRuntime::RunTimers() {
  const TimePoint now = Now();
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

}  // namespace tazu::net
