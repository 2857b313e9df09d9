// A document laid out into draw lines: the layer between the item list and whatever
// shows it. It formats the items into draw lines (word wrap, paragraph indents and
// spacing, alignment, tabs, full-line items), paints them, keeps the selection as draw
// line positions and answers the viewer's geometry questions. What it needs of the
// window that shows it (client size, margins, scroll position, canvas, background)
// comes through the virtual operations below, which a descendant answers.
//
// Coordinates: document coordinates start at the top-left corner of the document
// area; a client point is a document point minus (GetHOffs - origin X, GetVOffs -
// origin Y).
//
// Example: with margins of 5, a client 100 wide and a font whose every character is 6
// pixels wide, the text "aaaa bbbb cccc" wraps after "aaaa bbbb" (54 pixels of 90 fit,
// the next word would not), giving two screen lines.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls/controls.h"
#include "richtext/model/draw_lines.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/para_style.h"

class TGraphic;
class TRDNonTextItemInfo;
class TRDBackground;
class TCustomRDFontInfo;
class TItemTextPrefixes;
class TStream;

// The options of a viewer, from bit 0 on.
constexpr TRDOptions rdoAllowSelection = 1u << 0;
constexpr TRDOptions rdoSingleClick = 1u << 1;
constexpr TRDOptions rdoScrollToEnd = 1u << 2;
constexpr TRDOptions rdoClientTextWidth = 1u << 3;
constexpr TRDOptions rdoShowCheckpoints = 1u << 4;
constexpr TRDOptions rdoShowPageBreaks = 1u << 5;
constexpr TRDOptions rdoShowSpecialCharacters = 1u << 6;
constexpr TRDOptions rdoAutoCopyText = 1u << 8;
constexpr TRDOptions rdoAutoCopyUnicodeText = 1u << 9;
constexpr TRDOptions rdoAutoCopyRDF = 1u << 10;
constexpr TRDOptions rdoAutoCopyImage = 1u << 11;
constexpr TRDOptions rdoAutoCopyRTF = 1u << 12;
constexpr TRDOptions rdoFormatInvalidate = 1u << 13;
constexpr TRDOptions rdoDblClickSelectsWord = 1u << 14;
constexpr TRDOptions rdoRClickDeselects = 1u << 15;
constexpr TRDOptions rdoDisallowDrag = 1u << 16;
constexpr TRDOptions rdoFastFormatting = 1u << 18;

// The data flag word.
constexpr std::uint16_t rdfCollectJumps = 0x0001;
constexpr std::uint16_t rdfTrimSpaces = 0x0002;
constexpr std::uint16_t rdfKeepControls = 0x0004;
constexpr std::uint16_t rdfExternalLeading = 0x0008;
constexpr std::uint16_t rdfUnclampedMouse = 0x0010;
constexpr std::uint16_t rdfOwnDrawItems = 0x0020;
constexpr std::uint16_t rdfFitService = 0x0040;
constexpr std::uint16_t rdfRoot = 0x0100;
constexpr std::uint16_t rdfStyleFlag = 0x0400;

// State bits of this layer.
constexpr std::uint32_t rdsSelecting = 0x1;
constexpr std::uint32_t rdsSelectingLines = 0x2;
constexpr std::uint32_t rdsLit = 0x4;
constexpr std::uint32_t rdsFormatting = 0x8;
constexpr std::uint32_t rdsMouseReleased = 0x10;
// The selection was made by a double click, not by dragging.
constexpr std::uint32_t rdsDblClickSelected = 0x20;
constexpr std::uint32_t rdsAllSelected = 0x40;
// A press inside the selection asked the control to drag it (root data).
constexpr std::uint32_t rdsDragPending = 0x100;
// Presses inside the selection start a new selection instead of a drag (root data).
constexpr std::uint32_t rdsNoDragStart = 0x8000000;
constexpr std::uint32_t rdsDeselecting = 0x1000;
constexpr std::uint32_t rdsNoLastParaEnd = 0x400000;

// When the viewer reports checkpoints scrolled into view.
enum TCPEventKind { cpeNone, cpeAsSectionStart, cpeWhenVisible };

// One hypertext area.
struct TRDJumpInfo {
  TCustomRDData* RDData = nullptr;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Id = 0;
  int DrawItemNo = 0;
  int Cursor = 0;
};

// What a mouse selection started with: the press point, and for word selection the word
// around it (drawn positions).
struct TRDSelectingInfo {
  int AnchorDItem = -1;
  int AnchorOffs = 0;
  int WordStartDItem = -1;
  int WordStartOffs = 0;
  int WordEndDItem = -1;
  int WordEndOffs = 0;
};

// Draws a temporary figure over the document (a resize line) at a client point.
using TRDXorDrawHandler = std::function<void(TRDCanvas& canvas, int x, int y)>;

class TCustomRDFormattedData : public TCustomRDData {
 public:
  TCustomRDFormattedData();
  ~TCustomRDFormattedData() override;

  TRDDrawLines DrawItems;
  std::vector<TRDJumpInfo> Jumps;
  int JumpCount = 0;
  int DocumentWidth = -1;
  int TextWidth = -1;
  int DocumentHeight = 0;
  int LastFormattedItem = -1;
  // The widest line that cannot wrap, found by the last format: an edit that cannot have
  // changed it needs only its own paragraphs laid out again.
  int MinDocumentWidth = 0;
  // The selection as drawn positions (-1: none); it may run backwards.
  int SelStartDItem = -1;
  int SelStartOffs = 0;
  int SelEndDItem = -1;
  int SelEndOffs = 0;
  int PartialSelectedItem = -1;
  int JumpUnderMouse = -1;
  // A link item drawn as hot without the mouse over it (an editor's caret stands in it);
  // -1: none.
  int HighlightedJumpItem = -1;
  int JumpPressed = -1;
  int DrawItemUnderMouse = -1;
  int DrawItemPressed = -1;
  TCustomRDData* LitJumpData = nullptr;
  std::unique_ptr<TRDSelectingInfo> SelectingInfo;
  TRDCPInfo* LastReportedCP = nullptr;
  bool CPReported = false;

  // What the window that shows the document answers.
  virtual int GetAreaWidth() const = 0;
  virtual int GetAreaHeight() const = 0;
  virtual int GetLeftMargin() const = 0;
  virtual int GetRightMargin() const = 0;
  virtual int GetTopMargin() const = 0;
  virtual int GetBottomMargin() const = 0;
  virtual int GetMinTextWidth() const = 0;
  virtual int GetMaxTextWidth() const = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  virtual void SetDocumentAreaSize(int width, int height, bool redraw) = 0;
  virtual void AdjustVScrollUnits() = 0;
  virtual int GetHOffs() const { return 0; }
  virtual int GetVOffs() const { return 0; }
  virtual void ScrollTo(int y, bool redraw) = 0;
  virtual void HScrollTo(int x) = 0;
  virtual int GetVSmallStep() const = 0;
  virtual TRDBackground* GetBackground() = 0;
  virtual TColor GetBackgroundColor() const = 0;
  virtual TRDCanvas& GetCanvas() = 0;
  virtual int GetVAlignOffset() const { return 0; }
  virtual void GetOrigin(int& x, int& y) const {
    x = 0;
    y = 0;
  }
  virtual std::uint16_t GetFlags() const { return flags_; }
  virtual void SetFlags(std::uint16_t value) { flags_ = value; }
  virtual bool IsControlFocused() const { return false; }
  virtual void InvalidateControl() {}
  virtual void GetDeviceScaling(TRDCanvas& canvas, TRDResolution& resolution) const;
  // The page positions painted as page breaks (none at this layer).
  virtual const std::vector<int>* GetPageBreaks() const { return nullptr; }

  // What the mouse handling asks of the window and tells it; the base has no window.
  virtual TCursor GetNormalCursor() const { return crDefault; }
  virtual void SetShownCursor(TCursor) {}
  // Jump id + FirstJumpNo entered, or -1 when the mouse left a jump.
  virtual void DoJumpHover(int) {}
  virtual void DoRDMouseDown(TMouseButton, TShiftState, int, int, int) {}
  virtual void DoRDMouseUp(TMouseButton, TShiftState, int, int, int) {}
  virtual void DoRDRightClick(const std::string&, int, int, int) {}
  virtual void DoRDDblClick(const std::string&, int) {}
  virtual bool IsDblClickEventAssigned() const { return false; }
  virtual void SetControlFocus() {}
  // Whether a press inside the selection may drag it, and the request to start that drag
  // once the press has been handled.
  virtual bool CanStartDrag() const { return false; }
  virtual void RequestDrag() {}
  virtual void InvalidateClientRect(const TRect&) { InvalidateControl(); }
  virtual void UpdateControl() {}
  // The hint of an item (its own text, which the window's event may change).
  virtual std::string GetItemHint(int itemNo);
  // Shows a hint at the mouse, or closes it when hint is empty.
  virtual void ShowItemHint(const std::string&) {}
  virtual TCPEventKind GetCPEventKind() const { return cpeNone; }
  // A checkpoint came into view (none: no checkpoint is).
  virtual void DoCheckpointVisible(TRDCPInfo*) {}
  virtual bool IsCopyEventAssigned() const { return false; }
  virtual void DoCopy() {}
  // A selection made with the mouse has just ended (a viewer offers it to the system).
  virtual void DoMouseSelected() {}

  // Laying out (see format_pass.cpp). Canvas null: GetCanvas.
  virtual void FormatItems(bool keepPosition, bool force, bool noRestore, int depth,
                           TRDCanvas* canvas, bool formatTail, bool passThrough1,
                           bool passThrough2);
  virtual void ClearFormatting();
  // Minimal widths: of the lines of items first..last as they stand, of the whole lines
  // that range touches, and of the whole document computed afresh.
  int GetItemRangeMinWidth(int first, int last);
  int GetLinesMinWidth(int first, int last);
  int GetDocumentMinWidth();
  // Deletes count items from first and keeps the layout of the rest when whole
  // paragraphs go; otherwise the next format lays out everything.
  void DeleteItemsFormatted(int first, int count);
  // When every item is still laid out (whole paragraphs went before the last one), the
  // scroll area and position follow the shorter document as a tail format would have
  // them, without laying anything out again, and true; false when a format is needed.
  bool FollowKeptLayout();
  // Lays out again the paragraphs of items first..last after their texts or styles
  // changed (no item came or went); the rest keeps its layout, moved by how much they
  // grew. Other document widths, or a document not laid out to its end, need a whole
  // format, which this then does.
  void FormatChangedParas(int first, int last);
  // What an edit changed, for laying out only around it: the items from item first_item's
  // 0-based character first_char up to item end_item's character end_char, numbered as
  // they are now. What follows is as it was, its items numbered items_added lower before
  // the edit and, in end_item, its characters chars_added places earlier.
  struct TRDChangedRange {
    int first_item = 0;
    int first_char = 0;
    int end_item = 0;
    int end_char = 0;
    int items_added = 0;
    int chars_added = 0;
  };
  // The draw line that holds the 0-based character offs of item itemNo (its first for a
  // non-text item).
  int DrawItemAt(int itemNo, int offs) const;
  // The top of the screen line that holds draw line dItemNo.
  int LineTopOf(int dItemNo) const;

  // Painting (see painter.cpp): the part clip (client coordinates) on canvas, whose
  // point (0, 0) stands for clip's top-left corner.
  void PaintTo(TRDCanvas& canvas, const TRect& clip);
  virtual void DrawBackground(TRDCanvas& canvas, const TRect& rect);

  // Draw line queries.
  int GetDrawItemStartOffset(int dItemNo) const;
  int GetDrawItemEndOffset(int dItemNo) const;
  void DrawItemToItem(int dItemNo, int dItemOffs, int& itemNo, int& itemOffs) const;
  void ItemToDrawItem(int itemNo, int itemOffs, int& dItemNo, int& dItemOffs) const;
  int GetFirstDrawItemOfItem(int itemNo) const;
  int GetItemEndDrawItem(int itemNo) const;
  void GetLineDrawItemRange(int dItemNo, int& first, int& last) const;
  int FindFirstVisibleDrawItem(int y, int mode) const;
  int GetFirstVisibleItemNo() const;
  int GetLastVisibleItemNo() const;
  int FindDrawItemAtPoint(int x, int y) const;
  void FindDrawItemAtPos(int x, int y, bool strict, int& dItemNo, int& dItemOffs);
  // Screen lines (draw lines that start a line) up to and including the one of the
  // position; 0 when the position has no draw line.
  int GetLineNumber(int itemNo, int offset) const;
  void ClientToDocument(int& x, int& y) const;

  // Mouse on the document (see rd_mouse.cpp); points in client coordinates of the
  // document area.
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // The double click at a client point: a word selection and the double-click event.
  void DblClick(int x, int y);
  void RepaintJump(int jumpId);
  void ClearJumpHighlight();

  // The item that takes every mouse move and release, at its own coordinates, from a
  // press on it until it lets the mouse go (a table while a border or a cell selection
  // is dragged); left and top receive the item's document coordinates.
  void SetCaptureItem(TCustomRDItemInfo* item, int& left, int& top);
  void ReleaseCaptureItem(TCustomRDItemInfo* item);
  TCustomRDItemInfo* CaptureItem() const { return capture_item_; }

  // The temporary figure over the document: drawn by the paint while shown. The owner
  // tells whose figure it is (IsXorDrawHandler).
  void RegisterXorDrawHandler(TRDXorDrawHandler handler, const void* owner = nullptr);
  bool IsXorDrawHandler(const void* owner) const { return xor_handler_ && xor_owner_ == owner; }
  void UnregisterXorDrawHandler();
  void ShowXorDrawAt(int x, int y);
  bool HideXorDraw();
  void PaintXorDraw(TRDCanvas& canvas);

  // Where an item's first draw line lies, in document coordinates or client ones; false
  // when the item is not laid out.
  bool GetItemCoords(int itemNo, int& left, int& top) const;
  bool GetItemClientCoords(int itemNo, int& left, int& top) const;
  // Scrolls so that the rectangle (document coordinates) shows: horizontally only when
  // it lies outside the view; vertically to its top when above, or to its bottom and one
  // step more when below.
  virtual void ScrollToRect(int left, int top, int height, int width);

  // Protection (rd_protection.cpp). A sticky boundary is the one after itemNo (-1: before
  // the first item); finding one beeps unless silent.
  bool IsParaOption(int paraNo, TRDParaOptions option) const;
  bool IsItemProtected(int itemNo, TRDProtectOptions option) const;
  bool IsStickyBoundary(int itemNo, bool silent) const;
  bool CanInsertAt(int itemNo, int offset) const;

  // Reports the checkpoint that the view's position makes current (after a scroll).
  void NotifyCheckpointVisible();

  // Selection.
  void GetSelectionDrawBounds(int& startDItem, int& endDItem, int& startOffs, int& endOffs,
                              bool normalize) const;
  bool HasSelection() const;
  // The item whose selection inside it is the document's selection (a table's selected
  // cells), null when none; a selection inside an item counts as one of the document.
  TCustomRDItemInfo* GetPartiallySelectedItem() const;
  bool HasSelectionOrPartial() const { return HasSelection() || GetPartiallySelectedItem(); }
  // As HasSelection; with resetEmpty an empty selection is also removed, unless the mouse
  // is making one.
  bool HasSelection(bool resetEmpty);
  bool IsPositionInSelection(int itemNo, int offset, bool includeBounds) const;
  bool SelectionSpansParagraphs() const;
  bool ExpandSelectionToParas(bool onlyIfMultiPara);
  void ExpandSelectionToLines();
  // An empty selection (a caret) at the document position under a client point.
  void SetCaretAt(int x, int y);
  // The picture of the one non-text item the selection covers exactly, else none.
  const TGraphic* GetSelectedPicture() const;
  void GetSelectionBounds(int& startItemNo, int& startOffs, int& endItemNo, int& endOffs,
                          bool normalize) const;
  void SetSelectionBounds(int startItemNo, int startOffs, int endItemNo, int endOffs);
  virtual void Deselect(bool notify);
  void SelectAll();
  // The word around a document point: the item and the word's 1-based start and length.
  bool FindWordAt(int x, int y, int& itemNo, int& wordStart, int& wordLength);
  std::function<void()> OnSelect;

  void Clear() override;
  // A text style on a canvas of the given scaling, its character spacing scaled like any
  // other horizontal distance: the layout and the drawing of a printout space alike.
  void ApplyStyleAtScale(TRDCanvas& canvas, int styleNo, TRDBiDiMode bidi,
                         const TRDResolution& scaling) const;

 protected:
  // Forgets the partially selected item, which drops its selection inside.
  void ReleasePartialSelection();
  // The line being built (line_fill.cpp).
  struct TRDFormatParams;
  void FormatLine(const std::string& text, const std::string& stored, int itemNo, int count,
                  int startOffs, TRDFormatParams& params);
  void PlaceControls();
  // The steps of FormatItems (format_pass.cpp): the selection and scroll position it
  // keeps, the line a tail format starts from (-1: the beginning) with its first item,
  // the lines from there dropped (answers the baseline to start from), the document's
  // widths (true when they changed, which starts the layout at the beginning; with the
  // widths of the no-wrap text items measured for them), the items laid out and the kept
  // position restored.
  struct TRDKeptPosition;
  TRDKeptPosition KeepPosition(bool keepPosition, bool noRestore);
  int TailRestartLine(int& firstItem) const;
  int DropLinesFrom(int restartLine, int firstItem, bool keepPosition, TRDKeptPosition& kept,
                    const TRDResolution& scaling);
  bool ChooseWidths(int& firstItem, int& restartLine, std::vector<int>& lineMinWidths,
                    std::vector<int>& noWrapWidths, const TRDFormatParams& params);
  void LayOutFrom(int firstItem, TRDFormatParams& params);
  void RestoreKeptPosition(const TRDKeptPosition& kept, bool scrollBack, bool formatTail,
                           int oldVOffs);
  // Lays out items first..last after what params has built so far, the first from its
  // 0-based character firstChar. Answers the first item whose first draw line, if it has
  // one, is still the old one: last + 1 unless a partial layout met its old lines.
  int FormatItemRange(int first, int last, TRDFormatParams& params, int firstChar = 0);
  void FormatItem(int itemNo, TRDFormatParams& params, int from = 0);
  // The steps of FormatLine: an empty text item, how much of the rest fits on the line
  // (false: the line ends first), where a piece that does not take the rest breaks
  // (false: nowhere on this line), and the piece placed.
  struct TRDTextRun;
  struct TRDTextPiece;
  bool LineEndsInFullLineItem(const TRDFormatParams& params) const;
  void FormatEmptyText(int itemNo, bool newLine, const TRDTextRun& run, TRDFormatParams& params);
  bool FitTextPiece(const std::string& text, const std::string& stored, int itemNo, int pos,
                    int end, bool afterMarker, TRDFormatParams& params, TRDTextPiece& piece);
  bool BreakTextPiece(const std::string& text, const std::string& stored, int itemNo, int pos,
                      int end, bool forced, TRDTextPiece& piece) const;
  void AddTextPiece(const std::string& text, int itemNo, int pos, const TRDTextPiece& piece,
                    const TRDTextRun& run, TRDFormatParams& params);
  // The least width of the item line that itemNo starts: the next one measured before
  // the layout, or measured now.
  int NextLineMinWidth(int itemNo, TRDFormatParams& params) const;
  // DocumentWidth and TextWidth for a document whose lines need minWidth.
  void WidthsFor(int minWidth, const TRDResolution& scaling, int& documentWidth,
                 int& textWidth) const;
  void FormatRectItem(int itemNo, TRDFormatParams& params);
  // The steps of FormatRectItem: the item's size and spacing as laid out, the width a
  // tab takes to its stop, and the item placed on the line.
  struct TRDItemBox;
  TRDItemBox MeasureRectItem(TRDNonTextItemInfo& item, const TRDFormatParams& params);
  int TabWidth(const TCustomRDItemInfo& tab, TRDFormatParams& params);
  void PlaceRectItem(int itemNo, TRDNonTextItemInfo& item, const TRDItemBox& box,
                     TRDFormatParams& params);
  void FormatFullLineItem(int itemNo, TRDFormatParams& params);
  void StartNewLine(int itemNo, bool wrapping, TRDFormatParams& params);
  void FinishLine(int rightEdge, TRDFormatParams& params, bool paraEnd);
  void FinishPendingTab(TRDFormatParams& params);
  // How many characters of the item from the 0-based index from (at most count) fit into
  // room; fitWidth receives their width when it was measured, else -1. Prefixes, when
  // given, measures the item's text from `from` on.
  int GetFitCount(const std::string& text, const std::string& stored, int itemNo, int from,
                  int count, int room, TRDFormatParams& params, TItemTextPrefixes* prefixes,
                  int& fitWidth) const;
  void ApplyTextStyle(int styleNo, int itemNo, TRDFormatParams& params);
  void AddDrawLine(std::unique_ptr<TRDDrawLineInfo> line, TRDFormatParams& params);
  int ParaSpaceAfter(int itemNo, const TRDResolution& scaling) const;
  int ParaSpaceBefore(int itemNo, const TRDResolution& scaling) const;
  // Lays out again after a change whose start the old draw line changeDItemNo holds: from
  // a line or two before it until the new lines meet the old ones past the change, whose
  // draw lines, items' first draw lines and hypertext areas are then moved by how much
  // the change grew, with the document's height. The selection goes.
  void RelayoutChange(const TRDChangedRange& change, int changeDItemNo);
  struct TRDOldLines;
  // Whether the new line that line starts meets the old lines (formatter_relayout.cpp).
  bool MeetsOldLines(const TRDDrawLineInfo& line, TRDOldLines& old) const;
  bool CandidateIsOld(TRDOldLines& old, int oldItemNo, int oldOffs) const;
  // The line a partial layout starts with for a change on old draw line d's line.
  int RestartLine(int d) const;
  bool ResumableLine(int d) const;
  // The steps of FinishLine (line_finish.cpp) over draw lines first..last: the items
  // aligned to the line's top, middle or bottom (answers how far they reach below it),
  // the extra line spacing, and the room left shared by the spaces of a justified line.
  int AlignLineItems(int first, int last, TRDFormatParams& params);
  int LineSpacing(const TParaInfo& para, int first, int last, const TRDFormatParams& params) const;
  void JustifyLine(int first, int last, int rightEdge);
  // The order of the line from draw line first to the last (line_order.cpp): its text
  // across its pieces run through the bidirectional algorithm at its paragraph's level,
  // each text piece cut where the level changes and given its level (true when a piece
  // reads right to left or stands above the paragraph's level); then the pieces placed
  // from the left in the order they are shown.
  bool SplitLineByLevels(int first, TRDFormatParams& params);
  void PlaceLineInVisualOrder(int first, int last);
  // The level of the paragraph of itemNo: its direction, or, where it sets none, that of
  // its first strong letter (kept in params for the paragraph's next lines).
  int ParagraphLevel(int itemNo, TRDFormatParams& params) const;
  // The characters of itemNo from offs, count of them, as the algorithm reads them: a tab
  // item as a tab, another non-text item as an object, the text of a style with its own
  // direction as letters of that direction.
  void AppendBiDiText(int itemNo, int offs, int count, std::u16string& out) const;
  // The text a draw line shows, prepared for display.
  std::string DisplayTextOf(int dItemNo, bool atLineEnd) const;

 private:
  // The steps of PaintTo over the state of one paint (painter.cpp).
  struct TPaintPass;
  bool StartsParagraphAt(int dItemNo) const;
  void PaintParagraphBacks(TPaintPass& pass);
  void PaintTextBacks(TPaintPass& pass);
  void StartScreenLine(TPaintPass& pass, int dItemNo);
  void FillLineSelection(TPaintPass& pass, int left, int right);
  void PaintDrawLine(TPaintPass& pass, int dItemNo);
  void PaintItemLine(TPaintPass& pass, int dItemNo);
  void PaintTextLine(TPaintPass& pass, int dItemNo);
  void PaintLineEndMark(TPaintPass& pass, int dItemNo, int styleNo, TRDBiDiMode bidi);
  void PaintWordMarks(TPaintPass& pass, int dItemNo, const std::string& text);
  // Mouse helpers (rd_mouse.cpp).
  void UpdateDrawItemUnderMouse(int x, int y);
  // The capturing item with the point relative to it; nullptr when no item captures.
  TCustomRDItemInfo* CapturedItemAt(int x, int y, int& rx, int& ry, int& itemNo) const;
  // The item of the draw line under the mouse with the point relative to that line;
  // none (itemNo -1) over no draw line.
  TCustomRDItemInfo* ItemUnderMouse(int x, int y, int& rx, int& ry, int& itemNo) const;
  bool InLeftMargin(int x) const;
  void ClampToClient(int& x, int& y) const;
  void MoveSelectionEnd(int x, int y);
  void StartSelection(TShiftState shift, int x, int y, bool inMargin);
  int FindJumpAt(int x, int y) const;
  void UnlightJump();
  void UpdateItemHint();
  bool WordBoundsAt(int dItemNo, int dItemOffs, int& startDItem, int& startOffs, int& endDItem,
                    int& endOffs) const;
  void WidenToWords();

  std::uint16_t flags_ = rdfCollectJumps | rdfTrimSpaces | rdfRoot;
  TRDXorDrawHandler xor_handler_;
  const void* xor_owner_ = nullptr;
  TCustomRDItemInfo* capture_item_ = nullptr;
  TPoint xor_point_;
  bool xor_visible_ = false;
  std::string last_hint_;
  // Set while the document size goes to the window: a resize it causes must not start
  // a format inside this one.
  bool area_size_guard_ = false;
};

// While it lives, the canvas lays text out in the direction of draw line's level within
// its screen line; afterwards as before.
class TRDDrawItemDirection {
 public:
  TRDDrawItemDirection(TRDCanvas& canvas, const TRDDrawLineInfo& line);
  ~TRDDrawItemDirection();
  TRDDrawItemDirection(const TRDDrawItemDirection&) = delete;
  TRDDrawItemDirection& operator=(const TRDDrawItemDirection&) = delete;

 private:
  TRDCanvas& canvas_;
  TRDBiDiMode saved_;
};
