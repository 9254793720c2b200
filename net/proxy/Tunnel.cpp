#include "net/proxy/Tunnel.h"

#include <utility>

namespace tazu::net::proxy {

TunnelSocket::TunnelSocket(Runtime& runtime, const Config& config)
    : config_(config), runtime_(runtime), inner_(runtime.CreateTcpSocket()) {
  inner_->onConnected = [this] { Begin(); };
  inner_->onData = [this](std::string_view data) { OnData(data); };
  inner_->onClosed = [this] {
    if (!established_) {
      // The proxy hung up in the middle of its handshake: it would not open
      // the way.
      Fail(SocketError::ConnectionRefused,
           std::string(config_.kind == Config::Kind::Socks4   ? kSocks4Failed
                       : config_.kind == Config::Kind::Socks5 ? kSocks5Failed
                                                              : kHttpBadStatus));
      return;
    }
    established_ = false;
    EndDeliveries();
    if (const auto closed = onClosed) closed();
  };
  inner_->onError = [this](SocketError error, const std::string& message) {
    established_ = false;
    Fail(error, message);
  };
}

TunnelSocket::~TunnelSocket() {
  alive_.End();
}

bool TunnelSocket::Connect(const std::string& host, uint16_t port) {
  Close();
  if (host.empty() || port == 0 || config_.host.empty() || config_.port == 0) return false;
  host_ = host;
  port_ = port;
  const bool resolveHere =
      (config_.kind == Config::Kind::Socks4 || config_.kind == Config::Kind::Socks5) &&
      !config_.remoteResolve;
  if (resolveHere && !ParseIPv4(host, address_) && !ResolveIPv4(host, address_)) {
    runtime_.Post([this, alive = alive_.Watch()] {
      if (alive) Fail(SocketError::HostNotFound, std::string(kCouldNotResolve));
    });
    return true;
  }
  return inner_->Connect(config_.host, config_.port);
}

void TunnelSocket::Send(std::string_view bytes) {
  if (established_) inner_->Send(bytes);
}

void TunnelSocket::Close() {
  inner_->Close();
  established_ = false;
  reply_.clear();
  EndDeliveries();
  alive_.Renew();  // a failure posted for the last attempt stays quiet
}

void TunnelSocket::FailLineTooLong() {
  inner_->Close();
  established_ = false;
  EndDeliveries();
  if (const auto error = onError) error(SocketError::LineTooLong, "line too long");
}

void TunnelSocket::OnData(std::string_view data) {
  if (established_) {
    Deliver(data);
    return;
  }
  reply_.append(data);
  std::string why;
  Step step;
  for (;;) {
    const std::size_t before = reply_.size();
    step = Reply(reply_, why);
    if (step != Step::More || reply_.empty() || reply_.size() == before) break;
  }
  if (step == Step::Failed) {
    Fail(SocketError::Other, why);
    return;
  }
  if (step != Step::Done) return;
  established_ = true;
  const std::string rest = std::exchange(reply_, {});
  const Lifetime::Guard alive = alive_.Watch();
  if (const auto connected = onConnected) connected();
  if (alive && established_ && !rest.empty()) Deliver(rest);
}

void TunnelSocket::Fail(SocketError error, const std::string& message) {
  inner_->Close();
  established_ = false;
  reply_.clear();
  EndDeliveries();
  if (const auto failed = onError) failed(error, message);
}

}  // namespace tazu::net::proxy
