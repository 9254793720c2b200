// A small line protocol end to end on the fake runtime: the client under test
// against a scripted server, including the failures a real server would cause.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "net/testing/FakeRuntime.h"
#include "tests/net/EchoConversation.h"
#include "tests/support/ScriptedPeer.h"

namespace tazu::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TEST(LineProtocol, ConversationOnTheFakeRuntime) {
  net::FakeRuntime runtime;
  ScriptedPeer server(kEchoTranscript);
  EchoClient client(runtime, 5s);
  for (const char* text : kEchoQuestions) client.Ask(text);
  client.Start("echo.example", 7007, "ana");
  server.PlayOver(runtime.LastPeer());
  runtime.RunPending();
  EXPECT_THAT(client.events, ElementsAreArray(kEchoAnswers));
  client.Quit();
  runtime.RunPending();
  EXPECT_TRUE(server.Finished());
  EXPECT_EQ(client.events.back(), "closed");
  EXPECT_EQ(runtime.LastPeer().Host(), "echo.example");
}

TEST(LineProtocol, SilentServerRunsIntoTheReplyDeadline) {
  net::FakeRuntime runtime;
  ScriptedPeer server("C: HELO ana\nS: OK hi\nC: ECHO 1 anyone?\n");
  EchoClient client(runtime, 5s);
  client.Start("echo.example", 7007, "ana");
  server.PlayOver(runtime.LastPeer());
  client.Ask("anyone?");
  runtime.RunPending();
  runtime.Advance(4999ms);
  EXPECT_THAT(client.events, ElementsAre("ready"));
  runtime.Advance(1ms);
  EXPECT_THAT(client.events, ElementsAre("ready", "timeout"));
  EXPECT_TRUE(runtime.LastPeer().ClientClosed());
  EXPECT_TRUE(server.Finished());
}

TEST(LineProtocol, UnreachableServer) {
  net::FakeRuntime runtime;
  runtime.FailConnectsTo("echo.example", 7007, net::SocketError::ConnectionRefused);
  EchoClient client(runtime, 5s);
  client.Start("echo.example", 7007, "ana");
  runtime.RunPending();
  EXPECT_THAT(client.events, ElementsAre("error connection refused"));
  EXPECT_EQ(runtime.ActiveTimers(), 0u);
}

TEST(LineProtocol, ServerHangsUpMidConversation) {
  net::FakeRuntime runtime;
  ScriptedPeer server("C: HELO ana\nS: OK hi\nC: ECHO 1 x\nS: ECHO 1 \\c\nS! close\n");
  EchoClient client(runtime, 5s);
  client.Ask("x");
  client.Start("echo.example", 7007, "ana");
  server.PlayOver(runtime.LastPeer());
  runtime.RunPending();
  // The half line the server left behind is never taken for an answer.
  EXPECT_THAT(client.events, ElementsAre("ready", "closed"));
  EXPECT_TRUE(server.Finished());
  runtime.Advance(10s);
  EXPECT_EQ(client.events.size(), 2u);
}

// The other side of the protocol, to show a server tested on the fake runtime
// with the script playing the client.
class EchoServer {
 public:
  explicit EchoServer(net::Runtime& runtime) : listener_(runtime.CreateTcpListener()) {
    listener_->onAccept = [this](std::unique_ptr<net::TcpSocket> connection) {
      net::TcpSocket* socket = connection.get();
      socket->SetLineMode(true);
      socket->onData = [socket](std::string_view line) {
        if (line.substr(0, 5) == "HELO ") {
          socket->Send("OK welcome, " + std::string(line.substr(5)) + "\r\n");
        } else if (line.substr(0, 5) == "ECHO ") {
          socket->Send(std::string(line) + "\r\n");
        } else if (line == "QUIT") {
          socket->Close();
        } else {
          socket->Send("ERR\r\n");
        }
      };
      connections_.push_back(std::move(connection));
    };
  }

  uint16_t Listen() {
    EXPECT_TRUE(listener_->Listen("", 0));
    return listener_->Port();
  }

 private:
  std::unique_ptr<net::TcpListener> listener_;
  std::vector<std::unique_ptr<net::TcpSocket>> connections_;
};

TEST(LineProtocol, ServerSideOnTheFakeRuntime) {
  net::FakeRuntime runtime;
  EchoServer server(runtime);
  const uint16_t port = server.Listen();
  ScriptedPeer first(R"(
    C: HELO bob
    S: OK welcome, bob
    C: ECHO 7 a\xFF\x00b
    S: ECHO 7 a\xFF\x00b
    C: NOPE
    S: ERR
    C: QUIT
    S! close
  )",
                     "\r\n", ScriptedPeer::Side::kClient);
  ScriptedPeer second("C: HELO eve\nS: OK welcome, eve\n", "\r\n", ScriptedPeer::Side::kClient);
  first.PlayOver(runtime.Dial(port));
  second.PlayOver(runtime.Dial(port));
  runtime.RunPending();
  EXPECT_TRUE(first.Finished());
  EXPECT_TRUE(second.Finished());
}

}  // namespace
}  // namespace tazu::test
