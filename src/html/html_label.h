// THtmlLabel: a windowless label whose text is mini-HTML (html_draw.h), with a solid or
// gradient background or gradient line, bevels and a border, vertical alignment, a size
// that follows the text, and links that change the cursor, raise events and open web and
// mail addresses.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "html/html_draw.h"
#include "html/picture_container.h"
#include "platform/gui/standard/label.h"
#include "platform/gui/standard/panel.h"
#include "platform/text/string_list.h"

class TImageList;

enum TAutoSizeType { asVertical, asHorizontal, asBoth };
enum TGradientType { gtFullHorizontal, gtFullVertical, gtBottomLine, gtCenterLine, gtTopLine };
enum TVAlignment { tvaTop, tvaCenter, tvaBottom };

class THtmlLabel : public TCustomLabel {
 public:
  using TAnchorClick = std::function<void(TComponent* Sender, const std::string& Anchor)>;
  using TAnchorHintEvent = std::function<void(TComponent* Sender, std::string& Anchor)>;

  explicit THtmlLabel(TComponent* AOwner);
  ~THtmlLabel() override;

  // The markup; its lines are joined without separators.
  TStringList& HTMLText() { return *html_text_; }
  // Replaces the markup with Value's text, line ends taken out.
  void SetHTMLText(const TStringList* Value);
  std::string GetFullText() const;

  // The label takes the height (asVertical), width (asHorizontal) or both its text
  // needs, whenever the text, font or size change.
  bool AutoSizing() const { return auto_sizing_; }
  void SetAutoSizing(bool Value);
  TAutoSizeType AutoSizeType() const { return auto_size_type_; }
  void SetAutoSizeType(TAutoSizeType Value);
  TVAlignment VAlignment() const { return v_alignment_; }
  void SetVAlignment(TVAlignment Value);
  // No word wrap: lines end at the right edge with "...".
  bool Ellipsis() const { return ellipsis_; }
  void SetEllipsis(bool Value);
  TColor URLColor() const { return url_color_; }
  void SetURLColor(TColor Value);
  // Links are highlighted (HoverColor, HoverFontColor) only under the mouse.
  bool Hover() const { return hover_; }
  void SetHover(bool Value) { Store(hover_, Value); }
  TColor HoverColor() const { return hover_color_; }
  void SetHoverColor(TColor Value) { Store(hover_color_, Value); }
  TColor HoverFontColor() const { return hover_font_color_; }
  void SetHoverFontColor(TColor Value) { Store(hover_font_color_, Value); }
  TColor ShadowColor() const { return shadow_color_; }
  void SetShadowColor(TColor Value) { Store(shadow_color_, Value); }
  int ShadowOffset() const { return shadow_offset_; }
  void SetShadowOffset(int Value) { Store(shadow_offset_, Value); }
  // Gradient end (the start is Color); clNone paints no gradient.
  TColor ColorTo() const { return color_to_; }
  void SetColorTo(TColor Value) { Store(color_to_, Value); }
  TGradientType GradientType() const { return gradient_type_; }
  void SetGradientType(TGradientType Value) { Store(gradient_type_, Value); }
  TBevelCut BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TBevelCut Value);
  int BevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int Value);
  int BorderWidth() const { return border_width_; }
  void SetBorderWidth(int Value);
  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle Value);
  TColor BorderColor() const { return border_color_; }
  void SetBorderColor(TColor Value) { Store(border_color_, Value); }
  int LineWidth() const { return line_width_; }
  void SetLineWidth(int Value) { Store(line_width_, Value); }
  // Not owned; the caller keeps them alive while the label uses them.
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* Value);
  TPictureContainer* PictureContainer() const { return picture_container_; }
  void SetPictureContainer(TPictureContainer* Value);
  // The hint shows the target of the link under the mouse.
  bool AnchorHint = false;
  // The hint shows the whole text: its markup with HTMLHint, else its plain text.
  bool HintShowFull() const { return hint_show_full_; }
  void SetHintShowFull(bool Value);
  bool HTMLHint() const { return html_hint_; }
  void SetHTMLHint(bool Value);
  std::string Version() const;

  TAnchorClick OnAnchorClick;
  TAnchorClick OnAnchorEnter;
  TAnchorClick OnAnchorExit;
  TAnchorHintEvent OnAnchorHint;

  // Width and height of the text as last drawn or measured.
  int TextWidth() const { return text_width_; }
  int TextHeight() const { return text_height_; }

  std::string ClassName() const override { return "THtmlLabel"; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseLeave() override;
  void BoundsChanged(const TRect& OldBounds) override;
  void FontChanged() override;
  // Draws or measures Text through DrawHtmlText with the label's settings, and keeps
  // the text size found.
  virtual bool DrawHTML(TCanvas& Canvas, const std::string& Text, const TRect& Rect, int XPos,
                        int YPos, int HoverLink, bool HitTestOnly, bool MeasureOnly,
                        THtmlDrawResult& Result);

 private:
  template <class T>
  void Store(T& Field, const T& Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  // Where the text goes: the client area inside the bevels and the border.
  TRect TextArea() const;
  // The top of the text for the vertical alignment in Area.
  int AlignedTop(const TRect& Area, TVAlignment Alignment);
  void PaintBackground(TCanvas& Canvas, const TRect& Client);
  void PaintFrames(TCanvas& Canvas, TRect Rect);
  // The link at (X, Y): its target, number and rectangle; false when there is none.
  bool HitTest(int X, int Y, std::string& Anchor, int& Link, TRect& LinkRect);
  // Sets the size the text needs (AutoSizing), before any paint.
  void AdjustSize();
  void TextChanged();
  void UpdateHint(const std::string& Anchor);

  std::unique_ptr<TStringList> html_text_;
  THTMLPictureCache picture_cache_;
  bool auto_sizing_ = false;
  TAutoSizeType auto_size_type_ = asVertical;
  TVAlignment v_alignment_ = tvaTop;
  bool ellipsis_ = false;
  TColor url_color_ = clBlue;
  bool hover_ = false;
  TColor hover_color_ = clNone;
  TColor hover_font_color_ = clNone;
  TColor shadow_color_ = clGray;
  int shadow_offset_ = 2;
  TColor color_to_ = clNone;
  TGradientType gradient_type_ = gtFullHorizontal;
  TBevelCut bevel_inner_ = bvNone;
  TBevelCut bevel_outer_ = bvNone;
  int bevel_width_ = 1;
  int border_width_ = 0;
  TBorderStyle border_style_ = bsNone;
  TColor border_color_ = clBlack;
  int line_width_ = 0;
  TImageList* images_ = nullptr;
  TPictureContainer* picture_container_ = nullptr;
  bool hint_show_full_ = false;
  bool html_hint_ = false;

  std::string anchor_;  // the link last under the mouse
  int hover_link_ = -1;
  TRect hover_rect_ = Rect(-1, -1, -1, -1);
  TPoint mouse_ = Point(-1, -1);
  int text_width_ = 0;
  int text_height_ = 0;
  bool adjusting_ = false;
};
