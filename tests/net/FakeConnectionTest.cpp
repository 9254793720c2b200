// The fake sockets and listener: what a protocol test relies on when it plays
// the far end of a connection and could not notice going wrong (when and in
// what order things arrive, what is lost). The rest (addresses, the kernel's
// counts, accepted connections) every tazud and client test runs through.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/testing/FakeRuntime.h"

namespace tazu::net {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Records every callback of a socket, in order.
struct Recorder {
  explicit Recorder(TcpSocket& socket) {
    socket.onConnected = [this] { log.push_back("connected"); };
    socket.onData = [this](std::string_view data) { log.push_back("data " + std::string(data)); };
    socket.onClosed = [this] { log.push_back("closed"); };
    socket.onError = [this](SocketError error, const std::string& message) {
      log.push_back(std::string("error ") + ToString(error) + ": " + message);
    };
  }
  std::vector<std::string> log;
};

class FakeConnectionTest : public ::testing::Test {
 protected:
  FakeRuntime runtime_;
  std::unique_ptr<TcpSocket> socket_ = runtime_.CreateTcpSocket();
  Recorder recorder_{*socket_};
};

TEST_F(FakeConnectionTest, AcceptedConnectionCarriesBytesBothWays) {
  ASSERT_TRUE(socket_->Connect("messenger.example", 1863));
  FakePeer& peer = runtime_.LastPeer();
  EXPECT_EQ(peer.Host(), "messenger.example");
  EXPECT_EQ(peer.Port(), 1863);
  EXPECT_EQ(peer.GetState(), FakePeer::State::Connecting);
  runtime_.RunPending();
  EXPECT_THAT(recorder_.log, IsEmpty());  // nothing until the peer answers
  EXPECT_EQ(socket_->LocalAddress(), "");

  peer.Accept();
  EXPECT_THAT(recorder_.log, IsEmpty());  // the answer travels through the loop
  runtime_.RunPending();
  EXPECT_THAT(recorder_.log, ElementsAre("connected"));
  EXPECT_TRUE(socket_->IsConnected());

  socket_->Send("VER 1\r\n");
  socket_->Send("CVR 2\r\n");
  EXPECT_EQ(peer.Read(), "VER 1\r\nCVR 2\r\n");
  EXPECT_EQ(peer.Take(), "VER 1\r\nCVR 2\r\n");
  EXPECT_EQ(peer.Read(), "");

  peer.Write("one");
  peer.Write("two");
  runtime_.RunPending();
  EXPECT_THAT(recorder_.log, ElementsAre("connected", "data one", "data two"));
}

TEST_F(FakeConnectionTest, PeerCloseAndFailureEndTheConnectionOnce) {
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 5050));
  FakePeer& peer = runtime_.LastPeer();
  peer.Accept();
  peer.Write("last words");
  peer.Close();
  peer.Write("too late");  // dropped: the peer is gone
  peer.Fail(SocketError::ConnectionReset);
  runtime_.RunPending();
  EXPECT_THAT(recorder_.log, ElementsAre("connected", "data last words", "closed"));
  EXPECT_FALSE(socket_->IsConnected());
  EXPECT_FALSE(peer.ClientClosed());

  ASSERT_TRUE(socket_->Connect("10.0.0.1", 5050));
  runtime_.LastPeer().Accept();
  runtime_.LastPeer().Fail(SocketError::ConnectionReset, "reset by peer");
  runtime_.RunPending();
  EXPECT_EQ(recorder_.log.back(), "error connection reset: reset by peer");
}

TEST_F(FakeConnectionTest, LocalCloseIsQuietAndCancelsWhatWasOnItsWay) {
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 5050));
  FakePeer& peer = runtime_.LastPeer();
  peer.Accept();
  runtime_.RunPending();
  peer.Write("in flight");
  peer.Close();
  socket_->Close();
  runtime_.RunPending();
  EXPECT_THAT(recorder_.log, ElementsAre("connected"));
  EXPECT_TRUE(peer.ClientClosed());
  EXPECT_EQ(socket_->LocalPort(), 0);

  // Giving up while connecting drops the answer.
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 5050));
  FakePeer& second = runtime_.LastPeer();
  second.Accept();
  socket_.reset();
  runtime_.RunPending();
  EXPECT_THAT(recorder_.log, ElementsAre("connected"));
  EXPECT_TRUE(second.ClientClosed());
  second.Write("nobody hears this");
  runtime_.RunPending();
}

TEST_F(FakeConnectionTest, ConnectingAgainOpensANewConnection) {
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 1863));
  runtime_.LastPeer().Accept();
  runtime_.RunPending();
  ASSERT_TRUE(socket_->Connect("10.0.0.2", 1864));  // a transfer to another server
  ASSERT_EQ(runtime_.PeerCount(), 2u);
  EXPECT_EQ(runtime_.FindPeer("10.0.0.1", 1863), &runtime_.Peer(0));
  EXPECT_EQ(runtime_.FindPeer("10.0.0.2", 1864), &runtime_.Peer(1));
  EXPECT_EQ(runtime_.FindPeer("10.0.0.2", 1863), nullptr);
  EXPECT_TRUE(runtime_.Peer(0).ClientClosed());
  EXPECT_EQ(runtime_.Peer(1).Host(), "10.0.0.2");
  EXPECT_FALSE(socket_->IsConnected());
  runtime_.Peer(0).Write("stale");  // the old server's last bytes
  runtime_.Peer(1).Accept();
  runtime_.RunPending();
  EXPECT_THAT(recorder_.log, ElementsAre("connected", "connected"));
}

TEST_F(FakeConnectionTest, RefusedAndFailedConnections) {
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 23));
  runtime_.LastPeer().Refuse(SocketError::ConnectionRefused);
  runtime_.RunPending();
  EXPECT_THAT(recorder_.log, ElementsAre("error connection refused: connection refused"));
  EXPECT_FALSE(socket_->IsConnected());
  socket_->Send("lost");
  EXPECT_EQ(runtime_.LastPeer().Read(), "");
  recorder_.log.clear();

  runtime_.FailNextConnect(SocketError::ConnectionRefused);
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 81));
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 81));  // only the next one
  runtime_.RunPending();
  EXPECT_THAT(recorder_.log, IsEmpty());  // the first attempt was abandoned unheard
  EXPECT_TRUE(runtime_.Peer(runtime_.PeerCount() - 2).ClientClosed());

  EXPECT_FALSE(socket_->Connect("", 81));
  EXPECT_FALSE(socket_->Connect("10.0.0.1", 0));
}

TEST_F(FakeConnectionTest, MisplayedPeerIsATestBug) {
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 5050));
  FakePeer& peer = runtime_.LastPeer();
  EXPECT_THROW(peer.Write("early"), std::logic_error);
  EXPECT_THROW(peer.Close(), std::logic_error);
  peer.Accept();
  EXPECT_THROW(peer.Accept(), std::logic_error);
  EXPECT_THROW(peer.Refuse(), std::logic_error);
  EXPECT_THROW(FakeRuntime().LastPeer(), std::logic_error);
}

TEST_F(FakeConnectionTest, NoCallbackFromInsideTheProductsOwnCalls) {
  // A peer that answers the moment the client sends, as a scripted server does.
  ASSERT_TRUE(socket_->Connect("10.0.0.1", 5050));
  FakePeer& peer = runtime_.LastPeer();
  peer.onClientData = [&] { peer.Write("echo " + peer.Take()); };
  bool inside = false;
  int calls = 0;
  socket_->onConnected = [&] {
    inside = true;
    socket_->Send("hi");
    inside = false;
  };
  socket_->onData = [&](std::string_view) {
    EXPECT_FALSE(inside);
    ++calls;
  };
  peer.Accept();
  runtime_.RunPending();
  EXPECT_EQ(calls, 1);
}

TEST_F(FakeConnectionTest, ListenerTakesAFreePortOnlyOnce) {
  auto listener = runtime_.CreateTcpListener();
  std::string error;
  ASSERT_TRUE(listener->Listen("", 0, &error)) << error;
  const uint16_t port = listener->Port();
  ASSERT_NE(port, 0);
  EXPECT_TRUE(runtime_.IsListening(port));
  EXPECT_FALSE(runtime_.CreateTcpListener()->Listen("", port, &error));
  EXPECT_EQ(error, "address already in use");
}

TEST_F(FakeConnectionTest, DialsAfterTheListenerClosedGoNowhere) {
  auto listener = runtime_.CreateTcpListener();
  ASSERT_TRUE(listener->Listen("127.0.0.1", 6000));
  int accepted = 0;
  listener->onAccept = [&](std::unique_ptr<TcpSocket>) { ++accepted; };
  FakePeer& late = runtime_.Dial(6000, "127.0.0.1");
  listener->Close();
  EXPECT_EQ(listener->Port(), 0);
  runtime_.RunPending();
  EXPECT_EQ(accepted, 0);
  EXPECT_TRUE(late.ClientClosed());
  EXPECT_THROW(runtime_.Dial(6000), std::logic_error);

  // An unclaimed connection (no onAccept) closes at once.
  ASSERT_TRUE(listener->Listen("0.0.0.0", 6000));
  listener->onAccept = nullptr;
  FakePeer& unclaimed = runtime_.Dial(6000, "127.0.0.1");
  runtime_.RunPending();
  EXPECT_TRUE(unclaimed.ClientClosed());
}

}  // namespace
}  // namespace tazu::net
