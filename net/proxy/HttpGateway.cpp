#include "net/proxy/HttpGateway.h"

#include <cstdio>
#include <utility>

namespace tazu::net::proxy {

namespace {

uint16_t Get16(std::string_view b, std::size_t i) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[i]) << 8 | static_cast<uint8_t>(b[i + 1]));
}

void Put16(std::string& b, uint16_t v) {
  b += static_cast<char>(v >> 8);
  b += static_cast<char>(v);
}

std::string Lower(std::string_view s) {
  std::string l(s);
  for (char& c : l)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return l;
}

// The value of a header, or npos when the headers do not have it.
std::size_t ContentLength(std::string_view headers) {
  const std::string lower = Lower(headers);
  const std::size_t p = lower.find("\r\ncontent-length:");
  if (p == std::string::npos) return std::string::npos;
  std::size_t i = p + 17;
  while (i < lower.size() && lower[i] == ' ') ++i;
  std::size_t n = 0;
  bool digits = false;
  while (i < lower.size() && lower[i] >= '0' && lower[i] <= '9' && n <= gateway::kMaxResponse) {
    n = n * 10 + static_cast<std::size_t>(lower[i++] - '0');
    digits = true;
  }
  return digits ? n : std::string::npos;
}

}  // namespace

std::string gateway::Packet(uint16_t type, std::string_view payload) {
  payload = payload.substr(0, kMaxPayload);
  std::string p;
  Put16(p, static_cast<uint16_t>(12 + payload.size()));
  Put16(p, kVersion);
  Put16(p, type);
  p.append("\0\0\0\0\0\0\0\1", 8);
  p.append(payload);
  return p;
}

HttpGatewaySocket::HttpGatewaySocket(Runtime& runtime, const Config& config)
    : runtime_(runtime), config_(config) {}

HttpGatewaySocket::~HttpGatewaySocket() {
  alive_.End();
}

bool HttpGatewaySocket::Connect(const std::string& host, uint16_t port) {
  Close();
  if (host.empty() || port == 0 || config_.host.empty() || config_.port == 0) return false;
  host_ = host;
  port_ = port;
  const std::string gatewayHost = config_.gatewayHost;
  Start(main_, Request("GET", "http://" + gatewayHost + "/hello", gatewayHost, {}), true);
  return true;
}

void HttpGatewaySocket::Send(std::string_view bytes) {
  if (!established_) return;
  outbox_.append(bytes);
  taken_ += bytes.size();
  Post();
}

void HttpGatewaySocket::Close() {
  main_ = Exchange{};
  data_ = Exchange{};
  session_.clear();
  server_.clear();
  outbox_.clear();
  sequence_ = 0;
  connectSent_ = false;
  established_ = false;
  EndDeliveries();
  alive_.Renew();
}

void HttpGatewaySocket::FailLineTooLong() {
  Fail(SocketError::LineTooLong, "line too long");
}

std::string HttpGatewaySocket::Request(const std::string& method, const std::string& url,
                                       const std::string& host, std::string_view body) const {
  std::string r =
      method + " " + url + " HTTP/1.0\r\n" + "user-agent: Mozilla/4.08 [en] (WinNT; U ;Nav)\r\n";
  if (!body.empty()) r += "content-length: " + std::to_string(body.size()) + "\r\n";
  if (config_.authenticate)
    r += "Proxy-Authorization: Basic " + Base64(config_.user + ":" + config_.password) + "\r\n";
  r += "cache-control: no-store, no-cache\r\nhost: " + host +
       "\r\nconnection: close\r\npragma: no-cache\r\n\r\n";
  r.append(body);
  return r;
}

void HttpGatewaySocket::Start(Exchange& x, const std::string& request, bool monitor) {
  x.socket = runtime_.CreateTcpSocket();
  x.request = request;
  x.response.clear();
  x.busy = true;
  TcpSocket& s = *x.socket;
  s.onConnected = [this, &x] {
    localAddress_ = x.socket->LocalAddress();
    localPort_ = x.socket->LocalPort();
    x.socket->Send(x.request);
  };
  s.onData = [this, &x, monitor](std::string_view data) { OnData(x, data, monitor); };
  s.onClosed = [this, &x, monitor] { OnEnd(x, monitor); };
  s.onError = [this](SocketError error, const std::string& message) { Fail(error, message); };
  if (!s.Connect(config_.host, config_.port)) {
    runtime_.Post([this, alive = alive_.Watch()] {
      if (alive) Fail(SocketError::Other, "Could not connect");
    });
  }
}

HttpGatewaySocket::Outcome HttpGatewaySocket::Parse(Exchange& x, bool closed, std::string& body,
                                                    std::string& why) {
  const std::size_t end = x.response.find("\r\n\r\n");
  if (end == std::string::npos) {
    if (!closed) return Outcome::More;
    why = std::string(kHttpBadStatus) + x.response.substr(0, x.response.find("\r\n"));
    return Outcome::Failed;
  }
  const std::string line = x.response.substr(0, x.response.find("\r\n"));
  const std::size_t blank = line.find(' ');
  const std::string status = blank == std::string::npos ? line : line.substr(blank + 1);
  if (status.compare(0, 3, "200") != 0 || (status.size() > 3 && status[3] != ' ')) {
    why = std::string(kHttpBadStatus) + status;
    return Outcome::Failed;
  }
  const std::size_t length = ContentLength(std::string_view(x.response).substr(0, end + 2));
  const std::size_t have = x.response.size() - end - 4;
  if (length == std::string::npos ? !closed : have < length) return Outcome::More;
  body = x.response.substr(end + 4, length == std::string::npos ? have : length);
  return Outcome::Done;
}

void HttpGatewaySocket::OnData(Exchange& x, std::string_view data, bool monitor) {
  x.response.append(data);
  if (x.response.size() > gateway::kMaxResponse) {
    Fail(SocketError::Other, std::string(kHttpOverflow));
    return;
  }
  std::string body, why;
  const Outcome o = Parse(x, false, body, why);
  if (o == Outcome::Failed) Fail(SocketError::Other, why);
  if (o != Outcome::Done) return;
  x.socket->Close();
  x.busy = false;
  Answered(monitor, body);
}

void HttpGatewaySocket::OnEnd(Exchange& x, bool monitor) {
  std::string body, why;
  const Outcome o = Parse(x, true, body, why);
  if (o != Outcome::Done) {
    Fail(SocketError::Other, why.empty() ? std::string(kGatewayClosed) : why);
    return;
  }
  x.busy = false;
  Answered(monitor, body);
}

void HttpGatewaySocket::Answered(bool monitor, const std::string& body) {
  const Lifetime::Guard alive = alive_.Watch();
  if (!Packets(body) || !alive) return;
  if (monitor) {
    if (session_.empty()) {
      Fail(SocketError::Other, std::string(kGatewayClosed));
      return;
    }
    // A fresh connection for the next poll, once this one's callbacks are over.
    runtime_.Post([this, alive] {
      if (alive) Poll();
    });
    return;
  }
  if (!established_) {
    established_ = true;
    if (const auto connected = onConnected) connected();
    if (!alive) return;
  }
  runtime_.Post([this, alive] {
    if (alive) Post();
  });
}

bool HttpGatewaySocket::Packets(std::string_view body) {
  const Lifetime::Guard alive = alive_.Watch();
  while (body.size() >= 2) {
    const uint16_t length = Get16(body, 0);
    if (length > 8192 || length < 12 || body.size() < 2u + length) break;
    const uint16_t type = Get16(body, 4);
    const std::string payload(body.substr(14, length - 12));
    body.remove_prefix(2u + length);
    if (type == gateway::kHello) {
      Hello(payload);
    } else if (type == gateway::kData && established_) {
      if (!Deliver(payload)) return false;
    } else if (type == gateway::kClose) {
      Fail(SocketError::Other, std::string(kGatewayClosed));
      return false;
    }
    if (!alive) return false;
  }
  return true;
}

void HttpGatewaySocket::Hello(std::string_view payload) {
  if (payload.size() < 18 || connectSent_) return;
  char id[33];
  for (int i = 0; i < 4; ++i) {
    const uint32_t v = uint32_t{Get16(payload, 4u * i)} << 16 | Get16(payload, 4u * i + 2);
    std::snprintf(id + 8 * i, 9, "%08X", v);
  }
  const uint16_t n = Get16(payload, 16);
  if (payload.size() < 18u + n) return;
  session_.assign(id, 32);
  server_ = std::string(payload.substr(18, n));
  sequence_ = 0;
  std::string connect;
  Put16(connect, static_cast<uint16_t>(host_.size()));
  connect += host_;
  Put16(connect, port_);
  connectSent_ = true;
  const std::string url =
      "http://" + server_ + "/data?sid=" + session_ + "&seq=" + std::to_string(++sequence_);
  Start(data_, Request("POST", url, server_, gateway::Packet(gateway::kConnect, connect)), false);
}

void HttpGatewaySocket::Poll() {
  Start(main_, Request("GET", "http://" + server_ + "/monitor?sid=" + session_, server_, {}), true);
}

void HttpGatewaySocket::Post() {
  if (!established_ || data_.busy || outbox_.empty()) return;
  const std::size_t n = std::min(outbox_.size(), gateway::kMaxPayload);
  const std::string packet =
      gateway::Packet(gateway::kData, std::string_view(outbox_).substr(0, n));
  outbox_.erase(0, n);
  const std::string url =
      "http://" + server_ + "/data?sid=" + session_ + "&seq=" + std::to_string(++sequence_);
  Start(data_, Request("POST", url, server_, packet), false);
}

void HttpGatewaySocket::Fail(SocketError error, const std::string& message) {
  Close();
  if (const auto failed = onError) failed(error, message);
}

}  // namespace tazu::net::proxy
