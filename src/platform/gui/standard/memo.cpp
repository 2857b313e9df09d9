#include "platform/gui/standard/memo.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextOption>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/standard/typed_text_qt.h"
#include "platform/sys/application.h"
#include "platform/text/cp1252.h"
#include "platform/text/qt_string_qt.h"
#include "platform/text/sysutils.h"

namespace {

// Typed, pasted, dropped or composed text is taken by the memo's rules before it goes in:
// the document's own undo then holds what was taken, and one step gives back the text
// before it.
class TRuledTextEdit : public QPlainTextEdit {
 public:
  TEditCharCase char_case = ecNormal;
  QString allowed;  // empty: every character

  QString Taken(const QString& Typed) const {
    if (char_case == ecNormal && allowed.isEmpty()) return Typed;
    // Line breaks are the memo's own structure, always taken.
    static const QString kLineBreaks = QStringLiteral("\n\r\u2028\u2029");
    return TakenAsTyped(Typed, char_case, allowed.isEmpty() ? allowed : allowed + kLineBreaks);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QString typed = event->text();
    // Keys that type no character (commands, Backspace) pass as they are.
    const bool types = !typed.isEmpty() && (typed.front().isPrint() || typed.front() == u'\t');
    const QString taken = types ? Taken(typed) : typed;
    if (taken == typed) {
      QPlainTextEdit::keyPressEvent(event);
    } else if (taken.isEmpty()) {
      event->accept();
    } else {
      QKeyEvent replaced(event->type(), event->key(), event->modifiers(), taken,
                         event->isAutoRepeat(), ushort(event->count()));
      QPlainTextEdit::keyPressEvent(&replaced);
      event->setAccepted(replaced.isAccepted());
    }
  }

  void inputMethodEvent(QInputMethodEvent* event) override {
    const QString taken = Taken(event->commitString());
    if (taken != event->commitString())
      event->setCommitString(taken, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(event);
  }

  // Pastes, drops and the middle button's paste all come here.
  void insertFromMimeData(const QMimeData* source) override {
    if (!source->hasText()) return QPlainTextEdit::insertFromMimeData(source);
    QMimeData taken;
    taken.setText(Taken(source->text()));
    QPlainTextEdit::insertFromMimeData(&taken);
  }
};

TRuledTextEdit& EditOf(const TMemo& memo) {
  return *static_cast<TRuledTextEdit*>(WidgetOf(memo));
}

QString Wide(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

}  // namespace

TMemo::TMemo(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new TRuledTextEdit, false)),
      lines_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 185, 89);
  SetTabStop(true);
  lines_->OnChange = [this](TStringList*) { LinesChanged(); };
  QObject::connect(&EditOf(*this), &QPlainTextEdit::textChanged, NativeOf(*this).bridge,
                   [this] { Dispatch([this] { TextEdited(); }); });
}

TMemo::~TMemo() {
  lines_->OnChange = nullptr;
}

std::string TMemo::Text() const {
  std::string text;
  for (int n = 0; n < lines_->Count(); ++n) {
    if (n > 0) text += "\r\n";
    text += lines_->Get(n);
  }
  return text;
}

bool TMemo::ReadOnly() const {
  return EditOf(*this).isReadOnly();
}

void TMemo::SetReadOnly(bool Value) {
  EditOf(*this).setReadOnly(Value);
}

void TMemo::SetTextW(std::u16string_view Value) {
  syncing_ = true;
  std::u16string shown(Value);
  std::erase(shown, u'\r');
  const QString text = Wide(shown);
  lines_->SetText(FromQString(text, text_bytes_));
  EditOf(*this).setPlainText(text);
  syncing_ = false;
  if (OnChange) OnChange(this);
}

void TMemo::SetTextBytes(TTextBytes Value) {
  text_bytes_ = Value;
  LinesChanged();
}

void TMemo::SetCharCase(TEditCharCase Value) {
  EditOf(*this).char_case = Value;
}

void TMemo::SetAllowedChars(std::string_view Chars) {
  TRuledTextEdit& edit = EditOf(*this);
  edit.allowed = Wide(Cp1252ToUtf16(Chars));
  // Without the blank the text has no words to keep whole on a line, and Qt's search for
  // a word's end walks on to the end of a long line for each line it lays out.
  QTextOption::WrapMode wrap = QTextOption::WrapAtWordBoundaryOrAnywhere;
  if (!edit.allowed.isEmpty() && !edit.allowed.contains(u' ')) wrap = QTextOption::WrapAnywhere;
  edit.setWordWrapMode(wrap);
}

std::u16string TMemo::TextW() const {
  const QString text = EditOf(*this).toPlainText();
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<size_t>(text.size()));
}

void TMemo::LinesChanged() {
  if (syncing_) return;
  syncing_ = true;
  EditOf(*this).setPlainText(
      ToQString(StringReplace(Text(), "\r\n", "\n", rfReplaceAll), text_bytes_));
  syncing_ = false;
  if (OnChange) OnChange(this);
}

void TMemo::TextEdited() {
  if (syncing_) return;
  syncing_ = true;
  lines_->SetText(FromQString(EditOf(*this).toPlainText(), text_bytes_));
  syncing_ = false;
  if (OnChange) OnChange(this);
}
