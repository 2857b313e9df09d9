#include "platform/gui/standard/memo.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/standard/typed_text_qt.h"
#include "platform/sys/application.h"
#include "platform/text/cp1252.h"
#include "platform/text/qt_string_qt.h"
#include "platform/text/sysutils.h"

namespace {

QPlainTextEdit& EditOf(const TMemo& memo) {
  return *static_cast<QPlainTextEdit*>(WidgetOf(memo));
}

QString Wide(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

}  // namespace

TMemo::TMemo(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new QPlainTextEdit, false)),
      lines_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 185, 89);
  SetTabStop(true);
  lines_->OnChange = [this](TStringList*) { LinesChanged(); };
  QTextDocument& document = *EditOf(*this).document();
  QObject::connect(&document, &QTextDocument::contentsChange, NativeOf(*this).bridge,
                   [this](int From, int, int Added) {
                     typed_from_ = From;
                     typed_length_ = Added;
                   });
  QObject::connect(&EditOf(*this), &QPlainTextEdit::textChanged, NativeOf(*this).bridge, [this] {
    Dispatch([this] {
      TakeTyped();
      TextEdited();
    });
  });
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

void TMemo::SetAllowedChars(std::string_view Chars) {
  allowed_ = Cp1252ToUtf16(Chars);
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

// Runs before the change is read into Lines: what the user just typed, pasted or dropped
// is put back as the memo takes it, in the same undo step.
void TMemo::TakeTyped() {
  const int from = typed_from_;
  const int length = typed_length_;
  typed_from_ = -1;
  if (syncing_ || from < 0 || length <= 0 || (char_case_ == ecNormal && allowed_.empty())) return;
  QTextDocument& document = *EditOf(*this).document();
  // A change that fills the whole document (a paste into the empty memo, or over all of
  // it) is counted with the document's closing paragraph end, which is no text.
  const int end = std::min(from + length, document.characterCount() - 1);
  if (end <= from) return;
  QTextCursor cursor(&document);
  cursor.setPosition(from);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  const QString typed = cursor.selectedText();
  QString allowed = Wide(allowed_);
  if (!allowed.isEmpty()) {
    allowed += QChar(QChar::ParagraphSeparator);
    allowed += QChar(QChar::LineSeparator);
  }
  const QString taken = TakenAsTyped(typed, char_case_, allowed);
  if (taken == typed) return;
  syncing_ = true;
  cursor.joinPreviousEditBlock();
  cursor.insertText(taken);
  cursor.endEditBlock();
  syncing_ = false;
}
