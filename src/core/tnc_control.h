// Bringing the TNC into KISS mode and back to its own command mode.
//
// Nine device types (the settings window's device list; 0 is "no TNC") each have a
// connect and a disconnect sequence of command strings and waits, e.g. for a Kenwood
// TM-D700: "ECHO OFF" CR, "SOFTDCD ON" CR, "HBAUD 1200" CR, "M OFF" CR, the user's
// own lines, "KISS ON" CR, "RESTART" CR. The waits (250 to 1000 ms) are timed steps on
// the GUI thread, not busy waits: nothing else runs inside a sequence, and a sequence
// asked for while one runs starts when that one has ended (a disconnect followed at once
// by a connect, as the settings' apply does, must not lose the connect).
//
// The control reaches the settings window, the caption and the error box through its
// TTncViews, which the program gives it at start-up.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/kiss_link.h"
#include "core/rs232.h"
#include "platform/sys/timer.h"

// Status texts of the map window's caption.
extern const char* const kTncStatusConnecting;    // "connecting device"
extern const char* const kTncStatusDisconnected;  // "device disconnected"
extern const char* const kTncStatusLost;          // "device lost"
// "device not reading, %d writes dropped": the TNC holds its flow control and the
// port's write queue overflowed.
extern const char* const kTncStatusNotReading;
// The error box when the TNC's device goes away; "%d": the port number.
extern const char* const kTncDeviceGoneText;

// What the sequences read and report; each answers its default (port 1, 9600 baud, no
// lines) or does nothing unless overridden.
class TTncViews {
 public:
  virtual ~TTncViews() = default;
  // The settings window.
  virtual int PortNumber() const { return 1; }        // mfcbxPort item index + 1
  virtual unsigned BaudRate() const { return 9600; }  // mfcbxBaud text
  virtual void SelectFirstBaud() {}                   // mfcbxBaud to "9600" (TH-D7)
  // The user's command lines, read when their step comes: memIni and memDeini.
  virtual std::vector<std::string> InitLines() const { return {}; }
  virtual std::vector<std::string> ExitLines() const { return {}; }
  // The map window's caption and status.
  virtual void SetStatusText(const std::string& /*Status*/) {}
  // The skinned error box.
  virtual void ShowError(const std::string& /*Text*/) {}
  // After DeviceLost has told the user: the windows show the port as gone.
  virtual void DeviceLost() {}
};

class TTncControl {
 public:
  TTncControl(TRs232& Port, TKissLink& Link);

  // Not owned; none, the defaults of TTncViews hold.
  void SetViews(TTncViews* Views) { views_ = Views ? Views : &no_views_; }
  TTncViews& Views() const { return *views_; }

  // Start a sequence, or queue it behind the one running; what it does is decided when
  // it starts (a disconnect queued behind a connect finds the TNC in KISS mode). False,
  // and nothing happens, for device type 0 (no TNC).
  bool KissConnect(uint8_t DeviceType);
  void KissDisconnect();
  bool Busy() const { return !steps_.empty() || waiting_ || acting_ || !queued_.empty(); }
  // The port's device went away while open (unplugged): the running sequence ends, the
  // link leaves KISS mode, and the user is told. The control takes the port's
  // OnDeviceLost for this.
  void DeviceLost();

  // The user's command lines as they go out: lines that are empty or start with ";"
  // are skipped, " ;" starts a trailing comment, the rest is trimmed; ESC before each
  // line when EscPrefix, CR after it.
  static std::vector<std::string> TncCommandLines(const std::vector<std::string>& Lines,
                                                  bool EscPrefix);

  // Runs Next after Milliseconds on the GUI thread. Defaults to a one-shot timer;
  // tests replace it to drive (and record) the waits.
  std::function<void(unsigned Milliseconds, std::function<void()> Next)> Schedule;

 private:
  struct TStep {
    unsigned WaitMs = 0;           // a wait, or
    std::string Bytes;             // bytes to write, or
    std::function<bool()> Action;  // an action; false ends the sequence
  };

  void Wait(unsigned Ms) { steps_.push_back({Ms, {}, {}}); }
  void Write(std::string Bytes) { steps_.push_back({0, std::move(Bytes), {}}); }
  void Do(std::function<bool()> Action) { steps_.push_back({0, {}, std::move(Action)}); }
  void SendUserLines(bool Init, bool EscPrefix);
  void OpenTnc(bool FlowOn);
  void QueueConnectCommands(uint8_t DeviceType);
  void QueueDisconnectCommands();
  void Status(const std::string& Text);
  void RunSteps();
  bool Act(const std::function<bool()>& Action);
  void StartOrQueue(std::function<void()> Sequence);
  void StartConnect(uint8_t DeviceType);
  void StartDisconnect();

  void ScheduleOnTimer(unsigned Milliseconds, std::function<void()> Next);

  TRs232& port_;
  TKissLink& link_;
  TTncViews no_views_;
  TTncViews* views_ = &no_views_;
  std::unique_ptr<TTimer> timer_;  // made on first use: the control may exist before the GUI
  std::function<void()> after_timer_;
  std::deque<TStep> steps_;
  std::deque<std::function<void()>> queued_;  // sequences waiting for the running one
  bool waiting_ = false;
  // An action runs: closing the port waits with window messages flowing, and a sequence
  // asked for meanwhile must queue behind this one, even when this was its last step.
  bool acting_ = false;
};
