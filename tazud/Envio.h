// The bytes of one line the server sends, appended where they go.
//
// PrepararEnvio (shared with the client) takes any text, cuts it into lines
// and scrambles each one; the server builds one line at a time and sends two
// or three per message, so the general form's list of lines and its copies
// showed up in the cost of every message. This writes the same bytes.
#pragma once

#include <string>
#include <string_view>

#include "core/UCriptografia.h"

namespace tazu::tazud {

void AnexarLinha(std::string& saida, std::string_view linha, const TCriptografia& cripto);

}  // namespace tazu::tazud
