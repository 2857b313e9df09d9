#include "lists/ex_section_list.h"

#include <algorithm>
#include <new>

#include "html/html_text.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/gui/standard/shell.h"
#include "platform/sys/date_time.h"
#include "platform/text/cp1252.h"
#include "platform/text/wide_text.h"

namespace {

constexpr const char* kIndexOutOfBounds = "Index out of bounds";
// Beyond this many rows changed since the last sort, sorting them all again is cheaper.
constexpr size_t kMaxChangedRows = 8;

// A and B as Read reads them, A first; values that do not read as their kind sort below
// every value that does.
template <class T, class TRead>
int CompareRead(std::string_view A, std::string_view B, TRead Read) {
  T a{};
  T b{};
  const bool okA = Read(A, a);
  const bool okB = Read(B, b);
  if (!okA || !okB) return okA == okB ? 0 : (okA ? 1 : -1);
  return a < b ? -1 : (a > b ? 1 : 0);
}

bool TryStrToBoolean(std::string_view Text, bool& Value) {
  if (SameText(Text, "true") || Text == "-1" || Text == "1") {
    Value = true;
    return true;
  }
  if (SameText(Text, "false") || Text == "0") {
    Value = false;
    return true;
  }
  return false;
}

int Sign(int Value) {
  return Value < 0 ? -1 : (Value > 0 ? 1 : 0);
}

}  // namespace

// --- groups -----------------------------------------------------------------------------

int TSectionGroup::GetCount() const {
  return Node->ChildCount;
}

POGLItem TSectionGroup::GetItemNode(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw ESectionListError(kIndexOutOfBounds);
  return list_.engine_->ChildAt(Node, Index);
}

TStrings& TSectionGroup::GetItemStrings(int Index) const {
  return *list_.RowOf(GetItemNode(Index));
}

void TSectionGroup::DeleteItem(int Index) {
  list_.engine_->DeleteItem(GetItemNode(Index));
}

void TSectionGroup::Clear() {
  list_.engine_->BeginUpdate();
  list_.engine_->DeleteChildren(Node);
  list_.engine_->EndUpdate();
}

bool TSectionGroup::GetExpanded() const {
  return Node->Has(TOGLItem::Expanded);
}

void TSectionGroup::SetExpanded(bool Value) {
  if (Value) {
    list_.engine_->ExpandGroup(Node);
  } else {
    list_.engine_->CollapseGroup(Node);
  }
  list_.Changed();
}

// --- construction -----------------------------------------------------------------------

TExSectionList::TExSectionList(TComponent* AOwner) : TCustomControl(AOwner), Columns(this) {
  engine_ = new TSectionGroupedList(this);
  engine_->ItemDataSize = sizeof(TRowData);
  engine_->AutoOptions &= ~(toAutoScrollOnExpand | toAutoSort);
  engine_->SearchType = TOGLSearchType::stNone;
  engine_->HintTrackHit = true;
  engine_->SetViewStyle(vsList);
  engine_->SetGroupSelectionTextColor(clWhite);
  WireRows();
  WireItemEvents();
  WireInput();
  engine_->DragOperations = doCopy | doMove;
  WireDragDrop();

  header_ = new TExSectionHeader(*this);
  header_->SetParent(this);
  header_->SetAlign(alTop);
  header_->SetHeight(20);
  engine_->SetParent(this);
  engine_->SetAlign(alClient);

  Columns.OnChange = [this] {
    order_valid_ = false;
    UpdateHeader();
  };
  Columns.OnRefresh = [this] { Changed(); };
  SortSettings.OnChange = [this] { Sort(); };
  PreviewSettings.OnChange = [this] { PreviewChanged(); };
  engine_->GroupFont().SetColor(0xB96837);
  SetShowHint(true);
  SetColor(clWhite);
  SetBounds(0, 0, 400, 300);
  // A list nobody gave columns shows four, so that it shows something.
  Columns.BeginUpdate();
  Columns.Add()->SetCaption("Group Column");
  for (int i = 1; i <= 3; ++i) Columns.Add()->SetCaption("column " + std::to_string(i));
  Columns.EndUpdate();
}

// The engine asks the list for its rows' heights, data, captions, looks and order.
void TExSectionList::WireRows() {
  engine_->OnGetChildItemHeight = [this](TSectionGroupedList*, TCanvas&, int& Height) {
    Height = item_height_ + (PreviewSettings.Active() ? PreviewSettings.Height() : 0);
  };
  engine_->OnInitItem = [this](TSectionGroupedList*, POGLItem Item) {
    new (engine_->GetItemData(Item)) TRowData{TakeRowStrings()};
  };
  engine_->OnFreeItem = [this](TSectionGroupedList*, POGLItem Item) {
    std::erase(changed_rows_, Item);
    if (Item == readded_) readded_ = nullptr;
    if (Item == hovered_item_) hovered_item_ = nullptr;
    TRowData& data = DataOf(Item);
    // Its cells are freed when the strings are used again, a row at a time.
    spare_strings_.push_back(std::move(data.Strings));
    data.~TRowData();
    // A group goes with its node, however the node went (a moved drag deletes it).
    if (engine_->IsGroup(Item))
      std::erase_if(groups_, [Item](const auto& group) { return group->Node == Item; });
  };
  engine_->OnGetCaption = [this](TSectionGroupedList*, POGLItem Item, std::string& Caption) {
    TStringList* row = RowOf(Item);
    if (row && row->Count() > 0) Caption = row->Get(0);
    if (OnGetCaption) OnGetCaption(this, Item, Caption);
  };
  engine_->OnDrawItem = [this](TSectionGroupedList*, TCanvas& Canvas, TRect Rect, POGLItem Item) {
    DrawRow(Canvas, Rect, Item);
  };
  engine_->OnCompareItems = [this](TSectionGroupedList*, POGLItem A, POGLItem B, int, int& R) {
    if (sorting_) R = Compare(A, B);
  };
}

// What the user does to items, passed on to the list's own events.
void TExSectionList::WireItemEvents() {
  engine_->OnItemClick = [this](TSectionGroupedList*, TMouseButton Button, TShiftState, int X,
                                int Y, TOGLHitInfo& Hit) { ItemClick(Button, X, Y, Hit); };
  engine_->OnItemMouseDown = [this](TSectionGroupedList*, TMouseButton, TShiftState, int, int,
                                    TOGLHitInfo&) { look_up_text_.clear(); };
  engine_->OnItemDblClick = [this](TSectionGroupedList*, POGLItem Item) {
    if (engine_->IsGroup(Item)) {
      if (OnGroupDblClick) OnGroupDblClick(this, Item);
    } else if (OnItemDblClick) {
      OnItemDblClick(this, Item);
    }
  };
  engine_->OnExpandItem = [this](TSectionGroupedList*, POGLItem Item) {
    if (OnGroupExpand) OnGroupExpand(this, Item);
  };
  engine_->OnCollapsItem = [this](TSectionGroupedList*, POGLItem Item) {
    if (OnGroupCollaps) OnGroupCollaps(this, Item);
  };
  engine_->OnSelectionChange = [this](TComponent*) {
    if (OnSelectionChange) OnSelectionChange(this);
  };
  engine_->OnGetHint = [this](TSectionGroupedList*, POGLItem Item, std::string& Text, TPoint& Pos) {
    GetHint(Item, Text, Pos);
  };
  engine_->OnGetGroupImageIndex = [this](TSectionGroupedList*, POGLItem, int& Index) {
    if (const TExSectionColumn* column = Columns.Items(GroupColumn)) {
      Index = column->GroupImageIndex();
    }
  };
}

void TExSectionList::WireInput() {
  engine_->OnKeyDown = [this](TComponent*, TKeyCode& Key, TShiftState Shift) {
    EngineKeyDown(Key, Shift);
  };
  engine_->OnKeyUp = [this](TComponent*, TKeyCode& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
  };
  engine_->OnKeyPress = [this](TComponent*, char& Key) { EngineKeyPress(Key); };
  engine_->OnUnicodeInput = [this](TSectionGroupedList*, const std::u16string& Text) {
    LookUpTyped(Text);
  };
  engine_->OnMouseMove = [this](TComponent* Sender, TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(Sender, Shift, X, Y);
    EngineMouseMove(X, Y);
  };
  engine_->OnMouseDown = [this](TComponent* Sender, TMouseButton B, TShiftState S, int X, int Y) {
    if (OnMouseDown) OnMouseDown(Sender, B, S, X, Y);
  };
  engine_->OnMouseUp = [this](TComponent* Sender, TMouseButton B, TShiftState S, int X, int Y) {
    if (OnMouseUp) OnMouseUp(Sender, B, S, X, Y);
  };
  engine_->OnMouseLeave = [this](TComponent*) {
    hint_column_ = -1;
    SetHoveredAnchor(nullptr, -1, -1);
  };
}

TExSectionList::~TExSectionList() {
  engine_->Clear();
}

TExSectionList::TRowData& TExSectionList::DataOf(POGLItem Node) const {
  return *static_cast<TRowData*>(engine_->GetItemData(Node));
}

TStringList* TExSectionList::RowOf(POGLItem Node) const {
  if (!Node || Node == engine_->RootItem()) return nullptr;
  return DataOf(Node).Strings.get();
}

std::unique_ptr<TStringList> TExSectionList::TakeRowStrings() {
  if (spare_strings_.empty()) return std::make_unique<TStringList>();
  std::unique_ptr<TStringList> strings = std::move(spare_strings_.back());
  spare_strings_.pop_back();
  // The old row's handler must not hear of its strings going.
  strings->OnChange = nullptr;
  strings->Clear();
  return strings;
}

// --- rows and groups --------------------------------------------------------------------

TSectionGroup* TExSectionList::AddGroup(const std::string& Caption) {
  POGLItem node = engine_->AddItem(nullptr);
  TStringList* strings = RowOf(node);
  strings->Add(Caption);
  strings->OnChange = [this](TStringList*) { Changed(); };
  groups_.push_back(std::make_unique<TSectionGroup>(*this, node));
  return groups_.back().get();
}

TStrings& TExSectionList::AddItem(TSectionGroup* Group) {
  POGLItem node = engine_->AddItem(Group->Node);
  TStringList* strings = RowOf(node);
  strings->OnChange = [this, node](TStringList*) { RowChanged(node); };
  RowChanged(node);
  return *strings;
}

TStrings& TExSectionList::ReAddItem(POGLItem Node) {
  TStringList& strings = *RowOf(Node);
  if (Node == hovered_item_) hovered_item_ = nullptr;
  // Moving the row last only for the next Sort to move it again costs two walks of
  // the group's position tree on every update of a busy list: when the next Sort finds
  // this one row's place alone, it finds it from where the row stands.
  const TExSectionColumn* c = Columns.Items(SortSettings.Column());
  if (order_valid_ && changed_rows_.empty() && !readded_ && !SortSettings.SortGroups() && c &&
      c->SortType() != stNone) {
    engine_->ReleaseItem(Node);
    readded_ = Node;
  } else {
    engine_->MoveItemToEnd(Node);
  }
  RowChanged(Node);
  return strings;
}

TStrings* TExSectionList::GetNodeStrings(POGLItem Node) const {
  return RowOf(Node);
}

void TExSectionList::RowChanged(POGLItem Node) {
  if (order_valid_ && (changed_rows_.empty() || changed_rows_.back() != Node)) {
    if (changed_rows_.size() >= kMaxChangedRows) {
      order_valid_ = false;
      changed_rows_.clear();
    } else if (std::find(changed_rows_.begin(), changed_rows_.end(), Node) == changed_rows_.end()) {
      changed_rows_.push_back(Node);
    }
  }
  Changed();
}

void TExSectionList::SelectNode(POGLItem Node) {
  if (!(engine_->SelectionOptions() & soMultiSelect)) engine_->DeselectAll();
  engine_->SelectItem(Node, true);
  Changed();
}

void TExSectionList::Changed() {
  if (engine_->UpdateCount() == 0) {
    engine_->Invalidate();
    header_->Invalidate();
  }
}

// --- look -------------------------------------------------------------------------------

void TExSectionList::SetImages(TImageList* Value) {
  images_ = Value;
  engine_->Images = Value;
  Changed();
}

void TExSectionList::SetItemHeight(int Value) {
  item_height_ = Value;
  engine_->Relayout();
}

void TExSectionList::SetHideSelection(bool Value) {
  engine_->HideSelection = Value;
  Changed();
}

void TExSectionList::SetSelectionColor(TColor Value) {
  engine_->SelectionColor = Value;
  Changed();
}

void TExSectionList::SetBorderStyle(TBorderStyle Value) {
  border_style_ = Value;
  Realign();
  Invalidate();
}

void TExSectionList::SetGroupColumnDisplay(TGroupColumnDisplay Value) {
  group_column_display_ = Value;
  UpdateHeader();
}

int TExSectionList::HeaderHeight() const {
  return header_->Height();
}

void TExSectionList::SetHeaderHeight(int Value) {
  header_->SetHeight(Value);
}

bool TExSectionList::HeaderResize() const {
  return header_->AllowResize;
}

void TExSectionList::SetHeaderResize(bool Value) {
  header_->AllowResize = Value;
}

void TExSectionList::SetHeaderDragDrop(TDragDropSetting Value) {
  header_drag_drop_ = Value;
  header_->SectionDragDrop = Value == ddEnabled;
}

void TExSectionList::ColorChanged() {
  TCustomControl::ColorChanged();
  engine_->SetColor(Color());
}

void TExSectionList::DoEnter() {
  TCustomControl::DoEnter();
  engine_->SetFocus();
}

// The single border is a frame round the children.
void TExSectionList::AlignControls(TRect& Area) {
  if (border_style_ == bsSingle)
    Area = Rect(Area.Left + 1, Area.Top + 1, Area.Right - 1, Area.Bottom - 1);
  TCustomControl::AlignControls(Area);
}

void TExSectionList::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
  if (border_style_ == bsSingle && BorderColor != clNone) {
    canvas.Brush().SetColor(BorderColor);
    canvas.FrameRect(ClientRect());
  }
}

// --- clicks, moves, keys and hints ------------------------------------------------------

void TExSectionList::ItemClick(TMouseButton Button, int X, int Y, TOGLHitInfo& Hit) {
  POGLItem node = Hit.Item;
  if (!node) return;
  TRect cell;
  const TRect row = engine_->GetItemDisplayRect(node, false);
  const int column =
      ColumnAtPoint(Rect(row.Left + 1, row.Top + 1, row.Right - 1, row.Bottom - 1), X, Y, cell);
  if (Button == mbRight) {
    if (engine_->IsGroup(node)) {
      if (OnGroupRightClick) OnGroupRightClick(this, node);
    } else if (column >= 0 && Hit.Kind == 2 && OnItemRightClick) {
      OnItemRightClick(this, node, column);
    }
    return;
  }
  if (Button != mbLeft || engine_->ViewStyle() != vsList) return;
  if (engine_->IsGroup(node)) {
    if (X >= 18 && OnGroupClick) OnGroupClick(this, node);
    return;
  }
  if (column < 0 || Hit.Kind != 2) return;
  const TExSectionColumn* c = Columns.Items(column);
  const std::string value = CellText(node, column);
  switch (c->ColumnType()) {
    case ctURL:
      if (PointOnURLText(node, column, Point(X, Y), cell)) {
        bool open = true;
        if (OnURLClick) OnURLClick(this, node, column, value, open);
        if (open && IsDesktopLink(value)) ShellOpen(value);
      }
      break;
    case ctCheckBox: {
      const int left = c->Alignment() == taLeftJustify    ? cell.Left
                       : c->Alignment() == taRightJustify ? cell.Right - 15
                                                          : cell.Left + (cell.Width() - 15) / 2;
      const int top = cell.Top + (cell.Height() - 15) / 2;
      if (X >= left && X < left + 15 && Y >= top && Y < top + 15) {
        ToggleCheckBox(node, column);
        if (OnCheckBoxClick) OnCheckBoxClick(this, node, column, CellText(node, column) != "0");
      }
      break;
    }
    case ctText: {
      const std::string anchor = AnchorAtPoint(X, Y, cell, value, column);
      if (anchor.empty()) break;
      // Only web and mail links go to the desktop; anything else is the program's.
      if (IsDesktopLink(anchor)) {
        ShellOpen(anchor);
      } else if (OnAnchorClick && anchor.find("://") == std::string::npos &&
                 anchor.find("mailto:") == std::string::npos) {
        OnAnchorClick(this, node, column, anchor);
      }
      break;
    }
    default:
      break;
  }
  if (OnItemClick) OnItemClick(this, node, column);
}

void TExSectionList::ToggleCheckBox(POGLItem Item, int Column) {
  if (!Columns.Items(Column) || (Column == GroupColumn && group_column_display_ == gdVisible))
    return;
  TStringList* row = RowOf(Item);
  if (!row) return;
  const int i = ColumnToStringIndex(Column);
  if (row->Count() < i + 1) {
    row->BeginUpdate();
    while (row->Count() < i + 1) row->Add("");
    row->Put(i, "1");
    row->EndUpdate();
  } else {
    row->Put(i, row->Get(i) == "1" ? "0" : "1");
  }
}

void TExSectionList::EngineMouseMove(int X, int Y) {
  mouse_ = Point(X, Y);
  TOGLHitInfo hit;
  engine_->HitTest(X, Y, hit, true);
  bool hand = false;
  bool linkHit = false;
  int linkColumn = -1;
  if (engine_->ViewStyle() == vsList && hit.Item && hit.Kind == 2 && !engine_->IsGroup(hit.Item)) {
    TRect cell;
    const TRect row = engine_->GetItemDisplayRect(hit.Item, false);
    const int column =
        ColumnAtPoint(Rect(row.Left + 1, row.Top + 1, row.Right - 1, row.Bottom - 1), X, Y, cell);
    if (column >= 0) {
      linkColumn = column;
      const TExSectionColumn* c = Columns.Items(column);
      if (column != hint_column_) {
        hint_column_ = column;
        CancelHint();
        if (c->ShowHint() && !c->Hint().empty()) ActivateHintAt(*engine_, X, Y);
      }
      const std::string value = CellText(hit.Item, column);
      if (c->ColumnType() == ctURL && !value.empty() &&
          PointOnURLText(hit.Item, column, Point(X, Y), cell)) {
        hand = true;
      } else if (c->IsMarkupText(value)) {
        const std::string anchor = AnchorAtPoint(X, Y, cell, value, column);
        hand = !anchor.empty();
        if (hand && (!hand_cursor_ || anchor != last_anchor_ ||
                     previous_hovered_anchor_ != point_anchor_)) {
          if (OnAnchorEnter) OnAnchorEnter(this, hit.Item, column, anchor);
        }
        last_anchor_ = anchor;
        previous_hovered_anchor_ = point_anchor_;
        linkHit = hand;
      }
    }
  }
  // Off a link, wherever the mouse went: plain text, a plain cell, another row.
  if (!linkHit && hovered_item_ && OnAnchorExit) {
    OnAnchorExit(this, hit.Item ? hit.Item : hovered_item_,
                 linkColumn >= 0 ? linkColumn : hovered_column_, "");
  }
  SetHoveredAnchor(linkHit ? hit.Item : nullptr, linkHit ? linkColumn : -1,
                   linkHit ? point_anchor_ : -1);
  if (hand != hand_cursor_) {
    hand_cursor_ = hand;
    engine_->SetCursor(hand ? crHandPoint : crDefault);
  }
}

// A change of the link under the mouse repaints when hovered links look different.
void TExSectionList::SetHoveredAnchor(POGLItem Item, int Column, int Anchor) {
  if (Item == hovered_item_ && Column == hovered_column_ && Anchor == hovered_anchor_) return;
  hovered_item_ = Item;
  hovered_column_ = Column;
  hovered_anchor_ = Anchor;
  if (AnchorHover) engine_->Invalidate();
}

void TExSectionList::GetHint(POGLItem Item, std::string& Text, TPoint& Pos) {
  if (engine_->IsGroup(Item)) {
    if (OnGetGroupHint) OnGetGroupHint(this, Item, Text);
    return;
  }
  const TExSectionColumn* column = Columns.Items(hint_column_);
  Text = column && column->ShowHint() ? column->Hint() : "";
  if (column && column->ShowHint() && column->ColumnType() == ctCheckBox) {
    // The hint keeps clear of the box the mouse is about to click.
    const TRect cell = GetCellRect(engine_->GetItemDisplayRect(Item, false), hint_column_);
    if (mouse_.X < cell.Right) Pos.X += kCheckBoxSize;
  }
  if (column && OnGetItemHint) OnGetItemHint(this, Item, hint_column_, Text);
}

// The look-up takes what a key types, not its key code (F1 is 'p', PageDown '"', and a
// letter beyond ASCII has none): the character of a key press, or the Unicode text of
// one beyond the code page or made with a dead key. A key held with Ctrl or Alt types
// nothing here.
void TExSectionList::EngineKeyDown(TKeyCode& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
  if (Key == VK_RETURN || Key == VK_ESCAPE || (Key >= VK_LEFT && Key <= VK_DOWN))
    look_up_text_.clear();
}

void TExSectionList::EngineKeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
  const auto typed = static_cast<unsigned char>(Key);
  if (typed >= 32 && typed != 127) LookUpTyped(Cp1252ToUtf16(std::string_view(&Key, 1)));
}

void TExSectionList::LookUpTyped(std::u16string_view Typed) {
  int column = -1;
  if (LookUp.Column >= 0) {
    column = LookUp.Column;
  } else if (SortSettings.Enabled) {
    column = SortSettings.Column();
  }
  if (!Columns.Items(column)) return;
  if (LookUp.Method == lmIncremental) {
    look_up_text_ += Typed;
    LookUpItem(look_up_text_, column);
    return;
  }
  for (size_t at = 0; at < Typed.size(); at += WideCharLength(Typed, at))
    LookUpItem(Typed.substr(at, WideCharLength(Typed, at)), column);
}

// --- sorting and look-up ----------------------------------------------------------------

std::string TExSectionList::CellText(POGLItem Item, int Column) const {
  if (Column == GroupColumn && group_column_display_ == gdVisible && Item &&
      !engine_->IsGroup(Item)) {
    const TStringList* group = RowOf(Item->Parent);
    return group && group->Count() > 0 ? group->Get(0) : "";
  }
  const TStringList* row = RowOf(Item);
  const int i = ColumnToStringIndex(Column);
  return row && i >= 0 && i < row->Count() ? row->Get(i) : "";
}

int TExSectionList::Compare(POGLItem A, POGLItem B) const {
  std::string_view a;
  std::string_view b;
  const TSortType kind = SortValues(A, B, a, b);
  switch (kind) {
    case stNone:
      return 0;
    case stTextCase:
      return CompareStr(a, b);
    case stTextNoCase:
      return CompareText(a, b);
    case stNumeric:
      return CompareRead<int>(a, b, [](std::string_view s, int& v) { return TryStrToInt(s, v); });
    case stBoolean:
      return CompareRead<bool>(a, b, TryStrToBoolean);
    case stDate:
      return CompareRead<TDateTime>(
          a, b, [](std::string_view s, TDateTime& v) { return TryStrToDate(s, v); });
    case stTime:
      return CompareRead<TDateTime>(
          a, b, [](std::string_view s, TDateTime& v) { return TryStrToTime(s, v); });
    case stDateTime:
      return CompareRead<TDateTime>(
          a, b, [](std::string_view s, TDateTime& v) { return TryStrToDateTime(s, v); });
    case stFloat:
      return CompareRead<double>(a, b,
                                 [](std::string_view s, double& v) { return TryStrToFloat(s, v); });
    case stAnsiText:
      return Sign(AnsiCompareStr(a, b));
    case stAnsiTextNoCase:
      return Sign(AnsiCompareText(a, b));
    case stCustom:
      return CustomCompare(A, B, a, b);
  }
  return 0;
}

// The texts of A and B that the sort compares, and how: two groups by their captions,
// two rows by the sort column.
TSortType TExSectionList::SortValues(POGLItem A, POGLItem B, std::string_view& AValue,
                                     std::string_view& BValue) const {
  if (engine_->IsGroup(A) || engine_->IsGroup(B)) {
    if (!SortSettings.SortGroups()) return stNone;
    const TStringList* ra = RowOf(A);
    const TStringList* rb = RowOf(B);
    if (ra && ra->Count() > 0) AValue = ra->GetRef(0);
    if (rb && rb->Count() > 0) BValue = rb->GetRef(0);
    const TExSectionColumn* c = Columns.Items(GroupColumn);
    return c ? c->SortType() : stNone;
  }
  if (!sort_keys_.empty()) {
    // A whole sort reads the values taken out beforehand, without copying them again.
    AValue = sort_keys_[static_cast<size_t>(DataOf(A).SortSlot)];
    BValue = sort_keys_[static_cast<size_t>(DataOf(B).SortSlot)];
  } else {
    // One row resorted compares it with a few dozen others, in place.
    const TStringList* ra = RowOf(A);
    const TStringList* rb = RowOf(B);
    const int i = ColumnToStringIndex(SortSettings.Column());
    if (ra && i < ra->Count()) AValue = ra->GetRef(i);
    if (rb && i < rb->Count()) BValue = rb->GetRef(i);
  }
  return Columns.Items(SortSettings.Column())->SortType();
}

int TExSectionList::CustomCompare(POGLItem A, POGLItem B, std::string_view AValue,
                                  std::string_view BValue) const {
  int result = 0;
  if (!OnCustomCompare) return 0;
  // A comparison that fails counts as equal: the sort always finishes whole.
  try {
    OnCustomCompare(const_cast<TExSectionList*>(this), A, B, SortSettings.Column(),
                    std::string(AValue), std::string(BValue), result);
  } catch (const Exception&) {
    return 0;
  }
  return result;
}

void TExSectionList::Sort() {
  const int column = SortSettings.Column();
  const TExSectionColumn* c = Columns.Items(column);
  const TOGLSortDirection direction = SortSettings.Direction();
  const bool settingsChanged =
      !order_valid_ || order_column_ != column || order_direction_ != direction;
  // A row re-added in place stands last for any but the one-row resort.
  if (readded_ && (!c || c->SortType() == stNone || settingsChanged || SortSettings.SortGroups())) {
    engine_->MoveItemToEnd(readded_);
    readded_ = nullptr;
  }
  if (!c || c->SortType() == stNone) return;
  sorting_ = true;
  if (!settingsChanged && !SortSettings.SortGroups()) {
    // Every other row is in its place: the changed rows find theirs among them.
    engine_->ResortItems(changed_rows_, column, direction, readded_);
  } else {
    if (!SortSettings.SortGroups()) TakeSortKeys(column);
    engine_->Sort(column, direction);
    sort_keys_.clear();
  }
  sorting_ = false;
  readded_ = nullptr;
  changed_rows_.clear();
  order_valid_ = true;
  order_column_ = column;
  order_direction_ = direction;
  if (settingsChanged) header_->Invalidate();
  if (OnSorted) OnSorted(this, column);
}

void TExSectionList::TakeSortKeys(int Column) {
  sort_keys_.clear();
  const int i = ColumnToStringIndex(Column);
  for (POGLItem group = engine_->FirstGroup(); group; group = group->NextSibling) {
    for (POGLItem item = group->FirstChild; item; item = item->NextSibling) {
      TRowData& data = DataOf(item);
      data.SortSlot = static_cast<int>(sort_keys_.size());
      sort_keys_.push_back(i < data.Strings->Count() ? data.Strings->Get(i) : "");
    }
  }
}

// The first row whose cell in the column starts with Text, both upper-cased, in every
// script. A cell is read as it is shown: a column of received texts holds UTF-8 or
// Windows-1252 as each station sent it.
void TExSectionList::LookUpItem(std::u16string_view Text, int Column) {
  const TExSectionColumn* c = Columns.Items(Column);
  if (!c) return;
  const std::u16string wanted = WideUpperCase(Text);
  for (POGLItem group = engine_->FirstGroup(); group; group = group->NextSibling) {
    for (POGLItem item = group->FirstChild; item; item = item->NextSibling) {
      std::string value = CellText(item, Column);
      if (c->Markup() && value.find("</") != std::string::npos) value = HtmlStrip(value);
      const std::u16string shown =
          c->Utf8Text() ? ReceivedTextToUtf16(value) : Cp1252ToUtf16(value);
      if (WideUpperCase(shown.substr(0, wanted.size())).substr(0, wanted.size()) != wanted)
        continue;
      engine_->DeselectAll();
      engine_->ScrollIntoView(item, false);
      engine_->SelectItem(item, false);
      engine_->FocusItem(item);
      Changed();
      return;
    }
  }
}
