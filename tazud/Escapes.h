// The server's side of nickname pair escaping. The client escapes with one
// table and unescapes with another (they are not each other's inverse), so the
// server reads with the inverse of the client's escaping and writes with the
// inverse of the client's unescaping.
#pragma once

#include <string>
#include <string_view>

namespace tazu::tazud {

// A nickname or name the client sent, pair-escaped by it, back to plain text.
std::string LerApelido(std::string_view campo);
// A nickname ready for a field the client pair-unescapes.
std::string EscreverApelido(std::string_view apelido);
// A free text the client tag-escaped, forwarded as one field: a bare "§" (no
// well-behaved client sends one) is escaped so the field cannot split.
std::string ProtegerTexto(std::string_view texto);
// Any text stored from a field, made safe to stand as one field again.
std::string SemSeparador(std::string_view texto);

}  // namespace tazu::tazud
