// Sockets that reach their destination through a proxy: SOCKS4 (and 4a),
// SOCKS5 with or without user and password, an HTTP proxy's CONNECT tunnel
// with or without Basic authentication, and the ICQ HTTP gateway, where the
// stream travels inside HTTP requests.
//
// Each is a TcpSocket like any other: Connect names the destination, and
// onConnected comes once the proxy has opened the way to it; until then the
// bytes exchanged with the proxy never reach onData. A proxy that refuses,
// fails to authenticate or answers nonsense ends the connection through
// onError with its reason (the texts below); nothing ever falls back to a
// direct connection.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "net/Runtime.h"

namespace tazu::net::proxy {

struct Config {
  enum class Kind { None, Socks4, Socks5, HttpConnect, HttpGateway };
  Kind kind = Kind::None;
  std::string host;
  uint16_t port = 0;
  // Sent when `authenticate` is set: the SOCKS4 user id, the SOCKS5
  // sub-negotiation, HTTP Basic.
  bool authenticate = false;
  std::string user;
  std::string password;
  // The proxy resolves the destination's name (SOCKS4a, SOCKS5 with a name);
  // otherwise it is resolved here first. The HTTP kinds always send the name.
  bool remoteResolve = false;
  // The ICQ HTTP gateway's host (its port is 80).
  std::string gatewayHost = "http.proxy.icq.com";
};

// A plain socket for Kind::None; a proxied one for the others.
std::unique_ptr<TcpSocket> CreateSocket(Runtime& runtime, const Config& config);

// The reasons a proxy connection fails, as onError's message.
inline constexpr std::string_view kCouldNotResolve = "Could not resolve host";
inline constexpr std::string_view kSocks4Failed = "SOCKS4 server cannot connect to remote server";
inline constexpr std::string_view kSocks5NoMethod =
    "Auth methods are not supported by SOCKS5 server";
inline constexpr std::string_view kSocks5AuthFailed = "SOCKS5 server cannot authenticate";
inline constexpr std::string_view kSocks5Failed = "SOCKS5 server cannot connect to remote server";
inline constexpr std::string_view kHttpBadStatus = "Http proxy returned invalid status: ";
inline constexpr std::string_view kHttpOverflow = "Http proxy buffer overflow";
inline constexpr std::string_view kGatewayClosed =
    "Could not initialize connection through HTTP proxy, please retry.";

// Base64 (RFC 4648) of `bytes`, for HTTP Basic credentials.
std::string Base64(std::string_view bytes);
// Dotted IPv4 text as a number (host order); false when it is not one.
bool ParseIPv4(std::string_view text, uint32_t& address);
// The first IPv4 address of a name. This blocks while the resolver works:
// only SOCKS4 and SOCKS5 without remote resolution need it, and only for a
// destination given by name (the ICQ servers hand out numeric addresses).
bool ResolveIPv4(const std::string& host, uint32_t& address);

}  // namespace tazu::net::proxy
