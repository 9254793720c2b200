// The common part of the proxy sockets that open a tunnel over one
// connection (SOCKS4, SOCKS5, HTTP CONNECT): the connection to the proxy,
// the handshake's bytes kept apart from the caller's, and the end of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/Lifetime.h"
#include "net/Runtime.h"
#include "net/proxy/ProxySocket.h"

namespace tazu::net::proxy {

class TunnelSocket : public TcpSocket {
 public:
  TunnelSocket(Runtime& runtime, const Config& config);
  ~TunnelSocket() override;

  bool Connect(const std::string& host, uint16_t port) override;
  void Send(std::string_view bytes) override;
  void Close() override;
  bool IsConnected() const override { return established_; }
  std::string LocalAddress() const override { return inner_->LocalAddress(); }
  uint16_t LocalPort() const override { return inner_->LocalPort(); }
  std::string PeerAddress() const override { return inner_->PeerAddress(); }
  uint16_t PeerPort() const override { return inner_->PeerPort(); }
  std::size_t BytesQueued() const override { return inner_->BytesQueued(); }
  uint64_t BytesTaken() const override { return inner_->BytesTaken(); }
  uint64_t BytesUnacknowledged() const override { return inner_->BytesUnacknowledged(); }

 protected:
  enum class Step { More, Done, Failed };

  // The proxy answered the connection: send the first request.
  virtual void Begin() = 0;
  // The proxy's bytes so far (`reply`); consume what was read. On Failed,
  // `why` holds the reason.
  virtual Step Reply(std::string& reply, std::string& why) = 0;
  void SendToProxy(std::string_view bytes) { inner_->Send(bytes); }
  void FailLineTooLong() override;

  const Config config_;
  std::string host_;  // the destination
  uint16_t port_ = 0;
  uint32_t address_ = 0;  // the destination's IPv4 address, when resolved here

 private:
  void OnData(std::string_view data);
  void Fail(SocketError error, const std::string& message);

  Runtime& runtime_;
  std::unique_ptr<TcpSocket> inner_;
  std::string reply_;
  bool established_ = false;
  Lifetime alive_;
};

class Socks4Socket final : public TunnelSocket {
 public:
  using TunnelSocket::TunnelSocket;

 protected:
  void Begin() override;
  Step Reply(std::string& reply, std::string& why) override;
};

class Socks5Socket final : public TunnelSocket {
 public:
  using TunnelSocket::TunnelSocket;

 protected:
  void Begin() override;
  Step Reply(std::string& reply, std::string& why) override;

 private:
  void Request();
  enum class Phase { Method, Auth, Connect };
  Phase phase_ = Phase::Method;
};

class HttpConnectSocket final : public TunnelSocket {
 public:
  using TunnelSocket::TunnelSocket;

 protected:
  void Begin() override;
  Step Reply(std::string& reply, std::string& why) override;
};

}  // namespace tazu::net::proxy
