// The sockets, listener and timer of the epoll runtime; only the runtime
// creates them.
#pragma once

#include <memory>

#include "net/epoll/EpollRuntime.h"

namespace tazu::net {

struct EpollRuntime::TimerEntry {
  TimePoint deadline;
  Milliseconds interval{0};
  bool repeat = false;
  bool active = false;
  uint64_t order = 0;
  std::function<void()> fire;
};

std::unique_ptr<TcpSocket> NewEpollSocket(EpollRuntime& runtime);
std::unique_ptr<TcpListener> NewEpollListener(EpollRuntime& runtime);
std::unique_ptr<Timer> NewEpollTimer(EpollRuntime& runtime);

}  // namespace tazu::net
