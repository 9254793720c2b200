// Byte-exact expectations with failure messages a person can read.
#pragma once

#include <string>
#include <string_view>

namespace tazu::test {

// Sixteen bytes a row: offset, hex, and the printable ASCII beside it.
//   0000  56 45 52 20 31 0d 0a                              VER 1..
std::string HexDump(std::string_view bytes);

// Where two byte strings part and both dumps; empty when they are equal.
std::string DescribeByteDifference(std::string_view expected, std::string_view actual);

}  // namespace tazu::test
