// One conversation of the echo protocol, played on the fake runtime and on Qt.
#pragma once

#include <string_view>

#include "tests/net/EchoClient.h"

namespace tazu::test {

// Three requests pipelined after the greeting, one of them with bytes that are
// not ASCII (Windows-1252 "olá").
inline constexpr std::string_view kEchoTranscript = R"(
  C: HELO ana
  S: OK welcome, ana
  C: ECHO 1 ol\xE1
  C: ECHO 2 two words
  C: ECHO 3 three
  S: ECHO 2 two words
  S: ECHO 1 ol\xE1
  S: ECHO 3 three
  C: QUIT
  S! close
)";

inline constexpr const char* kEchoQuestions[] = {"ol\xE1", "two words", "three"};

inline constexpr const char* kEchoAnswers[] = {"ready", "reply 2 two words", "reply 1 ol\xE1",
                                               "reply 3 three"};

}  // namespace tazu::test
