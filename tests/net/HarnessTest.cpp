// The shared test helpers: every other folder trusts their verdicts, so the
// verdicts are tested too.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "core/UCriptografia.h"
#include "net/testing/FakeRuntime.h"
#include "tests/support/Expect.h"
#include "tests/support/TazuDialect.h"

namespace tazu::test {
namespace {

using ::testing::HasSubstr;

TEST(HexDump, RowsOfSixteenAndTheFirstDifference) {
  EXPECT_EQ(HexDump("VER 1\r\n"),
            "0000  56 45 52 20 31 0d 0a                              VER 1..\n");
  EXPECT_EQ(HexDump(std::string(17, '\xE9')),
            "0000  e9 e9 e9 e9 e9 e9 e9 e9  e9 e9 e9 e9 e9 e9 e9 e9  ................\n"
            "0010  e9                                                .\n");
  EXPECT_EQ(DescribeByteDifference("same", "same"), "");
  const std::string text = DescribeByteDifference("ABCD", "ABxD");
  EXPECT_THAT(text, HasSubstr("first difference at offset 2"));
  EXPECT_THAT(text, HasSubstr("41 42 78 44"));
  EXPECT_THAT(DescribeByteDifference("AB", "ABC"), HasSubstr("offset 2"));
}

class ScriptedPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    socket_ = runtime_.CreateTcpSocket();
    socket_->onData = [this](std::string_view data) { received_ += data; };
    socket_->onClosed = [this] { closed_ = true; };
    ASSERT_TRUE(socket_->Connect("127.0.0.1", 1863));
  }
  void Send(std::string_view bytes) {
    socket_->Send(bytes);
    runtime_.RunPending();
  }

  net::FakeRuntime runtime_;
  std::unique_ptr<net::TcpSocket> socket_;
  std::string received_;
  bool closed_ = false;
};

TEST_F(ScriptedPeerTest, PlaysItsSideAsTheOtherKeepsToTheScript) {
  ScriptedPeer script(R"(
    # greeting first, then one exchange
    S: HELLO
    C: LOGIN ana
    S: OK
    C: BYE
    S! close
  )");
  script.PlayOver(runtime_.LastPeer());
  runtime_.RunPending();
  EXPECT_EQ(received_, "HELLO\r\n");
  EXPECT_FALSE(script.Finished());
  Send("LOGIN");  // in pieces: the script waits for the rest
  Send(" ana\r\nBYE\r\n");
  EXPECT_EQ(received_, "HELLO\r\nOK\r\n");
  EXPECT_TRUE(closed_);
  EXPECT_TRUE(Played(script));
}

TEST_F(ScriptedPeerTest, RawEscapesAndLineEndGiveExactBytes) {
  ScriptedPeer script("C: \\x59MSG\\x00\\x01\\c\nS: caf\\xE9 \\\\ \\t\\r\\n\\c\nS: last\n", "|");
  script.PlayOver(runtime_.LastPeer());
  runtime_.RunPending();
  Send(std::string("YMSG\x00\x01", 6));
  EXPECT_TRUE(SameBytes("caf\xE9 \\ \t\r\nlast|", received_));
  EXPECT_TRUE(Played(script));
}

TEST_F(ScriptedPeerTest, VerdictsSayWhereAndWhat) {
  struct Caso {
    const char* script;
    std::string sent;
    const char* says;
  };
  const Caso casos[] = {
      {"C: VER 1 MSNP7\nS: VER 1 MSNP7\n", "VER 1 MSNP8\r\n", "first difference at offset 10"},
      {"C: USR 1 MD5 I ana\n", "USR 2", "offset 4"},  // seen before the line is whole
      {"C: PNG\n", "PNG\r\nPNG\r\n", "after the transcript ended"},
      {"S: HI\nC: QUIT\nC! close\n", "", "transcript line 2: C: QUIT"},
      {"S: HI\nC: QUIT\nC! close\n", "QUIT\r\n", "line 3: C! close"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.script);
    SetUp();
    std::string reported;
    ScriptedPeer script(c.script);
    script.onFailure = [&](const std::string& m) { reported = m; };
    script.PlayOver(runtime_.LastPeer());
    runtime_.RunPending();
    if (!c.sent.empty()) Send(c.sent);
    const ScriptedPeer::Outcome r = script.Finished();
    EXPECT_FALSE(r.ok);
    EXPECT_THAT(r.message, HasSubstr(c.says));
    if (script.Failed()) {
      EXPECT_EQ(reported, r.message);
    }
  }
}

TEST(ScriptedPeerParsing, MalformedTranscriptsAreRefused) {
  for (const char* bad : {"X: what", "C: bad \\q escape", "C: half \\x4", "C: \\c in the middle",
                          "C! close\nS: after", "C: \\c"}) {
    EXPECT_THROW(ScriptedPeer{bad}, std::invalid_argument) << bad;
  }
  TazuDialect tazu;
  for (const char* bad : {"C: CVER 1", "C: [CVER] \"open", "S: [RVER] 1 0 x"}) {
    EXPECT_THROW(ScriptedPeer(bad, tazu), std::invalid_argument) << bad;
  }
}

TEST(TazuDialect, FieldsQuotesAccentsAndScramblingFromRver) {
  EXPECT_EQ(TazuDialect::Line("[CVER] 1.2 \"1.0 AA\" \"\" Zé a\\xA7b"),
            "[CVER]\xA7"
            "1.2\xA7"
            "1.0 AA\xA7\xA7Z\xE9\xA7"
            "a\xA7"
            "b");
  EXPECT_EQ(TazuDialect::Line("=hello \"x\""), "hello \"x\"");
  TazuDialect d;
  EXPECT_EQ(d.Encode("[CVER] 1", true),
            "[CVER]\xA7"
            "1\r\n");
  EXPECT_EQ(d.Encode("[RVER] 9 0 77", false),
            "[RVER]\xA7"
            "9\xA7"
            "0\xA7"
            "77\r\n");
  TCriptografia c;
  c.Chave = 77;
  EXPECT_EQ(d.Encode("[CCON] segredo 1", true), c.Embaralhar("[CCON]\xA7segredo\xA7"
                                                             "1") +
                                                    "\r\n");
  EXPECT_THAT(d.Describe(c.Embaralhar("[RCCA]") + "\r\n"), HasSubstr("[RCCA]"));
}

}  // namespace
}  // namespace tazu::test
