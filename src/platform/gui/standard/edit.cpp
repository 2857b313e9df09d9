#include "platform/gui/standard/edit.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QValidator>
#include <optional>
#include <utility>
#include <vector>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/standard/typed_text_qt.h"
#include "platform/sys/application.h"
#include "platform/text/cp1252.h"
#include "platform/text/qt_string_qt.h"

namespace {

QLineEdit& LineEditOf(const TCustomEdit& edit) {
  return *static_cast<QLineEdit*>(WidgetOf(edit));
}

// QLineEdit's own limit is huge; 0 means none, as it does for the program.
constexpr int kUnlimited = 32767;

QString ShownText(const QLineEdit& line) {
  return line.inputMask().isEmpty() ? line.text() : line.displayText();
}

std::u16string_view Wide(const QString& text, qsizetype from, qsizetype length) {
  return {reinterpret_cast<const char16_t*>(text.utf16()) + from, size_t(length)};
}

// The places between whole characters as the user sees them (a letter with its marks, a
// surrogate pair), from 0 to the text's end.
std::vector<size_t> CharacterCuts(const QString& text) {
  std::vector<size_t> cuts{0};
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  while (finder.toNextBoundary() > 0) cuts.push_back(size_t(finder.position()));
  return cuts;
}

// Where typing or pasting put new characters into before, giving input with the caret at
// pos: the text after the caret is what followed before, and the start they share comes
// ahead. Deleting puts in none.
std::pair<int, int> InsertedRange(const QString& before, const QString& input, int pos) {
  const int after = int(input.size()) - pos;
  if (after < 0 || after > before.size() ||
      QStringView(input).right(after) != QStringView(before).right(after)) {
    return {pos, pos};
  }
  const int room = std::min(pos, int(before.size()) - after);
  int start = 0;
  while (start < room && input[start] == before[start]) ++start;
  return {start, pos};
}

}  // namespace

// What the user may put into an edit, applied to what is typed or pasted as it comes:
// its case, the characters allowed, and the bytes the text may take when it goes out.
// Text set from code passes by these rules.
class TTypedTextRules : public QValidator {
 public:
  explicit TTypedTextRules(QLineEdit& Line) : QValidator(&Line), before_(Line.text()) {
    QObject::connect(&Line, &QLineEdit::textChanged, this,
                     [this](const QString& text) { before_ = text; });
    Line.installEventFilter(this);
  }

  // The refused characters go first, so that the length counts only what is taken.
  State validate(QString& input, int& pos) const override {
    const QString typed = input;
    const int at = InsertedRange(before_, input, pos).first;
    TakeTyped(input, pos);
    if (max_length_ > 0) KeepMaxLength(input, pos);
    if (max_bytes_ > 0) KeepSentBytes(input, pos);
    if (input != typed) ruled_change_ = TRuledChange{before_, at, input};
    return Acceptable;
  }

  TEditCharCase CharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase Value) { char_case_ = Value; }
  void SetAllowed(const QString& Value) { allowed_ = Value; }
  void SetMaxBytes(int Value) { max_bytes_ = Value; }
  void SetMaxLength(int Value) { max_length_ = Value; }

 private:
  void TakeTyped(QString& input, int& pos) const {
    if (char_case_ == ecNormal && allowed_.isEmpty()) return;
    const auto [at, end] = InsertedRange(before_, input, pos);
    const QString taken = TakenAsTyped(QStringView(input).mid(at, end - at), char_case_, allowed_);
    input.replace(at, end - at, taken);
    pos -= end - at - int(taken.size());
  }

  // Characters beyond the limit are not taken of those just typed or pasted, whole
  // characters at a time. A longer text set from code keeps its length but takes no more.
  void KeepMaxLength(QString& input, int& pos) const {
    const auto [at, end] = InsertedRange(before_, input, pos);
    const int limit = std::max(max_length_, int(before_.size()));
    const int room = limit - (int(input.size()) - (end - at));
    if (end - at <= room) return;
    size_t kept = 0;
    for (const size_t cut : CharacterCuts(input.mid(at, end - at))) {
      if (int(cut) <= room) kept = cut;
    }
    input.remove(at + qsizetype(kept), end - at - qsizetype(kept));
    pos = at + int(kept);
  }

  // What goes beyond the limit is taken off the characters just before the caret (those
  // just typed or pasted), whole characters at a time. A longer text set from code is
  // held to the limit once the user types into it.
  void KeepSentBytes(QString& input, int& pos) const {
    const QString head = input.left(pos);
    const size_t kept =
        SendableHeadLength(Wide(input, 0, pos), Wide(input, pos, input.size() - pos),
                           size_t(max_bytes_), CharacterCuts(head));
    input.remove(qsizetype(kept), pos - qsizetype(kept));
    pos = int(kept);
  }

  // A change the rules made replaces the line's text, which clears its own undo: Ctrl+Z
  // then gives back the text before that change.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress ||
        !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo)) {
      return false;
    }
    auto& line = static_cast<QLineEdit&>(*watched);
    if (!ruled_change_ || line.isUndoAvailable() || line.isReadOnly() ||
        line.text() != ruled_change_->after) {
      return false;
    }
    const TRuledChange change = *std::exchange(ruled_change_, std::nullopt);
    line.setValidator(nullptr);
    line.setText(change.before);
    line.setValidator(this);
    line.setCursorPosition(change.at);
    return true;
  }

  struct TRuledChange {
    QString before;
    int at;  // where the change began
    QString after;
  };

  TEditCharCase char_case_ = ecNormal;
  QString allowed_;
  int max_length_ = 0;
  int max_bytes_ = 0;
  // The text before the change being validated.
  QString before_;
  mutable std::optional<TRuledChange> ruled_change_;
};

TCustomEdit::TCustomEdit(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new QLineEdit, false)) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  QLineEdit& line = LineEditOf(*this);
  line.setMaxLength(kUnlimited);
  // A key the rules refuse puts the same text back, which is no change.
  QObject::connect(&line, &QLineEdit::textChanged, NativeOf(*this).bridge,
                   [this, shown = line.text()](const QString& text) mutable {
                     if (text == shown) return;
                     shown = text;
                     Dispatch([this] { Change(); });
                   });
}

TCustomEdit::~TCustomEdit() = default;

// Under a mask the text keeps its empty places as blanks, so every character keeps
// its position.
std::string TCustomEdit::Text() const {
  const QString text = ShownText(LineEditOf(*this));
  if (text_bytes_ == TTextBytes::FileName) return FileNameFromQString(text);
  return utf8_text_ ? text.toStdString() : FromQString(text);
}

std::u16string TCustomEdit::TextW() const {
  const QString text = ShownText(LineEditOf(*this));
  return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

void TCustomEdit::SetText(const std::string& Value) {
  QLineEdit& line = LineEditOf(*this);
  utf8_text_ = IsUtf8Text(Value);
  const QString text = text_bytes_ == TTextBytes::FileName ? FileNameToQString(Value)
                       : utf8_text_                        ? QString::fromStdString(Value)
                                                           : ToQString(Value);
  if (Text() == Value) return;
  // Text from code passes by the rules of typing, MaxLength among them.
  const QValidator* rules = line.validator();
  line.setValidator(nullptr);
  line.setText(text);
  line.setValidator(rules);
  // Text put in from code is read from its start (a long comment, a path); only while
  // the user types in it does the caret stay where the typing goes on.
  if (!line.hasFocus()) line.setCursorPosition(0);
}

// The limit is kept by the rules of typing rather than by Qt, which cuts a paste to it
// before the refused characters are taken out.
void TCustomEdit::SetMaxLength(int Value) {
  max_length_ = Value < 0 ? 0 : Value;
  if (max_length_ > 0 || LineEditOf(*this).validator()) Rules().SetMaxLength(max_length_);
}

TTypedTextRules& TCustomEdit::Rules() {
  QLineEdit& line = LineEditOf(*this);
  if (!line.validator()) line.setValidator(new TTypedTextRules(line));
  return *static_cast<TTypedTextRules*>(const_cast<QValidator*>(line.validator()));
}

void TCustomEdit::SetMaxSentBytes(int Value) {
  Rules().SetMaxBytes(std::max(Value, 0));
}

TEditCharCase TCustomEdit::CharCase() const {
  const QValidator* rules = LineEditOf(*this).validator();
  return rules ? static_cast<const TTypedTextRules*>(rules)->CharCase() : ecNormal;
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  Rules().SetCharCase(Value);
}

void TCustomEdit::SetAllowedChars(std::string_view Chars) {
  Rules().SetAllowed(ToQString(std::string(Chars)));
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
