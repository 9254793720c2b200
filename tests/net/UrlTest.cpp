#include <gtest/gtest.h>

#include <random>

#include "net/Url.h"
#include "tests/support/Expect.h"

namespace tazu::net {
namespace {

using test::SameBytes;

TEST(Url, EncodeKeepsOnlyUnreservedBytes) {
  EXPECT_EQ(UrlEncode("Az09-_.~"), "Az09-_.~");
  EXPECT_EQ(UrlEncode("Jo\xE3o Caf\xE9!"), "Jo%E3o%20Caf%E9%21");
  EXPECT_EQ(UrlEncode(std::string("\x00\xFF+%/", 5)), "%00%FF%2B%25%2F");
  EXPECT_EQ(UrlEncode(""), "");
}

TEST(Url, DecodeTakesEitherHexCaseAndKeepsWhatIsNoEscape) {
  EXPECT_TRUE(SameBytes("Jo\xE3o Caf\xE9", UrlDecode("Jo%e3o%20Caf%E9")));
  EXPECT_TRUE(SameBytes(std::string("\x00", 1), UrlDecode("%00")));
  EXPECT_EQ(UrlDecode("a+b"), "a+b");
  EXPECT_EQ(UrlDecode("100%"), "100%");
  EXPECT_EQ(UrlDecode("%4"), "%4");
  EXPECT_EQ(UrlDecode("x%4"), "x%4");
  EXPECT_EQ(UrlDecode("%zz%4g%g4"), "%zz%4g%g4");
  EXPECT_EQ(UrlDecode("%%41"), "%A");
  EXPECT_EQ(UrlDecode("%2541"), "%41");  // decoded once, not twice
}

TEST(Url, RandomBytesRoundTrip) {
  std::mt19937 random(20040101);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 64);
  for (int run = 0; run < 2000; ++run) {
    std::string bytes(static_cast<std::size_t>(length(random)), '\0');
    for (char& c : bytes) c = static_cast<char>(byte(random));
    const std::string encoded = UrlEncode(bytes);
    ASSERT_EQ(encoded.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.~%"),
              std::string::npos)
        << test::HexDump(bytes);
    ASSERT_TRUE(SameBytes(bytes, UrlDecode(encoded)));
  }
}

TEST(Url, DecodingArbitraryBytesIsSafe) {
  // Whatever a peer sends: escapes may be cut at the end of the text, and bytes
  // that are no escape must come back untouched.
  std::mt19937 random(7);
  const std::string alphabet = "%%%4aZz+ \xE9";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (int run = 0; run < 2000; ++run) {
    std::string text(static_cast<std::size_t>(run % 9), ' ');
    for (char& c : text) c = alphabet[pick(random)];
    const std::string decoded = UrlDecode(text);
    ASSERT_LE(decoded.size(), text.size()) << text;
    if (text.find('%') == std::string::npos) {
      ASSERT_EQ(decoded, text);
    }
  }
}

}  // namespace
}  // namespace tazu::net
