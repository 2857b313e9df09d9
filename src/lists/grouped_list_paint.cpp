// Painting of the grouped list: group headers, list rows, thumbnails, focus marks and
// the rubber band. The items' content is the owner's (OnDrawItem).
#include <algorithm>

#include "html/html_draw.h"
#include "lists/section_grouped_list.h"
#include "lists/text_fit.h"

namespace {

constexpr TColor kHeaderLine = RGB(123, 164, 224);
constexpr TColor kDropTarget = RGB(255, 238, 194);
constexpr TColor kDropTargetRow = RGB(255, 250, 237);
constexpr TColor kSelectedUnfocused = RGB(224, 233, 246);
constexpr TColor kSeparator = RGB(234, 240, 249);
constexpr TColor kThumbFrame = RGB(212, 208, 200);
constexpr TColor kThumbFocused = RGB(55, 104, 185);
constexpr TColor kThumbBack = RGB(228, 231, 239);
constexpr TColor kBand = RGB(49, 106, 197);

// A dotted line or frame edge: alternating pixels in two colours, as a 0x55/0xAA pattern.
void Dotted(TCanvas& Canvas, const TRect& R, TColor A, TColor B) {
  for (int y = R.Top; y < R.Bottom; ++y) {
    for (int x = R.Left; x < R.Right; ++x) Canvas.SetPixels(x, y, ((x + y) & 1) ? B : A);
  }
}

void Fill(TCanvas& Canvas, const TRect& R, TColor Color) {
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(Color);
  Canvas.FillRect(R);
}

}  // namespace

void TSectionGroupedList::Paint() {
  PaintContents(Canvas(), false, Point(0, top_), ClientHeight());
}

void TSectionGroupedList::PaintContents(TCanvas& Canvas, bool SelectedOnly, TPoint Origin,
                                        int Height) {
  const int width = ContentWidth();
  if (!SelectedOnly) Fill(Canvas, Rect(0, 0, ClientWidth(), Height), Color());
  const int x = -Origin.X;
  int y = -Origin.Y;
  for (POGLItem group = root_->FirstChild; group && y < Height; group = group->NextSibling) {
    const TRect header = Rect(x, y, x + width, y + group_item_height_);
    if (header.Bottom > 0 && (!SelectedOnly || IsItemSelected(group))) {
      DrawNode(Canvas, header, group);
    }
    y += group_item_height_;
    if (!IsGroupExpanded(group)) continue;
    const int rowsAbove = y < 0 ? -y / item_height_ : 0;
    const int itemWidth = ItemWidth();
    int index = rowsAbove * columns_;
    POGLItem item = ChildAt(group, index);
    for (; item; item = item->NextSibling, ++index) {
      const int top = y + index / columns_ * item_height_;
      if (top >= Height) break;
      const int left = x + index % columns_ * itemWidth;
      if (SelectedOnly && !IsItemSelected(item)) continue;
      DrawNode(Canvas, Rect(left, top, left + itemWidth, top + item_height_), item);
    }
    y += group->ContentHeight;
  }
  if (!SelectedOnly) DrawRubberBand(Canvas);
}

void TSectionGroupedList::DrawNode(TCanvas& Canvas, TRect Rect, POGLItem Item) {
  if (IsGroup(Item)) {
    DrawGroup(Canvas, Rect, Item);
  } else if (view_style_ == vsList) {
    DrawListItem(Canvas, Rect, Item);
  } else {
    DrawThumbnail(Canvas, Rect, Item);
  }
}

void TSectionGroupedList::DrawGroup(TCanvas& Canvas, TRect R, POGLItem Group) {
  const bool selected = IsItemSelected(Group);
  const bool focusedNode = Group == focused_;
  const bool shows = SelectionShows();
  Fill(Canvas, ::Rect(R.Left, R.Bottom - 2, R.Right, R.Bottom), kHeaderLine);
  const TRect body = ::Rect(R.Left, R.Top, R.Right, R.Bottom - 2);
  const bool dropTarget = Group == drop_target_;
  if (dropTarget) {
    Fill(Canvas, body, kDropTarget);
  } else if (selected && focusedNode && shows) {
    Fill(Canvas, body, group_selection_color_);
  } else if (selected) {
    Fill(Canvas, body, group_color_ == clNone ? kSelectedUnfocused : group_color_);
  } else if (group_color_ != clNone) {
    Fill(Canvas, body, group_color_);
  }
  const bool focusMarks = HasFocus() && focusedNode;
  if (focusMarks) {
    const TColor a = selected ? RGB(206, 149, 58) : clBlack;
    const TColor b = selected ? RGB(49, 106, 197) : clWhite;
    Dotted(Canvas, ::Rect(R.Left, R.Top, R.Right, R.Top + 1), a, b);
    Dotted(Canvas, ::Rect(R.Left, R.Top, R.Left + 1, R.Bottom - 1), a, b);
    Dotted(Canvas, ::Rect(R.Right - 1, R.Top, R.Right, R.Bottom - 1), a, b);
    Dotted(Canvas, ::Rect(R.Left, R.Bottom - 3, R.Right, R.Bottom - 2),
           selected ? RGB(132, 91, 31) : clBlack, selected ? kHeaderLine : clWhite);
  }
  if (Group->PrevSibling && IsGroupExpanded(Group->PrevSibling) && !focusMarks) {
    Fill(Canvas, ::Rect(R.Left, R.Top, R.Right, R.Top + 1), dropTarget ? kDropTarget : kSeparator);
  }
  Canvas.Brush().SetStyle(bsClear);
  if (Group->ChildCount > 0 && show_nodes_) {
    Canvas.Draw(R.Left + 3, R.Top + group_caption_top_,
                Group->Has(TOGLItem::Expanded) ? minus_glyph_ : plus_glyph_);
  }
  Canvas.Font().Assign(group_font_);
  std::string count = IntToStr(Group->ChildCount);
  if (Group->SelectedCount > 0 && (selection_options_ & soMultiSelect)) {
    count = IntToStr(Group->SelectedCount) + " / " + count;
  }
  std::string caption = "  ";
  if (OnGetCaption) GetItemCaption(Group, caption);
  const bool selectedText =
      selected && focusedNode && shows && group_selection_text_color_ != clNone;
  if (selectedText) Canvas.Font().SetColor(group_selection_text_color_);
  TRect captionRect =
      ::Rect(R.Left + 22, R.Top, R.Right - 12 - Canvas.TextWidth(count), R.Bottom - 7);
  if (Images && OnGetGroupImageIndex) {
    int image = -1;
    OnGetGroupImageIndex(this, Group, image);
    if (image != -1) {
      Images->Draw(Canvas, captionRect.Left, R.Bottom - 6 - Images->Height(), image);
      captionRect.Left += Images->Width() + 4;
    }
  }
  if (caption.find('<') != std::string::npos) {
    DrawHTMLCaption(Canvas, caption, captionRect);
    Canvas.Brush().SetStyle(bsClear);
  } else {
    // One line at the bottom, cut with an ellipsis when it does not fit.
    const std::string shown = FitText(Canvas, caption, captionRect.Width());
    Canvas.TextOut(captionRect.Left, captionRect.Bottom - Canvas.TextHeight(shown), shown);
  }
  if (group_show_count_) {
    Canvas.Font().Assign(group_count_font_);
    if (selectedText) Canvas.Font().SetColor(group_selection_text_color_);
    Canvas.TextOut(R.Right - 7 - Canvas.TextWidth(count), R.Bottom - 7 - Canvas.TextHeight(count),
                   count);
  }
}

// Measured first, so that a caption lower than its bar sits at the bottom like a plain one.
void TSectionGroupedList::DrawHTMLCaption(TCanvas& Canvas, const std::string& Caption, TRect Rect) {
  THtmlDrawParams params;
  params.URLColor = clBlue;
  params.ShadowColor = clNone;
  params.HoverLink = 0;
  // One line, like a plain caption: a long one ends in "..." at the count.
  params.WordWrap = false;
  params.MeasureOnly = true;
  THtmlDrawResult result;
  DrawHtmlText(Canvas, Caption, Rect, params, result);
  if (Rect.Height() > result.YSize + 4) Rect.Top += Rect.Height() - result.YSize;
  params.MeasureOnly = false;
  DrawHtmlText(Canvas, Caption, Rect, params, result);
}

void TSectionGroupedList::DrawListItem(TCanvas& Canvas, TRect R, POGLItem Item) {
  if (IsItemSelected(Item)) {
    Fill(Canvas, R, SelectionShows() ? SelectionColor : kSelectedUnfocused);
  } else if (Item->Parent == drop_target_) {
    Fill(Canvas, R, kDropTargetRow);
  }
  Fill(Canvas, ::Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom), clBtnFace);
  R.Bottom -= 1;
  DrawOwnerItem(Canvas, R, Item);
  if (HasFocus() && Item == focused_) Canvas.DrawFocusRect(R);
}

void TSectionGroupedList::DrawOwnerItem(TCanvas& Canvas, TRect R, POGLItem Item) {
  if (!OnDrawItem) return;
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Font().Assign(Font());
  Canvas.IntersectClipRect(R);
  OnDrawItem(this, Canvas, R, Item);
  Canvas.RestoreClip();
  Canvas.Brush().SetStyle(bsClear);
}

TRect TSectionGroupedList::ThumbnailCaptionBox(TCanvas& Canvas, TRect Cell,
                                               const std::string& Caption) const {
  const int top = Cell.Top + thumbnails_.VertSpacing + thumbnails_.ThumbnailHeight + 4;
  const int width = std::min(Canvas.TextWidth(Caption), Cell.Width() - 8);
  const int offset = (ItemWidth() - width) / 2;
  return Rect(Cell.Left + offset - 2, top - 1, Cell.Right - offset + 2,
              top + Canvas.TextHeight(Caption) + 1);
}

void TSectionGroupedList::DrawThumbnail(TCanvas& Canvas, TRect Cell, POGLItem Item) {
  TRect r = Rect(Cell.Left + thumbnails_.HorizSpacing, Cell.Top + thumbnails_.VertSpacing,
                 Cell.Right - thumbnails_.HorizSpacing, Cell.Bottom - thumbnails_.VertSpacing);
  r.Bottom = r.Top + thumbnails_.ThumbnailHeight;
  const bool selected = IsItemSelected(Item);
  const bool shows = SelectionShows();
  TColor frame = kThumbFrame;
  if (selected) {
    frame = !shows ? kThumbFrame : (Item == focused_ ? kThumbFocused : kHeaderLine);
    const int pen = Item == focused_ ? 3 : 2;
    TRect outer = Item == focused_ ? Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1)
                                   : Rect(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
    if (shows) Fill(Canvas, outer, kThumbBack);
    Canvas.Brush().SetColor(frame);
    for (int i = 0; i < pen; ++i) {
      Canvas.FrameRect(Rect(outer.Left + i, outer.Top + i, outer.Right - i, outer.Bottom - i));
    }
  } else {
    Canvas.Brush().SetColor(kThumbFrame);
    Canvas.FrameRect(r);
  }
  r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  DrawOwnerItem(Canvas, r, Item);
  Canvas.Font().Assign(Font());
  std::string caption = "      ";
  if (OnGetCaption) GetItemCaption(Item, caption);
  TRect box = ThumbnailCaptionBox(Canvas, Cell, caption);
  if (selected) Fill(Canvas, box, frame);
  if (HasFocus() && Item == focused_) {
    const TColor a = selected ? RGB(245, 219, 149) : clBlack;
    const TColor b = selected ? frame : clWhite;
    Dotted(Canvas, Rect(box.Left, box.Top, box.Right, box.Top + 1), a, b);
    Dotted(Canvas, Rect(box.Left, box.Bottom - 1, box.Right, box.Bottom), a, b);
    Dotted(Canvas, Rect(box.Left, box.Top, box.Left + 1, box.Bottom), a, b);
    Dotted(Canvas, Rect(box.Right - 1, box.Top, box.Right, box.Bottom), a, b);
  }
  Canvas.Brush().SetStyle(bsClear);
  Canvas.Font().SetColor(selected && shows ? clWhite : clBlack);
  TRect text = Rect(box.Left, box.Top + 1, box.Right, box.Bottom - 1);
  // A caption wider than the cell ends in "..." rather than losing both its ends.
  Canvas.TextRect(text, FitText(Canvas, caption, Cell.Width() - 8),
                  tfSingleLine | tfNoPrefix | tfCenter);
}

TRect TSectionGroupedList::RubberBandRect() const {
  return Rect(std::min(band_start_.X, band_current_.X), std::min(band_start_.Y, band_current_.Y),
              std::max(band_start_.X, band_current_.X), std::max(band_start_.Y, band_current_.Y));
}

void TSectionGroupedList::DrawRubberBand(TCanvas& Canvas) {
  if (!(state_ & stRubberBand)) return;
  TRect r = RubberBandRect();
  if (r.Width() == 0 && r.Height() == 0) return;
  r = Rect(std::max(0, r.Left), r.Top - top_, std::min(ContentWidth(), r.Right), r.Bottom - top_);
  const int height = ClientHeight();
  const bool atTop = top_ == 0;
  const bool atEnd = top_ >= std::max(0, total_height_ - height);
  r.Top = std::max(r.Top, atTop ? 0 : -1);
  r.Bottom = std::min(r.Bottom, atEnd && !atTop ? height : height + 1);
  if (DrawSelectionMode == dsmDottedRectangle) {
    Canvas.Font().SetColor(clWhite);
    Canvas.Brush().SetColor(clBlack);
    Canvas.DrawFocusRect(r);
    return;
  }
  Canvas.BlendRect(r, kBand, 127);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(kBand);
  Canvas.FrameRect(r);
}
