// The Qt runtime on real sockets over 127.0.0.1, driven by a QCoreApplication
// loop that runs until a condition holds or a generous deadline passes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/qt/QtRuntime.h"

namespace tazu::net {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "net_qt_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

// Turns the loop until `done` holds; false when the deadline passed first.
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
  const QDeadlineTimer deadline(limit);
  QTimer wake;  // so a silent loop still comes back to look at the deadline
  wake.start(50);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// Turns the loop for a while, for checking that something does not happen.
void RunFor(std::chrono::milliseconds span) {
  bool over = false;
  QTimer::singleShot(span, [&] { over = true; });
  RunUntil([&] { return over; });
}

struct Recorder {
  explicit Recorder(TcpSocket& socket) {
    socket.onConnected = [this] { log.push_back("connected"); };
    socket.onData = [this](std::string_view data) { log.push_back("data " + std::string(data)); };
    socket.onClosed = [this] { log.push_back("closed"); };
    socket.onError = [this](SocketError error, const std::string&) {
      log.push_back(std::string("error ") + ToString(error));
    };
  }
  std::vector<std::string> log;
};

class QtRuntimeTest : public ::testing::Test {
 protected:
  QtRuntimeTest() { App(); }

  void SetUp() override {
    listener_ = runtime_->CreateTcpListener();
    std::string error;
    ASSERT_TRUE(listener_->Listen("127.0.0.1", 0, &error)) << error;
    listener_->onAccept = [this](std::unique_ptr<TcpSocket> connection) {
      server_.push_back(std::move(connection));
    };
  }

  // A client connected to our listener, with the server's end in server_.
  std::unique_ptr<TcpSocket> ConnectedClient(Recorder*& recorder) {
    auto client = runtime_->CreateTcpSocket();
    recorders_.push_back(std::make_unique<Recorder>(*client));
    recorder = recorders_.back().get();
    EXPECT_TRUE(client->Connect("127.0.0.1", listener_->Port()));
    const std::size_t before = server_.size();
    EXPECT_TRUE(RunUntil([&] { return !recorder->log.empty() && server_.size() > before; }));
    return client;
  }

  std::unique_ptr<QtRuntime> runtime_ = std::make_unique<QtRuntime>();
  std::unique_ptr<TcpListener> listener_;
  std::vector<std::unique_ptr<TcpSocket>> server_;
  std::vector<std::unique_ptr<Recorder>> recorders_;
};

TEST_F(QtRuntimeTest, ConnectedSocketsKnowTheirAddresses) {
  Recorder* recorder = nullptr;
  auto client = ConnectedClient(recorder);
  ASSERT_THAT(recorder->log, ElementsAre("connected"));
  EXPECT_TRUE(client->IsConnected());
  EXPECT_EQ(client->LocalAddress(), "127.0.0.1");
  EXPECT_EQ(client->PeerAddress(), "127.0.0.1");
  EXPECT_EQ(client->PeerPort(), listener_->Port());
  ASSERT_EQ(server_.size(), 1u);
  EXPECT_TRUE(server_[0]->IsConnected());
  EXPECT_EQ(server_[0]->PeerPort(), client->LocalPort());
  EXPECT_EQ(server_[0]->LocalPort(), listener_->Port());
}

TEST_F(QtRuntimeTest, SentBytesAreCountedUntilThePeerAcknowledgesThem) {
  Recorder* recorder = nullptr;
  auto client = ConnectedClient(recorder);
  client->Send("hello");
  EXPECT_EQ(client->BytesAcknowledged() + client->BytesUnacknowledged() + client->BytesQueued(),
            5u);
  ASSERT_TRUE(RunUntil([&] { return client->BytesAcknowledged() == 5; }));
  EXPECT_EQ(client->BytesQueued(), 0u);
}

TEST_F(QtRuntimeTest, LocalCloseRaisesNoCallback) {
  Recorder* recorder = nullptr;
  auto client = ConnectedClient(recorder);
  ASSERT_EQ(server_.size(), 1u);
  std::string serverSaw;
  server_[0]->onData = [&](std::string_view data) { serverSaw += data; };
  server_[0]->onClosed = [&] { serverSaw += "|closed"; };
  client->Send("bye");
  client->Close();  // the last bytes still go out
  EXPECT_FALSE(client->IsConnected());
  EXPECT_EQ(client->LocalPort(), 0);
  ASSERT_TRUE(RunUntil([&] { return serverSaw.find("closed") != std::string::npos; }));
  EXPECT_EQ(serverSaw, "bye|closed");
  RunFor(20ms);
  EXPECT_THAT(recorder->log, ElementsAre("connected"));
}

TEST_F(QtRuntimeTest, ListenerMayBeDestroyedFromOnAccept) {
  listener_->onAccept = [this](std::unique_ptr<TcpSocket> connection) {
    server_.push_back(std::move(connection));
    listener_.reset();
  };
  Recorder* recorder = nullptr;
  auto client = ConnectedClient(recorder);
  EXPECT_EQ(listener_, nullptr);
  ASSERT_EQ(server_.size(), 1u);
  server_[0]->Send("still here");
  ASSERT_TRUE(RunUntil([&] { return recorder->log.size() == 2; }));
  EXPECT_EQ(recorder->log.back(), "data still here");
}

TEST_F(QtRuntimeTest, RefusedConnection) {
  // A port that was just ours and is closed now.
  auto probe = runtime_->CreateTcpListener();
  ASSERT_TRUE(probe->Listen("127.0.0.1", 0));
  const uint16_t port = probe->Port();
  probe->Close();

  auto client = runtime_->CreateTcpSocket();
  Recorder recorder(*client);
  bool insideConnect = true;
  client->onError = [&](SocketError error, const std::string& message) {
    EXPECT_FALSE(insideConnect);
    EXPECT_FALSE(message.empty());
    recorder.log.push_back(std::string("error ") + ToString(error));
  };
  ASSERT_TRUE(client->Connect("127.0.0.1", port));
  insideConnect = false;
  ASSERT_TRUE(RunUntil([&] { return !recorder.log.empty(); }));
  EXPECT_THAT(recorder.log, ElementsAre("error connection refused"));
  EXPECT_FALSE(client->IsConnected());
  EXPECT_FALSE(client->Connect("", port));
  EXPECT_FALSE(client->Connect("127.0.0.1", 0));
}

TEST_F(QtRuntimeTest, LinesAndTheirLimitOverRealReads) {
  Recorder* recorder = nullptr;
  auto client = ConnectedClient(recorder);
  ASSERT_EQ(server_.size(), 1u);
  client->SetLineMode(true);
  client->SetMaxLineLength(64);
  server_[0]->Send("one\r\ntw");
  server_[0]->Send("o\r\n");
  ASSERT_TRUE(RunUntil([&] { return recorder->log.size() >= 3; }));
  EXPECT_THAT(recorder->log, ElementsAre("connected", "data one", "data two"));
  server_[0]->Send(std::string(100, 'x'));
  ASSERT_TRUE(RunUntil([&] { return recorder->log.size() >= 4; }));
  EXPECT_EQ(recorder->log.back(), "error line too long");
  EXPECT_FALSE(client->IsConnected());
}

TEST_F(QtRuntimeTest, HandlerMayDestroyTheSocketWhileLinesAreQueued) {
  Recorder* recorder = nullptr;
  auto client = ConnectedClient(recorder);
  ASSERT_EQ(server_.size(), 1u);
  client->SetLineMode(true);
  std::vector<std::string> lines;
  const std::string marker(64, 'm');
  client->onData = [&, marker](std::string_view line) {
    lines.emplace_back(line);
    if (line == "B") client.reset();
    lines.back() += marker.substr(0, 1);
  };
  server_[0]->Send("A\r\nB\r\nC\r\n");
  ASSERT_TRUE(RunUntil([&] { return client == nullptr; }));
  RunFor(50ms);
  EXPECT_THAT(lines, ElementsAre("Am", "Bm"));
}

TEST_F(QtRuntimeTest, TimersAndPostedTasksRunOnTheLoop) {
  std::vector<std::string> log;
  auto repeating = runtime_->CreateTimer();
  auto once = runtime_->CreateTimer();
  int ticks = 0;
  repeating->onTimeout = [&] {
    if (++ticks == 3) repeating->Stop();
  };
  once->onTimeout = [&] {
    log.push_back("once");
    EXPECT_FALSE(once->IsActive());
  };
  const TimePoint start = runtime_->Now();
  once->Start(30ms, false);
  repeating->Start(10ms);
  runtime_->Post([&] { log.push_back("first"); });
  runtime_->Post([&] { log.push_back("second"); });
  EXPECT_THAT(log, IsEmpty());
  ASSERT_TRUE(RunUntil([&] { return ticks == 3 && log.size() == 3; }));
  EXPECT_THAT(log, ElementsAre("first", "second", "once"));
  EXPECT_GE(runtime_->Now() - start, 30ms);
  EXPECT_FALSE(repeating->IsActive());
  RunFor(50ms);
  EXPECT_EQ(ticks, 3);
}

TEST_F(QtRuntimeTest, TimerMayDestroyItselfFromItsCallback) {
  auto timer = runtime_->CreateTimer();
  bool fired = false;
  timer->onTimeout = [&] {
    timer.reset();
    fired = true;
  };
  timer->Start(1ms);
  ASSERT_TRUE(RunUntil([&] { return fired; }));
  RunFor(20ms);
}

TEST_F(QtRuntimeTest, ListenerClosesAndReportsItsPort) {
  EXPECT_NE(listener_->Port(), 0);
  std::string error;
  auto second = runtime_->CreateTcpListener();
  EXPECT_FALSE(second->Listen("127.0.0.1", listener_->Port(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(second->Listen("not-an-address", 0, &error));
  listener_->Close();
  EXPECT_EQ(listener_->Port(), 0);
}

}  // namespace
}  // namespace tazu::net
