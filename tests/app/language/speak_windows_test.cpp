// The shipped language files against the live windows: both name the same components
// in the same order, German gives every window its own texts back, English translates.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/language/code_encode.h"
#include "app/map/frm_aprs.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "app/receive/frm_log.h"
#include "app/settings/frm_setup.h"
#include "app/language/language_key.h"
#include "app/language/speak_file.h"
#include "app/app_windows.h"
#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "platform/sys/application.h"
#include "platform/text/string_list.h"

namespace {

struct TSpeakRecord {
  std::string Form, Component, Class, Caption, Hint;
};

// The windows whose every line must give back the window's own texts; of the settings
// window only its beacon buttons.
bool Restores(const TSpeakRecord& R) {
  static const std::set<std::string> windows = {
      "frmAprs",        "frmAprsMsg",       "frmLog",       "frmAprsStnInfo",
      "frmAprsStnList", "frmAprsStnSelect", "frmGpsStatus", "frmWxStatus"};
  if (R.Form == "frmSetup") return R.Component.rfind("mbtnTx", 0) == 0;
  return windows.count(R.Form) > 0;
}

TForm* FindWindow(const std::string& Name) {
  for (int f = 0; f < Screen->FormCount(); ++f)
    if (Screen->Forms(f)->Name == Name) return Screen->Forms(f);
  return nullptr;
}

TComponent* FindNamed(const TSpeakRecord& R) {
  TForm* window = FindWindow(R.Form);
  if (!window || R.Class == "TForm") return window;
  for (int c = 0; c < window->ComponentCount(); ++c)
    if (window->Components(c)->Name == R.Component) return window->Components(c);
  return nullptr;
}

// Menu items are no controls: their caption and hint are plain fields.
std::string CaptionOf(const TComponent* C) {
  if (const auto* item = dynamic_cast<const TMenuItem*>(C)) return item->Caption;
  return static_cast<const TControl*>(C)->Caption();
}

std::string HintOf(const TComponent* C) {
  if (const auto* item = dynamic_cast<const TMenuItem*>(C)) return item->Hint;
  return static_cast<const TControl*>(C)->Hint();
}

class SpeakWindowsTest : public AppWindowsTest {
 protected:
  // The component records of a shipped file, copied into the language folder.
  std::vector<TSpeakRecord> Shipped(const char* Name) {
    const std::string shipped = Application->ExeFolder() + "../bin/Speak/";
    if (!std::filesystem::exists(shipped + Name)) return {};
    std::filesystem::copy_file(shipped + Name, SpkDir + Name,
                               std::filesystem::copy_options::overwrite_existing);
    std::string content;
    LoadFileToString(content, SpkDir + Name);
    TStringList lines;
    lines.SetText(DecodeString(content, kLanguageKey).substr(kSpeakPreambleLength));
    std::vector<TSpeakRecord> records;
    for (int n = 1; n < lines.Count(); ++n) {
      TSpeakRecord r;
      CsvGetField(0, lines[n], r.Form);
      CsvGetField(1, lines[n], r.Component);
      CsvGetField(2, lines[n], r.Class);
      CsvGetField(3, lines[n], r.Caption);
      CsvGetField(4, lines[n], r.Hint);
      r.Caption = SpeakCrToLineBreak(r.Caption);
      r.Hint = SpeakCrToLineBreak(r.Hint);
      records.push_back(r);
    }
    return records;
  }
};

TEST_F(SpeakWindowsTest, GermanGivesTheWindowsTheirOwnTextsBackAndEnglishTranslates) {
  const std::vector<TSpeakRecord> german = Shipped("deutsch.spk");
  const std::vector<TSpeakRecord> english = Shipped("english.spk");
  if (german.empty() || english.empty()) GTEST_SKIP() << "language files not built";

  ASSERT_EQ(german.size(), english.size());
  struct TOwn {
    TComponent* Control;
    std::string Caption, Hint;
  };
  std::vector<TOwn> own;
  for (size_t n = 0; n < german.size(); ++n) {
    const TSpeakRecord& g = german[n];
    const TSpeakRecord& e = english[n];
    ASSERT_EQ(g.Form + ":" + g.Component + ":" + g.Class,
              e.Form + ":" + e.Component + ":" + e.Class);
    if (!Restores(g)) continue;
    TComponent* control = FindNamed(g);
    ASSERT_NE(control, nullptr) << g.Form << ":" << g.Component;
    if (g.Class != "TForm") {
      EXPECT_EQ(control->ClassName(), g.Class);
    }
    // Windows that show data in a caption (the map's name, a count) have no caption line.
    EXPECT_FALSE(g.Caption.empty() && !e.Caption.empty()) << g.Component;
    if (!g.Caption.empty()) {
      EXPECT_EQ(g.Caption, CaptionOf(control)) << g.Component;
    }
    if (!HintOf(control).empty()) {
      EXPECT_EQ(g.Hint, HintOf(control)) << g.Component;
    }
    if (control != frmAprs->lblStnCount) {
      own.push_back({control, CaptionOf(control), HintOf(control)});
    }
  }
  ASSERT_FALSE(own.empty());

  frmSetup->edtCallP1->SetText("N0CALL");
  frmAprs->lblStnCount->SetCaption("7 Stationen");
  ASSERT_EQ(LoadSpeakFile("english.spk", false), kSpeakLoaded);
  EXPECT_EQ(frmAprsStnList->Caption(), "Station list");
  EXPECT_EQ(frmLog->mbtnPlay->Hint(), "Play");
  EXPECT_EQ(frmLog->mbtnStop->Hint(), "Stop");
  EXPECT_EQ(frmAprs->bmpmMsg->Hint(), "Show the messages...");
  EXPECT_EQ(frmSetup->mbtnTxWxStatusP2->Hint(), "Send the weather status now");
  EXPECT_EQ(frmSetup->mbtnTxPosP1->Caption(), "TX");
  // A caption that shows data keeps it.
  EXPECT_EQ(frmAprs->lblStnCount->Caption(), "7 Stationen");
  // The map's styled menu and the messaging window's tabs translate too.
  EXPECT_EQ(frmAprs->mnuZoomInMax->Caption, "Zoom the map in fully");
  EXPECT_EQ(frmAprsMsg->atabMyMSg->Caption(), "My Message");

  ASSERT_EQ(LoadSpeakFile("deutsch.spk", false), kSpeakLoaded);
  for (const TOwn& o : own) {
    EXPECT_EQ(CaptionOf(o.Control), o.Caption) << o.Control->Name;
    if (!o.Hint.empty()) {
      EXPECT_EQ(HintOf(o.Control), o.Hint) << o.Control->Name;
    }
  }
}

}  // namespace
