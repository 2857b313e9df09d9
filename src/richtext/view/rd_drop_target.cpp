#include "richtext/view/rd_drop_target.h"

#include <algorithm>

#include "richtext/view/rd_drop_data.h"
#include "richtext/view/rich_doc.h"

TRDDropTarget::TRDDropTarget(TCustomRichDoc& Owner)
    : TRDScrollerInternalIfcObject(Owner), doc_(Owner) {
  RegisterDragDrop(Owner, *this);
}

TRDDropTarget::~TRDDropTarget() {
  RevokeDragDrop(doc_);
}

TDropEffect TRDDropTarget::Proposal(TDropEffects allowed, TShiftState shift) const {
  // A drag of the selection belongs to the root viewer (a cell's editor is inside one).
  TCustomRDData* root = doc_.RDData().GetAbsoluteRootData();
  const auto* rootDoc =
      root ? dynamic_cast<const TCustomRichDoc*>(root->GetParentControl()) : nullptr;
  return ChooseDropEffect(allowed, shift, rootDoc && rootDoc->DraggingSelection());
}

void TRDDropTarget::DragEnter(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                              TDropEffects& Effect) {
  const TDropEffects allowed = Effect;
  Effect = deNone;
  accepted_ = false;
  const std::vector<std::string> formats = Data.Formats();
  if (std::none_of(formats.begin(), formats.end(),
                   [this](const std::string& format) { return OleCanAcceptFormat(format); }))
    return;
  TDropEffect effect = Proposal(allowed, Shift);
  OleDragEnter(Data, Shift, effect, allowed, Pt);
  if (effect == deNone) return;
  accepted_ = OleCanDropAt(Pt.X, Pt.Y);
  if (accepted_) Effect = effect;
}

void TRDDropTarget::DragOver(TShiftState Shift, TPoint Pt, TDropEffects& Effect) {
  const TDropEffects allowed = Effect;
  Effect = deNone;
  if (!accepted_ || !OleDragOverAt(Pt.X, Pt.Y)) return;
  TDropEffect effect = Proposal(allowed, Shift);
  OleDragOver(Shift, Pt, effect, allowed);
  Effect = effect;
}

void TRDDropTarget::DragLeave() {
  accepted_ = false;
  OleDragLeave();
}

void TRDDropTarget::Drop(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                         TDropEffects& Effect) {
  const TDropEffects allowed = Effect;
  accepted_ = false;
  TDropEffect done = OleDrop(Data, Proposal(allowed, Shift) == deMove, allowed, Pt, Shift);
  if (done == deCopy && !(allowed & deCopy)) done = deLink;
  Effect = done;
}
