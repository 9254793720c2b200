// A runtime on one epoll loop, Linux only: for servers holding thousands of
// connections (tazud, the network simulators) and for the load tool.
//
// The Qt runtime serves the desktop client well; a server needs a loop whose
// cost does not grow with idle connections. This one keeps every rule of
// net/Runtime.h and adds:
//  - Post may be called from any thread (a worker answers so); only a post
//    from another thread pays for waking the loop;
//  - tasks posted during a turn run after all the socket events of that turn,
//    so a server can commit once per turn however many clients spoke;
//  - a socket's unacknowledged bytes are the kernel's own count (SIOCOUTQ);
//  - closing a socket hands the kernel what it takes at once and drops the
//    rest: a closed connection holds no memory of ours.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "net/Runtime.h"

namespace tazu::net {

class EpollRuntime final : public Runtime {
 public:
  EpollRuntime();
  ~EpollRuntime() override;
  EpollRuntime(const EpollRuntime&) = delete;
  EpollRuntime& operator=(const EpollRuntime&) = delete;

  std::unique_ptr<TcpSocket> CreateTcpSocket() override;
  std::unique_ptr<TcpListener> CreateTcpListener() override;
  std::unique_ptr<Timer> CreateTimer() override;
  void Post(std::function<void()> task) override;  // thread-safe
  TimePoint Now() const override;
  WallTime WallNow() const override;

  // Turns the loop until Stop() (from the loop or a signal handler). Only the
  // thread that created the runtime may turn it.
  void Run();
  // One turn: waits at most `timeout` for something to do.
  void RunOnce(Milliseconds timeout);
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

 private:
  void RunTasks();
  void RunTimers();
  Milliseconds NextTimeout(Milliseconds limit);

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
};

}  // namespace tazu::net
