#include "app/stations/frm_aprs_stn_list.h"

#include "app/stations/station_store.h"
#include "app/stations/station_tables.h"
#include "app/stations/stn_record_fields.h"
#include "core/my_tools.h"
#include "platform/gui/controls/new_control.h"
#include "platform/sys/date_time.h"
#include "platform/text/sysutils.h"

TfrmAprsStnList* frmAprsStnList = nullptr;

namespace {

constexpr int kQrbColumn = 5;
constexpr int kTimeColumn = 7;
// Image indices: codes from the blank to '}', the alternate table after the primary one.
constexpr int kFirstSymbolCode = 32;
constexpr int kLastSymbolCode = 125;
constexpr int kAlternateImageOffset = 94;
// The blank's picture, empty: a code the images hold no picture for shows no symbol
// rather than the picture its index would wrap to.
constexpr int kNoSymbolImage = 0;

std::string ImageIndexText(const TStationFields& Fields) {
  const int code = StrToIntDef(Fields.Field(sfSymCode), 0);
  if (code < kFirstSymbolCode || code > kLastSymbolCode) return IntToStr(kNoSymbolImage);
  int index = code - kFirstSymbolCode;
  if (Fields.Field(sfSymTable) != IntToStr('/')) index += kAlternateImageOffset;
  return IntToStr(index);
}

std::string HeardTimeText(const TStationFields& Fields) {
  return FormatDateTime("yy.mm.dd hh:nn:ss", StampToDateTime(Fields.Field(sfRxStamp)));
}

}  // namespace

std::string StationRowKey(const TStrings& Row) {
  return MakeStationKey(Row.Count() > 2 ? Row.Get(2) : "", Row.Count() > 1 ? Row.Get(1) : "");
}

TfrmAprsStnList::TfrmAprsStnList(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmAprsStnList";
  SetCaption("Stationsliste");
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetPosition(poOwnerFormCenter);
  SetClientSize(750, 289);

  mpnlTop = NewControl<TMyPanel>(this, this, "mpnlTop", 0, 0, 750, 18);
  mpnlTop->SetCaption("Stationsliste");
  mpnlTop->Font().SetStyle(fsBold);
  mpnlTop->SetColor(0xF0F0F0);
  mpnlTop->SetColor2(0xE6E6E6);
  mpnlTop->SetMove(true);
  mpnlTop->SetGlowPaint(true);
  mbtnClose = NewControl<TMyButton>(this, mpnlTop, "mbtnClose", 750 - 17, 0, 17, 18);
  mbtnClose->SetCaption("x");
  mbtnClose->SetModalResult(mrCancel);
  mbtnClose->OnClick = [this](TComponent* Sender) { mbtnCloseClick(Sender); };

  mpnlStnInfo = NewControl<TMyPanel>(this, this, "mpnlStnInfo", 0, 18, 750, 271);
  mpnlStnInfo->SetPaintBorder({bpBottom, bpLeft, bpRight});
  imglSym = new TImageList(this, 20, 20);
  imglSym->Name = "imglSym";

  ExSectionList1 = NewControl<TExSectionList>(this, mpnlStnInfo, "ExSectionList1", 1, 0, 748, 270);
  TExSectionList& list = *ExSectionList1;
  list.SetImages(imglSym);
  list.SetItemHeight(22);
  list.SetGroupShowCount(true);
  list.SetGroupColumnDisplay(gdHidden);
  list.DragDropSetting = ddDisabled;
  list.SetHideSelection(true);
  list.SetShowNodes(false);
  list.PreviewSettings.SetColumn(4);
  list.PreviewSettings.Font.SetName("Verdana");
  list.PreviewSettings.Font.SetColor(clBlue);
  list.Columns.BeginUpdate();
  while (list.Columns.Count() > 0) list.Columns.Delete(0);
  list.Columns.Add();  // the group column, hidden
  auto column = [&list](const char* caption, int width, TAlignment alignment, TSortType sort) {
    TExSectionColumn* c = list.Columns.Add();
    c->SetCaption(caption);
    c->SetWidth(width);
    c->SetAlignment(alignment);
    c->SetSortType(sort);
    // Every text comes from a received packet: shown as written, never read as markup,
    // in UTF-8 where it is that.
    c->SetMarkup(false);
    c->SetUtf8Text(true);
    return c;
  };
  column("SYM", 35, taCenter, stNumeric)->SetColumnType(ctImage);
  column("Station", 80, taLeftJustify, stTextNoCase)->Font().SetStyle(fsBold);
  column("Besitzer", 60, taLeftJustify, stTextNoCase);
  // 14 pixels narrower than the original's comment column: the time column, in our wider
  // font, is read whole beside the scroll bar.
  column("Bemerkung", 316, taLeftJustify, stTextNoCase);
  column("QRB", 60, taRightJustify, stCustom);
  column("TX", 70, taCenter, stTextNoCase);
  column("Uhrzeit", 110, taLeftJustify, stTextNoCase);
  list.Columns.EndUpdate();
  list.SortSettings.Enabled = false;
  list.SortSettings.SetColumn(kTimeColumn);
  list.SortSettings.SetDirection(sdDescending);
  list.SortSettings.Enabled = true;
  // Calls are typed as a prefix: "dl" goes to the first DL station, not to D and then L.
  list.LookUp.Method = lmIncremental;
  list.OnItemDblClick = [this](TComponent* s, POGLItem item) {
    ExSectionList1ItemDblClick(s, item);
  };
  list.OnCustomCompare = [this](TComponent* s, POGLItem a, POGLItem b, int c, const std::string& va,
                                const std::string& vb,
                                int& r) { ExSectionList1CustomCompare(s, a, b, c, va, vb, r); };
  list.OnKeyUp = [this](TComponent* s, TKeyCode& key, TShiftState shift) {
    ExSectionList1KeyUp(s, key, shift);
  };
  group_ = ExSectionList1->AddGroup("");
  rows_.reserve(kStationTableSize);

  frmAprsStnList = this;
  DoCreate();
}

TfrmAprsStnList::~TfrmAprsStnList() {
  if (frmAprsStnList == this) frmAprsStnList = nullptr;
}

void TfrmAprsStnList::FillStationList(const TStrings& Stations) {
  for (int i = 0; i < Stations.Count(); ++i) AddOrUpdateStationRow(Stations.Get(i));
}

TfrmAprsStnList::TRowTexts TfrmAprsStnList::RowTexts(const std::string& Record) const {
  const TStationFields fields(Record, sfHeardVia + 1);
  TRowTexts texts;
  texts[0] = ImageIndexText(fields);
  texts[1] = fields.Text(sfSrcCall);
  texts[2] = fields.Field(sfOwnerCall);
  texts[3] = fields.Text(sfComment);
  texts[4] = FormatFloat("0.0", QrbDistance(StrToFloatDef(fields.Field(sfLat), 0),
                                            StrToFloatDef(fields.Field(sfLon), 0)));
  texts[5] = fields.Field(sfHeardVia);
  texts[6] = HeardTimeText(fields);
  return texts;
}

void TfrmAprsStnList::AddOrUpdateStationRow(const std::string& Record) {
  // Every text first: a record that cannot be read changes nothing.
  const TRowTexts texts = RowTexts(Record);
  const std::string key = MakeStationKey(texts[2], texts[1]);

  const int remembered = ChosenPlace();
  TExSectionList::TUpdateScope update(*ExSectionList1);
  const int row = FindStationRow(key);
  if (row < 0) {
    TStrings& strings = ExSectionList1->AddItem(group_);
    strings.BeginUpdate();
    for (const std::string& text : texts) strings.Add(text);
    strings.EndUpdate();
    spare_rows_.Insert(rows_, key, group_->GetItemNode(group_->GetCount() - 1));
  } else {
    TStrings& strings = group_->GetItemStrings(row);
    strings.BeginUpdate();
    for (int i = 0; i < 7; ++i) strings.Put(i, texts[i]);
    strings.EndUpdate();
  }
  SortKeepingClickedPlace(remembered);
}

void TfrmAprsStnList::ReplaceStationRow(const std::string& Key, const std::string& Record) {
  const auto found = rows_.find(Key);
  TRowTexts texts;
  try {
    texts = RowTexts(Record);
  } catch (...) {
    // As the row deleted before a record that cannot be read.
    DeleteStationRow(Key);
    throw;
  }
  if (found == rows_.end() || MakeStationKey(texts[2], texts[1]) != Key) {
    DeleteStationRow(Key);
    AddOrUpdateStationRow(Record);
    return;
  }
  POGLItem node = found->second;
  // The station heard again may be the one chosen: the choice stays at its place all
  // the same, as it does when another station moves.
  const int remembered = ChosenPlace();
  TExSectionList::TUpdateScope update(*ExSectionList1);
  TStrings& strings = ExSectionList1->ReAddItem(node);
  strings.BeginUpdate();
  for (int i = 0; i < 7; ++i) strings.Put(i, texts[i]);
  strings.EndUpdate();
  SortKeepingClickedPlace(remembered);
}

int TfrmAprsStnList::ChosenPlace() const {
  const POGLItem focused = ExSectionList1->Engine().FocusedItem();
  return focused && focused->Parent == group_->Node ? focused->Index() : -1;
}

// The choice stays where the user put it, selected and focused together: keys go on
// from the row that shows selected.
void TfrmAprsStnList::SortKeepingClickedPlace(int Remembered) {
  ExSectionList1->Sort();
  if (Remembered >= 0 && Remembered < group_->GetCount()) {
    POGLItem node = group_->GetItemNode(Remembered);
    // One row stays selected: the list selects more than one, and would add the place to
    // the rows selected before.
    ExSectionList1->Engine().DeselectAll();
    ExSectionList1->SelectNode(node);
    ExSectionList1->Engine().FocusItem(node);
  }
}

int TfrmAprsStnList::FindStationRow(const std::string& Key) const {
  const auto found = rows_.find(Key);
  return found == rows_.end() ? -1 : found->second->Index();
}

void TfrmAprsStnList::RemoveStationRow(const std::string& Key) {
  const auto found = rows_.find(Key);
  if (found == rows_.end()) return;
  POGLItem node = found->second;
  spare_rows_.Erase(rows_, found);
  TSectionGroupedList& engine = ExSectionList1->Engine();
  const bool chosen = engine.FocusedItem() == node;
  engine.DeleteItem(node);
  // A station gone takes the choice with it: no other row is chosen in its stead.
  if (chosen) engine.FocusItem(nullptr);
}

void TfrmAprsStnList::DeleteStationRow(const std::string& Key) {
  TExSectionList::TUpdateScope update(*ExSectionList1);
  RemoveStationRow(Key);
  ExSectionList1->Sort();
}

void TfrmAprsStnList::DeleteStationRows(const std::vector<std::string>& Keys, bool All) {
  TExSectionList::TUpdateScope update(*ExSectionList1);
  if (All) {
    spare_rows_.EraseAll(rows_);
    group_->Clear();
  } else {
    for (const std::string& key : Keys) RemoveStationRow(key);
  }
  ExSectionList1->Sort();
}

void TfrmAprsStnList::ExSectionList1ItemDblClick(TComponent*, POGLItem Item) {
  TStrings* row = ExSectionList1->GetNodeStrings(Item);
  if (row && OnShowStation) OnShowStation(StationRowKey(*row));
}

void TfrmAprsStnList::ExSectionList1CustomCompare(TComponent*, POGLItem, POGLItem, int Column,
                                                  const std::string& Value1,
                                                  const std::string& Value2, int& Result) {
  if (Column != kQrbColumn) return;
  // A text that is no distance sorts below every distance.
  double a = 0;
  double b = 0;
  const bool okA = TryStrToFloat(Value1, a);
  const bool okB = TryStrToFloat(Value2, b);
  if (!okA || !okB) {
    Result = okA == okB ? 0 : (okA ? 1 : -1);
    return;
  }
  Result = a > b ? 1 : (a < b ? -1 : 0);
}

void TfrmAprsStnList::ExSectionList1KeyUp(TComponent*, TKeyCode&, TShiftState) {
  if (!group_->GetExpanded()) group_->SetExpanded(true);
}

void TfrmAprsStnList::mbtnCloseClick(TComponent*) {
  Close();
}
