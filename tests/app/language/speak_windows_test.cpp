// The shipped language files against the live windows: both name the same components
// in the same order, German gives every window its own texts back, English translates.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <set>

#include "../stations/station_records.h"
#include "app/app_windows.h"
#include "app/language/code_encode.h"
#include "app/language/frm_prg_msg.h"
#include "app/language/frm_speak.h"
#include "app/language/language_key.h"
#include "app/language/speak_file.h"
#include "app/map/frm_aprs.h"
#include "app/map/map_view.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/receive/frm_log.h"
#include "app/receive/tnc_link.h"
#include "app/settings/frm_setup.h"
#include "app/shelf/device_windows.h"
#include "app/stations/frm_aprs_stn_info.h"
#include "app/stations/frm_aprs_stn_list.h"
#include "controls/number_edit.h"
#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "core/rs232.h"
#include "core/tnc_control.h"
#include "devices/gps_status.h"
#include "devices/wx_stn.h"
#include "html/html_list_box.h"
#include "lists/ex_section_list.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/standard/combo_box.h"
#include "platform/gui/standard/edit.h"
#include "platform/gui/standard/label.h"
#include "platform/gui/standard/list_box.h"
#include "platform/gui/standard/message_box.h"
#include "platform/io/tcp_client.h"
#include "platform/sys/application.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/child_process.h"
#include "platform/sys/date_time.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/test_support/jpeg_scans.h"
#include "platform/text/streams.h"
#include "platform/text/string_list.h"
#include "support/scratch_files.h"

namespace {

struct TSpeakRecord {
  std::string Form, Component, Class, Caption, Hint;
};

// The windows whose every line must give back the window's own texts; of the settings
// window only its beacon buttons.
// The messaging window's own texts and the log's filter hint are English: German
// translates them like English does the rest.
bool Restores(const TSpeakRecord& R) {
  static const std::set<std::string> windows = {
      "frmAprs",          "frmLog",       "frmAprsStnInfo", "frmAprsStnList",
      "frmAprsStnSelect", "frmGpsStatus", "frmWxStatus"};
  if (R.Form == "frmSetup") return R.Component.rfind("mbtnTx", 0) == 0;
  if (R.Form == "frmLog" && R.Component == "mbtnFilter") return false;
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

// Menu items are no controls: their caption and hint are plain fields. A language line
// gives a column list its column captions, one per line.
std::string CaptionOf(const TComponent* C) {
  if (const auto* item = dynamic_cast<const TMenuItem*>(C)) return item->Caption;
  if (const auto* list = dynamic_cast<const TExSectionList*>(C)) {
    std::string lines;
    for (int n = 0; n < list->Columns.Count(); ++n)
      lines += (n ? "\r\n" : "") + list->Columns.Items(n)->Caption();
    return lines;
  }
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
  // A caption that shows data shows it again, in the new words: the store holds none.
  EXPECT_EQ(frmAprs->lblStnCount->Caption(), "0 stations");
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

// Every text a window shows, by form, component and kind: captions, hints, the items of
// lists and combo boxes, the columns of column lists, and the station counter composed in
// code.
std::map<std::string, std::string> ShownTexts() {
  std::map<std::string, std::string> texts;
  for (int f = 0; f < Screen->FormCount(); ++f) {
    TForm& form = *Screen->Forms(f);
    if (&form == frmSpeak) continue;  // the translators' own tool
    texts[form.Name + ": caption"] = form.Caption();
    for (int c = 0; c < form.ComponentCount(); ++c) {
      TComponent* component = form.Components(c);
      const std::string key = form.Name + ":" + component->Name;
      auto* control = dynamic_cast<TControl*>(component);
      if (!control) continue;
      // The program texts' pages only group the texts for translators; never shown.
      if (&form == frmPrgMsg && !dynamic_cast<TLabel*>(control)) continue;
      if (!dynamic_cast<TCustomEdit*>(control)) texts[key + " caption"] = control->Caption();
      texts[key + " hint"] = control->Hint();
      if (auto* combo = dynamic_cast<TCustomComboBox*>(control)) {
        texts[key + " items"] = combo->Items().Text();
      } else if (auto* list = dynamic_cast<TListBox*>(control)) {
        texts[key + " items"] = list->Items().Text();
      } else if (auto* html = dynamic_cast<THtmlListBox*>(control)) {
        texts[key + " items"] = html->Items().Text();
      } else if (auto* columns = dynamic_cast<TExSectionList*>(control)) {
        for (int n = 0; n < columns->Columns.Count(); ++n)
          texts[key + " column " + std::to_string(n)] = columns->Columns.Items(n)->Caption();
      }
    }
  }
  return texts;
}

// Texts that read the same in English: names, units, numbers, single letters.
bool SameInEnglish(const std::string& Text) {
  static const std::set<std::string> same = {
      "GPS", "TCP", "OK", "Ok", "Info", "Information", "Status", "Log", "Setup", "TX", "MSG", "x",
      "X", "...", "KISS on", "KISS off", "Debug", "Digi", "IGate", "APRS", "Velmora", "WX Status",
      "SYM", "QRB", "Port 2", "Station", "+", "-", "C", "S", "P", "L", "A", "F", "R", "P1", "P2",
      "CLR", "STOP", "FILTER", "Filter", "Wind", "Version", "Monitor", "Messages", "My Message",
      "Message Group", "Close", "Captions", "Hints", "GGA", "GSA", "GSV", "RMC",
      "no receiver connected...", "show/hide filter option", "Position (min)", "Status (min)",
      "Velmora 1.2 - APRS station", "frmAprsStnSelect", "https://www.example.org/velmora/",
      "velmora@example.org", "m", "-> RNG0002", "N0CALL",
      // The units and device names of the settings' choices.
      "OFF\r\nKenwood TM-D700/710\r\nKenwood TH-D7\r\nKenwood TS-2000\r\n"
      "SCS PTC-IIe / SCS PTC-IIex / SCS PTC-IIusb\r\nSCS PTC-II / SCS PTC-IIpro\r\n"
      "SCS Tracker / TNC / TNC2 / TNC Multi / AS232\r\nTNC no flow control\r\nTNC3\r\n"
      "Quandel Kambrio\r\n",
      "OFF\r\nWS-23xx\r\nWX-200, WM-918\r\nWMR-918, WMR-928, WMR-968\r\nWX-TEXT\r\n",
      "off\r\n1\r\n2\r\n3\r\n", "m\r\nft\r\n", "mm\r\ninch\r\nl/m\xB2\r\n",
      "km/h\r\nmph\r\nkts\r\n",
      "\xB0"
      "C\r\n\xB0"
      "F\r\n",
      "km/h\r\nm/s\r\nmph\r\nkn\r\n"};
  if (same.count(Text)) return true;
  for (char c : Text)
    if (std::isalpha(static_cast<unsigned char>(c))) return false;
  return true;  // no letter at all
}

TEST_F(SpeakWindowsTest, NoVisibleTextStaysGermanInEnglish) {
  if (Shipped("deutsch.spk").empty() || Shipped("english.spk").empty())
    GTEST_SKIP() << "language files not built";
  frmSetup->edtCallP1->SetText("N0CALL");
  ASSERT_EQ(LoadSpeakFile("deutsch.spk", false), kSpeakLoaded);
  // The links' states stand until they change, in the language of their time.
  frmAprs->AprsIs.Views().SetStatusText(TTcpClient::kStatusConnected);
  TncControl().Views().SetStatusText(kTncStatusConnecting);
  const std::map<std::string, std::string> german = ShownTexts();
  ASSERT_EQ(german.at("frmAprs:Label1 caption"), "Verbunden.");
  // Chosen in the settings, as a user does: what was composed in German is redone too.
  frmSetup->mfcbxSpk->SetText("english.spk");
  frmSetup->mfcbxSpkChange(frmSetup);
  const std::map<std::string, std::string> english = ShownTexts();
  for (const auto& [key, text] : german) {
    if (text.empty() || SameInEnglish(text)) continue;
    EXPECT_NE(english.at(key), text) << key << " stays German";
  }
}

// A number edit whose leaving can be called as the focus moving on does.
class TLeftNumberEdit : public TNumberEdit {
 public:
  using TNumberEdit::DoExit;
  using TNumberEdit::TNumberEdit;
};

// What the windows compose while the program runs, in the language loaded last: the
// detail window's words, a question and an error raised at run time, the GPS status
// line and the day names of the log's dates; and the texts of the libraries below the
// program: a serial port that cannot open, a number out of range in the plain box and
// its caption, the internet link without a server, a weather station's bad frame, a file
// that cannot be saved.
struct TComposed {
  std::string call, destination, mic_e, weather, owner, question, error, gps, day;
  std::string serial, range, range_head, no_server, wx_frame, file_save, pipe_save, map_refusal;
};

// A calibrated JPEG map whose scans walk more blocks than a picture may: a flat picture
// in 8 scans, its last one given 6,000 times.
const std::string& CostlyJpegMap() {
  static const std::string map = [] {
    TBitmap flat;
    flat.SetSize(2048, 2048);
    flat.Canvas().Brush().SetColor(clTeal);
    flat.Canvas().FillRect(Rect(0, 0, 2048, 2048));
    TJPEGImage jpeg;
    jpeg.Assign(flat);
    TMemoryStream bytes;
    jpeg.SaveToStream(bytes);
    const auto* data = static_cast<const std::uint8_t*>(bytes.Memory());
    const std::vector<std::uint8_t> costly =
        JpegWithLastScanRepeated(JpegInScans(std::span(data, std::size_t(bytes.Size())), 8), 6000);
    WriteScratchFile("costly.DAT", "50:00.00N/000:00.00E\r\n40:00.00N/020:00.00E\r\nCostly\r\n");
    return WriteScratchFile("costly.jpg", std::string(costly.begin(), costly.end()));
  }();
  return map;
}

TComposed Composed() {
  TComposed seen;
  TStationList stations;
  frmAprsStnInfo->Stations = &stations;
  TAprsInfo mobile = SampleStation("N0CALL-9");
  mobile.MicEMsg = 2;
  mobile.Path.clear();
  stations.Add(RecordOf(mobile));
  frmAprsStnInfo->ShowStationInfo(MakeStationKey("", "N0CALL-9"));
  seen.call = frmAprsStnInfo->lblCall->Caption();
  seen.destination = frmAprsStnInfo->lblAprsDesAdr->Caption();
  seen.mic_e = frmAprsStnInfo->lblMsgTyp->Caption();
  TAprsInfo weather = SampleStation("WX1");
  weather.SymCode = '_';
  weather.Comment = "225/004t050";
  stations.Add(RecordOf(weather));
  frmAprsStnInfo->ShowStationInfo(MakeStationKey("", "WX1"));
  seen.weather = frmAprsStnInfo->lblMsgTyp->Caption();
  TAprsInfo object = SampleStation("Treffen");
  object.OwnerCall = "N0CALL";
  object.ObjState = '*';
  stations.Add(RecordOf(object));
  frmAprsStnInfo->ShowStationInfo(MakeStationKey("N0CALL", "Treffen"));
  seen.owner = frmAprsStnInfo->lblStnStatus->Caption();
  frmAprsStnInfo->Hide();
  frmAprsStnInfo->Stations = nullptr;

  AnswerNextMyMsgBox(&seen.question);
  frmAprs->ButtonClick(frmAprs->mbtnDelAllStn);
  frmSetup->edtWxFile->SetText("/nonexistent/wx.txt");
  AnswerNextMyMsgBox(&seen.error);
  frmSetup->ReadWxTextFile();
  seen.gps = frmGpsStatus->mpnlStatus->Caption();
  seen.day = FormatDateTime("dddd", EncodeDate(2026, 12, 7));
  TncRs232().OpenRs232Device("/nonexistent/velmora-tty", 9600, TSerialFlow::None, seen.serial);
  TLeftNumberEdit minutes(frmSetup);
  minutes.SetIntMin(1);
  minutes.SetIntMax(60);
  minutes.SetText("99");
  QueueCall([&] { AnswerMessageBox(IDOK, &seen.range, &seen.range_head); });
  minutes.DoExit();
  AnswerNextMyMsgBox(&seen.no_server);
  frmAprs->AprsIs.mbtnTcpClick();
  TWxStnDataReader reader;
  reader.StationType = wstWS2300;
  reader.ShowFormatError = [&](const std::string& Text) { seen.wx_frame = Text; };
  TBuffer64 frame;
  frame.fill(0xFF);  // its checksum fails
  reader.DispatchWxFrame(1, frame);
  try {
    SaveFileAtomically("/nonexistent/velmora/Stn.dat", "x");
  } catch (const EWriteError& error) {
    seen.file_save = error.what();
  }
  const std::string pipe = ScratchFolder() + "/Stn.dat";
  RunAndCapture("mkfifo '" + pipe + "' 2>/dev/null");  // no program reads from it
  try {
    SaveFileAtomically(pipe, "x");
  } catch (const EWriteError& error) {
    seen.pipe_save = error.what();
  }
  AnswerNextMyMsgBox(&seen.map_refusal);
  frmAprs->Map->LoadMap(CostlyJpegMap());
  return seen;
}

TEST_F(SpeakWindowsTest, TextsComposedAtRunTimeFollowTheLanguage) {
  if (Shipped("deutsch.spk").empty() || Shipped("english.spk").empty())
    GTEST_SKIP() << "language files not built";
  frmSetup->edtCallP1->SetText("N0CALL");
  ASSERT_EQ(LoadSpeakFile("english.spk", false), kSpeakLoaded);
  const TComposed english = Composed();
  ASSERT_EQ(LoadSpeakFile("deutsch.spk", false), kSpeakLoaded);
  const TComposed german = Composed();
  EXPECT_EQ(english.call, "N0CALL-9 [direct]");
  EXPECT_EQ(german.call, "N0CALL-9 [direkt]");
  EXPECT_EQ(english.destination, "to APRS");
  EXPECT_EQ(german.destination, "an APRS");
  EXPECT_EQ(english.mic_e, "En Route");
  EXPECT_EQ(german.mic_e, "Unterwegs");
  EXPECT_EQ(english.weather, "Complete Weather Report");
  EXPECT_EQ(german.weather, "Vollst\xE4ndiger Wetterbericht");
  EXPECT_EQ(english.owner, "Object owner: N0CALL");
  EXPECT_EQ(german.owner, "Objektbesitzer: N0CALL");
  EXPECT_EQ(english.question, "Delete all stations?");
  EXPECT_EQ(german.question, "Alle Stationen l\xF6schen?");
  EXPECT_EQ(english.error, "WX-Text file \"/nonexistent/wx.txt\" not found!");
  EXPECT_EQ(german.error, "WX-Textdatei \"/nonexistent/wx.txt\" nicht gefunden!");
  EXPECT_EQ(english.gps, "no receiver connected...");
  EXPECT_EQ(german.gps, "kein Empf\xE4nger...");
  EXPECT_EQ(english.day, "Monday");
  EXPECT_EQ(german.day, "Montag");
  EXPECT_EQ(english.serial, "OpenRs232: the port cannot be opened!");
  EXPECT_EQ(german.serial,
            "OpenRs232: \xD6"
            "ffnen der Schnittstelle nicht m\xF6glich !");
  EXPECT_EQ(english.range, "The value must lie between 1 and 60!");
  EXPECT_EQ(german.range, "Wert mu\xDF zwischen 1 und 60 liegen!");
  EXPECT_EQ(english.range_head, "Error");
  EXPECT_EQ(german.range_head, "Fehler");
  EXPECT_EQ(english.no_server, "Please choose a server in the settings first!");
  EXPECT_EQ(german.no_server, "Bitte erst einen Server im Setup ausw\xE4hlen!");
  EXPECT_EQ(english.wx_frame, "Temp Format Error!");
  EXPECT_EQ(german.wx_frame, "Formatfehler der Temperatur!");
  EXPECT_EQ(english.file_save.rfind("Cannot save file \"/nonexistent/velmora/Stn.dat\". ", 0), 0u)
      << english.file_save;
  EXPECT_EQ(german.file_save.rfind(
                "Datei \"/nonexistent/velmora/Stn.dat\" kann nicht gespeichert werden. ", 0),
            0u)
      << german.file_save;
  const std::string pipe = ScratchFolder() + "/Stn.dat";
  EXPECT_EQ(english.pipe_save,
            "Cannot save file \"" + pipe + "\". No program reads from this pipe.");
  EXPECT_EQ(german.pipe_save, "Datei \"" + pipe +
                                  "\" kann nicht gespeichert werden. Kein Programm liest aus "
                                  "dieser Pipe.");
  // A map refused by the bound on its decoding's work says why in the box's language (the
  // box shows UTF-8).
  EXPECT_NE(english.map_refusal.find("Map file too large, loading aborted!"), std::string::npos)
      << english.map_refusal;
  EXPECT_NE(english.map_refusal.find("Decoding the picture would walk 98762752 blocks, at most "
                                     "50331648 are allowed."),
            std::string::npos)
      << english.map_refusal;
  EXPECT_NE(german.map_refusal.find("Karten Datei zu gro\xC3\x9F, laden abgebrochen!"),
            std::string::npos)
      << german.map_refusal;
  EXPECT_NE(german.map_refusal.find("Das Bild zu entschl\xC3\xBCsseln w\xC3\xBCrde 98762752 "
                                    "Bl\xC3\xB6"
                                    "cke durchlaufen, erlaubt sind h\xC3\xB6"
                                    "chstens "
                                    "50331648."),
            std::string::npos)
      << german.map_refusal;
  Application->SetLanguage("");
}

}  // namespace
