// A Tazu client on the fake runtime with the server's end of its connection
// and every event it raises recorded in order: the canned opener of the
// client's tests, benchmarks and fuzz targets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/testing/FakeRuntime.h"
#include "server/UClientePCTazu.h"
#include "tests/support/TazuDialect.h"

namespace tazu::test {

class TazuClientRig {
 public:
  // Server 127.0.0.1:7498, password "segredo". Benchmarks leave the events
  // unrecorded (describing each one costs more than raising it).
  explicit TazuClientRig(bool recordEvents = true);

  // Connects; the far end accepts, and the client sees itself as
  // 127.0.0.1:5555. The events of the connection are left to read.
  net::FakePeer& Connect();
  // Connects and logs in as NIU 1234, "Ana", at the given key; nothing of the
  // login is left unread. False (with the reason) when the client strayed
  // from the login transcript.
  bool LogIn(uint8_t key = 0, std::string* why = nullptr);

  // Tazu lines from the server (transcript notation, one per line, "S: "
  // optional), scrambled as the connection is, all in one read.
  void ServerSends(std::string_view lines);
  // Bytes as they are, in one read.
  void ServerSendsRaw(std::string_view bytes);
  // What the client sent and the test has not taken: raw bytes, or lines
  // unscrambled at the current key.
  std::string TakeSent();
  std::vector<std::string> TakeSentLines();
  std::vector<std::string> TakeEvents();

  net::FakeRuntime rt;
  TClientePCTazu cliente{rt};
  net::FakePeer* peer = nullptr;
  TazuDialect dialect;  // its key follows the connection's
  std::vector<std::string> events;
};

}  // namespace tazu::test
