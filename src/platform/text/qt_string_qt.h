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

// File and folder names are the file system's bytes (UTF-8 on every current desktop), not
// text of the code page: a Polish or Greek name, which Windows-1252 cannot hold, comes
// back whole, and a folder chosen in a dialog is the folder that exists. So does a name
// in no UTF-8 at all (Latin-1), which Qt's own conversion turns into U+FFFD.
inline QString FileNameToQString(const std::string& name) {
  const std::u16string wide = FileNameToUtf16(name);
  return QString(reinterpret_cast<const QChar*>(wide.data()), static_cast<qsizetype>(wide.size()));
}

inline std::string FileNameFromQString(const QString& name) {
  return Utf16ToFileName(std::u16string_view(reinterpret_cast<const char16_t*>(name.utf16()),
                                             static_cast<size_t>(name.size())));
}

inline QString ToQString(const std::string& text, TTextBytes bytes) {
  if (bytes == TTextBytes::FileName) return FileNameToQString(text);
  if (bytes == TTextBytes::CodePage) return ToQString(text);
  const std::u16string wide = ReceivedTextToUtf16(text);
  return QString(reinterpret_cast<const QChar*>(wide.data()), static_cast<qsizetype>(wide.size()));
}

inline std::string FromQString(const QString& text, TTextBytes bytes) {
  if (bytes == TTextBytes::FileName) return FileNameFromQString(text);
  if (bytes == TTextBytes::CodePage) return FromQString(text);
  return TextToSend(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<size_t>(text.size())));
}
