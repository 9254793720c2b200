// A tunnel through an HTTP proxy with CONNECT (RFC 7231 section 4.3.6), with
// Basic authentication (RFC 7617) when asked.
#include <string>

#include "net/proxy/Tunnel.h"

namespace tazu::net::proxy {

namespace {

// The proxy's answer to CONNECT is a status line and headers; nothing longer
// is waited for.
constexpr std::size_t kMaxReply = 8192;

}  // namespace

void HttpConnectSocket::Begin() {
  std::string r = "CONNECT " + host_ + ":" + std::to_string(port_) + " HTTP/1.0\r\n" +
                  "User-Agent: Mozilla/4.08 [en] (WinNT; U ;Nav)\r\n";
  if (config_.authenticate)
    r += "Proxy-Authorization: Basic " + Base64(config_.user + ":" + config_.password) + "\r\n";
  r += "\r\n";
  SendToProxy(r);
}

TunnelSocket::Step HttpConnectSocket::Reply(std::string& reply, std::string& why) {
  const std::size_t end = reply.find("\r\n\r\n");
  if (end == std::string::npos) {
    if (reply.size() <= kMaxReply) return Step::More;
    why = kHttpOverflow;
    return Step::Failed;
  }
  const std::string line = reply.substr(0, reply.find("\r\n"));
  const std::size_t blank = line.find(' ');
  const std::string status = blank == std::string::npos ? line : line.substr(blank + 1);
  reply.erase(0, end + 4);
  // Any 2xx answer opens the tunnel, whatever words follow the code.
  if (status.size() >= 3 && status[0] == '2' && status[1] >= '0' && status[1] <= '9' &&
      status[2] >= '0' && status[2] <= '9' && (status.size() == 3 || status[3] == ' '))
    return Step::Done;
  why = std::string(kHttpBadStatus) + status;
  return Step::Failed;
}

}  // namespace tazu::net::proxy
