// Byte-exact expectations with failure messages a person can read.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tazu::test {

// Sixteen bytes a row: offset, hex, and the printable ASCII beside it.
//   0000  56 45 52 20 31 0d 0a                              VER 1..
std::string HexDump(std::string_view bytes);

// Where two byte strings part and both dumps; empty when they are equal.
std::string DescribeByteDifference(std::string_view expected, std::string_view actual);

// EXPECT_TRUE(SameBytes(expected, actual));
::testing::AssertionResult SameBytes(std::string_view expected, std::string_view actual);

// EXPECT_THAT(peer.Read(), BytesEq("VER 1 MSNP7\r\n"));
MATCHER_P(BytesEq, expected, "") {
  const std::string difference =
      DescribeByteDifference(std::string_view(expected), std::string_view(arg));
  if (difference.empty()) return true;
  *result_listener << "\n" << difference;
  return false;
}

}  // namespace tazu::test
