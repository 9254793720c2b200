#include "tests/support/HexDump.h"

#include <algorithm>
#include <cstdio>

namespace tazu::test {
namespace {

constexpr std::size_t kRow = 16;

std::string Hex(std::size_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "%0*zx", digits, value);
  return text;
}

}  // namespace

std::string HexDump(std::string_view bytes) {
  if (bytes.empty()) return "(no bytes)\n";
  std::string out;
  for (std::size_t row = 0; row < bytes.size(); row += kRow) {
    const std::string_view part = bytes.substr(row, kRow);
    out += Hex(row, 4) + "  ";
    for (std::size_t i = 0; i < kRow; ++i) {
      out += i < part.size() ? Hex(static_cast<unsigned char>(part[i]), 2) + " " : "   ";
      if (i == 7) out += ' ';
    }
    out += ' ';
    for (const char c : part) out += (c >= 0x20 && c < 0x7f) ? c : '.';
    out += '\n';
  }
  return out;
}

std::string DescribeByteDifference(std::string_view expected, std::string_view actual) {
  if (expected == actual) return {};
  const auto mismatch =
      std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
  const auto offset = static_cast<std::size_t>(mismatch.first - expected.begin());
  return "first difference at offset " + std::to_string(offset) + " (0x" + Hex(offset, 4) +
         ")\nexpected (" + std::to_string(expected.size()) + " bytes):\n" + HexDump(expected) +
         "actual (" + std::to_string(actual.size()) + " bytes):\n" + HexDump(actual);
}

}  // namespace tazu::test
