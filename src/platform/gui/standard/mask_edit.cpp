#include "platform/gui/standard/mask_edit.h"

#include <QLineEdit>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/text/qt_string_qt.h"

namespace {

constexpr char kBackspace = 8;
constexpr char kEscape = 27;

// Our mask in the line edit's own notation: every literal escaped, the blank as the
// empty-place character.
QString LineEditMask(const std::string& mask) {
  QString result;
  for (const char c : mask) {
    if (c == '0') {
      result += QLatin1Char('0');
    } else if (c == 'L') {
      result += QStringLiteral(">a<");
    } else {
      result += QLatin1Char('\\');
      result += ToQString(std::string(1, c));
    }
  }
  if (!result.isEmpty()) result += QStringLiteral("; ");
  return result;
}

}  // namespace

TMaskEdit::TMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TMaskEdit::SetEditMask(const std::string& Value) {
  edit_mask_ = Value;
  auto& line = *static_cast<QLineEdit*>(WidgetOf(*this));
  const QString text = line.displayText();
  line.setInputMask(LineEditMask(Value));
  line.setText(text);
}

void TMaskEdit::KeyPress(char& Key) {
  const auto code = static_cast<unsigned char>(Key);
  if (code < 32 && Key != kBackspace && Key != kEscape) return;
  TCustomEdit::KeyPress(Key);
}
