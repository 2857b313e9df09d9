#include "richtext/model/rd_animate.h"

#include <algorithm>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/item_info.h"

TRDAnimator::TRDAnimator(TCustomRDData* rdData, TCustomRDItemInfo* item)
    : Item(item), RDData(rdData) {}

TRDAnimator::~TRDAnimator() {
  if (List) List->Remove(this);
  if (Holder) *Holder = nullptr;
}

TRDBitmapAnimator::TRDBitmapAnimator(TCustomRDData* rdData, TCustomRDItemInfo* item)
    : TRDAnimator(rdData, item) {}

const TRDAnimatedPicture& TRDBitmapAnimator::Picture() const {
  return dynamic_cast<const TRDAnimatedPicture&>(*Item);
}

int TRDBitmapAnimator::GetFrameCount() const {
  const TRDAnimatedPicture& picture = Picture();
  const TBitmap* bitmap = picture.AnimationBitmap();
  if (!bitmap || picture.FrameWidth() <= 0 || picture.FrameHeight() <= 0) return 0;
  return (bitmap->Width() / picture.FrameWidth()) * (bitmap->Height() / picture.FrameHeight());
}

void TRDBitmapAnimator::Reset() {
  Interval = Picture().FrameInterval() * 10;
  FrameIndex = 0;
}

void TRDBitmapAnimator::ChangeFrame() {
  Interval = Picture().FrameInterval() * 10;
  if (++FrameIndex >= GetFrameCount()) FrameIndex = 0;
}

void TRDBitmapAnimator::FrameCell(int& column, int& row) const {
  const TRDAnimatedPicture& picture = Picture();
  const int columns = std::max(1, picture.AnimationBitmap()->Width() / picture.FrameWidth());
  column = FrameIndex % columns;
  row = FrameIndex / columns;
}

TRDAnimatorList::~TRDAnimatorList() {
  FreeAll();
}

void TRDAnimatorList::AddAnimator(std::unique_ptr<TRDAnimator>& animator) {
  if (Count() >= kMaxAnimators) {
    animator.reset();
    return;
  }
  animator->Reset();
  MinInterval = std::min(MinInterval, animator->Interval);
  animator->List = this;
  items_.push_back(animator.release());
  if (OnAnimatorAdded) OnAnimatorAdded();
}

void TRDAnimatorList::Remove(TRDAnimator* animator) {
  items_.erase(std::remove(items_.begin(), items_.end(), animator), items_.end());
  if (items_.empty()) Active = false;
}

void TRDAnimatorList::FreeAll() {
  std::vector<TRDAnimator*> items;
  items.swap(items_);
  for (TRDAnimator* animator : items) {
    animator->List = nullptr;
    delete animator;
  }
  Active = false;
}

TRDAnimator* TRDAnimatorList::Find(const TCustomRDItemInfo* item) const {
  for (TRDAnimator* animator : items_)
    if (animator->Item == item) return animator;
  return nullptr;
}

void RDMakeAnimator(TCustomRDItemInfo& item, TCustomRDData* rdData, TRDAnimatorList& list) {
  TRDAnimator* existing = list.Find(&item);
  auto* picture = dynamic_cast<TRDAnimatedPicture*>(&item);
  bool wanted = picture && picture->FrameInterval() > 0 && picture->AnimationBitmap();
  if (wanted) {
    TRDBitmapAnimator probe(rdData, &item);
    wanted = probe.GetFrameCount() > 1;
  }
  if (existing && (!wanted || !dynamic_cast<TRDBitmapAnimator*>(existing))) {
    delete existing;  // leaves the list on its way
    existing = nullptr;
  }
  if (!wanted) return;
  if (existing) {
    existing->RDData = rdData;
    existing->Reset();
    return;
  }
  std::unique_ptr<TRDAnimator> animator = std::make_unique<TRDBitmapAnimator>(rdData, &item);
  list.AddAnimator(animator);
}
