#include "platform/gui/graphics/file_icons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>

#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/text/qt_string_qt.h"

namespace {

QIcon IconOf(const QString& path) {
  static QFileIconProvider provider;
  const QFileInfo info(path);
  if (info.exists()) return provider.icon(info);
  // A name alone: the icon of its kind, as the desktop shows files of that extension.
  const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
  QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
  return icon.isNull() ? provider.icon(QAbstractFileIconProvider::File) : icon;
}

}  // namespace

void DrawFileIcon(TCanvas& Canvas, const TRect& Rect, const std::string& Path) {
  if (Rect.Width() <= 0 || Rect.Height() <= 0) return;
  QPainter* painter = TCanvasAccess::Internals(Canvas).Painter();
  if (!painter) return;
  const QIcon icon = IconOf(FileNameToQString(Path));
  if (icon.isNull()) return;
  painter->save();
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  icon.paint(painter, ToQRect(Rect));
  painter->restore();
}
