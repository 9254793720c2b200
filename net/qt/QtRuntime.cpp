#include "net/qt/QtRuntime.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <limits>

#include "net/qt/QtSockets.h"

namespace tazu::net {
namespace {

class QtTimer final : public Timer {
 public:
  explicit QtTimer(QObject* home) : timer_(new QTimer(home)) {
    // Coarse timers may fire early; a time-out must never come before its time.
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.data(), &QTimer::timeout, timer_.data(), [this] {
      if (const auto handler = onTimeout) handler();
    });
  }

  ~QtTimer() override {
    if (timer_ == nullptr) return;
    timer_->disconnect();
    timer_->stop();
    timer_->deleteLater();  // we may be inside its timeout
  }

  void Start(Milliseconds interval, bool repeat) override {
    if (timer_ == nullptr) return;
    const auto limit = Milliseconds(std::numeric_limits<int>::max());
    timer_->setSingleShot(!repeat);
    timer_->start(std::clamp(interval, Milliseconds(0), limit));
  }

  void Stop() override {
    if (timer_ != nullptr) timer_->stop();
  }

  bool IsActive() const override { return timer_ != nullptr && timer_->isActive(); }

 private:
  QPointer<QTimer> timer_;
};

}  // namespace

QtRuntime::QtRuntime() : home_(std::make_unique<QObject>()) {}

QtRuntime::~QtRuntime() {
  // Deleting a connected QTcpSocket aborts it, and abort() signals; nobody may
  // hear that from a runtime being torn down.
  for (QObject* child : home_->children()) child->blockSignals(true);
}

std::unique_ptr<TcpSocket> QtRuntime::CreateTcpSocket() {
  return std::make_unique<QtTcpSocket>(home_.get());
}

std::unique_ptr<TcpListener> QtRuntime::CreateTcpListener() {
  return std::make_unique<QtTcpListener>(home_.get());
}

std::unique_ptr<Timer> QtRuntime::CreateTimer() {
  return std::make_unique<QtTimer>(home_.get());
}

void QtRuntime::Post(std::function<void()> task) {
  // Queued events to one receiver are delivered in the order posted.
  QMetaObject::invokeMethod(home_.get(), std::move(task), Qt::QueuedConnection);
}

TimePoint QtRuntime::Now() const {
  return std::chrono::time_point_cast<Milliseconds>(std::chrono::steady_clock::now());
}

WallTime QtRuntime::WallNow() const {
  return std::chrono::time_point_cast<Milliseconds>(std::chrono::system_clock::now());
}

}  // namespace tazu::net
