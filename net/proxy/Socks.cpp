// SOCKS4 and 4a (the protocol documents "SOCKS: A protocol for TCP proxy
// across firewalls" and "SOCKS 4A"), SOCKS5 (RFC 1928) with the user and
// password sub-negotiation (RFC 1929).
#include <string>

#include "net/proxy/Tunnel.h"

namespace tazu::net::proxy {

namespace {

void Put16(std::string& b, uint16_t v) {
  b += static_cast<char>(v >> 8);
  b += static_cast<char>(v);
}

void Put32(std::string& b, uint32_t v) {
  Put16(b, static_cast<uint16_t>(v >> 16));
  Put16(b, static_cast<uint16_t>(v));
}

uint8_t Byte(const std::string& b, std::size_t i) {
  return static_cast<uint8_t>(b[i]);
}

}  // namespace

// ---- SOCKS4 ----

void Socks4Socket::Begin() {
  std::string r{4, 1};
  Put16(r, port_);
  Put32(r, config_.remoteResolve ? 1u : address_);  // 0.0.0.1: the name follows
  if (config_.authenticate) r += config_.user;
  r += '\0';
  if (config_.remoteResolve) {
    r += host_;
    r += '\0';
  }
  SendToProxy(r);
}

TunnelSocket::Step Socks4Socket::Reply(std::string& reply, std::string& why) {
  if (reply.size() < 8) return Step::More;
  const bool granted = Byte(reply, 1) == 0x5A;
  reply.erase(0, 8);
  if (granted) return Step::Done;
  why = kSocks4Failed;
  return Step::Failed;
}

// ---- SOCKS5 ----

void Socks5Socket::Begin() {
  phase_ = Phase::Method;
  SendToProxy(std::string{5, 1, static_cast<char>(config_.authenticate ? 2 : 0)});
}

void Socks5Socket::Request() {
  std::string r{5, 1, 0};
  if (config_.remoteResolve) {
    const std::string name = host_.substr(0, 255);
    r += '\3';
    r += static_cast<char>(name.size());
    r += name;
  } else {
    r += '\1';
    Put32(r, address_);
  }
  Put16(r, port_);
  phase_ = Phase::Connect;
  SendToProxy(r);
}

TunnelSocket::Step Socks5Socket::Reply(std::string& reply, std::string& why) {
  if (phase_ == Phase::Method) {
    if (reply.size() < 2) return Step::More;
    const uint8_t method = Byte(reply, 1);
    reply.erase(0, 2);
    if (method == 0xFF) {
      why = kSocks5NoMethod;
      return Step::Failed;
    }
    if (method == 2) {
      const std::string user = config_.user.substr(0, 255);
      const std::string password = config_.password.substr(0, 255);
      std::string a{1, static_cast<char>(user.size())};
      a += user;
      a += static_cast<char>(password.size());
      a += password;
      phase_ = Phase::Auth;
      SendToProxy(a);
    } else {
      Request();
    }
    return Step::More;
  }
  if (phase_ == Phase::Auth) {
    if (reply.size() < 2) return Step::More;
    const bool ok = Byte(reply, 1) == 0;
    reply.erase(0, 2);
    if (!ok) {
      why = kSocks5AuthFailed;
      return Step::Failed;
    }
    Request();
    return Step::More;
  }
  // The reply's length depends on the kind of address the proxy bound.
  if (reply.size() < 5) return Step::More;
  const uint8_t kind = Byte(reply, 3);
  const std::size_t length = kind == 1 ? 10 : kind == 4 ? 22 : kind == 3 ? 7 + Byte(reply, 4) : 10;
  if (Byte(reply, 0) != 5 || Byte(reply, 1) != 0) {
    why = kSocks5Failed;
    return Step::Failed;
  }
  if (reply.size() < length) return Step::More;
  reply.erase(0, length);
  return Step::Done;
}

}  // namespace tazu::net::proxy
