// The inputs our fuzzers drive into the program's windows, shared by the libFuzzer
// programs in fuzz/ and by the test that replays their saved corpus
// (fuzz_window_replay_test.cpp): language lines applied to the windows, settings files
// applied to them, the weather text file whose second line goes out as a beacon, and
// the TNC command files. The windows are made beforehand, as the program makes them.
// Each must run to the end on any bytes: no crash, no sanitizer report, no hang, and no
// line we send that holds a line break.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/fuzz_targets.h"
#include "app/language/speak_file.h"
#include "app/my_msg_boxes.h"
#include "app/settings/frm_setup.h"
#include "app/settings/settings_store.h"
#include "app/shelf/device_windows.h"
#include "app/transmit/beacons.h"
#include "app/transmit/transmit_wiring.h"
#include "core/tnc_control.h"
#include "platform/sys/registry.h"
#include "platform/test_support/gui_test_support.h"

// While one lives, every box a step opens, skinned or plain, is answered with OK as soon
// as the event loop runs: a window that asks the user must not stop a fuzzer.
class TAnswerEveryBox {
 public:
  TAnswerEveryBox() { Answer(++Generation()); }
  ~TAnswerEveryBox() { ++Generation(); }
  TAnswerEveryBox(const TAnswerEveryBox&) = delete;
  TAnswerEveryBox& operator=(const TAnswerEveryBox&) = delete;

 private:
  static int& Generation() {
    static int generation = 0;
    return generation;
  }
  // Answers what is open, then waits for the next pass of the event loop, until the
  // object that started it is gone.
  static void Answer(int Mine) {
    QueueCall([Mine] {
      if (Mine != Generation()) return;
      AnswerMessageBox(IDOK);
      if (TfrmMyMsgDialog* box = OpenMyMsgBox()) box->SetModalResult(mrOk);
      Answer(Mine);
    });
  }
};

// Any bytes as lines of a language file, each applied to the windows as loading a file
// applies it.
inline void FuzzSpeakLinesApplied(const uint8_t* Data, size_t Size) {
  TStringList lines;
  lines.SetText(std::string(reinterpret_cast<const char*>(Data), Size));
  for (int i = 0; i < lines.Count(); ++i) (void)ApplySpeakLine(lines[i]);
}

// Any bytes as the settings file, loaded into the windows and saved again.
inline void FuzzSettingsApplied(const uint8_t* Data, size_t Size) {
  ForceDirectories(ConfigFolder());
  SaveFileAtomically(TRegistry::FileName(),
                     std::string_view(reinterpret_cast<const char*>(Data), Size));
  {
    TRegistry reg;
    LoadLanguageChoice(*frmSetup, reg);
    LoadSettings(*frmSetup, reg);
  }
  SaveSettings(*frmSetup);
}

// A connected server and a TNC whose every line and frame is checked.
struct TCheckedBeaconOutput : TBeaconViews {
  TCheckedBeaconOutput() {
    radio_views.Device = 1;
    radio.KissActive = 1;
    radio_views.OnFrame = [](std::span<const uint8_t> Bytes) {
      // The frame as a receiver reads it: its information field is one line.
      const std::vector<uint8_t> inner(Bytes.begin() + 1, Bytes.end() - 1);
      const std::string text = DecodeAx25Frame(KissUnescape(inner));
      ExpectOneLine(text.substr(text.find("\r\n") + 2));
      return true;
    };
    radio.SetViews(&radio_views);
    radio.SetWriter(&radio_views);
  }
  bool IsConnected() const override { return true; }
  bool WriteLine(const std::string& Line) override {
    ExpectOneLine(Line);
    return true;
  }
  TKissLinkDouble radio_views;
  TKissLink radio;
};

// Any bytes as the weather text file of a "WX-TEXT" station: read as the weather beacon
// reads it, and the beacon sent on the radio and the internet.
inline void FuzzWxTextFile(const uint8_t* Data, size_t Size, const std::string& Folder) {
  const std::string file = Folder + "wx.txt";
  SaveFileAtomically(file, std::string_view(reinterpret_cast<const char*>(Data), Size));
  TfrmSetup& setup = *frmSetup;
  setup.edtWxFile->SetText(file);
  setup.edtCallP1->SetText("N0CALL");
  setup.mfcbxWxDevice->SetItemIndex(kWxDeviceText);
  setup.OwnLat = 48.1;
  setup.OwnLon = 11.5;
  TSetupBeaconSettings settings(setup, *frmGpsStatus);
  TCheckedBeaconOutput output;
  TBeacons beacons;
  beacons.SetSettings(&settings);
  beacons.SetViews(&output);
  beacons.Kiss = &output.radio;
  (void)beacons.SendBeacon(bkWxP1);
}

// Any bytes as the TNC's command file: loaded into the settings window as choosing the
// device loads it, each command as it goes out is one line ended by its CR, and the
// file saved from the window reads back to the same commands.
inline void FuzzTncCommandFile(const uint8_t* Data, size_t Size) {
  TfrmSetup& setup = *frmSetup;
  setup.mfcbxDevice->SetItemIndex(1);
  SaveFileAtomically(setup.TncIniFileName(true),
                     std::string_view(reinterpret_cast<const char*>(Data), Size));
  const auto commands = [&setup] {
    setup.LoadTncIniFiles();
    std::vector<std::string> lines;
    for (int i = 0; i < setup.memIni->Lines().Count(); ++i)
      lines.push_back(setup.memIni->Lines()[i]);
    return TTncControl::TncCommandLines(lines, false);
  };
  const std::vector<std::string> first = commands();
  for (const std::string& command : first) {
    if (command.empty() || command.back() != '\r') std::abort();
    ExpectOneLine(std::string_view(command).substr(0, command.size() - 1));
  }
  setup.SaveTncIniFiles();
  if (commands() != first) std::abort();
}
