#include "app/language/frm_prg_msg.h"

#include "app/language/speak_file.h"
#include "app/map/map_calibration.h"
#include "app/map/map_view.h"
#include "app/map/map_window_commands.h"
#include "app/messages/frm_aprs_msg.h"
#include "app/receive/aprs_info.h"
#include "app/receive/aprs_is_link.h"
#include "app/settings/settings_store.h"
#include "app/stations/stn_info_weather.h"
#include "controls/my_panel.h"
#include "controls/number_edit.h"
#include "core/aprs_is_reader.h"
#include "core/rs232.h"
#include "core/tnc_control.h"
#include "devices/gps_status.h"
#include "devices/ws2300.h"
#include "devices/wx_stn.h"
#include "platform/gui/controls/new_control.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/standard/message_box.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/registry.h"
#include "platform/text/local_texts.h"
#include "platform/text/streams.h"

TfrmPrgMsg* frmPrgMsg = nullptr;

namespace {

// The pages only group the labels for the translator.
const char* const kPageNames[] = {"atabErrors",    "atabInfos",    "atabDialogs", "atabWords",
                                  "atabQuestions", "atabCaptions", "atabHints"};
const char* const kPageCaptions[] = {"Fehlermeldungen", "Hinweise / Info", "Dialoge", "W\xF6rter",
                                     "Fragen",          "Captions",        "Hints"};
enum TMsgPage { kPageErrors, kPageInfos, kPageDialogs, kPageWords, kPageQuestions };

constexpr int kMicEMsgCount = 22;  // codes 0 to 21
constexpr int kWxReportStateCount = 3;

// The texts of a table, one line each, as a translatable caption.
template <typename TText>
std::string TableCaption(TText Text, int Count) {
  std::string caption;
  for (int n = 0; n < Count; ++n) caption += (n > 0 ? "%cr%" : "") + Text(n);
  return caption;
}

}  // namespace

TfrmPrgMsg::TfrmPrgMsg(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmPrgMsg";
  SetCaption("Programmtexte");
  SetClientSize(500, 300);
  pctrlMsgTyp = NewControl<TExPageControl>(this, this, "pctrlMsgTyp", 0, 0, 0, 0);
  pctrlMsgTyp->SetAlign(alClient);
  TExTabSheet* pages[std::size(kPageNames)];
  for (std::size_t n = 0; n < std::size(kPageNames); ++n) {
    pages[n] = new TExTabSheet(this);
    pages[n]->Name = kPageNames[n];
    pages[n]->SetCaption(kPageCaptions[n]);
    pages[n]->SetPageControl(pctrlMsgTyp);
  }
  int tops[std::size(kPageNames)] = {};
  auto label = [this, &pages, &tops](TMsgPage Page, const char* Name, const char* Caption) {
    // One below the other on their page, for the translator.
    auto* control = NewControl<TLabel>(this, pages[Page], Name, 8, 8 + 20 * tops[Page]++, 480, 15);
    control->SetCaption(Caption);
    text_labels_.emplace_back(SpeakCrToLineBreak(Caption), control);
    return control;
  };
  lblWordVersion = label(kPageWords, "lblWordVersion", "Version");
  lblInfLastChange = label(kPageWords, "lblInfLastChange", "letzte \xC4nderung am");
  lblInfOwnCall = label(kPageInfos, "lblInfOwnCall",
                        "F\xFCr die Funktion von Velmora,%cr%bitte das eigene Rufzeichen in den "
                        "Einstellungen eingeben!");
  lblQueAdd = label(kPageQuestions, "lblQueAdd", "Sollen die Daten angehangen werden?");
  lblWordStations = label(kPageWords, "lblWordStations", "Stationen");
  lblWordDirect = label(kPageWords, "lblWordDirect", "direkt");
  lblWordTo = label(kPageWords, "lblWordTo", "to");
  lblWordObjectOwner = label(kPageWords, "lblWordObjectOwner", "Object owner:");
  lblWordItemOwner = label(kPageWords, "lblWordItemOwner", "Item owner:");
  const std::string mic_e = TableCaption(
      [](int Code) { return MicEMsgText(static_cast<std::uint8_t>(Code)); }, kMicEMsgCount);
  lblMicEMsgs = label(kPageWords, "lblMicEMsgs", mic_e.c_str());
  const std::string wx_states = TableCaption(WxReportStateText, kWxReportStateCount);
  lblWxReportStates = label(kPageWords, "lblWxReportStates", wx_states.c_str());
  const std::string pressure_words = TableCaption(PressureWordText, kPressureWordCount);
  lblWxPressureWords = label(kPageWords, "lblWxPressureWords", pressure_words.c_str());
  lblWordLanguage = label(kPageWords, "lblWordLanguage", "de");
  lblQueDelAll = label(kPageQuestions, "lblQueDelAll", kDeleteAllStationsQuestion);
  lblWordMapFilter = label(kPageWords, "lblWordMapFilter", kMapPictureFilter);
  lblInfSetupVersion = label(kPageInfos, "lblInfSetupVersion", "Setup Version aktualisiert.");
  lblErrWxFileNotFound =
      label(kPageErrors, "lblErrWxFileNotFound", "WX-Text file \"%s\" not found!");
  lblErrWxFileFormat =
      label(kPageErrors, "lblErrWxFileFormat", "WX-Text file \"%s\" format error!");
  lblErrMsgSameCall = label(kPageErrors, "lblErrMsgSameCall", kMsgSameCallText);
  lblErrMsgNoText = label(kPageErrors, "lblErrMsgNoText", kMsgNoTextText);
  lblInfTncConnecting = label(kPageInfos, "lblInfTncConnecting", kTncStatusConnecting);
  lblInfTncDisconnected = label(kPageInfos, "lblInfTncDisconnected", kTncStatusDisconnected);
  lblInfTncLost = label(kPageInfos, "lblInfTncLost", kTncStatusLost);
  lblInfTncNotReading = label(kPageInfos, "lblInfTncNotReading", kTncStatusNotReading);
  lblInfTcpConnected = label(kPageInfos, "lblInfTcpConnected", TTcpClient::kStatusConnected);
  lblInfTcpDisconnected =
      label(kPageInfos, "lblInfTcpDisconnected", TTcpClient::kStatusDisconnected);
  lblInfTcpLost = label(kPageInfos, "lblInfTcpLost", kConnectionLostText);
  lblInfTcpSilent = label(kPageInfos, "lblInfTcpSilent", kServerSilentText);
  lblInfGpsNoReceiver = label(kPageInfos, "lblInfGpsNoReceiver", kGpsStatusNoReceiver);
  lblInfGpsWaiting = label(kPageInfos, "lblInfGpsWaiting", kGpsStatusWaiting);
  lblInfGpsDataError = label(kPageInfos, "lblInfGpsDataError", kGpsStatusDataError);
  lblInfGpsNmeaError = label(kPageInfos, "lblInfGpsNmeaError", kGpsStatusNmeaError);
  lblInfGpsLost = label(kPageInfos, "lblInfGpsLost", kGpsStatusLost);
  lblInfGpsSatInUse = label(kPageInfos, "lblInfGpsSatInUse", kGpsSatInUse);
  lblInfGpsSatInView = label(kPageInfos, "lblInfGpsSatInView", kGpsSatInView);
  lblInfGpsSatSignal = label(kPageInfos, "lblInfGpsSatSignal", kGpsSatSignal);
  lblInfGpsSatPlace = label(kPageInfos, "lblInfGpsSatPlace", kGpsSatPlace);
  lblWordError = label(kPageWords, "lblWordError", kErrorBoxCaption);
  lblErrRs232Open = label(kPageErrors, "lblErrRs232Open", kRs232OpenFailed);
  lblErrRs232Setup = label(kPageErrors, "lblErrRs232Setup", kRs232SetupFailed);
  lblErrRs232Dcb = label(kPageErrors, "lblErrRs232Dcb", kRs232DcbFailed);
  lblErrTncGone = label(kPageErrors, "lblErrTncGone", kTncDeviceGoneText);
  lblErrWxCom = label(kPageErrors, "lblErrWxCom", kWxComError);
  for (int n = 0; n < kWs2300FormatErrorCount; ++n) {
    const std::string name = "lblErrWxFormat" + std::to_string(n + 1);
    label(kPageErrors, name.c_str(), kWs2300FormatErrors[n]);
  }
  label(kPageErrors, "lblErrFileSave", kCannotSaveFileText);
  label(kPageErrors, "lblErrFileNoReader", kNoReaderText);
  label(kPageErrors, "lblErrFileNotAFile", kNotAFileText);
  label(kPageErrors, "lblErrFileReaderStalled", kReaderStalledText);
  label(kPageErrors, "lblErrFileFolderNotMade", kFolderNotMadeText);
  label(kPageErrors, "lblErrFileKeepsChanging", kKeepsChangingText);
  label(kPageErrors, "lblErrFileDamagedNotKept", kDamagedNotKeptText);
  label(kPageErrors, "lblErrFileCreate", kCannotCreateFileText);
  label(kPageErrors, "lblErrFileOpen", kCannotOpenFileText);
  lblErrNumberRange = label(kPageErrors, "lblErrNumberRange", kNumberRangeError);
  lblInfNumberRange = label(kPageInfos, "lblInfNumberRange", kNumberRangeHint);
  lblErrBitmapTooSmall = label(kPageErrors, "lblErrBitmapTooSmall", kBitmapTooSmallText);
  lblErrNoServer = label(kPageErrors, "lblErrNoServer", kNoServerText);
  lblErrNoCalibration = label(kPageErrors, "lblErrNoCalibration", kNoCalibration);
  lblErrMapGone = label(kPageErrors, "lblErrMapGone", kImageGone);
  label(kPageErrors, "lblErrCalibrationUnusable", kCalibrationUnusable);
  label(kPageErrors, "lblErrCalibrationCorners", kCalibrationTooFewCorners);
  label(kPageErrors, "lblErrCalibrationArea", kCalibrationNoArea);
  lblErrMapUnreadable = label(kPageErrors, "lblErrMapUnreadable", kImageUnreadable);
  lblErrMapTooLarge = label(kPageErrors, "lblErrMapTooLarge", kImageTooLarge);
  label(kPageErrors, "lblErrPictureTooLarge", kPictureTooLargeText);
  label(kPageErrors, "lblErrJpegTooCostly", kJpegTooCostlyText);
  lblErrServerList = label(kPageErrors, "lblErrServerList", kServerListNotReadText);
  lblErrSettingsDamaged = label(kPageErrors, "lblErrSettingsDamaged", kSettingsDamagedText);
  lblErrSettingsKept = label(kPageErrors, "lblErrSettingsKept", kDamagedSettingsKeptText);
  lblErrSettingsLeft = label(kPageErrors, "lblErrSettingsLeft", kDamagedSettingsLeftText);
  lblErrSpeakDestroyed = label(kPageErrors, "lblErrSpeakDestroyed", kSpeakDestroyedText);
  lblErrSpeakDelete = label(kPageErrors, "lblErrSpeakDelete", kSpeakDeleteText);
  lblErrSpeakVersion = label(kPageErrors, "lblErrSpeakVersion", kSpeakWrongVersionText);
  lblErrSpeakNotRead = label(kPageErrors, "lblErrSpeakNotRead", kSpeakNotReadText);
  lblErrSpeakUntranslated = label(kPageErrors, "lblErrSpeakUntranslated", kSpeakUntranslatedText);
  lblErrSpeakUntranslatedMore =
      label(kPageErrors, "lblErrSpeakUntranslatedMore", kSpeakUntranslatedMoreText);
  lblErrLogLinesLost = label(kPageErrors, "lblErrLogLinesLost",
                             "%d packets could not be written to \"%s\" and are lost.");
  frmPrgMsg = this;
  DoCreate();
}

TfrmPrgMsg::~TfrmPrgMsg() {
  if (frmPrgMsg != this) return;
  frmPrgMsg = nullptr;
  // The wordings were this window's: the program's texts stand as written again.
  SetLocalTexts({});
}

void TfrmPrgMsg::PublishLocalTexts() const {
  std::map<std::string, std::string> texts;
  for (const auto& [text, label] : text_labels_) texts[text] = GetPrgMsg(*label);
  SetLocalTexts(texts);
}

std::string GetPrgMsg(const TLabel& Label) {
  return SpeakCrToLineBreak(Label.Caption());
}

std::string PrgMsg(TPrgMsgLabel Label, const std::string& Fallback) {
  return frmPrgMsg ? GetPrgMsg(*(frmPrgMsg->*Label)) : Fallback;
}

std::string PrgMsgLine(TPrgMsgLabel Label, int Index) {
  const std::string text = PrgMsg(Label);
  size_t start = 0;
  for (int n = 0; n < Index; ++n) {
    start = text.find("\r\n", start);
    if (start == std::string::npos) return "";
    start += 2;
  }
  return text.substr(start, text.find("\r\n", start) - start);
}
