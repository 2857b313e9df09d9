#include "platform/test_support/qt_nested_tables.h"

#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextTable>
#include <QTextTableFormat>

struct TQtNestedTablesEdit::Impl {
  QTextEdit edit;
  QImage target;
};

TQtNestedTablesEdit::TQtNestedTablesEdit(int Depth, int Width, int Height)
    : impl_(std::make_unique<Impl>()) {
  QTextEdit& edit = impl_->edit;
  edit.resize(Width, Height);
  QTextTableFormat format;
  format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
  QTextCursor cursor = edit.textCursor();
  for (int level = 0; level < Depth; ++level) {
    QTextTable* table = cursor.insertTable(2, 2, format);
    for (int row = 0; row < 2; ++row)
      for (int col = 0; col < 2; ++col)
        if (row + col > 0)
          table->cellAt(row, col).firstCursorPosition().insertText(
              QStringLiteral("N0CALL-%1").arg(level));
    cursor = table->cellAt(0, 0).firstCursorPosition();
  }
  edit.setTextCursor(cursor);
  // As a bitmap of ours holds its pixels.
  impl_->target = QImage(Width, Height, QImage::Format_RGB32);
}

TQtNestedTablesEdit::~TQtNestedTablesEdit() = default;

void TQtNestedTablesEdit::Paint() {
  QTextEdit& edit = impl_->edit;
  QImage image(edit.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    edit.render(&painter);
  }
  QPainter target(&impl_->target);
  target.drawImage(0, 0, image);
}
