#include "app/receive/frm_log.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include "app/language/frm_prg_msg.h"
#include "app/shelf/form_build.h"
#include "app/shelf/form_fit.h"
#include "app/shelf/typed_chars.h"
#include "controls/my_msg_dialog.h"
#include "platform/sys/files.h"
#include "platform/text/format.h"
#include "platform/text/shown_text.h"
#include "platform/text/sysutils.h"

TfrmLog* frmLog = nullptr;

namespace {

constexpr unsigned kPlayTickMs = 1000;
// Lines a busy minute of the log left waiting, and the rest of a long line being skipped,
// follow once the windows have had their turn, not a second later (a timer of 0 ms would
// not run).
constexpr unsigned kCatchUpTickMs = 1;
constexpr unsigned kFlushTickMs = 1000;
// A report's box opens as soon as the flush that made it has returned.
constexpr unsigned kReportTickMs = 1;
constexpr int kConfirmYes = 6;
constexpr char kBackspace = 8;
constexpr const char* kProgressFormat = "dddd dd mmm yyyy - hh:nn:ss";
// The progress bar's steps from the first byte of a log to its last.
constexpr int kProgressSteps = 1000;
constexpr const char* kAppendQuestion = "Sollen die Daten angehangen werden?";

// A control key other than backspace and the line ends: a command of the memo, no text.
bool IsMemoCommand(char Key) {
  return Key > 0 && Key < 0x20 && Key != kBackspace && Key != '\r' && Key != '\n';
}

}  // namespace

TfrmLog::TfrmLog(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmLog";
  SetCaption("Log");
  SetFormStyle(fsStayOnTop);
  auto button = [this](const char* name, const char* caption, const char* hint, int left) {
    auto* b = NewControl<TMyButton>(this, this, name, left, 8, 52, 25);
    b->SetCaption(caption);
    b->SetHint(hint);
    b->SetShowHint(true);
    return b;
  };
  mbtnPlay = button("mbtnPlay", "P", "Abspielen", 8);
  mbtnPlay->OnClick = [this](TComponent* Sender) { mbtnPlayClick(Sender); };
  mbtnRecord = button("mbtnRecord", "R", "Aufnehmen", 64);
  mbtnRecord->OnClick = [this](TComponent* Sender) { mbtnRecordClick(Sender); };
  mbtnStop = button("mbtnStop", "STOP", "Stoppen", 120);
  mbtnStop->OnClick = [this](TComponent* Sender) { mbtnStopClick(Sender); };
  mbtnClose = button("mbtnClose", "X", "", 240);
  mbtnClose->OnClick = [this](TComponent* Sender) { mbtnCloseClick(Sender); };
  mbtnFilter = NewSwitch(this, this, "mbtnFilter", "FILTER", 176, 8, 60, 25);
  mbtnFilter->SetHint("show/hide filter option");
  mbtnFilter->OnClick = [this](TComponent* Sender) { mbtnFilterClick(Sender); };

  lblGo = NewControl<TLabel>(this, this, "lblGo", 8, 40, 284, 15);
  lblNow = NewControl<TLabel>(this, this, "lblNow", 8, 56, 284, 15);
  lblEnd = NewControl<TLabel>(this, this, "lblEnd", 8, 72, 284, 15);
  mpbPos = NewProgressBar(this, this, "mpbPos", 8, 90, 284, 12);

  mpnlFilter = NewControl<TMyPanel>(this, this, "mpnlFilter", 8, 108, 284, 84);
  mpnlFilter->SetVisible(false);
  memFilter = NewControl<TMemo>(this, mpnlFilter, "memFilter", 4, 4, 276, 76);
  memFilter->OnKeyPress = [this](TComponent* Sender, char& Key) { memFilterKeyPress(Sender, Key); };
  // The filter is compared with the calls of packets: what is pasted, or typed in another
  // script, is taken as the keys are.
  TakeAddressText(*memFilter, kCallListChars);

  OpenDialog = new TOpenDialog(this);
  OpenDialog->Name = "OpenDialog";
  timPlayBack = new TTimer(this);
  timPlayBack->Name = "timPlayBack";
  timPlayBack->SetInterval(kPlayTickMs);
  timPlayBack->SetEnabled(false);
  timPlayBack->OnTimer = [this](TComponent* Sender) { timPlayBackTimer(Sender); };
  timFlush = new TTimer(this);
  timFlush->Name = "timFlush";
  timFlush->SetInterval(kFlushTickMs);
  timFlush->SetEnabled(false);
  timFlush->OnTimer = [this](TComponent*) { Recorder.FlushTick(); };
  timReport = new TTimer(this);
  timReport->Name = "timReport";
  timReport->SetInterval(kReportTickMs);
  timReport->SetEnabled(false);
  timReport->OnTimer = [this](TComponent* Sender) { timReportTimer(Sender); };

  // The recorder tells once per outage; the flushes go on meanwhile.
  Recorder.OnWriteError = [this](const std::string& Error) {
    error_to_report_ = Error;
    ReportSoon();
  };
  // Lines lost while the file could not be written are never passed over in silence.
  Recorder.OnLinesLost = [this](int Lost) {
    lost_to_report_ += Lost;
    ReportSoon();
  };
  Player.AnalysePacket = [this](const TReceivedPacket& Packet) {
    if (AnalysePacket) AnalysePacket(Packet);
  };
  Player.OnStopped = [this] {
    timPlayBack->SetEnabled(false);
    ShowPlayProgress();
    ShowState();
  };

  for (TLabel* label : {lblGo, lblNow, lblEnd}) label->SetCaption("");
  mpbPos->SetPosition(0);
  ShowState();
  FitClientToControls(*this);
  frmLog = this;
  DoCreate();
}

TfrmLog::~TfrmLog() {
  Player.OnStopped = nullptr;
  Recorder.OnWriteError = nullptr;
  Recorder.OnLinesLost = nullptr;
  StopRecording();
  StopPlayback();
  if (frmLog == this) frmLog = nullptr;
}

std::string TfrmLog::FilterText() const {
  // Line breaks (from a stored filter) separate calls like commas.
  return StringReplace(Trim(memFilter->Text()), "\r\n", ",", rfReplaceAll);
}

void TfrmLog::ShowState() {
  const bool busy = Recorder.Recording() || Player.Playing();
  mbtnStop->SetEnabled(busy);
  mbtnRecord->SetDown(Recorder.Recording());
  mbtnRecord->SetEnabled(!Player.Playing());
  mbtnPlay->SetDown(Player.Playing());
  mbtnPlay->SetEnabled(!Recorder.Recording());
}

void TfrmLog::StartRecording(const std::string& FileName, bool Append) {
  std::string error;
  if (!Recorder.Start(FileName, Append, error)) MyShowError(error);
  timFlush->SetEnabled(Recorder.Recording());
  ShowState();
}

void TfrmLog::StopRecording() {
  Recorder.Stop();
  timFlush->SetEnabled(false);
  if (mbtnStop) ShowState();
}

bool TfrmLog::StartPlayback(const std::string& FileName) {
  StopPlayback();
  const bool started = Player.Start(FileName);
  if (started) {
    mpbPos->SetMin(0);
    mpbPos->SetMax(kProgressSteps);
    timPlayBack->SetInterval(kPlayTickMs);
    timPlayBack->SetEnabled(true);
  }
  ShowPlayProgress();
  ShowState();
  return started;
}

void TfrmLog::StopPlayback() {
  Player.Stop();
}

void TfrmLog::ShowPlayProgress() {
  if (Player.PlayStart() == 0) return;
  lblGo->SetCaption(FormatDateTime(kProgressFormat, Player.PlayStart()));
  lblNow->SetCaption(FormatDateTime(kProgressFormat, Player.PlayNow()));
  lblEnd->SetCaption(FormatDateTime(kProgressFormat, Player.PlayEnd()));
  // By bytes: a log is not counted in lines before it plays.
  const int64_t size = std::max<int64_t>(Player.FileBytes(), 1);
  mpbPos->SetPosition(static_cast<int>(Player.PlayedBytes() * kProgressSteps / size));
}

void TfrmLog::mbtnPlayClick(TComponent*) {
  if (mbtnStop->Enabled()) return;
  if (OpenDialog->Execute()) StartPlayback(OpenDialog->FileName);
  ShowState();
}

void TfrmLog::mbtnRecordClick(TComponent*) {
  if (mbtnStop->Enabled()) return;
  StopRecording();
  if (!OpenDialog->Execute()) {
    ShowState();
    return;
  }
  const std::string file = OpenDialog->FileName;
  const std::string question = PrgMsg(&TfrmPrgMsg::lblQueAdd, kAppendQuestion);
  const bool append = FileExists(file) && MyConfirm(question) == kConfirmYes;
  StartRecording(file, append);
}

void TfrmLog::mbtnStopClick(TComponent*) {
  StopRecording();
  StopPlayback();
  ShowState();
}

void TfrmLog::mbtnCloseClick(TComponent*) {
  Close();
}

void TfrmLog::mbtnFilterClick(TComponent*) {
  mpnlFilter->SetVisible(mbtnFilter->Down());
  FitClientToControls(*this);
}

void TfrmLog::memFilterKeyPress(TComponent*, char& Key) {
  // The memo's commands (Ctrl+V pastes, Ctrl+A selects all) put in no character of their
  // own; what a paste brings the memo takes as typed.
  if (IsMemoCommand(Key)) return;
  Key = static_cast<char>(std::toupper(static_cast<unsigned char>(Key)));
  const bool allowed = Key == kBackspace || (Key != 0 && std::strchr(kCallListChars, Key));
  if (!allowed) Key = 0;
}

void TfrmLog::ReportSoon() {
  if (!reporting_) timReport->SetEnabled(true);
}

void TfrmLog::timReportTimer(TComponent*) {
  timReport->SetEnabled(false);
  if (reporting_) return;
  reporting_ = true;
  struct TDone {
    bool& reporting;
    ~TDone() { reporting = false; }
  } done{reporting_};
  while (!error_to_report_.empty() || lost_to_report_ > 0) {
    if (!error_to_report_.empty()) {
      MyShowError(std::exchange(error_to_report_, std::string()));
    } else {
      MyShowError(Format(ShownText(PrgMsg(&TfrmPrgMsg::lblErrLogLinesLost)),
                         std::exchange(lost_to_report_, 0), ShownFileName(Recorder.LogFileName())));
    }
  }
}

void TfrmLog::timPlayBackTimer(TComponent*) {
  timPlayBack->SetEnabled(false);
  Player.Tick();
  timPlayBack->SetInterval(Player.Behind() ? kCatchUpTickMs : kPlayTickMs);
  if (Player.Playing()) timPlayBack->SetEnabled(true);
  ShowPlayProgress();
}
