#include "net/Link.h"

#include <algorithm>

namespace tazu::net {

Link::Link(Runtime& runtime) : runtime_(runtime), timer_(runtime.CreateTimer()) {
  Adopt(runtime.CreateTcpSocket());
  timer_->onTimeout = [this] {
    armed_.reset();
    if (onDeadline) onDeadline();
  };
}

void Link::Adopt(std::unique_ptr<TcpSocket> socket) {
  socket_ = std::move(socket);
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
}

bool Link::Open(const std::string& host, uint16_t port) {
  Ended();
  return socket_->Connect(host, port);
}

bool Link::Open(const std::string& host, uint16_t port, std::unique_ptr<TcpSocket> via) {
  Close();
  Adopt(std::move(via));
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
