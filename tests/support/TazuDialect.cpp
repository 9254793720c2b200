#include "tests/support/TazuDialect.h"

#include <stdexcept>
#include <vector>

#include "base/Cp1252.h"
#include "core/ProtocoloTazu.h"
#include "core/UCriptografia.h"
#include "tests/support/HexDump.h"

namespace tazu::test {
namespace {

constexpr char kSeparador = '\xA7';

// Splits at spaces outside quotes; quotes come off, escapes stay for later.
std::vector<std::string> Tokens(std::string_view text) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i == text.size()) break;
    std::string token;
    if (text[i] == '"') {
      ++i;
      while (i < text.size() && text[i] != '"') {
        if (text[i] == '\\' && i + 1 < text.size()) token += text[i++];
        token += text[i++];
      }
      if (i == text.size()) throw std::invalid_argument("a quote is not closed");
      ++i;
    } else {
      while (i < text.size() && text[i] != ' ') token += text[i++];
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::string Field(std::string_view escaped) {
  bool lineEnd = true;
  std::string bytes = Unescape(escaped, lineEnd);
  if (!lineEnd) throw std::invalid_argument("\\c has no meaning in a Tazu line");
  return bytes;
}

}  // namespace

std::string TazuDialect::Line(std::string_view text) {
  const std::string cp = cp1252::FromUtf8(text);
  if (!cp.empty() && cp[0] == '=') return Field(std::string_view(cp).substr(1));
  const std::vector<std::string> tokens = Tokens(cp);
  if (tokens.empty() || tokens[0].size() < 3 || tokens[0].front() != '[' ||
      tokens[0].back() != ']')
    throw std::invalid_argument("a Tazu line starts with [CODE]: " + std::string(text));
  std::string line = tokens[0];
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    line += kSeparador;
    line += Field(tokens[i]);
  }
  return line;
}

std::string TazuDialect::Encode(std::string_view text, bool fromClient) {
  const std::string line = Line(text);
  TCriptografia cripto;
  cripto.Chave = key_;
  const std::string bytes = (key_ ? cripto.Embaralhar(line) : line) + "\r\n";
  if (!fromClient && line.rfind("[RVER]", 0) == 0) {
    std::string rest = line.substr(6);
    std::vector<std::string> fields;
    for (std::size_t p; (p = rest.rfind(kSeparador)) != std::string::npos; rest.resize(p))
      fields.insert(fields.begin(), rest.substr(p + 1));
    if (fields.size() >= 3) key_ = static_cast<uint8_t>(std::stoi(fields[2]));
  }
  return bytes;
}

std::string TazuDialect::Describe(std::string_view bytes) const {
  TCriptografia cripto;
  cripto.Chave = key_;
  std::string out;
  TLeitorDeLinhas reader;
  reader.Alimentar(bytes, [&](std::string_view raw) {
    const bool plain = !raw.empty() && raw[0] == '[';
    const std::string line = plain || key_ == 0 ? std::string(raw) : AbrirLinha(raw, cripto);
    out += "  " + cp1252::ToUtf8(line) + "\n";
    return true;
  });
  return out + HexDump(bytes);
}

}  // namespace tazu::test
