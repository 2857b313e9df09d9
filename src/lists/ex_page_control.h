// A tabbed container: an ordered list of sheets (TExTabSheet), one of them shown (the
// active page), and a tab for every sheet whose tab is visible, drawn by the control in
// one of three styles (classic, "dotNet", "Kestrel"), at any edge, with optional close
// buttons, hover colours and bitmaps.
//
// The tabs are laid out here: every tab is as wide as its sizing text plus the image room
// plus fixed margins (TabWidthFor), so no caption is clipped, or TabWidth wide. Tabs that
// do not fit the row are scrolled by two arrow buttons in the row's far corner (tabs at
// the top or bottom), or with MultiLine wrap into rows, the row of the active tab next to
// the page; without RaggedRight each row is stretched to the control's width; with
// ScrollOpposite the rows before the active one go round to the opposite edge. Page indices
// count every sheet, tab indices only the sheets with a tab.
//
// ActivePage := null clears the selection only: the sheet shown before stays visible.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "html/gradient_style.h"
#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"

class TExPageControl;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
// The edge across the page.
constexpr TTabPosition OppositeEdge(TTabPosition Position) {
  switch (Position) {
    case tpTop:
      return tpBottom;
    case tpBottom:
      return tpTop;
    case tpLeft:
      return tpRight;
    case tpRight:
      return tpLeft;
  }
  return Position;
}
enum TTabStyle { tsClassic, tsDotNet, tsKestrel };
enum TClosePosition { cpLeft, cpRight };

using TCanCloseEvent = std::function<void(TComponent* Sender, bool& CanClose)>;
using TCanChangeEvent =
    std::function<void(TComponent* Sender, int FromPage, int ToPage, bool& AllowChange)>;
using TDrawTabEvent =
    std::function<void(TComponent* Control, int TabIndex, const TRect& Rect, bool Active)>;
using TTabChangingEvent = std::function<void(TComponent* Sender, bool& AllowChange)>;
using TTabGetImageEvent = std::function<void(TComponent* Sender, int TabIndex, int& ImageIndex)>;

// The inner margins of a tab. A change is reported (new value, old value, index 0 left,
// 1 top, 2 right) before it is stored.
class TTabMargin {
 public:
  int LeftMargin() const { return margins_[0]; }
  void SetLeftMargin(int Value) { Set(0, Value); }
  int TopMargin() const { return margins_[1]; }
  void SetTopMargin(int Value) { Set(1, Value); }
  int RightMargin() const { return margins_[2]; }
  void SetRightMargin(int Value) { Set(2, Value); }
  // Copies the three values without notification.
  void Assign(const TTabMargin& Source) { margins_ = Source.margins_; }

  std::function<void(int NewValue, int OldValue, int Index)> OnMarginChange;
  // After a change is stored.
  std::function<void()> OnChanged;

 private:
  void Set(int Index, int Value);
  std::array<int, 3> margins_{};
};

class TExTabSheet : public TCustomControl {
 public:
  explicit TExTabSheet(TComponent* AOwner);
  ~TExTabSheet() override;

  TExPageControl* PageControl() const { return page_control_; }
  // Leaves the old control, sits on the new one and takes its default colours where the
  // sheet has none of its own.
  void SetPageControl(TExPageControl* Value);
  // Position in the control's pages, -1 without a control. An index past the last page
  // raises EStringListError.
  int PageIndex() const;
  void SetPageIndex(int Value);
  // Position among the shown tabs, -1 without a tab.
  int TabIndex() const;

  bool TabVisible() const { return tab_visible_; }
  void SetTabVisible(bool Value);
  // True exactly while the sheet has a control and a visible tab.
  bool TabShowing() const { return tab_showing_; }
  // Raises "Can not disable active tab." for the active page.
  bool TabEnable() const { return tab_enable_; }
  void SetTabEnable(bool Value);
  bool ShowClose() const { return show_close_; }
  void SetShowClose(bool Value);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int Value);
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool Value);
  TColor TextColor() const { return text_color_; }
  void SetTextColor(TColor Value);
  TColor TabColor() const { return tab_color_; }
  void SetTabColor(TColor Value);
  TColor TabColorTo() const { return tab_color_to_; }
  void SetTabColorTo(TColor Value);
  TGradientDirection TabGradientDirection() const { return tab_gradient_direction_; }
  void SetTabGradientDirection(TGradientDirection Value);
  TGradientDirection HoverGradientDirection = gdVertical;
  // With Color, the sheet's top-to-bottom background gradient; clNone: plain Color.
  TColor ColorTo() const { return color_to_; }
  void SetColorTo(TColor Value);

  // The text the tab is sized by: the caption less its last two characters, or with
  // ShowClose the caption and a blank.
  std::string TabSizingText() const;

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnClose;
  TCanCloseEvent OnCanClose;

  std::string ClassName() const override { return "TExTabSheet"; }

 protected:
  void Paint() override;
  void CaptionChanged() override;
  void EnabledChanged() override;
  void VisibleChanged() override;
  void ColorChanged() override;

 private:
  friend class TExPageControl;
  void UpdateTabShowing();

  TExPageControl* page_control_ = nullptr;
  TColor text_color_ = 0;
  TColor tab_color_ = clNone;
  TColor tab_color_to_ = clNone;
  bool show_close_ = false;
  TGradientDirection tab_gradient_direction_ = gdVertical;
  int image_index_ = 0;
  bool tab_visible_ = true;
  bool tab_showing_ = false;
  bool highlighted_ = false;
  bool tab_enable_ = true;
  TColor color_to_ = clNone;
  bool shown_ = false;
};

class TExPageControl : public TCustomControl {
 public:
  explicit TExPageControl(TComponent* AOwner);
  ~TExPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Index 0-based; out of range gives null.
  TExTabSheet* Pages(int Index) const;
  TExTabSheet* ActivePage() const { return active_page_; }
  // A sheet of another control is ignored; null clears the selection and leaves the
  // sheet shown as it is. Does not fire OnChange.
  void SetActivePage(TExTabSheet* Page);
  int ActivePageIndex() const { return active_page_ ? active_page_->PageIndex() : -1; }
  // The next (or previous) sheet after Current, wrapping; with OnlyVisibleTabs only
  // sheets with a visible tab. Null with no pages or when none qualifies.
  TExTabSheet* FindNextPage(TExTabSheet* Current, bool Forward, bool OnlyVisibleTabs) const;
  // Ctrl+Tab: the next sheet with a tab becomes active, if OnCanChange allows.
  void SelectNextPage(bool Forward);

  // The tab of a page; an empty rectangle when it has none.
  TRect TabRect(int PageIndex) const;
  // The page whose tab holds the point, -1 for none.
  int PageAtPos(int X, int Y) const;
  // The area the sheets fill.
  TRect DisplayRect() const;
  // The width (along the row) of a tab with this sizing text: the text, the image room
  // (both margins and Images' width), six pixels each side and room for the two
  // characters a sizing text leaves out (two "W" in the wider of Font and ActiveFont).
  int TabWidthFor(const std::string& SizingText) const;

  TTabPosition TabPosition() const { return tab_position_; }
  void SetTabPosition(TTabPosition Value);
  // 0: the font's line height plus 6.
  int TabHeight() const { return tab_height_; }
  void SetTabHeight(int Value);
  const TTabMargin& TabMargin() const { return tab_margin_; }
  TTabMargin& TabMargin() { return tab_margin_; }
  // Copies the margins (null is ignored) and lays the tabs out again; so does a change
  // made through the margins held here.
  void SetTabMargin(const TTabMargin* Value);
  // 0: every tab as wide as its text needs; else every tab this long along the row.
  int TabWidth() const { return tab_width_; }
  void SetTabWidth(int Value);
  bool MultiLine() const { return multi_line_; }
  void SetMultiLine(bool Value);
  // Rows of several tabs keep their natural widths instead of filling the row.
  bool RaggedRight() const { return ragged_right_; }
  void SetRaggedRight(bool Value);
  // With MultiLine, the rows before the active tab's row go round to the opposite edge
  // of the control instead of behind the rows after it.
  bool ScrollOpposite() const { return scroll_opposite_; }
  void SetScrollOpposite(bool Value);
  // Whether the page's tab lies in a row at the opposite edge.
  bool TabAtOppositeEdge(int PageIndex) const;
  // The text of the tab under the mouse shows in the hot colour.
  bool HotTrack() const { return hot_track_; }
  void SetHotTrack(bool Value);
  // The number of tab rows (1 without MultiLine; 0 without tabs).
  int RowCount() const { return row_count_; }
  // Single-line tabs that do not fit: the first tab shown, and the arrow buttons'
  // places (empty while all tabs fit).
  int FirstShownTab() const { return first_shown_tab_; }
  TRect ScrollArrowRect(bool Forward) const;
  // The image a tab shows: OnGetImageIndex's answer, else its sheet's ImageIndex.
  int TabImageIndex(int PageIndex) const;
  int TabOverlap() const { return tab_overlap_; }
  void SetTabOverlap(int Value);
  TTabStyle TabStyle() const { return tab_style_; }
  void SetTabStyle(TTabStyle Value);
  // Raises "TabSplitLine must be false when TabStyle is tsDotNet/tsKestrel".
  bool TabSplitLine() const { return tab_split_line_; }
  void SetTabSplitLine(bool Value);
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* Value);
  TFont& ActiveFont() { return active_font_; }
  void SetActiveFont(const TFont& Value);

  TColor DefaultTextColor() const { return default_text_color_; }
  void SetDefaultTextColor(TColor Value);
  TColor DefaultTabColor() const { return default_tab_color_; }
  void SetDefaultTabColor(TColor Value);
  TColor DefaultTabColorTo() const { return default_tab_color_to_; }
  void SetDefaultTabColorTo(TColor Value);
  TColor ActiveColor() const { return active_color_; }
  void SetActiveColor(TColor Value) { StoreAndRepaint(active_color_, Value); }
  TColor ActiveColorTo() const { return active_color_to_; }
  void SetActiveColorTo(TColor Value) { StoreAndRepaint(active_color_to_, Value); }
  TColor TabBorderColor() const { return tab_border_color_; }
  void SetTabBorderColor(TColor Value) { StoreAndRepaint(tab_border_color_, Value); }
  TColor TabSheetBorderColor() const { return tab_sheet_border_color_; }
  void SetTabSheetBorderColor(TColor Value) { StoreAndRepaint(tab_sheet_border_color_, Value); }
  TColor TabBackGroundColor() const { return tab_background_color_; }
  void SetTabBackGroundColor(TColor Value) { StoreAndRepaint(tab_background_color_, Value); }
  bool TabSheet3D() const { return tab_sheet_3d_; }
  void SetTabSheet3D(bool Value) { StoreAndRepaint(tab_sheet_3d_, Value); }
  bool RoundEdges() const { return round_edges_; }
  void SetRoundEdges(bool Value) { StoreAndRepaint(round_edges_, Value); }
  int LowerActive() const { return lower_active_; }
  void SetLowerActive(int Value) { StoreAndRepaint(lower_active_, Value); }
  TClosePosition ClosePosition() const { return close_position_; }
  void SetClosePosition(TClosePosition Value) { StoreAndRepaint(close_position_, Value); }
  const TBitmap& CloseGlyph() const { return close_glyph_; }
  void SetCloseGlyph(const TBitmap& Value);
  const TBitmap& TabBackGround() const { return tab_background_; }
  void SetTabBackGround(const TBitmap& Value);
  const TBitmap& TabBackGroundActive() const { return tab_background_active_; }
  void SetTabBackGroundActive(const TBitmap& Value);
  // Read-only; four dot-separated numbers.
  std::string Version() const;

  // Plain stores: read at the next paint or mouse move.
  TColor TabHoverColor = clNone;
  TColor TabHoverColorTo = clNone;
  TColor TabHoverBorder = clNone;
  bool ShowFocus = false;
  // Closing a sheet frees it; otherwise it is kept, detached, in ClosedSheets.
  bool FreeOnClose = false;

  // Sheets closed by their close button while FreeOnClose was false, by name.
  const std::vector<std::pair<std::string, TExTabSheet*>>& ClosedSheets() const {
    return closed_sheets_;
  }
  // The page under the mouse while hover colours are set or HotTrack is on, -1 for none.
  int HoverTab() const { return hover_tab_; }

  TNotifyEvent OnChange;
  TCanChangeEvent OnCanChange;
  // After OnCanChange allowed a change by the user: may still refuse it.
  TTabChangingEvent OnChanging;
  TDrawTabEvent OnDrawTab;
  // Answers the image of a tab (by tab index) instead of its sheet's ImageIndex.
  TTabGetImageEvent OnGetImageIndex;

  std::string ClassName() const override { return "TExPageControl"; }

 protected:
  void Paint() override;
  void AlignControls(TRect& Area) override;
  void BoundsChanged(const TRect& OldBounds) override;
  void FontChanged() override;
  // The close button closes on release. Docking other windows into sheets (a window
  // dropped on the control gets a sheet of its own, a docked window's tab dragged or
  // double-clicked out floats it again, and the close button then closes at once) is
  // the class library's window docking, which the desktop here has no counterpart for;
  // no window of this program docks, so the control is never a dock site.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;
  void KeyDown(TKeyCode& Key, TShiftState Shift) override;
  void DialogKey(TKeyCode& Key, TShiftState Shift) override;

 private:
  friend class TExTabSheet;
  friend class TTabPainter;

  // The native strip's part: one entry per sheet with a tab, in page order.
  struct TTabEntry {
    std::string text;
    TExTabSheet* sheet;
  };

  template <class T>
  void StoreAndRepaint(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

  void InsertPage(TExTabSheet& Page);
  void RemovePage(TExTabSheet& Page);
  void TabShowingChanged(TExTabSheet& Page, bool Showing);
  void RefreshTab(TExTabSheet& Page);
  void UpdateActivePage();
  void ChangeActivePage(TExTabSheet* Page);
  // A tab chosen by the user (click, key, accelerator): asks OnCanChange, then changes.
  bool SelectByUser(int PageIndex);
  void Change();
  // A change of the active page with MultiLine paints nothing until it is done.
  void SuspendRedraw();
  void ResumeRedraw();
  // Single-line tabs that overflow scroll so far that the active one is in sight, unless
  // the user scrolled them by the arrows.
  void LayOut(bool KeepActiveInSight = true);
  // The rows of the tabs (tab indices, in order) and their lengths along the row.
  std::vector<std::vector<int>> BreakIntoRows(const std::vector<int>& Lengths, int Room) const;
  // Slot 0 is the row at the control's edge on the tabs' side, or with Opposite on the
  // other side.
  TRect PlaceTab(int Along, int Length, int Slot, int Thickness, bool Opposite = false) const;
  int RowRoom() const;
  void ScrollTabs(int Delta);
  int RowThickness() const;
  TRect CloseHitArea(const TRect& Tab) const;
  void CloseActivePage();

  std::vector<TExTabSheet*> pages_;
  TExTabSheet* active_page_ = nullptr;
  std::vector<TTabEntry> tabs_;
  int selected_tab_ = -1;
  std::vector<TRect> tab_rects_;
  TTabMargin tab_margin_;
  std::vector<std::pair<std::string, TExTabSheet*>> closed_sheets_;
  TImageList* images_ = nullptr;
  TColor default_text_color_ = 0;
  TColor default_tab_color_ = clBtnFace;
  TColor default_tab_color_to_ = clNone;
  TColor active_color_ = clBtnFace;
  TColor active_color_to_ = clNone;
  TColor tab_border_color_ = 0x808080;
  TColor tab_sheet_border_color_ = 0x808080;
  TColor tab_background_color_ = clBtnFace;
  bool tab_sheet_3d_ = false;
  bool tab_split_line_ = false;
  bool round_edges_ = false;
  bool close_hot_ = false;
  bool close_down_ = false;
  int tab_overlap_ = 0;
  int hover_tab_ = -1;
  TBitmap tab_background_;
  TBitmap tab_background_active_;
  TTabStyle tab_style_ = tsClassic;
  int lower_active_ = 2;
  TFont active_font_;
  TBitmap close_glyph_;
  TClosePosition close_position_ = cpLeft;
  TTabPosition tab_position_ = tpTop;
  int tab_height_ = 0;
  int tab_width_ = 0;
  bool multi_line_ = false;
  bool ragged_right_ = false;
  bool scroll_opposite_ = false;
  int opposite_rows_ = 0;
  std::vector<bool> tab_opposite_;  // by tab index
  bool hot_track_ = false;
  int row_count_ = 0;
  int first_shown_tab_ = 0;
  bool scrolling_ = false;  // single-line tabs overflow: the arrows show
  int update_count_ = 0;    // above 0 while redrawing is suspended
};
