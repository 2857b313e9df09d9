#include "platform/gui/graphics/text_runs.h"

#include <QStaticText>
#include <unordered_map>

#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/text/qt_string_qt.h"

namespace {

constexpr std::size_t kKeptLayouts = 4096;

// Laid-out texts by font and text; emptied when full.
std::unordered_map<std::string, QStaticText>& Layouts() {
  static std::unordered_map<std::string, QStaticText> layouts;
  return layouts;
}

}  // namespace

void DrawTextRun(TCanvas& Canvas, int X, int Y, const std::string& Text) {
  TCanvas::Impl& impl = TCanvasAccess::Internals(Canvas);
  if (Text.empty()) return;
  const TFont& font = Canvas.Font();
  QPainter* painter = impl.TextPainter(font);
  if (!painter) return;
  // A static text draws its underline and strike-out where it would stand untranslated:
  // under a painter moved to a control's place they land beside the words.
  if (font.Style() & (fsUnderline | fsStrikeOut)) {
    painter->drawText(QPoint(X, Y + impl.metrics->ascent()), ToQString(Text));
    return;
  }
  std::string key = font.Name();
  key += char(font.Style());
  key += std::to_string(font.Height());
  key += '\n';
  key += Text;
  auto& layouts = Layouts();
  auto found = layouts.find(key);
  if (found == layouts.end()) {
    if (layouts.size() >= kKeptLayouts) layouts.clear();
    QStaticText layout(ToQString(Text));
    layout.setTextFormat(Qt::PlainText);
    layout.setPerformanceHint(QStaticText::AggressiveCaching);
    layout.prepare(QTransform(), impl.qfont);
    found = layouts.emplace(std::move(key), std::move(layout)).first;
  }
  painter->drawStaticText(QPointF(X, Y), found->second);
}
