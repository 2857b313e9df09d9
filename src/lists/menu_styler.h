// What a styled menu draws with: a menu styler holding one appearance object per part
// of a menu (icon strip, highlight, menu-bar items, glyphs, side bar, text background,
// separators, menu-bar buttons). A styled menu given no styler makes one of its own
// with every default below: those defaults are the look of the program's menus.
//
// A setter stores its value and tells the menu the styler serves whether its items
// must be measured again or rebuilt; values without a setter are read at the next
// drawing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lists/menu_draw.h"
#include "platform/gui/controls/menu.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/graphics_objects.h"
#include "platform/gui/graphics/picture.h"
#include "platform/gui/graphics/text_layout.h"
#include "platform/sys/component.h"
#include "platform/text/sysutils.h"

class TCustomExMenuStyler;

// An indexed colour accessor given an index it does not know.
class EInvalidPropertyIndex : public Exception {
 public:
  explicit EInvalidPropertyIndex(int Index);
};

enum TSideBarVisibleIn { viFirstVisible, viFirstLevel, viAnyLevel };
// Reading direction of the side bar's caption.
enum TDirection { dDownToUp, dUpToDown };
enum TBackgroundPosition {
  bpTopLeft,
  bpTopRight,
  bpBottomLeft,
  bpBottomRight,
  bpTopCenter,
  bpBottomCenter,
  bpTiled,
  bpStretched,
  bpCenter,
  bpXY
};

// How stylers and item drawing reach the menu they serve.
class IStyledMenu {
 public:
  // Rebuilds the menu's items, so that they are measured and drawn again.
  virtual void UpdateItems() = 0;
  virtual TPopupMenu* GetMenu() = 0;
  virtual TCustomExMenuStyler* GetMenuStyler() const = 0;
  virtual TCustomExMenuStyler& GetCurrentMenuStyler() const = 0;
  virtual void SetMenuStyler(TCustomExMenuStyler* Value) = 0;
  virtual std::uint8_t GetMenuValue() const = 0;
  virtual void SetMenuValue(std::uint8_t Value) = 0;
  virtual bool GetShowNotes() const = 0;
  virtual void SetShowNotes(bool Value) = 0;
  virtual bool GetIntlKeybShortCuts() const = 0;
  virtual void SetIntlKeybShortCuts(bool Value) = 0;

 protected:
  ~IStyledMenu() = default;
};

// Base of the appearance objects: the served menu (not owned) and a change request.
class TMenuPart {
 public:
  IStyledMenu* Menu() const { return menu_; }
  void SetMenu(IStyledMenu* Value) { menu_ = Value; }

 protected:
  explicit TMenuPart(IStyledMenu* AMenu) : menu_(AMenu) {}
  // Either flag has a pop-up menu rebuild its items; a request without flags asks
  // nothing of a pop-up menu.
  void Changed(bool Remeasure, bool Rebuild) const;

 private:
  IStyledMenu* menu_;
};

// A colour pair with a direction; the base of the gradient-bearing parts.
class TGradientBar : public TMenuPart {
 public:
  explicit TGradientBar(IStyledMenu* AMenu);
  virtual ~TGradientBar() = default;

  TGradientDirection GradientDirection = gdVertical;
  TColor Color = 0xD8BDAF;
  TColor ColorTo = clNone;

  // Index 0 is Color, 1 ColorTo; others raise EInvalidPropertyIndex.
  TColor GetColor(int Index) const;
  void SetColor(int Index, TColor Value);

  // Copies Color, ColorTo and GradientDirection; a descendant copies its own values
  // too when Source is of its kind.
  virtual void Assign(const TGradientBar& Source);
};

// Colours of the box behind a checked item's glyph.
struct TCheckColors {
  TColor Color;
  TColor ColorTo;
  TColor Border;
  TGradientDirection GradientDirection;
  friend bool operator==(const TCheckColors&, const TCheckColors&) = default;
};

// The strip down the left edge of pop-up items, with the check and radio boxes of
// unselected items.
class TIconBar : public TGradientBar {
 public:
  explicit TIconBar(IStyledMenu* AMenu);

  TColor SeparatorColor = clNone;
  const TCheckColors& Check() const { return check_; }
  const TCheckColors& Radio() const { return radio_; }
  // Index 0 colour, 1 colour-to; the borders and directions are stored only.
  TColor GetCheckColor(int Index) const;
  void SetCheckColor(int Index, TColor Value);
  TColor GetRadioColor(int Index) const;
  void SetRadioColor(int Index, TColor Value);
  TColor& CheckBorder() { return check_.Border; }
  TGradientDirection& CheckGradientDirection() { return check_.GradientDirection; }
  TColor& RadioBorder() { return radio_.Border; }
  TGradientDirection& RadioGradientDirection() { return radio_.GradientDirection; }
  int Size() const { return size_; }
  // At least 16.
  void SetSize(int Value);

  void Assign(const TGradientBar& Source) override;

 private:
  TCheckColors check_{0x6FC0FF, clNone, 0x6F4B4B, gdVertical};
  TCheckColors radio_{0x6FC0FF, clNone, 0x6F4B4B, gdVertical};
  int size_ = 24;
};

// The highlight of the item under the mouse or the keyboard.
class TSelectedItem : public TGradientBar {
 public:
  explicit TSelectedItem(IStyledMenu* AMenu);

  TColor ColorMirror = clNone;
  TColor ColorMirrorTo = clNone;
  TColor BorderColor = 0x6F4B4B;
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& Value);
  const TFont& NotesFont() const { return notes_font_; }
  void SetNotesFont(const TFont& Value);
  // True: the selected caption is drawn in the menu font and Font is not used.
  bool UseSystemFont() const { return use_system_font_; }
  void SetUseSystemFont(bool Value);
  const TCheckColors& Check() const { return check_; }
  const TCheckColors& Radio() const { return radio_; }
  TColor GetCheckColor(int Index) const;
  void SetCheckColor(int Index, TColor Value);
  TColor GetRadioColor(int Index) const;
  void SetRadioColor(int Index, TColor Value);
  TColor& CheckBorder() { return check_.Border; }
  TGradientDirection& CheckGradientDirection() { return check_.GradientDirection; }
  TColor& RadioBorder() { return radio_.Border; }
  TGradientDirection& RadioGradientDirection() { return radio_.GradientDirection; }

  void Assign(const TGradientBar& Source) override;

 private:
  TFont font_;
  TFont notes_font_;
  bool use_system_font_ = true;
  TCheckColors check_{0x3E80FE, clNone, 0x6F4B4B, gdVertical};
  TCheckColors radio_{0x3E80FE, clNone, 0x6F4B4B, gdVertical};
};

// Colour, colour-to, mirror and mirror-to of a menu-bar item's look.
struct TColorQuad {
  TColor Color, ColorTo, Mirror, MirrorTo;
  friend bool operator==(const TColorQuad&, const TColorQuad&) = default;
};

// The top-level items of a menu bar. Pop-up menus do not draw with it; the styler keeps
// and copies it.
class TRootItem : public TGradientBar {
 public:
  explicit TRootItem(IStyledMenu* AMenu);

  TGradientDirection SelectedGradientDirection = gdVertical;
  TColor SelectedBorderColor = 0x947C7C;
  TColor SelectedTextColor = clWindowText;
  TGradientDirection HoverGradientDirection = gdVertical;
  TColor HoverBorderColor = 0x6F4B4B;
  TColor HoverTextColor = clWindowText;
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& Value);
  bool UseSystemFont() const { return use_system_font_; }
  void SetUseSystemFont(bool Value);
  // Index 0 colour, 1 colour-to, 2 mirror, 3 mirror-to; others raise
  // EInvalidPropertyIndex.
  TColor GetSelectedColor(int Index) const;
  void SetSelectedColor(int Index, TColor Value);
  TColor GetHoverColor(int Index) const;
  void SetHoverColor(int Index, TColor Value);

  void Assign(const TGradientBar& Source) override;

 private:
  TFont font_;
  bool use_system_font_ = true;
  TColorQuad selected_{0xF2E8E8, 0xCDB8B9, clNone, clNone};
  TColorQuad hover_{0xCFF6FF, 0x9DD8FF, clNone, clNone};
};

// The three glyph pictures: sub-menu arrow, check mark and radio dot, black on a white
// that is transparent.
class TMenuGlyphs : public TMenuPart {
 public:
  explicit TMenuGlyphs(IStyledMenu* AMenu);

  const TBitmap& SubMenu() const { return sub_menu_; }
  void SetSubMenu(const TBitmap& Value) { Store(sub_menu_, Value); }
  const TBitmap& Check() const { return check_; }
  void SetCheck(const TBitmap& Value) { Store(check_, Value); }
  const TBitmap& Radio() const { return radio_; }
  void SetRadio(const TBitmap& Value) { Store(radio_, Value); }

  void Assign(const TMenuGlyphs& Source);

 private:
  void Store(TBitmap& Glyph, const TBitmap& Value);

  TBitmap sub_menu_;
  TBitmap check_;
  TBitmap radio_;
};

// The fill of the text area of pop-up items, and of the side bar.
class TBackground : public TGradientBar {
 public:
  explicit TBackground(IStyledMenu* AMenu);

  TBackgroundPosition Position = bpCenter;
  int OffsetX = 0;
  int OffsetY = 0;
  // The area is filled with Color, then shrunk by these before gradient and picture.
  int MarginX = 0;
  int MarginY = 0;
  // Reading makes the picture; a bitmap in it is drawn transparent.
  TPicture& Image();
  bool HasImage() const { return image_ && image_->Graphic() && !image_->Graphic()->Empty(); }
  // Null frees the picture.
  void SetImage(const TPicture* Value);

  // Renders the background into its own cache at Area's size (shrunk by the margins),
  // the gradient first when WithGradient, and copies the cache to Area's corner.
  void Draw(TCanvas& Canvas, const TRect& Area, bool WithGradient);

  // Copies Image, the offsets, Position, Color and ColorTo (not the margins nor the
  // direction); another gradient bar is copied as such.
  void Assign(const TGradientBar& Source) override;

 private:
  std::unique_ptr<TPicture> image_;
  TBitmap cache_;
};

// Text drawn along the side bar.
class TBarCaption : public TMenuPart {
 public:
  explicit TBarCaption(IStyledMenu* AMenu);
  virtual ~TBarCaption() = default;

  std::string Caption;
  // Distance of the text from the end of the bar.
  int CaptionMargin = 6;
  TDirection Direction = dDownToUp;
  TColor ShadowColor = clNone;
  // A copy of the text offset the other way from the shadow.
  TColor HighlightColor = clNone;
  int Depth = 1;
  TAlignment Alignment = taLeftJustify;
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& Value);

  virtual void Assign(const TBarCaption& Source);

 private:
  TFont font_;
};

// A band down the whole left edge of a pop-up, drawn with its first item.
class TSideBar : public TBarCaption {
 public:
  explicit TSideBar(IStyledMenu* AMenu);

  bool Visible = false;
  TSideBarVisibleIn VisibleIn = viFirstVisible;
  int Size = 24;
  TColor SplitterColor = 0x808080;
  TColor SplitterColorTo = clNone;
  int SplitterWidth = 1;
  int SplitterMargin = 0;
  int SplitterGradientWidth = 0;
  TMenuGradientType SplitterGradientType = gtBoth;
  TColor BorderColor = 0xA19D9D;
  // Height of the pop-up the bar was last drawn in.
  int PopupHeight = 0;
  TBackground& Image() { return image_; }
  void SetImage(const TBackground& Value);
  TBackground& Background() { return background_; }
  void SetBackground(const TBackground& Value);

  void Assign(const TBarCaption& Source) override;

 private:
  TBackground image_;
  TBackground background_;
};

// The line of a separator item.
class TSeparator : public TGradientBar {
 public:
  explicit TSeparator(IStyledMenu* AMenu);

  // Line thickness; a separator item is Width + 2 pixels high.
  int Width = 1;
  TMenuGradientType GradientType = gtBoth;
  int GradientWidth = 0;
  int Margin = 2;

  void Assign(const TGradientBar& Source) override;
};

// The look of menu-bar buttons; pop-up menus do not draw with it.
class TButtonAppearance {
 public:
  TButtonAppearance();

  TNotifyEvent OnChange;

  TColor HoverColor() const { return hover_color_; }
  void SetHoverColor(TColor Value) { Set(hover_color_, Value); }
  TColor ColorTo() const { return color_to_; }
  void SetColorTo(TColor Value) { Set(color_to_, Value); }
  TColor Color() const { return color_; }
  void SetColor(TColor Value) { Set(color_, Value); }
  TColor HoverColorTo() const { return hover_color_to_; }
  void SetHoverColorTo(TColor Value) { Set(hover_color_to_, Value); }
  TColor DownColorTo() const { return down_color_to_; }
  void SetDownColorTo(TColor Value) { Set(down_color_to_, Value); }
  TColor DownColor() const { return down_color_; }
  void SetDownColor(TColor Value) { Set(down_color_, Value); }
  TColor DownBorderColor() const { return down_border_color_; }
  void SetDownBorderColor(TColor Value) { Set(down_border_color_, Value); }
  TColor BorderColor() const { return border_color_; }
  void SetBorderColor(TColor Value) { Set(border_color_, Value); }
  TColor HoverBorderColor() const { return hover_border_color_; }
  void SetHoverBorderColor(TColor Value) { Set(hover_border_color_, Value); }
  TGradientDirection GradientDirection() const { return gradient_direction_; }
  void SetGradientDirection(TGradientDirection Value);
  const TFont& CaptionFont() const { return caption_font_; }
  void SetCaptionFont(const TFont& Value);
  bool UseSystemFont() const { return use_system_font_; }
  void SetUseSystemFont(bool Value);

  // The nine colours and the direction; not the font.
  void Assign(const TButtonAppearance& Source);

 private:
  void Set(TColor& Field, TColor Value);
  void Changed();

  TColor hover_color_ = 0xD2BDB6;
  TColor color_to_ = clNone;
  TColor color_ = clNone;
  TColor hover_color_to_ = clNone;
  TColor down_color_to_ = clNone;
  TColor down_color_ = 0xB59285;
  TColor down_border_color_ = 0x6A240A;
  TColor border_color_ = clNone;
  TColor hover_border_color_ = 0x6A240A;
  TGradientDirection gradient_direction_ = gdVertical;
  TFont caption_font_;
  bool use_system_font_ = true;
};

// The name menu-bar buttons write their captions in.
std::string DefaultButtonFontName();

class TCustomExMenuStyler : public TComponent {
 public:
  explicit TCustomExMenuStyler(TComponent* AOwner);
  ~TCustomExMenuStyler() override;

  // True: unselected captions in the menu font; false: in Font.
  bool UseSystemFont() const { return use_system_font_; }
  void SetUseSystemFont(bool Value);
  TSeparator& Separator() { return separator_; }
  void SetSeparator(const TSeparator& Value);
  TBackground& Background() { return background_; }
  void SetBackground(const TBackground& Value);
  TFont& Font() { return font_; }
  TIconBar& IconBar() { return icon_bar_; }
  void SetIconBar(const TIconBar& Value);
  TMenuGlyphs& Glyphs() { return glyphs_; }
  void SetGlyphs(const TMenuGlyphs& Value);
  TRootItem& RootItem() { return root_item_; }
  void SetRootItem(const TRootItem& Value);
  TSelectedItem& SelectedItem() { return selected_item_; }
  void SetSelectedItem(const TSelectedItem& Value);
  TSideBar& SideBar() { return side_bar_; }
  void SetSideBar(const TSideBar& Value);
  TColor MenuBorderColor = 0x7C7C94;
  // Note lines of unselected items.
  TFont& NotesFont() { return notes_font_; }
  TButtonAppearance& ButtonAppearance() { return button_appearance_; }
  // The text-area background rendered once at the size of the whole pop-up.
  TBitmap& BackgroundCache() { return background_cache_; }

  // The menu the styler serves (not owned): every part is handed it, and it is told.
  IStyledMenu* Menu() const { return menu_; }
  void SetMenu(IStyledMenu* Value);

  std::string ClassName() const override { return "TCustomExMenuStyler"; }

 private:
  bool use_system_font_ = true;
  TSideBar side_bar_;
  TBackground background_;
  TIconBar icon_bar_;
  TSelectedItem selected_item_;
  TRootItem root_item_;
  TMenuGlyphs glyphs_;
  TSeparator separator_;
  TFont font_;
  TBitmap background_cache_;
  TFont notes_font_;
  TButtonAppearance button_appearance_;
  IStyledMenu* menu_ = nullptr;
};
