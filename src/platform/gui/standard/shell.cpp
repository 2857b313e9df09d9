#include "platform/gui/standard/shell.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/text/qt_string_qt.h"

namespace {

std::function<bool(const std::string&)>& Handler() {
  static std::function<bool(const std::string&)> handler;
  return handler;
}

}  // namespace

bool ShellOpen(const std::string& Url) {
  if (Handler()) return Handler()(Url);
  // The link is already encoded; take it as it stands.
  return QDesktopServices::openUrl(QUrl(ToQString(Url), QUrl::TolerantMode));
}

void SetShellOpenHandler(std::function<bool(const std::string& Url)> Handler_) {
  Handler() = std::move(Handler_);
}
