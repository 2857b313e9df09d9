#include "richtext/model/item_info.h"

#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/draw_lines.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {
constexpr int kDefaultMinWidth = 20;
}  // namespace

void TRDCPInfo::Assign(const TRDCPInfo& source, bool tagsArePChars) {
  Name = source.Name;
  RaiseEvent = source.RaiseEvent;
  Persistent = source.Persistent;
  Tag = CopyItemTag(source.Tag, tagsArePChars);
}

std::unique_ptr<TRDCPInfo> CopyCheckpoint(const TRDCPInfo& source, bool tagsArePChars) {
  auto copy = std::make_unique<TRDCPInfo>();
  copy->Assign(source, tagsArePChars);
  return copy;
}

void InitStyleUsage(TRDStyleUsage& usage, TRDStyle& rdStyle) {
  if (usage.Initialized) return;
  usage.UsedTextStyles.InitFilled(usage.CheckTextStyles ? 0 : 1, rdStyle.TextStyles().Count());
  usage.UsedParaStyles.InitFilled(usage.CheckParaStyles ? 0 : 1, rdStyle.ParaStyles().Count());
  usage.UsedListStyles.InitFilled(usage.CheckListStyles ? 0 : 1, rdStyle.ListStyles().Count());
  if (usage.CheckTextStyles && rdStyle.DefUnicodeStyle >= 0) {
    if (rdStyle.DefUnicodeStyle < usage.UsedTextStyles.Count())
      usage.UsedTextStyles.SetValue(rdStyle.DefUnicodeStyle, 1);
    else
      rdStyle.DefUnicodeStyle = -1;
  }
  auto markStandard = [](TRDIntegerList& used, const TCustomRDInfos& infos, bool check) {
    if (!check) return;
    for (int i = 0; i < infos.Count(); ++i)
      if (infos.At(i).Standard()) used.SetValue(i, 1);
  };
  markStandard(usage.UsedTextStyles, rdStyle.TextStyles(), usage.CheckTextStyles);
  markStandard(usage.UsedParaStyles, rdStyle.ParaStyles(), usage.CheckParaStyles);
  markStandard(usage.UsedListStyles, rdStyle.ListStyles(), usage.CheckListStyles);
  usage.Initialized = true;
}

TCustomRDItemInfo::TCustomRDItemInfo(TCustomRDData*) {}

TCustomRDItemInfo::~TCustomRDItemInfo() = default;

void TCustomRDItemInfo::SetContinuesPara(bool value) {
  if (value)
    ItemOptions = TRDItemOptions((ItemOptions | rdioContinuesPara) &
                                 ~(rdioPageBreakBefore | rdioLineBreakBefore));
  else
    ItemOptions &= TRDItemOptions(~rdioContinuesPara);
}

void TCustomRDItemInfo::SetPageBreakBefore(bool value) {
  if (value)
    ItemOptions = TRDItemOptions((ItemOptions | rdioPageBreakBefore) &
                                 ~(rdioContinuesPara | rdioLineBreakBefore));
  else
    ItemOptions &= TRDItemOptions(~rdioPageBreakBefore);
}

void TCustomRDItemInfo::SetLineBreakBefore(bool value) {
  if (value && !QueryItemFlag(0))
    ItemOptions = TRDItemOptions((ItemOptions | rdioLineBreakBefore) & ~rdioContinuesPara);
  else
    ItemOptions &= TRDItemOptions(~rdioLineBreakBefore);
}

int TCustomRDItemInfo::GetActualStyleNo(const TRDStyle* rdStyle) const {
  if (StyleNo != kFollowParaStyleNo) return StyleNo;
  if (!rdStyle) return 0;
  int defStyleNo = rdStyle->ParaStyles().Items(ParaNo).DefStyleNo;
  return defStyleNo < 0 ? 0 : defStyleNo;
}

void TCustomRDItemInfo::FreeEmptyWordPainters() {
  if (WordPainters && WordPainters->Count() == 0) WordPainters.reset();
}

void TCustomRDItemInfo::ClearMisspellings() {
  ItemState &= std::uint8_t(~rdisSpellChecked);
  if (!WordPainters) return;
  for (int i = WordPainters->Count() - 1; i >= 0; --i)
    if (dynamic_cast<TRDWordMisspellPainter*>(WordPainters->Get(i))) WordPainters->FreeAndDelete(i);
  FreeEmptyWordPainters();
}

void TCustomRDItemInfo::ClearWordPaintersFrom(int offset) {
  ItemState &= std::uint8_t(~rdisSpellChecked);
  if (!WordPainters) return;
  if (offset <= 1) {
    WordPainters.reset();
    return;
  }
  for (int i = WordPainters->Count() - 1; i >= 0; --i) {
    TRDWordPainter* p = WordPainters->Get(i);
    if (p->StartOffs + p->Length > offset) WordPainters->FreeAndDelete(i);
  }
  FreeEmptyWordPainters();
}

bool TCustomRDItemInfo::AdjustWordPaintersOnInsert(int offset, char16_t ch, TCustomRDData* rdData) {
  const bool delimiter = rdData && rdData->IsDelimiter(ch);
  const int d = delimiter ? 0 : 1;
  bool deleted = false;
  if (WordPainters) {
    for (int i = WordPainters->Count() - 1; i >= 0; --i) {
      TRDWordPainter* p = WordPainters->Get(i);
      if (p->StartOffs + p->Length + d <= offset) continue;
      if (p->StartOffs >= offset + d) {
        ++p->StartOffs;
      } else {
        WordPainters->FreeAndDelete(i);
        deleted = true;
      }
    }
    FreeEmptyWordPainters();
  }
  return delimiter || deleted;
}

bool TCustomRDItemInfo::AdjustWordPaintersOnDelete(int offset, int count) {
  bool deleted = false;
  if (!WordPainters) return false;
  for (int i = WordPainters->Count() - 1; i >= 0; --i) {
    TRDWordPainter* p = WordPainters->Get(i);
    if (p->StartOffs + p->Length + 1 <= offset + count - 1) continue;
    if (p->StartOffs > offset + 1) {
      p->StartOffs -= count;
    } else {
      WordPainters->FreeAndDelete(i);
      deleted = true;
    }
  }
  FreeEmptyWordPainters();
  return deleted;
}

bool TCustomRDItemInfo::FindWordPainterAt(int offset, int& start, int& length) const {
  if (!WordPainters) return false;
  for (int i = WordPainters->Count() - 1; i >= 0; --i) {
    const TRDWordPainter* p = WordPainters->Get(i);
    if (p->StartOffs <= offset && offset <= p->StartOffs + p->Length) {
      start = p->StartOffs;
      length = p->Length;
      return true;
    }
  }
  return false;
}

bool TCustomRDItemInfo::IsWordPainterAt(int offset) const {
  if (!WordPainters) return false;
  for (int i = 0; i < WordPainters->Count(); ++i) {
    const TRDWordPainter* p = WordPainters->Get(i);
    if (p->StartOffs <= offset && offset < p->StartOffs + p->Length) return true;
  }
  return false;
}

void TCustomRDItemInfo::AddMisspelling(int startOffs, int length) {
  if (!WordPainters) WordPainters = std::make_unique<TRDWordPainterList>();
  WordPainters->Add(std::make_unique<TRDWordMisspellPainter>(startOffs, length));
}

int TCustomRDItemInfo::GetMinWidth(const TRDResolution* resolution, TCustomRDData*) const {
  return resolution ? ScreenToDeviceX(kDefaultMinWidth, *resolution) : kDefaultMinWidth;
}

bool TCustomRDItemInfo::QueryItemFlag(std::uint8_t code) const {
  return code == 1 || code == 2 || code >= 13;
}

bool TCustomRDItemInfo::QueryItemFlagEx(std::uint8_t code, TRDStyle*) const {
  return code == 0;
}

void TCustomRDItemInfo::PaintFullWidth(int, int, int, TRDCanvas&, TRDItemPaintState,
                                       TRDStyle&) const {}

void TCustomRDItemInfo::Paint(int, int, TRDCanvas&, TRDItemPaintState, TRDStyle&,
                              const TRDDrawLineInfo&) const {}

void TCustomRDItemInfo::Print(TRDCanvas&, int, int, int, TRDColorMode, const TRDResolution&,
                              TRDStyle&, const TRDDrawLineInfo*) const {}

std::unique_ptr<TRDDrawLineInfo> TCustomRDItemInfo::CreatePrintingDrawItem(
    TCustomRDData*, const TRDResolution&) const {
  return std::make_unique<TRDDrawLineInfo>();
}

void TCustomRDItemInfo::NotifyData(TCustomRDData* rdData, std::string& text) {
  if (rdData) rdData->DoItemAction(rdiaInserting, this, text, rdData);
}

void TCustomRDItemInfo::NotifyDataEx(TCustomRDData* rdData) {
  if (!rdData) return;
  CreateAnimator(rdData);
  std::string empty;
  rdData->DoItemAction(rdiaInserted, this, empty, rdData);
}

void TCustomRDItemInfo::AdjustToDocWidth(TRDCanvas&, TRDStyle&, int, int& width, int&,
                                         int& descent) const {
  width = 1;
  descent = 0;
}

std::string TCustomRDItemInfo::GetRDFHeaderExtra(TCustomRDData*) const {
  return "";
}

int TCustomRDItemInfo::GetRDFExtraPropertyCount() const {
  return Hint.empty() ? 0 : 1;
}

void TCustomRDItemInfo::SaveRDFExtraProperties(TStream& stream) const {
  if (!Hint.empty()) WriteRDFExtraStrProperty(stream, rdespHint, Hint);
}

void TCustomRDItemInfo::AssignProperties(const TCustomRDItemInfo& source) {
  StyleNo = source.StyleNo;
  ParaNo = source.ParaNo;
  ItemOptions = source.ItemOptions;
  Hint = source.Hint;
}

void TCustomRDItemInfo::SaveHTML(TStream&, TCustomRDData*, int, const std::string&,
                                 TRDHTMLSaveContext&) const {}

std::string TCustomRDItemInfo::AsText(int, TCustomRDData*) const {
  return "";
}

std::string TCustomRDItemInfo::AsUnicodeText(int lineWidth, TCustomRDData* rdData) const {
  const std::string text = AsText(lineWidth, rdData);
  if (text.empty()) return text;
  return AnsiToRawUnicode(rdData ? rdData->GetDefaultCodePage() : CP_ACP, text);
}

bool TCustomRDItemInfo::ReadRDFHeader(std::string_view&, TCustomRDData*) {
  return true;
}

bool TCustomRDItemInfo::ReadRDFLine(const std::string& line, TCustomRDData*, int, int, int,
                                    std::string&, int&, int&) {
  ReadRDFExtraProperty(*this, line);
  return true;
}

void TCustomRDItemInfo::SaveRDF(TStream&, TCustomRDData*, int, const std::string&, bool) const {}

void TCustomRDItemInfo::SaveRTF(TStream&, TCustomRDData*, int, TRDRTFSaveContext&) const {}

void TCustomRDItemInfo::CollectRTFTables(TRDRTFSaveContext&) const {}

void TCustomRDItemInfo::MovingToUndoList(int itemNo, TCustomRDData* rdData) {
  if (rdData) {
    std::string text = rdData->GetItemTextRaw(itemNo);
    rdData->DoItemAction(rdiaMovingToUndoList, this, text, rdData);
  }
  ClearWordPaintersFrom(0);
}

void TCustomRDItemInfo::MovingFromUndoList(int, TCustomRDData*) {}

void TCustomRDItemInfo::Execute(TCustomRDData*) {}

void TCustomRDItemInfo::MarkStylesInUse(TRDStyleUsage& usage) const {
  if (ParaNo >= 0 && ParaNo < usage.UsedParaStyles.Count())
    usage.UsedParaStyles.SetValue(ParaNo, 1);
}

void TCustomRDItemInfo::Renumber(int& styleNo, const TRDIntegerList& used) {
  if (styleNo >= 0 && styleNo < used.Count()) styleNo -= used[styleNo] - 1;
}

void TCustomRDItemInfo::UpdateStyles(const TRDStyleUsage& usage) {
  Renumber(ParaNo, usage.UsedParaStyles);
}

bool TCustomRDItemInfo::SetExtraIntProperty(TRDExtraItemProperty, int) {
  return false;
}
bool TCustomRDItemInfo::GetExtraIntProperty(TRDExtraItemProperty, int&) const {
  return false;
}

bool TCustomRDItemInfo::SetExtraStrProperty(TRDExtraItemStrProperty prop,
                                            const std::string& value) {
  if (prop != rdespHint) return false;
  Hint = value;
  return true;
}

bool TCustomRDItemInfo::GetExtraStrProperty(TRDExtraItemStrProperty prop,
                                            std::string& value) const {
  if (prop != rdespHint) return false;
  value = Hint;
  return true;
}

bool TCustomRDItemInfo::SetExtraCustomProperty(const std::string&, const std::string&) {
  return false;
}

// --- text item --------------------------------------------------------------------------

std::unique_ptr<TCustomRDItemInfo> TRDTextItemInfo::CreateEmpty(TCustomRDData* rdData) const {
  return std::make_unique<TRDTextItemInfo>(rdData);
}

bool TRDTextItemInfo::QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const {
  if (code < 1 || code > 4 || !rdStyle) return TCustomRDItemInfo::QueryItemFlagEx(code, rdStyle);
  const int n = GetActualStyleNo(rdStyle);
  const bool jump = rdStyle->TextStyles().Items(n).Jump;
  if (code == 3) return jump && rdStyle->IsStyleHoverSensitive(n);
  return jump;
}

void TRDTextItemInfo::Execute(TCustomRDData* rdData) {
  if (rdData && QueryItemFlagEx(1, rdData->GetRDStyle()))
    rdData->DoJump(rdData->FirstJumpNo + JumpID);
}

bool TRDTextItemInfo::ReadRDFHeader(std::string_view& rest, TCustomRDData*) {
  if (!rest.empty() && rest.front() == '"') RDFReadQuotedString(rest, Hint);
  return true;
}

std::string TRDTextItemInfo::GetRDFHeaderExtra(TCustomRDData*) const {
  return Hint.empty() ? "" : RDFQuotedString(Hint);
}

void TRDTextItemInfo::MarkStylesInUse(TRDStyleUsage& usage) const {
  TCustomRDItemInfo::MarkStylesInUse(usage);
  if (StyleNo != kFollowParaStyleNo && StyleNo >= 0 && StyleNo < usage.UsedTextStyles.Count())
    usage.UsedTextStyles.SetValue(StyleNo, 1);
}

void TRDTextItemInfo::UpdateStyles(const TRDStyleUsage& usage) {
  TCustomRDItemInfo::UpdateStyles(usage);
  if (StyleNo != kFollowParaStyleNo) Renumber(StyleNo, usage.UsedTextStyles);
}
