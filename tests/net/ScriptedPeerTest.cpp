// The shared test helpers: other folders trust their verdicts, so their
// failures are tested too.
#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/testing/FakeRuntime.h"
#include "tests/support/HexDump.h"
#include "tests/support/ScriptedPeer.h"

namespace tazu::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(HexDump, RowsOfSixteenWithPrintableText) {
  EXPECT_EQ(HexDump("VER 1\r\n"),
            "0000  56 45 52 20 31 0d 0a                              VER 1..\n");
  EXPECT_EQ(HexDump(std::string(17, '\xE9')),
            "0000  e9 e9 e9 e9 e9 e9 e9 e9  e9 e9 e9 e9 e9 e9 e9 e9  ................\n"
            "0010  e9                                                .\n");
  EXPECT_EQ(HexDump(""), "(no bytes)\n");
}

TEST(HexDump, DifferenceNamesTheFirstOffsetAndShowsBoth) {
  EXPECT_EQ(DescribeByteDifference("same", "same"), "");
  const std::string text = DescribeByteDifference("ABCD", "ABxD");
  EXPECT_THAT(text, HasSubstr("first difference at offset 2"));
  EXPECT_THAT(text, HasSubstr("41 42 43 44"));
  EXPECT_THAT(text, HasSubstr("41 42 78 44"));
  EXPECT_THAT(DescribeByteDifference("AB", "ABC"), HasSubstr("offset 2"));
  EXPECT_FALSE(SameBytes("a\r\n", "a\n"));
  EXPECT_THAT(std::string("a\n"), Not(BytesEq(std::string("a\r\n"))));
}

class ScriptedPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    socket_ = runtime_.CreateTcpSocket();
    socket_->onData = [this](std::string_view data) { received_ += data; };
    socket_->onClosed = [this] { closed_ = true; };
    ASSERT_TRUE(socket_->Connect("10.0.0.1", 1863));
  }

  // Runs `play` and returns the failures it reported, instead of failing.
  template <typename Play>
  std::vector<std::string> FailuresOf(Play play) {
    ::testing::TestPartResultArray results;
    {
      ::testing::ScopedFakeTestPartResultReporter reporter(
          ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
      play();
    }
    std::vector<std::string> messages;
    for (int i = 0; i < results.size(); ++i)
      messages.emplace_back(results.GetTestPartResult(i).message());
    return messages;
  }

  net::FakeRuntime runtime_;
  std::unique_ptr<net::TcpSocket> socket_;
  std::string received_;
  bool closed_ = false;
};

TEST_F(ScriptedPeerTest, PlaysTheServerSideAsTheClientKeepsToTheScript) {
  ScriptedPeer script(R"(
    # greeting first, then one exchange
    S: HELLO
    C: LOGIN ana
    S: OK
    S: NEWS 2
    C: BYE
    S! close
  )");
  script.PlayOver(runtime_.LastPeer());
  runtime_.RunPending();
  EXPECT_EQ(received_, "HELLO\r\n");
  EXPECT_FALSE(script.Finished());

  socket_->Send("LOGIN");  // in pieces: the script waits for the rest
  socket_->Send(" ana\r\n");
  runtime_.RunPending();
  EXPECT_EQ(received_, "HELLO\r\nOK\r\nNEWS 2\r\n");

  socket_->Send("BYE\r\n");
  runtime_.RunPending();
  EXPECT_TRUE(closed_);
  EXPECT_TRUE(script.Finished());
}

TEST_F(ScriptedPeerTest, EscapesAndLineEndGiveExactBytes) {
  ScriptedPeer script(R"(
    C: \x59MSG\x00\x01\c
    S: caf\xE9 \\ \t\r\n\c
    S: last
  )",
                      "|");
  script.PlayOver(runtime_.LastPeer());
  runtime_.RunPending();
  socket_->Send(std::string("YMSG\x00\x01", 6));
  runtime_.RunPending();
  EXPECT_TRUE(SameBytes("caf\xE9 \\ \t\r\nlast|", received_));
  EXPECT_TRUE(script.Finished());
}

TEST_F(ScriptedPeerTest, OtherBytesFailTheTestWithAHexDump) {
  ScriptedPeer script("C: VER 1 MSNP7\nS: VER 1 MSNP7\n");
  script.PlayOver(runtime_.LastPeer());
  runtime_.RunPending();
  const auto failures = FailuresOf([&] {
    socket_->Send("VER 1 MSNP8\r\n");
    runtime_.RunPending();
  });
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_THAT(failures[0], HasSubstr("transcript line 1: C: VER 1 MSNP7"));
  EXPECT_THAT(failures[0], HasSubstr("first difference at offset 10"));
  EXPECT_THAT(failures[0], HasSubstr("4e 50 38 0d 0a"));
  EXPECT_TRUE(script.Failed());
  EXPECT_EQ(received_, "");  // a failed script stops answering
  EXPECT_THAT(std::string(script.Finished().message()), HasSubstr("MSNP8"));
}

TEST_F(ScriptedPeerTest, MismatchIsSeenBeforeTheWholeLineArrives) {
  ScriptedPeer script("C: USR 1 MD5 I ana\n");
  script.PlayOver(runtime_.LastPeer());
  runtime_.RunPending();
  const auto failures = FailuresOf([&] { socket_->Send("USR 2"); });
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_THAT(failures[0], HasSubstr("offset 4"));
}

TEST_F(ScriptedPeerTest, BytesBeyondTheTranscriptFail) {
  ScriptedPeer script("C: PNG\n");
  script.PlayOver(runtime_.LastPeer());
  runtime_.RunPending();
  const auto failures = FailuresOf([&] { socket_->Send("PNG\r\nPNG\r\n"); });
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_THAT(failures[0], HasSubstr("after the transcript ended"));
}

TEST_F(ScriptedPeerTest, BytesSentBeforeTheScriptCameInCount) {
  ScriptedPeer script("C: EARLY\nS: SEEN\n");
  runtime_.LastPeer().Accept();
  runtime_.RunPending();
  socket_->Send("EARLY\r\n");
  script.PlayOver(runtime_.LastPeer());
  runtime_.RunPending();
  EXPECT_EQ(received_, "SEEN\r\n");
  EXPECT_TRUE(script.Finished());
}

TEST_F(ScriptedPeerTest, UnfinishedConversationSaysWhereItStopped) {
  ScriptedPeer script("S: HI\nC: QUIT\nC! close\n");
  script.PlayOver(runtime_.LastPeer());
  runtime_.RunPending();
  const auto waiting = script.Finished();
  EXPECT_FALSE(waiting);
  EXPECT_THAT(std::string(waiting.message()), HasSubstr("transcript line 2: C: QUIT"));
  socket_->Send("QUIT\r\n");
  EXPECT_THAT(std::string(script.Finished().message()), HasSubstr("line 3: C! close"));
  socket_->Close();
  EXPECT_TRUE(script.Finished());
}

TEST(ScriptedPeerParsing, MalformedTranscriptsAreRefused) {
  EXPECT_THROW(ScriptedPeer("X: what"), std::invalid_argument);
  EXPECT_THROW(ScriptedPeer("C: bad \\q escape"), std::invalid_argument);
  EXPECT_THROW(ScriptedPeer("C: half \\x4"), std::invalid_argument);
  EXPECT_THROW(ScriptedPeer("C: \\c in the middle"), std::invalid_argument);
  EXPECT_THROW(ScriptedPeer("C! close\nS: after"), std::invalid_argument);
  EXPECT_THROW(ScriptedPeer("C: \\c"), std::invalid_argument);
  EXPECT_NO_THROW(ScriptedPeer("C:\n# only a line end\n"));
}

}  // namespace
}  // namespace tazu::test
