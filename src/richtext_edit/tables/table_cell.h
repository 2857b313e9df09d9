// One table cell: a small document of its own, with the cell's colours, requested
// sizes, visible border sides, vertical alignment and background, its spans in the
// merged-cell grid and its rectangle in the table's layout. Questions a document asks
// of the window that shows it (style sheet, options, canvas, colours) are answered from
// the table and the document that holds the table.
//
// A cell is made with one empty text item, so that it is never without items.
#pragma once

#include <memory>
#include <string>

#include "richtext/layout/formatted_data.h"
#include "richtext/styles/component_stream.h"
#include "richtext/styles/para_parts.h"
#include "richtext/styles/rd_background.h"
#include "richtext_edit/edit/named_properties.h"
#include "richtext_edit/tables/table_types.h"

class TGraphic;
class TRDTableItemInfo;
class TRDTableRow;

class TRDTableCellData : public TCustomRDFormattedData,
                         public TRDPublished,
                         public TRDNamedProperties {
 public:
  explicit TRDTableCellData(TRDTableRow* row);
  ~TRDTableCellData() override;

  // Published properties.
  TColor Color = clNone;
  TColor BorderColor = clNone;
  TColor BorderLightColor = clNone;
  TRDHTMLLength BestWidth = 0;
  int BestHeight = 0;
  TRDBooleanRect VisibleBorders;
  TRDCellVAlign VAlign = rdcVDefault;
  std::string BackgroundImageFileName;
  std::string Hint;

  // The merged-cell spans and the rectangle inside the table, set by its layout. The
  // left edge is not kept here but read from the layout's column starts: a key that
  // widens one column of a large table then moves the columns right of it without a
  // write into each of their cells.
  int RowSpan = 1;
  int ColSpan = 1;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  // The undo record keeping the cell while it is out of the grid, and the document whose
  // undo list holds that record.
  const void* UndoOwner = nullptr;
  TCustomRDData* UndoOwnerData = nullptr;
  // While set, the cell writes its content as empty (saving a selection of cells).
  bool SaveEmpty = false;
  bool InSelection = false;
  // While the cell's content is in a cell editor: that content's height, which the
  // table's layout takes instead of the empty cell's (-1: none).
  int EditedHeight = -1;

  // The left edge in the table's screen layout: its column's start (0 for a cell outside
  // the grid).
  int Left() const;
  TRDTableRow* GetRow() const { return row_; }
  void SetRow(TRDTableRow* row) { row_ = row; }
  TRDTableItemInfo* GetTable() const;

  TRDBackground* GetCellBackground() const { return background_.get(); }
  const TGraphic* GetBackgroundImage() const;
  void SetBackgroundImage(const TGraphic* picture);
  TRDItemBackgroundStyle GetBackgroundStyle() const;
  void SetBackgroundStyle(TRDItemBackgroundStyle value);

  // BestWidth and BestHeight cut to what a page can hold, as the table's own lengths are,
  // whoever set them (a file, an import): layout sums them over rows and columns.
  void ClampSizes();
  // The content height (at least BestHeight); with useBestHeight a set BestHeight alone.
  int GetCellHeight(bool useBestHeight) const;
  // The narrowest width the content can take (a document's longest word or object).
  int GetMinWidth(const TRDResolution* resolution, TRDCanvas& canvas);
  bool HasData(bool strictEmpty) const;
  // Whether the cell is as one is made: no look of its own (colours, sizes, borders,
  // alignment, background, hint), one slot, and content that a document file leaves out
  // (HasData(true) false). Such a cell need keep no object (table_rows.h).
  bool IsPlain() const;
  // The document holding the cell's items: the cell editor's while it edits this cell.
  // Every writer reads the cell through it, so that a save made while a cell is being
  // edited holds what the cell shows.
  TCustomRDData& Content() { return *GetInplaceEditorData(); }
  const TCustomRDData& Content() const {
    return *const_cast<TRDTableCellData*>(this)->GetInplaceEditorData();
  }
  void AssignAttributesFrom(const TRDTableCellData& source, bool divideSizes, int rowDivisor,
                            int colDivisor);
  void AssignSizeFrom(const TRDTableCellData& source);
  // The cell goes to (comes back from) an undo record; it comes back once it stands in
  // its grid again, so that its markers find their place in the document's list.
  void MovingToUndoList(const void* undoOwner, TCustomRDData* ownerData);
  void MovingFromUndoList();
  TRDCellVAlign GetRealVAlign() const;
  int GetExtraVOffs() const;
  // The content height as laid out.
  int ContentHeight() const { return DocumentHeight; }

  // The properties undo records set by name.
  const TRDPropertyTable& GetPropertyTable() const override;

  // The cell's stream: published properties, "Data" (the content as a document file)
  // and "BackgroundImg" (the picture's class name and bytes).
  void DefineProperties(TRDPropertyFiler& filer) override;

  // Document answers.
  TRDOptions GetOptions() const override;
  TRDFOptions GetRDFOptions() const override;
  TRDStyle* GetRDStyle() const override;
  TCustomRDData* GetParentData() override;
  TCustomRDData* GetRootData() override;
  TCustomRDData* GetAbsoluteParentData() override;
  TCustomRDData* GetAbsoluteRootData() override;
  int GetParentItemNo() const override;
  TCustomRDData* GetInplaceEditorData() override;
  // The table's cell editor while it edits this cell.
  TRDScroller* GetInplaceEditor() override;
  void DestroyInplaceEditor() override;
  // The table opens its cell editor here (and the cells around it first, in nested
  // tables) when none is; the cell itself when editing is refused.
  TCustomRDData* StartEditing() override;
  void DoItemAction(TRDItemAction action, TCustomRDItemInfo* item, std::string& text,
                    TCustomRDData* rdData) override;
  std::string DoItemHint(TCustomRDData* rdData, int itemNo) override;
  std::unique_ptr<TGraphic> DoRDFPictureNeeded(const std::string& name, const TRDTag& tag) override;
  // A link of the cell is one of the table's document, numbered there (BuildJumps).
  void DoJump(int jumpNo) override;
  void DoJumpHover(int jumpNo) override;
  // Text selected in the cell is dragged as the selection of the document around the
  // table is: that document's viewer runs the drag.
  bool CanStartDrag() const override;
  void RequestDrag() override;

  int GetAreaWidth() const override { return GetWidth(); }
  int GetAreaHeight() const override { return GetHeight(); }
  int GetLeftMargin() const override { return 0; }
  int GetRightMargin() const override { return 0; }
  int GetTopMargin() const override { return 0; }
  int GetBottomMargin() const override { return 0; }
  int GetMinTextWidth() const override { return 0; }
  int GetMaxTextWidth() const override { return 0; }
  int GetWidth() const override;
  int GetHeight() const override;
  void SetDocumentAreaSize(int, int, bool) override {}
  void AdjustVScrollUnits() override {}
  void ScrollTo(int, bool) override {}
  void HScrollTo(int) override {}
  int GetVSmallStep() const override { return 1; }
  TRDBackground* GetBackground() override { return background_.get(); }
  TColor GetBackgroundColor() const override;
  TRDCanvas& GetCanvas() override;

 private:
  TCustomRDData* TableDocument() const;
  void WriteBackgroundImg(std::string& bytes) const;
  void ReadBackgroundImg(const std::string& bytes);
  TRDTableRow* row_;
  std::unique_ptr<TRDBackground> background_;
};

// The picture of a background as stream bytes: a 4-byte length, the picture's class
// name, a 4-byte count and the picture's saved bytes; and back, every length checked
// against the bytes left (EReadError otherwise).
std::string BackgroundImageToBytes(const TGraphic& picture);
std::unique_ptr<TGraphic> BackgroundImageFromBytes(const std::string& bytes);
