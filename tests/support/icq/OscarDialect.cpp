#include "tests/support/icq/OscarDialect.h"

#include <cstdio>
#include <stdexcept>

#include "base/Cp1252.h"
#include "icq/CodecFlap.h"
#include "icq/CodecPacote.h"
#include "tests/support/HexDump.h"

namespace tazu::test {

namespace {

using icq::TPacote;

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Blanks and line breaks separate pieces (a step may be written over lines).
void Blank(std::string_view s, std::size_t& i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
}

std::string Quoted(std::string_view s, std::size_t& i) {
  if (i >= s.size() || s[i] != '"') throw std::invalid_argument("a quoted text was expected");
  std::string raw;
  for (++i; i < s.size() && s[i] != '"'; ++i) {
    raw += s[i];
    if (s[i] == '\\' && i + 1 < s.size()) raw += s[++i];
  }
  if (i >= s.size()) throw std::invalid_argument("unterminated text");
  ++i;
  bool lineEnd = true;
  return cp1252::FromUtf8(Unescape(raw, lineEnd));
}

uint32_t Number(std::string_view s, std::size_t& i) {
  const std::size_t start = i;
  uint64_t n = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9')
    n = n * 10 + static_cast<uint64_t>(s[i++] - '0');
  if (i == start || n > 0xFFFFFFFFu) throw std::invalid_argument("a decimal number was expected");
  return static_cast<uint32_t>(n);
}

std::string Pieces(std::string_view s, std::size_t& i, bool nested);

void Piece(std::string_view s, std::size_t& i, std::string& out) {
  const std::string_view rest = s.substr(i);
  TPacote p(1 << 20);
  if (rest[0] == '"') {
    out += Quoted(s, i);
  } else if (rest.size() > 1 && rest[1] == '"' &&
             (rest[0] == 'b' || rest[0] == 'w' || rest[0] == 'z')) {
    ++i;
    const std::string t = Quoted(s, i);
    if (rest[0] == 'b') p.TextoB(t);
    if (rest[0] == 'w') p.TextoW(t);
    if (rest[0] == 'z') p.TextoZ(t);
    out += p.Dados();
  } else if (rest.rfind("le16:", 0) == 0 || rest.rfind("le32:", 0) == 0) {
    i += 5;
    const uint32_t n = Number(s, i);
    rest[2] == '1' ? p.U16LE(static_cast<uint16_t>(n)) : p.U32LE(n);
    out += p.Dados();
  } else if (rest.rfind("u8:", 0) == 0 || rest.rfind("u16:", 0) == 0 ||
             rest.rfind("u32:", 0) == 0) {
    const char w = rest[1];
    i += w == '8' ? 3 : 4;
    const uint32_t n = Number(s, i);
    w == '8'   ? p.U8(static_cast<uint8_t>(n))
    : w == '1' ? p.U16(static_cast<uint16_t>(n))
               : p.U32(n);
    out += p.Dados();
  } else if (rest[0] == 'T' && rest.size() > 5 && rest[5] == '(') {
    const std::string type(rest.substr(1, 4));
    i += 6;
    const std::string inner = Pieces(s, i, true);
    p.Tlv(static_cast<uint16_t>(std::stoul(type, nullptr, 16)), inner);
    out += p.Dados();
  } else if (rest.rfind("L(", 0) == 0) {
    i += 2;
    const std::string inner = Pieces(s, i, true);
    p.U16LE(static_cast<uint16_t>(inner.size())).Bytes(inner);
    out += p.Dados();
  } else {
    const std::size_t start = i;
    while (i < s.size() && Hex(s[i]) >= 0) ++i;
    if (i == start || (i - start) % 2 != 0 || (i < s.size() && !IsBlank(s[i]) && s[i] != ')'))
      throw std::invalid_argument("cannot read \"" + std::string(rest.substr(0, 20)) + "\"");
    for (std::size_t k = start; k < i; k += 2)
      out += static_cast<char>(Hex(s[k]) * 16 + Hex(s[k + 1]));
  }
}

std::string Pieces(std::string_view s, std::size_t& i, bool nested) {
  std::string out;
  for (;;) {
    Blank(s, i);
    if (i >= s.size()) {
      if (nested) throw std::invalid_argument("a ( without its )");
      return out;
    }
    if (s[i] == ')') {
      if (!nested) throw std::invalid_argument("a ) without its (");
      ++i;
      return out;
    }
    Piece(s, i, out);
  }
}

uint32_t HexField(std::string_view s, std::size_t& i, std::size_t digits) {
  uint32_t n = 0;
  for (std::size_t k = 0; k < digits; ++k, ++i) {
    const int d = i < s.size() ? Hex(s[i]) : -1;
    if (d < 0) throw std::invalid_argument("hex digits expected");
    n = n * 16 + static_cast<uint32_t>(d);
  }
  return n;
}

}  // namespace

std::string OscarDialect::Body(std::string_view text) {
  std::size_t i = 0;
  Blank(text, i);
  if (text.substr(i, 5) == "FLAP ") {
    i += 5;
    Blank(text, i);
    Number(text, i);
    return Pieces(text, i, false);
  }
  if (text.substr(i, 5) != "SNAC ") throw std::invalid_argument("FLAP or SNAC expected");
  i += 5;
  Blank(text, i);
  const uint16_t family = static_cast<uint16_t>(HexField(text, i, 4));
  if (i >= text.size() || text[i++] != '/') throw std::invalid_argument("FAMILY/SUBTYPE expected");
  const uint16_t subtype = static_cast<uint16_t>(HexField(text, i, 4));
  uint16_t flags = 0;
  uint32_t id = 0;
  for (;;) {
    Blank(text, i);
    if (text.substr(i, 6) == "flags=") {
      i += 6;
      flags = static_cast<uint16_t>(HexField(text, i, 4));
    } else if (text.substr(i, 3) == "id=") {
      i += 3;
      id = HexField(text, i, 8);
    } else {
      break;
    }
  }
  return icq::MontarSnac(family, subtype, flags, id, Pieces(text, i, false));
}

std::string OscarDialect::Encode(std::string_view text, bool fromClient) {
  std::size_t i = 0;
  Blank(text, i);
  uint8_t channel = icq::kCanalSnac;
  if (text.substr(i, 5) == "FLAP ") {
    i += 5;
    Blank(text, i);
    channel = static_cast<uint8_t>(Number(text, i));
  }
  const std::string body = Body(text);
  uint16_t& sequence = fromClient ? client_ : server_;
  return icq::MontarFlap(channel, sequence++, body);
}

std::size_t OscarDialect::MessageLength(std::string_view bytes) const {
  if (bytes.size() < icq::kCabecalhoFlap) return std::string_view::npos;
  const std::size_t n =
      icq::kCabecalhoFlap + (static_cast<uint8_t>(bytes[4]) << 8 | static_cast<uint8_t>(bytes[5]));
  return bytes.size() < n ? std::string_view::npos : n;
}

std::string OscarDialect::Describe(std::string_view bytes) const {
  std::string out;
  while (!bytes.empty()) {
    const std::size_t n = MessageLength(bytes);
    if (n == std::string_view::npos || bytes[0] != '*') return out + HexDump(bytes);
    char head[64];
    const uint8_t channel = static_cast<uint8_t>(bytes[1]);
    if (channel == icq::kCanalSnac && n >= 16) {
      std::snprintf(head, sizeof head, "SNAC %02X%02X/%02X%02X: ", static_cast<uint8_t>(bytes[6]),
                    static_cast<uint8_t>(bytes[7]), static_cast<uint8_t>(bytes[8]),
                    static_cast<uint8_t>(bytes[9]));
    } else {
      std::snprintf(head, sizeof head, "FLAP %u: ", channel);
    }
    out += head + HexDump(bytes.substr(0, n)) + "\n";
    bytes.remove_prefix(n);
  }
  return out;
}

}  // namespace tazu::test
