// OSCAR frames in transcripts, written the way a person reads them:
//
//   S: FLAP 1 00000001                       a channel-1 FLAP with those bytes
//   C: SNAC 0001/0017 00010003 00130002      a SNAC (flags 0, request id 0)
//   C: SNAC 0013/0004 id=00010004            flags= and id= set the header
//   C: FLAP 1 00000001 T0001(b"123") T0002("pw")
//
// The body is a list of pieces: hex digits (bytes as written), "text" (the
// escapes of RawDialect work inside), b"text" and w"text" (byte- and
// word-counted), z"text" (little-endian length + 1, text, 0), u8:N u16:N
// u32:N and le16:N le32:N (decimal numbers, big- and little-endian),
// T0001( ... ) (a TLV of that type around the pieces inside) and L( ... )
// (a little-endian 16-bit length before the pieces inside). Text is UTF-8
// and travels as Windows-1252.
//
// The dialect numbers the FLAPs of each side in order, the client's from the
// value the engine under test drew.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/support/Dialect.h"

namespace tazu::test {

class OscarDialect : public Dialect {
 public:
  explicit OscarDialect(uint16_t clientSequence = 0, uint16_t serverSequence = 0)
      : client_(clientSequence), server_(serverSequence) {}
  std::string Encode(std::string_view text, bool fromClient) override;
  std::string Describe(std::string_view bytes) const override;
  std::size_t MessageLength(std::string_view bytes) const override;

  // The data of a step without its FLAP header ("SNAC ..." gives the SNAC).
  static std::string Body(std::string_view text);

 private:
  uint16_t client_;
  uint16_t server_;
};

}  // namespace tazu::test
