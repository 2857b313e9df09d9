// The scrolling base of the rich-text viewer: a control that draws itself, with the
// two scroll positions and ranges, the scroll bars, keyboard and wheel scrolling, the
// child controls that sit in the document, and the frame. It knows nothing of the
// document: the viewer gives it the document's size and draws.
//
// The vertical position counts steps of VSmallStep pixels, the horizontal one pixels.
// A view at its end has VScrollPos() == GetVScrollMax(); a document shorter than the
// window gives a largest position of 0.
#pragma once

#include <memory>
#include <string>

#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/controls/scroll_bars.h"
#include "richtext/base/style_types.h"

class TCustomRDData;
class TCustomRDItemInfo;

class TRDScroller : public TCustomControl {
 public:
  explicit TRDScroller(TComponent* AOwner);
  ~TRDScroller() override;

  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle Value);
  int VSmallStep() const { return v_small_step_; }
  // Never below 1: the step divides.
  virtual void SetVSmallStep(int Value);
  bool VScrollVisible() const { return v_scroll_visible_; }
  void SetVScrollVisible(bool Value);
  // The vertical bar at the left edge, the document right of it (as right-to-left
  // reading has it).
  void SetVScrollAtLeft(bool Value);
  bool HScrollVisible() const { return h_scroll_visible_; }
  void SetHScrollVisible(bool Value);
  TRDBiDiMode BiDiMode() const { return bidi_mode_; }
  virtual void SetBiDiMode(TRDBiDiMode Value);

  bool Tracking = true;
  bool RedrawOnScroll = false;
  // The vertical bar stays shown, disabled, when there is nothing to scroll (an editor's
  // text then keeps its width as it grows past the window).
  bool KeepVScrollBar = false;
  bool ScrollByKeys = true;
  bool UseXPThemes = true;
  int StepsPerLine = 1;
  int WheelStep = 2;

  int VScrollPos() const { return v_scroll_pos_; }
  void SetVScrollPos(int Value) { ScrollTo(Value, true); }
  int HScrollPos() const { return h_scroll_pos_; }
  int GetVScrollMax() const;
  int ScrollWidth() const { return scroll_width_; }
  int ScrollHeight() const { return scroll_height_; }

  virtual void ScrollTo(int Y, bool Redraw);
  virtual void HScrollTo(int X);
  void ScrollToY(int Y) { ScrollTo(Y / v_small_step_, true); }
  void ScrollToYNoRedraw(int Y) { ScrollTo(Y / v_small_step_, false); }
  // The document's size: width in pixels, height in steps.
  void UpdateScrollRanges(int ScrollWidth, int ScrollHeight, bool UpdateH, bool AllowKeep);
  virtual void UpdateScrollBars();
  // Moves the child controls; a child's Tag holds its true top, its Top stays within
  // -10000..10000.
  void ScrollChildren(int DX, int DY);
  static int GetTopFromTag(const TControl& Child);

  // What the user did on a bar, as the bars report it.
  void VScrollAction(TScrollCode Code, int Pos);
  void HScrollAction(TScrollCode Code, int Pos);
  // Turns of the wheel; false when the wheel does not scroll this control.
  virtual bool WheelNotches(int Notches);

  // The part of the control the document shows in: inside the frame, beside the bars.
  TRect DocumentRect() const;
  int DocClientWidth() const { return DocumentRect().Width(); }
  int DocClientHeight() const { return DocumentRect().Height(); }
  // Whether this control has the focus or, following the in-place editors inwards, one
  // of them has it. A null control has none.
  bool IsFocusedOrEditorFocused() const;
  // Takes the focus when the control is shown and enabled, and not on its way out.
  void FocusIfPossible();

  // In-place editing: the item and the document inside it (a table and its cell) that
  // have an editor laid over the control. Setting another document closes the editor
  // of the one before; the answer is the new document's editor, if it has one yet.
  TCustomRDItemInfo* ActiveSubItem() const { return active_sub_item_; }
  TCustomRDData* ActiveSubData() const { return active_sub_data_; }
  TRDScroller* SetActiveSubData(TCustomRDData* Data, TCustomRDItemInfo* Item);
  // Stores Data alone; none also forgets the item.
  void AssignActiveSubData(TCustomRDData* Data);
  // When Data is the active document (or the document its editor edits): its selection
  // goes, the item is told, and no document is active any more.
  void ReleaseActiveSubData(TCustomRDData* Data);
  // The editor the active document reports, nullptr when none.
  TRDScroller* GetInplaceEditor() const;
  void DestroyInplaceEditor();
  // The document the active document's editor edits, nullptr when none.
  TCustomRDData* GetActiveSubEditingData() const;

  TNotifyEvent OnVScrolled;
  TNotifyEvent OnHScrolled;

  std::string ClassName() const override { return "TRDScroller"; }

 protected:
  virtual void DoVScrolled();
  virtual void DoHScrolled();
  virtual int GetDefSmallStep() const { return 10; }
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  // The focus coming to the control by Tab goes on to its in-place editor, if open.
  void DoEnter() override;
  // Paints the frame; the document is the viewer's.
  void PaintFrame();
  // Set by a descendant's destructor: the documents it frees are not deselected.
  bool destroying_ = false;

  // Drags over the control, as its drop target (TRDDropTarget) hands them on, in the
  // order it calls them: whether the control takes a format the drag offers; the drag
  // entering (Effect comes in as the proposal and leaves as the answer); whether the
  // control takes the drag entering at a point; whether it takes it where it moved to;
  // the drag moving (Effect as on entering); the drag leaving; the drop, which answers
  // the effect it had (Move: the proposal was a move). Points are client points. The
  // scroller takes nothing. (A drop target freed elsewhere would tell its control to
  // forget it; the control owns and frees its own, so there is nothing to forget.)
  virtual bool OleCanAcceptFormat(const std::string& /*Format*/) { return false; }
  virtual void OleDragEnter(const TDataObject& /*Data*/, TShiftState /*Shift*/,
                            TDropEffect& /*Effect*/, TDropEffects /*Allowed*/, TPoint /*Pt*/) {}
  virtual bool OleCanDropAt(int /*X*/, int /*Y*/) { return false; }
  virtual bool OleDragOverAt(int /*X*/, int /*Y*/) { return false; }
  virtual void OleDragOver(TShiftState /*Shift*/, TPoint /*Pt*/, TDropEffect& /*Effect*/,
                           TDropEffects /*Allowed*/) {}
  virtual void OleDragLeave() {}
  virtual TDropEffect OleDrop(const TDataObject& /*Data*/, bool /*Move*/, TDropEffects /*Allowed*/,
                              TPoint /*Pt*/, TShiftState /*Shift*/) {
    return deNone;
  }

 private:
  friend class TRDScrollerInternalIfcObject;
  TControlScrollBars bars_;
  TBorderStyle border_style_ = bsNone;
  int v_small_step_ = 10;
  bool v_scroll_visible_ = true;
  bool h_scroll_visible_ = true;
  bool v_scroll_at_left_ = false;
  TRDBiDiMode bidi_mode_ = rdbdUnspecified;
  bool updating_scroll_bars_ = false;
  int v_range_max_ = 0;
  int v_page_size_ = 0;
  int h_range_max_ = 0;
  int h_page_size_ = 0;
  int h_scroll_pos_ = 0;
  int v_scroll_pos_ = 0;
  int scroll_width_ = 0;
  int scroll_height_ = 0;
  TCustomRDItemInfo* active_sub_item_ = nullptr;
  TCustomRDData* active_sub_data_ = nullptr;
};

// The way of the objects that serve a scroller in drags (its drop target) to the
// scroller's drag hooks: a forwarder of the same name for each, calling the hook of the
// control it was made for. (On Windows such an object also sets up OLE for its thread;
// Qt's drag and drop needs nothing of the kind.)
class TRDScrollerInternalIfcObject {
 public:
  explicit TRDScrollerInternalIfcObject(TRDScroller& Owner) : owner_(Owner) {}
  virtual ~TRDScrollerInternalIfcObject() = default;

  bool OleCanAcceptFormat(const std::string& Format) { return owner_.OleCanAcceptFormat(Format); }
  void OleDragEnter(const TDataObject& Data, TShiftState Shift, TDropEffect& Effect,
                    TDropEffects Allowed, TPoint Pt) {
    owner_.OleDragEnter(Data, Shift, Effect, Allowed, Pt);
  }
  bool OleCanDropAt(int X, int Y) { return owner_.OleCanDropAt(X, Y); }
  bool OleDragOverAt(int X, int Y) { return owner_.OleDragOverAt(X, Y); }
  void OleDragOver(TShiftState Shift, TPoint Pt, TDropEffect& Effect, TDropEffects Allowed) {
    owner_.OleDragOver(Shift, Pt, Effect, Allowed);
  }
  void OleDragLeave() { owner_.OleDragLeave(); }
  TDropEffect OleDrop(const TDataObject& Data, bool Move, TDropEffects Allowed, TPoint Pt,
                      TShiftState Shift) {
    return owner_.OleDrop(Data, Move, Allowed, Pt, Shift);
  }

 private:
  TRDScroller& owner_;
};
