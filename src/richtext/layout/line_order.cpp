// The order of a screen line, taken once for the whole line: its text across its pieces
// run through the Unicode bidirectional algorithm at its paragraph's level, each text
// piece cut where the level changes, and the pieces placed from the left in the order
// they are shown. However a text is split into items (styles changing inside a number, a
// word per item), the line reads the same.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/graphics/bidi_levels.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/item_text.h"
#include "richtext/layout/format_params.h"
#include "richtext/model/item_kinds.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"

namespace {

// What a non-text item is within its line's text.
constexpr char16_t kTabUnit = u'\t';
constexpr char16_t kObjectUnit = 0xFFFC;
// Letters that stand for the text of a style with a direction of its own.
constexpr char16_t kRightToLeftLetter = 0x05D0;
constexpr char16_t kLeftToRightLetter = u'a';

}  // namespace

void TCustomRDFormattedData::AppendBiDiText(int itemNo, int offs, int count,
                                            std::u16string& out) const {
  const TCustomRDItemInfo& item = *GetItem(itemNo);
  if (item.StyleNo < 0) {
    out += item.StyleNo == rdsTab ? kTabUnit : kObjectUnit;
    return;
  }
  const int styleNo = GetActualStyle(item);
  const TRDBiDiMode own = GetRDStyle()->TextStyles()[styleNo].BiDiMode;
  if (own != rdbdUnspecified) {
    out.append(size_t(count), own == rdbdRightToLeft ? kRightToLeftLetter : kLeftToRightLetter);
    return;
  }
  const std::string& s = GetItemTextRaw(itemNo);
  if (IsUnicodeItem(item.ItemOptions)) {
    for (int k = offs; k < offs + count; ++k) out += RawUnicodeAt(s, size_t(k - 1));
    return;
  }
  const std::string_view bytes = std::string_view(s).substr(size_t(offs - 1), size_t(count));
  if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return std::uint8_t(b) < 0x80; })) {
    out.append(bytes.begin(), bytes.end());  // plain ASCII reads the same in every page
    return;
  }
  const std::string wide = AnsiToRawUnicode(GetStyleCodePage(styleNo), bytes);
  if (wide.size() != 2 * size_t(count)) {
    // A page of several bytes a character: its scripts all read left to right.
    out.append(size_t(count), kLeftToRightLetter);
    return;
  }
  for (size_t k = 0; k < size_t(count); ++k) out += RawUnicodeAt(wide, k);
}

int TCustomRDFormattedData::ParagraphLevel(int itemNo, TRDFormatParams& p) const {
  const TRDBiDiMode mode = GetParaBiDiMode(GetItem(itemNo)->ParaNo);
  if (mode != rdbdUnspecified) return mode == rdbdRightToLeft ? 1 : 0;
  const bool samePara =
      p.level_para >= 0 && itemNo >= p.level_para &&
      (itemNo <= p.level_last_item || (itemNo == p.level_last_item + 1 && !IsParaStart(itemNo)));
  if (samePara) return p.para_level;
  int start = itemNo;
  while (start > 0 && !IsParaStart(start)) --start;
  p.level_para = start;
  p.para_level = 0;
  std::u16string text;
  for (int k = start; k < Items.Count() && (k == start || !IsParaStart(k)); ++k) {
    const TCustomRDItemInfo& item = *GetItem(k);
    if (item.StyleNo < 0) continue;
    text.clear();
    AppendBiDiText(k, 1, GetItemTextLength(GetItemTextRaw(k), item.ItemOptions), text);
    const TTextDirection direction = FirstStrongDirection(text);
    if (direction != TTextDirection::Auto) {
      p.para_level = direction == TTextDirection::RightToLeft ? 1 : 0;
      break;
    }
  }
  return p.para_level;
}

bool TCustomRDFormattedData::SplitLineByLevels(int first, TRDFormatParams& p) {
  const int last = DrawItems.Count() - 1;
  const int paraLevel = ParagraphLevel(DrawItems[first]->ItemNo, p);
  p.level_last_item = DrawItems[last]->ItemNo;
  std::u16string text;
  std::vector<size_t> starts;  // each draw line's first unit in the line's text
  starts.reserve(size_t(last - first + 2));
  for (int d = first; d <= last; ++d) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    starts.push_back(text.size());
    if (GetItem(line.ItemNo)->StyleNo < 0)
      AppendBiDiText(line.ItemNo, 1, 1, text);
    else
      AppendBiDiText(line.ItemNo, line.Offs, line.Length, text);
  }
  starts.push_back(text.size());
  if (paraLevel == 0 && std::none_of(text.begin(), text.end(), TPreparedFont::IsRightToLeft)) {
    // Nothing on the line reads right to left: it keeps the order of its pieces.
    for (int d = first; d <= last; ++d) DrawItems[d]->BiDiLevel = 0;
    return false;
  }
  std::vector<std::uint8_t> levels;
  ResolveBiDiLevels(text, paraLevel, levels);
  const auto levelAt = [&](size_t k) {
    return starts[k] < starts[k + 1] ? levels[starts[k]] : std::uint8_t(paraLevel);
  };
  const auto cutsAt = [&](size_t k) {
    for (size_t u = starts[k] + 1; u < starts[k + 1]; ++u)
      if (levels[u] != levels[u - 1]) return true;
    return false;
  };
  bool cut = false;
  for (size_t k = 0; k < size_t(last - first + 1); ++k) {
    DrawItems[first + int(k)]->BiDiLevel = levelAt(k);
    cut = cut || (GetItem(DrawItems[first + int(k)]->ItemNo)->StyleNo >= 0 && cutsAt(k));
  }
  if (!cut) return true;

  // Text pieces that hold several levels become one piece per level, each measured as it
  // is drawn.
  std::vector<std::unique_ptr<TRDDrawLineInfo>> old = DrawItems.TakeTail(first);
  std::vector<std::unique_ptr<TRDDrawLineInfo>> lines;
  std::vector<size_t> moved(old.size() + 1);  // each old piece's first new piece
  lines.reserve(old.size() * 2);
  for (size_t k = 0; k < old.size(); ++k) {
    moved[k] = lines.size();
    TRDDrawLineInfo& line = *old[k];
    const TCustomRDItemInfo& item = *GetItem(line.ItemNo);
    if (item.StyleNo < 0 || !cutsAt(k)) {
      lines.push_back(std::move(old[k]));
      continue;
    }
    const int styleNo = GetActualStyle(item);
    ApplyTextStyle(styleNo, line.ItemNo, p);
    const std::string& raw = GetItemTextRaw(line.ItemNo);
    const TFontInfo& font = GetRDStyle()->TextStyles()[styleNo];
    const bool unicode = IsUnicodeItem(item.ItemOptions);
    const bool special = (GetOptions() & rdoShowSpecialCharacters) != 0;
    const TRDDrawLineInfo whole = line;
    int used = 0;
    for (size_t u = starts[k]; u < starts[k + 1];) {
      size_t end = u + 1;
      while (end < starts[k + 1] && levels[end] == levels[u]) ++end;
      const int offs = whole.Offs + int(u - starts[k]);
      const int length = int(end - u);
      std::unique_ptr<TRDDrawLineInfo> part =
          u == starts[k] ? std::move(old[k]) : std::make_unique<TRDDrawLineInfo>(whole);
      part->Offs = offs;
      part->Length = length;
      part->Left = whole.Left + used;
      part->BiDiLevel = levels[u];
      if (u != starts[k]) {
        part->FromNewLine = false;
        part->LineMinWidth = -1;
      }
      // The line's last part shows a soft hyphen that ends it as a hyphen.
      const bool atLineEnd = k + 1 == old.size() && end == starts[k + 1];
      const std::string shown = GetTextForDisplay(CopyItemText(raw, offs, length, item.ItemOptions),
                                                  font, unicode, atLineEnd, true, special);
      part->Width = GetItemTextWidth(shown, *p.canvas, item.ItemOptions);
      used += part->Width;
      lines.push_back(std::move(part));
      u = end;
    }
  }
  moved[old.size()] = lines.size();
  // Items whose first piece moved, and the hypertext areas: one for every part.
  for (size_t k = 0; k < old.size(); ++k) {
    TCustomRDItemInfo& item = *GetItem(lines[moved[k]]->ItemNo);
    const bool firstOfItem = k == 0 || lines[moved[k - 1]]->ItemNo != lines[moved[k]]->ItemNo;
    if (firstOfItem && item.DrawItemNo == first + int(k)) item.DrawItemNo = first + int(moved[k]);
  }
  size_t jumpTail = Jumps.size();
  while (jumpTail > 0 && Jumps[jumpTail - 1].DrawItemNo >= first) --jumpTail;
  std::vector<TRDJumpInfo> jumps(Jumps.begin() + std::ptrdiff_t(jumpTail), Jumps.end());
  Jumps.resize(jumpTail);
  for (const TRDJumpInfo& jump : jumps) {
    const size_t k = size_t(jump.DrawItemNo - first);
    for (size_t n = moved[k]; n < moved[k + 1]; ++n) {
      TRDJumpInfo& added = Jumps.emplace_back(jump);
      added.DrawItemNo = first + int(n);
      added.Left = lines[n]->Left;
      added.Width = lines[n]->Width;
    }
  }
  DrawItems.AppendAll(std::move(lines));
  return true;
}

void TCustomRDFormattedData::PlaceLineInVisualOrder(int first, int last) {
  const size_t n = size_t(last - first + 1);
  std::uint8_t highest = 0, lowestOdd = UINT8_MAX;
  for (int d = first; d <= last; ++d) {
    const std::uint8_t level = DrawItems[d]->BiDiLevel;
    highest = std::max(highest, level);
    if (level & 1) lowestOdd = std::min(lowestOdd, level);
  }
  // From the highest level down to the lowest odd one, every run of pieces at that level
  // or above is reversed.
  std::vector<int> visual(n);
  std::iota(visual.begin(), visual.end(), first);
  for (int level = highest; level >= 1 && level >= lowestOdd; --level)
    for (size_t i = 0; i < n;) {
      if (DrawItems[visual[i]]->BiDiLevel < level) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < n && DrawItems[visual[j]]->BiDiLevel >= level) ++j;
      std::reverse(visual.begin() + std::ptrdiff_t(i), visual.begin() + std::ptrdiff_t(j));
      i = j;
    }
  // Each piece keeps the room it had before it in the text's order.
  std::vector<int> gaps(n, 0);
  for (int d = first + 1; d <= last; ++d)
    gaps[size_t(d - first)] =
        DrawItems[d]->Left - (DrawItems[d - 1]->Left + DrawItems[d - 1]->Width);
  int x = DrawItems[first]->Left;
  for (size_t i = 0; i < n; ++i) {
    const int d = visual[i];
    if (i > 0) x += gaps[size_t(d - first)];
    DrawItems[d]->Left = x;
    x += DrawItems[d]->Width;
  }
}

TRDDrawItemDirection::TRDDrawItemDirection(TRDCanvas& canvas, const TRDDrawLineInfo& line)
    : canvas_(canvas), saved_(canvas.ReadingDirection) {
  canvas.ReadingDirection = line.IsRightToLeft() ? rdbdRightToLeft : rdbdLeftToRight;
}

TRDDrawItemDirection::~TRDDrawItemDirection() {
  canvas_.ReadingDirection = saved_;
}
