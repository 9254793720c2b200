#include "tests/net/EchoClient.h"

namespace tazu::test {

EchoClient::EchoClient(net::Runtime& runtime, net::Milliseconds replyTimeout)
    : runtime_(runtime), replyTimeout_(replyTimeout), deadline_(runtime.CreateTimer()) {
  deadline_->onTimeout = [this] {
    if (socket_) socket_->Close();
    End("timeout");
  };
}

void EchoClient::Start(const std::string& host, uint16_t port, const std::string& name) {
  name_ = name;
  socket_ = runtime_.CreateTcpSocket();
  socket_->SetLineMode(true);
  socket_->onConnected = [this] {
    socket_->Send("HELO " + name_ + "\r\n");
    deadline_->Start(replyTimeout_, false);
  };
  socket_->onData = [this](std::string_view line) { OnLine(line); };
  socket_->onClosed = [this] { End("closed"); };
  socket_->onError = [this](net::SocketError error, const std::string&) {
    End(std::string("error ") + net::ToString(error));
  };
  if (!socket_->Connect(host, port)) End("error cannot connect");
}

void EchoClient::Ask(const std::string& text) {
  if (ready_) {
    SendRequest(text);
  } else {
    queued_.push_back(text);
  }
}

void EchoClient::Quit() {
  if (socket_ && socket_->IsConnected()) socket_->Send("QUIT\r\n");
}

void EchoClient::SendRequest(const std::string& text) {
  const int id = nextId_++;
  waiting_[id] = text;
  socket_->Send("ECHO " + std::to_string(id) + " " + text + "\r\n");
  if (!deadline_->IsActive()) deadline_->Start(replyTimeout_, false);
}

void EchoClient::OnLine(std::string_view line) {
  if (!ready_ && line.substr(0, 3) == "OK ") {
    ready_ = true;
    deadline_->Stop();
    events.push_back("ready");
    while (!queued_.empty()) {
      SendRequest(queued_.front());
      queued_.pop_front();
    }
    return;
  }
  if (ready_ && line.substr(0, 5) == "ECHO ") {
    const std::string rest(line.substr(5));
    const std::size_t space = rest.find(' ');
    const int id = std::atoi(rest.substr(0, space).c_str());
    const auto request = waiting_.find(id);
    if (request != waiting_.end() && space != std::string::npos &&
        rest.substr(space + 1) == request->second) {
      waiting_.erase(request);
      events.push_back("reply " + rest);
      // Each answer earns the rest a fresh deadline.
      if (waiting_.empty()) {
        deadline_->Stop();
      } else {
        deadline_->Start(replyTimeout_, false);
      }
      return;
    }
  }
  events.push_back("unexpected " + std::string(line));
}

void EchoClient::End(const std::string& event) {
  deadline_->Stop();
  ended_ = true;
  events.push_back(event);
  // The socket is inside its own callback; it goes once that returns.
  runtime_.Post([this] { socket_.reset(); });
}

}  // namespace tazu::test
