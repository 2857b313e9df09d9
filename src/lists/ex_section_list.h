// The section list: rows of column texts gathered under collapsible groups, with a
// column header that sorts on a click. It wires three parts together: the grouped list
// (which keeps the nodes, scrolls, selects and paints the group rows), the header and
// the columns; every node carries one string list, a group's holding its caption, an
// item's one string per data column.
//
//   TSectionGroup* group = list->AddGroup("");
//   TStrings& row = list->AddItem(group);
//   row.Add("1"); row.Add("N0CALL");   // texts of the columns after the group column
//
// A row's strings may be replaced in place; the list repaints them and, when Sort runs
// next under the same sort settings, moves only the rows that changed.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/picture_container.h"
#include "lists/ex_section_columns.h"
#include "lists/section_grouped_list.h"
#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

class TExSectionList;
class TExSectionHeader;

// Raised for a row index outside its group: "Index out of bounds".
class ESectionListError : public Exception {
 public:
  using Exception::Exception;
};

enum TGroupColumnDisplay { gdHidden, gdVisible };
constexpr int kCheckBoxSize = 15;  // a check-box cell's box, square
enum TCheckBoxStyle { cbsClassic, cbsFlat, cbsWinXP, cbsQuillet };
enum TDragDropSetting { ddEnabled, ddDisabled };

class TSectionGroup {
 public:
  TSectionGroup(TExSectionList& List, POGLItem Node) : Node(Node), list_(List) {}
  POGLItem Node;

  int GetCount() const;
  // Index errors raise ESectionListError. Finding a row by index takes logarithmic time.
  POGLItem GetItemNode(int Index) const;
  TStrings& GetItemStrings(int Index) const;
  void DeleteItem(int Index);
  void Clear();
  bool GetExpanded() const;
  void SetExpanded(bool Value);

 private:
  TExSectionList& list_;
};

using TSectionItemEvent = std::function<void(TComponent* Sender, POGLItem Item)>;
using TSectionCellEvent = std::function<void(TComponent* Sender, POGLItem Item, int Column)>;
using TSectionAnchorEvent =
    std::function<void(TComponent* Sender, POGLItem Item, int Column, const std::string& Anchor)>;
using TSectionColumnEvent = std::function<void(TComponent* Sender, int Column)>;

class TExSectionList : public TCustomControl {
 public:
  explicit TExSectionList(TComponent* AOwner);
  ~TExSectionList() override;

  // --- rows and groups ---
  // A group lives as long as its node: deleting the node (a group dragged away with a
  // move) takes it out of Groups and frees it.
  TSectionGroup* AddGroup(const std::string& Caption);
  int GroupCount() const { return static_cast<int>(groups_.size()); }
  TSectionGroup* Groups(int Index) const { return groups_.at(static_cast<size_t>(Index)).get(); }
  // The new row's (empty) strings; nothing is repainted or sorted.
  TStrings& AddItem(TSectionGroup* Group);
  // A row deleted and added anew in one step: it loses its selection and focus as a
  // deleted row would and is sorted like a new row, after the rows equal to it. The
  // node and its strings stay; the caller puts the new texts in. In a sorted list the
  // row keeps its place until the next Sort; otherwise it goes last in its group.
  TStrings& ReAddItem(POGLItem Node);
  // The strings of any node; null for null.
  TStrings* GetNodeStrings(POGLItem Node) const;
  void SelectNode(POGLItem Node);
  void BeginUpdate() { engine_->BeginUpdate(); }
  void EndUpdate() { engine_->EndUpdate(); }
  // BeginUpdate for a scope.
  class TUpdateScope {
   public:
    explicit TUpdateScope(TExSectionList& List) : list_(List) { list_.BeginUpdate(); }
    ~TUpdateScope() { list_.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

   private:
    TExSectionList& list_;
  };

  // --- columns and header ---
  TExSectionColumns Columns;
  int GroupColumn = 0;
  TGroupColumnDisplay GroupColumnDisplay() const { return group_column_display_; }
  void SetGroupColumnDisplay(TGroupColumnDisplay Value);
  // The string index of a column's text in a row: the group column has none.
  int ColumnToStringIndex(int Column) const { return Column <= GroupColumn ? Column : Column - 1; }
  int ColumnToSection(int Column) const;
  // The shown column at a header section; -1 when there is none.
  int SectionToColumn(int Section) const;
  // Whether a column has a section in the header.
  bool ColumnShown(int Column) const;
  void UpdateHeader();
  void MoveSection(int FromSection, int ToSection);
  void ApplyHeaderStyle(int Style);
  TExSectionHeader& Header() const { return *header_; }
  TSectionGroupedList& Engine() const { return *engine_; }
  int HeaderHeight() const;
  void SetHeaderHeight(int Value);
  bool HeaderResize() const;
  void SetHeaderResize(bool Value);
  TDragDropSetting HeaderDragDrop() const { return header_drag_drop_; }
  void SetHeaderDragDrop(TDragDropSetting Value);

  // --- look ---
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* Value);
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int Value);
  int GroupItemHeight() const { return engine_->GroupItemHeight(); }
  void SetGroupItemHeight(int Value) { engine_->SetGroupItemHeight(Value); }
  bool GroupShowCount() const { return engine_->GroupShowCount(); }
  void SetGroupShowCount(bool Value) { engine_->SetGroupShowCount(Value); }
  bool ShowNodes() const { return engine_->ShowNodes(); }
  void SetShowNodes(bool Value) { engine_->SetShowNodes(Value); }
  bool HideSelection() const { return engine_->HideSelection; }
  void SetHideSelection(bool Value);
  TOGLSelectionOptions SelectionOptions() const { return engine_->SelectionOptions(); }
  void SetSelectionOptions(TOGLSelectionOptions Value) { engine_->SetSelectionOptions(Value); }
  TColor SelectionColor() const { return engine_->SelectionColor; }
  void SetSelectionColor(TColor Value);
  TColor SelectionTextColor = clHighlightText;
  TColor ColumnLineColor = clSilver;
  TColor HeaderBorderColor = clSilver;
  TColor BorderColor = clGray;
  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle Value);
  TCheckBoxStyle CheckBoxStyle = cbsWinXP;
  TFont& GroupFont() { return engine_->GroupFont(); }
  TFont& GroupCountFont() { return engine_->GroupCountFont(); }
  TURLSettings URLSettings;
  TProgressAppearance ProgressAppearance;
  TPreviewSetting PreviewSettings;
  TSortSettings SortSettings;
  TLookUpSettings LookUp;
  // ddDisabled: rows are neither dragged out nor dropped in.
  TDragDropSetting DragDropSetting = ddEnabled;
  TDragDropMode DragDropMode() const { return engine_->DragDropMode; }
  void SetDragDropMode(TDragDropMode Value) { engine_->DragDropMode = Value; }
  // dtVCL drags rows to lists of this program only, which copy them (OnDragDrop).
  TOGLDragType DragType() const { return engine_->DragType; }
  void SetDragType(TOGLDragType Value) { engine_->DragType = Value; }
  // Repaints rows and header after a change of the look fields above.
  void Changed();

  // --- sorting and look-up ---
  // Sorts every group's rows by SortSettings. Under unchanged settings only the rows
  // changed since the last sort are moved.
  void Sort();
  bool Sorting() const { return sorting_; }
  // Text: the characters typed, in any script.
  void LookUpItem(std::u16string_view Text, int Column);
  const std::u16string& LookUpText() const { return look_up_text_; }

  // --- cell geometry ---
  // The cell of a column in a row rectangle; empty for a column without a cell.
  TRect GetCellRect(const TRect& RowRect, int Column) const;
  // The column whose cell holds the point, -1 when none; Cell receives the cell.
  int ColumnAtPoint(const TRect& RowRect, int X, int Y, TRect& Cell) const;
  bool PointOnURLText(POGLItem Item, int Column, TPoint Pt, const TRect& CellRect);
  // The text of a cell, empty when the row holds none for the column.
  std::string CellText(POGLItem Item, int Column) const;

  // Draws (or with HitTest only measures) a cell's markup; true with the link's target
  // in Anchor when Mouse (engine coordinates) lies on a link.
  // HoverLink: the 1-based number of the link the mouse is over, or -1; MouseLink
  // receives the number of the link under Mouse, or -1.
  virtual bool DrawHtml(TCanvas& Canvas, const std::string& Text, const TRect& Rect,
                        TColor LinkColor, bool HitTest, TPoint Mouse, int HoverLink,
                        std::string& Anchor, int& MouseLink);
  // The link target under a point of a cell's markup, empty when none.
  std::string AnchorAtPoint(int X, int Y, const TRect& CellRect, const std::string& Value,
                            int Column);
  // Links in markup cells: with AnchorHover only the link under the mouse is underlined
  // and takes the hover colours (clNone leaves a colour as it is); without it every link
  // is underlined.
  bool AnchorHover = false;
  TColor AnchorHoverColor = clNone;
  TColor AnchorHoverFontColor = clNone;
  // Named pictures for "<IMG>" in cells; not owned.
  TPictureContainer* PictureContainer = nullptr;

  // --- events ---
  TSectionCellEvent OnItemClick;
  TSectionCellEvent OnItemRightClick;
  TSectionItemEvent OnItemDblClick;
  TSectionItemEvent OnGroupClick;
  TSectionItemEvent OnGroupRightClick;
  TSectionItemEvent OnGroupDblClick;
  TSectionItemEvent OnGroupExpand;
  TSectionItemEvent OnGroupCollaps;
  std::function<void(TComponent* Sender, POGLItem Item, int Column, const std::string& URL,
                     bool& Default)>
      OnURLClick;
  std::function<void(TComponent* Sender, POGLItem Item, int Column, bool NewValue)> OnCheckBoxClick;
  TSectionAnchorEvent OnAnchorClick;
  TSectionAnchorEvent OnAnchorEnter;
  TSectionAnchorEvent OnAnchorExit;
  std::function<void(TComponent* Sender, POGLItem Item, std::string& Caption)> OnGetCaption;
  std::function<void(TComponent* Sender, POGLItem Item, int Column, std::string& HintText)>
      OnGetItemHint;
  std::function<void(TComponent* Sender, POGLItem Item, std::string& HintText)> OnGetGroupHint;
  TNotifyEvent OnSelectionChange;
  TSectionColumnEvent OnSorted;
  std::function<void(TComponent* Sender, POGLItem Item1, POGLItem Item2, int Column,
                     const std::string& Value1, const std::string& Value2, int& SortResult)>
      OnCustomCompare;
  std::function<void(TComponent* Sender, POGLItem Item, int Column, const std::string& Value,
                     TCanvas& Canvas, TRect Rect)>
      OnDrawItem;
  std::function<void(TComponent* Sender, POGLItem Item, int Column, const std::string& Value,
                     TBrush& Brush, TFont& Font)>
      OnDrawItemProp;
  std::function<void(TComponent* Sender, POGLItem Item, int Column, std::string& Value)>
      OnDrawItemValue;
  TSectionColumnEvent OnHeaderClick;
  TSectionColumnEvent OnHeaderRightClick;
  TSectionColumnEvent OnHeaderDblClick;
  std::function<void(TComponent* Sender, int FromColumn, int ToColumn)> OnHeaderDragDrop;
  std::function<void(TComponent* Sender, int Column, int Width)> OnHeaderResized;
  // Drag and drop; each replaces the list's own handling when assigned. By default rows
  // are dragged out as a "FileGroupDescriptor" of their strings, and a drop of files
  // (text/uri-list) or of such rows adds rows to the group under the pointer.
  std::function<void(TComponent* Sender, POGLItem Item, bool& Allowed)> OnOLEDragAllowed;
  std::function<void(TComponent* Sender, const TDataObject* Data, TShiftState Shift, TPoint Pt,
                     TDragState State, TDropEffects& Effect, bool& Accept)>
      OnOLEDragOver;
  std::function<void(TComponent* Sender, const TDataObject& Data, TShiftState Shift, TPoint Pt,
                     const std::vector<std::string>& Formats, TDropEffects& Effect)>
      OnOLEDrop;
  std::function<void(TComponent* Sender, const std::string& Format, std::string& Bytes,
                     bool& Result)>
      OnOLEGetData;
  std::function<void(TComponent* Sender, std::vector<std::string>& Formats)>
      OnOLEGetClipboardFormats;
  // A row about to be dragged out: Strings is what goes, a copy of the row's.
  std::function<void(TComponent* Sender, POGLItem Item, TStrings& Strings)> OnOLEGetItemData;
  // A row that arrived with a drop, its strings set.
  std::function<void(TComponent* Sender, TStrings& Strings)> OnOLEItemDrop;
  // A dtVCL drag from Source (a grouped list, the engine of a section list for one):
  // by default any other list is accepted and its selected rows are copied in, under
  // groups of the same captions.
  std::function<void(TComponent* Sender, TComponent* Source, int X, int Y, TDragState State,
                     bool& Accept)>
      OnDragOver;
  std::function<void(TComponent* Sender, TComponent* Source, int X, int Y)> OnDragDrop;

  std::string ClassName() const override { return "TExSectionList"; }

 protected:
  void Paint() override;
  void AlignControls(TRect& Area) override;
  void ColorChanged() override;
  void DoEnter() override;

 private:
  friend class TSectionGroup;
  friend class TExSectionHeader;

  // A node's data block: its strings, and its place among the values of a running sort.
  // The strings of a node that goes are kept for the next node: tens of thousands of
  // rows going at once (a list emptied) would otherwise free every cell one by one, and
  // the rows that follow allocate them again.
  struct TRowData {
    std::unique_ptr<TStringList> Strings;
    int SortSlot = 0;
  };
  TStringList* RowOf(POGLItem Node) const;
  TRowData& DataOf(POGLItem Node) const;
  // The strings for a new node: kept ones emptied, else new.
  std::unique_ptr<TStringList> TakeRowStrings();
  // Each row's value in Column, for a whole sort.
  void TakeSortKeys(int Column);
  void RowChanged(POGLItem Node);
  void PreviewChanged();
  void UpdateSectionIndexes();
  int Compare(POGLItem A, POGLItem B) const;
  TSortType SortValues(POGLItem A, POGLItem B, std::string_view& AValue,
                       std::string_view& BValue) const;
  int CustomCompare(POGLItem A, POGLItem B, std::string_view AValue, std::string_view BValue) const;
  void HeaderSized(int Section, int Width);
  void HeaderClicked(int Section);
  void PaintHeader(TCanvas& Canvas);
  // PaintHeader's steps.
  void FillHeaderSection(TCanvas& Canvas, TRect& R, TExSectionColumn& Column, bool Last);
  void PaintHeaderCaption(TCanvas& Canvas, const TRect& R, int Column, TExSectionColumn& ColumnItem,
                          const TRect& Area);
  void DrawHeaderImage(TCanvas& Canvas, const TRect& R, TRect& TextRect, TExSectionColumn& Column,
                       const std::string& Text);
  void DrawSortMark(TCanvas& Canvas, int X, int Y);
  // Engine notifications.
  void DrawRow(TCanvas& Canvas, TRect Rect, POGLItem Item);
  void DrawCell(TCanvas& Canvas, const TRect& Row, POGLItem Item, int Column);
  // DrawCell's steps.
  void PaintCellBackground(TCanvas& Canvas, const TRect& Cell, POGLItem Item, int Column,
                           std::string& Value, bool Preview);
  void DrawColumnLine(TCanvas& Canvas, const TRect& Cell, const TExSectionColumn& Column,
                      bool Preview);
  void DrawCellText(TCanvas& Canvas, const TRect& Cell, POGLItem Item, int Column,
                    const std::string& Value, bool Preview);
  static int AlignedLeft(const TRect& Cell, TAlignment Alignment, int Width);
  void ItemClick(TMouseButton Button, int X, int Y, TOGLHitInfo& Hit);
  void EngineMouseMove(int X, int Y);
  void SetHoveredAnchor(POGLItem Item, int Column, int Anchor);
  void EngineKeyDown(TKeyCode& Key, TShiftState Shift);
  void EngineKeyPress(char& Key);
  // Characters typed into the list, looked up in its look-up column.
  void LookUpTyped(std::u16string_view Typed);
  void GetHint(POGLItem Item, std::string& Text, TPoint& Pos);
  void ToggleCheckBox(POGLItem Item, int Column);
  // Dragging rows out and dropping rows and files in.
  // The constructor's steps: the engine's events wired to the list.
  void WireRows();
  void WireItemEvents();
  void WireInput();
  void WireDragDrop();
  std::string DraggedRows();
  // Answers in Effect what the drop did: copy for files (they stay where they are, the
  // rows only name them), the offered effect for rows, none when no row came of it.
  void DropRows(const TDataObject& Data, TDropEffects& Effect);
  // The selected rows of another list, copied in under groups of their captions.
  void CopySelectedRows(TSectionGroupedList& Source);
  TSectionGroup* GroupOfNode(POGLItem Node) const;

  TSectionGroupedList* engine_;
  TExSectionHeader* header_;
  std::vector<std::unique_ptr<TSectionGroup>> groups_;
  TImageList* images_ = nullptr;
  int item_height_ = 20;
  TGroupColumnDisplay group_column_display_ = gdHidden;
  TDragDropSetting header_drag_drop_ = ddEnabled;
  TBorderStyle border_style_ = bsSingle;
  int preview_column_removed_ = -1;
  int hint_column_ = -1;
  bool sorting_ = false;
  std::u16string look_up_text_;
  // The order the rows are in: the settings of the last sort, and the rows changed since.
  bool order_valid_ = false;
  int order_column_ = -1;
  TOGLSortDirection order_direction_ = sdAscending;
  std::vector<POGLItem> changed_rows_;
  // Strings of rows gone, for the rows to come; never more than the list held at once.
  std::vector<std::unique_ptr<TStringList>> spare_strings_;
  // The row re-added in place, which the next Sort puts after its equals.
  POGLItem readded_ = nullptr;
  std::vector<std::string> sort_keys_;
  bool hand_cursor_ = false;
  std::string last_anchor_;  // the link the mouse is over
  // The link the mouse is over: its number in the cell's markup (-1 none), and the cell.
  int hovered_anchor_ = -1;
  int point_anchor_ = -1;  // the link found by the last AnchorAtPoint
  int previous_hovered_anchor_ = -1;
  POGLItem hovered_item_ = nullptr;
  int hovered_column_ = -1;
  TPoint mouse_;  // where the mouse last moved over the rows
  THTMLPictureCache picture_cache_;
};

// Drawing routines of the cells, for owner drawing too.
void DrawCheckBox(TCanvas& Canvas, const TRect& Rect, bool Checked, TCheckBoxStyle Style,
                  TColor Color, bool Enabled);
// Position is clamped to 0..100 for the bar; the text shows it as given.
void DrawProgress(TCanvas& Canvas, TRect Rect, int Position, bool Classic,
                  const TProgressAppearance& Appearance);
void DrawProgressBar(TCanvas& Canvas, TRect Rect, int Position,
                     const TProgressAppearance& Appearance, TColor Background, bool Vertical);

// The column header: one section per shown column, in screen order.
class TExSectionHeader : public TCustomControl {
 public:
  explicit TExSectionHeader(TExSectionList& List);

  int SectionCount() const { return static_cast<int>(widths_.size()); }
  int SectionWidth(int Section) const;
  void SetSectionWidth(int Section, int Width);
  void ClearSections() { widths_.clear(); }
  void AddSection(int Width) { widths_.push_back(Width); }
  void DeleteSection(int Section);
  // The section under X, -1 right of the last.
  int SectionAt(int X) const;
  bool SectionDragDrop = true;
  bool AllowResize = true;

  std::string ClassName() const override { return "TExSectionHeader"; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;

 private:
  // The section whose right edge lies within 3 pixels of X, -1 when none.
  int EdgeAt(int X) const;
  int SectionLeft(int Section) const;

  TExSectionList& list_;
  std::vector<int> widths_;
  int pressed_ = -1;
  TPoint press_;
  bool dragging_ = false;
  int sizing_ = -1;  // the section whose right edge is being dragged
  int hint_section_ = -1;
};
