// The bytes of one line the server sends, appended where they go.
//
// The server builds one line at a time, so it packs each one itself rather
// than through PrepararEnvio (shared with the client), whose list of lines
// and copies showed in the cost of every message; the bytes are the same.
// Unlike PrepararEnvio it never cuts a line in two: a line holding CR, LF or
// NUL is a fault of ours (every field from a client is checked before it is
// stored or forwarded), and such a byte would let a client forge lines for
// someone else.
#pragma once

#include <string>
#include <string_view>

#include "core/UCriptografia.h"

namespace tazu::tazud {

// Appends `linha` and its end. A CR, LF or NUL in it goes out as a space, and
// the answer is false.
bool AnexarLinha(std::string& saida, std::string_view linha, const TCriptografia& cripto);

}  // namespace tazu::tazud
