#include "platform/gui/standard/message_box.h"

#include <QMessageBox>

#include "platform/sys/application.h"
#include "platform/text/local_texts.h"
#include "platform/text/qt_string_qt.h"

const char* const kErrorBoxCaption = "Error";

namespace {

constexpr unsigned kButtonsMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;

QMessageBox::StandardButtons ButtonsOf(unsigned flags) {
  switch (flags & kButtonsMask) {
    case MB_OKCANCEL:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
      return QMessageBox::Yes | QMessageBox::No;
    default:
      return QMessageBox::Ok;
  }
}

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & kIconMask) {
    case MB_ICONERROR:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

int ResultOf(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return IDOK;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return IDCANCEL;
  }
}

TBoxAnswerCheck& AnswerCheck() {
  static TBoxAnswerCheck check;
  return check;
}

}  // namespace

void SetBoxAnswerCheck(TBoxAnswerCheck Check) {
  AnswerCheck() = std::move(Check);
}

bool BoxWillBeAnswered(const std::string& Text) {
  return !AnswerCheck() || AnswerCheck()(Text);
}

int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
  if (Application && Application->Ending()) {
    LogMessage(Caption.empty() ? Text : Caption + ": " + Text);
    return IDCANCEL;
  }
  if (!BoxWillBeAnswered(Text)) return IDCANCEL;
  // A message may name a file as the file system names it (ShownFileName).
  QMessageBox box(IconOf(Flags), ToQString(Caption), ToQString(Text, TTextBytes::Sent),
                  ButtonsOf(Flags));
  // Above the program's stay-on-top windows, too: a box behind them cannot be answered.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  return ResultOf(box.exec());
}

void ShowMessage(const std::string& Text) {
  MessageBox(Text, Application ? Application->Title : std::string(), MB_OK);
}

int ShowErrorBox(const std::string& Text) {
  return MessageBox(Text, LocalText(kErrorBoxCaption), MB_OK | MB_ICONERROR);
}
