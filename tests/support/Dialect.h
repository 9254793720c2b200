// How a scripted peer turns the text of a transcript step into bytes on the
// wire. Each protocol has its own dialect (Tazu lines with fields and
// scrambling, YMSG packets, ...); the raw one takes the text byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace tazu::test {

class Dialect {
 public:
  virtual ~Dialect() = default;
  // The bytes of one step, in transcript order (a dialect may keep state, such
  // as a scrambling key a step hands out). Throws std::invalid_argument for a
  // text it cannot read.
  virtual std::string Encode(std::string_view text, bool fromClient) = 0;
  // Bytes as a person should read them in a failure message.
  virtual std::string Describe(std::string_view bytes) const;
  // How many bytes the first whole message of `bytes` takes, or npos while it
  // is incomplete: what a "C: *" step (any one message) consumes. By default
  // a message ends with CR LF.
  virtual std::size_t MessageLength(std::string_view bytes) const;
  // Steps one a line, each with or without its "S: " or "C: ", blank lines
  // skipped: the bytes of all, in order, as one side sends them.
  std::string EncodeLines(std::string_view lines, bool fromClient = false);
};

// Byte for byte, with the escapes \xNN, \\, \r, \n, \t, and \c at the very end
// for "no line end here"; every other step ends with the line end.
class RawDialect : public Dialect {
 public:
  explicit RawDialect(std::string lineEnd = "\r\n") : lineEnd_(std::move(lineEnd)) {}
  std::string Encode(std::string_view text, bool fromClient) override;

 private:
  std::string lineEnd_;
};

// The escapes of RawDialect, without the line end business. Sets `lineEnd` to
// false when the text ends in \c.
std::string Unescape(std::string_view text, bool& lineEnd);

}  // namespace tazu::test
