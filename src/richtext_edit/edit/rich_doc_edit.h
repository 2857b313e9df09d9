// The rich-text editor: the viewer with a document that can be edited. Every edit runs
// the same protocol - ask permission (BeforeChange), open an undo step, do the work in
// the editable data, report the change (Change) - and can be undone and redone. A table
// cell being edited hosts a nested editor; the public operations go to the innermost
// one, and events are raised with the root editor as Sender.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "richtext/model/nontext_items.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/edit/edit_data.h"

class TClipboardOffer;
class TDataObject;
class TGraphic;
class TStream;
class TRDDropHandler;
class TRDDropTarget;

using TRDEditorOptions = std::uint16_t;
constexpr TRDEditorOptions rdoClearTagOnStyleApp = 1 << 0;
constexpr TRDEditorOptions rdoCtrlJumps = 1 << 1;
constexpr TRDEditorOptions rdoDoNotWantReturns = 1 << 2;
constexpr TRDEditorOptions rdoDoNotWantShiftReturns = 1 << 3;
constexpr TRDEditorOptions rdoWantTabs = 1 << 4;
constexpr TRDEditorOptions rdoAutoSwitchLang = 1 << 5;
constexpr TRDEditorOptions rdoHideReadOnlyCaret = 1 << 6;
constexpr TRDEditorOptions rdoNoImageResize = 1 << 7;
constexpr TRDEditorOptions rdoNoCaretHighlightJumps = 1 << 8;

using TRDDragDropFormats = std::uint8_t;
constexpr TRDDragDropFormats rdddRDF = 1 << 0;
constexpr TRDDragDropFormats rdddRTF = 1 << 1;
constexpr TRDDragDropFormats rdddText = 1 << 2;
constexpr TRDDragDropFormats rdddUnicodeText = 1 << 3;
constexpr TRDDragDropFormats rdddBitmap = 1 << 4;
constexpr TRDDragDropFormats rdddMetafile = 1 << 5;
constexpr TRDDragDropFormats rdddURL = 1 << 6;
constexpr TRDDragDropFormats rdddFiles = 1 << 7;

enum TRDGetOutDirection { rddLeft, rddUp, rddRight, rddDown, rddTop, rddBottom };

// What a drop does, as the drop events see it; a set of them is a TRDOleDropEffects with
// bit (1 << effect) for each.
enum TRDOleDropEffect : std::uint8_t { rddeNone, rddeCopy, rddeMove, rddeLink };
using TRDOleDropEffects = std::uint8_t;
enum TRDDropFileAction { rddfNone, rddfInsert, rddfLink };

// Reads RTF into the editable data at the caret as one undo step. The RTF import sets it
// (RegisterRTFInsertion, rtf_insert.h), also while modules start: a plain pointer, null
// before any start-up code runs; unset, the editors' RTF inserts and pastes fail.
extern bool (*RTFInsertion)(TRDEditRDData& data, TStream& stream);

class TCustomRichDocEdit : public TCustomRichDoc {
 public:
  explicit TCustomRichDocEdit(TComponent* AOwner);
  ~TCustomRichDocEdit() override;

  TRDEditRDData& EditData() { return static_cast<TRDEditRDData&>(RDData()); }
  const TRDEditRDData& EditData() const { return static_cast<const TRDEditRDData&>(RDData()); }

  TRDEditorOptions EditorOptions = rdoCtrlJumps | rdoWantTabs;
  // Installed by the style operations before they ask the data to apply a style; the
  // data asks it, piece by piece, for the style that replaces an old one.
  TRDStyleConversionHandler StyleConversionHandler;
  TRDDragDropFormats AcceptDragDropFormats = TRDDragDropFormats(~rdddURL);
  bool Modified = false;

  virtual void SetReadOnly(bool Value);
  virtual bool GetReadOnly() const { return read_only_; }
  int UndoLimit() const { return EditData().UndoList->Limit(); }
  // Lowering the limit below the number of steps drops the oldest ones.
  void SetUndoLimit(int Value);
  // Only rdtnNone: "Not supported in editor" for any other.
  void SetTabNavigation(TRDTabNavigationType Value);

  // The editing protocol. BeforeChange: false (after a beep) when read-only, without a
  // style sheet or when OnChanging refuses.
  virtual bool BeforeChange(bool FromOutside);
  // The root data's flags let a read-only editor take drops and resize pictures.
  bool ReadOnlyDragAndResize();
  // Around a drop or a resize: such a read-only editor takes their changes.
  void BeginDragOrResizeChange() { ++drag_or_resize_change_; }
  void EndDragOrResizeChange() { --drag_or_resize_change_; }
  virtual void Change(bool ClearRedo);

  // The nested editor of the table cell being edited, when there is one (the chosen item
  // of the document holds it).
  virtual TCustomRichDocEdit* InplaceEditor() const;
  // Closes that nested editor; what it holds goes back into the cell.
  virtual void CloseInplaceEditor();
  // The innermost editor: the one the public operations work in.
  TCustomRichDocEdit& ActiveEditor();
  // The editor whose document is the absolute root document.
  TCustomRichDocEdit& RootEditor();

  // Editing operations, each through the protocol above. DeleteSelection: false when
  // refused. InsertItem: the item (owned from now on) with its text at the caret, over
  // the selection.
  virtual bool DeleteSelection();
  bool InsertItem(std::unique_ptr<TCustomRDItemInfo> Item, const std::string& Text);
  // A character typed at the caret (over the selection), one typing record a run.
  bool TypeChar(char16_t Ch);

  virtual void Undo();
  virtual void Redo();
  TRDUndoType UndoAction();
  TRDUndoType RedoAction();
  void ClearUndo();
  // The keyboard now types in the character set Charset: with rdoAutoSwitchLang, the
  // current text style becomes its twin in that character set (made when there is none).
  void InputLanguageChanged(int Charset);
  void BeginUndoGroup(TRDUndoType Kind);
  void SetUndoGroupMode(bool On);

  // Without a selection, both ends are the caret.
  void GetSelectionRange(int& StartItemNo, int& StartOffs, int& EndItemNo, int& EndOffs,
                         bool Normalize) const override;
  int CaretItemNo() { return ActiveEditor().EditData().GetCurrentItemNo(); }
  int CaretItemOffset() { return ActiveEditor().EditData().GetOffsetInCurrentItem(); }
  int CurTextStyleNo() { return ActiveEditor().EditData().CurTextStyleNo; }
  int CurParaStyleNo() { return ActiveEditor().EditData().CurParaStyleNo; }
  void SetCurTextStyleNo(int Value);
  void SetCurParaStyleNo(int Value);
  // The caret moved or changed: repaint it and tell OnCaretMove.
  void CaretMoved();
  // A change notification lock: while held, OnChanging and OnChange are not raised.
  void LockChangeNotification() { ++RootEditor().change_lock_; }
  void UnlockChangeNotification() { --RootEditor().change_lock_; }

  TNotifyEvent OnCurParaStyleChanged;
  TNotifyEvent OnCurTextStyleChanged;
  TNotifyEvent OnChange;
  TNotifyEvent OnCaretMove;
  std::function<void(TCustomRichDocEdit* Sender, bool& CanEdit)> OnChanging;
  std::function<void(TCustomRichDocEdit* Sender, TRDGetOutDirection Direction)> OnCaretGetOut;

  // --- editing operations (edit_operations.cpp). Each asks BeforeChange, runs as one
  // undo step over the selection and reports the change; false when refused or when
  // nothing went in. Those marked "innermost" run in the cell editor being edited.
  // ANSI text at the caret, CR, LF and form feeds starting paragraphs; with CaretBefore
  // the caret stays before it (innermost).
  bool InsertText(const std::string& s, bool CaretBefore = false);
  // UTF-16 text (two bytes a unit, low byte first); a current style that is not Unicode
  // gives way to the sheet's default Unicode style. Always this editor's own document.
  bool InsertTextW(const std::string& s);
  // The ANSI text of a file (innermost).
  bool InsertTextFromFile(const std::string& FileName);
  // A document of the viewers' own format, read from the stream's position (innermost).
  bool InsertRDFStreamAtCaret(TStream& Stream);
  bool InsertRDFFileAtCaret(const std::string& FileName);
  // RTF (innermost) through RTFInsertion; from a file, pictures named relative to it
  // are found beside it.
  bool InsertRTFStreamAtCaret(TStream& Stream);
  bool InsertRTFFileAtCaret(const std::string& FileName);
  // A text item of the current style with the tag; tabs become SpacesInTab spaces
  // (innermost).
  bool InsertStringTag(const std::string& s, const TRDTag& Tag);
  // A tab item in the current text style (innermost).
  bool InsertTab();
  // A picture item made from Graphic, named Name (innermost).
  bool InsertPicture(const std::string& Name, std::unique_ptr<TGraphic> Graphic, TRDVAlign VAlign);
  // Styles (edit_style_operations.cpp; innermost). The selected text takes StyleNo;
  // text in protected styles keeps its own. Without a selection the current style changes
  // (and the caret's empty item).
  bool ApplyTextStyle(int StyleNo);
  // Each text style of the selection as OnStyleConversion chooses; needs a selection and
  // the event.
  bool ApplyStyleConversion(int UserData);
  // The paragraphs of the selection (or of the caret) take ParaNo, or the style that
  // OnParaStyleConversion chooses.
  bool ApplyParaStyle(int ParaNo);
  bool ApplyParaStyleConversion(int UserData);
  // The style sheet's template Index (negative: the default) applied to the styles met:
  // an equal existing style is used, else the changed style is added as a non-standard
  // one. Protected text styles are kept.
  bool ApplyTextStyleTemplate(int Index, bool ToWholeParagraphs);
  bool ApplyParaStyleTemplate(int Index);
  // A changed value goes in with undo; with AutoReformat the item is laid out again.
  bool ChangeItemExtraIntProperty(int ItemNo, TRDExtraItemProperty Prop, int Value,
                                  bool AutoReformat);

  // --- the clipboard (editor_clipboard.cpp) ---
  // Text, a picture, RTF or the viewers' own block is there to paste.
  virtual bool CanPaste();
  // Whether a paste of Format (0: of anything) is possible now; never when read-only.
  bool CanPasteFormat(unsigned Format);
  // The best format on the clipboard: the viewers' own block, then RTF, then text, then
  // a picture.
  virtual void Paste();
  bool PasteRDF();
  bool PasteRTF();
  bool PasteText();
  bool PasteTextW();
  // With TextAsName the clipboard's text names the picture.
  bool PasteBitmap(bool TextAsName);
  // Copies the selection and deletes it; false when nothing was cut.
  bool CutToClipboard();

  // Asked for the new style of each style met (AppliedToText false for the current
  // style and for paragraphs).
  using TRDStyleConversionEvent = std::function<void(
      TCustomRichDocEdit* Sender, int StyleNo, int UserData, bool AppliedToText, int& NewStyleNo)>;
  TRDStyleConversionEvent OnStyleConversion;
  TRDStyleConversionEvent OnParaStyleConversion;
  std::function<void(TCustomRichDocEdit* Sender, bool& DoDefault)> OnPaste;
  // Drags over the editor (editor_drop.cpp): X and Y in the root editor's client area;
  // DropEffect comes in as the proposed effect and the handler's value is the answer.
  std::function<void(TCustomRichDocEdit* Sender, const TDataObject& DataObject, TShiftState Shift,
                     int X, int Y, TRDOleDropEffects PossibleDropEffects,
                     TRDOleDropEffect& DropEffect)>
      OnOleDragEnter;
  std::function<void(TCustomRichDocEdit* Sender, TShiftState Shift, int X, int Y,
                     TRDOleDropEffects PossibleDropEffects, TRDOleDropEffect& DropEffect)>
      OnOleDragOver;
  TNotifyEvent OnOleDragLeave;
  // Clearing DoDefault: the handler did the drop itself, with the DropEffect it leaves.
  std::function<void(TCustomRichDocEdit* Sender, const TDataObject& DataObject, TShiftState Shift,
                     int X, int Y, TRDOleDropEffects PossibleDropEffects,
                     TRDOleDropEffect& DropEffect, bool& DoDefault)>
      OnOleDrop;
  std::function<void(TCustomRichDocEdit* Sender, const std::vector<std::string>& Files,
                     TRDDropFileAction& FileAction, bool& DoDefault)>
      OnDropFiles;
  // Takes the drags over the editor's window and hands them to the drag hooks below.
  TRDDropTarget& DropTarget() { return *drop_target_; }
  // What the running drag of the selection took (editor_drag_source.cpp), kept by the
  // root editor from the drag's start to its end. Selects it where it lies now (a closed
  // cell's editor opens) and answers its document; nullptr, leaving the selection as it
  // was, when it is gone or changed meanwhile.
  TRDEditRDData* SelectDraggedPart();

  std::string ClassName() const override { return "TCustomRichDocEdit"; }

  // Runs Call once the current input has been handled (a posted message of the window);
  // nested editors post here what must not run inside their own handlers.
  void QueueCall(std::function<void()> Call);
  // Something queued (or a deferred event) is still waiting for the event loop.
  bool CallsQueued() const { return !queued_.empty() || EventsDeferred(); }

  // The caret is shown: focus, and the blink phase (the blink timer calls BlinkCaret).
  bool CaretShown() const { return caret_on_ && Focused(); }
  void BlinkCaret();

 protected:
  void PaintOverDocument(TRDCanvas& Canvas) override;
  // The keyboard and text input (editor_keyboard.cpp).
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  void KeyUp(TKeyCode& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void UnicodeInput(const std::u16string& Text) override;
  void ComposingInput(const std::u16string& Text, int Cursor) override;
  bool WantsTabKey() const override { return EditorOptions & rdoWantTabs; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Below a marked word at the caret, so that the menu does not hide it.
  TPoint ContextMenuPoint(TPoint Point) override;
  // Whether the client point lies on the item whose nested editor is open.
  bool FallsOnChosenItem(int X, int Y);
  void DoEnter() override;
  void DoExit() override;
  void DoVScrolled() override;
  void DoHScrolled() override;
  // A drag of the selection may move it when the editor can take it back; a move that
  // went elsewhere deletes it here.
  TDropEffects SelectionDragEffects() override;
  void SelectionDragEnded(TDropEffect Effect) override;
  void StartSelectionDrag() override;
  // Drags over the editor, its drop handler's (editor_drop.cpp).
  bool OleCanAcceptFormat(const std::string& Format) override;
  void OleDragEnter(const TDataObject& Data, TShiftState Shift, TDropEffect& Effect,
                    TDropEffects Allowed, TPoint Pt) override;
  bool OleCanDropAt(int X, int Y) override;
  bool OleDragOverAt(int X, int Y) override;
  void OleDragOver(TShiftState Shift, TPoint Pt, TDropEffect& Effect,
                   TDropEffects Allowed) override;
  void OleDragLeave() override;
  TDropEffect OleDrop(const TDataObject& Data, bool Move, TDropEffects Allowed, TPoint Pt,
                      TShiftState Shift) override;

  // An editor whose document data is of a class of its own.
  TCustomRichDocEdit(TComponent* AOwner, const TDataFactory& MakeData);

 private:
  void RunQueued();
  // The readers of the clipboard's formats, on one offer of it.
  bool PasteRDFFrom(TClipboardOffer& Offer);
  bool PasteRTFFrom(TClipboardOffer& Offer);
  bool PasteTextFrom(TClipboardOffer& Offer, bool Unicode);
  bool PasteBitmapFrom(TClipboardOffer& Offer, bool TextAsName);
  // The steps every insertion shares: permission, a caret that takes content, one undo
  // step of kind insert with the selection deleted first (afterDelete runs then), the
  // change reported. insert answers whether something went in.
  bool RunInsertion(const std::function<bool(TRDEditRDData&)>& insert,
                    const std::function<void()>& afterDelete = {});
  // A style application with Handler installed for its time.
  bool ApplyTextStyleThrough(TRDStyleConversionHandler Handler, int UserData, int Operation,
                             bool WholeParagraphs);
  bool ApplyParaStyleThrough(TRDStyleConversionHandler Handler, int Value, int CellsOperation = -1);
  // A navigation key moves the caret (Shift extending the selection); at the document's
  // edge OnCaretGetOut is raised.
  void MoveCaretByKey(TKeyCode Key, TShiftState Shift);
  // The keys that run a command rather than edit: cancelling a resize, scrolling,
  // deleting or cutting the selection, moving the caret, the clipboard shortcuts. False
  // when the key is none of them.
  bool RunCommandKey(TKeyCode Key, TShiftState Shift);
  // Backspace, Delete, Ctrl+Tab and Enter, after a key that types over the selection
  // took the selection away.
  void EditByKey(TKeyCode& Key, TShiftState Shift);
  // A typed character: a tab becomes spaces or a tab item.
  void TypeCharacter(char16_t Ch);
  // Text an input method committed, at the caret over the selection, in one undo step, in
  // the sheet's Unicode style.
  void InsertComposedText(const std::u16string& Text);
  // Text of every script needs a Unicode text style: the style sheet's default one.
  void SwitchToUnicodeStyle();
  // What an input method is composing, drawn at the caret in the current text style and
  // underlined, until it commits.
  void PaintComposing(TRDCanvas& Canvas);
  // Publishes the caret rectangle to the input method and restarts the blink.
  void CaretChanged();
  bool read_only_ = false;
  int drag_or_resize_change_ = 0;
  bool caret_on_ = true;
  int change_lock_ = 0;
  TTimer* queue_timer_;
  TTimer* caret_timer_;
  std::vector<std::function<void()>> queued_;
  // What an input method is composing at the caret, and its cursor.
  std::u16string composing_;
  int composing_cursor_ = 0;
  std::unique_ptr<TRDDropHandler> drop_handler_;
  // The part a drag of the selection took: its first and last items with the caret
  // offsets in them (items keep their identity when a cell's editor opens or closes),
  // and the part in the viewers' own format, to tell it is still what was taken.
  struct TDraggedPart {
    const TCustomRDItemInfo* First = nullptr;
    int FirstOffs = 0;
    const TCustomRDItemInfo* Last = nullptr;
    int LastOffs = 0;
    // Selected cells of a table: the part is the selection while it is what was taken.
    bool Cells = false;
    std::string Content;
  };
  std::optional<TDraggedPart> dragged_;
  // A cell editor asked the root editor to run the drag of its selection.
  bool drag_queued_ = false;
  // Goes before the handler it hands drags to.
  std::unique_ptr<TRDDropTarget> drop_target_;
};

class TRichDocEdit : public TCustomRichDocEdit {
 public:
  explicit TRichDocEdit(TComponent* AOwner) : TCustomRichDocEdit(AOwner) {}
  std::string ClassName() const override { return "TRichDocEdit"; }
};
