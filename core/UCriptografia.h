// The program's reversible text scrambler: keeps texts from being readable at a
// glance in the local user store, in history files and (when the server asks
// for it) on the Tazu connection, one scrambled text per line. It is not
// encryption. The key byte only decides a check character, so a text scrambled
// with one key nearly always unscrambles with any other (see the end).
//
// Scrambling appends "LX", prefixes a check character, applies a rolling
// transformation and finally protects the bytes a line-oriented reader would
// trip over. Protection escapes a byte as 0xC0 followed by a code:
//
//   0xA7 ("§")  -> C0 D0        CR alone -> C0 D3
//   CR LF       -> C0 D1        LF alone -> C0 D4
//   0xC0 before a byte D0..D5   -> C0 D2        NUL -> C0 D5
//
// The first two are the historic protection; the others were added so that the
// output never holds CR, LF or NUL and every 0xC0 reads one way only. A text
// that needs none of the added escapes scrambles to the same bytes as before.
// An escape is recognised only when at least one more byte follows it, which is
// always true of scrambler output (its last two bytes come from "LX").
//
// Texts written by the first scrambler (old histories and stores, peers that
// still scramble that way) may hold 0xC0 before D2..D5 as two plain bytes.
// Where a text reads both ways, the reading that ends in "LX" with a check
// character matching the key wins: what this scrambler wrote under the key
// always does. So the key matters when unscrambling such rare texts; every
// reader passes the key the text was written with.
#pragma once

#include <cstdint>
#include <string>

namespace tazu {

class TCriptografia {
 public:
  // The key a scrambler starts with; the number field of the user store uses it.
  static constexpr uint8_t ChavePadrao = 77;

  uint8_t Chave = ChavePadrao;

  std::string Embaralhar(const std::string& texto) const;
  std::string Desembaralhar(const std::string& texto) const;
};

}  // namespace tazu
