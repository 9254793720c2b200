// How a person's full name is written once the user leaves the name box (the
// registration wizard and the user information window): no leading blanks,
// one blank between words, each word capitalised, one blank after "." and ",",
// the small Portuguese particles ("da", "de", "e", ...) in small letters inside
// the name and Roman numerals in capitals. Windows-1252 in and out; accented
// letters change case too.
#pragma once

#include <string>

namespace tazu {

std::string FormatarNome(const std::string& nome);

}  // namespace tazu
