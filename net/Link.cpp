#include "net/Link.h"

#include <algorithm>

namespace tazu::net {

Link::Link(Runtime& runtime)
    : runtime_(runtime), socket_(runtime.CreateTcpSocket()), timer_(runtime.CreateTimer()) {
  socket_->onConnected = [this] {
    if (onConnected) onConnected();
  };
  socket_->onData = [this](std::string_view bytes) {
    if (onData) onData(bytes);
  };
  socket_->onClosed = [this] {
    Ended();
    if (onClosed) onClosed();
  };
  socket_->onError = [this](SocketError error, const std::string& message) {
    Ended();
    if (onError) onError(error, message);
  };
  timer_->onTimeout = [this] {
    armed_.reset();
    if (onDeadline) onDeadline();
  };
}

bool Link::Open(const std::string& host, uint16_t port) {
  Ended();
  return socket_->Connect(host, port);
}

void Link::Close() {
  Ended();
  socket_->Close();
}

void Link::Ended() {
  ++generation_;
  if (onReset) onReset();
}

void Link::ArmDeadline(std::optional<TimePoint> deadline) {
  if (deadline == armed_) return;
  armed_ = deadline;
  if (!deadline) {
    timer_->Stop();
    return;
  }
  timer_->Start(std::max(*deadline - runtime_.Now(), Milliseconds(0)), false);
}

}  // namespace tazu::net
