// A document laid out for paper: the printable data shares the items of the document it
// prints (it never changes them) and keeps draw lines of its own, formatted on the
// printer's canvas at the printer's resolution. The main printable data holds the whole
// document and its pages (filled by the paginator, paginator.h); a rectangle printable
// data holds a document printed inside a rectangle of another one (a table cell), whose
// pages, when its row is cut over sheets, are the pieces printed on each.
//
// Drawing a page walks the draw lines the page record names and puts each at its place
// on the sheet: text through the style sheet, other items through their printing
// operations. A draw line cut over pages (a picture or a table, multi_draw_item.h)
// draws only its part for that page.
//
// Coordinates: draw lines are in device pixels of the document; a line stands on page P
// at Y = line top - GetPageTop(P) and X = line left + GetPrintableLeft().
//
// Example: with the top margin 96 screen pixels at 300 pixels an inch (TmpTMPix 300) and
// page 2 starting at document Y 3000, a line whose top is 3100 is drawn at Y 400.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "richtext/base/text_routines.h"
#include "richtext/layout/formatted_data.h"

class TBitmap;
class TCustomMainPtblRDData;

// Where a page starts: the document Y, the first draw line and, for a page that starts
// inside a draw line cut over pages, the 1-based part it starts with (1: from the start).
// StartY is where the page's first line would stand were the cut line's parts printed
// one under the other (so that the lines after it follow its last part); StartY2 is the
// place of the cut in the uncut document (the line's top plus its parts on earlier
// pages). Both are equal on a page that starts with a whole line.
struct TRDPageInfo {
  int StartY = 0;
  int StartDrawItemNo = 0;
  int StartPart = 1;
  int StartY2 = 0;
};

// What page CurPageNo holds, for the writers: its first and last draw lines with the
// items and item offsets they cover, and the 0-based parts of cut lines printed at its
// ends (-1: the line is whole there).
struct TRDPageOutputRange {
  int StartDrawItemNo = 0;
  int StartItemNo = 0;
  int StartOffs = 0;
  int StartPart = -1;
  int EndDrawItemNo = -1;
  int EndItemNo = -1;
  int EndOffs = 0;
  int EndPart = -1;
};

// The pages in order; page numbers are 1-based.
class TRDPageCollection {
 public:
  int Count() const { return int(pages_.size()); }
  TRDPageInfo& Add() { return pages_.emplace_back(); }
  const TRDPageInfo& Page(int pageNo) const { return pages_[size_t(pageNo - 1)]; }
  TRDPageInfo& Page(int pageNo) { return pages_[size_t(pageNo - 1)]; }
  void Clear() { pages_.clear(); }

 private:
  std::vector<TRDPageInfo> pages_;
};

class TCustomPrintableRDData : public TCustomRDFormattedData {
 public:
  // Shares source's items; source must outlive this data and keep its items meanwhile.
  explicit TCustomPrintableRDData(TCustomRDData& source);
  ~TCustomPrintableRDData() override;

  TCustomRDData& Source() const { return source_; }

  // The draw line being drawn, the Y its item is drawn at and the page being drawn.
  const TRDDrawLineInfo* CurrentDrawItem = nullptr;
  int ItemTop = 0;
  int DrawingPageNo = 0;
  // The page is not filled with the background colour first.
  bool NoBackgroundFill = false;
  // The pages the document is broken into (paginator.h); none: one page holds it all.
  TRDPageCollection Pages;
  // The page's background picture at screen size, while a page with one is drawn.
  std::unique_ptr<TBitmap> BackgroundBitmap;

  bool IsForPrinting() const override { return true; }
  TRDOptions GetOptions() const override;
  TRDStyle* GetRDStyle() const override;
  TRDBiDiMode GetBiDiMode() const override;
  std::string GetDelimiters() const override;

  // The shared items keep the screen layout's marks (first draw line, jump numbers):
  // formatting for paper restores them afterwards.
  void FormatItems(bool keepPosition, bool force, bool noRestore, int depth, TRDCanvas* canvas,
                   bool formatTail, bool passThrough1, bool passThrough2) override;
  void ClearFormatting() override;
  // Only the layout: the items belong to the source.
  void Clear() override;

  int GetAreaWidth() const override { return GetWidth(); }
  int GetAreaHeight() const override { return DocumentHeight; }
  int GetMinTextWidth() const override { return 0; }
  int GetMaxTextWidth() const override { return 0; }
  void SetDocumentAreaSize(int, int, bool) override {}
  void AdjustVScrollUnits() override {}
  void ScrollTo(int, bool) override {}
  void HScrollTo(int) override {}
  int GetVSmallStep() const override { return 1; }
  TRDBackground* GetBackground() override { return nullptr; }

  // Page geometry and colours; see the file comment.
  virtual int GetPageTop(int) const { return 0; }
  // The same from the place of the cut in the uncut document (TRDPageInfo::StartY2).
  virtual int GetPageTop2(int) const { return 0; }
  virtual int GetPrintableTop() const { return 0; }
  virtual int GetPrintableLeft() const { return 0; }
  // The draw lines of page pageNo: startPart is the 0-based part of the first one, -1 when
  // the page starts at a line's beginning; a page that goes on inside a cut line ends
  // with it. Without pages: the whole document.
  virtual void GetDrawItemsRange(int pageNo, int& startNo, int& startPart, int& endNo) const;
  // Raises "Invalid page number is specified for printing" for a page that does not exist.
  virtual void CheckPageNo(int pageNo) const;
  virtual TRDColorMode GetColorMode() const { return 1; }

  // Draws page pageNo on canvas; correction is the text drawing's correction for a
  // preview of the printed page.
  virtual void DrawPage(int pageNo, TRDCanvas& canvas, bool correction);
  // What lies behind item into bitmap, whose top-left corner stands at (x, y) of the page
  // (device pixels; the bitmap has screen pixels): the item's paragraph colour, else the
  // page's background picture or colour (white for none); then the item's own
  // background over it.
  virtual void DrawBackToBitmap(int x, int y, const TCustomRDItemInfo* item, TBitmap& bitmap);

 protected:
  // The document Y of the top of page pageNo's content (a continued cut line starts there).
  int GetPageContentStart(int pageNo) const {
    return Pages.Count() > 0 ? Pages.Page(pageNo).StartY : 0;
  }
  // The item's paragraph colour into bitmap; false when it has none.
  bool FillWithParaColor(const TCustomRDItemInfo* item, TBitmap& bitmap);
  // The background of item, whose draw line is being drawn, into bitmap at (x, y).
  void PaintItemBackground(const TCustomRDItemInfo* item, int x, int y, TBitmap& bitmap);
  const TRDResolution& PrintScaling();

 private:
  void DrawParaBackground(TRDCanvas& canvas, int first, int last, int pageNo, int pageTop,
                          const TRDResolution& scaling);
  void DrawTextLine(TRDCanvas& canvas, int d, int pageTop, bool correction,
                    const TRDResolution& scaling);
  void DrawNonTextLine(TRDCanvas& canvas, int d, int part, int pageNo, int pageTop,
                       const TRDResolution& scaling, TBitmap& work);
  TCustomRDData& source_;
  TRDResolution scaling_;
  // Set while the paper layout runs: the marks it clears must stay cleared until it ends.
  bool formatting_ = false;
};

// The whole document on paper, with its pages.
class TCustomMainPtblRDData : public TCustomPrintableRDData {
 public:
  explicit TCustomMainPtblRDData(TCustomRDData& source);

  TRDCanvas* PrinterCanvas = nullptr;
  TRDResolution Scaling;
  // The sheet in device pixels.
  int PageWidth = 0;
  int PageHeight = 0;
  // Margins in screen pixels; the top and bottom ones also in device pixels (PrepareScaling).
  int LeftMarginPix = 0;
  int RightMarginPix = 0;
  int TopMarginPix = 0;
  int BottomMarginPix = 0;
  int TmpTMPix = 0;
  int TmpBMPix = 0;
  // The origin of the area the device prints on, device pixels.
  int PrintableLeft = 0;
  int PrintableTop = 0;
  // The page shows no background colour.
  bool Transparent = false;
  // 0 colours as they are, 1 system colours replaced, 2 grey as well.
  TRDColorMode ColorMode = 1;
  // Device pixels kept free above the document on the first page.
  int FirstPageOffset = 0;
  // Only the items PrintedSelStart .. PrintedSelEnd are printed (whole), when set.
  bool PrintSelectionOnly = false;
  int PrintedSelStart = -1;
  int PrintedSelEnd = -1;
  // With PageOutputRange, GetOutputRange reports what page CurPageNo holds, so that the
  // writers put out that page alone.
  int CurPageNo = 0;
  bool PageOutputRange = false;

  // Reads the resolutions from PrinterCanvas and the margins in device pixels.
  void PrepareScaling();
  // The device height page pageNo gives the document.
  int ContentHeight(int pageNo) const {
    return PageHeight - TmpTMPix - TmpBMPix - (pageNo == 1 ? FirstPageOffset : 0);
  }
  // The items printed: PrintedSelStart .. PrintedSelEnd when printing the selection only
  // (true), else -1 and -1 (false).
  bool GetPrintedItemRange(int& startNo, int& endNo) const;
  // The draw lines of the printed items (all of them unless printing the selection only;
  // first > last when there are none).
  void GetPrintedDrawItemRange(int& first, int& last) const;
  TRDPageOutputRange GetPageOutputRange() const;
  void GetOutputRange(int& startItem, int& startOffset, int& endItem,
                      int& endOffset) const override;
  // With PageOutputRange: the part of a cut item at either end of page CurPageNo.
  const TRDMultiDrawItemPart* GetOutputPart(int itemNo) const override;
  // Also forgets the printed selection.
  void Clear() override;

  void GetDeviceScaling(TRDCanvas&, TRDResolution& resolution) const override {
    resolution = Scaling;
  }
  TRDCanvas& GetCanvas() override;
  int GetWidth() const override { return PageWidth; }
  int GetHeight() const override { return PageHeight; }
  int GetLeftMargin() const override { return LeftMarginPix; }
  int GetRightMargin() const override { return RightMarginPix; }
  int GetTopMargin() const override { return 0; }
  int GetBottomMargin() const override { return 0; }
  TColor GetBackgroundColor() const override;
  // The printed document's background picture.
  TRDBackground* GetBackground() override;

  int GetPageTop(int pageNo) const override;
  int GetPageTop2(int pageNo) const override;
  int GetPrintableTop() const override { return PrintableTop; }
  int GetPrintableLeft() const override { return PrintableLeft; }
  void GetDrawItemsRange(int pageNo, int& startNo, int& startPart, int& endNo) const override;
  void CheckPageNo(int pageNo) const override;
  TRDColorMode GetColorMode() const override { return ColorMode; }
  // A page number that does not exist is reported as CheckPageNo reports it.
  void DrawPage(int pageNo, TRDCanvas& canvas, bool correction) override;
};

// A document printed inside a rectangle of another printable data (a table cell).
class TRectPtblRDData : public TCustomPrintableRDData {
 public:
  TRectPtblRDData(TCustomRDData& sourceData, TCustomPrintableRDData& parentPtblData);

  TCustomRDData& SourceData;
  TCustomPrintableRDData& ParentPtblData;
  // The rectangle on the parent's page and a further offset; the origin is Left + DX,
  // Top + DY.
  int Left = 0;
  int Top = 0;
  int DX = 0;
  int DY = 0;
  int Width = 0;
  int Height = 0;
  // What lies behind an item is the parent's, and that of ParentItem, the item of the
  // parent the rectangle lies in.
  bool Transparent = false;
  const TCustomRDItemInfo* ParentItem = nullptr;
  TColor Color = clNone;

  TCustomMainPtblRDData& MainData() const { return main_; }

  void GetDeviceScaling(TRDCanvas&, TRDResolution& resolution) const override {
    resolution = main_.Scaling;
  }
  TRDCanvas& GetCanvas() override { return main_.GetCanvas(); }
  int GetWidth() const override { return Width; }
  int GetHeight() const override { return Height; }
  int GetLeftMargin() const override { return 0; }
  int GetRightMargin() const override { return 0; }
  int GetTopMargin() const override { return 0; }
  int GetBottomMargin() const override { return 0; }
  TColor GetBackgroundColor() const override { return Color; }
  TCustomRDData* GetParentData() override { return &ParentPtblData; }
  TCustomRDData* GetRootData() override { return ParentPtblData.GetRootData(); }

  int GetPageTop(int pageNo) const override { return GetPageContentStart(pageNo) - (Top + DY); }
  int GetPrintableTop() const override { return Top + DY; }
  int GetPrintableLeft() const override { return Left + DX; }
  TRDColorMode GetColorMode() const override { return main_.ColorMode; }
  void DrawBackToBitmap(int x, int y, const TCustomRDItemInfo* item, TBitmap& bitmap) override;

 private:
  TCustomMainPtblRDData& main_;
};
