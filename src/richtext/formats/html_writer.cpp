#include "richtext/formats/html_writer.h"

#include <algorithm>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/unicode_html.h"
#include "richtext/layout/export_links.h"
#include "richtext/layout/export_range.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"

namespace {

const char* const kCRLF = "\r\n";
const char* const kPageBreakStyle = "page-break-before: always;";

const TRDExportHooks& Hooks(TCustomRDData& data) {
  return data.GetAbsoluteRootData()->ExportHooks;
}

// "#rrggbb" in lower case, as body colours are written.
std::string LowerHexColor(TColor color) {
  std::string text = ColorToHTMLString(color, false);
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Background tables by TBackgroundStyle.
struct BackgroundPlacement {
  const char* Repeat;
  const char* Attachment;
  const char* Vertical;  // nullptr: no position
  const char* Horizontal;
};
constexpr BackgroundPlacement kBackgrounds[] = {
    {"", "", nullptr, nullptr},
    {"no-repeat", "fixed", "center", "center"},
    {"repeat", "fixed", nullptr, nullptr},
    {"repeat", "scroll", nullptr, nullptr},
    {"no-repeat", "fixed", "center", "center"},
    {"no-repeat", "fixed", "top", "left"},
    {"no-repeat", "fixed", "top", "right"},
    {"no-repeat", "fixed", "bottom", "left"},
    {"no-repeat", "fixed", "bottom", "right"},
};

class HTMLWriter {
 public:
  HTMLWriter(TCustomRDData& data, TStream& stream, const TRDHTMLSaveParams& params, bool css)
      : data_(data),
        stream_(stream),
        params_(params),
        style_(*data.GetRDStyle()),
        css_(css),
        options_(params.Options),
        xhtml_((params.Options & rdsoXHTML) != 0),
        utf8_((params.Options & rdsoUTF8) != 0) {
    context_.Path = params.Path;
    context_.ImagePrefix = params.ImagePrefix;
    context_.SaveOptions = params.Options;
    context_.UseCSS = css;
    context_.BackColor = params.PageColor;
    context_.CodePage = OutputCodePage();
  }

  void Run() {
    const bool headOnly = options_ & rdsoHeadOnly, bodyOnly = options_ & rdsoBodyOnly,
               endOnly = options_ & rdsoEndOnly;
    if (!bodyOnly && !endOnly) css_ ? HeadCSS() : HeadPlain();
    if (!headOnly && !endOnly) Body();
    if (!headOnly && !bodyOnly) Closing();
    Flush();
  }

 private:
  // ---- output helpers ----
  void Out(std::string_view s) { out_ += s; }
  void Line(std::string_view s) {
    out_ += s;
    out_ += kCRLF;
  }
  void Flush() {
    if (!out_.empty()) stream_.WriteBuffer(out_.data(), int64_t(out_.size()));
    out_.clear();
  }
  std::string Attr(std::string_view value) const {
    return xhtml_ ? QuotedHTMLAttr(value) : EscapeHTMLAttr(value);
  }
  std::string IntAttr(int value) const { return IntToHTMLAttr(value, options_); }
  std::string EmptyEnd() const { return GetHTMLEmptyTagEnd(options_); }
  // Text of the default code page for the output's encoding.
  std::string ForOutput(const std::string& ansi) const {
    return utf8_ ? AnsiToUTF8(data_.GetDefaultCodePage(), ansi) : ansi;
  }
  void Extra(TRDHTMLSaveArea area, bool leadingBlank = false) {
    const TRDExportHooks& hooks = Hooks(data_);
    if (!hooks.OnSaveHTMLExtra) return;
    const std::string text = hooks.OnSaveHTMLExtra(area, css_);
    if (text.empty()) return;
    if (leadingBlank) Out(" ");
    Out(text);
  }
  // Always named: a reader left to guess takes 8-bit text for another code page, and XML
  // without an encoding is UTF-8.
  std::string CharsetName() const {
    return utf8_ ? "UTF-8" : CodePageToHTMLCharsetName(OutputCodePage());
  }
  // 8-bit output is in the code page of text style 0; text of other code pages is written
  // as character references.
  int OutputCodePage() const { return data_.GetStyleCodePage(0); }
  void XMLProlog() {
    const std::string charset = CharsetName();
    Out("<?xml version=\"1.0\"");
    if (!charset.empty()) Out(" encoding=\"" + charset + "\"");
    Line("?>");
  }
  void CharsetMeta() {
    const std::string charset = CharsetName();
    if (!charset.empty())
      Line("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset + "\"" +
           EmptyEnd() + ">");
  }
  std::string Title() const { return ForOutput(EscapeHTML(params_.Title, false, options_)); }
  bool HasBackgroundPicture() const {
    return params_.BackgroundPicture && params_.BackgroundStyle != bsNoBitmap &&
           !params_.BackgroundPicture->Empty();
  }
  std::string SaveBackground() {
    return FilePathToHTML(context_.SaveImage(data_, *params_.BackgroundPicture, false), options_,
                          context_.CodePage);
  }

  // ---- head ----
  void HeadPlain() {
    if (xhtml_) XMLProlog();
    Line("<html><head><title>" + Title() + "</title>");
    CharsetMeta();
    Extra(rd_thms_Head);
    Out("</head>");
    Out("<body");
    if (params_.PageColor != clNone) Out(" bgcolor=" + Attr(LowerHexColor(params_.PageColor)));
    if (HasBackgroundPicture()) {
      Out(" background=" + QuotedHTMLAttr(SaveBackground()));
      if (params_.BackgroundStyle != bsTiledAndScrolled) Out(" bgproperties=" + Attr("fixed"));
    }
    Extra(rd_thms_BodyAttribute, true);
    Line(" leftmargin=" + IntAttr(params_.LeftMargin) + " topmargin=" + IntAttr(params_.TopMargin) +
         " rightmargin=" + IntAttr(params_.RightMargin) +
         " bottommargin=" + IntAttr(params_.BottomMargin) + ">");
    Extra(rd_thms_Body);
  }

  void HeadCSS() {
    if (xhtml_) {
      XMLProlog();
      Line(
          "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
          "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">");
      Out("<html xmlns=\"http://www.w3.org/1999/xhtml\">");
    } else {
      Line(
          "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
          "\"http://www.w3.org/TR/html4/loose.dtd\">");
      Out("<html>");
    }
    Line("<head><title>" + Title() + "</title>");
    CharsetMeta();
    Line("<meta http-equiv=\"Content-Style-Type\" content=\"text/css\"" + EmptyEnd() + ">");
    Out("<style type=\"text/css\">");
    Line(xhtml_ ? "" : "<!--");
    Line("body {");
    Line("  margin: " + std::to_string(params_.TopMargin) + "px " +
         std::to_string(params_.RightMargin) + "px " + std::to_string(params_.BottomMargin) +
         "px " + std::to_string(params_.LeftMargin) + "px;");
    if (params_.PageColor != clNone)
      Line("  background-color: " + ColorToHTMLString(params_.PageColor, false) + ";");
    if (HasBackgroundPicture()) {
      const BackgroundPlacement& placement = kBackgrounds[params_.BackgroundStyle];
      Line("  background-image: url(\"" + CSSString(SaveBackground()) + "\");");
      Line(std::string("  background-repeat: ") + placement.Repeat + ";");
      Line(std::string("  background-attachment: ") + placement.Attachment + ";");
      if (placement.Vertical)
        Line(std::string("  background-position: ") + placement.Vertical + " " +
             placement.Horizontal + ";");
    }
    Line("}");
    const bool inlineCSS = options_ & rdsoInlineCSS;
    if (params_.ExternalCSS.empty() && !inlineCSS) {
      unsigned cssOptions = 0;
      if (options_ & rdsoStyle0Class) cssOptions |= cssPlainFirstStyles;
      if (utf8_) cssOptions |= cssUTF8;
      Out(style_.GetCSS(cssOptions));
    }
    if (!params_.ExtraCSS.empty()) Line(params_.ExtraCSS);
    if (!xhtml_) Out("-->");
    Line("</style>");
    if (!params_.ExternalCSS.empty() && !inlineCSS)
      Line("<link type=\"text/css\" href=\"" +
           EscapeHTMLAttr(FilePathToHTML(params_.ExternalCSS, options_, context_.CodePage)) +
           "\" rel=\"stylesheet\"" + EmptyEnd() + ">");
    Extra(rd_thms_Head);
    Line("</head>");
    Out("<body");
    Extra(rd_thms_BodyAttribute, true);
    Line(">");
    Extra(rd_thms_Body);
  }

  // A location inside url("..."): quotes and backslashes escaped, no line breaks.
  static std::string CSSString(const std::string& s) {
    std::string out;
    for (char c : s) {
      if (c == '"' || c == '\\') out += '\\';
      if (c == '\r' || c == '\n') continue;
      out += c;
    }
    return out;
  }

  // ---- body ----
  const TFontInfo& TextStyle(int styleNo) const { return style_.TextStyles().Items(styleNo); }

  void CloseTextRun() {
    if (run_style_ < 0) return;
    if (css_)
      Out("</span>");
    else
      Out(FontInfoCloseTags(TextStyle(run_style_), TextStyle(0), true));
    run_style_ = -1;
  }

  bool NeedsSpan(int styleNo) const {
    if (styleNo != 0 || (options_ & (rdsoInlineCSS | rdsoStyle0Class))) return true;
    const TFontInfo& style = TextStyle(0);
    return style.Jump || style.BackColor != clNone;
  }

  std::string TextStyleAttr(int styleNo) const {
    if (options_ & rdsoInlineCSS)
      return "style=" + QuotedHTMLAttr(Trim(TextStyle(styleNo).GetCSS(nullptr, false, utf8_)));
    return "class=" + Attr("rdts" + std::to_string(styleNo));
  }

  void OpenTextRun(int styleNo) {
    if (run_style_ == styleNo) return;
    CloseTextRun();
    if (css_) {
      if (!NeedsSpan(styleNo)) return;
      Out("<span " + TextStyleAttr(styleNo) + ">");
    } else {
      Out(FontInfoOpenTags(TextStyle(styleNo), TextStyle(0), true, options_));
    }
    run_style_ = styleNo;
  }

  // Lists nest inside the item of the level above, so an item stays open until the next
  // marker of its level or above, or the end of the list.
  void CloseListItem(size_t level) {
    if (!open_levels_[level].ItemOpen) return;
    Line("</li>");
    open_levels_[level].ItemOpen = false;
  }

  void CloseLists(size_t keep) {
    while (open_levels_.size() > keep) {
      CloseListItem(open_levels_.size() - 1);
      Line(open_levels_.back().Level->HTMLCloseTag());
      open_levels_.pop_back();
    }
    if (keep == 0) open_list_ = -1;
  }

  void CloseParagraph() {
    CloseTextRun();
    if (!para_close_.empty()) {
      Line(para_close_);
      para_close_.clear();
    }
  }

  // CSS declarations one after another, each ended by ';'.
  static void AppendCSS(std::string& css, const std::string& more) {
    if (more.empty()) return;
    if (!css.empty()) css += css.back() == ';' ? " " : "; ";
    css += more;
  }

  // The class of a paragraph style and one style attribute for its inline CSS, a page
  // break and extraCSS (a list item's marker style).
  std::string ParaClassAttr(int paraNo, bool pageBreak, const std::string& extraCSS = "") const {
    std::string attrs, css;
    const bool described = paraNo != 0 || (options_ & rdsoStyle0Class);
    if (options_ & rdsoInlineCSS) {
      if (described)
        css = Trim(style_.ParaStyles().Items(paraNo).GetCSS(nullptr, false, false, false));
    } else if (described) {
      attrs = " class=" + Attr("rdps" + std::to_string(paraNo));
    }
    if (pageBreak) AppendCSS(css, kPageBreakStyle);
    AppendCSS(css, extraCSS);
    if (!css.empty()) attrs += " style=" + QuotedHTMLAttr(css);
    return attrs;
  }

  std::string PlainParaAttrs(int paraNo, bool pageBreak) const {
    const TParaInfo& para = style_.ParaStyles().Items(paraNo);
    std::string attrs;
    switch (para.Alignment) {
      case rdaRight:
        attrs += " align=" + Attr("right");
        break;
      case rdaCenter:
        attrs += " align=" + Attr("center");
        break;
      case rdaJustify:
        attrs += " align=" + Attr("justify");
        break;
      default:
        break;
    }
    if (para.BiDiMode == rdbdLeftToRight) attrs += " dir=" + Attr("LTR");
    if (para.BiDiMode == rdbdRightToLeft) attrs += " dir=" + Attr("RTL");
    if (pageBreak) attrs += " style=" + QuotedHTMLAttr(kPageBreakStyle);
    return attrs;
  }

  const TRDListLevel* LevelOf(const TRDListMarkerInfo& marker, int level) const {
    if (marker.ListNo < 0 || marker.ListNo >= style_.ListStyles().Count()) return nullptr;
    const TRDListInfo& list = style_.ListStyles().Items(marker.ListNo);
    if (list.Levels.empty()) return nullptr;
    return list.Levels[size_t(std::clamp(level, 0, int(list.Levels.size()) - 1))].get();
  }

  void OpenListItem(const TCustomRDItemInfo& item, const TRDListMarkerInfo& marker,
                    bool pageBreak) {
    const size_t level = size_t(std::max(marker.Level, 0));
    if (marker.ListNo != open_list_) CloseLists(0);
    CloseLists(std::min(open_levels_.size(), level + 1));
    if (open_levels_.size() == level + 1) CloseListItem(level);
    open_list_ = marker.ListNo;
    while (open_levels_.size() < level + 1) {
      if (!open_levels_.empty() && !open_levels_.back().ItemOpen) {
        // A level skipped over: its list still needs an item to hold the deeper one.
        Out("<li>");
        open_levels_.back().ItemOpen = true;
      }
      const TRDListLevel* listLevel = LevelOf(marker, int(open_levels_.size()));
      const int previousIndent = open_levels_.empty() ? 0 : open_levels_.back().Level->LeftIndent;
      Line(listLevel->HTMLOpenTag(css_, previousIndent, xhtml_));
      open_levels_.push_back({listLevel, false});
    }
    const TRDListLevel* listLevel = open_levels_.back().Level;
    std::string tag = "<li";
    if (listLevel->HasNumbering()) tag += " value=" + IntAttr(marker.Counter);
    if (css_)
      tag += ParaClassAttr(item.ParaNo, pageBreak, item.GetHTMLListItemStyle(&data_, context_));
    else if (pageBreak)
      tag += " style=" + QuotedHTMLAttr(kPageBreakStyle);
    Out(tag + ">");
    open_levels_.back().ItemOpen = true;
  }

  void OpenParagraph(const TCustomRDItemInfo& item, bool pageBreak) {
    const int paraNo = item.ParaNo;
    if (!css_) {
      Out("<div" + PlainParaAttrs(paraNo, pageBreak) + ">");
      para_close_ = "</div>";
      return;
    }
    // A paragraph that begins with a block (a table, a line across the page) cannot be a p
    // element: a p ends where a block starts, and its end tag would then close nothing.
    if (item.QueryItemFlag(12) || item.IsFullLine()) {
      Out("<div" + ParaClassAttr(paraNo, pageBreak) + ">");
      para_close_ = "</div>";
      const TRDAlignment alignment = style_.ParaStyles().Items(paraNo).Alignment;
      if (!xhtml_ && (alignment == rdaRight || alignment == rdaCenter)) {
        Out(std::string("<div align=") + (alignment == rdaRight ? "right" : "center") + ">");
        para_close_ = "</div></div>";
      }
      return;
    }
    Out("<p" + ParaClassAttr(paraNo, pageBreak) + ">");
    para_close_ = "</p>";
  }

  void OpenInlineMarkerParagraph(const TCustomRDItemInfo& item, const TRDListMarkerInfo& marker,
                                 bool pageBreak) {
    const TRDListLevel* level = LevelOf(marker, marker.Level);
    const std::string markerCSS = level ? Trim(level->GetIndentCSS()) : std::string();
    std::string paraCSS;
    if (css_ && (item.ParaNo != 0 || (options_ & rdsoStyle0Class)) && !(options_ & rdsoInlineCSS)) {
      Out("<p class=" + Attr("rdps" + std::to_string(item.ParaNo)) + " style=" +
          QuotedHTMLAttr(markerCSS + (pageBreak ? std::string(" ") + kPageBreakStyle : "")) + ">");
    } else {
      if (css_)
        paraCSS = Trim(style_.ParaStyles().Items(item.ParaNo).GetCSS(nullptr, false, false, false));
      if (pageBreak) paraCSS += (paraCSS.empty() ? "" : " ") + std::string(kPageBreakStyle);
      Out("<p style=" + QuotedHTMLAttr(paraCSS + (paraCSS.empty() ? "" : " ") + markerCSS) + ">");
    }
    para_close_ = "</p>";
  }

  std::string CheckpointAnchor(const TRDCPInfo& checkpoint) {
    if ((options_ & rdsoCheckpointNames) && !checkpoint.Name.empty())
      return "<a name=" + QuotedHTMLAttr(ForOutput(checkpoint.Name)) + "></a>";
    return "<a name=" + Attr("RichDocCheckpoint" + std::to_string(checkpoint_no_++)) + "></a>";
  }

  // The item's text as HTML (the application's own, a line break, or the escaped text).
  void ItemTextHTML(int itemNo, const TRDExportRange& range) {
    const TCustomRDItemInfo& item = *data_.GetItem(itemNo);
    const TRDExportHooks& hooks = Hooks(data_);
    const bool unicode = IsUnicodeItem(item.ItemOptions);
    std::string own;
    if (hooks.OnSaveItemToFile && hooks.OnSaveItemToFile(&data_, itemNo, rdsfHTML, unicode, own)) {
      Out(own);
      return;
    }
    const std::string_view text = ExportItemText(data_, itemNo, range, text_storage_);
    if (text.empty() && !item.GetContinuesPara() &&
        (itemNo + 1 >= data_.GetItemCount() || data_.IsParaStart(itemNo + 1))) {
      Out("<br" + EmptyEnd() + ">");
      return;
    }
    const int styleNo = data_.GetActualStyle(item);
    const TFontInfo& style = TextStyle(styleNo);
    const bool htmlCode = (style.Options & rdteoHTMLCode) != 0;
    const bool symbol = SameText(style.FontName, "Symbol");
    const std::optional<std::string> shown =
        symbol ? std::nullopt : ExportedSymbolText(data_, itemNo, text);
    if (unicode || shown) {
      const std::string_view unicodeText = shown ? std::string_view(*shown) : text;
      if (symbol)
        Out(SymbolToHTMLW(text, options_));
      else if (utf8_)
        RawUnicodeToHTMLUTF8(unicodeText, htmlCode, out_, xhtml_);
      else
        RawUnicodeToHTMLEntities(unicodeText, htmlCode, out_, xhtml_);
      return;
    }
    const int codePage = data_.GetStyleCodePage(styleNo);
    if (symbol) {
      Out(SymbolToHTML(text, options_));
    } else if (utf8_) {
      std::string escaped;
      AppendEscapedHTML(escaped, text, htmlCode, options_);
      Out(AnsiToUTF8(codePage, escaped));
    } else if (ResolveCodePage(codePage) == ResolveCodePage(OutputCodePage())) {
      AppendEscapedHTML(out_, text, htmlCode, options_);
    } else {
      RawUnicodeToHTMLEntities(AnsiToRawUnicode(codePage, text), htmlCode, out_, xhtml_);
    }
  }

  bool HyperlinkOpen(const TCustomRDItemInfo& item, int styleNo) {
    const TRDExportHooks& hooks = Hooks(data_);
    const int id = ExportLinkId(data_, item);
    if (!item.QueryItemFlagEx(1, &style_) || !hooks.OnWriteHyperlink || id < 0) return false;
    std::string target, extras;
    hooks.OnWriteHyperlink(id, rdsfHTML, target, extras);
    if (target.empty() && extras.empty()) return false;
    std::string classAttr;
    if (css_ && styleNo >= 0) classAttr = " " + TextStyleAttr(styleNo);
    std::string tag = "<a" + classAttr;
    if (!target.empty()) tag += " href=" + QuotedHTMLAttr(target);
    // The application writes the attributes as they stand; only what no markup can carry
    // is left out.
    EraseNonMarkupChars(extras);
    if (!extras.empty()) tag += " " + extras;
    Out(ForOutput(tag + ">"));
    return true;
  }

  void Body() {
    const bool wrapDefault = !css_ && !(options_ & rdsoNoDefaultStyleTags);
    if (wrapDefault) Out(FontInfoOpenTags(TextStyle(0), TextStyle(0), false, options_));
    const TRDExportRange range = GetExportRange(data_, false);
    const bool markersInline = options_ & rdsoMarkersInline;
    for (int i = range.StartItem; i <= range.EndItem; ++i) {
      TCustomRDItemInfo& item = *data_.GetItem(i);
      const bool pageBreak = item.GetPageBreakBefore() && (css_ || (options_ & rdsoPageBreaks));
      if (i == range.StartItem || item.IsParaStart()) {
        CloseParagraph();
        TRDListMarkerInfo marker;
        const bool hasMarker = item.GetListMarkerInfo(marker);
        if (hasMarker && !markersInline && LevelOf(marker, marker.Level)) {
          OpenListItem(item, marker, pageBreak);
        } else {
          CloseLists(0);
          if (hasMarker)
            OpenInlineMarkerParagraph(item, marker, pageBreak);
          else
            OpenParagraph(item, pageBreak);
        }
      } else if (item.GetLineBreakBefore()) {
        CloseTextRun();
        Out("<br" + EmptyEnd() + ">");
      }
      if (item.Checkpoint) {
        CloseTextRun();
        Line(CheckpointAnchor(*item.Checkpoint));
      }
      const int styleNo = item.StyleNo >= 0 ? data_.GetActualStyle(item) : -1;
      // Tags stay nested: a link closes the run around it and holds its own.
      const bool linkStarts = item.QueryItemFlagEx(1, &style_);
      if (linkStarts) CloseTextRun();
      const bool link = linkStarts && HyperlinkOpen(item, styleNo);
      if (styleNo >= 0) {
        const TFontInfo& style = TextStyle(styleNo);
        if (!(style.Options & rdteoHTMLCode) && (style.Options & rdteoRTFCode)) {
          if (link) Out("</a>");
          continue;
        }
        if (!(link && css_)) OpenTextRun(styleNo);
        ItemTextHTML(i, range);
      } else {
        CloseTextRun();
        const TRDExportHooks& hooks = Hooks(data_);
        std::string own;
        if (hooks.OnSaveItemToFile &&
            hooks.OnSaveItemToFile(&data_, i, rdsfHTML, IsUnicodeItem(item.ItemOptions), own)) {
          Out(own);
        } else {
          Flush();
          item.SaveHTML(stream_, &data_, i, data_.GetItemTextRaw(i), context_);
        }
      }
      if (link) {
        CloseTextRun();
        Out("</a>");
      }
      if (out_.size() > 0x10000) Flush();
    }
    CloseParagraph();
    CloseLists(0);
    if (wrapDefault) Out(FontInfoCloseTags(TextStyle(0), TextStyle(0), false));
    if (data_.NotAddedCP) Line(CheckpointAnchor(*data_.NotAddedCP));
  }

  void Closing() {
    if (css_) Line("");
    Extra(rd_thms_End);
    Out("</body></html>");
  }

  TCustomRDData& data_;
  TStream& stream_;
  const TRDHTMLSaveParams& params_;
  TRDStyle& style_;
  bool css_;
  TRDSaveOptions options_;
  bool xhtml_;
  bool utf8_;
  TRDHTMLSaveContext context_;
  std::string out_;
  std::string text_storage_;
  int run_style_ = -1;
  int checkpoint_no_ = 0;
  std::string para_close_;
  struct OpenLevel {
    const TRDListLevel* Level;
    bool ItemOpen;
  };
  int open_list_ = -1;
  std::vector<OpenLevel> open_levels_;
};

}  // namespace

namespace {

bool SaveHTMLVariant(TCustomRDData& data, TStream& stream, const TRDHTMLSaveParams& params,
                     bool css) {
  return data.RunExport([&] {
    if (!data.GetRDStyle()) return false;
    const TRDExportLinkNumbering links(data);
    HTMLWriter(data, stream, params, css).Run();
    return true;
  });
}

}  // namespace

bool SaveHTMLToStream(TCustomRDData& data, TStream& stream, const TRDHTMLSaveParams& params) {
  return SaveHTMLVariant(data, stream, params, false);
}

bool SaveHTMLExToStream(TCustomRDData& data, TStream& stream, const TRDHTMLSaveParams& params) {
  return SaveHTMLVariant(data, stream, params, true);
}
