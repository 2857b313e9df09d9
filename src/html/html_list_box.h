// THtmlListBox: a list box whose items are mini-HTML lines (html_draw.h), each measured
// and painted by the renderer. Links in items are hit-tested, change the cursor, raise
// events and open web and mail addresses; items with <BLINK> text blink; the list can be
// sorted by the plain text of its items and searched by typing; a gradient selection.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/gradient_style.h"
#include "html/html_draw.h"
#include "html/picture_container.h"
#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/gui/controls/scroll_bars.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

class TImageList;
class TTimer;

class EHtmlListBoxError : public Exception {
 public:
  using Exception::Exception;
};

class THtmlListBox : public TCustomControl, public THintSource {
 public:
  using TAnchorClick =
      std::function<void(TComponent* Sender, int Index, const std::string& Anchor)>;
  using TAnchorHintEvent = std::function<void(TComponent* Sender, int Index, std::string& Anchor)>;

  explicit THtmlListBox(TComponent* AOwner);
  ~THtmlListBox() override;

  TStringList& Items() { return *items_; }
  int Count() const { return items_->Count(); }
  // -1 when no item is chosen.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int Value);
  // The first item shown at the top; the list scrolls no further than where its last
  // item stands at the bottom.
  int TopIndex() const { return top_index_; }
  void SetTopIndex(int Value);
  // The item's area in client coordinates (empty for an item out of range).
  TRect ItemRect(int Index) const;
  // The item at a client point, -1 when none.
  int ItemAtPos(TPoint Point) const;
  int ItemHeights(int Index) const { return heights_.at(std::size_t(Index)); }
  // The vertical bar runs over the items (a page of those that fit), the horizontal one
  // over the horizontal extent; each shows only when needed.
  TControlScrollBars& ScrollBars() const { return *scroll_bars_; }

  // The item's text through HtmlStrip; EHtmlListBoxError for an index out of range.
  std::string PlainItems(int Index) const;
  // The link at (X, Y): its target and the item's index (empty and -1 when none).
  void GetAnchorAt(int X, int Y, std::string& Anchor, int& Index);
  // The station program's colour styles: 0-3 pale yellow, 4, 5 and 9 a silver-framed
  // two-tone gold, 6 and 7 the highlight colours; other styles change nothing.
  void ApplyColorPreset(int Style);

  bool AnchorHint = false;
  bool AutoItemHeight() const { return auto_item_height_; }
  void SetAutoItemHeight(bool Value);
  bool Ellipsis() const { return ellipsis_; }
  void SetEllipsis(bool Value);
  bool EnableBlink() const { return enable_blink_; }
  void SetEnableBlink(bool Value);
  bool HTMLHint = false;
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* Value);
  bool IncrLookup = false;
  bool ItemHint = false;
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int Value);
  int LineSpacing() const { return line_spacing_; }
  void SetLineSpacing(int Value);
  bool Multiline() const { return multiline_; }
  void SetMultiline(bool Value);
  TPictureContainer* PictureContainer() const { return picture_container_; }
  void SetPictureContainer(TPictureContainer* Value);
  // Items laid out 4096 pixels wide, scrolled sideways over the widest item.
  bool ScrollHorizontal() const { return scroll_horizontal_; }
  void SetScrollHorizontal(bool Value);
  int HorizontalExtent() const { return horizontal_extent_; }
  int HorizontalPosition() const { return horizontal_position_; }
  void SetHorizontalPosition(int Value);
  TGradientStyle& SelectionColors() { return selection_colors_; }
  void SetSelectionColors(const TGradientStyle& Value) { selection_colors_.Assign(Value); }
  TColor SelectionFontColor() const { return selection_font_color_; }
  void SetSelectionFontColor(TColor Value);
  TColor ShadowColor() const { return shadow_color_; }
  void SetShadowColor(TColor Value);
  int ShadowOffset() const { return shadow_offset_; }
  void SetShadowOffset(int Value);
  bool ShowFocus() const { return show_focus_; }
  void SetShowFocus(bool Value);
  bool ShowSelection() const { return show_selection_; }
  void SetShowSelection(bool Value);
  // Setting true sorts the items once; items added later are not placed in order.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  bool SortWithHTML = false;
  TColor URLColor() const { return url_color_; }
  void SetURLColor(TColor Value);
  std::string Version() const;

  TAnchorClick OnAnchorClick;
  TAnchorClick OnAnchorEnter;
  TAnchorClick OnAnchorExit;
  TAnchorHintEvent OnAnchorHint;

  // One tick of the blink timer (every 100 ms while EnableBlink is on).
  void BlinkTick();
  // Measures every item again.
  void UpdateItemHeights();

  std::string ClassName() const override { return "THtmlListBox"; }

 protected:
  void Paint() override;
  // Paints one item on Canvas.
  virtual void DrawItem(int Index, TRect Rect, bool Selected, bool Focused);
  void Click() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  bool HintShow(THintInfo& Info) override;
  void MouseLeave() override;
  // Navigation keys move the choice; typed characters search the items' plain text.
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DoEnter() override;
  void Resize() override;

 private:
  THtmlDrawParams DrawParams() const;
  // The height and width the item's markup needs in a rectangle Right pixels wide.
  THtmlDrawResult MeasureItem(int Index, int Right);
  int MeasureRight(int Margin) const;
  int WidestItem();
  void UpdateHorizontalExtent(int Width);
  void ItemsChanged();
  void FollowChosenItem();
  void Sort();
  int VisibleItems() const;
  // The width and height items have, the scroll bars showing taken off.
  int ItemsWidth() const;
  int ItemsHeight() const;
  // The first item of the last page when Height pixels show items.
  int MaxTopIndex(int Height) const;
  void UpdateScrollBars();
  void Scroll(TScrollBarKind Kind, TScrollCode Code, int Pos);
  bool Wheel(int Notches);
  void MakeVisible(int Index);
  // Chooses Index as the keyboard does: shows it and reports the click.
  void Choose(int Index);

  std::unique_ptr<TStringList> items_;
  std::vector<int> heights_;
  std::vector<std::string> measured_;  // the items as last measured
  int item_index_ = -1;
  int top_index_ = 0;
  bool auto_item_height_ = true;
  bool ellipsis_ = false;
  bool enable_blink_ = false;
  TImageList* images_ = nullptr;
  int item_height_ = 16;
  int line_spacing_ = 0;
  bool multiline_ = false;
  TPictureContainer* picture_container_ = nullptr;
  bool scroll_horizontal_ = false;
  int horizontal_extent_ = 0;
  int horizontal_position_ = 0;
  TGradientStyle selection_colors_;
  TColor selection_font_color_ = clHighlightText;
  TColor shadow_color_ = clGray;
  int shadow_offset_ = 1;
  bool show_focus_ = true;
  bool show_selection_ = true;
  bool sorted_ = false;
  TColor url_color_ = clBlue;

  THTMLPictureCache picture_cache_;
  std::unique_ptr<TTimer> blink_timer_;
  bool blink_phase_ = true;
  int ticks_ = 0;
  std::string last_anchor_;
  int hint_item_ = -1;
  int widest_ = 0;
  bool updating_extent_ = false;
  bool updating_heights_ = false;
  std::string search_;
  TPoint mouse_ = Point(-1, -1);
  bool link_pressed_ = false;
  std::unique_ptr<TControlScrollBars> scroll_bars_;
};
