// The runtime the server runs on: one epoll loop, Linux only.
//
// The Qt runtime serves the desktop client well; a server holding thousands of
// connections needs two things it cannot give through net::Runtime: knowing
// how many bytes a connection still has to send (to bound a client that stops
// reading) and a loop whose cost does not grow with idle connections. This one
// keeps every rule of net/Runtime.h and adds:
//  - sockets report the bytes they hold unsent and the bytes the kernel has
//    taken (ISaidaMedida);
//  - Post may be called from any thread (the password worker answers so); only
//    a post from another thread pays for waking the loop;
//  - tasks posted during a turn run after all the socket events of that turn,
//    so a server can commit once per turn however many clients spoke.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "net/Runtime.h"

namespace tazu::tazud {

class EpollRuntime final : public net::Runtime {
 public:
  EpollRuntime();
  ~EpollRuntime() override;
  EpollRuntime(const EpollRuntime&) = delete;
  EpollRuntime& operator=(const EpollRuntime&) = delete;

  std::unique_ptr<net::TcpSocket> CreateTcpSocket() override;
  std::unique_ptr<net::TcpListener> CreateTcpListener() override;
  std::unique_ptr<net::Timer> CreateTimer() override;
  void Post(std::function<void()> task) override;  // thread-safe
  net::TimePoint Now() const override;
  net::WallTime WallNow() const override;

  // Turns the loop until Stop() (from the loop or a signal handler). Only the
  // thread that created the runtime may turn it.
  void Run();
  // One turn: waits at most `timeout` for something to do.
  void RunOnce(net::Milliseconds timeout);
  void Stop();
  // SIGINT and SIGTERM stop Run() (they are blocked and read from the loop).
  void StopOnSignals();

  // --- for the objects of this runtime --------------------------------------
  struct Handler {
    virtual ~Handler() = default;
    virtual void OnEvents(uint32_t events) = 0;
  };
  // Registers `fd`; answers the key its events will carry.
  uint64_t Watch(int fd, uint32_t events, Handler* handler);
  void Modify(int fd, uint64_t key, uint32_t events);
  void Unwatch(int fd, uint64_t key);
  struct TimerEntry;
  void Arm(const std::shared_ptr<TimerEntry>& entry);
  // A closed socket's unsent bytes, written in the background for a while.
  void Linger(int fd, std::string bytes);

 private:
  void RunTasks();
  void RunTimers();
  net::Milliseconds NextTimeout(net::Milliseconds limit);
  class Lingerer;

  int epoll_ = -1;
  int wake_ = -1;
  int signals_ = -1;
  bool stop_ = false;
  uint64_t nextKey_ = 2;  // 0 = wake-up, 1 = signals
  std::unordered_map<uint64_t, Handler*> handlers_;
  std::mutex tasksMutex_;
  std::vector<std::function<void()>> tasks_;
  std::atomic<bool> wakePending_{false};
  std::thread::id loopThread_;  // the thread that created the runtime and turns it
  std::vector<std::weak_ptr<TimerEntry>> timers_;
  uint64_t timerOrder_ = 0;
  std::vector<std::unique_ptr<Lingerer>> lingering_;
};

}  // namespace tazu::tazud
