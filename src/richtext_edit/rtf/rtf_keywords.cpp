#include "richtext_edit/rtf/rtf_keywords.h"

#include <algorithm>
#include <array>

namespace {

using P = TRDRTFProp;
using D = TRDRTFDestinationWord;
using A = TRDRTFAffects;

constexpr TRDRTFKeyword Ch(std::string_view word, int code) {
  return {word, 0, false, rtf_kw_Char, code, A::Nothing, 0};
}
constexpr TRDRTFKeyword Uni(std::string_view word, int unicode, int ansi) {
  return {word, ansi, false, rtf_kw_UnicodeChar, unicode, A::Nothing, 0};
}
constexpr TRDRTFKeyword Dest(std::string_view word, D destination) {
  return {word, 0, false, rtf_kw_Destination, int(destination), A::Nothing, 0};
}
constexpr TRDRTFKeyword Special(std::string_view word, TRDRTFSpecial special) {
  return {word, 0, false, rtf_kw_Special, int(special), A::Nothing, 0};
}
// A property word whose parameter (or the default when none is written) is the value.
constexpr TRDRTFKeyword Val(std::string_view word, P prop, int defaultValue, A affects = A::Nothing,
                            int sub = 0) {
  return {word, defaultValue, false, rtf_kw_Property, int(prop), affects, std::int8_t(sub)};
}
// A property word that always gives the same value.
constexpr TRDRTFKeyword Fix(std::string_view word, P prop, int value, A affects = A::Nothing,
                            int sub = 0) {
  return {word, value, true, rtf_kw_Property, int(prop), affects, std::int8_t(sub)};
}
constexpr A C = A::Character;
constexpr A Pa = A::Paragraph;

constexpr std::array kKeywords = {
    // objects
    Dest("object", D::Object), Fix("objemb", P::ObjType, 0), Fix("objlink", P::ObjType, 1),
    Fix("objautlink", P::ObjType, 2), Fix("objsub", P::ObjType, 3), Fix("objpub", P::ObjType, 4),
    Fix("objicemb", P::ObjType, 5), Fix("objhtml", P::ObjType, 6), Fix("objocx", P::ObjType, 7),
    Val("objh", P::ObjHeight, 0), Val("objw", P::ObjWidth, 0), Dest("objdata", D::ObjData),
    Dest("result", D::Result), Dest("shppict", D::ShpPict), Dest("nonshppict", D::NonShpPict),
    // character formatting
    Val("b", P::Bold, 1, C), Val("ul", P::Underline, 1, C), Fix("ulnone", P::Underline, 0, C),
    Val("i", P::Italic, 1, C), Val("strike", P::Strike, 1, C), Val("fs", P::FontSize, 24, C),
    Val("lang", P::Language, 0, C), Val("deflang", P::DefLanguage, 0), Val("cf", P::Color, 0, C),
    Val("chcbpat", P::BackColor, 0, C), Val("cbpat", P::ParaColor, 0, Pa),
    Val("cfpat", P::ParaPatternColor, 0, Pa), Val("shading", P::ParaShading, 0, Pa),
    Val("li", P::LeftIndent, 0, Pa), Val("ri", P::RightIndent, 0, Pa),
    Val("fi", P::FirstIndent, 0, Pa), Val("plain", P::CharReset, 0, C), Val("u", P::UnicodeChar, 0),
    Val("uc", P::UnicodeSkip, 1),
    // section and document
    Val("cols", P::Columns, 1), Fix("sbknone", P::SectionBreak, 0),
    Fix("sbkcol", P::SectionBreak, 1), Fix("sbkeven", P::SectionBreak, 2),
    Fix("sbkodd", P::SectionBreak, 3), Fix("sbkpage", P::SectionBreak, 4),
    Val("pgnx", P::PageNumberX, 0), Val("pgny", P::PageNumberY, 0),
    Fix("pgndec", P::PageNumberFormat, 0), Fix("pgnucrm", P::PageNumberFormat, 1),
    Fix("pgnlcrm", P::PageNumberFormat, 2), Fix("pgnucltr", P::PageNumberFormat, 3),
    Fix("pgnlcltr", P::PageNumberFormat, 4), Fix("qc", P::Alignment, 2, Pa),
    Fix("ql", P::Alignment, 0, Pa), Fix("qr", P::Alignment, 1, Pa), Fix("qj", P::Alignment, 3, Pa),
    Val("paperw", P::PaperWidth, 12240), Val("paperh", P::PaperHeight, 15480),
    Val("margl", P::MarginLeft, 1800), Val("margr", P::MarginRight, 1800),
    Val("margt", P::MarginTop, 1440), Val("margb", P::MarginBottom, 1440),
    Val("headery", P::HeaderY, 720), Val("footery", P::FooterY, 720),
    Val("pgnstart", P::PageNumberStart, 1), Fix("facingp", P::FacingPages, 1),
    Fix("landscape", P::Landscape, 1),
    // paragraphs, tables and special characters
    Ch("par", 10), Val("cell", P::CellEnd, 0), Val("row", P::RowEnd, 0),
    Val("nestcell", P::CellEnd, 0), Val("nestrow", P::RowEnd, 0),
    Dest("nesttableprops", D::NestTableProps), Val("intbl", P::InTable, 1, Pa),
    Val("itap", P::TableLevel, 1, Pa), Dest("nonesttables", D::Skip),
    Val("pard", P::ParaReset, 0, Pa), Ch("\n", 10), Ch("\r", 10), Ch("line", 13), Ch("tab", 9),
    Ch("~", 160), Ch("bullet", 149), Uni("ldblquote", 8220, 147), Uni("rdblquote", 8221, 148),
    Uni("lquote", 8216, 145), Uni("rquote", 8217, 146), Uni("endash", 8211, 150),
    Uni("emdash", 8212, 151), Uni("emspace", 8195, 32), Uni("enspace", 8194, 32),
    Uni("qmspace", 8197, 32), Uni("-", 173, 173), Special("bin", TRDRTFSpecial::Bin),
    Special("*", TRDRTFSpecial::Star), Special("'", TRDRTFSpecial::Hex),
    // destinations
    Dest("author", D::Skip), Dest("buptim", D::Skip), Dest("colortbl", D::ColorTable),
    Dest("comment", D::Skip), Dest("creatim", D::Skip), Dest("doccomm", D::Skip),
    Dest("fonttbl", D::FontTable), Dest("footer", D::Footer), Dest("footerf", D::Skip),
    Dest("footerl", D::Skip), Dest("footerr", D::Skip), Dest("footnote", D::Skip),
    Dest("ftncn", D::Skip), Dest("ftnsep", D::Skip), Dest("ftnsepc", D::Skip),
    Dest("header", D::Header), Dest("headerf", D::Skip), Dest("headerl", D::Skip),
    Dest("headerr", D::Skip), Dest("info", D::Skip), Dest("keywords", D::Skip),
    Dest("operator", D::Skip), Dest("printim", D::Skip), Dest("private1", D::Skip),
    Dest("revtim", D::Skip), Dest("rxe", D::Skip), Dest("stylesheet", D::StyleSheet),
    Dest("subject", D::Skip), Dest("tc", D::Skip), Dest("title", D::Skip), Dest("txe", D::Skip),
    Dest("xe", D::Skip), Dest("pict", D::Pict), Ch("{", 123), Ch("}", 125), Ch("\\", 92),
    // more character, font, colour and style words
    Val("sectd", P::SectReset, 0), Val("charscalex", P::CharScaleX, 100, C),
    Val("expndtw", P::CharSpacing, 0, C), Val("caps", P::Caps, 1, C), Fix("sub", P::VShift, 1, C),
    Fix("super", P::VShift, 2, C), Fix("nosupersub", P::VShift, 0, C), Val("up", P::Raise, 6, C),
    Val("dn", P::Lower, 6, C), Val("f", P::Font, 0, C), Val("sb", P::SpaceBefore, 0, Pa),
    Val("sa", P::SpaceAfter, 0, Pa), Val("red", P::Red, 0), Val("green", P::Green, 0),
    Val("blue", P::Blue, 0), Fix("fnil", P::FontFamily, 0), Fix("froman", P::FontFamily, 1),
    Fix("fswiss", P::FontFamily, 2), Fix("fmodern", P::FontFamily, 3),
    Fix("fscript", P::FontFamily, 4), Fix("fdecor", P::FontFamily, 5),
    Fix("ftech", P::FontFamily, 6), Fix("fbidi", P::FontFamily, 7),
    Val("fcharset", P::FontCharset, 0), Val("v", P::Hidden, 1), Val("s", P::ParaStyle, 0),
    Val("cs", P::CharStyle, 0), Val("ds", P::SectStyle, 0), Val("sbasedon", P::BasedOn, 0),
    Val("snext", P::NextStyle, 0), Fix("additive", P::Additive, 1),
    Fix("shidden", P::StyleHidden, 1), Val("deff", P::DefFont, 0),
    Val("sl", P::LineSpacing, 240, Pa), Val("slmult", P::LineSpacingMultiple, 1, Pa),
    // borders
    Fix("brdrnone", P::BorderStyle, 0), Fix("brdrs", P::BorderStyle, 1),
    Fix("brdrth", P::BorderStyle, 2), Fix("brdrsh", P::BorderStyle, 3),
    Fix("brdrdb", P::BorderStyle, 4), Fix("brdrdot", P::BorderStyle, 5),
    Fix("brdrdash", P::BorderStyle, 6), Fix("brdrhair", P::BorderStyle, 7),
    Fix("brdrdashsm", P::BorderStyle, 8), Fix("brdrdashd", P::BorderStyle, 9),
    Fix("brdrdashdd", P::BorderStyle, 10), Fix("brdrtriple", P::BorderStyle, 11),
    Fix("brdrtnthsg", P::BorderStyle, 12), Fix("brdrthtnsg", P::BorderStyle, 13),
    Fix("brdrtnthtnsg", P::BorderStyle, 14), Fix("brdrtnthmg", P::BorderStyle, 15),
    Fix("brdrthtnmg", P::BorderStyle, 16), Fix("brdrtnthtnmg", P::BorderStyle, 17),
    Fix("brdrtnthlg", P::BorderStyle, 18), Fix("brdrthtnlg", P::BorderStyle, 19),
    Fix("brdrtnthtnlg", P::BorderStyle, 20), Fix("brdrwavy", P::BorderStyle, 21),
    Fix("brdrwavydb", P::BorderStyle, 22), Fix("brdrdashdotstr", P::BorderStyle, 23),
    Fix("brdremboss", P::BorderStyle, 24), Fix("brdrengrave", P::BorderStyle, 24),
    Fix("brdrinset", P::BorderStyle, 26), Fix("brdroutset", P::BorderStyle, 27),
    Fix("brdrl", P::BorderSide, 0), Fix("brdrt", P::BorderSide, 1), Fix("brdrr", P::BorderSide, 2),
    Fix("brdrb", P::BorderSide, 3), Val("brdrw", P::BorderWidth, 1),
    Val("brdrcf", P::BorderColor, 0), Val("brsp", P::BorderSpacing, 0),
    // pictures
    Val("picw", P::PicWidth, 0), Val("pich", P::PicHeight, 0), Val("picwgoal", P::PicWidthGoal, 0),
    Val("pichgoal", P::PicHeightGoal, 0), Val("picscalex", P::PicScaleX, 100),
    Val("picscaley", P::PicScaleY, 100), Val("wbmbitspixel", P::BitmapBitsPixel, 1),
    Val("wbmplanes", P::BitmapPlanes, 1), Val("wbmwidthbytes", P::BitmapWidthBytes, 0),
    Fix("emfblip", P::PicType, 0), Fix("pngblip", P::PicType, 1), Fix("jpegblip", P::PicType, 2),
    Fix("macpict", P::PicType, 3), Fix("pmmetafile", P::PicType, 4), Fix("dibitmap", P::PicType, 6),
    Fix("wbitmap", P::PicType, 7), Val("wmetafile", P::WindowsMetafile, 1),
    Fix("picbmp", P::PicBmp, 1), Val("ansicpg", P::AnsiCodePage, 0), Val("page", P::PageBreak, 0),
    Val("sect", P::SectionEnd, 0), Val("chftn", P::FootnoteMark, 0), Dest("field", D::Field),
    Dest("fldinst", D::FieldInst), Dest("fldrslt", D::FieldResult),
    Fix("keep", P::KeepTogether, 1, Pa), Fix("keepn", P::KeepWithNext, 1, Pa),
    // table rows and cells
    Val("trowd", P::RowReset, 0), Fix("trql", P::RowAlign, 0), Fix("trqr", P::RowAlign, 1),
    Fix("trqc", P::RowAlign, 2), Fix("trhdr", P::RowHeading, 1), Val("trgaph", P::RowGap, 0),
    Val("trleft", P::RowLeft, 0), Val("trrh", P::RowHeight, 0),
    Val("trpaddl", P::RowPadding, 0, A::Nothing, 0),
    Val("trpaddr", P::RowPadding, 0, A::Nothing, 2),
    Val("trpaddt", P::RowPadding, 0, A::Nothing, 1),
    Val("trpaddb", P::RowPadding, 0, A::Nothing, 3),
    Val("trpaddfl", P::RowPaddingUnit, 0, A::Nothing, 0),
    Val("trpaddfr", P::RowPaddingUnit, 0, A::Nothing, 2),
    Val("trpaddft", P::RowPaddingUnit, 0, A::Nothing, 1),
    Val("trpaddfb", P::RowPaddingUnit, 0, A::Nothing, 3),
    // Cell padding of other writers; Word swaps the words of left and top, which the
    // table does not tell apart.
    Val("clpadl", P::CellPadding, 0, A::Nothing, 0),
    Val("clpadt", P::CellPadding, 0, A::Nothing, 1),
    Val("clpadr", P::CellPadding, 0, A::Nothing, 2),
    Val("clpadb", P::CellPadding, 0, A::Nothing, 3),
    Val("clpadfl", P::CellPaddingUnit, 0, A::Nothing, 0),
    Val("clpadft", P::CellPaddingUnit, 0, A::Nothing, 1),
    Val("clpadfr", P::CellPaddingUnit, 0, A::Nothing, 2),
    Val("clpadfb", P::CellPaddingUnit, 0, A::Nothing, 3),
    Val("trspdl", P::RowSpacing, 0, A::Nothing, 0), Val("trspdr", P::RowSpacing, 0, A::Nothing, 2),
    Val("trspdt", P::RowSpacing, 0, A::Nothing, 1), Val("trspdb", P::RowSpacing, 0, A::Nothing, 3),
    Val("trspdfl", P::RowSpacingUnit, 0, A::Nothing, 0),
    Val("trspdfr", P::RowSpacingUnit, 0, A::Nothing, 2),
    Val("trspdft", P::RowSpacingUnit, 0, A::Nothing, 1),
    Val("trspdfb", P::RowSpacingUnit, 0, A::Nothing, 3), Val("trwWidth", P::RowWidth, 0),
    Val("trftsWidth", P::RowWidthUnit, 0), Fix("clvmrg", P::CellVMerge, 2),
    Fix("clvmgf", P::CellVMerge, 1), Fix("clmrg", P::CellHMerge, 2), Fix("clmgf", P::CellHMerge, 1),
    Val("clwWidth", P::CellWidth, 0), Val("clftsWidth", P::CellWidthUnit, 0),
    Val("clcbpat", P::CellColor, 0), Val("clcbpatraw", P::CellColor, 0),
    Val("clcfpat", P::CellPatternColor, 0), Val("clshdng", P::CellShading, 0),
    Fix("clvertalt", P::CellVAlign, 0), Fix("clvertalc", P::CellVAlign, 2),
    Fix("clvertalb", P::CellVAlign, 1), Val("cellx", P::CellRight, 0),
    Fix("trbrdrl", P::RowBorderSide, 0), Fix("trbrdrt", P::RowBorderSide, 1),
    Fix("trbrdrr", P::RowBorderSide, 2), Fix("trbrdrb", P::RowBorderSide, 3),
    Fix("clbrdrl", P::CellBorderSide, 0), Fix("clbrdrt", P::CellBorderSide, 1),
    Fix("clbrdrr", P::CellBorderSide, 2), Fix("clbrdrb", P::CellBorderSide, 3),
    Val("highlight", P::Highlight, 0, C),
    // old-style numbering
    Val("pnseclvl", P::PnSecLevel, 1), Dest("pntext", D::ListText), Dest("pn", D::Pn),
    Val("pnlvl", P::PnLevel, 0), Fix("pnlvlblt", P::PnLevel, 11), Fix("pnlvlbody", P::PnLevel, 10),
    Val("pnhang", P::PnHanging, 1), Fix("pndec", P::PnNumberType, 1),
    Fix("pnucltr", P::PnNumberType, 3), Fix("pnucrm", P::PnNumberType, 5),
    Fix("pnlcltr", P::PnNumberType, 2), Fix("pnlcrm", P::PnNumberType, 4),
    Val("pnuldash", P::PnUnderline, 1), Val("pnuldashd", P::PnUnderline, 1),
    Val("pnuldashdd", P::PnUnderline, 1), Val("pnulhair", P::PnUnderline, 1),
    Val("pnulth", P::PnUnderline, 1), Val("pnulwave", P::PnUnderline, 1),
    Val("pnul", P::PnUnderline, 1), Val("pnuld", P::PnUnderline, 1),
    Val("pnuldb", P::PnUnderline, 1), Val("pnulw", P::PnUnderline, 1),
    Fix("pnulnone", P::PnUnderline, 0), Val("pnb", P::PnBold, 1), Val("pni", P::PnItalic, 1),
    Val("pnstrike", P::PnStrike, 1), Val("pncf", P::PnColor, 0), Val("pnf", P::PnFont, 0),
    Val("pnfs", P::PnFontSize, 24), Val("pnindent", P::PnIndent, 0), Val("pnsp", P::PnSpace, 0),
    Fix("pnqc", P::PnAlign, 2), Fix("pnql", P::PnAlign, 0), Fix("pnqr", P::PnAlign, 1),
    Val("pnstart", P::PnStart, 1), Dest("pntxta", D::PnTextAfter), Dest("pntxtb", D::PnTextBefore),
    // Word 97 lists
    Dest("listtext", D::ListText), Dest("listtable", D::ListTable), Dest("list", D::List),
    Val("listid", P::ListID, 0), Val("listsimple", P::ListSimple, 1), Dest("listname", D::ListName),
    Dest("listlevel", D::ListLevel), Val("levelstartat", P::LevelStartAt, 1),
    Val("levelnfc", P::LevelNfc, 0), Val("leveljc", P::LevelJc, 0), Val("levelold", P::LevelOld, 1),
    Val("levelindent", P::LevelIndent, 0), Val("levelspace", P::LevelSpace, 0),
    Dest("leveltext", D::LevelText), Dest("levelnumbers", D::LevelNumbers),
    Val("levelfollow", P::LevelFollow, 0), Val("levellegal", P::LevelLegal, 1),
    Val("levelnorestart", P::LevelNoRestart, 1), Dest("listoverridetable", D::ListOverrideTable),
    Dest("listoverride", D::ListOverride), Val("listoverridecount", P::ListOverrideCount, 0),
    Dest("lfolevel", D::LfoLevel), Fix("listoverridestartat", P::ListOverrideStartAt, 1),
    Val("ls", P::ListOverride, 1, Pa), Val("ilvl", P::ListLevel, 1, Pa),
    // tab stops
    Val("tx", P::TabPosition, 0, Pa), Fix("tqr", P::TabAlign, 1, Pa),
    Fix("tqc", P::TabAlign, 2, Pa), Fix("tqdec", P::TabAlign, 3, Pa),
    Fix("tldot", P::TabLeader, 1, Pa), Fix("tlhyph", P::TabLeader, 3, Pa),
    Fix("tlul", P::TabLeader, 4, Pa), Fix("tlth", P::TabLeader, 4, Pa),
    Fix("tleq", P::TabLeader, 5, Pa), Fix("tlmdot", P::TabLeader, 2, Pa),
    Fix("jclisttab", P::ListTab, 1, Pa),
    // component sizes written by this component's own RTF writer
    Val("richviewcbw", P::CellBestWidth, 0), Val("richviewcbh", P::CellBestHeight, 0),
    Val("richviewtbw", P::TableBestWidth, 0)};

// Sorted once, byte-wise, for the binary search.
const auto& SortedKeywords() {
  static const auto sorted = [] {
    auto table = kKeywords;
    std::sort(table.begin(), table.end(),
              [](const TRDRTFKeyword& a, const TRDRTFKeyword& b) { return a.Keyword < b.Keyword; });
    return table;
  }();
  return sorted;
}

}  // namespace

const TRDRTFKeyword* FindRTFKeyword(std::string_view keyword) {
  const auto& table = SortedKeywords();
  const auto it = std::lower_bound(
      table.begin(), table.end(), keyword,
      [](const TRDRTFKeyword& entry, std::string_view word) { return entry.Keyword < word; });
  return it != table.end() && it->Keyword == keyword ? &*it : nullptr;
}
