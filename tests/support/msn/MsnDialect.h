// MSN command lines in transcripts, written as they travel, with two helps:
//
//   C: USR # MD5 I ana@tazu.test       "#" is the client's next transaction id
//   S: USR # MD5 S 1013928519.6939     ... and in a server line, the id of the
//                                          client line before it (its reply)
//   S: MSG bob@tazu.test Bob | MIME-Version: 1.0\r\n...\r\n\r\nolá
//   C: MSG # A |texto| olá              a text message as the client builds it
//   C: QRY # tazu@tazumessenger.com.br | f7d979f78f66e61ab549a8cd59e075b6
//
// After " | " comes a payload: the dialect appends its length to the line and
// the payload after the line's CR LF (nothing after it). "|texto|" stands for
// the three headers of a text message and the empty line. The escapes of
// RawDialect work everywhere; other text is taken as its UTF-8 bytes, which is
// what the payloads carry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/support/Dialect.h"

namespace tazu::test {

class MsnDialect : public Dialect {
 public:
  // `firstId`: the client's first transaction id (0 on the notification
  // server, 1 on a switchboard).
  explicit MsnDialect(uint32_t firstId = 0) : next_(firstId), last_(firstId) {}
  std::string Encode(std::string_view text, bool fromClient) override;
  std::string Describe(std::string_view bytes) const override;
  std::size_t MessageLength(std::string_view bytes) const override;

  void SetNextId(uint32_t id) { next_ = id; }

 private:
  uint32_t next_;
  uint32_t last_;
};

}  // namespace tazu::test
