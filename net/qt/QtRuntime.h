// The runtime on Qt's event loop: the one the programs run on.
//
// Needs a QCoreApplication (or QApplication) whose loop turns; everything runs on
// the thread that created the runtime. Sockets, listeners and timers it made may
// outlive it: their Qt objects go with the runtime, and they turn quiet.
#pragma once

#include <memory>

#include "net/Runtime.h"

class QObject;

namespace tazu::net {

class QtRuntime final : public Runtime {
 public:
  QtRuntime();
  ~QtRuntime() override;
  QtRuntime(const QtRuntime&) = delete;
  QtRuntime& operator=(const QtRuntime&) = delete;

  std::unique_ptr<TcpSocket> CreateTcpSocket() override;
  std::unique_ptr<TcpListener> CreateTcpListener() override;
  std::unique_ptr<Timer> CreateTimer() override;
  void Post(std::function<void()> task) override;
  TimePoint Now() const override;
  WallTime WallNow() const override;

 private:
  // Parent of every Qt object the runtime makes, so none outlives it, even one
  // still waiting for deleteLater when the loop stops.
  std::unique_ptr<QObject> home_;
};

}  // namespace tazu::net
