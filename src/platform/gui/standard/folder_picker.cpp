#include "platform/gui/standard/folder_picker.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/standard/file_dialog_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

QPointer<QFileDialog>& OpenDialog() {
  static QPointer<QFileDialog> dialog;
  return dialog;
}

}  // namespace

struct TFolderPicker::Impl {
  QPointer<QFileDialog> dialog;
  QPointer<QLabel> status;
  bool ok_enabled = true;

  void ApplyOkEnabled() {
    if (!dialog) return;
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
      if (QPushButton* ok = box->button(QDialogButtonBox::Open)) ok->setEnabled(ok_enabled);
      if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setEnabled(ok_enabled);
    }
  }
};

TFolderPicker::TFolderPicker() : impl_(std::make_unique<Impl>()) {}

TFolderPicker::~TFolderPicker() = default;

bool TFolderPicker::Execute(TWinControl* Owner, const std::string& Title, bool StatusLine,
                            std::string& Folder) {
  QWidget* parent = Owner ? WidgetOf(*Owner)->window() : QApplication::activeWindow();
  QFileDialog dialog(parent, ToQString(Title));
  // The station windows stay on top; a chooser below them could not be answered.
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
  // The desktop's own dialog cannot take a status line or report selection changes.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setFileMode(QFileDialog::Directory);
  GiveFileDialogRoom(dialog);
  impl_->dialog = &dialog;
  impl_->ok_enabled = true;
  OpenDialog() = &dialog;
  if (StatusLine) {
    auto* status = new QLabel(&dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      grid->addWidget(status, grid->rowCount(), 0, 1, grid->columnCount());
    }
    impl_->status = status;
  }
  QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog, [this](const QString& path) {
    // The dialog re-enables its button on every change; a refusal must outlast that.
    impl_->ApplyOkEnabled();
    if (OnSelChanged) Dispatch([&] { OnSelChanged(FileNameFromQString(path)); });
  });
  QTimer::singleShot(0, &dialog, [this] {
    if (OnInit) Dispatch(OnInit);
  });
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (chosen) Folder = FileNameFromQString(dialog.selectedFiles().first());
  impl_->dialog = nullptr;
  impl_->status = nullptr;
  return chosen;
}

bool TFolderPicker::IsOpen() const {
  return impl_->dialog != nullptr;
}

void TFolderPicker::SetStatusText(const std::string& Text) {
  if (impl_->status) impl_->status->setText(ToQString(Text));
}

void TFolderPicker::SetOkEnabled(bool Enabled) {
  impl_->ok_enabled = Enabled;
  impl_->ApplyOkEnabled();
}

void TFolderPicker::SetSelection(const std::string& Folder) {
  if (impl_->dialog) impl_->dialog->setDirectory(FileNameToQString(Folder));
}

bool CloseFolderPicker(bool Accept) {
  QFileDialog* dialog = OpenDialog();
  if (!dialog || !dialog->isVisible()) return false;
  // The file dialog's accept() is protected; called as a slot it still takes the
  // selected folder the way the OK button does.
  if (Accept) {
    QMetaObject::invokeMethod(dialog, "accept");
  } else {
    dialog->reject();
  }
  return true;
}
