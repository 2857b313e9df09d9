// A table in a document: one item (kind -60) that takes a whole line, whose content is
// a grid of cells (table_rows.h), each cell a document of its own (table_cell.h).
//
// The table lays itself out for the width its document gives it (table_layout.cpp),
// paints its background, rules, borders and cells (table_paint.cpp), stores itself in
// document files as one record holding a component stream (table_rdf.cpp) and writes
// itself as HTML and as text (table_html.cpp). Documents create tables for kind -60
// once RegisterTableItemClass has run.
//
// Example: a 1 x 1 table with default properties in a document 500 pixels wide is 500
// pixels wide; its column gets 494 pixels of content and its cell, 496 wide, starts at
// x = 2.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "richtext/base/style_types.h"
#include "richtext/model/nontext_items.h"
#include "richtext_edit/edit/inplace_editor_host.h"
#include "richtext_edit/edit/named_properties.h"
#include "richtext_edit/tables/table_rows.h"

class TControl;
class TGraphic;
class TRDEditRDData;
class TRDTableInplaceEdit;
class TRDTablePrintLine;
class TRDTableUndoRecorder;
class TRDTableItemInfo;
class TRDTableStreamSaveInfo;

using TRDCellEditingEvent = std::function<void(TRDTableItemInfo* sender, int row, int col,
                                               bool automatic, bool& allowEdit)>;
using TRDCellEndEditEvent =
    std::function<void(TRDTableItemInfo* sender, int row, int col, bool clearing)>;
using TRDTableDrawBorderEvent = std::function<void(
    TRDTableItemInfo* sender, TRDCanvas& canvas, int left, int top, int right, int bottom,
    int width, TColor lightColor, TColor color, TColor backgroundColor, TRDTableBorderStyle style,
    bool printing, const TRDBooleanRect* visibleBorders, int row, int col, bool& doDefault)>;

// The document HTML writer's save option that puts cell sizes into CSS (with the CSS
// writer) instead of width and height attributes.
constexpr TRDSaveOptions rdsoCSSCellSizes = 1 << 15;

// State flags of a table.
using TRDTableStates = std::uint16_t;
constexpr TRDTableStates rdtsInDocument = 1 << 0;
constexpr TRDTableStates rdtsInEditor = 1 << 1;
constexpr TRDTableStates rdtsLayoutInvalid = 1 << 2;
constexpr TRDTableStates rdtsPaddingChanged = 1 << 3;
constexpr TRDTableStates rdtsColumnResizing = 1 << 4;
constexpr TRDTableStates rdtsResizeWithShift = 1 << 5;
constexpr TRDTableStates rdtsNewlyCreated = 1 << 6;
constexpr TRDTableStates rdtsEditorResizing = 1 << 7;
constexpr TRDTableStates rdtsCellsSelected = 1 << 8;

// The cell editor's place, kept while the editor is closed for a new layout so that it
// opens again where it was.
struct TRDTableEditorState {
  bool Valid = false;
  int Row = -1, Col = -1;
  int StartItemNo = -1, StartOffs = 0, EndItemNo = -1, EndOffs = 0;
  int VScrollPos = 0;
};

// The mouse cursors over the table's left edge (selects a row) and top edge (a column).
constexpr TCursor crRDSelectRow = 104;
constexpr TCursor crRDSelectCol = 105;
// Gives the two their pictures, a black arrow pointing right at a row and down at a
// column; tables do it when they are made.
void LoadTableSelectionCursors();

// A cell's document laid out for another device (a printer): the layout places it in
// its box and sizes the rows by it instead of by the cell itself.
class TRDTableCellLayout {
 public:
  virtual ~TRDTableCellLayout() = default;
  // The cell's box in the table, device pixels, set by the layout.
  int BoxLeft = 0;
  int BoxTop = 0;
  int BoxWidth = 0;
  int BoxHeight = 0;
  // Lays the document out for a content width; ContentHeight is its height then.
  virtual void FormatForWidth(int width, TRDCanvas& canvas) = 0;
  virtual int ContentHeight() const = 0;
};

// The table's current layout: column widths and starts, row heights and starts (relative
// to the table's top-left corner) and the table's size.
class TRDTableItemFormattingInfo {
 public:
  TRDIntegerList ColWidths;
  TRDIntegerList RowHeights;
  TRDIntegerList ColStarts;
  TRDIntegerList RowStarts;
  int Width = 0;
  int Height = 0;
  // Only in a layout for another device: a cell document per slot (row * column count +
  // column; none for empty slots). Clear keeps them.
  std::vector<std::unique_ptr<TRDTableCellLayout>> Cells;
  void Clear();
  TRDTableCellLayout* CellLayout(int row, int col, int colCount) const {
    const size_t index = size_t(row) * size_t(colCount) + size_t(col);
    return index < Cells.size() ? Cells[index].get() : nullptr;
  }
};

// A place in a walk over a table's cells.
class TRDTableStoreSubRDData : public TRDStoreSubRDData {
 public:
  TRDTableStoreSubRDData(int row, int col) : row_(row), col_(col) {}
  int GetRow() const override { return row_; }
  int GetCol() const override { return col_; }
  std::unique_ptr<TRDTableStoreSubRDData> Duplicate() const {
    return std::make_unique<TRDTableStoreSubRDData>(row_, col_);
  }
  // Reading order: below 0 when this place comes before other, 0 for the same cell.
  int Compare(const TRDTableStoreSubRDData& other) const {
    return row_ != other.row_ ? row_ - other.row_ : col_ - other.col_;
  }

 private:
  int row_;
  int col_;
};

// A word of a table cell found by the table's walk over its words: the cell, the text
// item and the word's characters (Start 1-based).
struct TRDTableWord {
  TRDTableCellData* Cell = nullptr;
  int ItemNo = -1;
  int Start = 0;
  int Length = 0;
};

// Whether Tab in the last cell of a table appends a row (program-wide).
inline bool TableTabAddsRows = true;

class TRDTableItemInfo : public TRDFullLineItemInfo,
                         public TRDNamedProperties,
                         public TRDInplaceEditorHost {
 public:
  // A 1 x 1 table.
  explicit TRDTableItemInfo(TCustomRDData* rdData);
  TRDTableItemInfo(int rowCount, int colCount, TCustomRDData* rdData);
  ~TRDTableItemInfo() override;

  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;

  TRDTableStates State = 0;
  std::unique_ptr<TRDTableRows> Rows;
  std::unique_ptr<TRDTableItemFormattingInfo> FormattingInfo;
  // Set only while the table is measured or laid out for another device.
  const TRDResolution* DeviceInfo = nullptr;
  // Where the table was last painted, so that its cells know their absolute place.
  int OriginX = 0;
  int OriginY = 0;
  // The cell selection: anchor cell and signed extent.
  int SelStartCol = -1;
  int SelStartRow = -1;
  int SelColOffs = 0;
  int SelRowOffs = 0;
  int BusyCount = 0;
  int IterRow = -1;
  int IterCol = -1;
  int ChosenRow = -1;
  int ChosenCol = -1;
  // The part of the table a save writes (none: all of it).
  TRDTableStreamSaveInfo* SaveInfo = nullptr;
  // The mouse (table_mouse.cpp): a cell selection being dragged, a border being dragged
  // (index, the bounds of the resize line relative to the table, -1 none, where the drag
  // started and the border's distance from there), where the table lay when it took
  // the mouse, and the cell of the last hit test.
  bool MouseCaptured = false;
  int ResizeIndex = -1;
  int ResizeMinPos = -1;
  int ResizeMaxPos = -1;
  int ResizeStart = 0;
  int ResizeOffset = 0;
  int CaptureLeft = 0;
  int CaptureTop = 0;
  int LastHitRow = -1;
  int LastHitCol = -1;
  // The cell editor when one is open (table_cell_editor.cpp).
  TRDTableInplaceEdit* InplaceEditor = nullptr;
  TRDTableEditorState EditorState;
  int EditorMinWidth = 0;
  int TableMinWidth = 0;

  // Published properties, read directly; written through the setters below.
  TRDTableOptions Options =
      rdtoEditing | rdtoRowSizing | rdtoColSizing | rdtoRowSelect | rdtoColSelect;
  TRDTablePrintOptions PrintOptions = rdtoHalftoneBorders | rdtoRowsSplit;
  std::string TextRowSeparator = "\r\n";
  std::string TextColSeparator = "\r\n";
  TRDCellEditingEvent OnCellEditing;
  TRDCellEndEditEvent OnCellEndEdit;
  TRDTableDrawBorderEvent OnDrawBorder;

  // The most a rule's width may be, in pixels.
  static constexpr int kMaxLength = kMaxPageLength;
  // The most a length between a cell's text and the next may be, either way, in pixels
  // (half an inch): a cell's padding, the spacing between cells and around them, and the
  // table's and the cells' borders. A row of a few cells that far from their text still
  // fits on paper, its text with it.
  static constexpr int kMaxCellGap = 48;
  // The most the table's BestWidth may be, either way (pixels, or a percentage negated):
  // what a table's record in a document file holds, so that every width set reads back.
  static constexpr int kMaxBestWidth = 32767;

  TRDHTMLLength BestWidth() const { return best_width_; }
  TColor Color() const { return color_; }
  int HeadingRowCount() const { return heading_row_count_; }
  int BorderWidth() const { return border_width_; }
  TColor BorderColor() const { return border_color_; }
  TColor BorderLightColor() const { return border_light_color_; }
  TRDTableBorderStyle BorderStyle() const { return border_style_; }
  int BorderVSpacing() const { return border_v_spacing_; }
  int BorderHSpacing() const { return border_h_spacing_; }
  const TRDBooleanRect& VisibleBorders() const { return visible_borders_; }
  int CellBorderWidth() const { return cell_border_width_; }
  TColor CellBorderColor() const { return cell_border_color_; }
  TColor CellBorderLightColor() const { return cell_border_light_color_; }
  int CellPadding() const { return cell_padding_; }
  TRDTableBorderStyle CellBorderStyle() const { return cell_border_style_; }
  int VRuleWidth() const { return v_rule_width_; }
  TColor VRuleColor() const { return v_rule_color_; }
  int HRuleWidth() const { return h_rule_width_; }
  TColor HRuleColor() const { return h_rule_color_; }
  int CellVSpacing() const { return cell_v_spacing_; }
  int CellHSpacing() const { return cell_h_spacing_; }
  bool VOutermostRule() const { return v_outermost_rule_; }
  bool HOutermostRule() const { return h_outermost_rule_; }
  const std::string& BackgroundImageFileName() const { return background_image_file_name_; }

  void SetBestWidth(TRDHTMLLength value);
  void SetColor(TColor value);
  void SetHeadingRowCount(int value);
  void SetBorderWidth(int value);
  void SetBorderColor(TColor value);
  void SetBorderLightColor(TColor value);
  void SetBorderStyle(TRDTableBorderStyle value);
  void SetBorderVSpacing(int value);
  void SetBorderHSpacing(int value);
  void SetVisibleBorders(const TRDBooleanRect& value);
  void SetCellBorderWidth(int value);
  void SetCellBorderColor(TColor value);
  void SetCellBorderLightColor(TColor value);
  void SetCellPadding(int value);
  void SetCellBorderStyle(TRDTableBorderStyle value);
  void SetVRuleWidth(int value);
  void SetVRuleColor(TColor value);
  void SetHRuleWidth(int value);
  void SetHRuleColor(TColor value);
  void SetCellVSpacing(int value);
  void SetCellHSpacing(int value);
  void SetVOutermostRule(bool value);
  void SetHOutermostRule(bool value);
  void SetBackgroundImageFileName(const std::string& value) { background_image_file_name_ = value; }

  // The published integer-valued properties (colours, Booleans, enumerations) by name.
  const TRDPropertyTable& GetPropertyTable() const override;
  // Around a property assigned for an undo record: the setter then stores directly.
  void BeforeUndoChangeProperty() override;
  void AfterUndoChangeProperty() override;

  // Properties of the cell at (row, col), recorded for undo inside an editor; itemNo -1
  // is the table's own item number.
  void SetCellIntProperty(int itemNo, const std::string& name, bool affectsWidth,
                          bool affectsLayout, int row, int col, int value);
  void SetCellStrProperty(int itemNo, const std::string& name, int row, int col,
                          const std::string& value);
  // Inside an editor each of these is an undo step of its own (or part of the undo group
  // open), after what the cell editor recorded.
  void SetCellBestWidth(TRDHTMLLength value, int row, int col);
  void SetCellBestHeight(int value, int row, int col);
  void SetCellBackgroundImageFileName(const std::string& value, int row, int col);
  void SetCellHint(const std::string& value, int row, int col);
  // The same inside an operation that has begun its undo step.
  void SetCellBestWidth(int itemNo, TRDHTMLLength value, int row, int col);
  void SetCellBestHeight(int itemNo, int value, int row, int col);
  // Row -1: the table's own sides / picture. itemNo -1 begins an undo step of its own.
  void SetCellVisibleBorders(int itemNo, int row, int col, bool left, bool top, bool right,
                             bool bottom);
  void SetCellBackgroundImage(const TGraphic* picture, int row, int col);
  void SetCellBackgroundImageOwned(int itemNo, int row, int col, std::unique_ptr<TGraphic> picture);
  // The look of source (and with copySizes its sizes divided) given to the cell.
  void AssignCellAttributes(int itemNo, int row, int col, const TRDTableCellData& source,
                            bool copySizes, int widthDivisor, int heightDivisor);

  // Background.
  TRDBackground* GetTableBackground() const { return background_.get(); }
  // The cell whose editor is cut short (taller than the room it has): drawn hatched.
  const TRDTableCellData* HatchedCell = nullptr;
  const TGraphic* GetBackgroundImage() const;
  void SetBackgroundImage(const TGraphic* picture);
  // The picture stored as it is, with no undo (reading, and undo itself).
  void AssignBackgroundImage(const TGraphic* picture);
  TRDItemBackgroundStyle GetBackgroundStyle() const;
  void SetBackgroundStyle(TRDItemBackgroundStyle value);

  // Access.
  TRDTableCellData* Cells(int row, int col) const;
  // The left edge of a cell of column col in the screen layout (0 before there is one).
  int CellLeft(int col) const;
  // The object just made for the plain cell at (row, col) takes the cell's place in the
  // layout and in the cell selection.
  void CellMade(int row, int col);
  // The cell painted at (row, col): its object, or the grid's stand-in placed in the slot
  // of a plain cell; nullptr for a covered slot.
  TRDTableCellData* CellToPaint(int row, int col);
  // The cell at (row, col) for a setter: "Invalid row or column index" (ERichDocError)
  // for a slot out of the grid or covered by a merged cell.
  TRDTableCellData& CellToSet(int row, int col) const;
  int RowCount() const { return Rows->Count(); }
  int ColCount() const { return Rows->GetColCount(); }
  bool CanEditCell(int row, int col, bool automatic);
  TCustomRDData* GetDocument() const { return Rows ? Rows->MainRDData : nullptr; }
  int GetMyItemNo() const;
  void MarkChanged() {
    State |= rdtsLayoutInvalid;
    min_width_ = -1;
    // A change other than the edit a column is being measured again for may change what
    // the cells ask.
    if (remeasured_column_ < 0) cell_requests_.Valid = false;
  }
  void BeginBusy() { ++BusyCount; }
  void EndBusy() { --BusyCount; }

  // Lengths of the table scaled to the device being laid out for (identity on screen).
  int ScaleX(int v) const;
  int ScaleY(int v) const;

  // Colours.
  TColor GetCellColor(const TRDTableCellData& cell) const;
  TColor GetTableColor(bool useDocumentColor) const;
  bool IsCellTransparent(const TRDTableCellData& cell) const;

  // Row groups (rows joined by cells spanning several rows).
  bool IsRowGroupEnd(int row) const;
  int GetRowGroupEnd(int row) const;
  int GetRowGroupStart(int row) const;
  bool HeadingRowsComplete() const;
  bool HasPageBreakRows(int firstRow, int lastRow) const;

  // Editing queries.
  bool IsInEditor() const { return (State & rdtsInEditor) != 0; }
  // The editable data the table lies in, or nullptr.
  TRDEditRDData* EditData() const;
  bool IsUndoEnabled() const;
  int GetEditorItemNo() const;
  bool IsInsideSelection() const;

  // Hit-testing, cell selection and the mouse (table_mouse.cpp). Points are relative to
  // the table's top-left corner.
  bool GetCellAt(int x, int y, int& row, int& col) const;
  bool GetCellAtCached(int x, int y, int& row, int& col);
  int GetColAt(int x) const;
  int GetRowAt(int y) const;
  // The border under x (y): 0 the left (top) edge, ColCount (RowCount) the right (bottom)
  // edge, c the border before column (row) c; -1 none. minPos: where the column (row)
  // before the border starts, -1 for the first border; pos: the border's position.
  int GetColBorderAt(int x, int& minPos, int& pos) const;
  int GetRowBorderAt(int y, int& minPos, int& pos) const;
  bool IsCellSelected(int row, int col) const;
  // The cell's selection flag (of a plain cell, whether it is selected now).
  bool CellInSelection(int row, int col) const;
  void Select(int startRow, int startCol, int colOffs, int rowOffs);
  void SelectCols(int startCol, int count);
  void SelectRows(int startRow, int count);
  // Anchors a cell selection at the cell and takes the mouse; false when the document or
  // the table allows no selection of cells.
  bool SelectCell(int row, int col);
  void Deselect();
  void UpdateCellSelectionFlags();
  // Selected cells are the document's selection, dropped with it.
  bool HasPartialSelection() const override { return (State & rdtsCellsSelected) != 0; }
  void DeselectPartial() override { Deselect(); }
  // An editor's caret goes just after the table while its cells are selected.
  void PlaceCaretAfterCells();
  // The selected cells as a table of their own (table_selected_part.cpp), as the document
  // file record of the selection holds them, its columns as wide as here.
  std::unique_ptr<TCustomRDItemInfo> CreateSelectedPart() const override;
  // The selected rectangle (the edited cell with includeEditedCell when nothing is
  // selected), merged cells at the corners included; the save variant also takes in
  // every merged cell that crosses the rectangle's edges.
  bool GetNormalizedSelectionBounds(bool includeEditedCell, int& topRow, int& leftCol,
                                    int& colCount, int& rowCount);
  bool GetSelectionBoundsForSave(int& topRow, int& leftCol, int& colCount, int& rowCount);
  bool MouseMove(TShiftState shift, int x, int y, int itemNo, TCustomRDData* rdData) override;
  bool MouseDown(TMouseButton button, TShiftState shift, int x, int y, int itemNo,
                 TCustomRDData* rdData) override;
  bool MouseUp(TMouseButton button, TShiftState shift, int x, int y, int itemNo,
               TCustomRDData* rdData) override;
  // A border drag's result: the column (row) before the border gets newSize from its
  // start to the border; with shiftDrag the next column keeps its width.
  void ApplyColResize(int col, int newSize, bool shiftDrag);
  void ApplyRowResize(int row, int newSize);

  // The cell editor (table_cell_editor.cpp): opened over a cell with the cell's items,
  // closed with them moved back and its undo steps handed to the document.
  TCustomRichDocEdit* GetInplaceEditor() const override;
  void CloseInplaceEditor() override;
  bool OpenCellEditor(int row, int col, bool automatic, bool byMouse, bool caretAtEnd,
                      bool caretAtStart, bool hyperlinkMode);
  // Opens the cell's editor; a table inside a cell of another table opens that cell
  // first ("Internal error" when it is not found there).
  void EditCell(int row, int col, bool automatic);
  // Where the cell lies in this table; false (-1, -1) when it is not one of its cells.
  bool GetCellPosition(const TRDTableCellData& cell, int& row, int& col) const;
  // The cells' links (the edited cell's in its editor) numbered from jumpNo on, in
  // reading order.
  void BuildJumps(int& jumpNo) override;
  // The cells one after another (table_sub_documents.cpp): kind 0 the first cell, 1 the
  // last, 2 and 3 the end and the start of the cell selection (the chosen cell without
  // one), 4 the next and 5 the previous cell after position; position then holds the
  // cell returned. nullptr, position kept, when there is none.
  TCustomRDData* GetSubDocument(std::unique_ptr<TRDStoreSubRDData>& position, int kind);
  // The cell becomes the document's active part: an editor opens it with the selection
  // it had, another document keeps the selection in it. Unchoosing closes the editor or
  // removes the cell's selection.
  void ChooseCell(int row, int col);
  void UnchooseCell();
  // The next word of the cells in reading order (backwards without forward), from where
  // the last call stopped; false, and the walk ended, after the last.
  bool GetNextWord(bool forward, TRDTableWord& word);
  void StopWordIteration();
  // The cell holding item (also inside a table of its own) and the number of its item
  // that does; false (all -1) when none.
  bool FindCellOfData(const TCustomRDItemInfo* item, int& row, int& col, int& itemNo) const;
  bool OwnsControl(const TControl* control) const;
  bool IsInplaceEditorControl(const TControl* control) const;
  // The top of row index in the layout; the table's height past the last row.
  int GetRowTop(int index) const;
  // The table going to the undo list takes the items of its cells along.
  void MovingToUndoList(int itemNo, TCustomRDData* rdData) override;
  void MovingFromUndoList(int itemNo, TCustomRDData* rdData) override;
  bool EnterTable(int direction, int x) override;
  void DestroyInplaceEditor(bool storeContent);
  void EndCellEditing(bool forced);
  // The cell editor's undo and redo steps into the document's lists, one record each.
  void FlushEditorUndo(bool editorClosing);
  void MergeEditorUndo(TCustomRDData* rdData) override;
  void SaveEditorForReformat();
  void RestoreEditorAfterReformat();
  TRDTableInplaceEdit* GetEditedCell(int& row, int& col) const;
  // The table's top-left corner in its document's client coordinates: the cell editor
  // follows (table_editor_bounds.cpp).
  void MoveToPosition(int x, int y, bool refresh) override;
  // The cell editor's bounds; heights over 10000 pixels are cut there (the cell drawn
  // hatched) and the editor scrolls.
  void SetEditorBounds(int left, int top, int width, int height);
  // After a change in the cell editor: the table laid out for the edited content's size.
  void ResizeEditorAfterChange();
  // The cell next to (row, col) in a direction (0 left, 1 up, 2 right, 3 down, 6 next,
  // 7 previous in reading order); false, after a beep unless quiet, when none.
  bool GetCellTo(int row, int col, bool allowAddRow, bool quiet, int& newRow, int& newCol,
                 int direction);
  // The cell editor on (row, col) asks to move on (a direction of GetCellTo, or 4 and 5
  // for the start and the end of the document): the next cell is opened, or the caret
  // leaves the table.
  void MoveFromCell(int row, int col, int code);

  // Row and column operations (table_editing.cpp); bad indices raise "Invalid row or
  // column index".
  bool CanChange() const;
  void BeginModify();
  void EndModify();
  // Inserting rows or columns that would take the table past TRDTableRows::kMaxSlots
  // beeps and changes nothing.
  bool CanGrowBy(int rowCount, int colCount) const;
  void InsertCols(int index, int count, int copyIndex, bool select);
  void InsertRows(int index, int count, int copyIndex, bool select);
  void DeleteRows(int index, int count, bool decreaseHeight);
  void DeleteCols(int index, int count, bool decreaseWidth);
  void DeleteEmptyRows();
  // The selected cells: emptied (those OnCellEditing allows) or merged, one undo step.
  bool CanClearSelectedCells() override;
  void ClearSelectedCells() override;
  void MergeCellsWithUndo(int topRow, int leftCol, int colCount, int rowCount, bool allowMergeRC);
  // A style operation of the editor on every cell, or with selectedOnly on the selected
  // ones that OnCellEditing allows (table_apply_to_cells.cpp): 0 text style param, 1
  // paragraph style param, 2 and 3 the text and paragraph style conversions with user
  // data param, 4 and 5 the text and paragraph style templates of index param; one undo
  // step.
  void ApplyToCells(int operation, int param, bool selectedOnly) override;

  // Layout (table_layout.cpp).
  int GetMinWidth(const TRDResolution* resolution, TCustomRDData* rdData) const override;
  int GetTableMinWidth(const TRDResolution* resolution, TRDCanvas& canvas);
  void AdjustToDocWidth(TRDCanvas& canvas, TRDStyle& rdStyle, int docWidth, int& width, int& height,
                        int& descent) const override;
  void Format(int docWidth, TRDTableItemFormattingInfo& info, TRDCanvas& canvas, bool force);
  int GetHeight() const override { return FormattingInfo->Height; }
  int GetWidth() const override { return FormattingInfo->Width; }

  // Painting (table_paint.cpp).
  void PaintFullWidth(int left, int right, int top, TRDCanvas& canvas, TRDItemPaintState state,
                      TRDStyle& rdStyle) const override;
  // under: the one colour already painted everywhere under the table (its cell's fill,
  // when it stands in a cell), clNone when that is not known.
  void PaintTable(TRDCanvas& canvas, int x, int y, const TRect& clip, TRDItemPaintState state,
                  TRDColorMode colorMode, TColor under = clNone);
  // The rules between the columns over the table's box and above the rows drawn (heading
  // rows 0 .. headingRows - 1 where they stand, then firstRow .. lastRow moved up by shift,
  // the rows after firstRow by a further firstRowCut: the part of a row cut over pages
  // that is printed elsewhere), and the outermost rules; on paper the top one is always
  // drawn.
  void DrawRules(TRDCanvas& canvas, int x, int y, const TRect& table, const TRect& clip,
                 const TRDTableItemFormattingInfo& info, int headingRows, int firstRow, int lastRow,
                 int shift, int firstRowCut, bool printing, TRDColorMode colorMode) const;
  void DrawBorder(TRDCanvas& canvas, int left, int top, int right, int bottom, int width,
                  TColor lightColor, TColor color, TColor backgroundColor,
                  TRDTableBorderStyle style, bool editing, bool printing, const TRect& clip,
                  const TRDBooleanRect* visibleBorders, int row, int col, TRDColorMode colorMode);

  // Item queries and kin.
  bool QueryItemFlag(std::uint8_t code) const override;
  bool QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const override;
  void NotifyData(TCustomRDData* rdData, std::string& text) override;
  // The table learns the document it stands in, and records its undo there.
  void AttachToDocument(TCustomRDData* rdData);
  // Out of any document: the table in an undo record refers to no document, whose
  // editor (a cell's) may be gone before the record; inserting it again tells it its new one.
  void DetachFromDocument();
  void NotifyDataEx(TCustomRDData* rdData) override;
  // The cells' markers into the document's list, nested tables' included
  // (table_cell_markers.cpp).
  void NotifyCellItems() override;
  int GetSubDocCount() const override;
  TCustomRDData* GetSubDoc(int index) const override;
  // The content of the cell under a point relative to the table (table_mouse.cpp).
  TCustomRDData* GetSubDocAt(int& x, int& y) override;
  bool ChooseSubDoc(TCustomRDData& subDoc) override;
  bool IsSubDocSelected(int index) const override;
  void MarkStylesInUse(TRDStyleUsage& usage) const override;
  void UpdateStyles(const TRDStyleUsage& usage) override;

  // Document files (table_rdf.cpp).
  int GetRDFExtraPropertyCount() const override;
  void SaveRDFExtraProperties(TStream& stream) const override;
  bool SetExtraStrProperty(TRDExtraItemStrProperty prop, const std::string& value) override;
  bool GetExtraStrProperty(TRDExtraItemStrProperty prop, std::string& value) const override;
  bool ReadRDFLine(const std::string& line, TCustomRDData* rdData, int readMode, int lineNo,
                   int lineCount, std::string& name, int& readType, int& readState) override;
  void SaveRDF(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& name,
               bool forceSameAsPrev) const override;
  // The record of the selected cells alone (table_rdf_range.cpp): the rectangle that
  // takes merged cells whole, unselected cells in it written empty.
  void SaveRDFSelection(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& name,
                        bool forceSameAsPrev) const override;
  // The component block of that record.
  std::string SelectedCellsComponentBytes() const;
  // The table's published properties and "BackgroundImg", as the wrapper streams them.
  void DefineTableProperties(TRDPropertyFiler& filer);

  // HTML and text (table_html.cpp).
  void SaveHTML(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& text,
                TRDHTMLSaveContext& context) const override;
  std::string AsText(int lineWidth, TCustomRDData* rdData) const override;
  std::string AsUnicodeText(int lineWidth, TCustomRDData* rdData) const override;
  std::string AsText(bool unicode) const;

  // Printing (table_paint.cpp): the table's draw line on paper, which TablePrintLineMaker
  // makes (the printing's, print/table_print.h: it lays the table out and cuts it over
  // pages), and the rows of one page drawn by that line.
  std::unique_ptr<TRDDrawLineInfo> CreatePrintingDrawItem(
      TCustomRDData* rdData, const TRDResolution& resolution) const override;
  void Print(TRDCanvas& canvas, int x, int y, int right, TRDColorMode colorMode,
             const TRDResolution& resolution, TRDStyle& rdStyle,
             const TRDDrawLineInfo* drawItem) const override;
  // What lies behind an item printed through a bitmap inside the cell being printed:
  // the table's colour or picture over rect (the table's box in the bitmap), then the
  // cell's.
  void PrintBackground(TRDCanvas& canvas, const TRect& rect, TRDColorMode colorMode) const override;
  // The colour an area of colour prints in: white on a table printed on white.
  TColor PaperColor(TColor color, TRDColorMode colorMode) const;
  // The cell whose document is being printed, and its box on the page in screen pixels
  // (none outside printing).
  const TRDTableCellData* PrintingCell = nullptr;
  TRect PrintingCellRect;

  // RTF (table_rtf.cpp): the colours the table and its cells use, and the table as rows.
  void CollectRTFTables(TRDRTFSaveContext& context) const override;
  void SaveRTF(TStream& stream, TCustomRDData* rdData, int itemNo,
               TRDRTFSaveContext& context) const override;

 private:
  void Init(int rowCount, int colCount, TCustomRDData* rdData);
  // RTF rows (table_rtf.cpp), their cells' right edges from columns. The table this one
  // goes on from when it was written to the stream right before it (nullptr: none).
  void WriteRowRTF(TStream& stream, int r, TCustomRDData* rdData, TRDRTFSaveContext& context,
                   const TRDTableItemFormattingInfo& columns) const;
  std::string RowRTF(int r, TCustomRDData* rdData, TRDRTFSaveContext& context,
                     const TRDTableItemFormattingInfo& columns) const;
  const TRDTableItemInfo* TableGoneOnFrom(const TStream& stream, TCustomRDData* rdData, int itemNo,
                                          TRDRTFSaveContext& context) const;
  // Mouse helpers (table_mouse.cpp).
  bool InContentBox(int row, int col, int x, int y) const;
  // The document showing the cell's content, with a point relative to the table moved
  // into its client coordinates; nullptr for a slot without a cell.
  TCustomRDFormattedData* CellContent(int row, int col, int& x, int& y);
  void PassToCell(int row, int col, int x, int y,
                  const std::function<void(TCustomRDFormattedData&, int, int)>& call);
  // The chosen cell under the point when the point lies on the cell's selected text; in
  // a table inside that cell, the same at any depth. nullptr otherwise.
  TRDTableCellData* ChosenCellTextAt(int x, int y);
  void StartBorderDrag(bool columns, int index, int minPos, int pos, int start, bool shift,
                       TCustomRDFormattedData& document);
  void DrawResizeLine(TRDCanvas& canvas, int x, int y);
  // Painting helpers (table_paint.cpp): whether the visible border of the cell or table
  // beside side of the cell at row, col (dRow, dCol away) covers that side, which cells
  // spacing apart overlap; the pixels of a border width on the canvas, box grown at the
  // top and left where paper is finer than the screen.
  bool HiddenSideOverlapped(int row, int col, int dRow, int dCol, bool TRDBooleanRect::*side,
                            int spacing) const;
  int BorderPixels(int width, bool printing, TRect& box) const;
  void PlaceEditor();
  // The document laid out again after a change of the grid or the sizes, and the change
  // reported (table_editing.cpp).
  void ReformatAfterChange();
  // After rows or columns went: the cell editor on the cell nearest to where it was.
  void ReopenEditorNear(int row, int col);
  // The document's spelling check goes over this item again.
  void RecheckSpelling();
  // The setters' one path: stored directly outside an editor (and while an undo record
  // assigns), else recorded by name in the editor's undo list.
  void ChangeIntProperty(const char* name, int& field, int value, bool affectsWidth,
                         bool affectsLayout);
  bool RecordChange(const char* name, int value, bool affectsWidth, bool affectsLayout);
  // In an editor: an undo step begun for a change of this table, the cell editor's edits
  // recorded before it; the editor's data, nullptr outside an editor.
  TRDEditRDData* BeginChangeStep();
  struct TLayoutPass;
  void SpreadSpanWidth(TLayoutPass& pass, int col, int colSpan, int width, int maxKind,
                       bool equalShare, int attempt);
  bool IsAutoWidth() const;
  // The steps of Format, in their order (table_layout.cpp).
  int FormatWidth(int docWidth, TRDCanvas& canvas, bool& autoWidth);
  // screen: the layout of the table's own FormattingInfo, whose column minimums are kept.
  void MeasureMinimumWidths(TLayoutPass& pass, TRDCanvas& canvas, bool screen);
  void WidenPercentColumns(TLayoutPass& pass);
  void WidenPixelColumns(TLayoutPass& pass);
  void HandOutSpareWidth(TLayoutPass& pass);
  // resizedOnly: only the remeasured column's cells and those whose width changes are
  // laid out again, the others only moved. With kept (the layout before, in a grid
  // without merged cells) the columns that keep their start and width are not visited,
  // and the rows whose height may have changed are added to changedRows.
  struct TKeptLayout;
  void PlaceColumns(TRDTableItemFormattingInfo& info, const TLayoutPass& pass, TRDCanvas& canvas,
                    bool resizedOnly, const TKeptLayout* kept, std::vector<int>& changedRows);
  int CellContentHeight(const TRDTableItemFormattingInfo& info, const TRDTableCellData& cell,
                        int row, int col) const;
  // With kept, only the rows listed are measured; the others keep their heights.
  std::vector<int> MeasureRowHeights(TRDTableItemFormattingInfo& info, const TKeptLayout* kept,
                                     const std::vector<int>& changedRows);
  void StretchRowsUnderSpans(TRDTableItemFormattingInfo& info, std::vector<int>& heights);
  // With kept, the cells of the rows above the first whose height changed stay as placed.
  void PlaceRows(TRDTableItemFormattingInfo& info, const std::vector<int>& heights,
                 const TKeptLayout* kept);
  bool PlaceInSlot(TRDTableCellData& cell, int row, int col) const;
  // After an edit in the cell editor, the layout on the screen taken on from where it
  // stands when that is all the edit changed (table_layout.cpp): whether the edited cell's
  // narrowest width going from oldMin to newMin leaves every column's width as it is;
  // the height of the cell's row measured again with the rows below moved (false, with
  // nothing changed, when a cell spanning rows makes that the whole layout's work).
  bool KeepsColumnWidths(int row, int col, int oldMin, int newMin) const;
  bool PlaceRowAgain(int row);
  // When it does change a column's width: whether the layout can be taken on from the
  // columns' narrowest widths as they stand, that column's measured again; the next
  // layout on the screen then lays out again that column's cells and those whose width
  // changes, and reads the other cells as they are.
  bool MeasureColumnAgain(int row, int col, int oldMin, int newMin, TRDCanvas& canvas);
  // A column's narrowest content width (from the last layout on the screen, while only
  // one column was measured again since).
  int ColumnMinWidth(int col, TRDCanvas& canvas) const;
  // While only one column is measured again: what the cells ask of the columns' widths
  // stands as measured when the column was (an edit of a cell's content changes none of
  // it), so a key costs the edited column's cells and not every cell of the table.
  bool Remeasuring() const { return remeasured_column_ >= 0 && !DeviceInfo; }
  void MeasureCellRequests();
  int ColumnPixelWidth(int col) const;
  int ColumnPercentWidth(int col, int tableWidth) const;
  bool HasSpanningCells() const;
  // under: as for PaintTable, under the cell.
  void PaintCell(TRDCanvas& canvas, TRDTableCellData& cell, int row, int col, int x, int y,
                 const TRect& clip, bool selectedAsWhole, bool editing, TColor selectionColor,
                 TRDColorMode colorMode, TColor under);

  // Each column's narrowest content width at the last layout on the screen.
  std::vector<int> column_min_widths_;
  // The column measured again after an edit in the cell editor, until the layout on the
  // screen that follows; -1 when the next layout measures every column.
  int remeasured_column_ = -1;
  // What the cells asked of the layout when a column was last measured again: by column
  // the pixel width (as TRDTableRows::GetPixelColWidth) and the largest percent of a
  // cell of that column alone, whether a cell spans rows or columns, whether the table
  // takes its content's width. Valid from then until the next whole layout on the screen.
  struct TCellRequests {
    bool Valid = false;
    std::vector<int> PixelWidths;
    std::vector<std::int64_t> Percents;
    bool Spans = false;
    bool AutoWidth = false;
  };
  TCellRequests cell_requests_;
  // While set, the layout on the screen stands although a cell editor is open (its row
  // was placed anew after an edit in it).
  bool layout_kept_ = false;
  // The narrowest width on the screen as last measured, -1 when it must be measured: the
  // tables around an edited cell ask for it on every edit inside it.
  int min_width_ = -1;
  TRDHTMLLength best_width_ = 0;
  TColor color_ = clWindow;
  int heading_row_count_ = 0;
  int border_width_ = 0;
  TColor border_color_ = clWindowText;
  TColor border_light_color_ = clBtnHighlight;
  TRDTableBorderStyle border_style_ = rdtbRaised;
  int border_v_spacing_ = 2;
  int border_h_spacing_ = 2;
  TRDBooleanRect visible_borders_;
  int cell_border_width_ = 0;
  TColor cell_border_color_ = clWindowText;
  TColor cell_border_light_color_ = clBtnHighlight;
  int cell_padding_ = 1;
  TRDTableBorderStyle cell_border_style_ = rdtbLowered;
  int v_rule_width_ = 0;
  TColor v_rule_color_ = clWindowText;
  int h_rule_width_ = 0;
  TColor h_rule_color_ = clWindowText;
  int cell_v_spacing_ = 2;
  int cell_h_spacing_ = 2;
  bool v_outermost_rule_ = false;
  bool h_outermost_rule_ = false;
  std::unique_ptr<TRDBackground> background_;
  std::string background_image_file_name_;
  mutable int cached_item_no_ = -1;
  // Where the word walk is in the cell IterRow, IterCol (item -1: at the cell's start).
  int iter_item_ = -1;
  int iter_offs_ = 0;
  std::unique_ptr<TRDTableUndoRecorder> recorder_;
};

// The rows of a table record's component block (what SaveRDF and SaveRDFSelection write)
// read into table as rows from startRow on, at a place no merged cell runs across
// ("Invalid row or column index" otherwise); a record with more columns than the table
// has is refused with EReadError, and a refused or broken record leaves the table as it
// was.
void ReadRowsFromComponentBytes(TRDTableItemInfo& table, int startRow, const std::string& bytes);

// Documents create tables for item kind -60 from here on; running it again is harmless.
void RegisterTableItemClass();

// Makes a table's draw line for a printable document (none for another document); the
// printing sets it (RegisterTablePrinting, print/table_print.h).
extern std::function<std::unique_ptr<TRDTablePrintLine>(
    TRDTableItemInfo& table, TCustomRDData* rdData, const TRDResolution& resolution)>
    TablePrintLineMaker;

// Dotted grid lines: groups of three one-pixel dots at 0, 2 and 4, every 8 pixels, kept
// inside [from, to] (a group is cut at the end).
void DrawDottedVLine(TRDCanvas& canvas, int x, int y1, int y2);
void DrawDottedHLine(TRDCanvas& canvas, int x1, int x2, int y);
