// An MSN client on the fake runtime, every event it raises recorded in order
// (texts in UTF-8), and the notification server's end of its connection: the
// canned opener of the MSN tests, benchmarks and fuzz targets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "msn/ClienteMSN.h"
#include "net/testing/FakeRuntime.h"
#include "tests/support/msn/MsnDialect.h"

namespace tazu::test {

class MsnClientRig {
 public:
  static constexpr const char* kLogin = "ana@tazu.test";
  static constexpr const char* kSenha = "segredo";
  static constexpr uint16_t kPorta = 1863;
  // The server's hash in the canned login and the answer it must get.
  static constexpr const char* kHash = "1013928519.693957190";
  static constexpr const char* kRespostaDoHash = "4ec013ce186f22d5ed4c4218e804e206";

  // Server 127.0.0.1:1863. Log lines are recorded only when asked for;
  // benchmarks record nothing.
  explicit MsnClientRig(bool recordEvents = true, bool recordLog = false);

  // Conectar, the second of waiting, and the connection accepted; nothing
  // read yet.
  net::FakePeer& Connect(uint8_t status = 1);
  // Connects and logs in straight to the notification server (no
  // redirection), down to CHG and both LST requests. False (with the
  // reason) when the client strayed from the transcript.
  bool LogIn(uint8_t status = 1, std::string* why = nullptr);

  // Server steps in transcript notation ("S: " optional, one per line) through
  // the dialect, all in one read.
  void ServerSends(std::string_view lines);
  void ServerSendsRaw(std::string_view bytes);
  std::string TakeSent();
  std::vector<std::string> TakeEvents();

  net::FakeRuntime rt;
  msn::TClienteMSN cliente{rt};
  net::FakePeer* ns = nullptr;
  MsnDialect dialect;
  std::vector<std::string> events;
};

// The client's login on the notification server in transcript notation, from
// VER down to CHG `status` (a word: NLN, BSY, ...) and both list requests;
// the server names the user `nick`.
std::string MsnLoginTranscript(std::string_view status = "NLN",
                               std::string_view nick = "Ana%20Lima");

// The events of a client as text, "AoReceberContato(bob@tazu.test, Bob, 1)",
// appended to `events`.
void RecordMsnEvents(msn::TClienteMSN& cliente, std::vector<std::string>& events,
                     bool withLog = false);

}  // namespace tazu::test
