// Animated pictures: a picture item whose bitmap holds its frames side by side (a strip
// or a grid of equal cells) and that has a frame interval plays inside the viewer. One
// timer of the viewer drives every animator of a document; a tick only asks for the
// item's rectangle to be painted again, the paint draws the current frame.
//
// Example: a 64 x 16 bitmap of 16 x 16 frames with interval 10 (hundredths of a second)
// shows frame 0, after 100 ms frame 1, ... after frame 3 frame 0 again.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TCustomRDData;
class TCustomRDItemInfo;
class TRDAnimatorList;

// What a picture item that can be animated offers its animator.
class TRDAnimatedPicture {
 public:
  virtual ~TRDAnimatedPicture() = default;
  // The picture when it is a bitmap, else none.
  virtual const TBitmap* AnimationBitmap() const = 0;
  virtual int FrameWidth() const = 0;
  virtual int FrameHeight() const = 0;
  // Hundredths of a second between frames; 0 does not animate.
  virtual int FrameInterval() const = 0;
};

class TRDAnimator {
 public:
  TRDAnimator(TCustomRDData* rdData, TCustomRDItemInfo* item);
  virtual ~TRDAnimator();
  TRDAnimator(const TRDAnimator&) = delete;
  TRDAnimator& operator=(const TRDAnimator&) = delete;

  TRDAnimatorList* List = nullptr;
  int FrameIndex = 0;
  TCustomRDItemInfo* Item;
  int Interval = 0;  // milliseconds left until the next frame
  TCustomRDData* RDData;
  // The picture's reference to this animator, cleared when the animator is freed (by its
  // list or its picture, whichever comes first).
  TRDAnimator** Holder = nullptr;

  virtual int GetFrameCount() const = 0;
  virtual void HiddenTick() {}
  virtual void Reset() = 0;
  virtual void ChangeFrame() = 0;
};

class TRDBitmapAnimator : public TRDAnimator {
 public:
  TRDBitmapAnimator(TCustomRDData* rdData, TCustomRDItemInfo* item);
  int GetFrameCount() const override;
  void Reset() override;
  void ChangeFrame() override;
  // The cell of the current frame in the bitmap: column, row.
  void FrameCell(int& column, int& row) const;

 private:
  const TRDAnimatedPicture& Picture() const;
};

class TRDAnimatorList {
 public:
  static constexpr int kMaxAnimators = 300;
  static constexpr int kNoInterval = 0x7FFFFFFF;
  ~TRDAnimatorList();

  bool Active = false;
  int MinInterval = kNoInterval;
  int LastInterval = kNoInterval;
  // Told after an animator joined: a viewer asked to animate before the picture came
  // starts its clock then.
  std::function<void()> OnAnimatorAdded;

  int Count() const { return int(items_.size()); }
  TRDAnimator* Items(int index) const { return items_[size_t(index)]; }
  // Takes the animator; at the limit it is freed and the reference cleared.
  void AddAnimator(std::unique_ptr<TRDAnimator>& animator);
  void Remove(TRDAnimator* animator);
  // The animator of item, or none.
  TRDAnimator* Find(const TCustomRDItemInfo* item) const;
  // Frees every animator.
  void FreeAll();
  // One tick of elapsed = MinInterval milliseconds: frames change where their time is
  // up; visible(animator) says whether its item shows, invalidate(animator) asks for it
  // to be painted. Returns true when the timer needs the new MinInterval.
  template <class Visible, class Invalidate>
  bool Tick(Visible visible, Invalidate invalidate);

 private:
  std::vector<TRDAnimator*> items_;  // owned
};

template <class Visible, class Invalidate>
bool TRDAnimatorList::Tick(Visible visible, Invalidate invalidate) {
  const int elapsed = MinInterval;
  MinInterval = kNoInterval;
  for (TRDAnimator* animator : items_) {
    animator->Interval -= elapsed;
    if (animator->Interval < 1) {
      animator->ChangeFrame();
      if (visible(*animator))
        invalidate(*animator);
      else
        animator->HiddenTick();
    }
    MinInterval = std::min(MinInterval, animator->Interval);
  }
  if (MinInterval == LastInterval) return false;
  LastInterval = MinInterval;
  return true;
}

// The factory picture items call when they are laid out: keeps (reset), makes or frees
// the item's animator in list, the animators' one owner. An animator is made only for a
// bitmap with more than one frame and a frame interval.
void RDMakeAnimator(TCustomRDItemInfo& item, TCustomRDData* rdData, TRDAnimatorList& list);
