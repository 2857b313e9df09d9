#include "lists/menu_styler.h"

#include "platform/gui/controls/forms.h"
#include "platform/text/format.h"

namespace {

// The menu font, Points smaller, in Color.
TFont MenuFontCopy(int Smaller, TColor Color) {
  TFont font;
  font.Assign(Screen->MenuFont());
  if (Smaller) font.SetSize(font.Size() - Smaller);
  font.SetColor(Color);
  return font;
}

TColor& Pick(TCheckColors& Box, int Index) {
  if (Index == 0) return Box.Color;
  if (Index == 1) return Box.ColorTo;
  throw EInvalidPropertyIndex(Index);
}

TColor& Pick(TColorQuad& Quad, int Index) {
  switch (Index) {
    case 0:
      return Quad.Color;
    case 1:
      return Quad.ColorTo;
    case 2:
      return Quad.Mirror;
    case 3:
      return Quad.MirrorTo;
    default:
      throw EInvalidPropertyIndex(Index);
  }
}

// The glyphs are drawn here rather than loaded: black figures on white, white being the
// colour a transparent bitmap leaves out (its bottom-left pixel).
void BlankGlyph(TBitmap& Glyph, int Width, int Height) {
  Glyph.SetSize(Width, Height);
  Glyph.Canvas().Brush().SetColor(clWhite);
  Glyph.Canvas().FillRect(Rect(0, 0, Width, Height));
  Glyph.Canvas().Brush().SetColor(clBlack);
}

void DrawSubMenuArrow(TBitmap& Glyph) {
  BlankGlyph(Glyph, 4, 7);
  // A right-pointing triangle: column x covers rows x .. 6 - x.
  for (int x = 0; x < 4; ++x) Glyph.Canvas().FillRect(Rect(x, x, x + 1, 7 - x));
}

void DrawCheckMark(TBitmap& Glyph) {
  BlankGlyph(Glyph, 16, 16);
  // A tick three pixels thick: down from (4, 7) to (6, 9), then up to (11, 4).
  for (int x = 4; x <= 11; ++x) {
    const int y = x <= 6 ? x + 3 : 15 - x;
    Glyph.Canvas().FillRect(Rect(x, y, x + 1, y + 3));
  }
}

void DrawRadioDot(TBitmap& Glyph) {
  BlankGlyph(Glyph, 16, 16);
  // A 6 x 6 dot with its corners cut.
  Glyph.Canvas().FillRect(Rect(6, 5, 10, 11));
  Glyph.Canvas().FillRect(Rect(5, 6, 11, 10));
}

// White is left out: a glyph's figure may reach its bottom-left pixel, which the
// automatic mode would take for the background.
void MakeTransparent(TBitmap& Glyph) {
  Glyph.SetTransparentColor(clWhite);
  Glyph.SetTransparent(true);
}

}  // namespace

EInvalidPropertyIndex::EInvalidPropertyIndex(int Index)
    : Exception(Format("Invalid property index %d.", Index)) {}

void TMenuPart::Changed(bool Remeasure, bool Rebuild) const {
  if (menu_ && (Remeasure || Rebuild)) menu_->UpdateItems();
}

TGradientBar::TGradientBar(IStyledMenu* AMenu) : TMenuPart(AMenu) {}

TColor TGradientBar::GetColor(int Index) const {
  if (Index == 0) return Color;
  if (Index == 1) return ColorTo;
  throw EInvalidPropertyIndex(Index);
}

void TGradientBar::SetColor(int Index, TColor Value) {
  if (Index == 0) {
    Color = Value;
  } else if (Index == 1) {
    ColorTo = Value;
  } else {
    throw EInvalidPropertyIndex(Index);
  }
}

void TGradientBar::Assign(const TGradientBar& Source) {
  Color = Source.Color;
  ColorTo = Source.ColorTo;
  GradientDirection = Source.GradientDirection;
}

TIconBar::TIconBar(IStyledMenu* AMenu) : TGradientBar(AMenu) {
  Color = 0xFFF9F9;
  ColorTo = 0xBBA0A1;
  GradientDirection = gdHorizontal;
}

TColor TIconBar::GetCheckColor(int Index) const {
  return Pick(const_cast<TCheckColors&>(check_), Index);
}

void TIconBar::SetCheckColor(int Index, TColor Value) {
  Pick(check_, Index) = Value;
  Changed(false, false);
}

TColor TIconBar::GetRadioColor(int Index) const {
  return Pick(const_cast<TCheckColors&>(radio_), Index);
}

void TIconBar::SetRadioColor(int Index, TColor Value) {
  Pick(radio_, Index) = Value;
  Changed(false, false);
}

void TIconBar::SetSize(int Value) {
  size_ = std::max(Value, 16);
  Changed(true, false);
}

void TIconBar::Assign(const TGradientBar& Source) {
  if (const auto* bar = dynamic_cast<const TIconBar*>(&Source)) {
    check_ = bar->check_;
    radio_ = bar->radio_;
    SetSize(bar->size_);
    SeparatorColor = bar->SeparatorColor;
  }
  TGradientBar::Assign(Source);
}

TSelectedItem::TSelectedItem(IStyledMenu* AMenu)
    : TGradientBar(AMenu),
      font_(MenuFontCopy(0, clWindowText)),
      notes_font_(MenuFontCopy(2, clWindowText)) {
  Color = 0xC2EEFF;
  ColorTo = clNone;
  GradientDirection = gdVertical;
}

void TSelectedItem::SetFont(const TFont& Value) {
  font_.Assign(Value);
  Changed(true, false);
}

void TSelectedItem::SetNotesFont(const TFont& Value) {
  notes_font_.Assign(Value);
  Changed(true, false);
}

void TSelectedItem::SetUseSystemFont(bool Value) {
  use_system_font_ = Value;
  Changed(true, false);
}

TColor TSelectedItem::GetCheckColor(int Index) const {
  return Pick(const_cast<TCheckColors&>(check_), Index);
}

void TSelectedItem::SetCheckColor(int Index, TColor Value) {
  Pick(check_, Index) = Value;
  Changed(false, false);
}

TColor TSelectedItem::GetRadioColor(int Index) const {
  return Pick(const_cast<TCheckColors&>(radio_), Index);
}

void TSelectedItem::SetRadioColor(int Index, TColor Value) {
  Pick(radio_, Index) = Value;
  Changed(false, false);
}

void TSelectedItem::Assign(const TGradientBar& Source) {
  if (const auto* item = dynamic_cast<const TSelectedItem*>(&Source)) {
    ColorMirror = item->ColorMirror;
    ColorMirrorTo = item->ColorMirrorTo;
    BorderColor = item->BorderColor;
    font_.Assign(item->font_);
    notes_font_.Assign(item->notes_font_);
    use_system_font_ = item->use_system_font_;
    check_ = item->check_;
    radio_ = item->radio_;
  }
  TGradientBar::Assign(Source);
}

TRootItem::TRootItem(IStyledMenu* AMenu)
    : TGradientBar(AMenu), font_(MenuFontCopy(0, clWindowText)) {
  Color = 0xE5D7D7;
  ColorTo = 0xF7F2F2;
  GradientDirection = gdHorizontal;
}

void TRootItem::SetFont(const TFont& Value) {
  font_.Assign(Value);
  Changed(true, false);
}

void TRootItem::SetUseSystemFont(bool Value) {
  use_system_font_ = Value;
  Changed(true, false);
}

TColor TRootItem::GetSelectedColor(int Index) const {
  return Pick(const_cast<TColorQuad&>(selected_), Index);
}

void TRootItem::SetSelectedColor(int Index, TColor Value) {
  Pick(selected_, Index) = Value;
  Changed(true, false);
}

TColor TRootItem::GetHoverColor(int Index) const {
  return Pick(const_cast<TColorQuad&>(hover_), Index);
}

void TRootItem::SetHoverColor(int Index, TColor Value) {
  Pick(hover_, Index) = Value;
  Changed(true, false);
}

void TRootItem::Assign(const TGradientBar& Source) {
  if (const auto* item = dynamic_cast<const TRootItem*>(&Source)) {
    font_.Assign(item->font_);
    use_system_font_ = item->use_system_font_;
    selected_ = item->selected_;
    hover_ = item->hover_;
    SelectedGradientDirection = item->SelectedGradientDirection;
    HoverGradientDirection = item->HoverGradientDirection;
    HoverBorderColor = item->HoverBorderColor;
    HoverTextColor = item->HoverTextColor;
    SelectedBorderColor = item->SelectedBorderColor;
    SelectedTextColor = item->SelectedTextColor;
    return;
  }
  TGradientBar::Assign(Source);
}

TMenuGlyphs::TMenuGlyphs(IStyledMenu* AMenu) : TMenuPart(AMenu) {
  DrawSubMenuArrow(sub_menu_);
  DrawCheckMark(check_);
  DrawRadioDot(radio_);
  for (TBitmap* glyph : {&sub_menu_, &check_, &radio_}) MakeTransparent(*glyph);
}

void TMenuGlyphs::Store(TBitmap& Glyph, const TBitmap& Value) {
  Glyph.Assign(Value);
  MakeTransparent(Glyph);
  Changed(false, false);
}

void TMenuGlyphs::Assign(const TMenuGlyphs& Source) {
  SetSubMenu(Source.sub_menu_);
  SetCheck(Source.check_);
  SetRadio(Source.radio_);
}

TBackground::TBackground(IStyledMenu* AMenu) : TGradientBar(AMenu) {
  Color = 0xFFFAFD;
  ColorTo = clNone;
  GradientDirection = gdVertical;
}

TPicture& TBackground::Image() {
  if (!image_) image_ = std::make_unique<TPicture>();
  if (auto* bitmap = dynamic_cast<TBitmap*>(image_->Graphic())) {
    bitmap->SetTransparentMode(tmAuto);
    bitmap->SetTransparent(true);
  }
  return *image_;
}

void TBackground::SetImage(const TPicture* Value) {
  if (!Value) {
    image_.reset();
  } else {
    Image().SetGraphic(Value->Graphic());
  }
  Changed(false, false);
}

void TBackground::Draw(TCanvas& Canvas, const TRect& Area, bool WithGradient) {
  const TRect r{Area.Left + MarginX, Area.Top + MarginY, Area.Right - MarginX,
                Area.Bottom - MarginY};
  if (r.Width() <= 0 || r.Height() <= 0) return;
  cache_.SetSize(r.Width(), r.Height());
  const TGraphic* picture = HasImage() ? Image().Graphic() : nullptr;
  const bool covered =
      picture && (Position == bpTiled || Position == bpStretched) && !picture->Transparent();
  if (WithGradient && !covered)
    MenuGradientFill(cache_.Canvas(), Rect(0, 0, r.Width(), r.Height()), GradientDirection, ColorTo,
                     Color);
  if (picture) {
    TCanvas& c = cache_.Canvas();
    const int w = r.Width(), h = r.Height(), iw = picture->Width(), ih = picture->Height();
    const int right = w - iw, bottom = h - ih, midX = (w - iw) / 2, midY = (h - ih) / 2;
    switch (Position) {
      case bpTopLeft:
        c.Draw(OffsetX, OffsetY, *picture);
        break;
      case bpTopRight:
        c.Draw(right + OffsetX, OffsetY, *picture);
        break;
      case bpBottomLeft:
        c.Draw(OffsetX, bottom + OffsetY, *picture);
        break;
      case bpBottomRight:
        c.Draw(right + OffsetX, bottom + OffsetY, *picture);
        break;
      case bpTopCenter:
        c.Draw(midX + OffsetX, OffsetY, *picture);
        break;
      case bpBottomCenter:
        c.Draw(midX + OffsetX, bottom + OffsetY, *picture);
        break;
      case bpCenter:
        c.Draw(midX + OffsetX, midY + OffsetY, *picture);
        break;
      case bpTiled:
        for (int y = 0; iw > 0 && ih > 0 && y < h; y += ih)
          for (int x = 0; x < w; x += iw) c.Draw(x, y, *picture);
        break;
      case bpStretched:
        c.StretchDraw(Rect(0, 0, w, h), *picture);
        break;
      case bpXY:
        c.Draw(OffsetX, OffsetY, *picture);
        break;
    }
  }
  Canvas.Draw(r.Left, r.Top, cache_);
}

void TBackground::Assign(const TGradientBar& Source) {
  if (const auto* background = dynamic_cast<const TBackground*>(&Source)) {
    SetImage(background->image_.get());
    OffsetX = background->OffsetX;
    OffsetY = background->OffsetY;
    Position = background->Position;
    Color = background->Color;
    ColorTo = background->ColorTo;
    return;
  }
  TGradientBar::Assign(Source);
}

TBarCaption::TBarCaption(IStyledMenu* AMenu) : TMenuPart(AMenu) {
  font_.SetName("Tahoma");
  font_.SetSize(14);
  font_.SetColor(clWhite);
  font_.SetStyle(fsBold | fsItalic);
}

void TBarCaption::SetFont(const TFont& Value) {
  font_.Assign(Value);
  Changed(false, true);
}

void TBarCaption::Assign(const TBarCaption& Source) {
  Caption = Source.Caption;
  font_.Assign(Source.font_);
  CaptionMargin = Source.CaptionMargin;
  Direction = Source.Direction;
  ShadowColor = Source.ShadowColor;
  HighlightColor = Source.HighlightColor;
  Depth = Source.Depth;
  Alignment = Source.Alignment;
}

TSideBar::TSideBar(IStyledMenu* AMenu) : TBarCaption(AMenu), image_(AMenu), background_(AMenu) {}

void TSideBar::SetImage(const TBackground& Value) {
  image_.Assign(Value);
  Changed(false, true);
}

void TSideBar::SetBackground(const TBackground& Value) {
  background_.Assign(Value);
  Changed(false, true);
}

void TSideBar::Assign(const TBarCaption& Source) {
  if (const auto* bar = dynamic_cast<const TSideBar*>(&Source)) {
    Visible = bar->Visible;
    image_.Assign(bar->image_);
    background_.Assign(bar->background_);
    SplitterColor = bar->SplitterColor;
    SplitterColorTo = bar->SplitterColorTo;
    SplitterWidth = bar->SplitterWidth;
    SplitterMargin = bar->SplitterMargin;
    SplitterGradientWidth = bar->SplitterGradientWidth;
    SplitterGradientType = bar->SplitterGradientType;
    Size = bar->Size;
    BorderColor = bar->BorderColor;
  }
  TBarCaption::Assign(Source);
}

TSeparator::TSeparator(IStyledMenu* AMenu) : TGradientBar(AMenu) {
  Color = 0x8F6D6E;
  ColorTo = clNone;
  GradientDirection = gdHorizontal;
}

void TSeparator::Assign(const TGradientBar& Source) {
  if (const auto* separator = dynamic_cast<const TSeparator*>(&Source)) {
    Width = separator->Width;
    GradientType = separator->GradientType;
    GradientWidth = separator->GradientWidth;
    Margin = separator->Margin;
  }
  TGradientBar::Assign(Source);
}

// The kernel call the choice hangs on does not exist on this platform.
std::string DefaultButtonFontName() {
  return "Tahoma";
}

TButtonAppearance::TButtonAppearance() {
  caption_font_.SetName(DefaultButtonFontName());
}

void TButtonAppearance::Changed() {
  if (OnChange) OnChange(nullptr);
}

void TButtonAppearance::Set(TColor& Field, TColor Value) {
  if (Field == Value) return;
  Field = Value;
  Changed();
}

void TButtonAppearance::SetGradientDirection(TGradientDirection Value) {
  if (gradient_direction_ == Value) return;
  gradient_direction_ = Value;
  Changed();
}

void TButtonAppearance::SetCaptionFont(const TFont& Value) {
  caption_font_.Assign(Value);
  Changed();
}

void TButtonAppearance::SetUseSystemFont(bool Value) {
  if (Value && !use_system_font_) caption_font_.SetName(DefaultButtonFontName());
  use_system_font_ = Value;
}

void TButtonAppearance::Assign(const TButtonAppearance& Source) {
  hover_color_ = Source.hover_color_;
  color_to_ = Source.color_to_;
  color_ = Source.color_;
  hover_color_to_ = Source.hover_color_to_;
  down_color_to_ = Source.down_color_to_;
  down_color_ = Source.down_color_;
  down_border_color_ = Source.down_border_color_;
  border_color_ = Source.border_color_;
  hover_border_color_ = Source.hover_border_color_;
  gradient_direction_ = Source.gradient_direction_;
}

TCustomExMenuStyler::TCustomExMenuStyler(TComponent* AOwner)
    : TComponent(AOwner),
      side_bar_(nullptr),
      background_(nullptr),
      icon_bar_(nullptr),
      selected_item_(nullptr),
      root_item_(nullptr),
      glyphs_(nullptr),
      separator_(nullptr),
      font_(MenuFontCopy(0, clWindowText)),
      notes_font_(MenuFontCopy(2, 0x808080)) {}

// A menu drawing with this styler goes back to a private one.
TCustomExMenuStyler::~TCustomExMenuStyler() {
  if (menu_ && menu_->GetMenuStyler() == this) menu_->SetMenuStyler(nullptr);
}

void TCustomExMenuStyler::SetUseSystemFont(bool Value) {
  use_system_font_ = Value;
  if (menu_) menu_->UpdateItems();
}

void TCustomExMenuStyler::SetSeparator(const TSeparator& Value) {
  separator_.Assign(Value);
}

void TCustomExMenuStyler::SetBackground(const TBackground& Value) {
  background_.Assign(Value);
}

void TCustomExMenuStyler::SetIconBar(const TIconBar& Value) {
  icon_bar_.Assign(Value);
}

void TCustomExMenuStyler::SetGlyphs(const TMenuGlyphs& Value) {
  glyphs_.Assign(Value);
}

void TCustomExMenuStyler::SetRootItem(const TRootItem& Value) {
  root_item_.Assign(Value);
}

void TCustomExMenuStyler::SetSelectedItem(const TSelectedItem& Value) {
  selected_item_.Assign(Value);
}

void TCustomExMenuStyler::SetSideBar(const TSideBar& Value) {
  side_bar_.Assign(Value);
  if (menu_) menu_->UpdateItems();
}

void TCustomExMenuStyler::SetMenu(IStyledMenu* Value) {
  menu_ = Value;
  for (TMenuPart* part : std::initializer_list<TMenuPart*>{
           &side_bar_, &background_, &icon_bar_, &selected_item_, &root_item_, &glyphs_,
           &separator_, &side_bar_.Image(), &side_bar_.Background()})
    part->SetMenu(Value);
}
