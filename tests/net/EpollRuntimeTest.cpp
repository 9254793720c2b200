// The epoll runtime on real sockets over 127.0.0.1: what its sockets say of
// the bytes they were given, and the loop's posted tasks.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/epoll/EpollRuntime.h"

namespace tazu::net {
namespace {

bool RunUntil(EpollRuntime& rt, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    rt.RunOnce(Milliseconds(5));
  }
  return true;
}

// A client on a plain socket with a small receive buffer, which reads only
// when told.
int Dial(uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  const int buffer = 4096;
  setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
  EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  return fd;
}

TEST(EpollRuntimeTest, SocketCountsFollowTheKernelAndOutliveAReset) {
  EpollRuntime rt;
  auto listener = rt.CreateTcpListener();
  std::unique_ptr<TcpSocket> server;
  listener->onAccept = [&](std::unique_ptr<TcpSocket> s) { server = std::move(s); };
  ASSERT_TRUE(listener->Listen("127.0.0.1", 0));
  const int client = Dial(listener->Port());
  ASSERT_TRUE(RunUntil(rt, [&] { return server != nullptr; }));
  bool reset = false;
  server->onError = [&](SocketError, const std::string&) { reset = true; };

  // The client reads nothing: the kernel takes what fits, the socket keeps
  // the rest, and what the kernel took waits for the client's window.
  const std::string chunk(64 * 1024, 'x');
  uint64_t given = 0;
  for (int i = 0; i < 1000 && server->BytesQueued() == 0; ++i) {
    server->Send(chunk);
    given += chunk.size();
  }
  ASSERT_GT(server->BytesQueued(), 0u) << "the kernel never filled up";
  EXPECT_EQ(server->BytesTaken() + server->BytesQueued(), given);
  const uint64_t acknowledged = server->BytesAcknowledged();
  EXPECT_GT(server->BytesUnacknowledged(), 0u);
  EXPECT_LE(server->BytesUnacknowledged(), server->BytesTaken());

  // What the client reads makes room, and its TCP acknowledges more.
  std::vector<char> buffer(256 * 1024);
  ASSERT_GT(recv(client, buffer.data(), buffer.size(), 0), 0);
  EXPECT_TRUE(RunUntil(rt, [&] { return server->BytesAcknowledged() > acknowledged; }));

  // A reset loses what was not acknowledged; the socket still tells how much.
  const linger now{1, 0};
  setsockopt(client, SOL_SOCKET, SO_LINGER, &now, sizeof now);
  close(client);
  ASSERT_TRUE(RunUntil(rt, [&] { return reset; }));
  EXPECT_GT(server->BytesUnacknowledged(), 0u);
  EXPECT_EQ(server->BytesQueued(), 0u) << "a closed socket keeps nothing queued";
}

// Tasks posted on the loop's thread run before it waits again, without a
// wake-up of their own; one posted from another thread still wakes it. The
// bound only tells a wake-up from a loop that slept its whole timeout.
TEST(EpollRuntimeTest, PostsRunWithoutWaitingOutTheTimeout) {
  EpollRuntime rt;
  std::vector<int> done;
  rt.Post([&] {
    done.push_back(1);
    rt.Post([&] { done.push_back(2); });
  });
  auto start = std::chrono::steady_clock::now();
  rt.RunOnce(Milliseconds(10000));
  EXPECT_THAT(done, ::testing::ElementsAre(1, 2));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  std::thread other([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    rt.Post([&] { done.push_back(3); });
  });
  start = std::chrono::steady_clock::now();
  rt.RunOnce(Milliseconds(10000));
  other.join();
  EXPECT_THAT(done, ::testing::ElementsAre(1, 2, 3));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace tazu::net
