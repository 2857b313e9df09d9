#include <QString>

#include "platform/text/wide_text.h"

std::u16string WideUpperCase(std::u16string_view text) {
  const QString upper =
      QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUpper();
  return {reinterpret_cast<const char16_t*>(upper.utf16()), static_cast<size_t>(upper.size())};
}

size_t WideCharLength(std::u16string_view text, size_t at) {
  if (at >= text.size()) return 0;
  const bool pair = at + 1 < text.size() && QChar::isHighSurrogate(text[at]) &&
                    QChar::isLowSurrogate(text[at + 1]);
  return pair ? 2 : 1;
}
