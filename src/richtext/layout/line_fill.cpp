// Filling screen lines with the items: text wrapped word by word at the room a line
// has, rectangle items and tabs on the line, full-line items on lines of their own, and
// where a new line starts with its indents and the spacing of paragraphs.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "richtext/base/code_pages.h"
#include "richtext/base/line_break.h"
#include "richtext/layout/format_params.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/nontext_items.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"

namespace {

constexpr char16_t kSoftHyphen = 0x00AD;
constexpr char16_t kZeroWidthSpace = 0x200B;

// Soft hyphens drawn as special characters everywhere, not as hyphens at wraps.
bool SoftHyphensShown(TRDOptions options) {
  return (options & rdoShowSpecialCharacters) && (RDShownSpecialChars & rdskSoftHyphen);
}

// The width a soft hyphen shows at a wrap: a hyphen's in the canvas font.
int HyphenWidth(TRDCanvas& canvas) {
  return canvas.TextWidthW(u"-");
}

char16_t CharAt(const std::string& s, int index, bool unicode) {
  return unicode ? RawUnicodeAt(s, size_t(index)) : char16_t(std::uint8_t(s[size_t(index)]));
}

std::string_view PieceView(const std::string& s, int from, int count, bool unicode) {
  return std::string_view(s).substr(unicode ? size_t(from) * 2 : size_t(from),
                                    unicode ? size_t(count) * 2 : size_t(count));
}

// The draw line of a non-text item: on paper the item's own printing kind (a picture or
// a table that can be cut over pages).
std::unique_ptr<TRDDrawLineInfo> NonTextDrawLine(TCustomRDFormattedData& data,
                                                 const TCustomRDItemInfo& item,
                                                 const TRDResolution& scaling) {
  return data.IsForPrinting() ? item.CreatePrintingDrawItem(&data, scaling)
                              : std::make_unique<TRDDrawLineInfo>();
}

}  // namespace

void TCustomRDFormattedData::ApplyStyleAtScale(TRDCanvas& canvas, int styleNo, TRDBiDiMode bidi,
                                               const TRDResolution& scaling) const {
  GetRDStyle()->ApplyStyle(canvas, styleNo, bidi, false);
  // The style sets its spacing (none for text of a set direction) in screen pixels.
  if (canvas.CharacterExtra != 0)
    canvas.CharacterExtra = ScreenToDeviceX(canvas.CharacterExtra, scaling);
}

void TCustomRDFormattedData::ApplyTextStyle(int styleNo, int itemNo, TRDFormatParams& p) {
  if (p.cur_style == styleNo) return;
  TRDStyle& style = *GetRDStyle();
  ApplyStyleAtScale(*p.canvas, styleNo, GetParaBiDiMode(GetItemPara(itemNo)), p.scaling);
  p.canvas->GetTextMetrics(p.metrics);
  const TFontInfo& info = style.TextStyles()[styleNo];
  p.v_offset = info.VShift * p.metrics.Height / 100;
  p.cur_style = styleNo;
}

void TCustomRDFormattedData::AddDrawLine(std::unique_ptr<TRDDrawLineInfo> line,
                                         TRDFormatParams& p) {
  // A partial layout ends where its lines meet the old ones again: the line that met
  // them is an old one.
  if (p.old_lines && line->FromNewLine && MeetsOldLines(*line, *p.old_lines)) {
    p.met_old_lines = true;
    return;
  }
  TCustomRDItemInfo* item = GetItem(line->ItemNo);
  if (item->DrawItemNo < 0) item->DrawItemNo = DrawItems.Count();
  DrawItems.Add(std::move(line));
}

// Places a new draw line of the given ascent and descent: on a new line below the last
// one, or on the current line, lowering that line when the piece reaches higher.
static void PlaceOnLine(TRDDrawLines& lines, TRDDrawLineInfo& line, bool newLine, int ascent,
                        int descent, int lineFirst, int& baseline, int& lineAscent,
                        int& lineDescent, int& pendingExtra) {
  if (newLine) {
    baseline = LayoutBelow(baseline, pendingExtra);
    pendingExtra = 0;
    line.FromNewLine = true;
    line.Top = baseline + lineDescent;
    lineAscent = ascent;
    baseline = LayoutBelow(baseline, std::int64_t(lineDescent) + ascent);
    lineDescent = descent;
    return;
  }
  line.FromNewLine = false;
  if (ascent > lineAscent) {
    const int diff = ascent - lineAscent;
    for (int d = lineFirst; d < lines.Count(); ++d)
      lines[d]->Top = LayoutBelow(lines[d]->Top, diff);
    baseline = LayoutBelow(baseline, diff);
    lineAscent = ascent;
  }
  line.Top = baseline - ascent;
  lineDescent = std::max(lineDescent, descent);
}

int TCustomRDFormattedData::GetFitCount(const std::string& text, const std::string& stored,
                                        int itemNo, int from, int count, int room,
                                        TRDFormatParams& p, TItemTextPrefixes* prefixes,
                                        int& fitWidth) const {
  if (p.max_length > 0) count = std::min(count, p.max_length - p.line_chars);
  if (count <= 0) {
    fitWidth = 0;
    return 0;
  }
  const TRDItemOptions options = GetItemOptions(itemNo);
  const bool unicode = IsUnicodeItem(options);
  TRDCanvas& canvas = *p.canvas;
  auto width = [&](int n) {
    return prefixes ? prefixes->Width(size_t(n))
                    : GetItemTextWidth(PieceView(text, from, n, unicode), canvas, options);
  };
  const TParaInfo& para = GetRDStyle()->ParaStyles()[GetItemPara(itemNo)];
  if (para.Options & rdpaoNoWrap) {
    const size_t k = size_t(itemNo - p.no_wrap_first);
    const bool measured = p.no_wrap_widths && from == 0 && itemNo >= p.no_wrap_first &&
                          k < p.no_wrap_widths->size() && (*p.no_wrap_widths)[k] >= 0 &&
                          count == GetItemTextLength(stored, options);
    fitWidth = measured ? (*p.no_wrap_widths)[k] : width(count);
    return count;
  }
  // A hidden soft hyphen ending a probe would show as a hyphen if the line ended there.
  auto endsOnHiddenHyphen = [&](int n) {
    return unicode && CharAt(stored, from + n - 1, true) == kSoftHyphen &&
           CharAt(text, from + n - 1, true) == kZeroWidthSpace;
  };
  auto probeWidth = [&](int n) {
    return width(n) + (endsOnHiddenHyphen(n) ? HyphenWidth(canvas) : 0);
  };
  // The search brackets the line between a count known to fit and one known not to. The
  // upper count starts near what the room holds and doubles while it still fits, so a
  // line costs about its own length however long the rest of the item is.
  int low = 0, lowWidth = 0;
  int high = int(std::min<std::int64_t>(
      count, 2 * std::int64_t(std::max(room, 0)) / std::max(1, p.metrics.AveCharWidth) + 8));
  int highWidth = high == count ? width(count) : probeWidth(high);
  while (high < count && highWidth >= 0 && highWidth <= room) {
    low = high;
    lowWidth = highWidth;
    high = int(std::min<std::int64_t>(count, std::int64_t(high) * 2));
    highWidth = high == count ? width(count) : probeWidth(high);
  }
  if (high == count && highWidth >= 0 && highWidth <= room) {
    fitWidth = highWidth;
    return count;
  }
  // Interpolation between the two; 64-bit products, as a long item times a wide room
  // overflows 32 bits.
  fitWidth = -1;
  while (high > low + 1) {
    std::int64_t span = std::int64_t(highWidth) - lowWidth;
    if (span == 0) span = 1;
    std::int64_t probe = low + std::int64_t(room - lowWidth) * (high - low) / span;
    probe = std::clamp<std::int64_t>(probe, low + 1, high - 1);
    const int n = int(probe);
    const int w = probeWidth(n);
    if (w == room) {
      low = n;
      lowWidth = w;
      break;
    }
    if (w > 0 && w < room) {
      low = n;
      lowWidth = w;
    } else {
      high = n;
      highWidth = w;
    }
  }
  // Not right before a soft hyphen: a break after it would need its hyphen's room too.
  if (unicode && low > 0 && CharAt(stored, from + low, true) == kSoftHyphen) --low;
  // Never between the two halves of a surrogate pair, nor between a letter and the
  // combining marks that follow it.
  while (unicode && low > 0 && low < count && StaysWithPrevious(CharAt(stored, from + low, true)))
    --low;
  if (low > 0) fitWidth = width(low);
  return low;
}

bool TCustomRDFormattedData::LineEndsInFullLineItem(const TRDFormatParams& p) const {
  const int count = DrawItems.Count();
  if (count == 0 || p.line_first >= count) return false;
  const TCustomRDItemInfo* last = GetItem(DrawItems[count - 1]->ItemNo);
  return last->IsFullLine();
}

void TCustomRDFormattedData::FormatLine(const std::string& text, const std::string& stored,
                                        int itemNo, int count, int startOffs, TRDFormatParams& p) {
  TCustomRDItemInfo* item = GetItem(itemNo);
  const bool unicode = IsUnicodeItem(item->ItemOptions);
  const bool trim = (GetFlags() & rdfTrimSpaces) != 0;
  const int styleNo = GetActualStyle(*item);
  if (startOffs == 0 && item->IsParaStart()) {
    p.at_para_start = true;
    p.space_dropped = false;
  }
  // The line an item begins itself (a paragraph, a soft line break) is no wrap: the line
  // before keeps its trailing space and this one its leading one, however the lines
  // before were laid out (a layout of part of the document starts here with no past).
  bool wrapped = !(startOffs == 0 && IsItemLineStart(itemNo));
  // After a full-line item nothing may continue its line.
  bool newLine = !wrapped || LineEndsInFullLineItem(p);
  ApplyTextStyle(styleNo, itemNo, p);
  const TFontInfo& info = GetRDStyle()->TextStyles()[styleNo];
  TRDTextRun run;
  run.options = item->ItemOptions;
  // With the external leading the font's advised gap stands above every line.
  const int leading = (GetFlags() & rdfExternalLeading) ? p.metrics.ExternalLeading : 0;
  run.ascent = p.metrics.Ascent + p.v_offset + leading;
  run.descent = p.metrics.Descent - p.v_offset;
  run.hyper = info.Jump && (GetFlags() & rdfCollectJumps);
  // All pieces of an item share its area's number, which its first call takes.
  run.jump_id = startOffs > 0 ? JumpCount - 1 : JumpCount;
  run.jump_cursor = info.JumpCursor;

  if (count == 0) {
    FormatEmptyText(itemNo, newLine, run, p);
    if (!p.met_old_lines && info.Jump) item->JumpID = -3;
    return;
  }
  int pos = startOffs;  // 0-based index of the next character to lay
  const int end = startOffs + count;
  bool firstPiece = true;
  while (pos < end) {
    if (newLine) {
      StartNewLine(itemNo, wrapped && !p.at_para_start, p);
      // Dropping the space that ended the line before measured it in its own item's
      // style: the pieces of this item are measured in this item's.
      ApplyTextStyle(styleNo, itemNo, p);
      p.x = 0;
      newLine = false;
      if (trim && wrapped && !p.space_dropped && !p.at_para_start && end - pos > 1 &&
          CharAt(stored, pos, unicode) == u' ')
        ++pos;
      wrapped = true;
    }
    p.space_dropped = false;
    // Right after a list marker at least a character stays on the marker's line.
    const bool afterMarker =
        firstPiece && startOffs == 0 && itemNo > 0 && GetItem(itemNo - 1)->StyleNo == -11;
    TRDTextPiece piece;
    if (!FitTextPiece(text, stored, itemNo, pos, end, afterMarker, p, piece)) {
      p.at_para_start = false;
      newLine = true;
      continue;
    }
    AddTextPiece(text, itemNo, pos, piece, run, p);
    if (p.met_old_lines) return;
    pos += piece.length;
    if (piece.skip_space) {
      ++pos;
      p.space_dropped = pos == end;
    }
    firstPiece = false;
    newLine = true;
  }
  if (run.hyper && startOffs == 0) item->JumpID = JumpCount++;
}

void TCustomRDFormattedData::FormatEmptyText(int itemNo, bool newLine, const TRDTextRun& run,
                                             TRDFormatParams& p) {
  if (newLine) {
    StartNewLine(itemNo, false, p);
    p.x = 0;
  }
  auto line = TRDDrawLineInfo::CreateEx(p.line_left + p.x, 0, 0, p.metrics.Height, itemNo, false);
  line->Offs = 1;
  line->Length = 0;
  PlaceOnLine(DrawItems, *line, DrawItems.Count() == p.line_first, run.ascent, run.descent,
              p.line_first, p.baseline, p.ascent, p.descent, p.pending_extra);
  line->Left = p.line_left + p.x;
  AddDrawLine(std::move(line), p);
  p.at_para_start = false;
}

bool TCustomRDFormattedData::FitTextPiece(const std::string& text, const std::string& stored,
                                          int itemNo, int pos, int end, bool afterMarker,
                                          TRDFormatParams& p, TRDTextPiece& piece) {
  const int left = end - pos;
  const int room = std::max(0, p.room - p.x);
  const bool forced = DrawItems.Count() == p.line_first || afterMarker;
  // The line's candidates all start at pos: its text is cut into what is measured once.
  std::optional<TItemTextPrefixes> prefixes;
  if (p.item_text_no == itemNo)
    prefixes.emplace(*p.canvas, std::u16string_view(p.item_text).substr(size_t(pos)));
  TItemTextPrefixes* measure = prefixes ? &*prefixes : nullptr;
  int fitWidth = -1;
  int fit = GetFitCount(text, stored, itemNo, pos, left, room, p, measure, fitWidth);
  if (fit == 0) {
    if (!forced) return false;
    // At least one whole character on an empty line.
    fit = GetNextCharOffset(stored, itemNo, pos + 1) - (pos + 1);
    fit = std::clamp(fit, 1, left);
    fitWidth = -1;
  }
  piece = TRDTextPiece{fit, fitWidth, false};
  if (fit != left && !BreakTextPiece(text, stored, itemNo, pos, end, forced, piece)) return false;
  if (piece.width < 0 && measure) piece.width = measure->Width(size_t(piece.length));
  return true;
}

bool TCustomRDFormattedData::BreakTextPiece(const std::string& text, const std::string& stored,
                                            int itemNo, int pos, int end, bool forced,
                                            TRDTextPiece& piece) const {
  const bool unicode = IsUnicodeItem(GetItemOptions(itemNo));
  const bool trim = (GetFlags() & rdfTrimSpaces) != 0;
  const int fit = piece.length;
  int length = fit;
  int breakAt = -1;  // the space (0-based, in the item) after which the line may end
  if (unicode) {
    // The search looks no further than the character after the part that fits.
    const std::u16string wide = RawUnicodeToWideString(PieceView(text, pos, fit + 1, true));
    const int b = FindLineBreakW(wide, fit, trim);
    if (b != kNoLineBreak) {
      breakAt = pos + b;
      // The opportunity lies after the character at b; a space there may be trimmed.
      if (CharAt(stored, breakAt, true) != u' ') {
        length = b + 1;
        breakAt = -2;
      }
    }
  } else {
    int from = pos + fit;
    if (from == end - 1) --from;
    for (int k = std::min(from, end - 1); k >= pos; --k)
      if (CharAt(stored, k, false) == ' ') {
        breakAt = k;
        break;
      }
  }
  if (breakAt == -1 && trim && pos + fit < end && CharAt(stored, pos + fit, unicode) == u' ' &&
      (end - (pos + fit) > 1 ||
       (itemNo + 1 < Items.Count() && GetItem(itemNo + 1)->GetContinuesPara())))
    breakAt = pos + fit;
  if (breakAt == -1) {
    // No place to break: a line that holds something already ends before the item.
    if (!forced) return false;
  } else if (breakAt >= 0) {
    length = breakAt == pos || !trim ? breakAt - pos + 1 : breakAt - pos;
    piece.skip_space = breakAt != pos && trim;
  }
  if (length != fit) piece.width = -1;
  piece.length = length;
  return true;
}

void TCustomRDFormattedData::AddTextPiece(const std::string& text, int itemNo, int pos,
                                          const TRDTextPiece& piece, const TRDTextRun& run,
                                          TRDFormatParams& p) {
  const bool lineEmpty = DrawItems.Count() == p.line_first;
  const int width =
      piece.width >= 0
          ? piece.width
          : GetItemTextWidth(PieceView(text, pos, piece.length, IsUnicodeItem(run.options)),
                             *p.canvas, run.options);
  auto line = TRDDrawLineInfo::CreateEx(0, 0, width, p.metrics.Height, itemNo, false);
  line->Offs = pos + 1;
  line->Length = piece.length;
  PlaceOnLine(DrawItems, *line, lineEmpty, run.ascent, run.descent, p.line_first, p.baseline,
              p.ascent, p.descent, p.pending_extra);
  if (lineEmpty) p.x = 0;
  line->Left = p.x + p.line_left;
  TRDJumpInfo jump;
  jump.RDData = this;
  jump.Left = line->Left;
  jump.Top = line->Top;
  jump.Width = width;
  jump.Height = line->Height;
  jump.Id = run.jump_id;
  jump.DrawItemNo = DrawItems.Count();
  jump.Cursor = run.jump_cursor;
  AddDrawLine(std::move(line), p);
  if (p.met_old_lines) return;
  if (run.hyper) Jumps.push_back(jump);
  p.x += width;
  p.line_chars += piece.length;
  p.at_para_start = false;
}

void TCustomRDFormattedData::FormatRectItem(int itemNo, TRDFormatParams& p) {
  auto* item = dynamic_cast<TRDNonTextItemInfo*>(GetItem(itemNo));
  if (!item) return;
  TRDItemBox box = MeasureRectItem(*item, p);
  p.cur_style = -1;  // the item may have set a font of its own
  const TParaInfo& para = GetRDStyle()->ParaStyles()[item->ParaNo];
  const bool noWrap = (para.Options & rdpaoNoWrap) != 0;
  const bool afterMarker = itemNo > 0 && GetItem(itemNo - 1)->StyleNo == -11;
  const bool lineEmpty = DrawItems.Count() == p.line_first;
  const bool lineFull =
      p.x + box.width > p.room || (p.max_length > 0 && p.line_chars >= p.max_length);
  const bool newLine =
      IsItemLineStart(itemNo) || (!lineEmpty && lineFull && !noWrap && !afterMarker);
  if (IsItemLineStart(itemNo) && item->IsParaStart()) p.at_para_start = true;
  if (newLine) {
    StartNewLine(itemNo, !item->IsParaStart() && !item->GetLineBreakBefore(), p);
    p.x = 0;
  }
  if (item->StyleNo == -12) box.width = TabWidth(*item, p);
  PlaceRectItem(itemNo, *item, box, p);
}

TCustomRDFormattedData::TRDItemBox TCustomRDFormattedData::MeasureRectItem(
    TRDNonTextItemInfo& item, const TRDFormatParams& p) {
  TRDStyle& style = *GetRDStyle();
  TRDItemBox box{item.GetWidth(), item.GetHeight(), item.GetDescent(),
                 // A tab reaches exactly to its stop.
                 item.StyleNo == -12 ? 0 : item.GetHorzSpacing()};
  // Only items whose width follows the document's (tabs, markers, controls in per cent)
  // are measured against it; the rest keep their own size, which on paper grows with the
  // printer's resolution.
  if (item.QueryItemFlagEx(5, &style)) {
    item.AdjustToDocWidth(*p.canvas, style, TextWidth, box.width, box.height, box.descent);
  } else if (IsForPrinting()) {
    box.width = ScreenToDeviceX(box.width, p.scaling);
    box.height = ScreenToDeviceY(box.height, p.scaling);
    box.descent = ScreenToDeviceY(box.descent, p.scaling);
  }
  if (IsForPrinting()) box.spacing = ScreenToDeviceX(box.spacing, p.scaling);
  return box;
}

int TCustomRDFormattedData::TabWidth(const TCustomRDItemInfo& tab, TRDFormatParams& p) {
  FinishPendingTab(p);
  int position = 0;
  std::string leader;
  TRDTabAlign align = rdtaLeft;
  const int margin = ScreenToDeviceX(GetLeftMargin(), p.scaling);
  GetRDStyle()->GetNextTab(tab.ParaNo, p.line_left + p.x, p.scaling, margin, position, leader,
                           align, GetParaBiDiMode(tab.ParaNo), p.left_indent, p.right_indent);
  const int here = p.line_left + p.x;
  if (align == rdtaLeft) return std::max(0, position - here);
  // A right or centre tab waits for the text after it, which the line's end places.
  p.tab_item = DrawItems.Count();
  p.tab_align = align;
  p.tab_pos = position;
  return align == rdtaRight ? 0
                            : std::max(0, (position - here) - (p.line_left + p.room - position));
}

void TCustomRDFormattedData::PlaceRectItem(int itemNo, TRDNonTextItemInfo& item,
                                           const TRDItemBox& box, TRDFormatParams& p) {
  TRDStyle& style = *GetRDStyle();
  int ascent = box.height - box.descent;
  int descent = box.descent;
  auto* rect = dynamic_cast<TRDRectItemInfo*>(&item);
  const int vAlign = rect ? rect->VAlign : rdvaBaseline;
  if (vAlign == rdvaMiddle) {
    ascent = box.height / 2;
    descent = box.height - ascent;
  }
  if (rect && rect->VShift != 0) {
    const int shift = rect->VShiftAbs ? ScreenToDeviceY(rect->VShift, p.scaling)
                                      : box.height * rect->VShift / 100;
    ascent += shift;
    descent -= shift;
  }
  const bool aligned = vAlign >= rdvaAbsTop;
  if (aligned) p.line_has_valigned = true;
  auto line = NonTextDrawLine(*this, item, p.scaling);
  line->SetData(0, 0, itemNo, false);
  line->SetSize(box.width, box.height);
  PlaceOnLine(DrawItems, *line, DrawItems.Count() == p.line_first, aligned ? 0 : ascent,
              aligned ? 0 : descent, p.line_first, p.baseline, p.ascent, p.descent,
              p.pending_extra);
  if (aligned) line->Top = p.baseline;
  line->Left = p.x + p.line_left + box.spacing;
  line->Offs = 0;
  line->Length = 0;
  TRDJumpInfo jump;
  jump.RDData = this;
  jump.Left = line->Left;
  jump.Top = line->Top;
  jump.Width = box.width;
  jump.Height = line->Height;
  jump.Id = JumpCount;
  jump.DrawItemNo = DrawItems.Count();
  jump.Cursor = style.JumpCursor;
  AddDrawLine(std::move(line), p);
  if (p.met_old_lines) return;
  if ((GetFlags() & rdfCollectJumps) && item.QueryItemFlagEx(1, &style)) {
    // Pictures and image-list pictures that are links.
    Jumps.push_back(jump);
    item.JumpID = JumpCount++;
  }
  p.x += box.width + box.spacing;
  p.at_para_start = false;
}

void TCustomRDFormattedData::FormatFullLineItem(int itemNo, TRDFormatParams& p) {
  TCustomRDItemInfo* item = GetItem(itemNo);
  TRDStyle& style = *GetRDStyle();
  FinishPendingTab(p);
  FinishLine(p.line_left + p.room, p, true);
  p.baseline = LayoutBelow(p.baseline, p.pending_extra);
  p.pending_extra = 0;
  if (itemNo > 0) p.descent += ParaSpaceAfter(itemNo - 1, p.scaling);
  p.descent += ParaSpaceBefore(itemNo, p.scaling);
  const int margin = ScreenToDeviceX(GetLeftMargin(), p.scaling);
  std::unique_ptr<TRDDrawLineInfo> line;
  if (item->StyleNo == -1) {
    p.descent += ParaSpaceAfter(itemNo, p.scaling);
    const int s = RDMulDiv(5, p.scaling.DevicePixelsPerInchY, p.scaling.ScreenPixelsPerInchY);
    line = TRDDrawLineInfo::CreateEx(margin, p.baseline + p.descent, TextWidth, 2 * s + 1, itemNo,
                                     true);
    p.baseline = LayoutBelow(p.baseline, std::int64_t(p.descent) + s + 1);
    p.ascent = s;
    p.descent = s;
  } else {
    const TParaInfo& para = style.ParaStyles()[item->ParaNo];
    const int leftIndent = ScreenToDeviceX(para.LeftIndent, p.scaling);
    const int room = TextWidth - leftIndent - ScreenToDeviceX(para.RightIndent, p.scaling);
    int width = room, height = 0, descent = 0;
    line = NonTextDrawLine(*this, *item, p.scaling);
    if (!line->LayOutForPrinting(*p.canvas, room, width, height))
      item->AdjustToDocWidth(*p.canvas, style, room, width, height, descent);
    int shift = 0;
    if (para.Alignment == rdaRight) shift = room - width;
    if (para.Alignment == rdaCenter) shift = (room - width) / 2;
    line->SetData(margin + leftIndent + std::max(0, shift), p.baseline + p.descent, itemNo, true);
    line->SetSize(width, height);
    p.baseline = LayoutBelow(p.baseline, std::int64_t(p.descent) + height);
    p.ascent = height;
    p.descent = 0;
  }
  line->Offs = 0;
  line->Length = 0;
  p.line_first = DrawItems.Count();
  AddDrawLine(std::move(line), p);
  if (p.met_old_lines) return;
  if (GetFlags() & rdfCollectJumps) item->BuildJumps(JumpCount);
  p.cur_style = -1;
  p.x = 0;
  p.at_para_start = false;
}

void TCustomRDFormattedData::StartNewLine(int itemNo, bool wrapping, TRDFormatParams& p) {
  TRDStyle& style = *GetRDStyle();
  const int count = DrawItems.Count();
  if (wrapping && !p.space_dropped && count > p.line_first) {
    // A space that ends the wrapped line takes no room.
    TRDDrawLineInfo* last = DrawItems[count - 1];
    TCustomRDItemInfo* lastItem = GetItem(last->ItemNo);
    const bool unicode = IsUnicodeItem(lastItem->ItemOptions);
    if (lastItem->StyleNo >= 0 && last->Length > 0 &&
        CharAt(GetItemTextRaw(last->ItemNo), last->Offs + last->Length - 2, unicode) == u' ') {
      if (last->Length == 1 && !last->FromNewLine && count - 1 > p.line_first &&
          DrawItems[count - 2]->ItemNo == last->ItemNo) {
        DrawItems.DeleteItem(count - 1);
      } else {
        --last->Length;
        ApplyTextStyle(GetActualStyle(*lastItem), last->ItemNo, p);
        last->Width = GetItemTextWidth(
            PieceView(GetItemTextRaw(last->ItemNo), last->Offs - 1, last->Length, unicode),
            *p.canvas, lastItem->ItemOptions);
      }
      p.space_dropped = true;
    }
  }
  if (wrapping && DrawItems.Count() > p.line_first && !SoftHyphensShown(GetOptions())) {
    // A soft hyphen that ends the wrapped line shows as a hyphen, which takes room.
    TRDDrawLineInfo* last = DrawItems[DrawItems.Count() - 1];
    TCustomRDItemInfo* lastItem = GetItem(last->ItemNo);
    if (lastItem->StyleNo >= 0 && IsUnicodeItem(lastItem->ItemOptions) && last->Length > 0 &&
        CharAt(GetItemTextRaw(last->ItemNo), last->Offs + last->Length - 2, true) == kSoftHyphen) {
      ApplyTextStyle(GetActualStyle(*lastItem), last->ItemNo, p);
      last->Width += HyphenWidth(*p.canvas);
    }
  }
  FinishPendingTab(p);
  const TCustomRDItemInfo* item = GetItem(itemNo);
  const bool paraStart = item->IsParaStart() && p.at_para_start;
  FinishLine(p.line_left + p.room, p, paraStart);
  const TParaInfo& para = style.ParaStyles()[item->ParaNo];
  int left = para.LeftIndent;
  if (paraStart && p.at_para_start && !item->IsFullLine()) left += para.FirstIndent;
  int right = para.RightIndent;
  if (GetParaBiDiMode(item->ParaNo) == rdbdRightToLeft) std::swap(left, right);
  left = ScreenToDeviceX(left, p.scaling);
  right = ScreenToDeviceX(right, p.scaling);
  p.left_indent = ScreenToDeviceX(para.LeftIndent, p.scaling);
  p.right_indent = ScreenToDeviceX(para.RightIndent, p.scaling);
  if (paraStart && p.at_para_start) {
    if (itemNo > 0) p.descent += ParaSpaceAfter(itemNo - 1, p.scaling);
    p.descent += ParaSpaceBefore(itemNo, p.scaling);
  }
  p.room = ((para.Options & rdpaoNoWrap) ? DocumentWidth : TextWidth) - (right + left);
  p.line_left = ScreenToDeviceX(GetLeftMargin(), p.scaling) + left;
  p.line_first = DrawItems.Count();
  p.line_chars = 0;
  p.line_has_valigned = false;
}

void TCustomRDFormattedData::FormatItem(int i, TRDFormatParams& p, int from) {
  TCustomRDItemInfo* item = GetItem(i);
  if (item->StyleNo < 0) {
    if (item->IsFullLine())
      FormatFullLineItem(i, p);
    else
      FormatRectItem(i, p);
    return;
  }
  TRDStyle* style = GetRDStyle();
  const std::string& stored = GetItemTextRaw(i);
  const bool unicode = IsUnicodeItem(item->ItemOptions);
  const int count = GetItemTextLength(stored, item->ItemOptions);
  const std::string display =
      GetTextForDisplay(stored, style->TextStyles()[GetActualStyle(*item)], unicode, false, false,
                        (GetOptions() & rdoShowSpecialCharacters) != 0);
  // A wrapped line of a Unicode item is fitted on its UTF-16, converted once for all.
  p.item_text_no = -1;
  if (unicode && !(style->ParaStyles()[item->ParaNo].Options & rdpaoNoWrap)) {
    p.item_text = RawUnicodeToWideString(display);
    p.item_text_no = i;
  }
  if (style->ParaStyles()[item->ParaNo].Alignment == rdaJustify && count > 0) {
    // Word by word, each chunk with the one space before it.
    int pos = from;
    while (pos < count && !p.met_old_lines) {
      int next = pos + 1;
      while (next < count && CharAt(stored, next, unicode) != u' ') ++next;
      FormatLine(display, stored, i, next - pos, pos, p);
      pos = next;
    }
  } else {
    FormatLine(display, stored, i, count - from, from, p);
  }
}
