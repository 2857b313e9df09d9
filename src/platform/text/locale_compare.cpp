#include <QString>

#include "platform/text/qt_string_qt.h"
#include "platform/text/sysutils.h"

int AnsiCompareStr(std::string_view a, std::string_view b) {
  return QString::localeAwareCompare(ToQString(std::string(a)), ToQString(std::string(b)));
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  return QString::localeAwareCompare(ToQString(std::string(a)).toLower(),
                                     ToQString(std::string(b)).toLower());
}
