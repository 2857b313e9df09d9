// Finishing a screen line: items aligned to the line, line spacing, paragraph alignment
// or justification, the visual order of its pieces (line_order.cpp), and right and centre
// tabs once the text after them is known.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gui/graphics/wide_text.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/item_text.h"
#include "richtext/layout/format_params.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/nontext_items.h"
#include "richtext/styles/rd_style.h"

void TCustomRDFormattedData::FinishLine(int rightEdge, TRDFormatParams& p, bool paraEnd) {
  if (p.first_line_pending) {
    p.first_line_pending = false;
    return;
  }
  p.pending_extra = 0;
  const int first = p.line_first;
  if (DrawItems.Count() - 1 < first ||
      GetItem(DrawItems[DrawItems.Count() - 1]->ItemNo)->IsFullLine())
    return;
  // Pieces cut where the reading direction changes are aligned and justified as pieces.
  const bool reordered = SplitLineByLevels(first, p);
  const int last = DrawItems.Count() - 1;
  const int paraNo = GetItem(DrawItems[first]->ItemNo)->ParaNo;
  const TParaInfo& para = GetRDStyle()->ParaStyles()[paraNo];
  TRDAlignment align = para.Alignment;
  if (align == rdaJustify && paraEnd) align = rdaLeft;
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
  if (reordered) PlaceLineInVisualOrder(first, last);
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
    for (int d = first; d <= last; ++d) DrawItems[d]->Top = LayoutBelow(DrawItems[d]->Top, raise);
  int extra = 0;
  for (int d = first; d <= last; ++d)
    extra = std::max(extra, DrawItems[d]->Top + DrawItems[d]->Height - (bottom + raise));
  p.baseline = LayoutBelow(p.baseline, raise);
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
  while (start > first && GetItem(DrawItems[start]->ItemNo)->StyleNo != rdsTab) --start;
  if (GetItem(DrawItems[start]->ItemNo)->StyleNo == rdsTab) ++start;
  // Blanks after Arabic text (a blank goes with the script before it) take the room only
  // where no other blanks do: Arabic lines are stretched by their own means, as the
  // platform's own layout does it.
  enum TStretch : std::uint8_t { kNone, kBlank, kArabicBlank };
  std::vector<TStretch> stretch(size_t(last - start + 1), kNone);
  TPreparedFont::TScript script = TPreparedFont::TScript::Common;
  int counts[3] = {0, 0, 0};
  for (int d = start; d <= last; ++d) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    const TCustomRDItemInfo& item = *GetItem(line.ItemNo);
    if (item.StyleNo < 0 || line.Length == 0) continue;
    const std::string& s = GetItemTextRaw(line.ItemNo);
    if (IsItemTextSpace(s, line.Offs, item.ItemOptions)) {
      stretch[size_t(d - start)] = script == TPreparedFont::TScript::Arabic ? kArabicBlank : kBlank;
      ++counts[stretch[size_t(d - start)]];
    }
    const bool unicode = IsUnicodeItem(item.ItemOptions);
    for (int k = line.Offs + line.Length - 1; k >= line.Offs; --k) {
      const TPreparedFont::TScript own = TPreparedFont::ScriptOf(
          unicode ? RawUnicodeAt(s, size_t(k - 1)) : char16_t(std::uint8_t(s[size_t(k - 1)])));
      if (own == TPreparedFont::TScript::Common) continue;
      script = own;
      break;
    }
  }
  const TStretch stretched = counts[kBlank] > 0 ? kBlank : kArabicBlank;
  int spaces = counts[stretched];
  const TRDDrawLineInfo& lastLine = *DrawItems[last];
  int room = rightEdge - (lastLine.Left + lastLine.Width);
  if (spaces <= 0 || room <= 0) return;
  for (int d = start; d <= last; ++d) {
    if (d > start) DrawItems[d]->Left = DrawItems[d - 1]->Left + DrawItems[d - 1]->Width;
    if (stretch[size_t(d - start)] != stretched) continue;
    const int share = room / spaces;
    DrawItems[d]->Width += share;
    DrawItems[d]->JustifyExtra += share;
    room -= share;
    --spaces;
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
