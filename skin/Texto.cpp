#include "skin/Texto.h"

#include "base/Cp1252.h"

namespace tazu {

QString ParaQString(std::string_view cp1252) {
  const std::string utf8 = cp1252::ToUtf8(cp1252);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ParaCp1252(const QString& texto) {
  const QByteArray utf8 = texto.toUtf8();
  return cp1252::FromUtf8(
      std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace tazu
