// Percent-encoding of arbitrary bytes, the way MSN carries nicknames on the wire.
#pragma once

#include <string>
#include <string_view>

namespace tazu::net {

// Escapes every byte except the unreserved A-Z a-z 0-9 - _ . ~ as %XX with
// uppercase hex. The bytes need not be UTF-8.
std::string UrlEncode(std::string_view bytes);

// Turns %XX (either hex case) back into its byte. Anything else, '+' and a
// malformed escape such as "%4" or "%zz" included, is kept as it is: peers send
// half-escaped text and losing a nickname is worse than showing a stray '%'.
std::string UrlDecode(std::string_view text);

}  // namespace tazu::net
