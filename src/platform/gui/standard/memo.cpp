#include "platform/gui/standard/memo.h"

#include <QPlainTextEdit>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/sys/application.h"
#include "platform/text/cp1252.h"
#include "platform/text/qt_string_qt.h"
#include "platform/text/sysutils.h"

namespace {

QPlainTextEdit& EditOf(const TMemo& memo) {
  return *static_cast<QPlainTextEdit*>(WidgetOf(memo));
}

}  // namespace

TMemo::TMemo(TComponent* AOwner)
    : TWinControl(AOwner, std::make_unique<TNativeWidget>(new QPlainTextEdit, false)),
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
  lines_->SetText(Utf16ToCp1252(Value));
  std::u16string shown(Value);
  std::erase(shown, u'\r');
  EditOf(*this).setPlainText(
      QString(reinterpret_cast<const QChar*>(shown.data()), static_cast<qsizetype>(shown.size())));
  syncing_ = false;
  if (OnChange) OnChange(this);
}

std::u16string TMemo::TextW() const {
  const QString text = EditOf(*this).toPlainText();
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<size_t>(text.size()));
}

void TMemo::LinesChanged() {
  if (syncing_) return;
  syncing_ = true;
  EditOf(*this).setPlainText(ToQString(StringReplace(Text(), "\r\n", "\n", rfReplaceAll)));
  syncing_ = false;
  if (OnChange) OnChange(this);
}

void TMemo::TextEdited() {
  if (syncing_) return;
  syncing_ = true;
  lines_->SetText(FromQString(EditOf(*this).toPlainText()));
  syncing_ = false;
  if (OnChange) OnChange(this);
}
