// The list box: one line per item, at most one chosen.
//
// With Style lbOwnerDrawFixed every row is ItemHeight pixels high and drawn by
// OnDrawItem on Canvas. Before the handler runs, Canvas carries the list's Font and a
// brush of its Color, or the highlight colours for the selected row, so a handler that
// only writes text matches the list. Without a handler the row is filled and its text
// written 2 pixels from the left.
#pragma once

#include <functional>
#include <memory>

#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/owner_draw.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/text/string_list.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };

// Index is the row's 0-based item; Rect its area in the list's client coordinates.
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* AOwner);
  ~TListBox() override;

  // Changing the items refills the box.
  TStringList& Items() { return *items_; }
  const TStringList& Items() const { return *items_; }
  // -1 when no item is chosen.
  int ItemIndex() const;
  void SetItemIndex(int Value);

  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle Value);
  // The height of an owner-drawn row; values below 1 become 1.
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int Value);
  // Draws on the row while OnDrawItem runs; otherwise it only measures text.
  TCanvas& Canvas() { return *canvas_; }

  TDrawItemEvent OnDrawItem;

  std::string ClassName() const override { return "TListBox"; }

 protected:
  // Draws one owner-drawn row on Canvas; the default calls OnDrawItem.
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  void ColorChanged() override;

 private:
  friend class TListBoxDelegate;
  void ItemsChanged();

  std::unique_ptr<TStringList> items_;
  std::unique_ptr<TCanvas> canvas_;
  TListBoxStyle style_ = lbStandard;
  int item_height_ = 16;
};
