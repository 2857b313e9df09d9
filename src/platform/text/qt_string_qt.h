// Platform-internal: the program's Windows-1252 strings at the Qt edge.
#pragma once

#include <QString>
#include <string>

#include "platform/text/cp1252.h"

inline QString ToQString(const std::string& text) {
  const std::u16string wide = Cp1252ToUtf16(text);
  return QString(reinterpret_cast<const QChar*>(wide.data()), static_cast<qsizetype>(wide.size()));
}

inline std::string FromQString(const QString& text) {
  return Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                           static_cast<size_t>(text.size())));
}
