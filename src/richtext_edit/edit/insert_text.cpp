// Typing and inserting plain text at the caret. A typed character goes into the caret's
// text item when that item has the current text style (one typing record grows by a
// character a key press); other text becomes new items: the text is cut into pieces at
// its line breaks, form feeds and (when tabs are items) tabs, each piece one text item,
// and the pieces are inserted after the caret as one undo step.
#include <algorithm>
#include <memory>

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/item_text.h"
#include "richtext/base/text_routines.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

constexpr char16_t kTab = 9, kLineFeed = 10, kVerticalTab = 11, kFormFeed = 12,
                   kCarriageReturn = 13, kLineSeparator = 0x2028, kParagraphSeparator = 0x2029;

// How a piece of inserted text begins.
enum class TPieceStart { Continuing, Paragraph, Line };

// The accumulation state of one text insertion: the pieces go in one after the other,
// the first through the caret's placing, the rest directly after it; finishing records
// them as one insertion, joins them with their neighbours and lays them out.
class TTextInsertion {
 public:
  TTextInsertion(TRDEditRDData& data, bool caretAtStart)
      : data_(data), caret_at_start_(caretAtStart), count_before_(data.GetItemCount()) {
    data_.ExpandDrawItemsToParas(data_.CaretPositions.front().DrawItemNo,
                                 data_.CaretPositions.back().DrawItemNo, d_first_, d_last_);
  }

  // text: the piece's bytes in the current style's form. False when the caret refused it.
  bool AddPiece(std::string text, TPieceStart start, bool pageBreak) {
    const int styleNo = data_.CurTextStyleNo;
    auto item = data_.CreateTextItem(styleNo, data_.CurParaStyleNo, false, false, TRDTag{});
    if (pageBreak) item->SetPageBreakBefore(true);
    if (first_ < 0) {
      int itemNo = -1, added = 0;
      bool f = false;
      if (data_.PlaceFirstPiece(std::move(item), text, itemNo, added, f)) {
        full_ = full_ || f;
        first_ = last_ = itemNo;
        const int paraStart = data_.GetFirstItemOfPara(itemNo);
        if (data_.GetItem(paraStart)->StyleNo == rdsListMarker) marker_ = paraStart;
        return true;
      }
      return false;
    }
    if (start == TPieceStart::Paragraph && marker_ >= 0) {
      // Every new paragraph of a list paragraph gets a marker of its own.
      bool f = false;
      data_.CopyListMarkerForNewParagraph(marker_, last_ + 1, false, f);
      full_ = full_ || f;
      ++last_;
      start = TPieceStart::Continuing;
    }
    switch (start) {
      case TPieceStart::Paragraph:
        break;
      case TPieceStart::Line:
        item->ParaNo = data_.GetItemPara(last_);
        item->SetLineBreakBefore(true);
        break;
      case TPieceStart::Continuing:
        item->ParaNo = data_.GetItemPara(last_);
        item->SetContinuesPara(true);
        break;
    }
    InsertAfterLast(std::move(text), std::move(item));
    return true;
  }

  void AddTab() {
    auto tab = CreateRDItem(rdsTab, &data_);
    tab->SetAssociatedTextStyleNo(data_.CurTextStyleNo);
    tab->ParaNo = data_.GetItemPara(last_);
    tab->SetContinuesPara(true);
    InsertAfterLast("", std::move(tab));
  }

  void Finish() {
    if (first_ < 0) return;
    bool f = false;
    const int count = last_ - first_;
    data_.FinishInsertedItems(first_ + 1, count, f, data_.AddInsertItemsRecord(first_ + 1, count));
    full_ = full_ || f;
    int caretOffs =
        caret_at_start_ ? data_.GetItemStartOffset(first_) : data_.GetItemEndOffset(last_);
    if (last_ + 1 < data_.GetItemCount() &&
        data_.CanJoinItems(last_, *data_.GetItem(last_), false, *data_.GetItem(last_ + 1))) {
      data_.JoinWithNextItemWithUndo(last_);
    }
    if (first_ > 0 &&
        data_.CanJoinItems(first_ - 1, *data_.GetItem(first_ - 1), false, *data_.GetItem(first_))) {
      const int prevLength = data_.GetItemLength(first_ - 1);
      data_.JoinWithNextItemWithUndo(first_ - 1);
      if (caret_at_start_ || first_ == last_) caretOffs += prevLength;
      --first_;
      --last_;
    }
    const int count_now = data_.GetItemCount();
    first_ = std::clamp(first_, 0, count_now - 1);
    last_ = std::clamp(last_, first_, count_now - 1);
    full_ = full_ || data_.GetItemRangeMinWidth(first_, last_) > data_.MinDocumentWidth;
    data_.ReformatAfterEdit(full_, d_first_, d_last_, count_now - count_before_);
    const int caretItem = caret_at_start_ ? first_ : last_;
    data_.PlaceCaretAtItem(caretItem, caretOffs, false);
    if (!full_ && data_.GetItem(data_.GetFirstItemOfPara(first_))->StyleNo == rdsListMarker)
      data_.RenumberListsInRange(first_, last_);
    data_.ItemTextChanged(first_, data_.GetItemStartOffset(first_), true);
  }

  bool Inserted() const { return first_ >= 0; }

 private:
  void InsertAfterLast(std::string text, std::unique_ptr<TCustomRDItemInfo> item) {
    data_.InsertItemRaw(last_ + 1, std::move(text), std::move(item));
    ++last_;
  }

  TRDEditRDData& data_;
  bool caret_at_start_;
  int count_before_;
  int d_first_ = -1, d_last_ = -1;
  int first_ = -1, last_ = -1;
  int marker_ = -1;  // the list marker that starts the caret's paragraph
  bool full_ = false;
};

// A form feed in inserted text starts a page, except inside a table cell.
bool AllowsPageBreaks(TRDEditRDData& data) {
  return data.GetAbsoluteParentData() == nullptr;
}

}  // namespace

bool TRDEditRDData::PlaceFirstPiece(std::unique_ptr<TCustomRDItemInfo> item, std::string& s,
                                    int& itemNo, int& added, bool& full) {
  if (item->StyleNo != rdsBreak) item->ParaNo = CurParaStyleNo;
  if (PlaceItemAtCaret(std::move(item), s, true, itemNo, added, full) == TPlaced::Inserted)
    return true;
  Beep();
  return false;
}

void TRDEditRDData::CopyListMarkerForNewParagraph(int itemNo, int insertAt, bool withUndo,
                                                  bool& fullReformat) {
  fullReformat = false;
  const int first = GetFirstItemOfPara(itemNo);
  auto* marker = dynamic_cast<TRDMarkerItemInfo*>(GetItem(first));
  if (!marker || marker->StyleNo != rdsListMarker) return;
  auto copy = CloneRDItem(*marker, this, false);
  auto& made = dynamic_cast<TRDMarkerItemInfo&>(*copy);
  made.Reset = false;
  made.StartFrom = 1;
  made.IndexInList = -1;
  made.ItemOptions &=
      TRDItemOptions(~(rdioContinuesPara | rdioLineBreakBefore | rdioPageBreakBefore));
  if (withUndo)
    InsertItemWithUndo(insertAt, "", std::move(copy), false, fullReformat);
  else
    InsertItemRaw(insertAt, "", std::move(copy));
}

void TRDEditRDData::ItemTextChanged(int itemNo, int offset, bool clearMarks) {
  if (itemNo < 0 || itemNo >= GetItemCount()) return;
  if (clearMarks) GetItem(itemNo)->ClearWordPaintersFrom(offset - 1);
  if (auto* root = dynamic_cast<TRDEditRDData*>(GetAbsoluteRootData()))
    root->RichDoc().RecheckWordsFrom(this, itemNo, offset);
}

bool TRDEditRDData::InsertTextItemAtCaret(const std::string& s, int styleNo, bool inheritTag,
                                          bool caretBefore) {
  return InsertItemAtCaret(CreateTextItem(styleNo, CurParaStyleNo, false, false, TRDTag{}), s,
                           inheritTag, caretBefore);
}

// --- inserting text -----------------------------------------------------------------------------

void TRDEditRDData::InsertTextAtCaret(std::string s, bool unicode, bool caretAtStart) {
  if (unicode) CheckUnicodeByteLength(s.size());
  if (!GetRDStyle()) return;
  EnsureNotEmpty();
  if (!HasCaret()) return;
  const int unitSize = unicode ? 2 : 1;
  size_t offset = 0;
  if (unicode) SkipUnicodeBOM(s, offset, int(s.size() / 2));
  const TRDStyle& style = *GetRDStyle();
  const int styleNo = GetCurrentTextStyleNo();
  const bool unicodeStyle = IsUnicodeTextStyle(CurTextStyleNo, CurParaStyleNo);
  const bool tabItems = style.SpacesInTab < 1;
  std::string text = s.substr(offset);
  if (!tabItems)
    text = unicode ? ReplaceTabsW(text, style.SpacesInTab) : ReplaceTabs(text, style.SpacesInTab);
  const bool pageBreaks = AllowsPageBreaks(*this);
  auto unitAt = [&](size_t i) -> char16_t {
    return unicode ? char16_t(std::uint8_t(text[i]) | std::uint8_t(text[i + 1]) << 8)
                   : char16_t(std::uint8_t(text[i]));
  };
  // The piece's bytes in the form the current style keeps.
  auto piece = [&](size_t from, size_t to) {
    std::string bytes = text.substr(from, to - from);
    if (unicode && !unicodeStyle) return RawUnicodeToAnsi(GetStyleCodePage(styleNo), bytes);
    if (!unicode && unicodeStyle) return AnsiToRawUnicode(GetStyleCodePage(styleNo), bytes);
    return bytes;
  };

  TTextInsertion insertion(*this, caretAtStart);
  TPieceStart start = TPieceStart::Continuing, lastBreak = TPieceStart::Continuing;
  bool pageBreak = false;
  char16_t partner = 0;
  size_t pieceStart = 0;
  auto endPiece = [&](size_t at) {
    const bool placed = insertion.AddPiece(piece(pieceStart, at), start, pageBreak);
    start = TPieceStart::Continuing;
    pageBreak = false;
    return placed;
  };
  for (size_t i = 0; i + unitSize <= text.size(); i += unitSize) {
    const char16_t c = unitAt(i);
    if (partner != 0 && c == partner) {
      // The second half of a CR LF (or LF CR) pair.
      partner = 0;
      pieceStart = i + unitSize;
      continue;
    }
    partner = 0;
    TPieceStart next;
    switch (c) {
      case kCarriageReturn:
      case kLineFeed:
        next = TPieceStart::Paragraph;
        partner = c == kCarriageReturn ? kLineFeed : kCarriageReturn;
        break;
      case kParagraphSeparator:
        if (!unicode) continue;
        next = TPieceStart::Paragraph;
        break;
      case kLineSeparator:
      case kVerticalTab:
        if (!unicode) continue;
        next = TPieceStart::Line;
        break;
      case kFormFeed:
        next = unicode && lastBreak != TPieceStart::Continuing ? lastBreak : TPieceStart::Paragraph;
        break;
      case kTab:
        if (!tabItems) continue;
        if (!endPiece(i)) return;
        insertion.AddTab();
        pieceStart = i + unitSize;
        continue;
      default:
        continue;
    }
    if (!endPiece(i)) return;
    if (!unicode && next == TPieceStart::Line) next = TPieceStart::Paragraph;
    start = next;
    if (c == kFormFeed)
      pageBreak = pageBreaks;
    else
      lastBreak = next;
    pieceStart = i + unitSize;
  }
  if (!endPiece(text.size() - text.size() % unitSize)) return;
  insertion.Finish();
}

void TRDEditRDData::InsertAnsiTextAtCaret(const std::string& s, bool caretAtStart) {
  InsertTextAtCaret(s, false, caretAtStart);
}

void TRDEditRDData::InsertUnicodeTextAtCaret(const std::string& s, bool caretAtStart) {
  InsertTextAtCaret(s, true, caretAtStart);
}

bool TRDEditRDData::InsertTextStreamAtCaret(TStream& stream, bool caretAtStart) {
  const std::int64_t count = stream.Size() - stream.Position();
  if (count <= 0) return false;
  std::string s(size_t(count), '\0');
  stream.ReadBuffer(s.data(), count);
  ReplaceZeroChars(s);
  InsertAnsiTextAtCaret(s, caretAtStart);
  return true;
}

bool TRDEditRDData::InsertTextFileAtCaret(const std::string& fileName, bool caretAtStart) {
  TFileStream stream(fileName, fmOpenRead);
  return InsertTextStreamAtCaret(stream, caretAtStart);
}

// --- typing -------------------------------------------------------------------------------------

bool TRDEditRDData::KeyPressChar(char16_t ch) {
  if (!GetRDStyle() || PartialSelectedItem >= 0 || GetChosenItem() || !HasCaret() ||
      !CanInsertAt(GetCurrentItemNo(), GetOffsetInCurrentItem())) {
    Beep();
    return false;
  }
  std::string s{char(ch & 0xFF), char(ch >> 8)};
  if (!IsUnicodeTextStyle(CurTextStyleNo, CurParaStyleNo))
    s = RawUnicodeToAnsi(GetStyleCodePage(GetCurrentTextStyleNo()), s);
  if (s.empty()) return false;
  return InsertTypedText(s, ch);
}

bool TRDEditRDData::InsertTypedText(const std::string& s, char16_t ch) {
  if (!GetRDStyle() || PartialSelectedItem >= 0 || GetChosenItem() || !HasCaret() ||
      !CanInsertAt(GetCurrentItemNo(), GetOffsetInCurrentItem())) {
    Beep();
    return false;
  }
  const bool unicodeStyle = IsUnicodeTextStyle(CurTextStyleNo, CurParaStyleNo);
  const int length = int(s.size()) / (unicodeStyle ? 2 : 1);
  const TRDCharPos& stop = CaretStop();
  int d = stop.DrawItemNo;
  int itemNo = DrawItems[d]->ItemNo;
  if (IsParaOption(GetItemPara(itemNo), rdpaoReadOnly)) {
    Beep();
    return false;
  }
  const int styleNo = GetCurrentTextStyleNo();
  TCustomRDItemInfo* item = GetItem(itemNo);
  int pos = DrawItems[d]->Offs + stop.Offset - 1;  // character index in a text item
  bool intoItem = item->StyleNo >= 0 && GetActualStyle(*item) == styleNo;
  if (!intoItem) {
    // After an item of another style, typing goes on at the start of a following item of
    // the current style in the same paragraph.
    const bool after = item->StyleNo >= 0 ? pos > GetItemLength(itemNo) : stop.Offset == 1;
    if (after && d + 1 < DrawItems.Count()) {
      TCustomRDItemInfo* next = GetItem(DrawItems[d + 1]->ItemNo);
      if (next->GetContinuesPara() && next->StyleNo >= 0 && GetActualStyle(*next) == styleNo &&
          DrawItems[d + 1]->ItemNo != itemNo) {
        ++d;
        itemNo = DrawItems[d]->ItemNo;
        item = next;
        pos = 1;
        intoItem = true;
      }
    }
  }
  if (intoItem) {
    const TRDProtectOptions protection = GetRDStyle()->TextStyles().Items(styleNo).Protection;
    const int itemLength = GetItemLength(itemNo);
    if (protection & rdprConcateProtect) {
      intoItem = false;
    } else if (protection & rdprModifyProtect) {
      if (pos > 1 && pos <= itemLength) {
        Beep();
        return false;
      }
      intoItem = false;
    }
  }
  if (!intoItem) {
    TCustomRichDocEdit* editor = Editor();
    if (editor && !editor->BeforeChange(false)) return false;
    BeginUndoStep(rdutInsert, true);
    InsertTextItemAtCaret(s, CurTextStyleNo, true, false);
    InvalidateControl();
    NotifyChanged(true);
    return true;
  }
  TypeIntoItem(itemNo, pos, s, length, ch);
  return true;
}

void TRDEditRDData::TypeIntoItem(int itemNo, int pos, const std::string& s, int length,
                                 char16_t ch) {
  const int d = CaretDItemNo;
  int dFirst, dLast;
  ExpandDrawItemsToParas(d, d, dFirst, dLast);
  TCustomRDItemInfo* item = GetItem(itemNo);
  const int before = GetLinesMinWidth(itemNo, itemNo);
  int paraFirst, paraLast;
  ExpandRangeToParas(itemNo, itemNo, paraFirst, paraLast);
  // An empty line takes the current paragraph style: with a step of its own, so that
  // undo gives the style back.
  const bool restyle = GetItemTextRaw(itemNo).empty() && GetItemPara(itemNo) != CurParaStyleNo &&
                       !IsParaOption(CurParaStyleNo, rdpaoReadOnly);
  bool full = false;
  if (length == 1 && !restyle) {
    const bool unicode = IsUnicodeItem(item->ItemOptions);
    UndoList->AddTyping(itemNo, pos, unicode);
    std::string text = GetItemTextRaw(itemNo);
    InsertItemText(s, text, pos, item->ItemOptions);
    SetItemTextRaw(itemNo, std::move(text));
    TCustomRichDoc::AdjustWordMarksAfterInsert(this, itemNo, pos, ch);
  } else {
    BeginUndoStep(rdutMiscTyping, true);
    if (restyle) SetParaNoRangeWithUndo(paraFirst, paraLast, full, CurParaStyleNo);
    InsertSubstringWithUndo(itemNo, pos, s);
    ItemTextChanged(itemNo, pos, true);
  }
  const int after = GetLinesMinWidth(itemNo, itemNo);
  full = full || (after != before && WidthChangeNeedsFull(before, after));
  const TRDChangedRange typed = TextEdit(itemNo, pos, length);
  ReformatAfterEdit(full, dFirst, dLast, 0, restyle ? nullptr : &typed);
  int caretD, caretOffs;
  ItemToDrawItem(itemNo, pos + length, caretD, caretOffs);
  PlaceCaretInDrawItem(caretD, caretOffs);
  ShowCaret(false, true, true, false);
  NotifyChanged(true);
}
