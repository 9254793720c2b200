// Plays one side of a conversation from a transcript (the server's, unless told
// otherwise), and records where the other side said something else.
//
//   C: VER 1 MSNP7 CVR0        what the client must send
//   C: *                       any one message (the dialect knows where it ends)
//   S: VER 1 MSNP7             what the server answers
//   S! close                   the server closes the connection
//   C! close                   the client must close the connection (last step)
//   # a comment; blank lines are skipped, leading spaces too
//
// The text after "C: " / "S: " becomes bytes through the protocol's dialect
// (Dialect.h): raw bytes with escapes and a line end, Tazu lines with their
// fields and scrambling (TazuDialect.h), and so on.
//
// Our steps are played as soon as the other side's steps before them matched,
// so after the script is attached the loop runs the whole conversation. Playing
// the client turns the roles around: C: lines are sent, S: lines expected, and
// "S! close" is what the server under test must do last.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/Runtime.h"
#include "net/testing/FakeRuntime.h"
#include "tests/support/Dialect.h"

namespace tazu::test {

class ScriptedPeer {
 public:
  enum class Side { kServer, kClient };

  struct Outcome {
    bool ok;
    std::string message;  // where the conversation went wrong or stopped
    explicit operator bool() const { return ok; }
  };

  // Throws std::invalid_argument for a line it cannot read.
  ScriptedPeer(std::string_view transcript, Dialect& dialect, Side plays = Side::kServer);
  // Raw bytes with the given line end.
  explicit ScriptedPeer(std::string_view transcript, std::string lineEnd = "\r\n",
                        Side plays = Side::kServer);
  ~ScriptedPeer();
  ScriptedPeer(const ScriptedPeer&) = delete;
  ScriptedPeer& operator=(const ScriptedPeer&) = delete;

  // Plays over the far end of a fake connection, accepting it if it is still
  // connecting. The runtime must outlive the script.
  void PlayOver(net::FakePeer& peer);
  // Plays over our end of a real connection, which the script keeps.
  void PlayOver(std::unique_ptr<net::TcpSocket> connection);

  // Every step played (and the other side closed, if the transcript ends so);
  // when not, the message says where the conversation stands. Tests assert it
  // with Played() from Expect.h.
  Outcome Finished() const;
  bool Failed() const { return failed_; }
  // Called once, at the first mismatch, with the same message.
  std::function<void(const std::string& message)> onFailure;

 private:
  struct Step {
    bool ours;   // played by the script, or expected from the other side
    bool close;  // a close rather than bytes
    bool any;    // any one message of the other side
    std::string bytes;
    int line;            // in the transcript, from 1
    std::string source;  // the transcript line, for messages
  };

  void Parse(std::string_view transcript, Dialect& dialect, Side plays);
  void Received(std::string_view bytes);
  void PlayOurSteps();
  bool OtherSideClosed() const;
  void Fail(const std::string& message);
  std::string Where(const Step& step) const;

  std::unique_ptr<Dialect> ownDialect_;
  const Dialect* dialect_ = nullptr;  // for failure messages
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  std::string unmatched_;  // bytes received and not yet matched against a step
  bool failed_ = false;
  std::string failure_;

  net::FakePeer* peer_ = nullptr;
  std::unique_ptr<net::TcpSocket> connection_;
  bool connectionEnded_ = false;
};

}  // namespace tazu::test
