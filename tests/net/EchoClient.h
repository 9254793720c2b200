// A tiny request/response client over a line protocol, shaped like every
// protocol connection of the program: greet on connect, numbered requests with a
// reply deadline, leave with QUIT. It lets one conversation run unchanged on
// the fake runtime and on Qt.
//
//   client: HELO <name>          server: OK <anything>
//   client: ECHO <n> <text>      server: ECHO <n> <text>
//   client: QUIT                 server closes
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/Runtime.h"

namespace tazu::test {

class EchoClient {
 public:
  EchoClient(net::Runtime& runtime, net::Milliseconds replyTimeout);

  void Start(const std::string& host, uint16_t port, const std::string& name);
  // Sent as soon as the server greeted us; before that, queued.
  void Ask(const std::string& text);
  void Quit();

  // What happened, in order: "ready", "reply <n> <text>", "closed", "timeout",
  // "error <reason>", "unexpected <line>".
  std::vector<std::string> events;
  bool Ended() const { return ended_; }

 private:
  void OnLine(std::string_view line);
  void SendRequest(const std::string& text);
  void End(const std::string& event);

  net::Runtime& runtime_;
  net::Milliseconds replyTimeout_;
  std::unique_ptr<net::TcpSocket> socket_;
  std::unique_ptr<net::Timer> deadline_;
  std::string name_;
  bool ready_ = false;
  bool ended_ = false;
  int nextId_ = 1;
  std::deque<std::string> queued_;
  std::map<int, std::string> waiting_;  // request number -> text
};

}  // namespace tazu::test
