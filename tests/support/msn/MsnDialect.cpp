#include "tests/support/msn/MsnDialect.h"

#include <stdexcept>

#include "msn/CodecMSN.h"
#include "msn/CodecMensagemMSN.h"
#include "tests/support/HexDump.h"

namespace tazu::test {
namespace {

std::string Bytes(std::string_view text) {
  bool lineEnd = true;
  std::string bytes = Unescape(text, lineEnd);
  if (!lineEnd) throw std::invalid_argument("\\c has no place in an MSN step: use \" | \"");
  return bytes;
}

}  // namespace

std::string MsnDialect::Encode(std::string_view text, bool fromClient) {
  std::string_view head = text;
  std::string payload;
  bool hasPayload = false;
  const std::size_t bar = text.find(" |");
  if (bar != std::string_view::npos) {
    head = text.substr(0, bar);
    std::string_view rest = text.substr(bar + 2);
    if (rest.rfind("texto| ", 0) == 0) {
      payload = msn::MontarMensagemDeTexto(Bytes(rest.substr(7)));
    } else {
      if (!rest.empty() && rest[0] == ' ') rest.remove_prefix(1);
      payload = Bytes(rest);
    }
    hasPayload = true;
  }
  std::string line;
  std::size_t start = 0;
  while (start <= head.size()) {
    std::size_t end = head.find(' ', start);
    if (end == std::string_view::npos) end = head.size();
    const std::string_view word = head.substr(start, end - start);
    if (!line.empty() || start > 0) line += ' ';
    if (word == "#") {
      if (fromClient) {
        last_ = next_++;
      }
      line += std::to_string(last_);
    } else {
      line += Bytes(word);
    }
    start = end + 1;
  }
  if (hasPayload) return msn::MontarComPayload(line, payload);
  return line + "\r\n";
}

std::size_t MsnDialect::MessageLength(std::string_view bytes) const {
  const std::size_t end = bytes.find("\r\n");
  if (end == std::string_view::npos) return end;
  const auto payload = msn::TamanhoAnunciado(bytes.substr(0, end));
  const std::size_t total = end + 2 + payload.value_or(0);
  return total <= bytes.size() ? total : std::string_view::npos;
}

std::string MsnDialect::Describe(std::string_view bytes) const {
  std::string out;
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const std::size_t n = MessageLength(rest);
    const std::size_t end = rest.find("\r\n");
    if (n == std::string_view::npos || end == std::string_view::npos) {
      out += "  (unfinished) " + std::string(rest) + "\n";
      break;
    }
    out += "  " + std::string(rest.substr(0, end)) + "\n";
    if (n > end + 2) out += "    | " + std::string(rest.substr(end + 2, n - end - 2)) + "\n";
    rest.remove_prefix(n);
  }
  return out + HexDump(bytes);
}

}  // namespace tazu::test
