#include "net/Runtime.h"

#include <algorithm>
#include <utility>

namespace tazu::net {

int WinsockNumber(SocketError error) {
  switch (error) {
    case SocketError::None: return 0;
    case SocketError::ConnectionRefused: return 10061;
    case SocketError::HostNotFound: return 11001;
    case SocketError::Timeout: return 10060;
    case SocketError::ConnectionReset: return 10054;
    case SocketError::LineTooLong: return 10040;
    case SocketError::Other: break;
  }
  return 10050;  // the network is down: Winsock's catch-all for the rest
}

const char* ToString(SocketError error) {
  switch (error) {
    case SocketError::None:
      return "no error";
    case SocketError::ConnectionRefused:
      return "connection refused";
    case SocketError::HostNotFound:
      return "host not found";
    case SocketError::Timeout:
      return "timed out";
    case SocketError::ConnectionReset:
      return "connection reset";
    case SocketError::LineTooLong:
      return "line too long";
    case SocketError::Other:
      break;
  }
  return "socket error";
}

void TcpSocket::SetLineMode(bool on) {
  if (lineMode_ == on) return;
  lineMode_ = on;
  // Inside a delivery the buffer is empty (Deliver holds it); outside, the
  // unfinished line is now raw data and goes out at once.
  if (!on && block_ == 0 && !buffer_.empty()) Deliver({});
}

void TcpSocket::SetLineEnd(std::string end) {
  if (end.empty()) return;
  lineEnd_ = std::move(end);
  searched_ = 0;
}

void TcpSocket::ReadBlock(std::size_t bytes) {
  block_ = bytes;
  if (!buffer_.empty()) Deliver({});
}

void TcpSocket::EndDeliveries() {
  alive_.Renew();
  buffer_.clear();
  block_ = 0;
  searched_ = 0;
}

bool TcpSocket::Deliver(std::string_view chunk) {
  // A callback may destroy or close the socket; `alive` outlives both.
  const Lifetime::Guard alive = alive_.Watch();
  // Whole lines in this chunk are handed over without copying; only when an
  // unfinished line or block is waiting are the two joined.
  std::string joined;
  std::string_view data = chunk;
  std::size_t searchFrom = 0;
  if (!buffer_.empty()) {
    joined.swap(buffer_);
    searchFrom = std::exchange(searched_, 0);
    joined.append(chunk);
    data = joined;
  }
  std::size_t pos = 0;
  while (pos < data.size()) {
    std::string_view piece;
    if (block_ > 0) {
      if (data.size() - pos < block_) break;
      piece = data.substr(pos, block_);
      pos += block_;
      block_ = 0;
    } else if (lineMode_) {
      const std::size_t end = data.find(lineEnd_, std::max(pos, searchFrom));
      if (end == std::string_view::npos) break;
      piece = data.substr(pos, end - pos);
      pos = end + lineEnd_.size();
    } else {
      piece = data.substr(pos);
      pos = data.size();
    }
    searchFrom = 0;  // the callback may change the line end
    // Through a copy: the handler may destroy the socket, and with it onData.
    if (const auto handler = onData) handler(piece);
    if (!alive) return false;
  }
  if (pos == data.size()) return true;
  buffer_.assign(data.substr(pos));
  if (block_ > 0) return true;
  // An unfinished line: its tail may hold the start of a line end.
  searched_ = buffer_.size() >= lineEnd_.size() ? buffer_.size() - lineEnd_.size() + 1 : 0;
  if (buffer_.size() > maxLine_) {
    buffer_.clear();
    searched_ = 0;
    FailLineTooLong();
    return false;
  }
  return true;
}

}  // namespace tazu::net
