// The grouped list: a scrolling window showing a two-level tree, groups with a header
// bar each and, under an expanded group, its items as a one-column list (vsList) or a
// grid of thumbnails (vsThumbnails).
//
// The control keeps no texts or values of its own: every node carries a block of
// ItemDataSize bytes that belongs to the owner, and captions, item heights, sort order
// and the items' look are asked from the owner through events.
//
//   TSectionGroupedList list(owner);
//   list.ItemDataSize = sizeof(MyRow*);
//   POGLItem group = list.AddItem(nullptr);     // a group
//   POGLItem item = list.AddItem(group);        // an item of it
//   *static_cast<MyRow**>(list.GetItemData(item)) = row;
//
// Each group keeps its items in a position tree, so an item's Index, the item at an
// index and moving an item cost logarithmic time however many items there are.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lists/position_tree.h"
#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/gui/controls/scroll_bars.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"

class TSectionGroupedList;
class TOGLDragEngine;
struct TOGLDraggedNodes;
class TOGLHintWindow;

// A group or an item. The owner's data block follows the record in the same allocation.
struct TOGLItem {
  // Node flags.
  static constexpr std::uint8_t IsGroupFlag = 1;
  static constexpr std::uint8_t Deleting = 2;
  static constexpr std::uint8_t NoExpandRelayout = 4;
  static constexpr std::uint8_t NoCollapseRelayout = 8;
  static constexpr std::uint8_t Expanded = 16;
  static constexpr std::uint8_t Selected = 32;
  static constexpr std::uint8_t Dragged = 64;  // taken by the drag started here

  // Position among the siblings, 0-based.
  int Index() const;
  bool Has(std::uint8_t Flag) const { return (Flags & Flag) != 0; }

  int ChildCount = 0;
  int SelectedCount = 0;  // groups: selected items
  int ContentHeight = 0;  // groups: height of the item area under the header
  int NodeCount = 0;      // root: groups and items in the whole tree
  std::uint8_t Flags = 0;
  TOGLItem* Parent = nullptr;
  TOGLItem* PrevSibling = nullptr;
  TOGLItem* NextSibling = nullptr;
  TOGLItem* FirstChild = nullptr;
  TOGLItem* LastChild = nullptr;
  // Neighbours in the list's selection while the node is selected.
  TOGLItem* PrevSelected = nullptr;
  TOGLItem* NextSelected = nullptr;

  TPositionHook Hook;      // place among the siblings
  TPositionTree Children;  // the children in order
};
using POGLItem = TOGLItem*;

// The selected nodes in the order they were selected, chained through the nodes
// themselves, so that a node leaves the selection in constant time however many are
// selected (deselecting a group of 100,000 rows takes each out once).
class TOGLSelection {
 public:
  class Iterator {
   public:
    explicit Iterator(POGLItem Node) : node_(Node) {}
    POGLItem operator*() const { return node_; }
    Iterator& operator++() {
      node_ = node_->NextSelected;
      return *this;
    }
    bool operator==(const Iterator& Other) const = default;

   private:
    POGLItem node_;
  };

  bool empty() const { return count_ == 0; }
  size_t size() const { return count_; }
  POGLItem front() const { return first_; }
  POGLItem back() const { return last_; }
  Iterator begin() const { return Iterator(first_); }
  Iterator end() const { return Iterator(nullptr); }
  // The nodes from the last selected to the first.
  std::vector<POGLItem> Reversed() const;
  void Append(POGLItem Node);
  void Remove(POGLItem Node);

 private:
  POGLItem first_ = nullptr;
  POGLItem last_ = nullptr;
  size_t count_ = 0;
};

// What lies under a point. Kind: 0 nothing, 1 a group's expand button, 2 the node
// itself, 3 the caption box under a thumbnail.
struct TOGLHitInfo {
  POGLItem Group = nullptr;
  POGLItem Item = nullptr;
  int Kind = 0;
};

enum TOGLAutoOption : unsigned {
  toAutoExpandOnCreate = 1,
  toAutoExpandOnFocus = 2,
  toAutoExpandOnDrop = 4,
  toAutoScrollOnExpand = 8,
  toAutoSort = 16,
  toAutoDeleteMovedItems = 32,
};
using TOGLAutoOptions = unsigned;

enum TOGLSelectionOption : unsigned { soMultiSelect = 1, soRightClickSelect = 2 };
using TOGLSelectionOptions = unsigned;

enum TOGLViewStyle { vsList, vsThumbnails };
enum TOGLSortDirection { sdAscending, sdDescending, sdDefault };
enum class TOGLSearchType { stNone, stAll, stChildOnly };
enum TOGLDrawSelectionMode { dsmDottedRectangle, dsmBlendedRectangle, dsmThemeAware };

// Dragging: whether drops are taken, nodes may be dragged out, and a picture of them
// follows the pointer.
enum TOGLDragOption : unsigned {
  doOLEAcceptDrop = 1,
  doOLEAllowDrag = 2,
  doOLEShowDragImage = 4,
};
using TOGLDragOptions = unsigned;
// What a drag started here allows the target to do.
enum TOGLDragOperation : unsigned { doCopy = 1, doMove = 2, doLink = 4 };
using TOGLDragOperations = unsigned;
// ddmCopy offers a move as a copy, so dragged nodes are never taken away.
enum TDragDropMode { ddmNormal, ddmCopy };
// dmAutomatic lets every node be dragged; dmManual asks OnOLEDragAllowed.
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// dtOLE drags data any program may take; dtVCL drags the list itself, to controls of
// this program that judge the source list (OnDragOver, OnDragDrop).
enum TOGLDragType { dtOLE, dtVCL };

// Hints are blended over what lies beneath them, AlphaBlendValue / 255 opaque.
struct TOGLHintOptions {
  bool AlphaBlend = true;
  int AlphaBlendValue = 240;
};

struct TOGLThumbnailOptions {
  int HorizSpacing = 12;
  int VertSpacing = 12;
  int ThumbnailWidth = 96;
  int ThumbnailHeight = 96;
};

using TOGLItemEvent = std::function<void(TSectionGroupedList* Sender, POGLItem Item)>;
// Data: the drag's data on entering, null on later calls. Accept starts false.
using TOGLDragOverEvent =
    std::function<void(TSectionGroupedList* Sender, const TDataObject* Data, TShiftState Shift,
                       TPoint Pt, TDragState State, TDropEffects& Effect, bool& Accept)>;
using TOGLDropEvent =
    std::function<void(TSectionGroupedList* Sender, const TDataObject& Data, TShiftState Shift,
                       TPoint Pt, const std::vector<std::string>& Formats, TDropEffects& Effect)>;
// Source: the list a dtVCL drag started in. Accept starts true.
using TOGLComponentDragOverEvent =
    std::function<void(TSectionGroupedList* Sender, TSectionGroupedList* Source, int X, int Y,
                       TDragState State, bool& Accept)>;
using TOGLComponentDropEvent =
    std::function<void(TSectionGroupedList* Sender, TSectionGroupedList* Source, int X, int Y)>;
using TOGLItemMouseEvent =
    std::function<void(TSectionGroupedList* Sender, TMouseButton Button, TShiftState Shift, int X,
                       int Y, TOGLHitInfo& HitInfo)>;

class TSectionGroupedList : public TCustomControl, public THintSource {
 public:
  explicit TSectionGroupedList(TComponent* AOwner);
  ~TSectionGroupedList() override;

  // --- tree and data ---
  // Size of every node's data block; set it before the first node is made.
  int ItemDataSize = 0;
  // Parent null makes a group; otherwise Parent must be a group (else null is returned).
  POGLItem AddItem(POGLItem Parent);
  // Removes a node (a group with its items); the following siblings move up one place.
  void DeleteItem(POGLItem Item);
  // An item leaves its place as DeleteItem takes it (unselected, unfocused, no hint)
  // and comes back last among its siblings, as AddItem would put a new one: a row
  // replaced by a new one, without freeing and making the node and its data again.
  void MoveItemToEnd(POGLItem Item);
  // An item loses what DeleteItem takes from it (selection, focus, hint, drop target)
  // but keeps its place: a row about to be replaced, whose place the next ResortItem
  // with AsLast finds.
  void ReleaseItem(POGLItem Item);
  void DeleteSelectedItems();
  // Removes every item of Group at once, as DeleteItem on each would (the group stays).
  void DeleteChildren(POGLItem Group);
  void Clear();
  // The node's data block; null for null or the root. Raises when ItemDataSize is not set.
  void* GetItemData(POGLItem Item) const;
  POGLItem RootItem() const { return root_; }
  POGLItem FirstGroup() const { return root_->FirstChild; }
  // The child at Index of Parent (null: the root), or null.
  POGLItem ChildAt(POGLItem Parent, int Index) const;
  bool IsGroup(POGLItem Item) const;
  bool IsItemSelected(POGLItem Item) const;
  // A group with the expanded flag and at least one item.
  bool IsGroupExpanded(POGLItem Item) const;
  bool ExpandGroup(POGLItem Item);
  bool CollapseGroup(POGLItem Item);
  void ToggleGroup(POGLItem Item);
  void GetItemCaption(POGLItem Item, std::string& Caption) const;
  // Among Parent's children (the groups for null), the first whose caption equals
  // Caption ignoring case; null without an OnGetCaption handler.
  POGLItem FindItemByCaption(const std::string& Caption, POGLItem Parent) const;

  // Nested batch changes: rows added or deleted are not laid out and nothing repaints
  // until the last EndUpdate, which lays out and repaints all.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return update_count_; }

  // --- geometry ---
  // The node's rectangle in document coordinates (the scroll position not applied).
  TRect GetItemRect(POGLItem Item) const;
  // The rectangle grown by 1 on each side, in window coordinates; with WithContent a
  // group's item area is included.
  TRect GetItemDisplayRect(POGLItem Item, bool WithContent) const;
  void InvalidateItem(POGLItem Item, bool WithContent);
  int ItemWidth() const;
  int ItemHeight() const { return item_height_; }
  int Columns() const { return columns_; }
  int TotalHeight() const { return total_height_; }
  void Relayout();
  // Width of the area the nodes are laid out in: the client width less a shown scroll bar.
  int ContentWidth() const;
  // The vertical scroll position: the document row shown at the top.
  int TopPosition() const { return top_; }
  // Kept within 0 .. TotalHeight - client height.
  void SetTopPosition(int Value);
  TControlScrollBars& ScrollBars() const { return *scroll_bars_; }

  // --- focus and selection ---
  POGLItem FocusedItem() const { return focused_; }
  POGLItem AnchorItem() const { return anchor_; }
  const TOGLSelection& SelectedItems() const { return selected_; }
  void FocusItem(POGLItem Item) { SetFocusedItem(Item, true); }
  bool SetFocusedItem(POGLItem Item, bool MoveAnchor);
  void SelectItem(POGLItem Item, bool Recurse);
  void DeselectItem(POGLItem Item, bool Recurse);
  void ToggleItemSelection(POGLItem Item, bool Recurse);
  void SelectAll();
  bool DeselectAll();
  void SelectRange(POGLItem Target);
  void DeselectBefore(POGLItem Item);
  void DeselectAfter(POGLItem Item);
  // Whether B comes after A in display order.
  bool IsAfter(POGLItem A, POGLItem B) const;
  bool ScrollIntoView(POGLItem Item, bool WholeGroup);

  // --- hit testing ---
  // X, Y in client coordinates; Scrolled adds the scroll position first.
  void HitTest(int X, int Y, TOGLHitInfo& HitInfo, bool Scrolled) const;
  POGLItem GetItemAt(int X, int Y, bool Scrolled) const;

  // --- sorting and search ---
  // Column -1 means SortColumn; Direction sdDefault means SortDirection.
  void Sort(int Column, TOGLSortDirection Direction);
  void SortChildren(POGLItem Parent, int Column, TOGLSortDirection Direction);
  // Puts one item that may have left its sorted place back among its siblings, which
  // must be in sorted order by Column and Direction otherwise. The result is the order
  // a full stable sort would give; with AsLast, the order it would give with the item
  // standing last (after its equals, as a new item would go).
  void ResortItem(POGLItem Item, int Column, TOGLSortDirection Direction, bool AsLast = false);
  // The same for several items, each of which may have left its place; AsLast, when one
  // of them, is taken as standing last.
  void ResortItems(const std::vector<POGLItem>& Items, int Column, TOGLSortDirection Direction,
                   POGLItem AsLast);
  // Key: the character typed, one or two UTF-16 units.
  void IncrementalSearch(std::u16string_view Key);
  int SortColumn() const { return sort_column_; }
  void SetSortColumn(int Value);
  TOGLSortDirection SortDirection() const { return sort_direction_; }
  void SetSortDirection(TOGLSortDirection Value);
  TOGLSearchType SearchType = TOGLSearchType::stChildOnly;

  // --- look ---
  TOGLAutoOptions AutoOptions =
      toAutoExpandOnCreate | toAutoScrollOnExpand | toAutoSort | toAutoDeleteMovedItems;
  TOGLSelectionOptions SelectionOptions() const { return selection_options_; }
  void SetSelectionOptions(TOGLSelectionOptions Value);
  TOGLViewStyle ViewStyle() const { return view_style_; }
  void SetViewStyle(TOGLViewStyle Value);
  const TOGLThumbnailOptions& ThumbnailOptions() const { return thumbnails_; }
  void SetThumbnailOptions(const TOGLThumbnailOptions& Value);
  int GroupItemHeight() const { return group_item_height_; }
  void SetGroupItemHeight(int Value);
  int GroupCaptionTop() const { return group_caption_top_; }
  int CaptionHeight() const { return caption_height_; }
  bool ShowNodes() const { return show_nodes_; }
  void SetShowNodes(bool Value);
  bool GroupShowCount() const { return group_show_count_; }
  void SetGroupShowCount(bool Value);
  TColor GroupColor() const { return group_color_; }
  void SetGroupColor(TColor Value);
  TColor GroupSelectionColor() const { return group_selection_color_; }
  void SetGroupSelectionColor(TColor Value);
  TColor GroupSelectionTextColor() const { return group_selection_text_color_; }
  void SetGroupSelectionTextColor(TColor Value);
  TColor SelectionColor = clHighlight;
  bool HideSelection = true;
  TOGLDrawSelectionMode DrawSelectionMode = dsmThemeAware;
  TFont& GroupFont() { return group_font_; }
  TFont& GroupCountFont() { return group_count_font_; }
  // Group images; not owned.
  TImageList* Images = nullptr;
  // Whether a hint request is answered afresh for another part of the same node.
  bool HintTrackHit = false;
  TOGLHintOptions HintOptions;
  // The hint for the node under the mouse, shown in a window of the list's own.
  bool HintShow(THintInfo& Info) override;
  // Whether the selection shows now: the control has the focus or HideSelection is off.
  bool SelectionShows() const;

  // --- events ---
  TOGLItemEvent OnInitItem;
  TOGLItemEvent OnFreeItem;
  std::function<void(TSectionGroupedList* Sender, POGLItem Item, std::string& Caption)>
      OnGetCaption;
  TOGLItemEvent OnExpandItem;
  TOGLItemEvent OnCollapsItem;
  std::function<void(TSectionGroupedList* Sender, TCanvas& Canvas, int& ItemHeight)>
      OnGetChildItemHeight;
  TOGLItemEvent OnItemDblClick;
  // Result starts at 0; positive puts Item2 first in ascending order.
  std::function<void(TSectionGroupedList* Sender, POGLItem Item1, POGLItem Item2, int Column,
                     int& Result)>
      OnCompareItems;
  std::function<void(TSectionGroupedList* Sender, POGLItem Item, std::string& HintText,
                     TPoint& HintPos)>
      OnGetHint;
  std::function<void(TSectionGroupedList* Sender, TCanvas& Canvas, TRect Rect, POGLItem Item)>
      OnDrawItem;
  std::function<void(TSectionGroupedList* Sender, POGLItem Item, int& ImageIndex)>
      OnGetGroupImageIndex;
  TNotifyEvent OnSelectionChange;
  // Typed text that came as Unicode: characters beyond the code page, and those made
  // with dead keys or an input method.
  std::function<void(TSectionGroupedList* Sender, const std::u16string& Text)> OnUnicodeInput;
  // The hint window's size for a node's hint, and its drawing.
  std::function<void(TSectionGroupedList* Sender, POGLItem Item, TRect& HintRect)> OnGetHintSize;
  std::function<void(TSectionGroupedList* Sender, TCanvas& HintCanvas, TRect HintRect,
                     POGLItem Item)>
      OnDrawHint;
  TOGLItemMouseEvent OnItemMouseDown;
  TOGLItemMouseEvent OnItemClick;

  // --- drag and drop ---
  TOGLDragOptions DragOptions() const { return drag_options_; }
  // Taking drops starts and stops at once.
  void SetDragOptions(TOGLDragOptions Value);
  TOGLDragOperations DragOperations = doCopy;
  TDragDropMode DragDropMode = ddmNormal;
  TDragMode DragMode = dmManual;
  TOGLDragType DragType = dtOLE;
  // Largest size of the picture of the dragged nodes.
  int DragImageWidth = 350;
  int DragImageHeight = 200;
  // The group a drop would land in while a drag is over the control, else null.
  POGLItem DropTarget() const { return drop_target_; }
  // The effects a drag started here allows.
  TDropEffects AllowedEffects() const;
  // The effect the keys ask for among Allowed: Ctrl+Shift link, Ctrl copy, Alt link,
  // otherwise move; Allowed as it is when that one is not allowed.
  virtual TDropEffects DetermineDropEffect(TShiftState Shift, TDropEffects Allowed) const;
  // Each asks the owner's event; the defaults without one: no data object of the
  // owner's, no formats, no data, no drag, no drop.
  virtual std::shared_ptr<const TDataObject> DoOLEGetDataObject();
  virtual void DoOLEGetClipboardFormats(std::vector<std::string>& Formats);
  virtual bool DoOLEGetData(const std::string& Format, std::string& Bytes);
  virtual bool DoOLEDragAllowed(POGLItem Item);
  virtual bool DoOLEDragOver(const TDataObject* Data, TShiftState Shift, TPoint Pt,
                             TDragState State, TDropEffects& Effect);
  virtual void DoOLEDrop(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                         const std::vector<std::string>& Formats, TDropEffects& Effect);
  // The drop-target side; Pt in client coordinates.
  void OLEDragEnter(const TDataObject& Data, TShiftState Shift, TPoint Pt, TDropEffects& Effect);
  void OLEDragOver(TShiftState Shift, TPoint Pt, TDropEffects& Effect);
  void OLEDragLeave();
  void OLEDrop(const TDataObject& Data, TShiftState Shift, TPoint Pt, TDropEffects& Effect);

  std::function<void(TSectionGroupedList* Sender, std::shared_ptr<const TDataObject>& Data)>
      OnOLEGetDataObject;
  std::function<void(TSectionGroupedList* Sender, std::vector<std::string>& Formats)>
      OnOLEGetClipboardFormats;
  // Result starts false: set it when Bytes holds the format's data.
  std::function<void(TSectionGroupedList* Sender, const std::string& Format, std::string& Bytes,
                     bool& Result)>
      OnOLEGetData;
  std::function<void(TSectionGroupedList* Sender, POGLItem Item, bool& Allowed)> OnOLEDragAllowed;
  TOGLDragOverEvent OnOLEDragOver;
  TOGLDropEvent OnOLEDrop;
  // A dtVCL drag over the list: refused without OnDragOver; OnDragDrop takes the drop.
  virtual bool DragOver(TSectionGroupedList* Source, int X, int Y, TDragState State);
  virtual void DragDrop(TSectionGroupedList* Source, int X, int Y);
  TOGLComponentDragOverEvent OnDragOver;
  TOGLComponentDropEvent OnDragDrop;

  // --- painting ---
  // Origin: the document point drawn at the canvas's top-left corner; Height: how far
  // down the canvas is drawn.
  void PaintContents(TCanvas& Canvas, bool SelectedOnly, TPoint Origin, int Height);
  // Draws a group caption that holds markup.
  virtual void DrawHTMLCaption(TCanvas& Canvas, const std::string& Caption, TRect Rect);

  std::string ClassName() const override { return "TSectionGroupedList"; }

 protected:
  void Paint() override;
  void Resize() override;
  void FontChanged() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;
  void DblClick() override;
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void UnicodeInput(const std::u16string& Text) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  enum TState : unsigned {
    stRubberBand = 1,
    stRubberBandMoved = 2,
    stCtrlTogglePending = 4,
    stLeftButtonDown = 8,
    stRightButtonDown = 16,
    stDeselectPending = 32,
    stRangeSelect = 128,  // SelectRange runs: its selection is announced once
    stDragDetectPending = 256,
    stOLEDragging = 512,  // a drag started here runs
    stHintShown = 1024,
    stVCLDragging = 2048,   // a dtVCL drag started here runs
    stVCLDragEnded = 4096,  // the release that ends it is no item click
  };

  // Nodes lie in blocks of the list's own, and a freed node is kept for the next one:
  // a list of tens of thousands of rows that come and go (a busy station list, and its
  // stations aging out) costs an allocation per block instead of one per row, and an
  // emptied list gives its blocks back at once.
  class TNodeBlocks {
   public:
    TNodeBlocks() = default;
    TNodeBlocks(const TNodeBlocks&) = delete;
    TNodeBlocks& operator=(const TNodeBlocks&) = delete;
    ~TNodeBlocks() { Release(); }
    // Size: the same for every node while any is out (aligned for any type).
    void* Take(size_t Size);
    void Give(void* Node);

   private:
    void Release();
    std::vector<void*> blocks_;
    void* free_ = nullptr;  // the freed nodes, each holding the next one's address
    size_t size_ = 0;
    size_t unused_ = 0;  // nodes of the last block never handed out
    size_t out_ = 0;
  };
  POGLItem NewNode();
  void FreeNode(POGLItem Item);
  void Changed();
  void UpdateScrollBar();
  // Relayout now, or at the end of the batch under way.
  void CountChanged();
  void Scroll(TScrollCode Code, int Pos);
  bool Wheel(int Notches);
  int GroupTop(POGLItem Group) const;
  void LayoutFor(int Width, bool StopWhenFull);
  void MoveFocusFrom(POGLItem Item);
  // What DeleteItem and MoveItemToEnd do before the node leaves its place.
  void Release(POGLItem Item);
  void Unlink(POGLItem Item);
  void LinkAt(POGLItem Item, int At);
  void ResortSiblings(std::vector<POGLItem>& Items, int Column, TOGLSortDirection Direction,
                      POGLItem AsLast);
  // Puts a node last among Parent's children.
  void LinkLast(POGLItem Item, POGLItem Parent);
  bool HasFocus() const;
  POGLItem LastItem(POGLItem Group) const { return Group ? Group->LastChild : nullptr; }
  // Navigation helpers.
  POGLItem ColumnSlot(POGLItem Group, int Slot, bool FirstRow) const;
  POGLItem ProbeAt(int X, int Y) const;
  bool Navigate(TKeyCode Key, bool Extend, bool ClearSel, bool SelectNew, bool Ctrl);
  // Navigate's steps: whether the key would move past the first or last item, and the
  // item each kind of key moves the focus to (null: none).
  bool AtListEnd(POGLItem Focus, TKeyCode Key) const;
  // The nearest expanded group after (Forward) or before Group.
  POGLItem ExpandedSibling(POGLItem Group, bool Forward) const;
  POGLItem EndTarget(POGLItem Focus, bool Home, bool Ctrl) const;
  POGLItem LeftTarget(POGLItem Focus, bool Extend) const;
  POGLItem RightTarget(POGLItem Focus, bool Extend) const;
  POGLItem UpTarget(POGLItem Focus, bool Extend) const;
  POGLItem DownTarget(POGLItem Focus, bool Extend) const;
  POGLItem PageTarget(POGLItem Focus, bool Up);
  // Painting.
  void DrawNode(TCanvas& Canvas, TRect Rect, POGLItem Item);
  void DrawGroup(TCanvas& Canvas, TRect Rect, POGLItem Group);
  void DrawListItem(TCanvas& Canvas, TRect Rect, POGLItem Item);
  void DrawThumbnail(TCanvas& Canvas, TRect Rect, POGLItem Item);
  void DrawOwnerItem(TCanvas& Canvas, TRect Rect, POGLItem Item);
  TRect ThumbnailCaptionBox(TCanvas& Canvas, TRect Cell, const std::string& Caption) const;
  void DrawRubberBand(TCanvas& Canvas);
  TRect RubberBandRect() const;
  void EndRubberBand();
  // Deselects, recursively and last selected first, every selected node Doomed picks.
  void DeselectFromEnd(const std::function<bool(POGLItem)>& Doomed);
  void UpdateBandSelection(const TRect& OldBand, const TRect& NewBand);
  // Hints.
  friend class TOGLHintWindow;
  void ReevaluateHint(int X, int Y);
  void ForgetHint(POGLItem Item);
  int Compare(POGLItem A, POGLItem B, int Column) const;
  // Drag and drop.
  TOGLDragEngine& DragEngine();
  bool MayDrag(POGLItem Node);
  void StartDrag();
  void StartComponentDrag();
  // The nodes a drag takes, recorded when it starts; what a move deletes.
  void RecordDraggedNodes(TOGLDraggedNodes& Dragged);
  void DeleteDraggedNodes(TOGLDraggedNodes& Dragged);
  void ForgetDraggedNodes(TOGLDraggedNodes& Dragged);
  // What both drags do before and after the drag itself.
  void PrepareDrag(unsigned DragState);
  void EndDragPress();
  void MakeDragImage(TBitmap& Picture, TDragImage& Image);
  void SetDropTarget(POGLItem Group);

  TNodeBlocks nodes_;
  POGLItem root_;
  // The item ResortItem moved last: the next one often goes right behind it.
  POGLItem last_placed_ = nullptr;
  POGLItem focused_ = nullptr;
  POGLItem anchor_ = nullptr;
  TOGLSelection selected_;
  int update_count_ = 0;
  int select_nesting_ = 0;
  bool range_announced_ = false;
  int focus_column_ = 0;
  int total_height_ = 0;
  bool relayout_pending_ = false;
  int top_ = 0;
  int columns_ = 1;
  int item_height_ = 96;
  int caption_height_ = 0;
  int group_caption_top_ = 0;
  int group_item_height_ = 34;
  bool show_nodes_ = true;
  bool group_show_count_ = true;
  TColor group_color_ = clNone;
  TColor group_selection_color_ = clHighlight;
  TColor group_selection_text_color_ = clNone;
  TFont group_font_;
  TFont group_count_font_;
  TOGLSelectionOptions selection_options_ = soMultiSelect | soRightClickSelect;
  TOGLViewStyle view_style_ = vsThumbnails;
  TOGLThumbnailOptions thumbnails_;
  int sort_column_ = -1;
  TOGLSortDirection sort_direction_ = sdAscending;
  TBitmap plus_glyph_;
  TBitmap minus_glyph_;
  std::unique_ptr<TControlScrollBars> scroll_bars_;
  bool destroying_ = false;
  // Interaction.
  unsigned state_ = 0;
  TPoint band_start_;  // document coordinates
  TPoint band_current_;
  TShiftState band_shift_ = 0;
  TPoint press_point_;
  // Drag and drop.
  TOGLDragOptions drag_options_ = 0;  // the constructor sets all
  std::unique_ptr<TOGLDragEngine> drag_engine_;
  POGLItem drop_target_ = nullptr;
  bool drop_accepted_ = false;                  // by the drag now over the control
  TSectionGroupedList* drag_source_ = nullptr;  // the list of the dtVCL drag over this one
  TOGLDraggedNodes* dragged_ = nullptr;         // of the drag started here, while it runs
  // Hints: the hit the hint was made for.
  TOGLHitInfo hint_hit_;
  bool hint_hit_valid_ = false;
  TRect hint_rect_;  // document coordinates; no new hint while the mouse stays in it
  TOGLHintWindow* hint_window_ = nullptr;  // the window showing our hint, if any
};

// The list's hint window: the hint of one node, sized and drawn by the list's owner
// when it wants to, blended over what lies beneath.
class TOGLHintWindow : public THintWindow {
 public:
  TOGLHintWindow(TSectionGroupedList& List, const TOGLHitInfo& Hit);
  ~TOGLHintWindow() override;
  TRect CalcHintRect(int MaxWidth, const std::string& Hint) override;
  void ActivateHint(TRect Rect, const std::string& Hint) override;
  void ReleaseHandle() override;
  // The list is going: nothing more is asked of it.
  void Detach() { list_ = nullptr; }

  std::string ClassName() const override { return "TOGLHintWindow"; }

 protected:
  void Paint() override;

 private:
  TSectionGroupedList* list_;
  TOGLHitInfo hit_;
};

// Draws the plus or minus box of a group header.
void DrawNodeButton(TBitmap& Glyph, bool Expanded);
