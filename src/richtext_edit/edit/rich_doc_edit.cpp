#include "richtext_edit/edit/rich_doc_edit.h"

#include "platform/sys/timer.h"
#include "richtext/rd_style.h"

TCustomRichDocEdit::TCustomRichDocEdit(TComponent* AOwner)
    : TCustomRichDoc(AOwner,
                     [](TCustomRichDoc& doc) { return std::make_unique<TRDEditRDData>(doc); }),
      queue_timer_(new TTimer(this)) {
  SetCursor(crIBeam);
  TabNavigation = rdtnNone;
  queue_timer_->SetEnabled(false);
  queue_timer_->SetInterval(0);
  queue_timer_->OnTimer = [this](TComponent*) { RunQueued(); };
}

TCustomRichDocEdit::~TCustomRichDocEdit() {
  queue_timer_->SetEnabled(false);
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
  Invalidate();
}

void TCustomRichDocEdit::SetUndoLimit(int Value) {
  EditData().UndoList->SetLimit(Value);
}

void TCustomRichDocEdit::SetTabNavigation(TRDTabNavigationType Value) {
  if (Value != rdtnNone) throw ERichDocError("Not supported in editor");
  TabNavigation = Value;
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
  bool canEdit = !GetReadOnly() && Style() != nullptr;
  if (canEdit && root.change_lock_ == 0 && root.OnChanging) root.OnChanging(&root, canEdit);
  if (!canEdit) EditData().Beep();
  return canEdit;
}

void TCustomRichDocEdit::Change(bool ClearRedo) {
  Modified = true;
  if (ClearRedo) EditData().RedoList->Clear();
  TCustomRichDocEdit& root = RootEditor();
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
  Invalidate();
  TCustomRichDocEdit& root = RootEditor();
  if (root.OnCaretMove) root.OnCaretMove(&root);
}
