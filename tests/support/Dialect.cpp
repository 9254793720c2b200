#include "tests/support/Dialect.h"

#include <stdexcept>

#include "tests/support/HexDump.h"

namespace tazu::test {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string Dialect::Describe(std::string_view bytes) const {
  return HexDump(bytes);
}

std::size_t Dialect::MessageLength(std::string_view bytes) const {
  const std::size_t end = bytes.find("\r\n");
  return end == std::string_view::npos ? end : end + 2;
}

std::string Dialect::EncodeLines(std::string_view lines, bool fromClient) {
  std::string bytes;
  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    std::string_view line = lines.substr(0, end);
    lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) continue;
    line.remove_prefix(start);
    if (line.rfind("S: ", 0) == 0 || line.rfind("C: ", 0) == 0) line.remove_prefix(3);
    bytes += Encode(line, fromClient);
  }
  return bytes;
}

std::string Unescape(std::string_view text, bool& lineEnd) {
  std::string out;
  lineEnd = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) throw std::invalid_argument("a lone backslash at the end");
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case '"':
        out += '"';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'c':
        if (i + 1 != text.size()) throw std::invalid_argument("\\c must end the line");
        lineEnd = false;
        break;
      case 'x': {
        const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) throw std::invalid_argument("\\x needs two hex digits");
        out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default:
        throw std::invalid_argument(std::string("unknown escape \\") + text[i]);
    }
  }
  return out;
}

std::string RawDialect::Encode(std::string_view text, bool) {
  bool withLineEnd = true;
  std::string bytes = Unescape(text, withLineEnd);
  if (withLineEnd) bytes += lineEnd_;
  return bytes;
}

}  // namespace tazu::test
