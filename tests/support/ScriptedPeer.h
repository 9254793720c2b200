// Plays one side of a conversation from a transcript (the server's, unless told
// otherwise), and fails the test with a hex dump when the other side says
// something else.
//
//   C: VER 1 MSNP7 CVR0        the client must send these bytes, then the line end
//   S: VER 1 MSNP7             the server answers these bytes, then the line end
//   S! close                   the server closes the connection
//   C! close                   the client must close the connection (last step)
//   # a comment; blank lines are skipped, leading spaces too
//
// Text is taken byte for byte after "C: " / "S: " with these escapes: \xNN (any
// byte), \\, \r, \n, \t, and \c at the very end for "no line end here". The
// line end is the script's (default "\r\n"); binary protocols set it to "".
//
// Our steps are played as soon as the other side's steps before them matched,
// so after the script is attached the loop runs the whole conversation. Playing
// the client turns the roles around: C: lines are sent, S: lines expected, and
// "S! close" is what the server under test must do last.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/Runtime.h"
#include "net/testing/FakeRuntime.h"

namespace tazu::test {

class ScriptedPeer {
 public:
  enum class Side { kServer, kClient };

  // Throws std::invalid_argument for a line it cannot read.
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
  // when not, the message says where the conversation stands.
  ::testing::AssertionResult Finished() const;
  bool Failed() const { return failed_; }

 private:
  struct Step {
    bool ours;   // played by the script, or expected from the other side
    bool close;  // a close rather than bytes
    std::string bytes;
    int line;            // in the transcript, from 1
    std::string source;  // the transcript line, for messages
  };

  void Parse(std::string_view transcript, Side plays);
  void Received(std::string_view bytes);
  void PlayOurSteps();
  bool OtherSideClosed() const;
  void Fail(const std::string& message);
  std::string Where(const Step& step) const;

  std::string lineEnd_;
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
