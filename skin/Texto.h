// The one crossing between the program's Windows-1252 texts and Qt's strings.
// Everything the windows show passes here; nothing else converts text.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tazu {

QString ParaQString(std::string_view cp1252);
// Characters Windows-1252 lacks become '?'.
std::string ParaCp1252(const QString& texto);

}  // namespace tazu
