// The tags of the markup: styles, fonts, links, paragraphs, list items and pictures.
#include "html/html_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "html/gradient_style.h"
#include "html/html_drawing.h"
#include "html/html_text.h"
#include "html/picture_container.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/graphics/rotated_text.h"
#include "platform/gui/graphics/text_runs.h"
#include "platform/text/ascii.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"

namespace html_render {
namespace {

constexpr int kListIndent = 12;
constexpr int kBackgroundBands = 64;
constexpr int kScreenDpi = 96;

// Sizes of markup are given for a 96 dpi screen.
int Scaled(int Value) {
  return int(std::int64_t(Value) * kScreenPixelsPerInch / kScreenDpi);
}

bool IsWholeNumber(const std::string& S) {
  if (S.empty()) return false;
  size_t n = S[0] == '-' ? 1 : 0;
  if (n == S.size()) return false;
  for (; n < S.size(); ++n)
    if (!IsAsciiDigit(S[n])) return false;
  return true;
}

}  // namespace

void TRenderer::SetStyle(TFontStyles Style, bool On) {
  const TFontStyles now = canvas_.Font().Style();
  canvas_.Font().SetStyle(On ? (now | Style) : (now & ~Style));
}

void TRenderer::Tag(const TTag& Tag, TPass& Pass) {
  const char second = Tag.Letter(2);
  switch (Tag.Letter(1)) {
    case '/':
      ClosingTag(Tag, Pass);
      break;
    case 'A':
      OpenLink(Tag, Pass);
      break;
    case 'B':
      TagOfB(Tag, Pass);
      break;
    case 'E':
      flow_.error_underline = true;
      break;
    case 'F':
      Font(Tag, Pass);
      break;
    case 'H':
      if (second == 'I') {
        Highlight(Pass);
      } else if (second == 'R') {
        HorizontalRule(Pass);
      }
      break;
    case 'I':
      TagOfI(Tag, Pass);
      break;
    case 'L':
      ListItem(Pass);
      break;
    case 'O':
      if (second == 'F') Offset(Tag, Pass);
      break;
    case 'P':
      Paragraph(Tag, Pass);
      break;
    case 'R': {
      const size_t a = Tag.upper.find('A', 2);
      flow_.angle = a == std::string::npos ? 0 : HtmlIntValue(QuotedAfter(Tag.text, a));
      break;
    }
    case 'S':
      TagOfS(Tag);
      break;
    case 'U':
      if (second == '>') {
        SetStyle(fsUnderline, true);
      } else {
        ++flow_.list_level;
        Pass.end_of_line = true;
      }
      break;
    case 'Z':
      flow_.hidden = true;
      break;
    default:
      break;
  }
}

// <B>, <BLINK>, <BODY>, <BR>.
void TRenderer::TagOfB(const TTag& Tag, TPass& Pass) {
  const char second = Tag.Letter(2);
  if (second == '>') {
    SetStyle(fsBold, true);
  } else if (second == 'L') {
    if (Pass.drawing && !p_.Blink) {
      if (entry_brush_ != clNone)
        canvas_.Font().SetColor(entry_brush_);
      else
        flow_.blink_off = true;
    }
  } else if (second == 'O') {
    if (Pass.drawing && !p_.Selected) Body(Tag, Pass);
  } else if (second == 'R') {
    r_.StripVal += '\r';
    Pass.end_of_line = true;
  }
}

// <I>, <IMG>, <IND x="...">.
void TRenderer::TagOfI(const TTag& Tag, TPass& Pass) {
  const char second = Tag.Letter(2);
  if (second == '>') {
    SetStyle(fsItalic, true);
  } else if (second == 'M') {
    Image(Tag, Pass);
  } else if (second == 'N') {
    const std::string value = QuotedAfter(Tag.text, Tag.upper.find('X', 3));
    if (!IsWholeNumber(value)) return;
    const int x = HtmlIntValue(value);
    TLine& line = Pass.line;
    if (line.width < x) {
      line.width = x;
      Pass.pen_x = line.rect.Left + x;
    }
  }
}

// <S>, <SHAD>, <SUB>, <SUP>.
void TRenderer::TagOfS(const TTag& Tag) {
  const char second = Tag.Letter(2);
  if (second == '>')
    SetStyle(fsStrikeOut, true);
  else if (second == 'H')
    flow_.shadow = true;
  else if (Tag.upper.starts_with("<SUB>"))
    flow_.subscript = true;
  else if (Tag.upper.starts_with("<SUP>"))
    flow_.superscript = true;
}

void TRenderer::Highlight(TPass& Pass) {
  if (!Pass.drawing) return;
  hi_font_ = canvas_.Font().Color();
  hi_brush_ = BrushColor();
  canvas_.Brush().SetColor(clHighlight);
  canvas_.Font().SetColor(clHighlightText);
}

void TRenderer::HorizontalRule(TPass& Pass) {
  Pass.end_of_line = true;
  if (!Pass.drawing) return;
  const TLine& line = Pass.line;
  canvas_.Pen().SetColor(clBlack);
  canvas_.Pen().SetStyle(psSolid);
  canvas_.Pen().SetWidth(1);
  canvas_.MoveTo(line.rect.Left, line.rect.Bottom);
  canvas_.LineTo(line.rect.Right, line.rect.Bottom);
}

// <OFS x="...">: the text goes on at that offset from the line's left.
void TRenderer::Offset(const TTag& Tag, TPass& Pass) {
  const size_t x = Tag.upper.find('X', 3);
  flow_.of_offset = x == std::string::npos ? 0 : HtmlIntValue(QuotedAfter(Tag.text, x));
  Pass.line.width = flow_.of_offset;
  Pass.pen_x = Pass.line.rect.Left + flow_.of_offset;
}

void TRenderer::ClosingTag(const TTag& Tag, TPass& Pass) {
  const char third = Tag.Letter(3);
  switch (Tag.Letter(2)) {
    case 'A':
      CloseLink(Pass);
      break;
    case 'B':
      if (third == '>') {
        SetStyle(fsBold, false);
      } else {
        if (Pass.drawing) canvas_.Font().SetColor(base_font_.Color());
        flow_.blink_off = false;
      }
      break;
    case 'E':
      flow_.error_underline = false;
      break;
    case 'F':
      canvas_.Font().SetName(base_font_.Name());
      canvas_.Font().SetHeight(base_font_.Height());
      if (Pass.drawing && !p_.Selected) {
        canvas_.Font().SetColor(base_font_.Color());
        RestoreBrush(font_brush_);
      }
      break;
    case 'H':
      if (Pass.drawing) {
        canvas_.Font().SetColor(hi_font_);
        RestoreBrush(hi_brush_);
      }
      break;
    case 'I':
      SetStyle(fsItalic, false);
      break;
    case 'L':
      Pass.end_of_line = true;
      break;
    case 'O':
      flow_.of_offset = 0;
      break;
    case 'P':
      Pass.end_of_line = true;
      if (Pass.drawing) {
        RestoreBrush(para_brush_);
        flow_.para_background = false;
        flow_.para_gradient_to = clNone;
      }
      break;
    case 'R':
      flow_.angle = 0;
      break;
    case 'S':
      if (third == 'H') {
        flow_.shadow = false;
      } else if (third == 'U') {
        flow_.subscript = flow_.superscript = false;
      } else {
        SetStyle(fsStrikeOut, false);
      }
      break;
    case 'U':
      if (third == '>' || flow_.list_level == 0)
        SetStyle(fsUnderline, false);
      else
        --flow_.list_level;
      break;
    case 'Z':
      flow_.hidden = false;
      break;
    default:
      break;
  }
}

void TRenderer::OpenLink(const TTag& Tag, TPass& Pass) {
  TLine& line = Pass.line;
  if (Pass.drawing && p_.FocusLink == flow_.hyper_links)
    flow_.focus_start = Point(Pass.pen_x, line.rect.Top);
  ++flow_.hyper_links;
  if (Pass.drawing) {
    if (IsLinkStyled()) {
      SetStyle(fsUnderline, true);
      if (p_.HoverColor != clNone) {
        link_brush_ = BrushColor();
        canvas_.Brush().SetColor(p_.HoverColor);
      }
      if (p_.HoverFontColor != clNone) {
        link_font_ = canvas_.Font().Color();
        canvas_.Font().SetColor(p_.HoverFontColor);
      }
    }
    const bool hovered_colour =
        p_.HoverFontColor != clNone && p_.HoverOnly && flow_.hyper_links == p_.HoverLink;
    if (!p_.Selected && !hovered_colour) canvas_.Font().SetColor(p_.URLColor);
  }
  flow_.target = QuotedAfter(Tag.text, 0);
  flow_.in_link = true;
  flow_.link_hit = false;
  flow_.link_start = Point(line.rect.Left + line.width, line.rect.Top);
  flow_.link_line = line_no_;
}

void TRenderer::CloseLink(TPass& Pass) {
  TLine& line = Pass.line;
  if (Pass.drawing) {
    if (IsLinkStyled()) {
      SetStyle(fsUnderline, false);
      if (p_.HoverColor != clNone) RestoreBrush(link_brush_);
      if (p_.HoverFontColor != clNone) canvas_.Font().SetColor(link_font_);
    }
    if (!p_.Selected) canvas_.Font().SetColor(base_font_.Color());
  }
  flow_.in_link = false;
  if (flow_.link_hit) {
    r_.HoverRect =
        Rect(flow_.link_line == line_no_ ? flow_.link_start.X : line.rect.Left, line.rect.Top,
             line.rect.Left + line.width, line.rect.Bottom - line.subscript);
    r_.MouseLink = flow_.hyper_links;
    flow_.link_hit = false;
  }
  if (Pass.drawing && flow_.hyper_links - 1 == p_.FocusLink) {
    const int bottom = Pass.text_bottom - line.image_offset;
    canvas_.DrawFocusRect(
        Rect(flow_.focus_start.X - 1, bottom - TextHeightGh(), Pass.pen_x + 1, bottom));
  }
}

void TRenderer::Font(const TTag& Tag, TPass& Pass) {
  if (Tag.Has("FACE")) canvas_.Font().SetName(Tag.Value("FACE"));
  if (Tag.Has(" COLOR") && !p_.Selected) canvas_.Font().SetColor(HtmlColor(Tag.Value(" COLOR")));
  if (Tag.PlainColorPos("BGCOLOR") != std::string::npos && Pass.drawing && !p_.Selected) {
    font_brush_ = BrushColor();
    canvas_.Brush().SetColor(HtmlColor(Tag.PlainColorValue("BGCOLOR")));
  }
  if (Tag.Has("SIZE")) {
    static constexpr int kPoints[] = {8, 10, 12, 14, 16};
    const std::string value = Tag.Value("SIZE");
    const int size = HtmlIntValue(value);
    canvas_.Font().SetSize(size >= 1 && size <= 5 ? kPoints[size - 1] : size);
  }
}

void TRenderer::Paragraph(const TTag& Tag, TPass& Pass) {
  const TLine& line = Pass.line;
  if (Tag.Has("ALIGN")) {
    const std::string align = UpperCase(Tag.Value("ALIGN"));
    if (align.find("RIGHT") != std::string::npos) flow_.alignment = laRight;
    if (align.find("LEFT") != std::string::npos) flow_.alignment = laLeft;
    if (align.find("CENTER") != std::string::npos) flow_.alignment = laCenter;
  }
  if (Tag.Has("INDENT")) flow_.indent = HtmlIntValue(Tag.Value("INDENT"));
  if (!Pass.drawing || Tag.PlainColorPos("BGCOLOR") == std::string::npos) return;
  const TColor from = HtmlColor(Tag.PlainColorValue("BGCOLOR"));
  flow_.para_background = true;
  para_brush_ = BrushColor();
  if (Tag.Has("BGCOLORTO")) {
    flow_.para_gradient_from = from;
    flow_.para_gradient_to = HtmlColor(Tag.Value("BGCOLORTO"));
    FillGradientKeepingBrush(from, flow_.para_gradient_to, true,
                             Rect(area_.Left, line.rect.Top, area_.Right, line.rect.Bottom + 2));
    return;
  }
  canvas_.Brush().SetColor(from);
  canvas_.FillRect(Rect(area_.Left, line.rect.Top, area_.Right, line.rect.Bottom));
}

void TRenderer::FillGradientKeepingBrush(TColor From, TColor To, bool Horizontal,
                                         const TRect& Rect) {
  const TColor brush = BrushColor();
  FillGradient(canvas_, From, To, Horizontal, Rect, kBackgroundBands);
  RestoreBrush(brush);
}

void TRenderer::Body(const TTag& Tag, TPass& Pass) {
  if (Tag.Has("BACKGROUND")) TileBackground(Tag.Value("BACKGROUND"), Pass);
  if (Tag.Has("BGTOPLEFT")) DrawSourceOnce(Tag.Value("BGTOPLEFT"), false, Pass);
  if (Tag.Has("BGTOPRIGHT")) DrawSourceOnce(Tag.Value("BGTOPRIGHT"), true, Pass);
  if (Tag.PlainColorPos("BGCOLOR") == std::string::npos) return;
  const TColor from = HtmlColor(Tag.PlainColorValue("BGCOLOR"));
  if (Tag.Has("BGCOLORTO")) {
    const std::string direction = UpperCase(Tag.Value("DIR"));
    FillGradientKeepingBrush(from, HtmlColor(Tag.Value("BGCOLORTO")),
                             direction.empty() || direction == "H", area_);
    return;
  }
  font_brush_ = BrushColor();
  canvas_.Brush().SetColor(from);
  canvas_.Pen().SetColor(from);
  canvas_.FillRect(Rect(area_.Left - 2, area_.Top, area_.Right, area_.Bottom));
}

bool TRenderer::DrawIconSource(const std::string& Source, int X, int Y, TSize& Size, bool Draw) {
  const std::string upper = UpperCase(Source);
  if (upper.starts_with("IDX:")) {
    const std::string number = Source.substr(4);
    const int index = IsWholeNumber(number) ? HtmlIntValue(number) : -1;
    if (!p_.Images || index < 0 || index >= p_.Images->Count()) return false;
    Size = {p_.Images->Width(), p_.Images->Height()};
    if (!Draw) return true;
    if (p_.Print) {
      TBitmap image;
      p_.Images->GetBitmap(index, image);
      StretchBitmap(canvas_,
                    Bounds(X, Y, int(std::nearbyint(Size.cx * p_.ResFactor)),
                           int(std::nearbyint(Size.cy * p_.ResFactor))),
                    image);
    } else {
      p_.Images->Draw(canvas_, X, Y, index);
    }
    return true;
  }
  if (upper.starts_with("SSYS:") || upper.starts_with("LSYS:")) {
    DrawSystemIcon(canvas_, X, Y, Size, p_.ResFactor, p_.Print, Draw, upper[0] == 'L',
                   Source.substr(5));
    return true;
  }
  return false;
}

THTMLPicture* TRenderer::FindPicture(const std::string& Source) {
  if (Source.find(':') == std::string::npos)
    return p_.PictureContainer ? p_.PictureContainer->FindPicture(Source) : nullptr;
  if (Source.find("://") == std::string::npos || !p_.PictureCache) return nullptr;
  if (THTMLPicture* cached = p_.PictureCache->FindPicture(Source)) return cached;
  THTMLPicture& added = p_.PictureCache->AddPicture();
  added.LoadInBackground = false;
  try {
    added.LoadFromURL(Source);
  } catch (const Exception&) {
    // A file that is missing or not a picture stays in the cache as an empty picture,
    // so it is not read again at every paint; it draws nothing.
  }
  return p_.PictureCache->FindPicture(Source);
}

void TRenderer::DrawPictureClipped(THTMLPicture& Picture, int X, int Y, const TRect& Clip) {
  const TRect tile = Bounds(X, Y, Picture.Width(), Picture.Height());
  if (tile.Left >= Clip.Left && tile.Top >= Clip.Top && tile.Right <= Clip.Right &&
      tile.Bottom <= Clip.Bottom) {
    Picture.Draw(canvas_, tile);
    return;
  }
  const TRect shown = Rect(std::max(tile.Left, Clip.Left), std::max(tile.Top, Clip.Top),
                           std::min(tile.Right, Clip.Right), std::min(tile.Bottom, Clip.Bottom));
  if (shown.Width() <= 0 || shown.Height() <= 0) return;
  TBitmap part;
  part.SetSize(tile.Width(), tile.Height());
  part.Canvas().Brush().SetColor(entry_brush_ == clNone ? clWhite : entry_brush_);
  part.Canvas().FillRect(Rect(0, 0, tile.Width(), tile.Height()));
  Picture.Draw(part.Canvas(), Rect(0, 0, tile.Width(), tile.Height()));
  canvas_.CopyRect(shown, part.Canvas(),
                   Rect(shown.Left - X, shown.Top - Y, shown.Right - X, shown.Bottom - Y));
}

void TRenderer::TileBackground(const std::string& Source, TPass& Pass) {
  TSize size;
  if (DrawIconSource(Source, Pass.pen_x, Pass.line.rect.Top, size, true)) return;
  THTMLPicture* picture = FindPicture(Source);
  if (!picture || picture->IsEmpty() || picture->Width() <= 0 || picture->Height() <= 0) return;
  for (int y = area_.Top; y < area_.Bottom; y += picture->Height())
    for (int x = area_.Left; x < area_.Right; x += picture->Width())
      DrawPictureClipped(*picture, x, y, area_);
}

void TRenderer::DrawSourceOnce(const std::string& Source, bool AtRight, TPass& Pass) {
  TSize size;
  const int icon_x =
      AtRight ? Pass.line.rect.Right - (p_.Images ? p_.Images->Width() : 0) : Pass.pen_x;
  if (DrawIconSource(Source, icon_x, Pass.line.rect.Top, size, true)) return;
  THTMLPicture* picture = FindPicture(Source);
  if (!picture || picture->IsEmpty() || picture->Width() <= 0) return;
  const int x = AtRight ? area_.Right - picture->Width() : area_.Left;
  DrawPictureClipped(*picture, x, area_.Top, area_);
}

void TRenderer::Image(const TTag& Tag, TPass& Pass) {
  TLine& line = Pass.line;
  ++flow_.image_no;
  std::string source = Tag.Value("SRC");
  if (Tag.Has("ALT") && flow_.image_no == image_hit_) source = Tag.Value("ALT");
  const int width = HtmlIntValue(Tag.Value("WIDTH"));
  const int height = HtmlIntValue(Tag.Value("HEIGHT"));
  const bool sized = width >= 1 && height >= 1;
  const int top = line.rect.Top;
  TSize size;
  if (!DrawIconSource(source, Pass.pen_x, top, size, Pass.drawing)) {
    THTMLPicture* picture = FindPicture(source);
    if (picture && !picture->IsEmpty()) {
      picture->FrameCount();
      size = sized ? TSize{Scaled(width), Scaled(height)}
                   : TSize{Scaled(picture->MaxWidth()), Scaled(picture->MaxHeight())};
      if (Pass.drawing) {
        if (sized) {
          picture->Stretch = true;
          picture->Draw(canvas_, Bounds(Pass.pen_x, top, size.cx, size.cy));
        } else {
          picture->Draw(canvas_,
                        Bounds(Pass.pen_x + picture->FrameLeft(), top + picture->FrameTop(),
                               picture->Width(), picture->Height()));
        }
      }
    }
  }
  // The measuring pass already notes a linked image under the point, so that the drawing
  // pass shows its ALT picture.
  if ((Pass.first || Pass.hit_testing) && flow_.in_link) {
    const int x = p_.XPos - line.rect.Left;
    if (x >= line.width && x < line.width + size.cx && p_.YPos >= top && p_.YPos < top + size.cy) {
      image_hit_ = flow_.image_no;
      if (Pass.hit_testing) {
        r_.AnchorVal = flow_.target;
        Pass.image_hit = true;
      }
    }
  }
  if (Pass.first && line.width + size.cx > line.rect.Width() && line.rect.Width() > size.cx) {
    --flow_.image_no;  // it comes again at the start of the next line
    Pass.stop = true;
    return;
  }
  line.width += size.cx;
  Pass.pen_x += size.cx;
  if (!Pass.first) return;
  line.height = std::max(line.height, size.cy);
  const size_t align = Tag.upper.find("ALIGN\"");
  const size_t align_eq = Tag.upper.find("ALIGN=\"");
  const size_t value = align != std::string::npos      ? align + 6
                       : align_eq != std::string::npos ? align_eq + 7
                                                       : std::string::npos;
  if (value != std::string::npos) {
    const int gh = TextHeightGh();
    if (Tag.upper.compare(value, 6, "MIDDLE") == 0) line.image_offset = (line.height - gh) / 2;
    if (Tag.upper.compare(value, 3, "TOP") == 0) line.image_offset = line.height - gh;
  }
  if (Tag.Has("WRAP")) {
    line.height = TextHeightGh();
    line.image_offset = 0;
  }
}

void TRenderer::ListItem(TPass& Pass) {
  if (Pass.item_seen && Pass.first) {
    Pass.stop = true;  // every item starts a line
    return;
  }
  Pass.item_seen = true;
  TLine& line = Pass.line;
  line.width += flow_.list_level * kListIndent;
  Pass.pen_x += (flow_.list_level - 1) * kListIndent;
  if (Pass.drawing && !flow_.hidden) {
    // The bullet of odd levels is the round bullet, of even levels an "o".
    const std::string bullet = flow_.list_level % 2 == 1 ? "\x95" : "o";
    runs_.Draw(bullet, Pass.pen_x, Pass.text_bottom - line.image_offset, 0);
  }
  Pass.pen_x += kListIndent;
}

}  // namespace html_render
