// The packet log window: records the received packets to a log file (optionally only
// those of the callsigns in the filter) and plays a recorded log back into the packet
// dispatcher, one minute of log time per second. Idle, recording and playing exclude
// each other. Its filter switch and filter text are kept with the settings.
#pragma once

#include <functional>
#include <string>

#include "app/receive/packet_dispatcher.h"
#include "app/receive/packet_log.h"
#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "controls/my_progress_bar.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/label.h"
#include "platform/gui/standard/memo.h"
#include "platform/gui/standard/open_dialog.h"
#include "platform/sys/timer.h"

class TfrmLog : public TForm, public TDispatchLog {
 public:
  explicit TfrmLog(TComponent* AOwner);
  ~TfrmLog() override;

  TMyButton* mbtnPlay;
  TMyButton* mbtnRecord;
  TMyButton* mbtnStop;
  TMyButton* mbtnClose;
  TMyButton* mbtnFilter;
  TMyPanel* mpnlFilter;
  TMemo* memFilter;
  TLabel* lblGo;
  TLabel* lblNow;
  TLabel* lblEnd;
  TMyProgressBar* mpbPos;
  TOpenDialog* OpenDialog;
  TTimer* timPlayBack;
  // Flushes the recording every 20 seconds, whether station aging runs or not.
  TTimer* timFlush;
  // Shows the recorder's reports (a write failing, lines lost) in a turn of the message
  // loop of its own: a box opened from the flush would hold the flushes, and with them
  // the recording, until someone answered it.
  TTimer* timReport;

  TPacketRecorder Recorder;
  TPacketPlayer Player;
  // The dispatcher's AnalysePacket, for played packets.
  std::function<void(const TReceivedPacket& Packet)> AnalysePacket;

  // TDispatchLog: the dispatcher's recording hand-off, and whether the packet it
  // dispatches is a played one.
  bool Recording() const override { return Recorder.Recording(); }
  std::string FilterText() const override;
  void AddLogLine(const std::string& Line) override { Recorder.AddLine(Line); }
  bool HandingOver() const override { return Player.HandingOver(); }

  // Recording to FileName; Append keeps the lines of an existing file. The window's
  // buttons follow; a file that cannot be read for appending is reported.
  void StartRecording(const std::string& FileName, bool Append);
  void StopRecording();
  // False when the file does not exist or has no readable line.
  bool StartPlayback(const std::string& FileName);
  void StopPlayback();
  void ShowPlayProgress();

  void mbtnPlayClick(TComponent* Sender);
  void mbtnRecordClick(TComponent* Sender);
  void mbtnStopClick(TComponent* Sender);
  void mbtnCloseClick(TComponent* Sender);
  // Shows the filter panel while mbtnFilter is down.
  void mbtnFilterClick(TComponent* Sender);
  void memFilterKeyPress(TComponent* Sender, char& Key);
  void timPlayBackTimer(TComponent* Sender);
  void timReportTimer(TComponent* Sender);

  std::string ClassName() const override { return "TfrmLog"; }

 private:
  void ShowState();
  // Have timReport show what waits.
  void ReportSoon();

  // What waits to be shown: a write error, and the lines lost since the last box told
  // of lost lines (a feed faster than the waiting room loses some at every flush, and
  // an unattended station would otherwise find a box for each).
  std::string error_to_report_;
  int lost_to_report_ = 0;
  // A report's box is open: what comes meanwhile follows it in turn.
  bool reporting_ = false;
};

extern TfrmLog* frmLog;
