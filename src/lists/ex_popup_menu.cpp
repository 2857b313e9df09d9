#include "lists/ex_popup_menu.h"

#include <cctype>
#include <cmath>

#include "html/component_version.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/rotated_text.h"

namespace {

constexpr std::uint32_t kVersion = 0x01020300;
// The room measured right of every item, and the indent of its text past the strip.
constexpr int kRightRoom = 17;
constexpr int kTextIndent = 8;
constexpr const char* kNoteBreak = "\\n";

bool IsSeparator(const TMenuItem& Item) {
  return Item.Caption == "-";
}

// The caption's first line when notes are shown and it has any, else all of it.
std::string FirstLine(const std::string& Caption, bool ShowNotes) {
  if (!ShowNotes) return Caption;
  return Caption.substr(0, Caption.find(kNoteBreak));
}

// Key names read "Enter", "Num lock (Number pad)": first letter as given, the rest small,
// the letter after the first "(" capital.
std::string Recased(std::string Name) {
  for (std::size_t n = 1; n < Name.size(); ++n)
    Name[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(Name[n])));
  const std::size_t bracket = Name.find('(');
  if (bracket != std::string::npos && bracket + 1 < Name.size())
    Name[bracket + 1] =
        static_cast<char>(std::toupper(static_cast<unsigned char>(Name[bracket + 1])));
  return Name;
}

void UseFont(TCanvas& Canvas, const TFont& Font, bool Bold = false) {
  Canvas.Font().Assign(Font);
  if (Bold) Canvas.Font().SetStyle(Canvas.Font().Style() | fsBold);
}

}  // namespace

TExPopupMenu::TExPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {
  OwnerDraw = true;
  MakePrivateStyler();
  // Menus open at once: the setting is this program's, the desktop's stays as it is.
  SetMenuAnimation(false);
}

TExPopupMenu::~TExPopupMenu() {
  if (menu_styler_ && menu_styler_->Menu() == this) menu_styler_->SetMenu(nullptr);
  menu_styler_ = nullptr;
}

void TExPopupMenu::MakePrivateStyler() {
  private_styler_ = std::make_unique<TCustomExMenuStyler>(nullptr);
  private_styler_->Name = "InternalMenuStyler";
  current_ = private_styler_.get();
}

std::string TExPopupMenu::Version() const {
  return ComponentVersion(kVersion);
}

void TExPopupMenu::SetMenuStyler(TCustomExMenuStyler* Value) {
  if (Value == menu_styler_) return;
  if (menu_styler_ && menu_styler_->Menu() == this) menu_styler_->SetMenu(nullptr);
  menu_styler_ = Value;
  if (Value) {
    private_styler_.reset();
    current_ = Value;
  } else {
    MakePrivateStyler();
  }
  current_->SetMenu(this);
}

void TExPopupMenu::BeginUpdate() {
  ++update_count_;
}

void TExPopupMenu::EndUpdate() {
  if (update_count_ == 0 || --update_count_ > 0) return;
  UpdateItems();
}

void TExPopupMenu::UpdateItems() {
  if (update_count_ > 0) return;
  InstallHandlers(Items());
  RefreshItems();
}

void TExPopupMenu::InstallHandlers(TMenuItem& Parent) {
  for (int n = 0; n < Parent.Count(); ++n) {
    TMenuItem& item = *Parent.Items(n);
    if (!item.OnMeasureItem) {
      item.OnMeasureItem = [this](TComponent* Sender, TCanvas& Canvas, int& Width, int& Height) {
        MeasureItem(*static_cast<TMenuItem*>(Sender), Canvas, Width, Height);
      };
    }
    if (!item.OnAdvancedDrawItem) {
      item.OnAdvancedDrawItem = [this](TComponent* Sender, TCanvas& Canvas, const TRect& R,
                                       TOwnerDrawState State) {
        DrawItem(*static_cast<TMenuItem*>(Sender), Canvas, R, State);
      };
    }
    InstallHandlers(item);
  }
}

void TExPopupMenu::Popup(int X, int Y) {
  InstallHandlers(Items());
  const TMenuItem* first = nullptr;
  for (int n = 0; n < Items().Count() && !first; ++n)
    if (Items().Items(n)->Visible) first = Items().Items(n);
  if (!first) return;
  TCanvas canvas;
  canvas.Font().Assign(Screen->MenuFont());
  int width = canvas.TextWidth(first->Caption);
  int height = canvas.TextHeight(first->Caption) + 4;
  MeasureItem(const_cast<TMenuItem&>(*first), canvas, width, height);
  const int w = width + kRightRoom;
  const int screenWidth = Screen->Width();
  if ((Alignment == paRight && X - kRightRoom - w >= 0) ||
      (Alignment == paLeft && X + w + 2 * kRightRoom >= screenWidth)) {
    X += kRightRoom;
  } else if (Alignment == paCenter) {
    X += 8;
  }
  X = std::min(X, screenWidth - 1);
  TPopupMenu::Popup(X, Y);
}

bool TExPopupMenu::SideBarApplies(const TMenuItem& Item) const {
  const TSideBar& bar = current_->SideBar();
  if (!bar.Visible) return false;
  switch (bar.VisibleIn) {
    case viFirstVisible:
      return false;  // only the first items of a menu bar, which a pop-up has none of
    case viFirstLevel:
      return Item.Parent() == &Items() && InFirstColumn(Item);
    case viAnyLevel:
      return InFirstColumn(Item);
  }
  return false;
}

// The side bar runs down the first column only: an item is in a later one when it, or a
// visible item before it in its list, breaks to a new column. A break on the first item
// has nothing to break from and starts no column.
bool TExPopupMenu::InFirstColumn(const TMenuItem& Item) {
  const TMenuItem* parent = Item.Parent();
  bool first = true;
  for (int n = 0; parent && n < parent->Count(); ++n) {
    const TMenuItem* sibling = parent->Items(n);
    if (!sibling->Visible && sibling != &Item) continue;
    if (!first && sibling->Break != mbNone) return false;
    first = false;
    if (sibling == &Item) break;
  }
  return true;
}

std::string TExPopupMenu::ShortCutText(TShortCut ShortCut) const {
  if (!intl_keyb_short_cuts_) {
    const std::string text = ShortCutToText(ShortCut);
    return (ShortCut & scWin) ? "Win+" + text : text;
  }
  std::string text = Recased(KeyNameText(static_cast<TKeyCode>(ShortCut & 0xFF)));
  if (ShortCut & scShift) text = Recased(KeyNameText(VK_SHIFT)) + "+" + text;
  if (ShortCut & scCtrl) text = Recased(KeyNameText(VK_CONTROL)) + "+" + text;
  if (ShortCut & scAlt) text = Recased(KeyNameText(VK_MENU)) + "+" + text;
  return text;
}

void TExPopupMenu::MeasureItem(TMenuItem& Item, TCanvas& Canvas, int& Width, int& Height) {
  TCustomExMenuStyler& styler = *current_;
  if (IsSeparator(Item)) {
    Height = styler.Separator().Width + 2;
    Width = -2;
    return;
  }
  Width = styler.IconBar().Size();
  if (Images) {
    Height = std::max(Height, Images->Height());
  } else if (!Item.Bitmap.Empty()) {
    Height = std::max(Height, 16);
  } else {
    Height -= 3;
  }
  Width += 15;
  Height += 5;
  const bool notes = show_notes_ && Item.Caption.find(kNoteBreak) != std::string::npos;
  std::string text = FirstLine(Item.Caption, show_notes_);
  if (Item.ShortCut) text += ShortCutText(Item.ShortCut);
  if (styler.UseSystemFont()) {
    if (!styler.SelectedItem().UseSystemFont()) UseFont(Canvas, styler.SelectedItem().Font());
  } else {
    UseFont(Canvas, styler.Font());
  }
  Width += Canvas.TextWidth(text) + 7;
  if (!styler.UseSystemFont()) Height = Canvas.TextHeight(text) + 6;
  if (Item.ShortCut & scWin) Width += Canvas.TextWidth("Win+");
  if (SideBarApplies(Item)) Width += styler.SideBar().Size + styler.SideBar().SplitterWidth;
  Height += Height % 2;
  Width += kRightRoom;
  if (!notes) return;
  UseFont(Canvas, styler.NotesFont());
  const int lineHeight = Canvas.TextHeight("gh");
  std::string rest = Item.Caption;
  for (std::size_t pair = rest.find(kNoteBreak); pair != std::string::npos;
       pair = rest.find(kNoteBreak)) {
    Width = std::max(Width, Canvas.TextWidth(rest.substr(0, pair)));
    Height += lineHeight;
    rest.erase(0, pair + 2);
  }
  if (!rest.empty())
    Width = std::max(Width, Canvas.TextWidth(rest) + kRightRoom + styler.IconBar().Size() + 15);
}

void TExPopupMenu::DrawItem(TMenuItem& Item, TCanvas& Canvas, TRect R, TOwnerDrawState State) {
  TCustomExMenuStyler& styler = *current_;
  const bool selected = (State & odSelected) != 0;
  bool firstVisible = true;
  const TRect m = MenuRect(Item, R, firstVisible);
  if (SideBarApplies(Item)) {
    TSideBar& bar = styler.SideBar();
    const int band = bar.Size + bar.SplitterWidth;
    R.Left += band;
    if (firstVisible) DrawSideBar(Canvas, {m.Left, m.Top, m.Left + band, m.Bottom});
  }
  DrawItemBackground(Canvas, R, m);
  if (IsSeparator(Item)) {
    DrawSeparatorLine(Canvas, R);
    DrawFrame(Canvas);
    return;
  }
  if (selected) {
    TSelectedItem& highlight = styler.SelectedItem();
    MirroredGradient(Canvas, R, true, highlight.BorderColor, highlight.GradientDirection,
                     highlight.ColorMirrorTo, highlight.ColorMirror, highlight.ColorTo,
                     highlight.Color);
  }
  // A checked item with a picture shows it on the check box; without one, the glyph.
  const bool picture = HasImage(Item) || !Item.Bitmap.Empty();
  if (Item.Checked) DrawCheckCell(Item, Canvas, R, selected, !picture);
  if (picture) DrawPicture(Item, Canvas, R);

  // A mirrored menu's sub-menus open to the left: the right-pointing arrow would lie.
  if (Item.Count() > 0 && !(BiDiMode == bdRightToLeft && MiddleEastLocale())) {
    const TBitmap& arrow = styler.Glyphs().SubMenu();
    const int top = (R.Top + R.Bottom - 5) / 2;
    Canvas.Draw(Alignment == paRight ? R.Left + 5 : R.Right - 8, top, arrow);
  }

  const int itemRight = R.Right;
  R.Left += styler.IconBar().Size() + kTextIndent;
  unsigned format = tfSingleLine;
  if (Alignment == paRight) format |= tfRight;
  if (Alignment == paCenter) format |= tfCenter;
  DrawCaption(Item, Canvas, R, State, format);
  if (Item.ShortCut) DrawShortCut(Item, Canvas, R, itemRight);
  DrawFrame(Canvas);
}

// The menu rectangle: every item of this item's list, as shown. FirstVisible tells
// whether Item is the first of them that is visible.
TRect TExPopupMenu::MenuRect(const TMenuItem& Item, const TRect& R, bool& FirstVisible) const {
  TRect m = R;
  const TMenuItem* parent = Item.Parent();
  bool seenVisible = false;
  FirstVisible = true;
  for (int n = 0; parent && n < parent->Count(); ++n) {
    const TMenuItem* sibling = parent->Items(n);
    if (!sibling->Visible) continue;
    if (!seenVisible) FirstVisible = sibling == &Item;
    seenVisible = true;
    const TRect shown = sibling->PopupRect();
    if (shown.Width() <= 0) continue;
    m = {std::min(m.Left, shown.Left), std::min(m.Top, shown.Top), std::max(m.Right, shown.Right),
         std::max(m.Bottom, shown.Bottom)};
  }
  return m;
}

// The icon strip and the text area behind the item at R, each a slice of what spans the
// whole menu M.
void TExPopupMenu::DrawItemBackground(TCanvas& Canvas, const TRect& R, const TRect& M) {
  TCustomExMenuStyler& styler = *current_;
  // The icon strip: one gradient over the whole pop-up, this item's slice of it.
  TIconBar& iconBar = styler.IconBar();
  const TRect strip{R.Left, M.Top, R.Left + iconBar.Size(), M.Bottom};
  SlicedGradient(Canvas, strip, iconBar.GradientDirection, iconBar.ColorTo, iconBar.Color, R);
  if (iconBar.SeparatorColor != clNone) {
    Canvas.Pen().SetColor(iconBar.SeparatorColor);
    Canvas.MoveTo(strip.Right - 1, std::max(strip.Top, R.Top));
    Canvas.LineTo(strip.Right - 1, std::min(strip.Bottom, R.Bottom));
  }

  // The text area.
  TBackground& background = styler.Background();
  TRect area{strip.Right, R.Top, R.Right, R.Bottom};
  if (background.MarginX >= 1 || background.MarginY >= 1) {
    Canvas.Brush().SetColor(background.Color);
    Canvas.FillRect(area);
    area = {area.Left + background.MarginX, area.Top + background.MarginY,
            area.Right - background.MarginX, area.Bottom - background.MarginY};
  }
  SlicedGradient(Canvas, {strip.Right, M.Top, R.Right, M.Bottom}, background.GradientDirection,
                 background.ColorTo, background.Color, area);
  if (!background.HasImage()) return;
  TBitmap& cache = styler.BackgroundCache();
  if (cache.Width() != M.Width() || cache.Height() != M.Height()) {
    cache.SetSize(M.Width(), M.Height());
    background.Draw(cache.Canvas(), Rect(0, 0, M.Width(), M.Height()), false);
  }
  Canvas.CopyRect(area, cache.Canvas(),
                  {area.Left - M.Left, area.Top - M.Top, area.Right - M.Left, area.Bottom - M.Top});
}

void TExPopupMenu::DrawSeparatorLine(TCanvas& Canvas, const TRect& R) {
  TCustomExMenuStyler& styler = *current_;
  TSeparator& separator = styler.Separator();
  const int centre = (R.Top + R.Bottom) / 2;
  FadedLine(Canvas,
            {R.Left + styler.IconBar().Size(), centre - separator.Width / 2, R.Right,
             centre + (separator.Width + 1) / 2},
            separator.Margin, separator.GradientWidth, separator.GradientType, gdHorizontal,
            separator.ColorTo, separator.Color);
}

// The shortcut's text at the right of the item, up to ItemRight less a margin, centred
// on the row.
void TExPopupMenu::DrawShortCut(const TMenuItem& Item, TCanvas& Canvas, const TRect& R,
                                int ItemRight) {
  TRect keys = R;
  keys.Right = ItemRight - 10;
  const int rowHeight = R.Height();
  TRect measured = keys;
  const std::string text = ShortCutText(Item.ShortCut);
  const int textHeight = Canvas.TextRect(measured, text, tfSingleLine | tfCalcRect);
  keys.Top += (rowHeight - textHeight) / 2;
  Canvas.Brush().SetStyle(bsClear);
  Canvas.TextRect(keys, text, tfSingleLine | tfRight);
}

bool TExPopupMenu::HasImage(const TMenuItem& Item) const {
  return Images && Item.ImageIndex >= 0 && Item.ImageIndex < Images->Count();
}

// A picture takes the check mark's place: an image of the image list (a disabled item's
// from DisabledImages when there are such, else greyed), else the item's bitmap,
// transparent, in a 16 x 16 cell; both centred in a square cell of the strip.
void TExPopupMenu::DrawPicture(TMenuItem& Item, TCanvas& Canvas, const TRect& R) {
  const bool image = HasImage(Item);
  TRect cell{R.Left, R.Top + 1, R.Left + current_->IconBar().Size(), R.Bottom - 1};
  const int side = std::min(cell.Width(), cell.Height());
  CenterRect(cell, side, side);
  if (image) {
    // A disabled item's own picture from DisabledImages is drawn as it is; without one
    // the image list greys the enabled picture.
    const bool ownDisabled =
        !Item.Enabled && DisabledImages && Item.ImageIndex < DisabledImages->Count();
    const TImageList& list = ownDisabled ? *DisabledImages : *Images;
    TRect at = cell;
    CenterRect(at, list.Width(), list.Height());
    list.Draw(Canvas, at.Left, at.Top, Item.ImageIndex, Item.Enabled || ownDisabled);
  } else {
    TRect at = cell;
    CenterRect(at, 16, 16);
    TBitmap shown;
    shown.Assign(Item.Bitmap);
    shown.SetTransparent(true);
    Canvas.Draw(at.Left, at.Top, shown);
  }
}

// The box of a checked item, in the check colours; with the glyph, a radio item's in the
// radio colours, framed when selected.
void TExPopupMenu::DrawCheckCell(TMenuItem& Item, TCanvas& Canvas, const TRect& R, bool Selected,
                                 bool WithGlyph) {
  TCustomExMenuStyler& styler = *current_;
  TRect cell{R.Left, R.Top + 1, R.Left + styler.IconBar().Size(), R.Bottom - 1};
  const int side = std::min(cell.Width(), cell.Height());
  CenterRect(cell, side, side);
  const TCheckColors& box =
      WithGlyph && Item.RadioItem
          ? (Selected ? styler.SelectedItem().Radio() : styler.IconBar().Radio())
          : (Selected ? styler.SelectedItem().Check() : styler.IconBar().Check());
  FramedGradient(Canvas, cell, Item.Enabled, box.Border, box.GradientDirection, box.ColorTo,
                 box.Color);
  if (!WithGlyph) return;
  if (Selected) {
    Canvas.Brush().SetColor(styler.SelectedItem().BorderColor);
    Canvas.FrameRect(cell);
  }
  TRect glyphCell = cell;
  CenterRect(glyphCell, 16, 16);
  const TBitmap& glyph = Item.RadioItem ? styler.Glyphs().Radio() : styler.Glyphs().Check();
  Canvas.Draw(glyphCell.Left, glyphCell.Top, glyph);
}

void TExPopupMenu::DrawCaption(TMenuItem& Item, TCanvas& Canvas, TRect R, TOwnerDrawState State,
                               unsigned Format) {
  TCustomExMenuStyler& styler = *current_;
  const bool selected = (State & odSelected) != 0;
  const bool bold = (State & odDefault) != 0;
  TSelectedItem& highlight = styler.SelectedItem();
  const TFont& font = selected ? (highlight.UseSystemFont() ? Screen->MenuFont() : highlight.Font())
                               : (styler.UseSystemFont() ? Screen->MenuFont() : styler.Font());
  UseFont(Canvas, font, bold);
  TColor disabled = clNone;
  if (!Item.Enabled) {
    disabled = clBtnShadow;
    if (selected && ColorToRGB(clHighlight) == ColorToRGB(clBtnShadow)) disabled = clBtnHighlight;
    Canvas.Font().SetColor(disabled);
  }
  Canvas.Brush().SetStyle(bsClear);
  if (IsRightToLeft()) Format |= tfRight | tfRtlReading;
  const bool notes = show_notes_ && Item.Caption.find(kNoteBreak) != std::string::npos;
  std::string first = FirstLine(Item.Caption, show_notes_);
  std::string measuredText = first.empty() ? " " : first == "&" ? "& " : first;
  const int rowHeight = R.Height();
  TRect measured = R;
  const int textHeight = Canvas.TextRect(measured, measuredText, Format | tfCalcRect);
  R.Top += (rowHeight - textHeight) / 2;
  Canvas.TextRect(R, first, Format);
  if (!notes) return;
  int lineHeight = Canvas.TextHeight("gh");
  UseFont(Canvas, selected ? highlight.NotesFont() : styler.NotesFont());
  if (disabled != clNone) Canvas.Font().SetColor(disabled);
  std::string rest = Item.Caption.substr(Item.Caption.find(kNoteBreak) + 2);
  while (true) {
    R.Top += lineHeight;
    lineHeight = Canvas.TextHeight("gh");
    const std::size_t pair = rest.find(kNoteBreak);
    Canvas.TextRect(R, rest.substr(0, pair), Format);
    if (pair == std::string::npos) break;
    rest.erase(0, pair + 2);
  }
}

// The window's frame: its outer ring in MenuBorderColor, the ring inside in the text
// area's colour, drawn with every item as the whole window is this canvas.
void TExPopupMenu::DrawFrame(TCanvas& Canvas) {
  const TRect window = Canvas.ClipRect();
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(current_->MenuBorderColor);
  Canvas.FrameRect(window);
  Canvas.Brush().SetColor(current_->Background().Color);
  Canvas.FrameRect({window.Left + 1, window.Top + 1, window.Right - 1, window.Bottom - 1});
}

// The caption runs along the bar, upwards or downwards, with an optional highlight and
// shadow copy offset by Depth.
void TExPopupMenu::DrawSideBarCaption(TCanvas& Canvas, const TRect& Band) {
  TSideBar& bar = current_->SideBar();
  if (bar.Caption.empty()) return;
  Canvas.Font().Assign(bar.Font());
  const TSize e = Canvas.TextExtent(bar.Caption);
  const bool up = bar.Direction == dDownToUp;
  auto round = [](double Value) { return static_cast<int>(std::nearbyint(Value)); };
  int x = round((bar.Size - e.cy) / 2.0 - 0.5);
  int y;
  const bool atStart = (bar.Alignment == taRightJustify) == up;
  if (bar.Alignment == taCenter) {
    y = round((Band.Height() + e.cx) / 2.0 - 0.5);
  } else if (atStart) {
    y = bar.CaptionMargin + e.cx;
  } else {
    y = Band.Height() - bar.CaptionMargin;
    const TBackgroundPosition place = bar.Image().Position;
    if (bar.Image().HasImage() && (place == bpBottomLeft || place == bpBottomRight))
      y -= bar.Image().Image().Height();
  }
  if (!up) {
    y -= e.cx;
    x += e.cy + 1;
  }
  x += Band.Left;
  y += Band.Top;
  const int angle = up ? 900 : -900;
  const TColor text = bar.Font().Color();
  if (bar.HighlightColor != clNone) {
    Canvas.Font().SetColor(bar.HighlightColor);
    DrawRotatedText(Canvas, x - bar.Depth, y + bar.Depth, bar.Caption, angle);
  }
  if (bar.ShadowColor != clNone) {
    Canvas.Font().SetColor(bar.ShadowColor);
    DrawRotatedText(Canvas, x + bar.Depth, y - bar.Depth, bar.Caption, angle);
  }
  Canvas.Font().SetColor(text);
  DrawRotatedText(Canvas, x, y, bar.Caption, angle);
}

void TExPopupMenu::DrawSideBar(TCanvas& Canvas, const TRect& Band) {
  TSideBar& bar = current_->SideBar();
  bar.PopupHeight = Band.Height();
  bar.Background().Draw(Canvas, Band, true);
  if (bar.Image().Color != clNone) bar.Image().Draw(Canvas, Band, true);
  DrawSideBarCaption(Canvas, Band);
  if (bar.BorderColor != clNone) {
    Canvas.Brush().SetColor(bar.BorderColor);
    Canvas.FrameRect({Band.Left, Band.Top, Band.Right - bar.SplitterWidth, Band.Bottom});
  }
  if (bar.SplitterColor != clNone) {
    FadedLine(Canvas, {Band.Right - bar.SplitterWidth, Band.Top, Band.Right, Band.Bottom},
              bar.SplitterMargin, bar.SplitterGradientWidth, bar.SplitterGradientType, gdVertical,
              bar.SplitterColorTo, bar.SplitterColor);
  }
}
