// Tazu lines in transcripts, written the way a person reads them:
//
//   C: [CVER] 127.0.0.1 5555 1234 "1.0 AA" P "Tazu Messenger"
//   S: [RVER] 1234 0 77
//   S: [SACT] 20 Bia A 1 TPC
//
// "[CODE]" and then the fields, separated by spaces; a field holding spaces,
// or an empty one (""), is quoted. The text is UTF-8 and travels as
// Windows-1252; the escapes of RawDialect work inside fields (\xA7 is a
// separator byte within one field, \r\n a line break). A step that starts with
// "=" is the line as it is, for lines that are not well formed ("S: =hello").
// The dialect adds the separators and CR LF and scrambles: RVER's third field
// is the key of every step after it, both ways.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/support/Dialect.h"

namespace tazu::test {

class TazuDialect : public Dialect {
 public:
  explicit TazuDialect(uint8_t key = 0) : key_(key) {}
  std::string Encode(std::string_view text, bool fromClient) override;
  // Line by line, unscrambled with the latest key where that reads better.
  std::string Describe(std::string_view bytes) const override;

  uint8_t Key() const { return key_; }
  void SetKey(uint8_t key) { key_ = key; }

  // The line a step stands for, unscrambled and without its end.
  static std::string Line(std::string_view text);

 private:
  uint8_t key_;
};

}  // namespace tazu::test
