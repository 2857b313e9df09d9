// The rich-text editor: the viewer with a document that can be edited. Every edit runs
// the same protocol - ask permission (BeforeChange), open an undo step, do the work in
// the editable data, report the change (Change) - and can be undone and redone. A table
// cell being edited hosts a nested editor; the public operations go to the innermost
// one, and events are raised with the root editor as Sender.
#pragma once

#include <cstdint>
#include <functional>

#include "richtext/rich_doc.h"
#include "richtext_edit/edit/edit_data.h"

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
  virtual void Change(bool ClearRedo);

  // The nested editor of the table cell being edited, when there is one.
  virtual TCustomRichDocEdit* InplaceEditor() const { return nullptr; }
  // Closes that nested editor.
  virtual void CloseInplaceEditor() {}
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
  void BeginUndoGroup(TRDUndoType Kind);
  void SetUndoGroupMode(bool On);

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

  std::string ClassName() const override { return "TCustomRichDocEdit"; }

  // The caret is shown: focus, and the blink phase (the blink timer calls BlinkCaret).
  bool CaretShown() const { return caret_on_ && Focused(); }
  void BlinkCaret();

 protected:
  void PaintOverDocument(TRDCanvas& Canvas) override;
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoEnter() override;
  void DoExit() override;
  void DoVScrolled() override;
  void DoHScrolled() override;

  // Runs Call once the current input has been handled (a posted message of the window).
  void QueueCall(std::function<void()> Call);

 private:
  void RunQueued();
  // A navigation key: moves the caret (Shift extending the selection); false for others.
  bool MoveCaretByKey(TKeyCode Key, TShiftState Shift);
  // Publishes the caret rectangle to the input method and restarts the blink.
  void CaretChanged();
  bool read_only_ = false;
  bool caret_on_ = true;
  int change_lock_ = 0;
  TTimer* queue_timer_;
  TTimer* caret_timer_;
  std::vector<std::function<void()>> queued_;
};

class TRichDocEdit : public TCustomRichDocEdit {
 public:
  explicit TRichDocEdit(TComponent* AOwner) : TCustomRichDocEdit(AOwner) {}
  std::string ClassName() const override { return "TRichDocEdit"; }
};
