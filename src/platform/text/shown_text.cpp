#include "platform/text/shown_text.h"

#include "platform/text/cp1252.h"
#include "platform/text/qt_string_qt.h"

std::string ShownFileName(const std::string& Name) {
  return FileNameToQString(Name).toStdString();
}

std::string ShownText(std::string_view Text) {
  return ToQString(std::string(Text), TTextBytes::Sent).toStdString();
}
