// A small line protocol end to end on the fake runtime: the client under test
// against a scripted server, including the failures a real server would cause.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tazu::test
