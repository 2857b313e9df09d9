// Stand-in for the grouped column list until the grouped-list library lands: groups of
// items, one text per column after the (hidden) group column, an image column drawn
// from an image list, one sort column, single selection.
//
//   TSectionGroup* group = list.AddGroup("");
//   TStrings& row = list.AddItem(group);
//   row.Add("1"); row.Add("N0CALL");   // texts of columns 1, 2, ...
//
// Items are kept in sort order at all times: changing the sort column's text of an item
// moves it at once, in logarithmic time, so a list of many thousand rows stays cheap to
// update. Sort re-orders everything only when the sort column or direction changed since
// the last sort. Between those, an item's index is its place in the current order.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/image_list.h"
#include "platform/gui/text_layout.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

class TExSectionList;
class TSectionGroup;
struct TSectionNode;

// Raised for an item index outside the group.
class ESectionListError : public Exception {
 public:
  using Exception::Exception;
};

enum TSectionSortType { sstNone, sstText, sstNumeric, sstCustom };

struct TSectionColumn {
  std::string Caption;
  int Width = 64;
  TAlignment Alignment = taLeftJustify;
  bool ImageColumn = false;  // the text is an index into the list's Images
  bool Bold = false;
  TSectionSortType SortType = sstText;
};

// The texts of one item. Every change goes through the list, which keeps the item at
// its sorted place and repaints.
class TSectionItemStrings : public TStrings {
 public:
  explicit TSectionItemStrings(TSectionNode& Node) : node_(Node) {}
  TSectionNode& Node() const { return node_; }
  int Count() const override { return static_cast<int>(texts_.size()); }
  std::string Get(int index) const override;
  const std::string& Text(int index) const { return texts_[static_cast<size_t>(index)]; }
  void Put(int index, const std::string& text) override;
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Clear() override;

 private:
  void CheckIndex(int index, int limit) const;
  TSectionNode& node_;
  std::vector<std::string> texts_;
};

struct TSectionNode {
  TSectionNode(TSectionGroup& AGroup, std::uint64_t ASerial)
      : Group(AGroup), Serial(ASerial), Strings(*this) {}
  TSectionGroup& Group;
  std::uint64_t Serial;  // order of creation: ties of the sort key keep it
  TSectionItemStrings Strings;
};

class TSectionGroup {
 public:
  TSectionGroup(TExSectionList& List, std::string Caption);
  ~TSectionGroup();
  TSectionGroup(const TSectionGroup&) = delete;
  TSectionGroup& operator=(const TSectionGroup&) = delete;

  const std::string& Caption() const { return caption_; }
  int GetCount() const;
  // Index errors raise ESectionListError "Index out of bounds".
  TStrings& GetItemStrings(int Index) const;
  TSectionNode* GetItemNode(int Index) const;
  void DeleteItem(int Index);
  // Place of Node in the group's order; -1 for a node of another group.
  int IndexOfNode(const TSectionNode* Node) const;
  bool GetExpanded() const { return expanded_; }
  void SetExpanded(bool Value);

 private:
  friend class TExSectionList;
  friend class TSectionItemStrings;
  struct Order;
  TSectionNode* AddNode();
  // Around a change of the texts of Node: out of the order before, back in after.
  void TextsChanging(TSectionNode& Node, int Index);
  void TextsChanged(TSectionNode& Node, int Index);
  void Reorder();

  TExSectionList& list_;
  std::string caption_;
  bool expanded_ = true;
  std::unique_ptr<Order> order_;
};

class TExSectionList : public TCustomControl {
 public:
  explicit TExSectionList(TComponent* AOwner);
  ~TExSectionList() override;

  // Column 0 is the group column; column n > 0 shows text n - 1 of each item.
  TSectionColumn& AddColumn(const std::string& Caption, int Width);
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  TSectionColumn& Columns(int Index) { return columns_.at(static_cast<size_t>(Index)); }
  const TSectionColumn& Columns(int Index) const { return columns_.at(static_cast<size_t>(Index)); }
  bool GroupColumnVisible() const { return group_column_visible_; }
  void SetGroupColumnVisible(bool Value);

  TImageList* Images = nullptr;  // not owned
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int Value);

  // Takes effect with the next Sort.
  int SortColumn() const { return sort_column_; }
  bool SortDescending() const { return sort_descending_; }
  void SetSortColumn(int Column, bool Descending);
  void Sort();

  TSectionGroup* AddGroup(const std::string& Caption);
  int GroupCount() const { return static_cast<int>(groups_.size()); }
  TSectionGroup* Groups(int Index) const { return groups_.at(static_cast<size_t>(Index)).get(); }
  // The new item's (empty) texts; the caller appends one per column.
  TSectionItemStrings& AddItem(TSectionGroup* Group);
  TStrings* GetNodeStrings(TSectionNode* Node) const { return Node ? &Node->Strings : nullptr; }

  TSectionNode* Selected() const { return selected_; }
  void SelectNode(TSectionNode* Node);

  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  // BeginUpdate for a scope: the list repaints again however the scope is left.
  class TUpdateScope {
   public:
    explicit TUpdateScope(TExSectionList& List) : list_(List) { list_.BeginUpdate(); }
    ~TUpdateScope() { list_.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

   private:
    TExSectionList& list_;
  };

  // Row shown at the top (groups' caption lines count as rows).
  int TopRow() const { return top_row_; }
  void SetTopRow(int Value);
  // The item painted at client point Y, or null.
  TSectionNode* NodeAt(int Y) const;

  std::function<void(TComponent* Sender, TSectionNode* Item, int Column)> OnItemClick;
  std::function<void(TComponent* Sender, TSectionNode* Item)> OnItemDblClick;
  std::function<void(TComponent* Sender, TSectionNode* Item1, TSectionNode* Item2, int Column,
                     const std::string& Value1, const std::string& Value2, int& Result)>
      OnCustomCompare;
  // Fired after the list has handled a key (the stand-in sees presses only).
  TKeyEvent OnKeyUp;

  std::string ClassName() const override { return "TExSectionList"; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;

 public:
  // Strict order of two items of one group by the sort in force (for the groups).
  bool Less(const TSectionNode* A, const TSectionNode* B) const;

 private:
  friend class TSectionGroup;
  int CompareValues(const TSectionNode* A, const TSectionNode* B) const;
  void NodeDeleted(TSectionNode* Node);
  void Changed();
  int RowCount() const;
  int ColumnAt(int X) const;

  std::vector<TSectionColumn> columns_;
  std::vector<std::unique_ptr<TSectionGroup>> groups_;
  bool group_column_visible_ = false;
  int item_height_ = 18;
  int sort_column_ = -1;
  bool sort_descending_ = false;
  // The sort the items are ordered by now.
  int order_column_ = -1;
  bool order_descending_ = false;
  std::uint64_t next_serial_ = 0;
  TSectionNode* selected_ = nullptr;
  int update_count_ = 0;
  int top_row_ = 0;
  int last_down_y_ = 0;
};
