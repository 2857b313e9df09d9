#include "html/html_label.h"

#include "html/component_version.h"
#include "html/gradient_style.h"
#include "html/html_text.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/gui/standard/shell.h"
#include "platform/text/sysutils.h"

namespace {

constexpr std::uint32_t kLabelVersion = 0x01050200;
// Room the automatic size leaves round the text.
constexpr int kAutoSizeMargin = 6;
constexpr int kUnbounded = 65535;

bool GrowsWidth(TAlign Align, TAutoSizeType Type) {
  return (Align == alNone || Align == alLeft || Align == alRight) &&
         (Type == asHorizontal || Type == asBoth);
}

bool GrowsHeight(TAlign Align, TAutoSizeType Type) {
  return (Align == alNone || Align == alTop || Align == alBottom) &&
         (Type == asVertical || Type == asBoth);
}

}  // namespace

THtmlLabel::THtmlLabel(TComponent* AOwner)
    : TCustomLabel(AOwner), html_text_(std::make_unique<TStringList>()) {
  SetAutoSize(false);
  SetCaption("");
  html_text_->OnChange = [this](TStringList*) { TextChanged(); };
}

THtmlLabel::~THtmlLabel() {
  html_text_->OnChange = nullptr;
}

std::string THtmlLabel::GetFullText() const {
  std::string text;
  for (int n = 0; n < html_text_->Count(); ++n) text += html_text_->Get(n);
  return text;
}

void THtmlLabel::SetHTMLText(const TStringList* Value) {
  if (Value) html_text_->SetText(LineBreaksToHtml(Value->Text(), false));
  Invalidate();
}

void THtmlLabel::TextChanged() {
  picture_cache_.ClearPictures();
  UpdateHint("");
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetAutoSizing(bool Value) {
  auto_sizing_ = Value;
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetAutoSizeType(TAutoSizeType Value) {
  auto_size_type_ = Value;
  SetAutoSizing(auto_sizing_);
}

void THtmlLabel::SetVAlignment(TVAlignment Value) {
  Store(v_alignment_, Value);
}

void THtmlLabel::SetEllipsis(bool Value) {
  if (ellipsis_ == Value) return;
  ellipsis_ = Value;
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetURLColor(TColor Value) {
  Store(url_color_, Value);
}

void THtmlLabel::SetBevelInner(TBevelCut Value) {
  bevel_inner_ = Value;
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetBevelOuter(TBevelCut Value) {
  bevel_outer_ = Value;
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetBevelWidth(int Value) {
  bevel_width_ = Value;
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetBorderWidth(int Value) {
  border_width_ = Value;
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetBorderStyle(TBorderStyle Value) {
  border_style_ = Value;
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetImages(TImageList* Value) {
  images_ = Value;
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetPictureContainer(TPictureContainer* Value) {
  picture_container_ = Value;
  AdjustSize();
  Invalidate();
}

void THtmlLabel::SetHintShowFull(bool Value) {
  hint_show_full_ = Value;
  UpdateHint("");
}

void THtmlLabel::SetHTMLHint(bool Value) {
  html_hint_ = Value;
  UpdateHint("");
}

std::string THtmlLabel::Version() const {
  return ComponentVersion(kLabelVersion);
}

void THtmlLabel::FontChanged() {
  TCustomLabel::FontChanged();
  AdjustSize();
}

void THtmlLabel::BoundsChanged(const TRect& OldBounds) {
  TCustomLabel::BoundsChanged(OldBounds);
  // The width decides where lines wrap, and so the height.
  if (OldBounds.Width() != Width()) AdjustSize();
}

bool THtmlLabel::DrawHTML(TCanvas& Canvas, const std::string& Text, const TRect& Rect, int XPos,
                          int YPos, int HoverLink, bool HitTestOnly, bool MeasureOnly,
                          THtmlDrawResult& Result) {
  THtmlDrawParams params;
  params.Images = images_;
  params.XPos = XPos;
  params.YPos = YPos;
  params.FocusLink = -1;
  params.HoverLink = HoverLink;
  params.ShadowOffset = shadow_offset_;
  params.HitTestOnly = HitTestOnly;
  params.MeasureOnly = MeasureOnly;
  params.HoverOnly = hover_;
  params.WordWrap = !ellipsis_;
  params.URLColor = url_color_;
  params.HoverColor = hover_color_;
  params.HoverFontColor = hover_font_color_;
  params.ShadowColor = shadow_color_;
  params.PictureCache = &picture_cache_;
  params.PictureContainer = picture_container_;
  const bool on_link = DrawHtmlText(Canvas, Text, Rect, params, Result);
  text_width_ = Result.XSize;
  text_height_ = Result.YSize;
  return on_link;
}

TRect THtmlLabel::TextArea() const {
  TRect r = ClientRect();
  const bool bevelled = bevel_outer_ != bvNone || bevel_inner_ != bvNone;
  int inset = border_width_;
  if (bevel_outer_ != bvNone) inset += bevel_width_;
  if (bevel_inner_ != bvNone) inset += bevel_width_;
  if (bevelled) inset += bevel_width_;
  if (border_style_ == bsSingle) inset += border_width_;
  return Rect(r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset);
}

int THtmlLabel::AlignedTop(const TRect& Area, TVAlignment Alignment) {
  if (Alignment == tvaTop) return Area.Top;
  THtmlDrawResult measured;
  DrawHTML(Canvas(), GetFullText(), Area, -1, -1, -1, false, true, measured);
  const int h = measured.YSize;
  if (h >= Height()) return Area.Top;
  return Alignment == tvaCenter ? Area.Top + (Area.Height() - h) / 2 : Area.Bottom - h;
}

void THtmlLabel::AdjustSize() {
  if (!auto_sizing_ || adjusting_) return;
  TRect area = TextArea();
  const bool grow_width = GrowsWidth(Align(), auto_size_type_);
  const bool grow_height = GrowsHeight(Align(), auto_size_type_);
  if (grow_width) area.Right += kUnbounded;
  if (grow_height) area.Bottom += kUnbounded;
  THtmlDrawResult measured;
  // Outside a paint the canvas only measures.
  DrawHTML(Canvas(), GetFullText(), area, -1, -1, -1, false, true, measured);
  adjusting_ = true;
  if (grow_height && Height() != measured.YSize + kAutoSizeMargin)
    SetHeight(measured.YSize + kAutoSizeMargin);
  if (grow_width && Width() != measured.XSize + kAutoSizeMargin)
    SetWidth(measured.XSize + kAutoSizeMargin);
  adjusting_ = false;
}

void THtmlLabel::PaintBackground(TCanvas& Canvas, const TRect& Client) {
  const int bands = Client.Width() / 4;
  if (!Transparent()) {
    if (color_to_ != clNone &&
        (gradient_type_ == gtFullHorizontal || gradient_type_ == gtFullVertical)) {
      FillGradient(Canvas, Color(), color_to_, gradient_type_ == gtFullHorizontal, Client, bands);
    } else {
      Canvas.Brush().SetColor(Color());
      Canvas.Pen().SetColor(Color());
      Canvas.FillRect(Client);
    }
  }
  int line_top = -1;
  if (gradient_type_ == gtBottomLine) line_top = Client.Bottom - 2;
  if (gradient_type_ == gtCenterLine) line_top = Client.Top + Client.Height() / 2;
  if (gradient_type_ == gtTopLine) line_top = Client.Top;
  if (line_top >= 0)
    FillGradient(Canvas, Color(), color_to_, true,
                 Rect(Client.Left, line_top, Client.Right, line_top + 2), bands);
}

void THtmlLabel::PaintFrames(TCanvas& Canvas, TRect Rect) {
  auto bevel = [&](TBevelCut Cut) {
    if (Cut == bvNone) return;
    const bool raised = Cut == bvRaised;
    Frame3D(Canvas, Rect, raised ? clBtnHighlight : clBtnShadow,
            raised ? clBtnShadow : clBtnHighlight, bevel_width_);
  };
  bevel(bevel_outer_);
  if (border_width_ > 0) Frame3D(Canvas, Rect, Color(), Color(), border_width_);
  bevel(bevel_inner_);
  if (border_style_ != bsSingle || border_width_ <= 0 || border_color_ == clNone) return;
  Canvas.Pen().SetColor(border_color_);
  Canvas.Pen().SetWidth(border_width_);
  Canvas.Brush().SetStyle(bsClear);
  const int out_lt = (border_width_ + 1) / 2;
  const int out_rb = border_width_ / 2;
  const TPoint corners[] = {Point(Rect.Left - out_lt, Rect.Top - out_lt),
                            Point(Rect.Right + out_rb, Rect.Top - out_lt),
                            Point(Rect.Right + out_rb, Rect.Bottom + out_rb),
                            Point(Rect.Left - out_lt, Rect.Bottom + out_rb),
                            Point(Rect.Left - out_lt, Rect.Top - out_lt)};
  Canvas.Polyline(corners);
  Canvas.Pen().SetWidth(1);
}

void THtmlLabel::Paint() {
  if (!Caption().empty()) SetCaption("");
  TCanvas& canvas = Canvas();
  const TRect client = ClientRect();
  PaintBackground(canvas, client);
  canvas.Font().Assign(Font());
  PaintFrames(canvas, client);
  TRect area = TextArea();
  canvas.Brush().SetColor(Color());
  if (Transparent()) canvas.Brush().SetStyle(bsClear);
  TVAlignment alignment = v_alignment_;
  if (auto_sizing_) {
    if (GrowsWidth(Align(), auto_size_type_)) area.Right += kUnbounded;
    if (GrowsHeight(Align(), auto_size_type_)) area.Bottom += kUnbounded;
    alignment = tvaTop;
  }
  area.Top = AlignedTop(area, alignment);
  if (auto_sizing_) area.Top += v_alignment_ == tvaCenter ? 3 : v_alignment_ == tvaBottom ? 6 : 0;
  THtmlDrawResult drawn;
  DrawHTML(canvas, GetFullText(), area, mouse_.X, mouse_.Y, hover_link_, false, false, drawn);
}

bool THtmlLabel::HitTest(int X, int Y, std::string& Anchor, int& Link, TRect& LinkRect) {
  TRect area = TextArea();
  area.Top = AlignedTop(area, v_alignment_);
  THtmlDrawResult found;
  found.HoverRect = Rect(-1, -1, -1, -1);
  const TColor url = url_color_;
  url_color_ = clWhite;
  const bool on_link = DrawHTML(Canvas(), GetFullText(), area, X, Y, -1, true, false, found);
  url_color_ = url;
  LinkRect = found.HoverRect;
  Link = on_link ? found.MouseLink : -1;
  if (on_link) Anchor = found.AnchorVal;
  return on_link;
}

void THtmlLabel::UpdateHint(const std::string& Anchor) {
  if (!Anchor.empty()) {
    std::string shown = Anchor;
    if (OnAnchorHint) OnAnchorHint(this, shown);
    SetHint(shown);
    return;
  }
  if (!hint_show_full_) {
    if (AnchorHint) SetHint("");
    return;
  }
  SetHint(html_hint_ ? GetFullText() : HtmlStrip(GetFullText()));
}

void THtmlLabel::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomLabel::MouseMove(Shift, X, Y);
  mouse_ = Point(X, Y);
  std::string anchor;
  int link = -1;
  TRect rect;
  if (HitTest(X, Y, anchor, link, rect)) {
    const bool changed = anchor != anchor_ || link != hover_link_;
    if (Cursor() == crDefault || changed) {
      if (AnchorHint) CancelHint();
      SetCursor(crHandPoint);
      if (OnAnchorEnter) OnAnchorEnter(this, anchor);
    }
    if (hover_ && (changed || rect != hover_rect_)) Invalidate();
    anchor_ = anchor;
    hover_link_ = link;
    hover_rect_ = rect;
    if (AnchorHint) UpdateHint(anchor);
    return;
  }
  hover_link_ = -1;
  if (Cursor() != crHandPoint) return;
  SetCursor(crDefault);
  if (OnAnchorExit) OnAnchorExit(this, "");
  if (hover_) Invalidate();
  hover_rect_ = Rect(-1, -1, -1, -1);
  anchor_.clear();
  if (AnchorHint) UpdateHint("");
}

void THtmlLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomLabel::MouseDown(Button, Shift, X, Y);
  std::string anchor;
  int link = -1;
  TRect rect;
  if (!HitTest(X, Y, anchor, link, rect)) return;
  if (IsDesktopLink(anchor))
    ShellOpen(anchor);
  else if (OnAnchorClick)
    OnAnchorClick(this, anchor);
}

void THtmlLabel::MouseLeave() {
  if (hover_ && hover_link_ != -1) Invalidate();
  hover_link_ = -1;
  mouse_ = Point(-1, -1);
  TCustomLabel::MouseLeave();
}
