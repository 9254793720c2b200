#include "tests/support/yahoo/YmsgDialect.h"

#include <stdexcept>
#include <vector>

#include "base/Cp1252.h"
#include "tests/support/HexDump.h"

namespace tazu::test {
namespace {

struct TNome {
  const char* nome;
  uint16_t servico;
};
constexpr TNome kNomes[] = {
    {"LOGON", 0x01},    {"LOGOFF", 0x02},   {"AWAY", 0x03}, {"BACK", 0x04},
    {"MESSAGE", 0x06},  {"NOTIFY", 0x0F},   {"PING", 0x12}, {"SYSMESSAGE", 0x14},
    {"NEWMAIL", 0x0B},  {"AUTHRESP", 0x54}, {"LIST", 0x55}, {"AUTH", 0x57},
    {"ADDBUDDY", 0x83}, {"REMBUDDY", 0x84},
};

std::vector<std::string> Tokens(std::string_view text) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i == text.size()) break;
    std::string token;
    bool aspas = false;
    for (; i < text.size() && (aspas || text[i] != ' '); ++i) {
      if (text[i] == '"') {
        aspas = !aspas;
        continue;
      }
      if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
        token += "\\\"";
        ++i;
        continue;
      }
      token += text[i];
    }
    if (aspas) throw std::invalid_argument("unclosed quote");
    tokens.push_back(std::move(token));
  }
  return tokens;
}

uint32_t Number(const std::string& t, uint32_t max) {
  std::size_t fim = 0;
  unsigned long long v = 0;
  try {
    v = std::stoull(t, &fim, t.rfind("0x", 0) == 0 ? 16 : 10);
  } catch (const std::exception&) {
    fim = 0;
  }
  if (fim != t.size() || v > max) throw std::invalid_argument("not a number: " + t);
  return static_cast<uint32_t>(v);
}

std::string Value(std::string_view v) {
  bool end = true;
  return Unescape(cp1252::FromUtf8(v), end);
}

}  // namespace

yahoo::TYahooPacket YmsgDialect::Packet(std::string_view text, uint32_t sessionId) {
  const std::vector<std::string> t = Tokens(text);
  if (t.size() < 2) throw std::invalid_argument("a YMSG step needs a service and a status");
  yahoo::TYahooPacket p;
  bool named = false;
  for (const TNome& n : kNomes)
    if (t[0] == n.nome) p.Service = n.servico, named = true;
  if (!named) p.Service = static_cast<uint16_t>(Number(t[0], 0xFFFF));
  p.Status = Number(t[1], 0xFFFFFFFF);
  p.SessionID = sessionId;
  std::size_t i = 2;
  if (i < t.size() && t[i][0] == '@') p.SessionID = Number(t[i++].substr(1), 0xFFFFFFFF);
  for (; i < t.size(); ++i) {
    const std::size_t igual = t[i].find('=');
    if (igual == std::string::npos) throw std::invalid_argument("a pair needs key=value: " + t[i]);
    p.Adicionar(static_cast<int32_t>(Number(t[i].substr(0, igual), 0x7FFFFFFF)),
                Value(std::string_view(t[i]).substr(igual + 1)));
  }
  return p;
}

std::string YmsgDialect::Text(const yahoo::TYahooPacket& p) {
  std::string s;
  for (const TNome& n : kNomes)
    if (n.servico == p.Service) s = n.nome;
  if (s.empty()) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", p.Service);
    s = hex;
  }
  s += " " + std::to_string(p.Status) + " @" + std::to_string(p.SessionID);
  for (const yahoo::TYahooPair& par : p.Pares()) {
    std::string v;
    for (const char c : par.Value) {
      const auto b = static_cast<unsigned char>(c);
      if (b < 0x20 || b >= 0x7F || c == '"' || c == '\\') {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", b);
        v += hex;
      } else {
        v += c;
      }
    }
    s += " " + std::to_string(par.Key) + "=\"" + v + "\"";
  }
  return s;
}

std::string YmsgDialect::Encode(std::string_view text, bool) {
  if (!text.empty() && text[0] == '=') {
    bool end = true;
    return Unescape(text.substr(1), end);
  }
  std::string bytes;
  if (!yahoo::Serializar(Packet(text, sessionId_), bytes))
    throw std::invalid_argument("payload longer than 65535 bytes");
  return bytes;
}

std::size_t YmsgDialect::MessageLength(std::string_view bytes) const {
  if (bytes.size() < yahoo::ymsg::kCabecalho) return std::string::npos;
  const std::size_t total = yahoo::ymsg::kCabecalho + yahoo::CargaAnunciada(bytes);
  return bytes.size() < total ? std::string::npos : total;
}

std::string YmsgDialect::Describe(std::string_view bytes) const {
  return YmsgText(bytes);
}

std::string YmsgBytes(std::string_view lines, uint32_t sessionId) {
  YmsgDialect d;
  d.SetSessionId(sessionId);
  return d.EncodeLines(lines);
}

std::string YmsgText(std::string_view bytes) {
  std::string text;
  yahoo::TYahooPacket p;
  yahoo::TLeitorYmsg leitor;
  const auto r = leitor.Alimentar(bytes, [&](std::string_view bloco) {
    if (yahoo::LerPacote(bloco, p) == yahoo::TResultadoLeitura::Ok)
      text += YmsgDialect::Text(p) + "\n";
    return true;
  });
  if (r == yahoo::TLeitorYmsg::TResultado::Invalido || leitor.Pendente() > 0)
    text += "(not whole packets)\n" + HexDump(bytes);
  return text;
}

}  // namespace tazu::test
