#include "richtext_edit/edit/undo_list.h"

#include <algorithm>
#include <limits>

#include "richtext/base/rich_doc_error.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/undo_records.h"

// --- steps ------------------------------------------------------------------------------

bool TRDUndoInfos::IsExhausted() const {
  if (Records.empty()) return true;
  const TRDUndoInfo* first = Records.front().get();
  if (auto* typing = dynamic_cast<const TRDUndoTypingInfo*>(first)) return typing->Length == 0;
  if (auto* redo = dynamic_cast<const TRDRedoTypingInfo*>(first)) return redo->Text.empty();
  if (auto* composite = dynamic_cast<const TRDCompositeUndo*>(first))
    return !composite->UndoList || composite->UndoList->Count() == 0;
  return false;
}

void TRDUndoInfos::Perform(TRDEditRDData& data, bool reformat) {
  if (Records.empty()) return;
  data.Deselect(false);
  // Which items the records touch, [start, end] in the numbering before the step, and how
  // many items the records undone so far added (shift). A record names its items in the
  // numbering the records undone before it (later in the list) left: there the touched
  // items are start .. end + shift, those before keep their numbers and those after stand
  // shift places on.
  bool format = false, rootFormat = false;
  const int oldCount = data.GetItemCount();
  int start = std::numeric_limits<int>::max(), end = -1, shift = 0;
  for (auto it = Records.rbegin(); it != Records.rend(); ++it) {
    TRDUndoInfo& record = **it;
    format = format || record.NeedsFormat();
    rootFormat = rootFormat || record.NeedsRootFormat();
    int a = -1, b = -1;
    record.GetAffectedItems(a, b, data);
    if (a >= 0) {
      start = std::min(start, a);
      if (const int last = std::max(a, b); last > end + shift) end = std::max(end, last - shift);
    }
    shift += record.ItemsAdded();
  }
  // Records that name no items: the whole document.
  if (start > end) start = 0, end = oldCount - 1;
  end = std::max({end, start, start - shift});
  end = std::min(end, oldCount - 1);
  int firstDItem = -1, lastDItem = -1;
  if (oldCount > 0 && start <= end && data.DrawItems.Count() > 0 &&
      data.LastFormattedItem >= oldCount - 1) {
    int paraFirst, paraLast;
    data.ExpandRangeToParas(start, end, paraFirst, paraLast);
    firstDItem = data.GetItem(paraFirst)->DrawItemNo;
    lastDItem = data.GetItemEndDrawItem(paraLast);
  }

  // Records inside a bracketed run of item property changes are judged as one change:
  // the width before the run is kept by its closing terminator (met first).
  bool full = false;
  int depth = 0;
  int savedWidth = 0;
  for (int i = Count() - 1; i >= 0; --i) {
    TRDUndoInfo& record = *Records[size_t(i)];
    if (depth == 0 && format && !full) full = record.NeedsFullFormatBeforeUndo(data);
    if (auto* terminator = dynamic_cast<TRDUndoModifyItemTerminator*>(&record)) {
      if (!terminator->Opening) {
        if (depth == 0) savedWidth = terminator->SavedMinWidth;
        ++depth;
      } else if (depth > 0 && --depth == 0) {
        terminator->SavedMinWidth = savedWidth;
      }
    }
    record.Undo(data);
    if (depth == 0 && format && !full) full = record.NeedsFullFormatAfterUndo(data);
    if (!record.UndoesInParts()) Records.erase(Records.begin() + i);
  }

  const int count = data.GetItemCount();
  if (count > 0) {
    int first = std::clamp(start, 0, count - 1);
    int last = std::clamp(end + std::max(shift, 0), 0, count - 1);
    int paraFirst, paraLast;
    data.ExpandRangeToParas(first, last, paraFirst, paraLast);
    // The words of the touched paragraphs are checked again.
    for (int i = paraFirst; i <= paraLast; ++i) data.GetItem(i)->ClearMisspellings();
  }
  if (reformat && format) data.ReformatAfterEdit(full, firstDItem, lastDItem, shift);
  if (!data.GetChosenItem()) data.PlaceCaretAfterUndo(CaretItemNo, CaretOffs);
  if (rootFormat) {
    TCustomRDData* root = data.GetAbsoluteRootData();
    if (auto* rootEdit = dynamic_cast<TRDEditRDData*>(root))
      rootEdit->ReformatAfterEdit(true, -1, -1, 0);
  }
}

// --- the list ---------------------------------------------------------------------------

TRDUndoList::~TRDUndoList() = default;

void TRDUndoList::Clear() {
  // The newest first: a record may hold what an older one refers to.
  while (!steps_.empty()) steps_.pop_back();
}

void TRDUndoList::TrimToLimit(int room) {
  if (limit_ < 0) return;
  while (!steps_.empty() && int(steps_.size()) > limit_ - room) steps_.pop_front();
}

void TRDUndoList::SetLimit(int value) {
  limit_ = value;
  TrimToLimit(0);
}

void TRDUndoList::PushStep(std::unique_ptr<TRDUndoInfos> step) {
  steps_.push_back(std::move(step));
  ++steps_added_;
}

void TRDUndoList::FreeLastIfEmpty() {
  if (!steps_.empty() && steps_.back()->Records.empty()) steps_.pop_back();
}

bool TRDUndoList::BeginStep(TRDUndoType kind, const std::string& caption, int caretItemNo,
                            int caretOffs) {
  if (limit_ == 0) return false;
  if (InGroupMode() && !steps_.empty()) {
    const TRDUndoInfos& last = *steps_.back();
    if (!(last.Count() == 1 && last.Records.front()->Kind == rdrkTyping)) return true;
  }
  auto step = std::make_unique<TRDUndoInfos>();
  step->Kind = kind;
  step->Caption = caption;
  step->CaretItemNo = caretItemNo;
  step->CaretOffs = caretOffs;
  if (!steps_.empty() && steps_.back()->Records.empty()) {
    // An empty step is replaced; the change it was begun for is where the caret was.
    step->Caption = steps_.back()->Caption;
    step->CaretItemNo = steps_.back()->CaretItemNo;
    step->CaretOffs = steps_.back()->CaretOffs;
    steps_.pop_back();
  }
  TrimToLimit(1);
  PushStep(std::move(step));
  return true;
}

TRDUndoInfo* TRDUndoList::AddRecord(std::unique_ptr<TRDUndoInfo> record) {
  if (steps_.empty()) throw ERichDocError("Can't modify empty undo list");
  TRDUndoInfos& last = *steps_.back();
  if (last.Count() == 1 && last.Records.front()->Kind == rdrkTyping)
    throw ERichDocError("Incorrect adding into undo list");
  record->owner_ = owner_;
  last.Records.push_back(std::move(record));
  return last.Records.back().get();
}

void TRDUndoList::AddStep(std::unique_ptr<TRDUndoInfos> step) {
  for (auto& record : step->Records) record->owner_ = owner_;
  TrimToLimit(1);
  PushStep(std::move(step));
}

std::unique_ptr<TRDUndoInfos> TRDUndoList::ExtractLastStep() {
  if (steps_.empty()) return nullptr;
  std::unique_ptr<TRDUndoInfos> step = std::move(steps_.back());
  steps_.pop_back();
  return step;
}

void TRDUndoList::DropEmptyLastStep() {
  if (!InGroupMode()) FreeLastIfEmpty();
}

TRDUndoType TRDUndoList::CurrentKind() const {
  return steps_.empty() ? rdutNone : steps_.back()->Kind;
}

void TRDUndoList::AddTyping(int itemNo, int pos, bool unicode) {
  if (limit_ == 0) return;
  FreeLastIfEmpty();
  if (!steps_.empty() && !steps_.back()->Records.empty()) {
    TRDUndoInfos& last = *steps_.back();
    auto* typing = dynamic_cast<TRDUndoTypingInfo*>(last.Records.front().get());
    if (typing && typing->ItemNo == itemNo && typing->Pos + typing->Length == pos) {
      ++typing->Length;
      ++last.CaretOffs;
      return;
    }
  }
  auto step = std::make_unique<TRDUndoInfos>();
  step->Kind = rdutTyping;
  step->CaretItemNo = itemNo;
  step->CaretOffs = pos;
  auto record = std::make_unique<TRDUndoTypingInfo>();
  record->Kind = rdrkTyping;
  record->ItemNo = itemNo;
  record->Pos = pos;
  record->Length = 1;
  record->Unicode = unicode;
  record->owner_ = owner_;
  step->Records.push_back(std::move(record));
  TrimToLimit(1);
  PushStep(std::move(step));
}

void TRDUndoList::AddUntyping(const std::string& ch, int itemNo, int pos) {
  if (limit_ == 0) return;
  FreeLastIfEmpty();
  if (!steps_.empty() && !steps_.back()->Records.empty()) {
    TRDUndoInfos& last = *steps_.back();
    auto* redo = dynamic_cast<TRDRedoTypingInfo*>(last.Records.front().get());
    const int held = redo ? int(redo->Text.size()) / (redo->Unicode ? 2 : 1) : 0;
    if (redo && redo->ItemNo == itemNo && redo->Pos - held == pos) {
      redo->Text += ch;
      --last.CaretOffs;
      return;
    }
  }
  auto step = std::make_unique<TRDUndoInfos>();
  step->Kind = rdutTyping;
  step->CaretItemNo = itemNo;
  step->CaretOffs = pos;
  auto record = std::make_unique<TRDRedoTypingInfo>();
  record->Kind = rdrkTyping;
  record->ItemNo = itemNo;
  record->Pos = pos;
  record->Text = ch;
  record->Unicode = ch.size() == 2;
  record->owner_ = owner_;
  step->Records.push_back(std::move(record));
  TrimToLimit(1);
  PushStep(std::move(step));
}

void TRDUndoList::PerformLast(TRDEditRDData& data, bool undoing) {
  if (steps_.empty()) throw ERichDocError("Undo buffer is empty");
  TRDUndoInfos& step = *steps_.back();
  TRDUndoList* other = undoing ? data.RedoList.get() : data.UndoList.get();
  const std::uint64_t otherSteps = other ? other->steps_added_ : 0;
  const std::uint8_t savedAction = data.UndoAction;
  struct TRestore {
    TRDEditRDData& data;
    std::uint8_t action;
    ~TRestore() { data.UndoAction = action; }
  } restore{data, savedAction};
  if (undoing)
    data.BeginRedoStep(step.Kind, step.Caption);
  else
    data.BeginUndoStepCaption(step.Kind, step.Caption, false);
  try {
    step.Perform(data, true);
  } catch (...) {
    RollBack(data, undoing, other, otherSteps);
    throw;
  }
  if (step.IsExhausted()) {
    steps_.pop_back();
  } else if (dynamic_cast<TRDUndoTypingInfo*>(step.Records.front().get())) {
    --step.CaretOffs;
  } else if (dynamic_cast<TRDRedoTypingInfo*>(step.Records.front().get())) {
    ++step.CaretOffs;
  }
  // A typing record made its own step in the other list; the one opened above stays empty.
  if (other) other->DropEmptyLastStep();
}

// A step that failed part way: what it had taken back was recorded as a new step of the
// other list. Performing that step puts the document back, and what it records (the
// records taken back, in their old order) goes into the failed step, which grows whole
// again. Should even that fail, the history is given up: the document is left as it is,
// and neither list refers to items it no longer holds.
void TRDUndoList::RollBack(TRDEditRDData& data, bool undoing, TRDUndoList* other,
                           std::uint64_t otherSteps) {
  std::unique_ptr<TRDUndoInfos> partial =
      other && other->steps_added_ != otherSteps ? other->ExtractLastStep() : nullptr;
  try {
    if (partial && !partial->Records.empty()) {
      data.UndoAction = undoing ? rduaUndo : rduaRedo;
      SetGroupMode(true);
      struct TUngroup {
        TRDUndoList& list;
        ~TUngroup() { list.SetGroupMode(false); }
      } ungroup{*this};
      partial->Perform(data, false);
    }
  } catch (...) {
    Clear();
    if (other) other->Clear();
  }
  data.ReformatAfterEdit(true, -1, -1, 0);
}

void TRDUndoList::Undo(TRDEditRDData& data) {
  PerformLast(data, true);
}

void TRDUndoList::Redo(TRDEditRDData& data) {
  PerformLast(data, false);
}
