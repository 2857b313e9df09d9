#include "platform/gui/open_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>

#include "platform/text/qt_string_qt.h"

namespace {

QPointer<QFileDialog>& RunningDialog() {
  static QPointer<QFileDialog> dialog;
  return dialog;
}

}  // namespace

bool TOpenDialog::Execute() {
  QFileDialog dialog(QApplication::activeWindow(), ToQString(Title));
  // The desktop's own dialog could not be answered by the tests.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // A recording may go to a file that does not exist yet.
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!FileName.empty()) dialog.selectFile(ToQString(FileName));
  RunningDialog() = &dialog;
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  RunningDialog() = nullptr;
  if (chosen) FileName = FromQString(dialog.selectedFiles().first());
  return chosen;
}

bool CloseOpenDialog(bool Accept, const std::string& FileName) {
  QFileDialog* dialog = RunningDialog();
  if (!dialog || !dialog->isVisible()) return false;
  if (Accept) {
    dialog->selectFile(ToQString(FileName));
    QMetaObject::invokeMethod(dialog, "accept");
  } else {
    dialog->reject();
  }
  return true;
}
