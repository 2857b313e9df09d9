#include "html/html_draw.h"

#include <algorithm>
#include <cmath>
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

namespace {

constexpr int kListIndent = 12;
constexpr int kBackgroundBands = 64;
constexpr int kScreenDpi = 96;

enum TLineAlign { laLeft = 0, laRight = 1, laCenter = 2 };

// Sizes of markup are given for a 96 dpi screen.
int Scaled(int Value) {
  return Value * kScreenPixelsPerInch / kScreenDpi;
}

// The text between the first pair of double quotes at or after From.
std::string QuotedAfter(const std::string& Tag, size_t From) {
  const size_t open = Tag.find('"', From);
  if (open == std::string::npos) return "";
  const size_t close = Tag.find('"', open + 1);
  if (close == std::string::npos) return "";
  return Tag.substr(open + 1, close - open - 1);
}

// An attribute of a tag: its name is found in the upper-cased tag, its value (the first
// quoted text after the name) is read from the tag as written, so that picture names,
// file names and link targets keep their case.
struct TTag {
  std::string text;   // "<...>" as written
  std::string upper;  // the same upper-cased

  bool Has(std::string_view Name) const { return upper.find(Name) != std::string::npos; }
  std::string Value(std::string_view Name) const {
    const size_t at = upper.find(Name);
    return at == std::string::npos ? "" : QuotedAfter(text, at + Name.size());
  }
  // "BGCOLOR" alone, not the start of "BGCOLORTO".
  size_t PlainColorPos(std::string_view Name) const {
    for (size_t at = upper.find(Name); at != std::string::npos; at = upper.find(Name, at + 1))
      if (upper.compare(at + Name.size(), 2, "TO") != 0) return at;
    return std::string::npos;
  }
  std::string PlainColorValue(std::string_view Name) const {
    const size_t at = PlainColorPos(Name);
    return at == std::string::npos ? "" : QuotedAfter(text, at + Name.size());
  }
  char Letter(size_t Index) const { return Index < upper.size() ? upper[Index] : '\0'; }
};

bool IsWholeNumber(const std::string& S) {
  if (S.empty()) return false;
  size_t n = S[0] == '-' ? 1 : 0;
  if (n == S.size()) return false;
  for (; n < S.size(); ++n)
    if (!IsAsciiDigit(S[n])) return false;
  return true;
}

// Runs of text draw as the platform's single-line text: "&&" shows one '&' and "&x"
// underlines x, unless the whole text contains " & ".
class TRunText {
  static constexpr std::size_t kRememberedWidths = 16384;
  static std::unordered_map<std::string, int>& Widths() {
    static std::unordered_map<std::string, int> widths;
    return widths;
  }

 public:
  TRunText(TCanvas& Canvas, bool NoPrefix) : canvas_(Canvas), no_prefix_(NoPrefix) {}

  // Controls draw the same markup again and again, so run widths are remembered
  // program-wide, by font and text.
  int Width(std::string_view Run) const {
    const TFont& font = canvas_.Font();
    key_.assign(font.Name());
    key_ += char(font.Style());
    key_ += std::to_string(font.Height());
    key_ += no_prefix_ ? '\1' : '\2';
    key_ += Run;
    auto& widths = Widths();
    if (auto found = widths.find(key_); found != widths.end()) return found->second;
    const std::string run(Run);
    int width;
    if (no_prefix_ || Run.find('&') == std::string_view::npos) {
      width = canvas_.TextWidth(run);
    } else {
      TRect r = Rect(0, 0, 0, 0);
      canvas_.TextRect(r, run, Format() | tfCalcRect);
      width = r.Width();
    }
    if (widths.size() >= kRememberedWidths) widths.clear();
    widths.emplace(key_, width);
    return width;
  }

  // What of Run shows from X: with RightEdge >= 0 a run passing it is cut and ended with
  // "...", or shows nothing when not even that fits; Cut tells that it passed the edge.
  std::string Shown(const std::string& Run, int X, int RightEdge, bool& Cut) const {
    Cut = RightEdge >= 0 && X + Width(Run) > RightEdge;
    return Cut ? Ellipsized(Run, RightEdge - X) : Run;
  }

  // Shown text with its bottom at Bottom from X, over the background already there.
  void Draw(const std::string& Shown, int X, int Bottom, int AngleTenths) {
    if (Shown.empty()) return;
    const int height = canvas_.TextHeight(Shown);
    if (AngleTenths != 0) {
      DrawRotatedText(canvas_, X, Bottom - height, Shown, AngleTenths);
      return;
    }
    if (no_prefix_ || Shown.find('&') == std::string::npos) {
      DrawTextRun(canvas_, X, Bottom - height, Shown);
      return;
    }
    TRect r = Rect(X, Bottom - height, X + Width(Shown), Bottom);
    canvas_.TextRect(r, Shown, Format());
  }

 private:
  TTextFormat Format() const { return tfSingleLine | (no_prefix_ ? unsigned(tfNoPrefix) : 0u); }

  std::string Ellipsized(const std::string& Run, int Room) const {
    std::string cut = Run;
    while (!cut.empty() && Width(cut + "...") > Room) cut.pop_back();
    return cut.empty() && Width("...") > Room ? std::string() : cut + "...";
  }

  TCanvas& canvas_;
  bool no_prefix_;
  mutable std::string key_;  // kept, so that looking a width up allocates nothing
};

// The state that runs on from line to line. Each line's second pass starts again from
// what its first pass started with.
struct TFlow {
  bool in_link = false;
  std::string target;
  bool link_hit = false;  // the point lies on the open link
  TPoint link_start;
  int link_line = -1;
  TPoint focus_start;
  bool shadow = false;
  bool subscript = false;
  bool superscript = false;
  bool hidden = false;
  bool error_underline = false;
  bool para_background = false;
  int list_level = 0;
  int image_no = 0;
  int hyper_links = 0;
  int of_offset = 0;
  int alignment = laLeft;
  int indent = 0;
  int angle = 0;           // degrees of rotated text, 0 upright
  bool blink_off = false;  // blinking text in its off phase on no background: not painted
};

// One line as the measuring pass found it.
struct TLine {
  TRect rect;
  int width = 0;
  int height = 0;
  int superscript = 0;
  int subscript = 0;
  int image_offset = 0;
};

class TRenderer {
 public:
  TRenderer(TCanvas& Canvas, const THtmlDrawParams& Params, THtmlDrawResult& Result, bool NoPrefix)
      : canvas_(Canvas), p_(Params), r_(Result), runs_(Canvas, NoPrefix) {
    base_font_.Assign(Canvas.Font());
    entry_brush_ = Canvas.Brush().Style() == bsClear ? clNone : Canvas.Brush().Color();
  }

  bool Run(std::string_view Text, const TRect& Area);

 private:
  struct TPass {
    TPass(bool First, bool Drawing, bool HitTesting, TLine& Line)
        : first(First), drawing(Drawing), hit_testing(HitTesting), line(Line) {}
    bool first;        // the measuring pass, which decides where the line ends
    bool drawing;      // paints
    bool hit_testing;  // looks for the point
    TLine& line;
    int pen_x = 0;
    int text_bottom = 0;
    bool end_of_line = false;
    bool stop = false;  // the item at the front belongs to the next line
    bool item_seen = false;
    bool placed_text = false;  // a text run is on the line
    char last_char = '\0';     // the last character of text on the line
    std::string pending;       // drawn text not yet painted, from pending_x
    int pending_x = 0;
    bool text_hit = false;
    bool image_hit = false;
    bool cut = false;  // the text reached the right edge and ended in "..."
  };

  // Consumes one line's markup from the front of Source.
  void LinePass(std::string_view& Source, TPass& Pass);
  enum class TRunEnd { Hidden, Consumed, NextLine };
  TRunEnd TextRun(std::string_view& Source, std::string_view Run, TPass& Pass);
  // Adds a run to the text waiting to be drawn at the pen.
  void DrawRun(std::string_view Shown, int Width, TPass& Pass);
  // Draws the waiting text; before every tag and at the line's end.
  void FlushRuns(TPass& Pass);
  void Tag(const TTag& Tag, TPass& Pass);
  void ClosingTag(const TTag& Tag, TPass& Pass);
  void OpenLink(const TTag& Tag, TPass& Pass);
  void CloseLink(TPass& Pass);
  void Font(const TTag& Tag, TPass& Pass);
  void Paragraph(const TTag& Tag, TPass& Pass);
  void Body(const TTag& Tag, TPass& Pass);
  void SetStyle(TFontStyles Style, bool On);
  // An "IDX:" image or a file icon: Size becomes its size, drawn at (X, Y) when Draw.
  // False for any other source.
  bool DrawIconSource(const std::string& Source, int X, int Y, TSize& Size, bool Draw);
  void Image(const TTag& Tag, TPass& Pass);
  void ListItem(TPass& Pass);
  // The picture of a container name or a "://" source, or null.
  THTMLPicture* FindPicture(const std::string& Source);
  // A picture once at the area's top-left or top-right corner; "IDX:" images and file
  // icons at the pen (or the line's right edge).
  void DrawSourceOnce(const std::string& Source, bool AtRight, TPass& Pass);
  void TileBackground(const std::string& Source, TPass& Pass);
  void DrawPictureClipped(THTMLPicture& Picture, int X, int Y, const TRect& Clip);
  bool IsLinkStyled() const { return !(p_.HoverOnly && flow_.hyper_links != p_.HoverLink); }
  void RestoreBrush(TColor Saved) {
    if (Saved == clNone)
      canvas_.Brush().SetStyle(bsClear);
    else
      canvas_.Brush().SetColor(Saved);
  }
  TColor BrushColor() const {
    return canvas_.Brush().Style() == bsClear ? clNone : canvas_.Brush().Color();
  }
  int TextHeightGh() const {
    static const std::string gh = "gh";
    return canvas_.TextHeight(gh);
  }

  TCanvas& canvas_;
  const THtmlDrawParams& p_;
  THtmlDrawResult& r_;
  TRunText runs_;
  TFont base_font_;
  TColor entry_brush_;
  TFlow flow_;
  TRect area_;
  int line_no_ = 0;
  int image_hit_ = -1;
  // Colours to come back to at the closing tags.
  TColor link_brush_ = clNone;
  TColor link_font_ = clNone;
  TColor font_brush_ = clNone;
  TColor hi_brush_ = clNone;
  TColor hi_font_ = clNone;
  TColor para_brush_ = clNone;
};

bool TRenderer::Run(std::string_view Text, const TRect& Area) {
  area_ = Area;
  TFont measure_font, draw_font;
  measure_font.Assign(canvas_.Font());
  draw_font.Assign(canvas_.Font());
  bool on_link = false;
  int y = Area.Top;
  while (!Text.empty()) {
    canvas_.Font().Assign(measure_font);
    const TFlow start = flow_;
    TLine line;
    line.height = TextHeightGh();
    const int min_step = line.height;
    line.rect = Rect(Area.Left + 1, y, Area.Right, Area.Bottom);
    TPass measure{true, false, p_.MeasureOnly, line};
    measure.text_bottom = line.rect.Bottom;
    const std::string_view line_start = Text;
    LinePass(Text, measure);
    // What the measuring pass took is the line's markup.
    std::string_view markup = line_start.substr(0, line_start.size() - Text.size());
    measure_font.Assign(canvas_.Font());
    if (p_.MeasureOnly && measure.image_hit) on_link = true;
    line.height += p_.LineSpacing;

    TRect drawn = line.rect;
    const int room = drawn.Right - drawn.Left - line.width;
    if (flow_.alignment == laRight && drawn.Right - line.width > drawn.Left) {
      drawn.Left = drawn.Right - line.width;
    } else if (flow_.alignment == laCenter && room > 0) {
      drawn.Left += room / 2;
    }
    drawn.Left += flow_.indent;
    drawn.Right = drawn.Left + line.rect.Width();
    drawn.Bottom = drawn.Top + line.height + line.subscript + line.superscript;

    if (!p_.MeasureOnly) {
      const TFlow after_measure = flow_;
      flow_ = start;
      // Alignment and indent of this line are what the measuring pass found.
      flow_.alignment = after_measure.alignment;
      flow_.indent = after_measure.indent;
      canvas_.Font().Assign(draw_font);
      TLine shown = line;
      shown.rect = drawn;
      TPass second{false, !p_.HitTestOnly, true, shown};
      second.text_bottom = drawn.Bottom - line.subscript;
      LinePass(markup, second);
      draw_font.Assign(canvas_.Font());
      const int gh = TextHeightGh();
      const int bottom = drawn.Bottom - line.image_offset;
      if (second.text_hit && p_.YPos > bottom - gh && p_.YPos < bottom) on_link = true;
      if (second.image_hit) on_link = true;
    } else if (measure.text_hit) {
      on_link = true;
    }
    ++line_no_;
    const int step = line.height + line.subscript + line.superscript;
    y += step;
    r_.YSize += step;
    if (y + min_step > Area.Bottom && !p_.MeasureOnly) break;
  }
  canvas_.Font().Assign(base_font_);
  if (r_.YSize == 0) r_.YSize = TextHeightGh();
  r_.HyperLinks = flow_.hyper_links;
  return on_link;
}

void TRenderer::LinePass(std::string_view& Source, TPass& Pass) {
  TLine& line = Pass.line;
  Pass.pen_x = line.rect.Left + flow_.of_offset;
  if (Pass.drawing && flow_.para_background)
    canvas_.FillRect(Rect(area_.Left, line.rect.Top, area_.Right, line.rect.Top + line.height));
  line.width = 0;
  int trailing = 0;
  while (!Source.empty() && !Pass.end_of_line && !Pass.stop) {
    const size_t lt = Source.find('<');
    size_t run_end = lt == std::string_view::npos ? Source.size() : lt;
    if (p_.WordWrap) {
      const size_t blank = Source.find(' ');
      if (blank != std::string_view::npos && blank < run_end) run_end = blank + 1;
    }
    if (run_end > 0) {
      const std::string_view run = Source.substr(0, run_end);
      switch (TextRun(Source, run, Pass)) {
        case TRunEnd::Hidden:
          break;
        case TRunEnd::Consumed:
          trailing = run.back() == ' ' ? runs_.Width(" ") : 0;
          break;
        case TRunEnd::NextLine:
          continue;
      }
    }
    if (Source.empty() || Source[0] != '<') continue;
    const size_t close = Source.find('>');
    if (Source.size() < 3 || close == std::string_view::npos) {
      Source = {};  // an unfinished tag ends the text
      break;
    }
    const std::string text(Source.substr(0, close + 1));
    FlushRuns(Pass);
    Tag(TTag{text, UpperCase(text)}, Pass);
    if (Pass.stop) break;
    Source.remove_prefix(close + 1);
  }
  FlushRuns(Pass);
  line.width -= trailing;
  r_.XSize = std::max(r_.XSize, line.width + 2);
  if (Pass.drawing && flow_.in_link && flow_.hyper_links - 1 == p_.FocusLink) {
    const int bottom = Pass.text_bottom - line.image_offset;
    canvas_.DrawFocusRect(
        Rect(flow_.focus_start.X - 1, bottom - TextHeightGh(), Pass.pen_x + 1, bottom));
    flow_.focus_start = Point(line.rect.Left + 1, 0);
  }
}

TRenderer::TRunEnd TRenderer::TextRun(std::string_view& Source, std::string_view Run, TPass& Pass) {
  TLine& line = Pass.line;
  std::string decoded;
  std::string_view shown = Run;
  if (Run.find('&') != std::string_view::npos) {
    decoded = DecodeRunEntities(std::string(Run));
    shown = decoded;
  }
  r_.StripVal += shown;
  if (flow_.hidden) {
    Source.remove_prefix(Run.size());
    return TRunEnd::Hidden;
  }
  if (Pass.first) {
    const int height = TextHeightGh();  // a line of the font, whatever its text
    if (flow_.subscript) line.subscript = std::max(line.subscript, height / 4);
    if (flow_.superscript) line.superscript = std::max(line.superscript, height / 4);
    line.height = std::max(line.height, height);
  }
  const int width = runs_.Width(shown);
  const int before = line.width;
  line.width += width;
  if (Pass.hit_testing && flow_.in_link) {
    const int x = p_.XPos - line.rect.Left;
    if (x >= before && x <= line.width) {
      Pass.text_hit = true;
      if (p_.YPos > line.rect.Top) {
        r_.AnchorVal = flow_.target;
        flow_.link_hit = true;
      }
    }
  }
  if (Pass.drawing) DrawRun(shown, width, Pass);
  // The line breaks before a run that no longer fits. A run wider than the whole line
  // gets a line of its own, and a word is never split between runs: whether the text
  // before ends a word is judged by the text alone, tags left out.
  const int available = line.rect.Width() - flow_.of_offset;
  bool fits = line.width < available;
  if (!fits && width >= available && !Pass.placed_text) fits = true;
  if (!fits && Pass.last_char != '\0' && Pass.last_char != ' ') fits = true;
  if (!fits && p_.WordWrap && Pass.first) {
    Pass.end_of_line = true;
    line.width -= width;
    return TRunEnd::NextLine;
  }
  Pass.placed_text = true;
  Pass.last_char = Run.back();
  Source.remove_prefix(Run.size());
  return TRunEnd::Consumed;
}

void TRenderer::DrawRun(std::string_view Shown, int Width, TPass& Pass) {
  if (flow_.in_link && flow_.hyper_links - 1 == p_.FocusLink) r_.FocusAnchor = flow_.target;
  // Runs between two tags share their look: they are drawn together, which costs one
  // text layout instead of one a word.
  if (Pass.pending.empty()) Pass.pending_x = Pass.pen_x;
  Pass.pending += Shown;
  Pass.pen_x += Width;
}

void TRenderer::FlushRuns(TPass& Pass) {
  if (Pass.pending.empty()) return;
  const std::string text = std::move(Pass.pending);
  Pass.pending.clear();
  if (flow_.blink_off) return;
  const TLine& line = Pass.line;
  const int left = Pass.pending_x;
  int bottom = Pass.text_bottom;
  if (flow_.superscript) bottom -= line.superscript;
  if (flow_.subscript) bottom += line.subscript;
  bottom -= line.image_offset;
  // Only one "..." ends a line: what follows the cut run stays undrawn.
  if (Pass.cut) return;
  const std::string shown = runs_.Shown(text, left, p_.WordWrap ? -1 : area_.Right, Pass.cut);
  // A run draws on the brush colour set for it (HI, FONT BGCOLOR, a hovered link), as
  // the platform's opaque text would.
  const TColor background = BrushColor();
  if (background != clNone && flow_.angle == 0 && !shown.empty()) {
    canvas_.FillRect(
        Rect(left, bottom - canvas_.TextHeight(shown), left + runs_.Width(shown), bottom));
  }
  if (flow_.shadow) {
    const TColor colour = canvas_.Font().Color();
    canvas_.Font().SetColor(p_.ShadowColor);
    runs_.Draw(shown, left + p_.ShadowOffset, bottom + p_.ShadowOffset, flow_.angle * 10);
    canvas_.Font().SetColor(colour);
  }
  runs_.Draw(shown, left, bottom, flow_.angle * 10);
  if (flow_.error_underline) {
    std::vector<TPoint> zigzag;
    for (int x = left & ~1; x <= Pass.pen_x; x += 2)
      zigzag.push_back(Point(x, (x % 4 == 0) ? bottom - 1 : bottom + 1));
    canvas_.Pen().SetColor(clRed);
    canvas_.Pen().SetStyle(psSolid);
    canvas_.Pen().SetWidth(1);
    canvas_.Polyline(zigzag);
  }
}

void TRenderer::SetStyle(TFontStyles Style, bool On) {
  const TFontStyles now = canvas_.Font().Style();
  canvas_.Font().SetStyle(On ? (now | Style) : (now & ~Style));
}

void TRenderer::Tag(const TTag& Tag, TPass& Pass) {
  TLine& line = Pass.line;
  const char second = Tag.Letter(2);
  switch (Tag.Letter(1)) {
    case '/':
      ClosingTag(Tag, Pass);
      break;
    case 'A':
      OpenLink(Tag, Pass);
      break;
    case 'B':
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
      break;
    case 'E':
      flow_.error_underline = true;
      break;
    case 'F':
      Font(Tag, Pass);
      break;
    case 'H':
      if (second == 'I') {
        if (Pass.drawing) {
          hi_font_ = canvas_.Font().Color();
          hi_brush_ = BrushColor();
          canvas_.Brush().SetColor(clHighlight);
          canvas_.Font().SetColor(clHighlightText);
        }
      } else if (second == 'R') {
        Pass.end_of_line = true;
        if (Pass.drawing) {
          canvas_.Pen().SetColor(clBlack);
          canvas_.Pen().SetStyle(psSolid);
          canvas_.Pen().SetWidth(1);
          canvas_.MoveTo(line.rect.Left, line.rect.Bottom);
          canvas_.LineTo(line.rect.Right, line.rect.Bottom);
        }
      }
      break;
    case 'I':
      if (second == '>') {
        SetStyle(fsItalic, true);
      } else if (second == 'M') {
        Image(Tag, Pass);
      } else if (second == 'N') {
        const std::string value = QuotedAfter(Tag.text, Tag.upper.find('X', 3));
        if (IsWholeNumber(value)) {
          const int x = HtmlIntValue(value);
          if (line.width < x) {
            line.width = x;
            Pass.pen_x = line.rect.Left + x;
          }
        }
      }
      break;
    case 'L':
      ListItem(Pass);
      break;
    case 'O':
      if (second == 'F') {
        const size_t x = Tag.upper.find('X', 3);
        flow_.of_offset = x == std::string::npos ? 0 : HtmlIntValue(QuotedAfter(Tag.text, x));
        line.width = flow_.of_offset;
        Pass.pen_x = line.rect.Left + flow_.of_offset;
      }
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
      if (second == '>')
        SetStyle(fsStrikeOut, true);
      else if (second == 'H')
        flow_.shadow = true;
      else if (Tag.upper.starts_with("<SUB>"))
        flow_.subscript = true;
      else if (Tag.upper.starts_with("<SUP>"))
        flow_.superscript = true;
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
  if (Tag.Has("BGCOLORTO")) {
    FillGradient(canvas_, from, HtmlColor(Tag.Value("BGCOLORTO")), true,
                 Rect(area_.Left, line.rect.Top, area_.Right, line.rect.Bottom + 2),
                 kBackgroundBands);
    return;
  }
  para_brush_ = BrushColor();
  canvas_.Brush().SetColor(from);
  canvas_.FillRect(Rect(area_.Left, line.rect.Top, area_.Right, line.rect.Bottom));
}

void TRenderer::Body(const TTag& Tag, TPass& Pass) {
  if (Tag.Has("BACKGROUND")) TileBackground(Tag.Value("BACKGROUND"), Pass);
  if (Tag.Has("BGTOPLEFT")) DrawSourceOnce(Tag.Value("BGTOPLEFT"), false, Pass);
  if (Tag.Has("BGTOPRIGHT")) DrawSourceOnce(Tag.Value("BGTOPRIGHT"), true, Pass);
  if (Tag.PlainColorPos("BGCOLOR") == std::string::npos) return;
  const TColor from = HtmlColor(Tag.PlainColorValue("BGCOLOR"));
  if (Tag.Has("BGCOLORTO")) {
    const std::string direction = UpperCase(Tag.Value("DIR"));
    FillGradient(canvas_, from, HtmlColor(Tag.Value("BGCOLORTO")),
                 direction.empty() || direction == "H", area_, kBackgroundBands);
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

}  // namespace

bool DrawHtmlText(TCanvas& Canvas, const std::string& Text, const TRect& Rect,
                  const THtmlDrawParams& Params, THtmlDrawResult& Result) {
  TBrush brush;
  brush.Assign(Canvas.Brush());
  TPen pen;
  pen.Assign(Canvas.Pen());
  TFont font;
  font.Assign(Canvas.Font());
  Result.XSize = Result.YSize = Result.HyperLinks = 0;
  Result.StripVal.clear();
  Result.FocusAnchor.clear();
  Result.MouseLink = -1;

  std::string text = Text;
  DecodeHtmlEntities(text);
  text = LineBreaksToHtml(OpenHashTag(text), true);
  const bool no_prefix = text.find(" & ") != std::string::npos;
  TRenderer renderer(Canvas, Params, Result, no_prefix);
  Canvas.Brush().SetColor(clNone);
  const bool on_link = renderer.Run(text, Rect);

  Canvas.Brush().Assign(brush);
  Canvas.Pen().Assign(pen);
  Canvas.Font().Assign(font);
  return on_link;
}
