#include "net/proxy/ProxySocket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <sys/socket.h>

#include "net/proxy/HttpGateway.h"
#include "net/proxy/Tunnel.h"

namespace tazu::net::proxy {

std::unique_ptr<TcpSocket> CreateSocket(Runtime& runtime, const Config& config) {
  switch (config.kind) {
    case Config::Kind::None:
      return runtime.CreateTcpSocket();
    case Config::Kind::Socks4:
      return std::make_unique<Socks4Socket>(runtime, config);
    case Config::Kind::Socks5:
      return std::make_unique<Socks5Socket>(runtime, config);
    case Config::Kind::HttpConnect:
      return std::make_unique<HttpConnectSocket>(runtime, config);
    case Config::Kind::HttpGateway:
      return std::make_unique<HttpGatewaySocket>(runtime, config);
  }
  return runtime.CreateTcpSocket();
}

std::string Base64(std::string_view bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                reinterpret_cast<const unsigned char*>(bytes.data()),
                                static_cast<int>(bytes.size()));
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

bool ParseIPv4(std::string_view text, uint32_t& address) {
  uint32_t result = 0;
  int parts = 0;
  std::size_t i = 0;
  while (parts < 4) {
    uint32_t part = 0;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
      part = part * 10 + static_cast<uint32_t>(text[i++] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || part > 255) return false;
    result = result << 8 | part;
    if (++parts < 4) {
      if (i >= text.size() || text[i] != '.') return false;
      ++i;
    }
  }
  if (i != text.size()) return false;
  address = result;
  return true;
}

bool ResolveIPv4(const std::string& host, uint32_t& address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  address = ntohl(in->sin_addr.s_addr);
  freeaddrinfo(found);
  return true;
}

}  // namespace tazu::net::proxy
