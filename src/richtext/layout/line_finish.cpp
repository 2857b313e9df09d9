// Finishing a screen line: items aligned to the line, line spacing, paragraph alignment
// or justification, the visual order of a line with a reading direction, and right and
// centre tabs once the text after them is known.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "platform/gui/graphics/wide_text.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/line_break.h"
#include "richtext/layout/format_params.h"
#include "richtext/model/nontext_items.h"
#include "richtext/styles/rd_style.h"

void TCustomRDFormattedData::FinishLine(int rightEdge, TRDFormatParams& p, bool paraEnd) {
  if (p.first_line_pending) {
    p.first_line_pending = false;
    return;
  }
  p.pending_extra = 0;
  const int first = p.line_first;
  const int last = DrawItems.Count() - 1;
  if (last < first || GetItem(DrawItems[last]->ItemNo)->IsFullLine()) return;
  const int paraNo = GetItem(DrawItems[first]->ItemNo)->ParaNo;
  const TParaInfo& para = GetRDStyle()->ParaStyles()[paraNo];
  const TRDBiDiMode bidi = GetParaBiDiMode(paraNo);
  TRDAlignment align = para.Alignment;
  if (align == rdaJustify && (bidi != rdbdUnspecified || paraEnd)) align = rdaLeft;
  const TRDDrawLineInfo& lastLine = *DrawItems[last];
  int shift = 0;
  if (align == rdaRight || align == rdaCenter) {
    shift = rightEdge - (lastLine.Left + lastLine.Width);
    if (align == rdaCenter) shift /= 2;
    // A line wider than its room stays at its indent, whichever way it is aligned.
    shift = std::max(0, shift);
  }
  int extra = p.line_has_valigned ? AlignLineItems(first, last, p) : 0;
  const int spacing = LineSpacing(para, first, last, p);
  if (spacing != 0) {
    for (int d = first; d <= last; ++d) DrawItems[d]->ExtraSpaceBelow = spacing;
    extra += spacing;
  }
  if (align == rdaJustify && last > first) {
    JustifyLine(first, last, rightEdge);
  } else if (shift != 0) {
    for (int d = first; d <= last; ++d) DrawItems[d]->Left += shift;
  }
  if (bidi != rdbdUnspecified) ReorderBiDiLine(first, last, p);
  p.pending_extra = extra;
}

int TCustomRDFormattedData::AlignLineItems(int first, int last, TRDFormatParams& p) {
  int top = INT32_MAX, bottom = INT32_MIN;
  auto vAlignOf = [&](int d) {
    auto* rect = dynamic_cast<TRDRectItemInfo*>(GetItem(DrawItems[d]->ItemNo));
    return rect ? int(rect->VAlign) : int(rdvaBaseline);
  };
  for (int d = first; d <= last; ++d)
    if (vAlignOf(d) < rdvaAbsTop) {
      top = std::min(top, DrawItems[d]->Top);
      bottom = std::max(bottom, DrawItems[d]->Top + DrawItems[d]->Height);
    }
  if (top == INT32_MAX) {
    top = DrawItems[first]->Top;
    bottom = top;
  }
  int raise = 0;
  for (int d = first; d <= last; ++d) {
    TRDDrawLineInfo& line = *DrawItems[d];
    switch (vAlignOf(d)) {
      case rdvaAbsTop:
        line.Top = top;
        break;
      case rdvaAbsBottom:
        line.Top = bottom - line.Height;
        break;
      case rdvaAbsMiddle:
        line.Top = (top + bottom - line.Height) / 2;
        break;
      default:
        continue;
    }
    raise = std::max(raise, top - line.Top);
  }
  if (raise > 0)
    for (int d = first; d <= last; ++d) DrawItems[d]->Top += raise;
  int extra = 0;
  for (int d = first; d <= last; ++d)
    extra = std::max(extra, DrawItems[d]->Top + DrawItems[d]->Height - (bottom + raise));
  p.baseline += raise;
  return extra;
}

int TCustomRDFormattedData::LineSpacing(const TParaInfo& para, int first, int last,
                                        const TRDFormatParams& p) const {
  if (para.LineSpacingType == rdlsPercent && para.LineSpacing >= 50) {
    int top = INT32_MAX, bottom = INT32_MIN;
    for (int d = first; d <= last; ++d)
      if (GetItem(DrawItems[d]->ItemNo)->StyleNo >= 0) {
        top = std::min(top, DrawItems[d]->Top);
        bottom = std::max(bottom, DrawItems[d]->Top + DrawItems[d]->Height);
      }
    return top != INT32_MAX ? (bottom - top) * (para.LineSpacing - 100) / 100 : 0;
  }
  if (para.LineSpacingType == rdlsSpaceBetween && para.LineSpacing >= 0)
    return ScreenToDeviceY(para.LineSpacing, p.scaling);
  return 0;
}

void TCustomRDFormattedData::JustifyLine(int first, int last, int rightEdge) {
  // The stretch after the last tab; the pieces that begin with a space share the room.
  int start = last;
  while (start > first && GetItem(DrawItems[start]->ItemNo)->StyleNo != -12) --start;
  if (GetItem(DrawItems[start]->ItemNo)->StyleNo == -12) ++start;
  auto beginsWithSpace = [&](int d) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    const TCustomRDItemInfo& item = *GetItem(line.ItemNo);
    if (item.StyleNo < 0 || line.Length == 0) return false;
    return IsItemTextSpace(GetItemTextRaw(line.ItemNo), line.Offs, item.ItemOptions);
  };
  int spaces = 0;
  for (int d = start; d <= last; ++d)
    if (beginsWithSpace(d)) ++spaces;
  const TRDDrawLineInfo& lastLine = *DrawItems[last];
  int room = rightEdge - (lastLine.Left + lastLine.Width);
  if (spaces <= 0 || room <= 0) return;
  for (int d = start; d <= last; ++d) {
    if (d > start) DrawItems[d]->Left = DrawItems[d - 1]->Left + DrawItems[d - 1]->Width;
    if (!beginsWithSpace(d)) continue;
    const int share = room / spaces;
    DrawItems[d]->Width += share;
    DrawItems[d]->JustifyExtra += share;
    room -= share;
    --spaces;
  }
}

namespace {

// How a character takes part in the order of a line: strong in one direction, a digit
// (which follows the strong character before it), or neutral.
enum class TBiDiClass : std::uint8_t { Neutral, Digit, LeftToRight, RightToLeft };

bool IsStrong(TBiDiClass c) {
  return c == TBiDiClass::LeftToRight || c == TBiDiClass::RightToLeft;
}

TRDBiDiMode ModeOf(TBiDiClass c) {
  return c == TBiDiClass::RightToLeft   ? rdbdRightToLeft
         : c == TBiDiClass::LeftToRight ? rdbdLeftToRight
                                        : rdbdUnspecified;
}

// The classes of draw line d's characters in their order. The text of a style with a
// reading direction of its own is one strong character of that direction; a non-text item
// is nothing.
std::vector<TBiDiClass> ClassesOf(const TCustomRDFormattedData& data, int d) {
  const TRDDrawLineInfo& line = *data.DrawItems[d];
  const TCustomRDItemInfo& item = *data.GetItem(line.ItemNo);
  if (item.StyleNo < 0 || line.Length == 0) return {};
  const TRDBiDiMode own = data.GetRDStyle()->TextStyles()[data.GetActualStyle(item)].BiDiMode;
  if (own != rdbdUnspecified)
    return {own == rdbdRightToLeft ? TBiDiClass::RightToLeft : TBiDiClass::LeftToRight};
  const std::string& s = data.GetItemTextRaw(line.ItemNo);
  const bool unicode = IsUnicodeItem(item.ItemOptions);
  std::vector<TBiDiClass> classes;
  classes.reserve(size_t(line.Length));
  for (int k = line.Offs; k < line.Offs + line.Length; ++k) {
    const char16_t ch =
        unicode ? RawUnicodeAt(s, size_t(k - 1)) : char16_t(std::uint8_t(s[size_t(k - 1)]));
    classes.push_back(TPreparedFont::IsRightToLeft(ch)                 ? TBiDiClass::RightToLeft
                      : TPreparedFont::IsLeftToRight(ch)               ? TBiDiClass::LeftToRight
                      : GetLineBreakClass(ch) == TRDLineBreakClass::NU ? TBiDiClass::Digit
                                                                       : TBiDiClass::Neutral);
  }
  return classes;
}

}  // namespace

void TCustomRDFormattedData::GetDrawItemSurroundings(int d, TRDBiDiMode& before,
                                                     TRDBiDiMode& after) const {
  before = after = rdbdUnspecified;
  if (GetParaBiDiMode(GetItem(DrawItems[d]->ItemNo)->ParaNo) == rdbdUnspecified) return;
  int first, last;
  GetLineDrawItemRange(d, first, last);
  TBiDiClass lastStrong = TBiDiClass::Neutral;
  for (int k = first; k <= d; ++k) {
    if (k == d) before = ModeOf(lastStrong);
    for (TBiDiClass c : ClassesOf(*this, k))
      if (IsStrong(c)) lastStrong = c;
  }
  for (int k = d + 1; k <= last; ++k)
    for (TBiDiClass c : ClassesOf(*this, k)) {
      if (c == TBiDiClass::Neutral) continue;
      // A digit runs in the direction of the strong character before it.
      after = ModeOf(c == TBiDiClass::Digit ? lastStrong : c);
      return;
    }
}

TRDLineSurroundings::TRDLineSurroundings(TRDCanvas& canvas, const TCustomRDFormattedData& data,
                                         int dItemNo)
    : canvas_(canvas) {
  data.GetDrawItemSurroundings(dItemNo, canvas.StrongBefore, canvas.StrongAfter);
}

TRDLineSurroundings::~TRDLineSurroundings() {
  canvas_.StrongBefore = canvas_.StrongAfter = rdbdUnspecified;
}

void TCustomRDFormattedData::ReorderBiDiLine(int first, int last, TRDFormatParams&) {
  const bool paraRtl =
      GetParaBiDiMode(GetItem(DrawItems[first]->ItemNo)->ParaNo) == rdbdRightToLeft;
  // The direction of a piece's first and last strong character; none for a piece of
  // blanks, digits and punctuation, or a non-text item; and whether it holds digits.
  enum class TStrong { None, LeftToRight, RightToLeft };
  struct TEnds {
    TStrong first = TStrong::None, last = TStrong::None;
    bool digits = false;
  };
  std::vector<TEnds> ends(size_t(last - first + 1));
  for (int d = first; d <= last; ++d) {
    TEnds& e = ends[size_t(d - first)];
    for (TBiDiClass c : ClassesOf(*this, d)) {
      e.digits = e.digits || c == TBiDiClass::Digit;
      if (!IsStrong(c)) continue;
      const TStrong strong =
          c == TBiDiClass::RightToLeft ? TStrong::RightToLeft : TStrong::LeftToRight;
      if (e.first == TStrong::None) e.first = strong;
      e.last = strong;
    }
  }
  // Each piece's embedding level: 1 right to left, 0 left to right in a left-to-right
  // paragraph and 2 in a right-to-left one. Digits run in the direction of the strong
  // character before them. A piece without a strong character or a digit takes the
  // direction of the text around it when that is the same on both sides, else the
  // paragraph's (so a blank between two right-to-left words stays between them).
  const TStrong paraStrong = paraRtl ? TStrong::RightToLeft : TStrong::LeftToRight;
  std::vector<int> levels;
  TStrong before = paraStrong;
  for (int d = first; d <= last; ++d) {
    const TEnds& e = ends[size_t(d - first)];
    TStrong direction = e.first;
    if (direction == TStrong::None && e.digits) {
      direction = before;
    } else if (direction == TStrong::None) {
      TStrong after = paraStrong;
      for (int k = d + 1; k <= last; ++k) {
        const TEnds& next = ends[size_t(k - first)];
        if (next.first != TStrong::None || next.digits) {
          after = next.first != TStrong::None ? next.first : before;
          break;
        }
      }
      direction = before == after ? before : paraStrong;
    } else {
      before = e.last;
    }
    levels.push_back(direction == TStrong::RightToLeft ? 1 : paraRtl ? 2 : 0);
  }
  // Logical to visual: from the highest level down to 1, every run of pieces at that
  // level or above is reversed.
  std::vector<int> visual(levels.size());
  std::iota(visual.begin(), visual.end(), first);
  for (int level = *std::max_element(levels.begin(), levels.end()); level >= 1; --level)
    for (size_t i = 0; i < visual.size();) {
      if (levels[size_t(visual[i] - first)] < level) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < visual.size() && levels[size_t(visual[j] - first)] >= level) ++j;
      std::reverse(visual.begin() + std::ptrdiff_t(i), visual.begin() + std::ptrdiff_t(j));
      i = j;
    }
  std::vector<int> gaps(size_t(last - first + 1), 0);
  for (int d = first + 1; d <= last; ++d)
    gaps[size_t(d - first)] =
        DrawItems[d]->Left - (DrawItems[d - 1]->Left + DrawItems[d - 1]->Width);
  int x = DrawItems[first]->Left;
  for (int d : visual) {
    if (d != visual.front()) x += gaps[size_t(d - first)];
    DrawItems[d]->Left = x;
    x += DrawItems[d]->Width;
  }
}

void TCustomRDFormattedData::FinishPendingTab(TRDFormatParams& p) {
  if (p.tab_item < 0 || p.tab_item >= DrawItems.Count()) {
    p.tab_item = -1;
    return;
  }
  TRDDrawLineInfo& tab = *DrawItems[p.tab_item];
  const TRDDrawLineInfo& lastLine = *DrawItems[DrawItems.Count() - 1];
  const int position = std::min(p.tab_pos, p.line_left + p.room);
  const int lastRight = lastLine.Left + lastLine.Width;
  int widen = p.tab_align == rdtaRight
                  ? position - lastRight
                  : ((position - (tab.Left + tab.Width)) + (position - lastRight)) / 2;
  widen = std::max(0, widen);
  tab.Width += widen;
  for (int d = p.tab_item + 1; d < DrawItems.Count(); ++d) DrawItems[d]->Left += widen;
  p.x += widen;
  p.tab_item = -1;
}
