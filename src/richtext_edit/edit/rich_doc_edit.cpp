#include "richtext_edit/edit/rich_doc_edit.h"

#include "platform/sys/timer.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rd_drop_target.h"
#include "richtext_edit/edit/editor_drop.h"
#include "richtext_edit/edit/inplace_editor_host.h"
#include "richtext_edit/edit/item_resizer.h"

TCustomRichDocEdit::TCustomRichDocEdit(TComponent* AOwner)
    : TCustomRichDocEdit(
          AOwner, [](TCustomRichDoc& doc) { return std::make_unique<TRDEditRDData>(doc); }) {}

TCustomRichDocEdit::TCustomRichDocEdit(TComponent* AOwner, const TDataFactory& MakeData)
    : TCustomRichDoc(AOwner, MakeData),
      queue_timer_(new TTimer(this)),
      caret_timer_(new TTimer(this)) {
  SetCursor(crIBeam);
  ScrollByKeys = false;  // the keys move the caret, which the view follows
  // The text keeps its width as it grows past the window.
  KeepVScrollBar = true;
  caret_timer_->SetEnabled(false);
  caret_timer_->SetInterval(unsigned(CaretBlinkInterval()));
  caret_timer_->OnTimer = [this](TComponent*) { BlinkCaret(); };
  TabNavigation = rdtnNone;
  Flags = (Flags & ~rdfCollectJumps) | rdfSwitchableHyperlinks;
  queue_timer_->SetEnabled(false);
  // The shortest period that runs at all (0 would stop the timer).
  queue_timer_->SetInterval(1);
  queue_timer_->OnTimer = [this](TComponent*) { RunQueued(); };
  drop_handler_ = std::make_unique<TRDDropHandler>(*this);
  drop_target_ = std::make_unique<TRDDropTarget>(*this);
}

TCustomRichDocEdit::~TCustomRichDocEdit() {
  // A cell editor goes first, while this editor is whole: closing it reaches back here.
  destroying_ = true;
  CloseInplaceEditor();
  queue_timer_->SetEnabled(false);
  caret_timer_->SetEnabled(false);
}

void TCustomRichDocEdit::QueueCall(std::function<void()> Call) {
  queued_.push_back(std::move(Call));
  queue_timer_->SetEnabled(true);
}

void TCustomRichDocEdit::RunQueued() {
  queue_timer_->SetEnabled(false);
  std::vector<std::function<void()>> calls;
  calls.swap(queued_);
  for (auto& call : calls) call();
}

void TCustomRichDocEdit::SetReadOnly(bool Value) {
  read_only_ = Value;
  // An open cell editor is read-only when this one is: the links of the cell it holds go
  // live and dead with those of the rest of the document.
  for (TCustomRichDocEdit* editor = this; editor; editor = editor->InplaceEditor())
    Value ? editor->EditData().EnterHyperlinkMode(true) : editor->EditData().LeaveHyperlinkMode();
  TRDEditRDData& data = EditData();
  if (data.HasCaret()) ActiveEditor().EditData().ShowCaret(false, false, true, false);
  Invalidate();
}

void TCustomRichDocEdit::SetUndoLimit(int Value) {
  EditData().UndoList->SetLimit(Value);
}

void TCustomRichDocEdit::SetTabNavigation(TRDTabNavigationType Value) {
  if (Value != rdtnNone) throw ERichDocError("Not supported in editor");
  TabNavigation = Value;
}

TCustomRichDocEdit* TCustomRichDocEdit::InplaceEditor() const {
  auto* host = dynamic_cast<TRDInplaceEditorHost*>(EditData().GetChosenItem());
  return host ? host->GetInplaceEditor() : nullptr;
}

void TCustomRichDocEdit::CloseInplaceEditor() {
  if (auto* host = dynamic_cast<TRDInplaceEditorHost*>(EditData().GetChosenItem()))
    host->CloseInplaceEditor();
}

TCustomRichDocEdit& TCustomRichDocEdit::ActiveEditor() {
  TCustomRichDocEdit* editor = this;
  while (TCustomRichDocEdit* inner = editor->InplaceEditor()) editor = inner;
  return *editor;
}

TCustomRichDocEdit& TCustomRichDocEdit::RootEditor() {
  TCustomRDData* root = EditData().GetAbsoluteRootData();
  if (auto* rootData = dynamic_cast<TRDEditRDData*>(root))
    if (TCustomRichDocEdit* editor = rootData->Editor()) return *editor;
  return *this;
}

bool TCustomRichDocEdit::BeforeChange(bool) {
  TCustomRichDocEdit& root = RootEditor();
  const bool writable = !GetReadOnly() || (drag_or_resize_change_ > 0 && ReadOnlyDragAndResize());
  bool canEdit = writable && Style() != nullptr;
  if (canEdit && root.change_lock_ == 0 && root.OnChanging) root.OnChanging(&root, canEdit);
  if (!canEdit) EditData().Beep();
  return canEdit;
}

bool TCustomRichDocEdit::ReadOnlyDragAndResize() {
  return (RootEditor().EditData().GetFlags() & rdfReadOnlyDragAndResize) != 0;
}

void TCustomRichDocEdit::Change(bool ClearRedo) {
  Modified = true;
  TCustomRichDocEdit& root = RootEditor();
  if (ClearRedo) {
    EditData().RedoList->Clear();
    // One document, one history: an edit in a cell takes away what the editors around it
    // could redo as well (their steps may hand this cell edits it no longer fits).
    for (TCustomRichDocEdit* editor = &root; editor && editor != this;
         editor = editor->InplaceEditor())
      editor->EditData().RedoList->Clear();
  }
  if (root.change_lock_ == 0 && root.OnChange) root.OnChange(&root);
}

void TCustomRichDocEdit::Undo() {
  if (GetReadOnly()) {
    EditData().Beep();
    return;
  }
  if (TCustomRichDocEdit* inner = InplaceEditor()) {
    if (inner->UndoAction() != rdutNone) {
      inner->Undo();
    } else if (EditData().UndoList->Count() > 0) {
      // Once the cell editor is gone the outer step can be taken back.
      QueueCall([this] {
        CloseInplaceEditor();
        Undo();
      });
    }
    return;
  }
  TRDEditRDData& data = EditData();
  if (data.UndoList->Count() == 0) {
    data.Beep();
    return;
  }
  data.UndoList->Undo(data);
  Invalidate();
  Change(false);
}

void TCustomRichDocEdit::Redo() {
  if (GetReadOnly()) {
    EditData().Beep();
    return;
  }
  if (TCustomRichDocEdit* inner = InplaceEditor()) {
    if (inner->RedoAction() != rdutNone) {
      inner->Redo();
    } else if (EditData().RedoList->Count() > 0) {
      QueueCall([this] {
        CloseInplaceEditor();
        Redo();
      });
    }
    return;
  }
  TRDEditRDData& data = EditData();
  if (data.RedoList->Count() == 0) {
    data.Beep();
    return;
  }
  data.RedoList->Redo(data);
  Invalidate();
  Change(false);
}

TRDUndoType TCustomRichDocEdit::UndoAction() {
  if (TCustomRichDocEdit* inner = InplaceEditor())
    if (TRDUndoType kind = inner->UndoAction()) return kind;
  return EditData().UndoList->CurrentKind();
}

TRDUndoType TCustomRichDocEdit::RedoAction() {
  if (TCustomRichDocEdit* inner = InplaceEditor())
    if (TRDUndoType kind = inner->RedoAction()) return kind;
  return EditData().RedoList->CurrentKind();
}

void TCustomRichDocEdit::ClearUndo() {
  EditData().UndoList->Clear();
  EditData().RedoList->Clear();
  if (TCustomRichDocEdit* inner = InplaceEditor()) inner->ClearUndo();
}

void TCustomRichDocEdit::BeginUndoGroup(TRDUndoType Kind) {
  ActiveEditor().EditData().BeginUndoStep(Kind, true);
}

void TCustomRichDocEdit::SetUndoGroupMode(bool On) {
  ActiveEditor().EditData().SetUndoGroupMode(On);
}

void TCustomRichDocEdit::GetSelectionRange(int& StartItemNo, int& StartOffs, int& EndItemNo,
                                           int& EndOffs, bool Normalize) const {
  const TRDEditRDData& data = EditData();
  if (data.SelStartDItem >= 0 && data.SelEndDItem >= 0) {
    TCustomRichDoc::GetSelectionRange(StartItemNo, StartOffs, EndItemNo, EndOffs, Normalize);
    return;
  }
  StartItemNo = EndItemNo = data.GetCurrentItemNo();
  StartOffs = EndOffs = data.GetOffsetInCurrentItem();
}

void TCustomRichDocEdit::SetCurTextStyleNo(int Value) {
  TRDEditRDData& data = EditData();
  const bool forced = data.State & rddsReapplyCurrentStyles;
  data.State &= ~rddsReapplyCurrentStyles;
  if (data.CurTextStyleNo == Value && !forced) return;
  data.CurTextStyleNo = Value;
  TCustomRichDocEdit& root = RootEditor();
  if (root.OnCurTextStyleChanged) root.OnCurTextStyleChanged(&root);
}

void TCustomRichDocEdit::SetCurParaStyleNo(int Value) {
  TRDEditRDData& data = EditData();
  if (data.CurParaStyleNo == Value && !(data.State & rddsReapplyCurrentStyles)) return;
  data.CurParaStyleNo = Value;
  TCustomRichDocEdit& root = RootEditor();
  if (root.OnCurParaStyleChanged) root.OnCurParaStyleChanged(&root);
}

void TCustomRichDocEdit::CaretMoved() {
  CaretChanged();
  TCustomRichDocEdit& root = RootEditor();
  TRDEditRDData& data = EditData();
  if (data.HasCaret())
    root.RunPendingWordCheck(&data, data.GetCurrentItemNo(), data.GetOffsetInCurrentItem());
  if (root.OnCaretMove) root.OnCaretMove(&root);
}

void TCustomRichDocEdit::CaretChanged() {
  caret_on_ = true;
  if (Focused()) caret_timer_->SetEnabled(true);
  TRect rect;
  if (EditData().GetCaretRect(rect)) {
    const TRect area = DocumentRect();
    rect.Left += area.Left;
    rect.Right += area.Left;
    rect.Top += area.Top;
    rect.Bottom += area.Top;
    SetInputMethodCaret(rect);
  }
  Invalidate();
}

void TCustomRichDocEdit::BlinkCaret() {
  caret_on_ = !caret_on_;
  Invalidate();
}

void TCustomRichDocEdit::PaintOverDocument(TRDCanvas& Canvas) {
  TRDEditRDData& data = EditData();
  int ox, oy;
  data.GetOrigin(ox, oy);
  if (data.Resizer) {
    data.Resizer->DrawHandles(Canvas, data.GetHOffs() - ox, data.GetVOffs() - oy);
    if (data.Resizer->Dragging)
      data.Resizer->DrawFrame(Canvas, data.GetHOffs() - ox, data.GetVOffs() - oy);
  }
  PaintComposing(Canvas);
  drop_handler_->PaintDropCaret(Canvas);
  TRect rect;
  if (CaretShown() && composing_.empty() && data.GetCaretRect(rect)) {
    Canvas.BrushStyle = bsSolid;
    Canvas.BrushColor = clWindowText;
    Canvas.FillRect(rect);
  }
}

void TCustomRichDocEdit::DoEnter() {
  TCustomRichDoc::DoEnter();
  caret_on_ = true;
  caret_timer_->SetEnabled(true);
  if (EditData().DrawItems.Count() > 0) EditData().ShowCaret(true, false, true, false);
  Invalidate();
}

void TCustomRichDocEdit::DoExit() {
  TCustomRichDoc::DoExit();
  // The Ctrl key that switched the links on is let go where this editor no longer hears it.
  EditData().LeaveHyperlinkMode();
  caret_timer_->SetEnabled(false);
  Invalidate();
}

void TCustomRichDocEdit::DoVScrolled() {
  TCustomRichDoc::DoVScrolled();
  CaretChanged();
}

void TCustomRichDocEdit::DoHScrolled() {
  TCustomRichDoc::DoHScrolled();
  CaretChanged();
}

// --- editing operations ---------------------------------------------------------------------

bool TCustomRichDocEdit::DeleteSelection() {
  TCustomRichDocEdit& editor = ActiveEditor();
  TRDEditRDData& data = editor.EditData();
  if (!data.HasSelectionOrPartial()) return true;
  if (!editor.BeforeChange(false)) return false;
  const bool deleted = data.DeleteSelectionWithUndo();
  editor.Invalidate();
  return deleted;
}

bool TCustomRichDocEdit::InsertItem(std::unique_ptr<TCustomRDItemInfo> Item,
                                    const std::string& Text) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->InsertItem(std::move(Item), Text);
  return RunInsertion([&](TRDEditRDData& data) {
    return data.InsertItemAtCaret(std::move(Item), Text, false, false);
  });
}

bool TCustomRichDocEdit::TypeChar(char16_t Ch) {
  TCustomRichDocEdit& editor = ActiveEditor();
  TRDEditRDData& data = editor.EditData();
  data.State |= rddsTyping;
  const bool allowed = editor.BeforeChange(false);
  data.State &= ~rddsTyping;
  if (!allowed) return false;
  if (data.HasSelection() && !data.DeleteSelectionWithUndo()) return false;
  data.EnsureNotEmpty();
  const bool typed = data.KeyPressChar(Ch);
  editor.Invalidate();
  return typed;
}

// --- the mouse ------------------------------------------------------------------------------

void TCustomRichDocEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // A press outside the open cell editor ends its editing, unless it falls on the item
  // that holds the editor: that item decides (a press on another cell opens the editor
  // there, a border drag keeps the editor's state and reopens it after the drag).
  if (!FallsOnChosenItem(X, Y)) CloseInplaceEditor();
  TRDEditRDData& data = EditData();
  const TRect area = DocumentRect();
  int ox, oy;
  data.GetOrigin(ox, oy);
  if (Button == mbLeft && data.Resizer &&
      data.Resizer->MouseDown(X - area.Left, Y - area.Top, data.GetHOffs() - ox,
                              data.GetVOffs() - oy)) {
    SetCursor(crCross);
    Invalidate();
    return;
  }
  TCustomRichDoc::MouseDown(Button, Shift, X, Y);
  data.MoveCaretToSelectionEnd(false);
}

bool TCustomRichDocEdit::FallsOnChosenItem(int X, int Y) {
  TRDEditRDData& data = EditData();
  if (!data.ChosenItem) return false;
  const TRect area = DocumentRect();
  int x = X - area.Left, y = Y - area.Top;
  data.ClientToDocument(x, y);
  const int d = data.FindDrawItemAtPoint(x, y);
  return d >= 0 && data.GetItem(data.DrawItems[d]->ItemNo) == data.ChosenItem;
}

TPoint TCustomRichDocEdit::ContextMenuPoint(TPoint Point) {
  TRDEditRDData& data = EditData();
  if (!data.HasCaret()) return Point;
  int d = data.CaretDItemNo;
  int itemNo = data.GetCurrentItemNo(), offset = data.GetOffsetInCurrentItem();
  if (data.GetItem(itemNo)->StyleNo < 0) {
    // After a picture, the text that follows it on the line.
    if (d + 1 >= data.DrawItems.Count() || data.DrawItems[d + 1]->FromNewLine) return Point;
    itemNo = data.DrawItems[d + 1]->ItemNo;
    if (data.GetItem(itemNo)->StyleNo < 0) return Point;
    offset = data.GetItemStartOffset(itemNo);
  }
  int start, length;
  if (!data.GetItem(itemNo)->FindWordPainterAt(offset, start, length)) return Point;
  int dOffs;
  data.ItemToDrawItem(itemNo, start, d, dOffs);
  if (d < 0) return Point;
  int ox, oy;
  data.GetOrigin(ox, oy);
  const TRDDrawLineInfo& line = *data.DrawItems[d];
  Point.Y = line.Top + line.Height - (data.GetVOffs() - oy) + DocumentRect().Top;
  return Point;
}

void TCustomRichDocEdit::MouseMove(TShiftState Shift, int X, int Y) {
  TRDEditRDData& data = EditData();
  // With Ctrl held, links react to the mouse as in hyperlink mode.
  if ((EditorOptions & rdoCtrlJumps) && !GetReadOnly()) {
    const bool active = data.GetFlags() & rdfCollectJumps;
    if ((Shift & ssCtrl) && !active)
      data.EnterHyperlinkMode(false);
    else if (!(Shift & ssCtrl) && active)
      data.LeaveHyperlinkMode();
  }
  const TRect area = DocumentRect();
  int ox, oy;
  data.GetOrigin(ox, oy);
  if (data.Resizer) {
    const int x = X - area.Left, y = Y - area.Top;
    if (data.Resizer->Dragging) {
      data.Resizer->MouseMove(Shift, x, y, data.GetHOffs() - ox, data.GetVOffs() - oy);
      Invalidate();
      return;
    }
    int handle;
    if (data.Resizer->HitTest(x, y, data.GetHOffs() - ox, data.GetVOffs() - oy, handle)) {
      SetCursor(TRDItemResizer::GetCursor(handle));
      return;
    }
    SetCursor(crIBeam);
  }
  TCustomRichDoc::MouseMove(Shift, X, Y);
}

void TCustomRichDocEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TRDEditRDData& data = EditData();
  if (data.Resizer && data.Resizer->Dragging) {
    data.Resizer->MouseUp();
    SetCursor(crIBeam);
    data.ResizeItem(data.Resizer->ItemNo, data.Resizer->Width, data.Resizer->Height);
    Invalidate();
    return;
  }
  const int pressed = data.DrawItemPressed;
  TCustomRichDoc::MouseUp(Button, Shift, X, Y);
  // A click on a picture or control selects it.
  if (Button == mbLeft && !data.HasSelection() && pressed >= 0 &&
      pressed < data.DrawItems.Count()) {
    const TCustomRDItemInfo* item = data.GetItem(data.DrawItems[pressed]->ItemNo);
    const TRect area = DocumentRect();
    int ox, oy;
    data.GetOrigin(ox, oy);
    const int docX = X - area.Left + data.GetHOffs() - ox,
              docY = Y - area.Top + data.GetVOffs() - oy;
    const TRDDrawLineInfo& line = *data.DrawItems[pressed];
    if (item->StyleNo < 0 && (item->QueryItemFlag(8) || item->QueryItemFlag(11)) &&
        docX >= line.Left && docX < line.Left + line.Width && docY >= line.Top &&
        docY < line.Top + line.Height) {
      data.SelStartDItem = data.SelEndDItem = pressed;
      data.SelStartOffs = 0;
      data.SelEndOffs = 1;
    }
  }
  data.MoveCaretToSelectionEnd(false);
  Invalidate();
}
