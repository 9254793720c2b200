// Line mode lives in TcpSocket itself; the fake runtime lets a test choose
// exactly how the stream is cut into reads.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/testing/FakeRuntime.h"

namespace tazu::net {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class LineModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    socket_ = runtime_.CreateTcpSocket();
    socket_->SetLineMode(true);
    socket_->onData = [this](std::string_view data) { received_.emplace_back(data); };
    socket_->onError = [this](SocketError error, const std::string&) { errors_.push_back(error); };
    socket_->onClosed = [this] { ++closed_; };
    ASSERT_TRUE(socket_->Connect("10.0.0.1", 1863));
    runtime_.LastPeer().Accept();
    runtime_.RunPending();
  }

  // Each chunk is one read on the client's side.
  void Feed(const std::vector<std::string>& chunks) {
    for (const auto& chunk : chunks) runtime_.LastPeer().Write(chunk);
    runtime_.RunPending();
  }

  std::vector<std::string> TakeReceived() { return std::exchange(received_, {}); }

  FakeRuntime runtime_;
  std::unique_ptr<TcpSocket> socket_;
  std::vector<std::string> received_;
  std::vector<SocketError> errors_;
  int closed_ = 0;
};

TEST_F(LineModeTest, LinesComeOutWholeHoweverTheStreamIsCut) {
  const std::string stream = "VER 1 MSNP7\r\n\r\nCHG 2 NLN\r\nOUT\r\n";
  const std::vector<std::string> lines = {"VER 1 MSNP7", "", "CHG 2 NLN", "OUT"};
  // Every single cut, then every pair of cuts (three reads).
  for (std::size_t a = 0; a <= stream.size(); ++a) {
    Feed({stream.substr(0, a), stream.substr(a)});
    ASSERT_EQ(TakeReceived(), lines) << "cut at " << a;
    for (std::size_t b = a; b <= stream.size(); ++b) {
      Feed({stream.substr(0, a), stream.substr(a, b - a), stream.substr(b)});
      ASSERT_EQ(TakeReceived(), lines) << "cuts at " << a << " and " << b;
    }
  }
  std::vector<std::string> bytes;
  for (const char c : stream) bytes.emplace_back(1, c);
  Feed(bytes);
  EXPECT_EQ(TakeReceived(), lines);
}

TEST_F(LineModeTest, LineEndIsSettable) {
  socket_->SetLineEnd("\n");
  Feed({"one\ntwo\r\n"});
  EXPECT_THAT(TakeReceived(), ElementsAre("one", "two\r"));
  socket_->SetLineEnd("");  // refused: a stream cannot be cut at nothing
  EXPECT_EQ(socket_->LineEnd(), "\n");

  // A line end that can overlap itself, cut at every place.
  socket_->SetLineEnd("\r\n\r\n");
  const std::string stream = "GET / HTTP/1.0\r\nHost: x\r\n\r\n\r\n\r\nz\r\n\r\r\n\r\n";
  for (std::size_t a = 0; a <= stream.size(); ++a) {
    Feed({stream.substr(0, a), stream.substr(a)});
    ASSERT_THAT(TakeReceived(), ElementsAre("GET / HTTP/1.0\r\nHost: x", "", "z\r\n\r"))
        << "cut at " << a;
  }
}

TEST_F(LineModeTest, ChangingTheLineEndAppliesToTheWaitingLine) {
  // The waiting line was searched for the old end only; the new one may
  // already be inside it.
  Feed({"abc\ndef"});
  EXPECT_THAT(TakeReceived(), IsEmpty());
  socket_->SetLineEnd("\n");
  Feed({"\n"});
  EXPECT_THAT(TakeReceived(), ElementsAre("abc", "def"));
}

TEST_F(LineModeTest, OnlyTheUnfinishedLineIsLimitedAndPastItTheConnectionFails) {
  socket_->SetMaxLineLength(8);
  Feed({"a long line that came whole\r\n12345678"});  // at the limit: still waiting
  EXPECT_THAT(TakeReceived(), ElementsAre("a long line that came whole"));
  EXPECT_TRUE(socket_->IsConnected());
  EXPECT_THAT(errors_, IsEmpty());
  Feed({"9", "\r\nnever\r\n"});
  EXPECT_THAT(errors_, ElementsAre(SocketError::LineTooLong));
  EXPECT_EQ(closed_, 0);
  EXPECT_FALSE(socket_->IsConnected());
  EXPECT_TRUE(runtime_.LastPeer().ClientClosed());
  EXPECT_THAT(TakeReceived(), IsEmpty());
}

TEST_F(LineModeTest, BlockAnnouncedByALineThenLinesAgain) {
  // MSN's MSG carries a payload of announced length with line ends inside.
  socket_->onData = [this](std::string_view data) {
    received_.emplace_back(data);
    if (data.substr(0, 4) == "MSG ") socket_->ReadBlock(std::stoul(std::string(data.substr(4))));
  };
  const std::string stream = "MSG 10\r\nA: b\r\n\r\nhiMSG 0\r\nNLN x\r\n";
  for (std::size_t a = 0; a <= stream.size(); ++a) {
    Feed({stream.substr(0, a), stream.substr(a)});
    ASSERT_THAT(TakeReceived(), ElementsAre("MSG 10", "A: b\r\n\r\nhi", "MSG 0", "NLN x"))
        << "cut at " << a;
  }
}

TEST_F(LineModeTest, BlocksWorkInRawModeToo) {
  socket_->SetLineMode(false);
  socket_->ReadBlock(5);
  Feed({"ab", "cdefg"});
  // The block, then the rest raw as it came.
  EXPECT_THAT(TakeReceived(), ElementsAre("abcde", "fg"));
}

TEST_F(LineModeTest, LeavingLineModeInsideOnDataHandsTheRestRaw) {
  socket_->onData = [this](std::string_view data) {
    received_.emplace_back(data);
    if (data == "RAW") socket_->SetLineMode(false);
  };
  Feed({"A\r\nRAW\r\nB\r\nC"});
  EXPECT_THAT(TakeReceived(), ElementsAre("A", "RAW", "B\r\nC"));
  Feed({"D\r\n"});
  EXPECT_THAT(TakeReceived(), ElementsAre("D\r\n"));
  socket_->SetLineMode(true);
  Feed({"E\r\nF"});
  EXPECT_THAT(TakeReceived(), ElementsAre("E"));
}

TEST_F(LineModeTest, LeavingLineModeOutsideOnDataHandsOverTheUnfinishedLine) {
  Feed({"A\r\npart"});
  EXPECT_THAT(TakeReceived(), ElementsAre("A"));
  socket_->SetLineMode(false);
  EXPECT_THAT(TakeReceived(), ElementsAre("part"));
  Feed({"x\r\n"});
  EXPECT_THAT(TakeReceived(), ElementsAre("x\r\n"));
}

TEST_F(LineModeTest, ClosingDropsTheUnfinishedLine) {
  Feed({"half a li"});
  socket_->Close();
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 1863));
  runtime_.LastPeer().Accept();
  Feed({"ne\r\n"});
  EXPECT_THAT(TakeReceived(), ElementsAre("ne"));
}

// The handler captures a string by value and reads it after the socket is gone:
// if the socket called its own onData rather than a copy, that read would be a
// use after free (ASan builds catch it).
TEST_F(LineModeTest, HandlerMayDestroyTheSocketWhileLinesAreQueued) {
  const std::string marker(64, 'm');
  for (const bool split : {false, true}) {
    SetUp();
    std::vector<std::string> seen;
    socket_->onData = [this, marker, &seen](std::string_view line) {
      seen.emplace_back(line);
      if (line == "B") socket_.reset();
      seen.back() += marker.substr(0, 1);
    };
    if (split) {
      Feed({"A\r\nB", "\r\nC\r\nD\r\n"});  // B completes a waiting line
    } else {
      Feed({"A\r\nB\r\nC\r\nD\r\n"});
    }
    EXPECT_THAT(seen, ElementsAre("Am", "Bm"));
    EXPECT_TRUE(runtime_.LastPeer().ClientClosed());
  }
}

TEST_F(LineModeTest, HandlerMayCloseTheSocketWhileLinesAreQueued) {
  socket_->onData = [this](std::string_view line) {
    received_.emplace_back(line);
    socket_->Close();
  };
  Feed({"A\r\nB\r\n"});
  EXPECT_THAT(TakeReceived(), ElementsAre("A"));
  EXPECT_EQ(closed_, 0);
  EXPECT_THAT(errors_, IsEmpty());
}

TEST_F(LineModeTest, HandlerMayDestroyTheSocketInsideABlock) {
  socket_->onData = [this](std::string_view data) {
    received_.emplace_back(data);
    if (data == "MSG") socket_->ReadBlock(3);
    if (data == "abc") socket_.reset();
  };
  Feed({"MSG\r\nab", "c\r\nnext\r\n"});
  EXPECT_THAT(TakeReceived(), ElementsAre("MSG", "abc"));
}

}  // namespace
}  // namespace tazu::net
