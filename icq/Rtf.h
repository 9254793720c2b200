// Rich text (RTF) message bodies reduced to the plain text they show.
#pragma once

#include <string>
#include <string_view>

namespace tazu::icq {

// The text of an RTF document: "\par" and "\line" become CR LF, "\tab" a tab,
// "\'hh" the byte hh, "\\", "\{" and "\}" their character, "\uN" the
// Windows-1252 character for N (or "?"), skipping the fallback that follows
// it; groups that hold no text (font and colour tables, style sheets,
// "\*" destinations, pictures) and every other control word are dropped.
// Text that is not RTF (does not start with "{\rtf") is returned unchanged.
std::string RtfParaTexto(std::string_view rtf);

// As a message arrives: a body holding "{\rtf1" anywhere is rich text; the
// text before it is kept and the rich part reduced.
std::string TextoDaMensagem(std::string_view corpo);

}  // namespace tazu::icq
