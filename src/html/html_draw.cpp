#include "html/html_draw.h"

#include "html/html_renderer.h"

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

namespace html_render {

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
  if (Pass.drawing && flow_.para_background) {
    const TRect band = Rect(area_.Left, line.rect.Top, area_.Right, line.rect.Top + line.height);
    if (flow_.para_gradient_to != clNone) {
      FillGradientKeepingBrush(flow_.para_gradient_from, flow_.para_gradient_to, true, band);
    } else {
      canvas_.FillRect(band);
    }
  }
  line.width = 0;
  int trailing = 0;
  while (!Source.empty() && !Pass.end_of_line && !Pass.stop) {
    // A run ends at the next tag, wrapping after the next blank: both looked for at once,
    // so that a run reads its own text only (a text without tags or without blanks was
    // read to its end at every run).
    size_t run_end = Source.find_first_of(p_.WordWrap ? "< " : "<");
    if (run_end == std::string_view::npos)
      run_end = Source.size();
    else if (Source[run_end] == ' ')
      ++run_end;
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

}  // namespace html_render

using html_render::TRenderer;

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
