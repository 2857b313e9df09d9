// The cursors over a table's left and top edges that select a whole row or column: a
// solid black arrow with a white rim, drawn here instead of loaded, pointing right at the
// row or down at the column.
#include <array>

#include "platform/gui/controls/cursor_shapes.h"
#include "platform/gui/graphics/bitmap.h"
#include "richtext_edit/tables/table_item.h"

namespace {

constexpr int kSize = 16;
constexpr TColor kSeeThrough = clLime;

// The arrow pointing right, tip at (14, 8); Down turns it to point down, tip at (8, 14).
void DrawArrow(bool Down, TBitmap& picture) {
  picture.SetSize(kSize, kSize);
  TCanvas& canvas = picture.Canvas();
  canvas.Brush().SetColor(kSeeThrough);
  canvas.FillRect(Rect(0, 0, kSize, kSize));
  auto at = [Down](int along, int across) {
    return Down ? Point(across, along) : Point(along, across);
  };
  const std::array<TPoint, 7> arrow{at(1, 6),  at(8, 6),  at(8, 2), at(14, 8),
                                    at(8, 14), at(8, 10), at(1, 10)};
  canvas.Pen().SetColor(clWhite);
  canvas.Brush().SetColor(clBlack);
  canvas.Polygon(arrow);
}

}  // namespace

void LoadTableSelectionCursors() {
  static const bool loaded = [] {
    TBitmap row, column;
    DrawArrow(false, row);
    DrawArrow(true, column);
    SetCustomCursor(crRDSelectRow, row, Point(14, 8));
    SetCustomCursor(crRDSelectCol, column, Point(8, 14));
    return true;
  }();
  (void)loaded;
}
