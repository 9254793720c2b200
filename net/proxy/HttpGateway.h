// The ICQ HTTP gateway: a byte stream carried in HTTP/1.0 requests through an
// HTTP proxy. A "hello" opens a gateway session; from then on one request at
// a time polls ("monitor") for what the server sends, and one at a time
// posts ("data") what the caller sends; each request uses a fresh connection
// (they all say "connection: close"). Both directions travel as gateway
// packets: 16-bit length of what follows, version 0x0443, packet type, 32-bit
// 0, 32-bit 1, payload.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/Lifetime.h"
#include "net/Runtime.h"
#include "net/proxy/ProxySocket.h"

namespace tazu::net::proxy {

namespace gateway {
inline constexpr uint16_t kVersion = 0x0443;
inline constexpr uint16_t kHello = 2;
inline constexpr uint16_t kConnect = 3;
inline constexpr uint16_t kData = 5;
inline constexpr uint16_t kClose = 7;
// Largest payload of one packet (its length field stays within 8192).
inline constexpr std::size_t kMaxPayload = 8192 - 12;
// Largest response kept.
inline constexpr std::size_t kMaxResponse = 65536;

std::string Packet(uint16_t type, std::string_view payload);
}  // namespace gateway

class HttpGatewaySocket final : public TcpSocket {
 public:
  HttpGatewaySocket(Runtime& runtime, const Config& config);
  ~HttpGatewaySocket() override;

  bool Connect(const std::string& host, uint16_t port) override;
  void Send(std::string_view bytes) override;
  void Close() override;
  bool IsConnected() const override { return established_; }
  std::string LocalAddress() const override { return localAddress_; }
  uint16_t LocalPort() const override { return localPort_; }
  std::string PeerAddress() const override { return config_.host; }
  uint16_t PeerPort() const override { return config_.port; }
  std::size_t BytesQueued() const override { return outbox_.size(); }
  uint64_t BytesTaken() const override { return taken_; }
  uint64_t BytesUnacknowledged() const override { return 0; }

 protected:
  void FailLineTooLong() override;

 private:
  // One HTTP exchange on its own connection through the proxy.
  struct Exchange {
    std::unique_ptr<TcpSocket> socket;
    std::string request;
    std::string response;
    bool busy = false;
  };
  enum class Outcome { More, Done, Failed };

  void Start(Exchange& x, const std::string& request, bool monitor);
  void OnData(Exchange& x, std::string_view data, bool monitor);
  void OnEnd(Exchange& x, bool monitor);
  Outcome Parse(Exchange& x, bool closed, std::string& body, std::string& why);
  void Answered(bool monitor, const std::string& body);
  bool Packets(std::string_view body);
  void Hello(std::string_view payload);
  void Poll();
  void Post();
  std::string Request(const std::string& method, const std::string& url, const std::string& host,
                      std::string_view body) const;
  void Fail(SocketError error, const std::string& message);

  Runtime& runtime_;
  const Config config_;
  std::string host_;  // the server at the far side of the gateway
  uint16_t port_ = 0;
  Exchange main_, data_;
  std::string session_, server_;
  uint32_t sequence_ = 0;
  std::string outbox_;
  bool connectSent_ = false;
  bool established_ = false;
  std::string localAddress_;
  uint16_t localPort_ = 0;
  uint64_t taken_ = 0;
  Lifetime alive_;
};

}  // namespace tazu::net::proxy
