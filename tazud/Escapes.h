// The server's side of the field escapes, and what it does with bytes no
// field may carry.
//
// Nicknames: the client escapes with one table and unescapes with another
// (they are not each other's inverse), so the server reads with the inverse
// of the client's escaping and writes with the inverse of its unescaping.
#pragma once

#include <string>
#include <string_view>

namespace tazu::tazud {

// A nickname or name the client sent, pair-escaped by it, back to plain text.
std::string LerApelido(std::string_view campo);
// A nickname ready for a field the client pair-unescapes.
std::string EscreverApelido(std::string_view apelido);

// Whether a field holds CR, LF or NUL. After unscrambling a line may hold
// them; no field may, or a client could forge lines for another.
bool TemQuebraOuNulo(std::string_view campo);
// A free text the client tag-escaped (a message, a request), fit to forward as
// one field: a bare "§" (no well-behaved client sends one) is escaped, a line
// break (CR LF, CR or LF alone) becomes the line-break escape, NUL goes.
std::string TextoLivre(std::string_view texto);
// Any text stored from a field, made safe to stand as one field again.
std::string SemSeparador(std::string_view texto);

// A log line with what a client chose in it (control bytes, bytes past
// ASCII, backslashes) written as \xNN, so it cannot fake or garble the log.
std::string ParaOLog(std::string_view linha);

}  // namespace tazu::tazud
