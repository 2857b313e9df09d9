#include "platform/gui/standard/edit.h"

#include <QLineEdit>
#include <QValidator>
#include <algorithm>
#include <vector>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/sys/application.h"
#include "platform/text/cp1252.h"
#include "platform/text/graphemes.h"
#include "platform/text/qt_string_qt.h"

namespace {

QLineEdit& LineEditOf(const TCustomEdit& edit) {
  return *static_cast<QLineEdit*>(WidgetOf(edit));
}

// QLineEdit's own limit is huge; 0 means none, as it does for the program.
constexpr int kUnlimited = 32767;

// Keeps the text within a number of bytes as it goes out: what goes beyond is taken off
// the characters just typed or pasted, those before the caret, a whole character as the
// user sees it at a time (an accent never goes out without its letter, nor the letter
// without its accent). A longer text set from code is held to the limit once the user
// types into it.
class TSentBytesLimit : public QValidator {
 public:
  TSentBytesLimit(QObject* Parent, int MaxBytes) : QValidator(Parent), max_bytes_(MaxBytes) {}

  State validate(QString& input, int& pos) const override {
    if (SentBytes(input) <= size_t(max_bytes_)) return Acceptable;
    const std::vector<size_t> starts = CharacterStarts(View(input));
    auto start = std::lower_bound(starts.begin(), starts.end(), size_t(pos));
    while (pos > 0 && SentBytes(input) > size_t(max_bytes_)) {
      const int from = int(*--start);
      input.remove(from, pos - from);
      pos = from;
    }
    return Acceptable;
  }

 private:
  static std::u16string_view View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
  }
  static size_t SentBytes(const QString& text) { return TextToSend(View(text)).size(); }

  const int max_bytes_;
};

QString ShownText(const QLineEdit& line) {
  return line.inputMask().isEmpty() ? line.text() : line.displayText();
}

}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new QLineEdit, false)) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  QLineEdit& line = LineEditOf(*this);
  line.setMaxLength(kUnlimited);
  QObject::connect(&line, &QLineEdit::textChanged, NativeOf(*this).bridge,
                   [this](const QString&) { Dispatch([this] { Change(); }); });
}

TCustomEdit::~TCustomEdit() = default;

// Under a mask the text keeps its empty places as blanks, so every character keeps
// its position.
std::string TCustomEdit::Text() const {
  const QString text = ShownText(LineEditOf(*this));
  return utf8_text_ ? text.toStdString() : FromQString(text);
}

std::u16string TCustomEdit::TextW() const {
  const QString text = ShownText(LineEditOf(*this));
  return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

void TCustomEdit::SetText(const std::string& Value) {
  QLineEdit& line = LineEditOf(*this);
  utf8_text_ = IsUtf8Text(Value);
  const QString text = utf8_text_ ? QString::fromStdString(Value) : ToQString(Value);
  if (Text() == Value) return;
  // Text from code is not cut to MaxLength: lift the limit for this one assignment.
  line.setMaxLength(kUnlimited);
  const QValidator* limit = line.validator();
  line.setValidator(nullptr);
  line.setText(text);
  line.setValidator(limit);
  line.setMaxLength(max_length_ > 0 ? std::max(max_length_, int(text.size())) : kUnlimited);
  // Text put in from code is read from its start (a long comment, a path); only while
  // the user types in it does the caret stay where the typing goes on.
  if (!line.hasFocus()) line.setCursorPosition(0);
}

void TCustomEdit::SetMaxLength(int Value) {
  max_length_ = Value < 0 ? 0 : Value;
  QLineEdit& line = LineEditOf(*this);
  const int limit = max_length_ > 0 ? std::max(max_length_, int(line.text().size())) : kUnlimited;
  // Qt puts its text in again on every limit it is given, which drops the selection: a
  // key typed over selected text would then be added to it instead of replacing it.
  if (line.maxLength() != limit) line.setMaxLength(limit);
}

void TCustomEdit::SetMaxSentBytes(int Value) {
  QLineEdit& line = LineEditOf(*this);
  delete line.validator();
  if (Value > 0) line.setValidator(new TSentBytesLimit(&line, Value));
}

bool TCustomEdit::ReadOnly() const {
  return LineEditOf(*this).isReadOnly();
}

void TCustomEdit::SetReadOnly(bool Value) {
  LineEditOf(*this).setReadOnly(Value);
}

void TCustomEdit::SelectAll() {
  LineEditOf(*this).selectAll();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}
