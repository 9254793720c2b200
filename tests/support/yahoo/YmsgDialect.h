// YMSG packets in transcripts, written the way a person reads them:
//
//   C: AUTH 0 1=ana
//   S: AUTH 0 1=ana 94=ABCDEFGHIJKLMNOPQRSTUVWX
//   S: MESSAGE 1 @77 4=bia 14="oi Ana" 97=0
//   S: 0x4B 0
//
// The service (a name below or a number, 0x.. for hex), the header status
// (decimal or 0x..), optionally @SID for the session id (else the dialect's
// current one), then key=value pairs in order. A value holding blanks is
// quoted; the escapes of RawDialect work in values (\xC0\x80 is a separator
// inside a value). The text is UTF-8 and travels as Windows-1252 unless the
// value says otherwise with \x escapes. A step that starts with "=" is raw
// bytes with escapes, for packets that are not well formed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/support/Dialect.h"
#include "yahoo/CodecYahoo.h"

namespace tazu::test {

class YmsgDialect : public Dialect {
 public:
  std::string Encode(std::string_view text, bool fromClient) override;
  std::string Describe(std::string_view bytes) const override;
  std::size_t MessageLength(std::string_view bytes) const override;

  // The session id of steps without @SID.
  void SetSessionId(uint32_t id) { sessionId_ = id; }

  // The packet a step stands for; throws std::invalid_argument.
  static yahoo::TYahooPacket Packet(std::string_view text, uint32_t sessionId = 0);
  // A packet in the notation above ("MESSAGE 1 @77 4=bia 14=\"oi\"").
  static std::string Text(const yahoo::TYahooPacket& p);

 private:
  uint32_t sessionId_ = 0;
};

// Bytes of the packets in transcript notation, one per line ("S: " optional).
std::string YmsgBytes(std::string_view lines, uint32_t sessionId = 0);
// Every whole packet of `bytes` in the notation above, one per line.
std::string YmsgText(std::string_view bytes);

}  // namespace tazu::test
