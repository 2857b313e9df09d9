#include "lists/ex_section_list_standin.h"

#include <ext/pb_ds/assoc_container.hpp>
#include <ext/pb_ds/tree_policy.hpp>

#include <algorithm>

#include "platform/gui/canvas.h"

namespace {

constexpr const char* kIndexOutOfBounds = "Index out of bounds";
constexpr TColor kHeaderColor = 0xE6E6E6;
constexpr TColor kGroupColor = 0xF0F0F0;
constexpr TColor kSelectedColor = 0xFFCC99;

}  // namespace

// --- item texts -------------------------------------------------------------------------

std::string TSectionItemStrings::Get(int index) const {
  CheckIndex(index, Count());
  return texts_[static_cast<size_t>(index)];
}

void TSectionItemStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw EStringListError("List index out of bounds");
}

void TSectionItemStrings::Put(int index, const std::string& text) {
  CheckIndex(index, Count());
  if (texts_[static_cast<size_t>(index)] == text) return;
  node_.Group.TextsChanging(node_, index);
  texts_[static_cast<size_t>(index)] = text;
  node_.Group.TextsChanged(node_, index);
}

void TSectionItemStrings::Insert(int index, const std::string& text) {
  CheckIndex(index, Count() + 1);
  node_.Group.TextsChanging(node_, -1);
  texts_.insert(texts_.begin() + index, text);
  node_.Group.TextsChanged(node_, -1);
}

void TSectionItemStrings::Delete(int index) {
  CheckIndex(index, Count());
  node_.Group.TextsChanging(node_, -1);
  texts_.erase(texts_.begin() + index);
  node_.Group.TextsChanged(node_, -1);
}

void TSectionItemStrings::Clear() {
  node_.Group.TextsChanging(node_, -1);
  texts_.clear();
  node_.Group.TextsChanged(node_, -1);
}

// --- group ------------------------------------------------------------------------------

namespace {

struct NodeLess {
  const TExSectionList* List = nullptr;
  bool operator()(const TSectionNode* A, const TSectionNode* B) const;
};

}  // namespace

// The items in sort order with the rank of each: index to item and item to index both
// take logarithmic time.
struct TSectionGroup::Order {
  explicit Order(const TExSectionList& List) : Tree(NodeLess{&List}) {}
  __gnu_pbds::tree<TSectionNode*, __gnu_pbds::null_type, NodeLess, __gnu_pbds::rb_tree_tag,
                   __gnu_pbds::tree_order_statistics_node_update>
      Tree;
};

TSectionGroup::TSectionGroup(TExSectionList& List, std::string Caption)
    : list_(List), caption_(std::move(Caption)), order_(std::make_unique<Order>(List)) {}

TSectionGroup::~TSectionGroup() {
  for (TSectionNode* node : order_->Tree) delete node;
}

int TSectionGroup::GetCount() const {
  return static_cast<int>(order_->Tree.size());
}

TSectionNode* TSectionGroup::GetItemNode(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw ESectionListError(kIndexOutOfBounds);
  return *order_->Tree.find_by_order(static_cast<size_t>(Index));
}

TStrings& TSectionGroup::GetItemStrings(int Index) const {
  return GetItemNode(Index)->Strings;
}

void TSectionGroup::DeleteItem(int Index) {
  TSectionNode* node = GetItemNode(Index);
  order_->Tree.erase(node);
  list_.NodeDeleted(node);
  delete node;
}

int TSectionGroup::IndexOfNode(const TSectionNode* Node) const {
  if (!Node || &Node->Group != this) return -1;
  return static_cast<int>(order_->Tree.order_of_key(const_cast<TSectionNode*>(Node)));
}

void TSectionGroup::SetExpanded(bool Value) {
  if (expanded_ == Value) return;
  expanded_ = Value;
  list_.Changed();
}

TSectionNode* TSectionGroup::AddNode() {
  auto* node = new TSectionNode(*this, list_.next_serial_++);
  order_->Tree.insert(node);
  return node;
}

// Index -1 stands for a change that may touch any text.
void TSectionGroup::TextsChanging(TSectionNode& Node, int Index) {
  if (Index < 0 || Index == list_.order_column_ - 1) order_->Tree.erase(&Node);
}

void TSectionGroup::TextsChanged(TSectionNode& Node, int Index) {
  if (Index < 0 || Index == list_.order_column_ - 1) order_->Tree.insert(&Node);
  list_.Changed();
}

void TSectionGroup::Reorder() {
  std::vector<TSectionNode*> nodes(order_->Tree.begin(), order_->Tree.end());
  order_->Tree.clear();
  for (TSectionNode* node : nodes) order_->Tree.insert(node);
}

bool NodeLess::operator()(const TSectionNode* A, const TSectionNode* B) const {
  return List->Less(A, B);
}

// --- list -------------------------------------------------------------------------------

TExSectionList::TExSectionList(TComponent* AOwner) : TCustomControl(AOwner) {
  columns_.push_back(TSectionColumn{});
  columns_[0].SortType = sstNone;
  SetColor(clWhite);
}

TExSectionList::~TExSectionList() {
  selected_ = nullptr;
  groups_.clear();
}

TSectionColumn& TExSectionList::AddColumn(const std::string& Caption, int Width) {
  TSectionColumn column;
  column.Caption = Caption;
  column.Width = Width;
  columns_.push_back(column);
  Changed();
  return columns_.back();
}

void TExSectionList::SetGroupColumnVisible(bool Value) {
  group_column_visible_ = Value;
  Changed();
}

void TExSectionList::SetItemHeight(int Value) {
  item_height_ = std::max(1, Value);
  Changed();
}

void TExSectionList::SetSortColumn(int Column, bool Descending) {
  sort_column_ = Column;
  sort_descending_ = Descending;
}

void TExSectionList::Sort() {
  if (order_column_ == sort_column_ && order_descending_ == sort_descending_) return;
  order_column_ = sort_column_;
  order_descending_ = sort_descending_;
  for (auto& group : groups_) group->Reorder();
  Changed();
}

int TExSectionList::CompareValues(const TSectionNode* A, const TSectionNode* B) const {
  if (order_column_ <= 0 || order_column_ >= ColumnCount()) return 0;
  const TSectionColumn& column = columns_[static_cast<size_t>(order_column_)];
  const int text = order_column_ - 1;
  static const std::string kEmpty;
  const std::string& a = text < A->Strings.Count() ? A->Strings.Text(text) : kEmpty;
  const std::string& b = text < B->Strings.Count() ? B->Strings.Text(text) : kEmpty;
  switch (column.SortType) {
    case sstText:
      return CompareText(a, b);
    case sstNumeric: {
      const double x = StrToFloatDef(a, 0);
      const double y = StrToFloatDef(b, 0);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case sstCustom: {
      int result = 0;
      if (!OnCustomCompare) return 0;
      // The order is kept in a tree: a compare that raises counts as equal, so that the
      // item keeps a place instead of dropping out of the list half inserted.
      try {
        OnCustomCompare(const_cast<TExSectionList*>(this), const_cast<TSectionNode*>(A),
                        const_cast<TSectionNode*>(B), order_column_, a, b, result);
      } catch (const Exception&) {
        return 0;
      }
      return result;
    }
    case sstNone:
      break;
  }
  return 0;
}

bool TExSectionList::Less(const TSectionNode* A, const TSectionNode* B) const {
  if (A == B) return false;
  int result = CompareValues(A, B);
  if (order_descending_) result = -result;
  if (result != 0) return result < 0;
  return A->Serial < B->Serial;
}

TSectionGroup* TExSectionList::AddGroup(const std::string& Caption) {
  groups_.push_back(std::make_unique<TSectionGroup>(*this, Caption));
  Changed();
  return groups_.back().get();
}

TSectionItemStrings& TExSectionList::AddItem(TSectionGroup* Group) {
  TSectionNode* node = Group->AddNode();
  Changed();
  return node->Strings;
}

void TExSectionList::SelectNode(TSectionNode* Node) {
  selected_ = Node;
  Changed();
}

void TExSectionList::NodeDeleted(TSectionNode* Node) {
  if (selected_ == Node) selected_ = nullptr;
  Changed();
}

void TExSectionList::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) Invalidate();
}

void TExSectionList::Changed() {
  if (update_count_ == 0) Invalidate();
}

int TExSectionList::RowCount() const {
  int rows = 0;
  for (const auto& group : groups_) rows += 1 + (group->GetExpanded() ? group->GetCount() : 0);
  return rows;
}

void TExSectionList::SetTopRow(int Value) {
  top_row_ = std::clamp(Value, 0, std::max(0, RowCount() - 1));
  Changed();
}

TSectionNode* TExSectionList::NodeAt(int Y) const {
  if (Y < item_height_) return nullptr;  // header
  int row = top_row_ + (Y - item_height_) / item_height_;
  for (const auto& group : groups_) {
    if (row == 0) return nullptr;  // the group's caption line
    --row;
    const int items = group->GetExpanded() ? group->GetCount() : 0;
    if (row < items) return group->GetItemNode(row);
    row -= items;
  }
  return nullptr;
}

int TExSectionList::ColumnAt(int X) const {
  int left = 0;
  for (int c = group_column_visible_ ? 0 : 1; c < ColumnCount(); ++c) {
    left += columns_[static_cast<size_t>(c)].Width;
    if (X < left) return c;
  }
  return -1;
}

void TExSectionList::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
  const int first = group_column_visible_ ? 0 : 1;
  auto paint_cells = [&](int top, TColor back, auto text_of) {
    int left = 0;
    for (int c = first; c < ColumnCount(); ++c) {
      const TSectionColumn& column = columns_[static_cast<size_t>(c)];
      const TRect cell = Rect(left, top, left + column.Width, top + item_height_);
      canvas.Brush().SetColor(back);
      canvas.FillRect(cell);
      text_of(c, column, cell);
      left += column.Width;
    }
  };
  // Header.
  canvas.Font().SetStyle(fsBold);
  paint_cells(0, kHeaderColor, [&](int, const TSectionColumn& column, TRect cell) {
    canvas.TextRect(cell, column.Caption, tfSingleLine | tfNoPrefix | tfVerticalCenter);
  });
  int row = 0;
  int top = item_height_;
  for (const auto& group : groups_) {
    const int items = group->GetExpanded() ? group->GetCount() : 0;
    if (row >= top_row_ && top < Height()) {
      canvas.Font().SetStyle(fsBold);
      canvas.Brush().SetColor(kGroupColor);
      TRect line = Rect(0, top, Width(), top + item_height_);
      canvas.FillRect(line);
      canvas.TextRect(line, group->Caption() + " (" + IntToStr(group->GetCount()) + ")",
                      tfSingleLine | tfNoPrefix | tfVerticalCenter);
      top += item_height_;
    }
    ++row;
    for (int i = std::max(0, top_row_ - row); i < items && top < Height(); ++i) {
      TSectionNode* node = group->GetItemNode(i);
      paint_cells(top, node == selected_ ? kSelectedColor : Color(),
                  [&](int c, const TSectionColumn& column, TRect cell) {
                    const int text = c - 1;
                    if (text < 0 || text >= node->Strings.Count()) return;
                    const std::string& value = node->Strings.Text(text);
                    if (column.ImageColumn) {
                      const int image = StrToIntDef(value, -1);
                      if (Images && image >= 0 && image < Images->Count()) {
                        Images->Draw(canvas, cell.Left + (column.Width - Images->Width()) / 2,
                                     cell.Top + (item_height_ - Images->Height()) / 2, image);
                      }
                      return;
                    }
                    canvas.Font().SetStyle(column.Bold ? fsBold : 0);
                    TTextFormat format = tfSingleLine | tfNoPrefix | tfVerticalCenter;
                    if (column.Alignment == taCenter) format |= tfCenter;
                    if (column.Alignment == taRightJustify) format |= tfRight;
                    canvas.TextRect(cell, value, format);
                  });
      top += item_height_;
    }
    row += items;
  }
}

void TExSectionList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  last_down_y_ = Y;
  TSectionNode* node = NodeAt(Y);
  if (!node) return;
  SelectNode(node);
  if (OnItemClick) OnItemClick(this, node, ColumnAt(X));
}

void TExSectionList::DblClick() {
  TCustomControl::DblClick();
  TSectionNode* node = NodeAt(last_down_y_);
  if (node && OnItemDblClick) OnItemDblClick(this, node);
}

void TExSectionList::KeyDown(TKeyCode& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const int page = std::max(1, Height() / item_height_ - 2);
  switch (Key) {
    case VK_UP:
      SetTopRow(top_row_ - 1);
      break;
    case VK_DOWN:
      SetTopRow(top_row_ + 1);
      break;
    case VK_PRIOR:
      SetTopRow(top_row_ - page);
      break;
    case VK_NEXT:
      SetTopRow(top_row_ + page);
      break;
    case VK_HOME:
      SetTopRow(0);
      break;
    case VK_END:
      SetTopRow(RowCount() - 1);
      break;
    default:
      break;
  }
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
