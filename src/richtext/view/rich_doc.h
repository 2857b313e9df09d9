// The read-only rich-text viewer: a scrolling window that holds one document, lays it
// out at its width, paints it double-buffered and offers the operations the program's
// monitor and message lists call (append, format the tail, select, scroll to the end).
// TCustomRichDoc holds the behaviour; TRichDoc is what forms create.
//
// Example: AddTextParagraph("hello", 0, 0); FormatTail() lays out and shows the new
// line, and with rdoScrollToEnd the view follows the end of the document.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/graphics/text_layout.h"
#include "richtext/base/rdf_format.h"
#include "richtext/base/rtf_options.h"
#include "richtext/styles/html_routines.h"
#include "richtext/view/rd_scroller.h"
#include "richtext/view/rich_doc_data.h"

class TBitmap;
class TDragData;
class TGraphic;
class TRDBackground;
class TRDLayoutInfo;
class TRDWordEnumThread;
class TRDPlatformCanvas;
class TRDRTFReaderProperties;
class TRDStyle;
struct TRDHTMLSaveParams;
struct TRDSmartPopupProperties;
class TRDSmartPopupButton;
class TStream;
class TTimer;

enum TRDTabNavigationType { rdtnNone, rdtnTab, rdtnCtrlTab };
enum TRDAnimationMode { rdaniDisabled, rdaniManualStart, rdaniOnFormat };
enum TRDPaletteAction { rdpaDoNothing, rdpaAssignPalette, rdpaCreateCopies, rdpaCreateCopiesEx };

// The deferred events: what an embedded editor hands the viewer to fire after its own
// handling is over.
struct TRDMessageData {
  explicit TRDMessageData(std::uint8_t kind) : Kind(kind) {}
  virtual ~TRDMessageData() = default;
  std::uint8_t Kind;
};
struct TRDDblClickMessageData : TRDMessageData {
  TRDDblClickMessageData(std::string word, int styleNo)
      : TRDMessageData(0), ClickedWord(std::move(word)), StyleNo(styleNo) {}
  std::string ClickedWord;
  int StyleNo;
};
struct TRDJumpMessageData : TRDMessageData {
  explicit TRDJumpMessageData(int id) : TRDMessageData(1), Id(id) {}
  int Id;
};
struct TRDClickMessageData : TRDMessageData {
  TRDClickMessageData() : TRDMessageData(4) {}
};
struct TRDMouseUpDownMessageData : TRDMessageData {
  TRDMouseUpDownMessageData(bool up, TMouseButton button, TShiftState shift, int itemNo, int x,
                            int y)
      : TRDMessageData(up ? 2 : 3), Button(button), Shift(shift), ItemNo(itemNo), X(x), Y(y) {}
  TMouseButton Button;
  TShiftState Shift;
  int ItemNo, X, Y;
};
struct TRDMouseMoveMessageData : TRDMessageData {
  TRDMouseMoveMessageData(TShiftState shift, int x, int y)
      : TRDMessageData(6), Shift(shift), X(x), Y(y) {}
  TShiftState Shift;
  int X, Y;
};

// The two drag notifications of a control drag that a cell's editor hands on (7 something
// dropped on it, 8 a drag that started in it ended): the pointer in the viewer's client
// coordinates and the control at the other end (the source of a drop, the target of an
// end). The only control drags in this program are the lists' (dtVCL), which a cell's
// editor refuses, so none are posted yet; the viewer fires them when they are.
struct TRDDNDMessageData : TRDMessageData {
  TRDDNDMessageData(bool dropped, TPoint pt, TComponent* other)
      : TRDMessageData(dropped ? 7 : 8), Pt(pt), Other(other) {}
  TPoint Pt;
  TComponent* Other;
};

class TCustomRichDoc : public TRDScroller {
 public:
  explicit TCustomRichDoc(TComponent* AOwner);
  ~TCustomRichDoc() override;

  static constexpr TRDOptions kDefaultOptions =
      rdoAllowSelection | rdoScrollToEnd | rdoShowPageBreaks | rdoAutoCopyText | rdoAutoCopyRDF |
      rdoAutoCopyImage | rdoAutoCopyRTF | rdoFormatInvalidate | rdoDblClickSelectsWord |
      rdoRClickDeselects | rdoFastFormatting;

  TRichDocRDData& RDData() { return *rd_data_; }
  const TRichDocRDData& RDData() const { return *rd_data_; }

  TRDOptions Options = kDefaultOptions;
  TRDFOptions RDFOptions;
  TRDRTFOptions RTFOptions = kDefaultRTFOptions;
  TRDFReaderStyleMode RDFTextStylesReadMode = rdf_sInsertMerge;
  TRDFReaderStyleMode RDFParaStylesReadMode = rdf_sInsertMerge;
  int LeftMargin = 5;
  int RightMargin = 5;
  int TopMargin = 5;
  int BottomMargin = 5;
  int MinTextWidth = 0;
  int MaxTextWidth = 0;
  std::string Delimiters;
  TRDTabNavigationType TabNavigation = rdtnTab;
  TCPEventKind CPEventKind = cpeNone;
  int MaxLength = 0;
  TTextLayout VAlign = tlTop;
  TRDPaletteAction DoInPaletteMode = rdpaCreateCopies;
  std::uint16_t Flags = 0x0D03;

  TRDStyle* Style() const { return style_; }
  virtual void SetStyle(TRDStyle* Value);
  TRDAnimationMode AnimationMode() const { return animation_mode_; }
  void SetAnimationMode(TRDAnimationMode Value);
  TRDBackground& Background() { return *background_; }
  void SetBackgroundBitmap(const TGraphic* Value);
  void SetBackgroundStyle(int Value);
  bool AllowSelection() const { return (Options & rdoAllowSelection) != 0; }
  void SetAllowSelection(bool Value);
  bool SingleClick() const { return (Options & rdoSingleClick) != 0; }
  void SetSingleClick(bool Value);
  // Made on the first call.
  TRDRTFReaderProperties& RTFReadProperties();
  // Live spelling: while on, a worker thread asks OnSpellingCheck (called on that thread)
  // about every word (in UTF-8) and the misspelt ones are underlined. Without the event
  // nothing starts.
  std::function<bool(const std::string& word, int styleNo)> OnSpellingCheck;
  void StartLiveSpelling();
  void StopLiveSpelling();
  TRDWordEnumThread* LiveSpelling() const { return live_spelling_.get(); }
  // The smart-popup settings, made with their defaults on the first call; setting none
  // drops them, setting others copies them.
  TRDSmartPopupProperties& SmartPopupProperties();
  void SetSmartPopupProperties(const TRDSmartPopupProperties* Value);
  bool HasSmartPopupProperties() const { return smart_popup_ != nullptr; }
  // The smart-popup button beside item ItemNo of the document (made with the settings'
  // defaults when there are none yet); it follows the item through formatting and
  // scrolling and goes when the item has no place on screen or the document is cleared.
  void ShowSmartPopupButton(int ItemNo);
  void FreeSmartPopupButton();
  void PlaceSmartPopupButton();
  TRDSmartPopupButton* SmartPopupButton() const { return smart_popup_button_; }
  // A click on the button (or its ShortCut) where no menu drops down.
  std::function<void(TCustomRichDoc* Sender, TRDSmartPopupButton* Button)> OnSmartPopupClick;
  // The colour painted behind the document: Color, else the style sheet's.
  TColor BackgroundColor() const;

  // Building the document.
  void AddTextParagraph(const std::string& s, int StyleNo, int ParaNo);
  void AddTextContinued(const std::string& s, int StyleNo);
  void FormatDocument();
  void FormatKeepSelection();
  void FormatTail();
  // Lays out again only the paragraphs of items First..Last, whose texts or styles
  // changed (no item came or went); the view stays where it is.
  void FormatChangedItems(int First, int Last);
  virtual void ClearFormatting();
  void ClearDocument();
  // Deletes Count items from First; a format afterwards shows the change.
  void DeleteItemRange(int First, int Count);
  // FormatTail after DeleteItemRange: when the layout of the rest was kept (whole
  // paragraphs went before the last), only the scroll range and position follow.
  void FormatAfterDeletion();
  int ItemCount() const { return rd_data_->GetItemCount(); }
  int GetItemStyleIndex(int ItemNo) const { return rd_data_->GetItemStyle(ItemNo); }
  std::string ReadItemText(int ItemNo) const { return rd_data_->GetItemTextRaw(ItemNo); }
  // Into the list, not laid out until the next format.
  void ReplaceItemText(int ItemNo, const std::string& s);
  TCustomRDItemInfo* GetItemInfo(int ItemNo) const { return rd_data_->GetItem(ItemNo); }
  int GetItemStartOffset(int ItemNo) const { return rd_data_->GetItemStartOffset(ItemNo); }
  int GetItemEndOffset(int ItemNo) const { return rd_data_->GetItemEndOffset(ItemNo); }
  bool IsItemLineStart(int ItemNo) const { return rd_data_->IsItemLineStart(ItemNo); }
  int GetLineNumber(int ItemNo, int Offset) const {
    return rd_data_->GetLineNumber(ItemNo, Offset);
  }
  int GetDocumentHeight() const { return rd_data_->DocumentHeight; }

  // Saving the document to a file, which is replaced whole or not at all: plain text in
  // the text styles' code pages (SaveText), UTF-16 with its byte-order mark (SaveTextW)
  // or UTF-8 (SaveTextUTF8), lines of LineWidth for rules; RTF, of the selection only
  // when asked; HTML with text styles' tags (SaveHTML) or a style sheet (SaveHTMLEx),
  // its pictures saved beside it as ImagePrefix and a number. RTF and HTML take the view's
  // background colour (and HTML its background picture). False, with nothing written,
  // when there is no style sheet.
  bool SaveText(const std::string& FileName, int LineWidth);
  bool SaveTextW(const std::string& FileName, int LineWidth);
  bool SaveTextUTF8(const std::string& FileName, int LineWidth);
  bool SaveRTF(const std::string& FileName, bool SelectionOnly);
  // The document in RDF with what RDFOptions ask for beside the items: the background
  // and Color, the layout block of the margins, widths and reading direction, and the
  // document properties. Loading replaces the document (format it afterwards) and takes
  // those of them that RDFOptions let in; false when the stream could not be read whole.
  bool SaveRDFToStream(TStream& Stream, bool SelectionOnly);
  bool LoadRDFFromStream(TStream& Stream);
  bool SaveRDF(const std::string& FileName, bool SelectionOnly);
  bool LoadRDF(const std::string& FileName);
  // The layout block of the viewer's properties, and setting them from one.
  TRDLayoutInfo LayoutInfo() const;
  void ApplyLayoutInfo(const TRDLayoutInfo& Layout);
  // The document's properties: free strings that RDF files carry.
  std::vector<std::string> DocProperties;
  bool SaveHTML(const std::string& FileName, const std::string& Title,
                const std::string& ImagePrefix, TRDSaveOptions Options);
  bool SaveHTMLEx(const std::string& FileName, const std::string& Title,
                  const std::string& ImagePrefix, TRDSaveOptions Options);

  // The selection.
  bool HasSelection() const { return rd_data_->HasSelection(); }
  virtual void GetSelectionRange(int& StartItemNo, int& StartOffs, int& EndItemNo, int& EndOffs,
                                 bool Normalize) const;
  void SetSelectionRange(int StartItemNo, int StartOffs, int EndItemNo, int EndOffs);
  void SelectAll();
  void Deselect();
  // Copies the selection in the formats of the rdoAutoCopy options (Ctrl+C does too).
  void CopySelection();
  // The selected text; empty when nothing is selected.
  std::string GetSelText();
  // The selection as linear character positions (see TCustomRDData::ItemToLinear), start
  // before end, taken in the innermost document holding it (a chosen table cell).
  void GetLinearSelection(int& SelStart, int& SelEnd);
  // Selects from SelStart to SelEnd when both lie in one document; else nothing changes.
  void SetLinearSelection(int SelStart, int SelEnd);
  // The text from linear position CpMin to CpMax (to the end when CpMax is negative),
  // UTF-16: separators as CR, tabs as tabs, other objects as blanks.
  std::string GetTextRange(int CpMin, int CpMax) const;

  // Animations of the document's pictures.
  void StartAnimation();
  void StopAnimation();
  void ResetAnimation();
  // One tick of the animation timer (the timer calls it; tests may too).
  void AnimationTick();

  // Services an editor builds on (rich_doc_services.cpp). The auto-scroll timer scrolls
  // the view toward the mouse while it runs; a slow one for a drag-and-drop caret.
  void StartAutoScrollTimer(bool Slow);
  void StopAutoScrollTimer();
  // The mouse, at a client point, held by a control over this one (a table cell's editor)
  // and followed as if over this view: the running timer scrolls toward it and moves
  // there again after each step.
  void FollowMouseForAutoScroll(TShiftState Shift, int X, int Y);
  // While something is dragged over the view: the running timer scrolls one small step
  // up (-1) or down (1) a tick, or not (0).
  void SetDropScrollDirection(int Dy) { drop_scroll_dy_ = Dy; }
  // A drag of this viewer's selection is running.
  bool DraggingSelection() const { return dragging_selection_; }
  // The hypertext under the mouse shown again for the present keys and mouse position.
  void UpdateHotState();
  // Ctrl+C or Ctrl+Insert; Ctrl+X or Shift+Delete; Ctrl+V or Shift+Insert.
  static bool IsCopyShortcut(TShiftState Shift, TKeyCode Key);
  static bool IsCutShortcut(TShiftState Shift, TKeyCode Key);
  static bool IsPasteShortcut(TShiftState Shift, TKeyCode Key);
  // Live spelling after an edit: check again from the item; shift the word marks of an
  // item after a character was typed at Offset, or Count characters deleted there.
  void RecheckWordsFrom(TCustomRDData* RDData, int ItemNo, int Offset);
  // The word being typed is left alone until the caret leaves it: the caret now stands at
  // Offset of item ItemNo, and when that is outside the word, the word is checked.
  void RunPendingWordCheck(TCustomRDData* RDData, int ItemNo, int Offset);
  static void AdjustWordMarksAfterInsert(TCustomRDData* RDData, int ItemNo, int Offset,
                                         char16_t Ch);
  static void AdjustWordMarksAfterDelete(TCustomRDData* RDData, int ItemNo, int Offset, int Count);

  // Queues an event to fire once the current input has been handled.
  void PostDeferredEvent(std::unique_ptr<TRDMessageData> Data);
  // Some such event still waits for the event loop.
  bool EventsDeferred() const { return !deferred_.empty(); }

  std::function<void(TCustomRichDoc* Sender, TRDCanvas& Canvas, bool Prepaint)> OnPaint;
  TNotifyEvent OnSelect;
  std::function<void(TCustomRichDoc* Sender, const std::string& ClickedWord, int StyleNo)>
      OnRDDblClick;
  std::function<void(TCustomRichDoc* Sender, int Id)> OnJump;
  // The jump id under the mouse, -1 when the mouse left a jump.
  std::function<void(TCustomRichDoc* Sender, int Id)> OnRDMouseMove;
  std::function<void(TCustomRichDoc* Sender, const std::string& ClickedWord, int StyleNo, int X,
                     int Y)>
      OnRDRightClick;
  std::function<void(TCustomRichDoc* Sender, TCustomRDData* RDData, int ItemNo, std::string& Hint)>
      OnItemHint;
  // Checkpoint none: no checkpoint is in view.
  std::function<void(TCustomRichDoc* Sender, TRDCPInfo* Checkpoint)> OnCheckpointVisible;
  // Fires while the clipboard is open for a copy: the application may add formats.
  TNotifyEvent OnCopy;
  // The cursor shown over text; hypertext and the left margin show their own.
  TCursor NormalCursor = crDefault;
  std::function<void(TCustomRichDoc* Sender, TMouseButton Button, TShiftState Shift, int ItemNo,
                     int X, int Y)>
      OnRDMouseDown;
  std::function<void(TCustomRichDoc* Sender, TMouseButton Button, TShiftState Shift, int ItemNo,
                     int X, int Y)>
      OnRDMouseUp;
  // The drag notifications a cell's editor hands on (deferred events 7 and 8).
  std::function<void(TCustomRichDoc* Sender, TComponent* Source, int X, int Y)> OnDragDrop;
  std::function<void(TCustomRichDoc* Sender, TComponent* Target, int X, int Y)> OnEndDrag;

  void SetVSmallStep(int Value) override;
  std::string ClassName() const override { return "TCustomRichDoc"; }

 protected:
  // What a drag of the selection allows (a viewer copies), and what it did when it ended.
  virtual TDropEffects SelectionDragEffects() { return deCopy; }
  virtual void SelectionDragEnded(TDropEffect /*Effect*/) {}
  // The pointer moved far enough on the selection: the drag starts (an editor in a table
  // cell has its root editor run it).
  virtual void StartSelectionDrag() { DragSelection(); }
  // Runs the drag of the selection until the target is done with it.
  void DragSelection();
  // A descendant whose document data is of a class of its own makes it here.
  using TDataFactory = std::function<std::unique_ptr<TRichDocRDData>(TCustomRichDoc&)>;
  TCustomRichDoc(TComponent* AOwner, const TDataFactory& MakeData);

  void Paint() override;
  // Drawn over the painted document (client coordinates of the document area): what a
  // descendant shows on top, such as a caret.
  virtual void PaintOverDocument(TRDCanvas&) {}
  // Whether the document's background covers every pixel of the document area.
  virtual bool PaintsWholeBackground() const;
  void BoundsChanged(const TRect& OldBounds) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  void DialogKey(TKeyCode& Key, TShiftState Shift) override;
  // With TabNavigation the controls in the text are reached through the viewer's items.
  bool TabsThroughChildren() const override { return TabNavigation != rdtnNone; }
  void DoVScrolled() override;
  void DoHScrolled() override;
  void DoEnter() override;
  void DoExit() override;
  void ColorChanged() override;

 private:
  TRDHTMLSaveParams HTMLSaveParams(const std::string& fileName, const std::string& title,
                                   const std::string& imagePrefix, TRDSaveOptions options) const;
  friend class TRichDocRDData;
  void Format(bool keepPosition, bool force, bool formatTail, bool pass1, bool pass2);
  void AfterFormat();
  // Client points of the control to those of the document area and back.
  TPoint ToDocumentArea(int X, int Y) const;
  TPoint FromDocumentArea(int X, int Y) const;
  void ShowCursor(TCursor Cursor);
  void ShowItemHint(const std::string& Hint);
  // The key that moves the focus from item to item.
  bool IsItemTabKey(TKeyCode Key, TShiftState Shift) const;
  void AutoScrollTick();
  void DispatchDeferred();
  void PaintWithoutStyle();
  // Dragging the selection out (rd_drag_source.cpp): the press that asked for it, the
  // move that starts it (true while the request holds the mouse), the release that
  // was only a click (true when it was one).
  void ArmDrag();
  bool FollowDragRequest(TShiftState Shift, int X, int Y);
  bool EndDragRequest(int X, int Y);
  std::shared_ptr<TDragData> SelectionDragData();

  std::unique_ptr<TRichDocRDData> rd_data_;
  std::unique_ptr<TRDBackground> background_;
  std::unique_ptr<TRDRTFReaderProperties> rtf_read_properties_;
  std::unique_ptr<TRDSmartPopupProperties> smart_popup_;
  TRDSmartPopupButton* smart_popup_button_ = nullptr;  // a child control, freed by us
  TRDStyle* style_ = nullptr;
  TRDAnimationMode animation_mode_ = rdaniManualStart;
  std::unique_ptr<TRDPlatformCanvas> paint_canvas_;  // over Canvas(), its fonts kept
  TTimer* auto_scroll_timer_;
  TTimer* animation_timer_;
  TTimer* deferred_timer_;
  std::unique_ptr<TRDWordEnumThread> live_spelling_;
  // The word being typed, not checked yet: its document (none: no such word), its item,
  // and the caret offset after the last edit in it.
  struct TPendingWord {
    TCustomRDData* Data = nullptr;
    int ItemNo = -1;
    int Offset = 0;
  };
  TPendingWord pending_word_;
  // An edit at Offset of item ItemNo left its word unchecked; a word pending elsewhere is
  // checked now.
  void SetPendingWord(TCustomRDData* RDData, int ItemNo, int Offset);
  TTimer* spelling_timer_;
  int auto_scroll_dx_ = 0;
  int auto_scroll_dy_ = 0;
  TPoint last_mouse_;
  TShiftState last_shift_ = 0;
  std::deque<std::unique_ptr<TRDMessageData>> deferred_;
  TPoint drag_press_;
  bool dragging_selection_ = false;
  bool* freed_while_dragging_ = nullptr;  // set when freed while DragSelection runs
  int drop_scroll_dy_ = 0;
};

class TRichDoc : public TCustomRichDoc {
 public:
  explicit TRichDoc(TComponent* AOwner) : TCustomRichDoc(AOwner) {}
  std::string ClassName() const override { return "TRichDoc"; }
};
