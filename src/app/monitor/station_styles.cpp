#include "app/monitor/station_styles.h"

#include "app/monitor/monitor_styles.h"
#include "platform/text/cp1252.h"
#include "richtext/base/code_pages.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/rich_doc.h"
#include "richtext/view/rtf_read_properties.h"

namespace {

struct TextStyleValues {
  const char* name;
  const char* fontName;
  int size;
  TFontStyles style;
  TColor color;
  int vShift;
};

void AddTextStyle(TRDStyle& sheet, const TextStyleValues& v, bool unicode) {
  TFontInfo& style = sheet.TextStyles().Add();
  style.SetStyleName(unicode ? std::string(v.name) + " Unicode" : v.name);
  style.FontName = v.fontName;
  style.Size = v.size;
  style.Style = v.style;
  style.Color = v.color;
  style.VShift = v.vShift;
  style.Unicode = unicode;
}

void SetTextStyles(TRDStyle& sheet, std::initializer_list<TextStyleValues> values) {
  sheet.TextStyles().Clear();
  for (const TextStyleValues& v : values) AddTextStyle(sheet, v, false);
}

}  // namespace

void MakeMonitorStyles(TRDStyle& sheet) {
  const std::initializer_list<TextStyleValues> styles = {
      {"Normal text", "Tahoma", 10, 0, clWindowText, 0},
      {"RS232", "Courier New", 10, 0, clBlue, 0},
      {"KISS", "Tahoma", 10, 0, clWindowText, 0},
      {"IG_HEAD", "Tahoma", 10, fsBold, clNavy, 0},
      {"IG_DATA", "Tahoma", 10, 0, 13762560, 0},
      {"P1_HEAD", "Tahoma", 10, fsBold, clGreen, 0},
      {"P1_DATA", "Tahoma", 10, 0, 45824, 0},
      {"P2_HEAD", "Tahoma", 10, fsBold, clTeal, 0},
      {"P2_DATA", "Tahoma", 10, 0, 12697856, 0}};
  SetTextStyles(sheet, styles);
  for (const TextStyleValues& v : styles) AddTextStyle(sheet, v, true);
  sheet.ParaStyles().Clear();
  sheet.ParaStyles().Add().Options = rdpaoNoWrap;
  TParaInfo& centered = sheet.ParaStyles().Add();
  centered.SetStyleName("Centered");
  centered.Alignment = rdaCenter;
}

void MakeMessageStyles(TRDStyle& sheet) {
  const TextStyleValues heading{"Heading", "Tahoma", 11, fsBold, clBlack, 10};
  SetTextStyles(sheet, {{"Normal text", "Courier New", 8, 0, 10658466, 0}, heading});
  AddTextStyle(sheet, heading, true);
  sheet.ParaStyles().Clear();
  struct ParaValues {
    const char* name;
    TColor background;
  };
  for (const ParaValues& v :
       {ParaValues{"FrameHeader", 16711422}, ParaValues{"MSG", 13434877},
        ParaValues{"MSG ACK", clMoneyGreen}, ParaValues{"MSG NOACK", 14145535}}) {
    TParaInfo& para = sheet.ParaStyles().Add();
    para.SetStyleName(v.name);
    para.Background.Color = v.background;
  }
}

TReceivedRun ReceivedRun(const std::string& Text, int StyleNo, int UnicodeStyleNo) {
  if (!IsUtf8Text(Text)) return {Text, StyleNo};
  return {WideStringToRawUnicode(ReceivedTextToUtf16(Text)), UnicodeStyleNo};
}

namespace {

// What both kinds of viewer save of their styles and take from imported RTF.
void SetUpStationViewer(TCustomRichDoc& viewer, TRDStyle& sheet) {
  viewer.SetStyle(&sheet);
  viewer.DoInPaletteMode = rdpaCreateCopies;
  viewer.RDFOptions |= rdfoSaveTextStyles | rdfoSaveParaStyles;
  viewer.RTFReadProperties().TextStyleMode = rdrsAddIfNeeded;
  viewer.RTFReadProperties().ParaStyleMode = rdrsAddIfNeeded;
}

}  // namespace

void SetUpMonitorViewer(TCustomRichDoc& viewer, TRDStyle& sheet) {
  SetUpStationViewer(viewer, sheet);
  // The viewer's own options, less selecting: the monitor is a log to watch, and a
  // selection in it would stop it following the packets as they come in.
  viewer.Options = TCustomRichDoc::kDefaultOptions & ~rdoAllowSelection;
  viewer.SetBorderStyle(bsNone);
}

void SetUpMessageViewer(TCustomRichDoc& viewer, TRDStyle& sheet) {
  SetUpStationViewer(viewer, sheet);
  viewer.Options |= rdoSingleClick;
  viewer.SetColor(0xF0F0F0);
  viewer.LeftMargin = viewer.RightMargin = viewer.TopMargin = viewer.BottomMargin = 0;
  viewer.UseXPThemes = false;
}
