// The document data under an editor control: a viewer's document plus everything that
// editing needs - the caret and the caret stops of its screen line, the current text
// and paragraph styles, the undo and redo lists, the item resizer and the drag-and-drop
// caret - and the recording operations through which every change of an item is made,
// so that it can be undone.
//
// The caret position as item and offset is derived, never stored: the caret stands in
// draw item CaretDItemNo at stop CaretPositions[CaretPosIndex]; for text the offset in
// the item is the draw item's first character offset + the stop's Offset - 1.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "richtext/view/rich_doc_data.h"
#include "richtext_edit/edit/undo_list.h"
#include "richtext_edit/edit/undo_records.h"

class TCustomRichDocEdit;
class TRDItemResizer;

// State bits of the editable data (above the viewer's).
constexpr std::uint32_t rddsCaretJumpHighlighted = 0x10000;
constexpr std::uint32_t rddsFormattingSuspended = 0x20000;
constexpr std::uint32_t rddsSelectedAsWhole = 0x40000;
constexpr std::uint32_t rddsReapplyCurrentStyles = 0x80000;
constexpr std::uint32_t rddsMergingInnerUndo = 0x100000;
constexpr std::uint32_t rddsJustCleared = 0x200000;
constexpr std::uint32_t rddsApplyingStyle = 0x400000;
constexpr std::uint32_t rddsKeepPendingTag = 0x800000;
constexpr std::uint32_t rddsTyping = 0x1000000;
static_assert(rddsClearing < rddsCaretJumpHighlighted &&
                  rddsLoadingRDFBlock < rddsCaretJumpHighlighted,
              "the viewer's state bits lie below the editable data's");

// The data flag of an editor: hyperlinks work only in its hyperlink mode, which writing
// a file enters for the time of writing.
constexpr std::uint16_t rdfSwitchableHyperlinks = 0x1000;
// The root editor's data flag: pictures may be resized, and drags dropped, in a
// read-only editor.
constexpr std::uint16_t rdfReadOnlyDragAndResize = 0x2000;

// The caret's look: its width, the pixels added above and below it, its greatest height.
inline int CaretWidth = 1;
inline int CaretVMargin = 0;
inline int CaretMaxHeight = 1000;
// Enter in an empty list item keeps the list going (a new item) instead of ending it.
inline bool KeepMarkerOnEnter = false;

// Which list receives new records.
constexpr std::uint8_t rduaNone = 0;
constexpr std::uint8_t rduaUndo = 1;
constexpr std::uint8_t rduaRedo = 2;

// The style-conversion handler the editor control installs before it asks the data to
// apply a style: given the old style number (a text style, or a paragraph style), the
// paragraph style of the item concerned, the user data of the control's operation and
// whether the style is applied to text of the document (false for the caret's current
// style and for paragraphs), it sets NewStyleNo (preset to the old number). The last
// argument is true for paragraph conversions and, for text, whether whole paragraphs are
// converted.
using TRDStyleConversionHandler =
    std::function<void(TCustomRichDocEdit* Sender, int StyleNo, int ParaNo, int UserData,
                       bool AppliedToText, int& NewStyleNo, bool Flag)>;

// One caret stop of the caret's screen line.
struct TRDCharPos {
  int X = 0;  // document coordinates
  int DrawItemNo = -1;
  int Offset = -1;  // text: 1 before the first character; others: 0 before, 1 after
  int Side = 0;     // the caret's x is X - 1 + Side
};

// Where a drag would drop: the document position under the pointer, in the innermost
// document there (a table's cell). The root editor's data owns it while drags over it
// run (counted, as drags may nest). HostData is the editor's document that shows the
// position (the position's own, or the one holding the cell), OriginX and OriginY where
// RDData's document coordinates start in HostData's.
struct TRDDragDropCaretInfo {
  TCustomRDData* RDData = nullptr;
  int ItemNo = -1;
  int ItemOffs = -1;
  int RefCount = 0;
  TCustomRDData* HostData = nullptr;
  int OriginX = 0;
  int OriginY = 0;
};

class TRDEditRDData;

// Joins text items with the items after them, as JoinWithNextItemWithUndo does one pair,
// many in one pass: the joined items leave their places empty and the item list closes
// the gaps once, at Finish (or when the joiner goes). Pairs come from the end of the
// document towards its start, so that the numbers still to come stay valid; nothing
// else may change the document's items between the first join and Finish.
class TRDItemJoiner {
 public:
  explicit TRDItemJoiner(TRDEditRDData& data) : data_(data) {}
  ~TRDItemJoiner() { Finish(); }
  TRDItemJoiner(const TRDItemJoiner&) = delete;
  TRDItemJoiner& operator=(const TRDItemJoiner&) = delete;

  // Joins item itemNo + 1 into item itemNo, which must lie before every item joined so far.
  void JoinWithNext(int itemNo);
  void Finish();

 private:
  TRDEditRDData& data_;
  TRDUndoJoinItemsInfo* record_ = nullptr;
  std::vector<int> emptied_;
  // Own text length of the last host, for the item joined into it next: the part of its
  // text that was its own before the items after it came.
  int last_host_ = -1;
  int last_host_length_ = 0;
};

class TRDEditRDData : public TRichDocRDData {
 public:
  explicit TRDEditRDData(TCustomRichDoc& richDoc);
  ~TRDEditRDData() override;

  int LastTextStyleNo = 0;
  TRDTag PendingTag;
  std::unique_ptr<TRDItemResizer> Resizer;
  TControl* ResizingControl = nullptr;
  bool SkipNextFormat = false;
  int CaretHeight = 0;  // 0: no caret shown
  std::vector<TRDCharPos> CaretPositions;
  std::unique_ptr<TRDDragDropCaretInfo> DragCaret;
  int CurTextStyleNo = 0;
  int CurParaStyleNo = 0;
  std::unique_ptr<TRDUndoList> UndoList;
  std::unique_ptr<TRDRedoList> RedoList;
  std::uint8_t UndoAction = rduaNone;
  // The item whose part is being edited in a nested editor (a table cell's), or nullptr.
  TCustomRDItemInfo* ChosenItem = nullptr;
  TCustomRDItemInfo* GetChosenItem() const override { return ChosenItem; }
  int CaretDItemNo = -1;
  int CaretPosIndex = -1;

  // The editor control the data belongs to, when it is one.
  TCustomRichDocEdit* Editor() const;

  void Clear() override;
  void ClearFormatting() override;
  // The current text and paragraph styles count as used, and follow the renumbering
  // when unused styles are deleted.
  void MarkStylesInUse(TRDStyleUsage& usage) const override;
  void UpdateStyles(const TRDStyleUsage& usage) override;

  // The caret as item and offset (-1 without a caret).
  int GetCurrentItemNo() const;
  int GetOffsetInCurrentItem() const;

  // --- the caret ---
  // Fills CaretPositions with the stops of the line of CaretDItemNo and sets
  // CaretPosIndex to the stop of offset (a caret offset inside draw item CaretDItemNo).
  void BuildCaretPositions(int offset);
  // After every caret change: checks the stop, takes the current styles from the item
  // at the caret, scrolls to it and tells the control. "Invalid caret position. Please
  // contact the developer, if you can reproduce this problem" for a stop out of range.
  void ShowCaret(bool forceRecreate, bool scrollToCaret, bool keepParaStyle, bool updateNow);
  // The caret rectangle in client coordinates of the document area; false when no caret
  // is to be shown.
  bool GetCaretRect(TRect& rect) const;
  // Moves the caret to the item position (off a list marker, forward) and shows it;
  // with updateParaStyle the current paragraph style is applied to the caret's paragraph.
  void PlaceCaretAtItem(int itemNo, int offset, bool updateParaStyle);
  // Puts the caret at the start of draw item CaretDItemNo.
  void PlaceCaretAtDrawItemStart();
  // Gives the caret's paragraph the current paragraph style, with undo.
  void ApplyCurParaStyleToCaretPara();
  // The next draw item begins a new line by wrapping this one's line.
  bool IsDrawItemBeforeWrap(int dItemNo) const;
  void SkipListMarkerAtCaret(bool forward);
  void SkipListMarkerAtItem(int& itemNo, int& offset, bool forward) const;

  // --- caret movement; true when the caret already stood at the document's edge ---
  bool MoveCaretLeft(bool select, bool byWord);
  bool MoveCaretRight(bool select, bool byWord);
  bool MoveCaretUp(bool select, bool ctrl);
  bool MoveCaretDown(bool select, bool ctrl);
  // To the first (last) stop of the line, or of the document with toDocument.
  void MoveCaretToLineStart(bool toDocument);
  void MoveCaretToLineEnd(bool toDocument);
  void MoveCaretToDocStart() { MoveCaretToLineStart(true); }
  void MoveCaretToDocEnd() { MoveCaretToLineEnd(true); }
  void MoveCaretPageUp();
  void MoveCaretPageDown();
  // Paragraph steps for extending a selection by paragraphs.
  void MoveCaretToPrevParaStart();
  void MoveCaretToNextParaEnd();
  bool CaretAtLineStart() const;
  bool CaretAtLineEnd() const;
  bool CaretOnLastLine() const;
  bool IsEmptyDocument() const;
  bool CaretAtParagraphEnd() const;
  // Before a Shift+movement: a selection starting (and ending) at the caret.
  void StartSelectionAtCaret();
  // After it: the selection ends at the caret.
  void ExtendSelectionToCaret();
  void MoveCaretToSelectionEnd(bool scroll);
  // The caret position normalised to the start of the next item (atItemStart) or the
  // end of the previous one.
  void GetCurrentItemPosition(bool atItemStart, int& itemNo, int& offset) const;
  TPoint GetCaretScreenPosition() const;
  // An empty document gets one empty text item in the current styles.
  void EnsureNotEmpty();
  bool HasCaret() const;
  const TRDCharPos& CaretStop() const;
  void PlaceCaretInDrawItem(int dItemNo, int dItemOffs);

  // --- inserting and deleting ---
  bool IsUnicodeTextStyle(int styleNo, int paraNo) const;
  std::unique_ptr<TCustomRDItemInfo> CreateTextItem(int styleNo, int paraNo, bool lineBreak,
                                                    bool continuesPara, const TRDTag& tag);
  std::unique_ptr<TCustomRDItemInfo> CreateTextItemLike(const TCustomRDItemInfo& source,
                                                        bool lineBreak, bool continuesPara,
                                                        const TRDTag& tag);
  std::unique_ptr<TCustomRDItemInfo> CloneTextItemForSplit(const TCustomRDItemInfo& source);
  TCustomRDItemInfo* InsertNewTextItemWithUndo(const std::string& s, int itemNo, bool& fullReformat,
                                               bool lineBreak, bool continuesPara, int styleNo,
                                               int paraNo, const TRDTag& tag);
  TCustomRDItemInfo* InsertTextItemLikeWithUndo(const std::string& s, int itemNo,
                                                bool& fullReformat, bool lineBreak,
                                                bool continuesPara, const TCustomRDItemInfo& source,
                                                const TRDTag& tag);
  TCustomRDItemInfo* InsertEmptyTextItemWithUndo(int itemNo, bool lineBreak, bool continuesPara,
                                                 int styleNo, int paraNo);
  // Inserts the item with its text at the caret (the caller has opened the step). False,
  // after a beep, when refused; true also when a list marker was dropped.
  bool InsertItemAtCaret(std::unique_ptr<TCustomRDItemInfo> item, std::string s, bool inheritTag,
                         bool caretBefore);
  // --- typing and inserting text and documents at the caret ---
  // A typed character: into the caret's text item when it has the current text style,
  // else as a new item. False (after a beep) when refused.
  bool KeyPressChar(char16_t ch);
  // s: the character's bytes in the current style's form (UTF-16 for a Unicode style).
  bool InsertTypedText(const std::string& s, char16_t ch);
  bool InsertTextItemAtCaret(const std::string& s, int styleNo, bool inheritTag, bool caretBefore);
  // Text cut at its breaks into items: CR, LF, CR LF and LF CR start a paragraph, a form
  // feed a paragraph on a new page, a tab a tab item (or spaces); in UTF-16 text also
  // U+2029 (paragraph) and U+2028 and VT (a line in the paragraph). The caller opens the
  // step; the caret ends before the text with caretAtStart, else after it. UTF-16 text
  // of an odd byte length: "Can't perform Unicode operation".
  void InsertAnsiTextAtCaret(const std::string& s, bool caretAtStart);
  void InsertUnicodeTextAtCaret(const std::string& s, bool caretAtStart);
  // The rest of the stream (a file) as ANSI text; false when nothing is left.
  bool InsertTextStreamAtCaret(TStream& stream, bool caretAtStart);
  bool InsertTextFileAtCaret(const std::string& fileName, bool caretAtStart);
  // A document of the component's own format at the caret as one undo step; false,
  // after a beep, when it could not be read (what was read stays, laid out). RTF goes in
  // the same way through the import's InsertRTFStreamAtCaret (rtf_insert.h).
  bool InsertRDFStreamAtCaret(TStream& stream);
  // A document read by read, which puts its items in at index (unrecorded), at the caret
  // as one undo step; false when the read failed.
  bool InsertDocumentAtCaret(const std::function<bool(int& index)>& read);
  // A copy of the list marker that starts itemNo's paragraph, numbering on, at insertAt.
  void CopyListMarkerForNewParagraph(int itemNo, int insertAt, bool withUndo, bool& fullReformat);
  // Joins inserted items firstItemNo..lastItemNo with each other and their neighbours
  // where they can be one; caretOffs (in the last item) and the numbers follow.
  void JoinInsertedItems(int& firstItemNo, int& lastItemNo, int& caretOffs, int& itemsAdded);
  // The item's text changed from offset: its spelling marks from there go (clearMarks)
  // and its words are checked again.
  void ItemTextChanged(int itemNo, int offset, bool clearMarks);
  // The first piece of inserted text through the caret's placing; false after a beep.
  bool PlaceFirstPiece(std::unique_ptr<TCustomRDItemInfo> item, std::string& s, int& itemNo,
                       int& added, bool& full);

  bool CanDeleteSelection();
  // True when deleted or nothing was selected; false (after a beep) when refused.
  bool DeleteSelectionWithUndo();

  // --- applying styles; each asks the control's style-conversion handler ---
  // The selected text (or only the current text style when nothing is selected and the
  // caret is not in an empty item) through the handler, splitting items at the selection
  // bounds and joining what became joinable; one undo step. An item holding an inner
  // selection (a table's cells) is given operation instead.
  void ApplyTextStyleConversion(int userData, int operation, bool wholeParagraphs);
  // The paragraphs of the selection (or of the caret): useHandler 0 gives them paraNo
  // value, otherwise value is the handler's user data. The caller opens the undo step.
  // Tables among them run cellsOperation on their cells (ApplyToCells; -1: 3 with the
  // handler, else 1).
  void ApplyParaStyleConversion(int value, std::uint8_t useHandler, int cellsOperation = -1);
  // A non-text item's own text style (a tab's) through the handler, with undo.
  void ConvertNonTextItemStyle(int itemNo, int userData);
  // The lists (with numbered levels) of the markers in the paragraphs of first..last;
  // markerIndex: the index in the marker list of the last such marker, or with
  // indexBefore of the marker before the first one; newLastItemNo: last widened to its
  // paragraph's end. listNos stays empty without markers.
  void CollectListsInRange(int first, int last, std::vector<int>& listNos, int& markerIndex,
                           int& newLastItemNo, bool indexBefore);
  // Lays out again the paragraphs after afterItemNo up to the last marker (after
  // markerIndex) of the lists (listNos, or listNo alone when listNos is null), whose
  // numbers may have changed, with a record that makes undo lay them out too.
  void RenumberListsFrom(int afterItemNo, int markerIndex, int listNo,
                         const std::vector<int>* listNos);
  void RenumberListsInRange(int first, int last);
  // The paragraph checkpoint of itemNo moves, with undo, to the next item of its
  // paragraph (not with noForward) or else to the previous one, each only when that item
  // holds no checkpoint; false when it cannot move (true when there is none).
  bool MoveParagraphCheckpoint(int itemNo, bool noForward);
  bool ParaHasParagraphCheckpoint(int itemNo) const;
  void SetCurrentTextStyle(int styleNo);
  void SetCurrentParaStyle(int paraNo);

  // --- services ---
  void NotifyChanged(bool clearRedo = true);
  void RememberTagForTyping();
  int GetCurrentTextStyleNo() const;
  // The item the selection covers exactly, else -1.
  int GetSingleSelectedItem() const;
  // The first draw item of the single selected item when it can be resized, else -1.
  int GetResizableItem() const;
  void UpdateResizer();
  void CheckResizer();
  // Resizes a picture or control to the frame's size with one undo step.
  void ResizeItem(int itemNo, int width, int height);
  void BeginDragDropCaret();
  void EndDragDropCaret();
  void FormatItems(bool keepPosition, bool force, bool noRestore, int depth, TRDCanvas* canvas,
                   bool formatTail, bool passThrough1, bool passThrough2) override;
  // Hyperlink mode: links collected (in document order) and reacting to the mouse.
  // Entering without force, and leaving, do nothing in a read-only editor, which stays
  // in the mode.
  void EnterHyperlinkMode(bool force);
  void LeaveHyperlinkMode();
  void BuildJumpList();
  // Writing numbers the links as in hyperlink mode.
  bool RunExport(const std::function<bool()>& write) override;

  // --- the keys Backspace, Delete and Enter without a selection (backspace_key.cpp,
  // delete_key.cpp, enter_key.cpp). Each change is one undo step and asks the editor
  // first; protection refuses with a beep. True when the document changed.
  // byCharacterUnit: a whole character of a Unicode item (combining marks with it).
  bool BackspaceKey(bool byWord, bool byCharacterUnit, bool continuing);
  // One character or item goes; byWord is only handed on.
  bool DeleteKey(bool byWord, bool repeated);
  // lineBreak: Shift+Enter, a new line in the same paragraph. False when refused.
  bool EnterKey(bool lineBreak, bool repeated);
  // The caret stands before everything of its line but a list marker.
  bool CaretAtParagraphStart() const;
  // The editor, if any, lets typing or deleting change the document.
  bool EditorAllowsChange();
  bool IsListMarkerAt(int itemNo) const;
  bool IsEmptyTextAt(int itemNo) const;

  // --- opening steps ---
  void BeginUndoStep(TRDUndoType kind, bool flushInner);
  bool BeginUndoStepCaption(TRDUndoType kind, const std::string& caption, bool flushInner);
  void BeginRedoStep(TRDUndoType kind, const std::string& caption);
  TRDUndoList& SetUndoGroupMode(bool grouping);
  // Moves the steps of an open inner editor into these lists.
  void FlushInplaceUndo();
  // The list new records go to; nullptr: changes are not recorded.
  TRDUndoList* GetUndoListForRecording() const;

  // --- recording operations: each makes one change and records its inverse ---
  void DeleteItemWithUndo(int itemNo, bool& fullReformat);
  // rangeMinWidth: the least width of first..last when the caller has measured it.
  void DeleteItemsWithUndo(int first, int last, bool& fullReformat, int rangeMinWidth = -1);
  void DeleteSubstringWithUndo(int itemNo, int pos, int count);
  void InsertSubstringWithUndo(int itemNo, int pos, const std::string& s);
  void ChangeItemTextWithUndo(int itemNo, const std::string& s);
  void InsertItemWithUndo(int index, std::string s, std::unique_ptr<TCustomRDItemInfo> item,
                          bool fromUndo, bool& fullReformat);
  TRDUndoInsertItemsInfo* AddInsertItemsRecord(int itemNo, int count);
  void InsertItemsWithUndo(
      int index, std::vector<std::pair<std::string, std::unique_ptr<TCustomRDItemInfo>>> items,
      bool fromUndo, bool& fullReformat);
  void FinishInsertedItems(int index, int count, bool& fullReformat,
                           TRDUndoInsertItemsInfo* record);
  bool SetParaNoRangeWithUndo(int first, int last, bool& fullReformat, int paraNo);
  bool SetParaNosFromListWithUndo(int itemNo, const std::vector<int>& paraNos, bool& fullReformat);
  void SetParaStartWithUndo(int itemNo, bool continuesPara, bool& fullReformat, int paraNo);
  void SetLineBreakWithUndo(int itemNo, bool lineBreak, bool& fullReformat);
  void SetPageBreakWithUndo(int itemNo, bool pageBreak);
  void SetItemStyleNoWithUndo(int itemNo, int styleNo);
  void SetAssociatedTextStyleWithUndo(int itemNo, int styleNo);
  void SetItemTagWithUndo(int itemNo, const TRDTag& tag);
  // itemNo -1: the checkpoint after the last item. "Checkpoint error" when the place
  // already holds one (add) or holds none (delete).
  void AddCheckpointWithUndo(int itemNo, std::unique_ptr<TRDCPInfo> cp);
  void DeleteCheckpointWithUndo(int itemNo);
  void MoveCheckpointWithUndo(int fromItemNo, int toItemNo);
  void ResizeControlWithUndo(int itemNo, int width, bool reformat, int height);
  void SetExtraIntPropertyWithUndo(int itemNo, TRDExtraItemProperty prop, int value);
  // The control of a control item takes the size (its own resize notice ignored);
  // with reformat the item's line is laid out again.
  void SetControlItemSize(int itemNo, int width, int height, bool reformat);
  // Lays out the item's line again after its width changed from oldMinWidth.
  void ReformatItemLine(int itemNo, int oldMinWidth);
  // Named properties of the item (obj nullptr) or of a part of it; undoClass makes the
  // record (nullptr: the plain record of the kind). Nothing, and nullptr, when the
  // property already has the value.
  TRDUndoModifyItemIntProperty* SetIntPropertyWithUndo(
      int itemNo, TRDNamedProperties* obj, TRDUndoModifyItemProps::TRecordClass undoClass,
      bool affectsSize, bool affectsWidth, int value, const std::string& propName);
  TRDUndoModifyItemStrProperty* SetStrPropertyWithUndo(
      int itemNo, TRDNamedProperties* obj, TRDUndoModifyItemProps::TRecordClass undoClass,
      const std::string& value, const std::string& propName);
  void SetIntPropertiesWithUndo(int itemNo, TRDNamedProperties* obj,
                                TRDUndoModifyItemProps::TRecordClass undoClass, bool affectsSize,
                                bool affectsWidth,
                                const std::vector<std::pair<std::string, int>>& props);
  void AddModifyItemTerminator(int itemNo, bool opening);
  void AddReformatRangeRecord(int first, int last, bool fullRoot);
  void JoinWithNextItemWithUndo(int itemNo);
  // Puts joined items back in their places and cuts their texts off their hosts, in one
  // pass, recording the joins to do again.
  void PartJoinedItemsWithUndo(std::vector<TRDUndoJoinItemsInfo::TJoined> joined);

  // Replaces an item's text without recording (typing records move characters so).
  void SetItemTextRaw(int itemNo, std::string text);
  // Frees an item that a record held (it never came back into the document).
  void FreeHeldItem(std::unique_ptr<TCustomRDItemInfo>& item);

  // Lays out again after an edit: the whole document when fullReformat and the document's
  // minimal width changed, else the paragraphs of draw items firstDItemNo..lastDItemNo
  // as they were before the edit, itemsAdded telling how the item numbers after them
  // moved; only the lines around the characters of textEdit when that is all it changed.
  void ReformatAfterEdit(bool fullReformat, int firstDItemNo, int lastDItemNo, int itemsAdded,
                         const TRDChangedRange* textEdit = nullptr);
  // Undo takes the caret to the step's position.
  void PlaceCaretAfterUndo(int itemNo, int offset);
  void FormatWhole();
  // Lays out the paragraphs of the old draw items firstDItemNo..lastDItemNo again, or
  // only around textEdit.
  void FormatParas(int firstDItemNo, int lastDItemNo, int itemsAdded,
                   const TRDChangedRange* textEdit = nullptr);
  // What inserting (added > 0) or deleting characters at the 1-based offset pos of item
  // itemNo changed.
  static TRDChangedRange TextEdit(int itemNo, int pos, int added);
  void ExpandDrawItemsToParas(int firstDItemNo, int lastDItemNo, int& newFirst, int& newLast) const;
  // The minimal width of the items of draw items firstDItemNo..lastDItemNo, itemsAdded
  // items more (or fewer) after an edit.
  int EditedRangeMinWidth(int firstDItemNo, int lastDItemNo, int itemsAdded);
  // ReformatAfterEdit for an edit of those paragraphs, whose items measured widthBefore:
  // whole also when that was the document's minimal width or they grew beyond it.
  void ReformatEditedParas(bool fullReformat, int widthBefore, int firstDItemNo, int lastDItemNo,
                           int itemsAdded, const TRDChangedRange* textEdit = nullptr);

 protected:
  // The object whose property is changed by name: obj, or the item itself.
  TRDNamedProperties& PropertyTarget(int itemNo, TRDNamedProperties* obj) const;
  // Shows the caret (with a margin) by scrolling the document.
  virtual void ScrollToCaret();

 private:
  // Whether the documents items first..last hold would lie deeper here than a document
  // may hold them.
  bool NestsTooDeep(int first, int last);
  bool NestsTooDeep(const TCustomRDItemInfo& item);
  // The change of the paragraph style of items first..last, no recording.
  bool ApplyParaNo(int first, int last, bool& fullReformat, int paraNo);
  void ApplyPageBreak(int itemNo, bool pageBreak);
  void AttachCheckpoint(int itemNo, std::unique_ptr<TRDCPInfo> cp);
  // The width test of operations that change one line: after-width beyond the document's
  // minimal width, or before-width the one that set it.
  bool WidthChangeNeedsFull(int before, int after) const;
  template <class T>
  T* Record(std::unique_ptr<T> record);
  // A record of class T and the given kind for item itemNo, added to the list that records
  // now; nullptr when nothing is recorded.
  template <class T>
  T* NewRecord(std::uint8_t kind, int itemNo);
  // One named property changed with its record: TRecord is the int or the string kind.
  template <class TRecord, class TValue>
  TRecord* SetPropertyWithUndo(int itemNo, TRDNamedProperties* obj,
                               TRDUndoModifyItemProps::TRecordClass undoClass, bool affectsSize,
                               bool affectsWidth, const TValue& value, const std::string& propName);
  // The caret-stop builders for one draw item; wanted is the caret offset - 2.
  bool EditorReadOnly() const;
  enum class TPlaced { Inserted, Dropped, Refused };
  TPlaced PlaceItemAtCaret(std::unique_ptr<TCustomRDItemInfo> item, std::string& s, bool inheritTag,
                           int& itemNo, int& added, bool& full);
  // The steps of PlaceItemAtCaret: where the item goes beside a non-text item, into an
  // empty line or into text (split at the caret), then the item put there.
  struct TItemPlacement;
  void TakeParagraphStartOf(TItemPlacement& p, bool withLineBreak);
  TPlaced PlaceBesideNonTextItem(TItemPlacement& p, int caretOffset);
  TPlaced PlaceIntoEmptyLine(TItemPlacement& p);
  TPlaced PlaceIntoText(TItemPlacement& p, int pos);
  void InsertPlacedItem(TItemPlacement& p, std::unique_ptr<TCustomRDItemInfo> item, std::string& s);
  // A list marker put into an empty paragraph after a paragraph of an equal numbered list
  // takes that list, so that its numbering goes on.
  void ContinueListAbove(TCustomRDItemInfo& item, int itemNo) const;
  bool PartMayBeDeleted(int itemNo, int from, int to) const;
  void InsertTextAtCaret(std::string s, bool unicode, bool caretAtStart);
  // A character run typed into the caret's text item at character pos: one character a
  // typing record, more a step of their own.
  void TypeIntoItem(int itemNo, int pos, const std::string& s, int length, char16_t ch);
  void KeepParagraphCheckpoint(int startNo, int startOffs, int endNo, int endOffs);
  // The steps of DeleteSelectionWithUndo.
  struct TSelectionDeletion;
  // Without a selection: the cells a table has selected are cleared, if it allows.
  bool ClearPartiallySelectedCells();
  bool SelectionDeletableNow();
  void TakeSelectionForDeletion(TSelectionDeletion& del);
  // From the selection's end backwards: the end item or its head, the items between.
  void DeleteEndAndMiddleItems(TSelectionDeletion& del);
  void DeleteFromStartItem(TSelectionDeletion& del, int from, int to);
  void DeleteWholeStartItem(TSelectionDeletion& del);
  void JoinAtCaretAfterDeletion(TSelectionDeletion& del);
  bool InParagraphSelectionMode(bool select) const;
  bool MoveCaretVertically(bool select, bool ctrl, bool down);
  void SkipToDrawItemStart(int dItemNo);
  bool IsDrawItemParaStart(int dItemNo) const;
  // The caret stops of a draw line: at the widths of its text's beginnings, or, for a text
  // shown in another order than stored (right-to-left runs, a reading direction), at the
  // character cells selection and hit testing use; false when it is not such a text.
  void AddLeftToRightStops(int dItemNo, int firstOfLine, int wanted);
  bool AddBiDiStops(int dItemNo, int firstOfLine, int wanted);
  void TakeStylesFromCaretItem(bool keepParaStyle);
  void LightJumpAtCaret(const TCustomRichDocEdit* editor);
};
