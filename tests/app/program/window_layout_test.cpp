// Every text of every window can be read, in German and in English, at the default font:
// a caption wider than its control is cut off, and a label running into a neighbour or
// past its parent's edge is hidden under it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_windows.h"
#include "app/language/frm_prg_msg.h"
#include "app/language/frm_speak.h"
#include "app/language/speak_file.h"
#include "app/map/frm_aprs.h"
#include "app/program/frm_main.h"
#include "app/settings/frm_setup.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/stn_info_weather.h"
#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/check_box.h"
#include "platform/gui/standard/image.h"
#include "platform/gui/standard/label.h"
#include "platform/sys/application.h"

namespace {

// Room a control leaves its caption: a button's bevel, a check box's box.
int CaptionRoom(const TControl& Control) {
  if (dynamic_cast<const TCheckBox*>(&Control)) return Control.Width() - 20;
  if (dynamic_cast<const TMyButton*>(&Control)) return Control.Width() - 4;
  if (dynamic_cast<const TMyPanel*>(&Control)) return Control.Width() - 4;
  return Control.Width();
}

int TextWidth(const TControl& Control, const std::string& Caption) {
  TBitmap measure;
  measure.SetSize(1, 1);
  measure.Canvas().Font().Assign(const_cast<TControl&>(Control).Font());
  int widest = 0;
  size_t start = 0;
  while (start <= Caption.size()) {
    size_t end = Caption.find("\r\n", start);
    if (end == std::string::npos) end = Caption.size();
    widest = std::max(widest, measure.Canvas().TextWidth(Caption.substr(start, end - start)));
    start = end + 2;
  }
  return widest;
}

bool Overlaps(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// "form:control: caption" for every text that cannot be read whole.
std::vector<std::string> HiddenTexts() {
  std::vector<std::string> hidden;
  for (int f = 0; f < Screen->FormCount(); ++f) {
    TForm& form = *Screen->Forms(f);
    if (&form == frmSpeak || &form == frmPrgMsg) continue;  // never shown to users
    for (int c = 0; c < form.ComponentCount(); ++c) {
      auto* control = dynamic_cast<TControl*>(form.Components(c));
      if (!control || !control->Visible() || control->Caption().empty()) continue;
      const bool label = dynamic_cast<TCustomLabel*>(control) != nullptr;
      const bool captioned = label || dynamic_cast<TMyButton*>(control) ||
                             dynamic_cast<TMyPanel*>(control) || dynamic_cast<TCheckBox*>(control);
      if (!captioned) continue;
      const std::string what = form.Name + ":" + control->Name + ": \"" + control->Caption() + "\"";
      auto* wrapped = dynamic_cast<TCustomLabel*>(control);
      // A wrapping label breaks its text into its width between words, so each word must
      // fit that width, and it must still end inside its parent.
      if (wrapped && wrapped->WordWrap()) {
        std::string word;
        for (const char c : control->Caption() + " ") {
          if (c != ' ' && c != '\r' && c != '\n') {
            word += c;
            continue;
          }
          if (!word.empty() && TextWidth(*control, word) > control->Width())
            hidden.push_back(what + " cannot wrap \"" + word + "\" into " +
                             std::to_string(control->Width()));
          word.clear();
        }
        if (control->Top() + control->Height() > control->Parent()->ClientHeight())
          hidden.push_back(what + " wraps past the foot of " + control->Parent()->Name + " (" +
                           std::to_string(control->Top() + control->Height()) + " of " +
                           std::to_string(control->Parent()->ClientHeight()) + ", width " +
                           std::to_string(control->Width()) + ")");
        continue;
      }
      const int width = TextWidth(*control, control->Caption());
      if (width > CaptionRoom(*control)) {
        hidden.push_back(what + " needs " + std::to_string(width) + " of " +
                         std::to_string(CaptionRoom(*control)));
        continue;
      }
      if (!label) continue;
      TWinControl* parent = control->Parent();
      if (!parent) continue;
      const TRect text = Bounds(control->Left(), control->Top(), width, control->Height());
      if (text.Right > parent->ClientWidth()) {
        hidden.push_back(what + " runs past " + parent->Name + " (" + std::to_string(text.Right) +
                         " of " + std::to_string(parent->ClientWidth()) + ")");
        continue;
      }
      for (int n = 0; n < parent->ControlCount(); ++n) {
        TControl* other = parent->Controls(n);
        // A picture under a label is its background.
        if (other == control || !other->Visible() || dynamic_cast<TImage*>(other)) continue;
        if (Overlaps(text, other->BoundsRect())) {
          hidden.push_back(what + " runs into " + other->Name);
          break;
        }
      }
    }
  }
  return hidden;
}

class WindowLayoutTest : public AppWindowsTest {};

TEST_F(WindowLayoutTest, EveryTextFitsInGermanAndEnglish) {
  const std::string shipped = Application->ExeFolder() + "../bin/Speak/";
  for (const char* language : {"deutsch.spk", "english.spk"}) {
    if (!std::filesystem::exists(shipped + language)) GTEST_SKIP() << "not built: " << shipped;
    std::filesystem::copy_file(shipped + language, SpkDir + language,
                               std::filesystem::copy_options::overwrite_existing);
    frmSetup->edtCallP1->SetText("N0CALL");
    ASSERT_EQ(LoadSpeakFile(language, false), kSpeakLoaded);
    // As after start-up: the windows at their size, the choices' parts shown or hidden.
    frmMain->Show();
    frmSetup->mfcbxDeviceChange(frmSetup);
    frmSetup->mfcbxWxDeviceChange(frmSetup);
    frmAprs->Stations.UpdateStationCount();
    for (const TPrgMsgLabel status : {&TfrmPrgMsg::lblInfTcpLost, &TfrmPrgMsg::lblInfTcpSilent}) {
      frmAprs->Label1->SetCaption(PrgMsg(status));
      for (const std::string& text : HiddenTexts()) ADD_FAILURE() << language << " " << text;
    }
    // Every weather word of the detail window, in its panel.
    for (int word = 0; word < kPressureWordCount; ++word) {
      frmAprsStnInfo->mpnlTendenz->SetCaption(PrgMsgLine(&TfrmPrgMsg::lblWxPressureWords, word));
      for (const std::string& text : HiddenTexts()) ADD_FAILURE() << language << " " << text;
    }
  }
}

}  // namespace
