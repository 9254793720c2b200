// GoogleTest's side of the test helpers: byte comparisons and scripted peers
// as assertions. The helpers themselves do not depend on GoogleTest, so
// benchmarks and fuzz targets use them too.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/support/HexDump.h"
#include "tests/support/ScriptedPeer.h"

namespace tazu::test {

// EXPECT_TRUE(SameBytes(expected, actual));
inline ::testing::AssertionResult SameBytes(std::string_view expected, std::string_view actual) {
  const std::string difference = DescribeByteDifference(expected, actual);
  if (difference.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "bytes differ, " << difference;
}

// EXPECT_TRUE(Played(peer)): every step played, or where it stopped.
inline ::testing::AssertionResult Played(const ScriptedPeer& peer) {
  const ScriptedPeer::Outcome r = peer.Finished();
  if (r.ok) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << r.message;
}

}  // namespace tazu::test
