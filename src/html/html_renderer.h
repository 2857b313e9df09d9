// The markup renderer of the HTML controls, shared by its two halves: html_draw.cpp
// lays out lines of text runs, html_tags.cpp acts on the tags between them.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "html/html_draw.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/rotated_text.h"
#include "platform/gui/graphics/text_runs.h"

class THTMLPicture;

namespace html_render {

enum TLineAlign { laLeft = 0, laRight = 1, laCenter = 2 };

// The text between the first pair of double quotes at or after From.
inline std::string QuotedAfter(const std::string& Tag, size_t From) {
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
  // A paragraph background running from one colour to another, band by band; clNone for
  // one colour (the brush's).
  TColor para_gradient_from = clNone;
  TColor para_gradient_to = clNone;
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
  // Tag's steps: the tags sharing a first letter, and those with more to do than set a
  // flag.
  void TagOfB(const TTag& Tag, TPass& Pass);
  void TagOfI(const TTag& Tag, TPass& Pass);
  void TagOfS(const TTag& Tag);
  void Highlight(TPass& Pass);
  void HorizontalRule(TPass& Pass);
  void Offset(const TTag& Tag, TPass& Pass);
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
  // A gradient leaves the brush at its last band: the text after it is to keep its own.
  void FillGradientKeepingBrush(TColor From, TColor To, bool Horizontal, const TRect& Rect);
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

}  // namespace html_render
