#include "platform/gui/standard/open_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <optional>
#include <utility>

#include "platform/gui/standard/file_dialog_qt.h"
#include "platform/text/qt_string_qt.h"

namespace {

// The answer a test has given for the next chooser: accept with a file, or cancel.
std::optional<std::pair<bool, std::string>>& PendingAnswer() {
  static std::optional<std::pair<bool, std::string>> answer;
  return answer;
}

// "Text|*.txt|All|*.*" to the chooser's "Text (*.txt)" and "All (*.*)".
QStringList NameFilters(const std::string& Filter) {
  const QStringList parts = ToQString(Filter).split('|');
  QStringList filters;
  for (int n = 0; n + 1 < parts.size(); n += 2) {
    filters << parts[n] + " (" + QString(parts[n + 1]).replace(';', ' ') + ")";
  }
  return filters;
}

// True when every description already names its patterns, as "Bitmaps (*.bmp)" does:
// the chooser would show them a second time after it.
bool DescriptionsShowPatterns(const std::string& Filter) {
  const QStringList parts = ToQString(Filter).split('|');
  if (parts.size() < 2) return false;
  for (int n = 0; n + 1 < parts.size(); n += 2) {
    if (!parts[n].contains('*')) return false;
  }
  return true;
}

}  // namespace

bool TOpenDialog::Execute() {
  QFileDialog dialog(QApplication::activeWindow(), ToQString(Title));
  // The station windows stay on top; a chooser below them could not be answered.
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
  // The desktop's own dialog could not be answered by the tests.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // A recording may go to a file that does not exist yet.
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!Filter.empty()) dialog.setNameFilters(NameFilters(Filter));
  dialog.setOption(QFileDialog::HideNameFilterDetails, DescriptionsShowPatterns(Filter));
  if (!FileName.empty()) dialog.selectFile(FileNameToQString(FileName));
  GiveFileDialogRoom(dialog);
  QTimer::singleShot(0, &dialog, [&dialog] {
    std::optional<std::pair<bool, std::string>> answer =
        std::exchange(PendingAnswer(), std::nullopt);
    if (!answer) return;
    if (answer->first) {
      dialog.selectFile(FileNameToQString(answer->second));
      // accept() is protected; called as a slot it takes the file as the Open button does.
      QMetaObject::invokeMethod(&dialog, "accept");
    } else {
      dialog.reject();
    }
  });
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (chosen) FileName = FileNameFromQString(dialog.selectedFiles().first());
  return chosen;
}

void AnswerNextOpenDialog(bool Accept, const std::string& FileName) {
  PendingAnswer() = std::make_pair(Accept, FileName);
}
