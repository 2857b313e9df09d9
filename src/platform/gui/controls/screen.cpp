#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QStyleHints>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/win_control_qt.h"

namespace {

TScreen the_screen;

}  // namespace

TScreen* Screen = &the_screen;

int TScreen::Width() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 0;
}

int TScreen::Height() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 0;
}

int TScreen::WorkAreaWidth() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry().width() : 0;
}

int TScreen::WorkAreaHeight() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry().height() : 0;
}

int TScreen::PixelsPerInch() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? static_cast<int>(screen->logicalDotsPerInch() + 0.5) : kScreenPixelsPerInch;
}

TPoint TScreen::CursorPos() const {
  const QPoint at = QCursor::pos();
  return Point(at.x(), at.y());
}

int TScreen::DoubleClickTime() const {
  return QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

const TFont& TScreen::MenuFont() const {
  static const TFont font = [] {
    TFont menuFont;
    menuFont.SetSize(9);
    return menuFont;
  }();
  return font;
}

TForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FormCount()) return nullptr;
  return forms_[static_cast<size_t>(Index)];
}

TForm* TScreen::ActiveForm() const {
  const QWidget* active = QApplication::activeWindow();
  for (TForm* form : forms_) {
    if (active && HostOf(*form) == active) return form;
  }
  return nullptr;
}
