// Painting a laid-out table: background, rules between columns and rows, the table's
// border, and for every visible cell its background (or the selection colour), its
// document and its border, in five border styles with grid lines while editing.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "richtext/base/rd_colors.h"
#include "richtext/base/text_routines.h"
#include "richtext/layout/formatted_data.h"
#include "richtext/styles/rd_background.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc_data.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_print_part.h"

namespace {

// The part of the canvas being painted: a document paints its items without telling
// them its clip, so the outermost table takes the client area and tables inside cells
// take the cell they stand in.
thread_local const TRect* paint_clip = nullptr;
// The one colour painted under the content of the cell being painted, clNone when that
// is not known.
thread_local TColor paint_under = clNone;

class TClipScope {
 public:
  TClipScope(const TRect& clip, TColor under) : saved_(paint_clip), saved_under_(paint_under) {
    paint_clip = &clip;
    paint_under = under;
  }
  ~TClipScope() {
    paint_clip = saved_;
    paint_under = saved_under_;
  }

 private:
  const TRect* saved_;
  TColor saved_under_;
};

void FillBox(TRDCanvas& canvas, TColor color, int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  canvas.BrushStyle = bsSolid;
  canvas.BrushColor = color;
  canvas.FillRect(Rect(left, top, right, bottom));
}

// FillBox within clip and the pixel around it, as the rules are drawn: a border's rings
// outside the part being painted cost no drawing, however wide the border.
void FillBandInClip(TRDCanvas& canvas, TColor color, int left, int top, int right, int bottom,
                    const TRect& clip) {
  FillBox(canvas, color, std::max(left, clip.Left - 1), std::max(top, clip.Top - 1),
          std::min(right, clip.Right + 1), std::min(bottom, clip.Bottom + 1));
}

bool Meets(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The last index whose start lies before value (0 when none does).
int FindStart(const TRDIntegerList& starts, int value) {
  int lo = 0, hi = starts.Count() - 1, found = 0;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    if (starts[mid] < value) {
      found = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return found;
}

// A rule of width w centred on x (or y), one-pixel lines.
void VRule(TRDCanvas& canvas, TColor color, int x, int w, int top, int bottom, const TRect& clip) {
  top = std::max(top, clip.Top - 1);
  bottom = std::min(bottom, clip.Bottom + 1);
  const int first = x - w / 2;
  FillBox(canvas, color, first, top, first + w, bottom);
}

void HRule(TRDCanvas& canvas, TColor color, int y, int w, int left, int right, const TRect& clip) {
  left = std::max(left, clip.Left - 1);
  right = std::min(right, clip.Right + 1);
  const int first = y - w / 2;
  FillBox(canvas, color, left, first, right, first + w);
}

void Dot(TRDCanvas& canvas, int x, int y) {
  canvas.FillRect(Rect(x, y, x + 1, y + 1));
}

// Groups of three dots at 0, 2 and 4 of every 8 pixels.
constexpr std::uint8_t kGridDots = 0b10101;

}  // namespace

void DrawDottedVLine(TRDCanvas& canvas, int x, int y1, int y2) {
  if (y2 >= y1) canvas.FillLinePattern(Rect(x, y1, x + 1, y2 + 1), true, kGridDots);
}

void DrawDottedHLine(TRDCanvas& canvas, int x1, int x2, int y) {
  if (x2 >= x1) canvas.FillLinePattern(Rect(x1, y, x2 + 1, y + 1), false, kGridDots);
}

void TRDTableItemInfo::PaintFullWidth(int left, int, int top, TRDCanvas& canvas,
                                      TRDItemPaintState state, TRDStyle& rdStyle) const {
  auto& self = const_cast<TRDTableItemInfo&>(*this);
  int x = left;
  auto* document = dynamic_cast<TCustomRDFormattedData*>(GetDocument());
  if (document && DrawItemNo >= 0 && DrawItemNo < document->DrawItems.Count())
    x += document->DrawItems[DrawItemNo]->Left;
  TRect clip = paint_clip ? *paint_clip
                          : Rect(0, 0, document ? document->GetWidth() : INT_MAX / 2,
                                 document ? document->GetHeight() : INT_MAX / 2);
  TColor under = paint_clip ? paint_under : clNone;
  // A viewer paints its document right after its background.
  if (auto* cellEditor = dynamic_cast<TRDTableInplaceRDData*>(document)) {
    under = cellEditor->PlainBackgroundColor();
  } else if (auto* viewer = dynamic_cast<TRichDocRDData*>(document)) {
    const TRDBackground* background = viewer->GetBackground();
    under = background && background->HasVisibleImage() ? clNone : viewer->GetBackgroundColor();
  }
  // Its paragraph's background or the line's selection may lie between.
  const TParaInfo& para = rdStyle.ParaStyles()[ParaNo];
  if ((state & rdipsSelected) || para.Border.Style != rdbNone || para.Background.Color != clNone ||
      rdStyle.OnDrawParaBack)
    under = clNone;
  self.PaintTable(canvas, x, top, clip, state, 0, under);
}

void TRDTableItemInfo::PaintTable(TRDCanvas& canvas, int x, int y, const TRect& clip,
                                  TRDItemPaintState state, TRDColorMode colorMode, TColor under) {
  TRDTableItemFormattingInfo& info = *FormattingInfo;
  TCustomRDData* document = GetDocument();
  auto* formatted = dynamic_cast<TCustomRDFormattedData*>(document);
  TRDStyle* style = document ? document->GetRDStyle() : nullptr;
  OriginX = x;
  OriginY = y;
  const bool editing = IsInEditor();
  TColor selectionColor = clNone;
  if (style)
    selectionColor =
        formatted && formatted->IsControlFocused() ? style->SelColor : style->InactiveSelColor;
  const TRect table = Rect(x, y, x + info.Width, y + info.Height);
  const int rowCount = std::min(Rows->Count(), info.RowStarts.Count());
  const int colCount = std::min(Rows->GetColCount(), info.ColStarts.Count());

  // Background.
  if (background_) {
    const TColor color = color_ == clNone ? clNone : ConvertBackColor(color_, colorMode);
    const TRect area = Intersection(table, clip);
    if (area.Right > area.Left && area.Bottom > area.Top)
      background_->Draw(canvas, area, 0, 0, x, y, info.Width, info.Height, color, true);
  } else if (color_ != clNone && ConvertBackColor(color_, colorMode) != under) {
    const TRect area = Intersection(table, clip);
    FillBox(canvas, ConvertBackColor(color_, colorMode), area.Left, area.Top, area.Right,
            area.Bottom);
  }
  canvas.PenWidth = 1;
  canvas.PenStyle = psSolid;

  const int firstRow =
      rowCount < 2 ? 0 : FindStart(info.RowStarts, clip.Top - y - ScaleY(border_width_));
  DrawRules(canvas, x, y, table, clip, info, 0, firstRow, rowCount - 1, 0, 0, false, colorMode);
  // The table's border.
  DrawBorder(canvas, table.Left, table.Top, table.Right, table.Bottom, border_width_,
             border_light_color_, border_color_,
             formatted ? formatted->GetBackgroundColor() : clNone, border_style_, editing, false,
             clip, &visible_borders_, -1, -1, colorMode);

  const TColor cellsUnder = background_        ? clNone
                            : color_ != clNone ? ConvertBackColor(color_, colorMode)
                                               : under;
  // Cells: first those that begin above the first painted row and reach into it.
  const bool selectedAsWhole = (state & rdipsSelected) != 0;
  if (firstRow > 0)
    for (int c = 0; c < colCount;) {
      int mr, mc;
      TRDTableCellData* cell = Rows->PeekMainCell(firstRow, c, mr, mc);
      if (!cell) {
        ++c;
        continue;
      }
      if (mr < firstRow)
        PaintCell(canvas, *cell, mr, mc, x + info.ColStarts[mc], y + cell->Top, clip,
                  selectedAsWhole, editing, selectionColor, colorMode, cellsUnder);
      c = mc + cell->ColSpan;
    }
  const bool pageBreaks = style && document && (document->GetOptions() & rdoShowPageBreaks);
  for (int r = firstRow; r < rowCount; ++r) {
    const int ry = y + info.RowStarts[r];
    if (ry > clip.Bottom) break;
    for (int c = 0; c < colCount; ++c) {
      if (x + info.ColStarts[c] > clip.Right) break;
      if (TRDTableCellData* cell = CellToPaint(r, c))
        PaintCell(canvas, *cell, r, c, x + info.ColStarts[c], y + cell->Top, clip, selectedAsWhole,
                  editing, selectionColor, colorMode, cellsUnder);
    }
    if (r > 0 && pageBreaks && Rows->Items(r)->PageBreakBefore)
      style->DrawPageBreak(canvas, ry, x, rdpbPageBreak, info.Width);
  }
  canvas.PenWidth = 1;
}

void TRDTableItemInfo::DrawRules(TRDCanvas& canvas, int x, int y, const TRect& table,
                                 const TRect& clip, const TRDTableItemFormattingInfo& info,
                                 int headingRows, int firstRow, int lastRow, int shift,
                                 int firstRowCut, bool printing, TRDColorMode colorMode) const {
  const int colCount = std::min(Rows->GetColCount(), info.ColStarts.Count());
  const bool vRules = v_rule_width_ != 0 && v_rule_color_ != clNone;
  const bool hRules = h_rule_width_ != 0 && h_rule_color_ != clNone;
  // Vertical rules between columns.
  if (vRules && colCount > 0) {
    const int ruleW = ScaleX(v_rule_width_);
    const int half = (ScaleX(cell_h_spacing_ + 2 * cell_border_width_) + 1) / 2;
    const TColor color = ConvertTextColor(v_rule_color_, colorMode);
    const int cut = hRules && h_outermost_rule_ ? ScaleX(border_width_ + border_v_spacing_ / 2) : 0;
    const int first =
        FindStart(info.ColStarts,
                  clip.Left - x - ScaleX(border_width_ + cell_h_spacing_ + border_h_spacing_));
    for (int c = std::max(first, 1); c < colCount; ++c) {
      const int rx = x + info.ColStarts[c] - half;
      if (rx - ruleW > clip.Right) break;
      VRule(canvas, color, rx, ruleW, table.Top + cut, table.Bottom - cut, clip);
    }
    if (v_outermost_rule_) {
      const int edge = ScaleX(border_width_ + border_h_spacing_ / 2);
      if (first == 0)
        VRule(canvas, color, x + edge, ruleW, table.Top + cut, table.Bottom - cut, clip);
      VRule(canvas, color, table.Right - edge - 1 + (ruleW % 2 == 0 ? 1 : 0), ruleW,
            table.Top + cut, table.Bottom - cut, clip);
    }
  }
  // Horizontal rules between rows: above every row drawn but the table's first, and,
  // on paper, but the first of a run of rows printed without a heading above it.
  if (hRules && info.RowStarts.Count() > 0) {
    const int ruleW = ScaleY(h_rule_width_);
    const int half = (ScaleY(cell_v_spacing_ + 2 * cell_border_width_) + 1) / 2;
    const TColor color = ConvertTextColor(h_rule_color_, colorMode);
    const int cut = vRules && v_outermost_rule_ ? ScaleY(border_width_ + border_h_spacing_ / 2) : 0;
    const auto rule = [&](int r, int rowShift) {
      if (r == 0 || (printing && r == firstRow && headingRows == 0)) return true;
      const int ry = y + info.RowStarts[r] - rowShift - half;
      if (ry - ruleW > clip.Bottom) return false;
      HRule(canvas, color, ry, ruleW, table.Left + cut, table.Right - cut, clip);
      return true;
    };
    bool more = true;
    for (int r = 0; r < headingRows && more; ++r) more = rule(r, 0);
    for (int r = firstRow; r <= lastRow && more; ++r)
      more = rule(r, r == firstRow ? shift : shift + firstRowCut);
    if (h_outermost_rule_) {
      const int edge = ScaleY(border_width_ + border_v_spacing_ / 2);
      if (printing || firstRow <= 1)
        HRule(canvas, color, table.Top + edge, ruleW, table.Left + cut, table.Right - cut, clip);
      HRule(canvas, color, table.Bottom - edge - 1 + (ruleW % 2 == 0 ? 1 : 0), ruleW,
            table.Left + cut, table.Right - cut, clip);
    }
  }
}

void TRDTableItemInfo::PaintCell(TRDCanvas& canvas, TRDTableCellData& cell, int row, int col, int x,
                                 int y, const TRect& clip, bool selectedAsWhole, bool editing,
                                 TColor selectionColor, TRDColorMode colorMode, TColor under) {
  const TRect box = Rect(x, y, x + cell.Width, y + cell.Height);
  const int b = ScaleY(cell_border_width_);
  const TRect outer = Rect(box.Left - b, box.Top - b, box.Right + b, box.Bottom + b);
  if (!Meets(outer, clip)) return;
  // The editor open over the cell is a window of its own: where it covers the cell and
  // its border, nothing drawn here would show (in nested tables, every level but the
  // innermost).
  if (InplaceEditor && InplaceEditor->InplaceData().Cell == &cell && !canvas.RectVisible(outer))
    return;
  // A merged cell shows selected when it meets the selected rectangle.
  const bool selected = selectedAsWhole || IsCellSelected(row, col);
  const bool withSelectionColor = selected && selectionColor != clNone;
  TColor color = withSelectionColor ? selectionColor : cell.Color;
  TRect back = box;
  if (Options & rdtoCellBelowBorders)
    back = Rect(box.Left - ScaleX(cell_border_width_), box.Top - b,
                box.Right + ScaleX(cell_border_width_), box.Bottom + b);
  if (HatchedCell == &cell) {
    under = clNone;
    // Forward diagonal hatch in the cell border colour over the cell colour.
    const TRect area = Intersection(back, clip);
    FillBox(canvas, ConvertBackColor(clWindow, colorMode), area.Left, area.Top, area.Right,
            area.Bottom);
    canvas.BrushColor = ConvertTextColor(cell_border_color_, colorMode);
    for (int py = area.Top; py < area.Bottom; ++py)
      for (int px = area.Left; px < area.Right; ++px)
        if ((px - back.Left + py - back.Top) % 8 == 0) Dot(canvas, px, py);
  } else if (cell.GetCellBackground() && !withSelectionColor) {
    under = clNone;
    const TRect area = Intersection(back, clip);
    if (area.Right > area.Left && area.Bottom > area.Top)
      cell.GetCellBackground()->Draw(
          canvas, area, 0, 0, back.Left, back.Top, back.Right - back.Left, back.Bottom - back.Top,
          color == clNone ? clNone : ConvertBackColor(color, colorMode), true);
  } else if (color != clNone) {
    under = ConvertBackColor(color, colorMode);
    const TRect area = Intersection(back, clip);
    FillBox(canvas, under, area.Left, area.Top, area.Right, area.Bottom);
  }
  // Content, cut to the cell.
  const int padding = ScaleX(cell_padding_);
  const int cx = x + padding;
  const int cy = y + ScaleY(cell_padding_) + cell.GetExtraVOffs();
  const TRect cellClip = Intersection(box, clip);
  if (cellClip.Right > cellClip.Left && cellClip.Bottom > cellClip.Top) {
    canvas.SaveState();
    canvas.IntersectClipRect(cellClip);
    const std::uint32_t cellState = cell.State;
    if (selected) cell.State |= rdsAllSelected;
    {
      TClipScope scope(cellClip, under);
      cell.PaintTo(canvas, Rect(-cx, -cy, cellClip.Right - cx, cellClip.Bottom - cy));
    }
    cell.State = cellState;
    canvas.RestoreState();
  }
  DrawBorder(canvas, x - b, y - b, x + cell.Width + b, y + cell.Height + b, cell_border_width_,
             cell.BorderLightColor != clNone ? cell.BorderLightColor : cell_border_light_color_,
             cell.BorderColor != clNone ? cell.BorderColor : cell_border_color_, color_,
             cell_border_style_, editing, false, clip, &cell.VisibleBorders, row, col, colorMode);
}

namespace {

// The part of a dotted line from first to last that lies within [low, high], starting
// where a group of the whole line starts: false when none does.
bool DottedPart(int first, int last, int low, int high, int& from, int& to) {
  const std::int64_t skip = std::max<std::int64_t>(0, std::int64_t(low) - first) / 8 * 8;
  from = int(first + skip);
  to = std::min(last, high);
  return from <= to;
}

// The dotted lines an editor shows for the sides of box that lines names, drawn within
// the clip rectangle only: a box may be far wider and taller than what is shown.
void DrawGridLines(TRDCanvas& canvas, const TRect& box, const TRect& clip,
                   const TRDBooleanRect& lines) {
  canvas.BrushStyle = bsSolid;
  canvas.BrushColor = clBtnFace;
  int from, to;
  const auto hLine = [&](int y) {
    if (y >= clip.Top - 1 && y <= clip.Bottom + 1 &&
        DottedPart(box.Left, box.Right - 1, clip.Left - 1, clip.Right + 1, from, to))
      DrawDottedHLine(canvas, from, to, y);
  };
  const auto vLine = [&](int x) {
    if (x >= clip.Left - 1 && x <= clip.Right + 1 &&
        DottedPart(box.Top, box.Bottom - 1, clip.Top - 1, clip.Bottom + 1, from, to))
      DrawDottedVLine(canvas, x, from, to);
  };
  if (lines.Top) hLine(box.Top);
  if (lines.Bottom) hLine(box.Bottom - 1);
  if (lines.Left) vLine(box.Left);
  if (lines.Right) vLine(box.Right - 1);
}

// A border of one colour, w one-pixel rings in from box; with overlapping corners the
// top and bottom rings run the box's whole width and the sides its whole height.
void DrawColorBands(TRDCanvas& canvas, TColor c, const TRect& box, int w, bool overlap,
                    const TRDBooleanRect& sides, const TRect& clip) {
  for (int i = 0; i < w; ++i) {
    const int l = box.Left + i, t = box.Top + i, r = box.Right - 1 - i, b = box.Bottom - 1 - i;
    const int hl = overlap ? box.Left : l, hr = overlap ? box.Right : r + 1;
    const int vt = overlap ? box.Top : t, vb = overlap ? box.Bottom : b + 1;
    if (sides.Top) FillBandInClip(canvas, c, hl, t, hr, t + 1, clip);
    if (sides.Bottom) FillBandInClip(canvas, c, hl, b, hr, b + 1, clip);
    if (sides.Left) FillBandInClip(canvas, c, l, vt, l + 1, vb, clip);
    if (sides.Right) FillBandInClip(canvas, c, r, vt, r + 1, vb, clip);
  }
}

// The colours of the top and left sides and of the bottom and right sides of a border
// drawn in relief; on the highlight colour the light side takes the button face.
std::pair<TColor, TColor> ReliefColors(TRDTableBorderStyle style, TColor lightColor, TColor color,
                                       TColor backgroundColor) {
  const bool onHighlight = ColorToRGB(backgroundColor) == ColorToRGB(clBtnHighlight);
  switch (style) {
    case rdtbRaised:
      return {onHighlight ? clBtnFace : clBtnHighlight, clBtnShadow};
    case rdtbLowered:
      return {clBtnShadow, onHighlight ? clBtnFace : clBtnHighlight};
    case rdtbRaisedColor:
      return {lightColor, color};
    default:
      return {color, lightColor};
  }
}

// A border in relief within box (right and bottom inclusive), w pixels wide: as
// halftone one band a side, its ends not extended, the bottom and right bands covering
// the corners; else w mitred rings.
void DrawReliefBands(TRDCanvas& canvas, std::pair<TColor, TColor> colors, const TRect& box, int w,
                     bool halftone, const TRDBooleanRect& sides, const TRect& clip) {
  const auto [topLeft, bottomRight] = colors;
  const int left = box.Left, top = box.Top, right = box.Right, bottom = box.Bottom;
  if (halftone) {
    if (sides.Top) FillBandInClip(canvas, topLeft, left, top, right, top + w, clip);
    if (sides.Left) FillBandInClip(canvas, topLeft, left, top, left + w, bottom, clip);
    if (sides.Bottom)
      FillBandInClip(canvas, bottomRight, left, bottom - w + 1, right + 1, bottom + 1, clip);
    if (sides.Right)
      FillBandInClip(canvas, bottomRight, right - w + 1, top, right + 1, bottom + 1, clip);
    return;
  }
  for (int i = 0; i < w; ++i) {
    const int vt = top + i, vb = bottom - i + 1;
    if (sides.Top)
      FillBandInClip(canvas, topLeft, left + i, top + i, right - i + 1, top + i + 1, clip);
    if (sides.Left) FillBandInClip(canvas, topLeft, left + i, vt, left + i + 1, vb, clip);
  }
  for (int i = 0; i < w; ++i) {
    const int vt = top + i, vb = bottom - i + 1;
    if (sides.Bottom)
      FillBandInClip(canvas, bottomRight, left + i, bottom - i, right - i + 1, bottom - i + 1,
                     clip);
    if (sides.Right) FillBandInClip(canvas, bottomRight, right - i, vt, right - i + 1, vb, clip);
  }
}

}  // namespace

bool TRDTableItemInfo::HiddenSideOverlapped(int row, int col, int dRow, int dCol,
                                            bool TRDBooleanRect::*side, int spacing) const {
  if (spacing >= 0 || row < 0) return false;
  const int r = row + dRow, c = col + dCol;
  if (r < 0 || c < 0 || r >= Rows->Count() || c >= Rows->GetColCount())
    return border_width_ >= 1 && visible_borders_.*side &&
           (dRow != 0 ? border_v_spacing_ : border_h_spacing_) < 0;
  int mr, mc;
  const TRDTableCellData* other = Rows->PeekMainCell(r, c, mr, mc);
  return other && other->VisibleBorders.*side;
}

int TRDTableItemInfo::BorderPixels(int width, bool printing, TRect& box) const {
  // On paper finer than the screen the scaled boxes of neighbouring cells may round a
  // pixel apart: borders there grow by one pixel, out at the top and the left.
  const int w = ScaleY(width);
  if (!printing || !DeviceInfo ||
      DeviceInfo->DevicePixelsPerInchY <= DeviceInfo->ScreenPixelsPerInchY)
    return w;
  --box.Left;
  --box.Top;
  return w + 1;
}

void TRDTableItemInfo::DrawBorder(TRDCanvas& canvas, int left, int top, int right, int bottom,
                                  int width, TColor lightColor, TColor color,
                                  TColor backgroundColor, TRDTableBorderStyle style, bool editing,
                                  bool printing, const TRect& clip,
                                  const TRDBooleanRect* visibleBorders, int row, int col,
                                  TRDColorMode colorMode) {
  if (!Meets(Rect(left, top, right, bottom), clip)) return;
  if (OnDrawBorder) {
    bool doDefault = true;
    OnDrawBorder(this, canvas, left, top, right, bottom, width, lightColor, color, backgroundColor,
                 style, printing, visibleBorders, row, col, doDefault);
    if (!doDefault) return;
  }
  const bool grid = !(Options & rdtoHideGridLines) && !printing && editing;
  const TRDBooleanRect all;
  const TRDBooleanRect& sides = visibleBorders ? *visibleBorders : all;
  TRect box = Rect(left, top, right, bottom);
  if (width == 0) {
    if (grid) DrawGridLines(canvas, box, clip, all);
    return;
  }
  if (grid && !sides.IsAllEqualTo(true)) {
    // A hidden side shows as a grid line unless the neighbour's visible border overlaps it.
    TRDBooleanRect lines;
    lines.SetValues(
        !sides.Left &&
            !HiddenSideOverlapped(row, col, 0, -1, &TRDBooleanRect::Right, cell_h_spacing_),
        !sides.Top &&
            !HiddenSideOverlapped(row, col, -1, 0, &TRDBooleanRect::Bottom, cell_v_spacing_),
        !sides.Right &&
            !HiddenSideOverlapped(row, col, 0, 1, &TRDBooleanRect::Left, cell_h_spacing_),
        !sides.Bottom &&
            !HiddenSideOverlapped(row, col, 1, 0, &TRDBooleanRect::Top, cell_v_spacing_));
    DrawGridLines(canvas, box, clip, lines);
  }
  canvas.BrushStyle = bsSolid;
  if (style == rdtbColor) {
    if (color == clNone) return;
    const int w = BorderPixels(width, printing, box);
    DrawColorBands(canvas, ConvertTextColor(color, colorMode), box, w,
                   (Options & rdtoOverlappingCorners) != 0, sides, clip);
    return;
  }
  auto [topLeft, bottomRight] = ReliefColors(style, lightColor, color, backgroundColor);
  --box.Right;
  --box.Bottom;
  const bool halftone = printing && (PrintOptions & rdtoHalftoneBorders);
  const int w = halftone ? BorderPixels(width, printing, box) : ScaleY(width);
  DrawReliefBands(canvas,
                  {ConvertTextColor(topLeft, colorMode), ConvertTextColor(bottomRight, colorMode)},
                  box, w, halftone, sides, clip);
}

// --- printing -----------------------------------------------------------------------------------

std::function<std::unique_ptr<TRDTablePrintLine>(TRDTableItemInfo& table, TCustomRDData* rdData,
                                                 const TRDResolution& resolution)>
    TablePrintLineMaker;

std::unique_ptr<TRDDrawLineInfo> TRDTableItemInfo::CreatePrintingDrawItem(
    TCustomRDData* rdData, const TRDResolution& resolution) const {
  if (TablePrintLineMaker)
    if (auto line = TablePrintLineMaker(const_cast<TRDTableItemInfo&>(*this), rdData, resolution))
      return line;
  return TRDFullLineItemInfo::CreatePrintingDrawItem(rdData, resolution);
}

void TRDTableItemInfo::Print(TRDCanvas& canvas, int x, int y, int, TRDColorMode colorMode,
                             const TRDResolution&, TRDStyle&,
                             const TRDDrawLineInfo* drawItem) const {
  if (const auto* line = dynamic_cast<const TRDTablePrintLine*>(drawItem))
    line->PrintPart(canvas, x, y, colorMode);
}

TColor TRDTableItemInfo::PaperColor(TColor color, TRDColorMode colorMode) const {
  if (color == clNone) return clNone;
  return PrintOptions & rdtoWhiteBackground ? clWhite : ConvertBackColor(color, colorMode);
}

void TRDTableItemInfo::PrintBackground(TRDCanvas& canvas, const TRect& rect,
                                       TRDColorMode colorMode) const {
  const auto paint = [&](TColor color, const TRDBackground* picture, const TRect& area) {
    const TColor c = PaperColor(color, colorMode);
    if (picture)
      picture->Draw(canvas, area, 0, 0, area.Left, area.Top, area.Right - area.Left,
                    area.Bottom - area.Top, c, true);
    else
      FillBox(canvas, c, area.Left, area.Top, area.Right, area.Bottom);
  };
  paint(color_, background_.get(), rect);
  if (!PrintingCell || !DeviceInfo) return;
  // The cell's box on the page, moved as the table's box was into the bitmap.
  TRect origin = Bounds(OriginX, OriginY, 0, 0);
  ScaleRectToScreen(origin, *DeviceInfo);
  TRect cell = PrintingCellRect;
  const int dx = rect.Left - origin.Left, dy = rect.Top - origin.Top;
  cell = Rect(cell.Left + dx, cell.Top + dy, cell.Right + dx, cell.Bottom + dy);
  paint(PrintingCell->Color, PrintingCell->GetCellBackground(), cell);
}
