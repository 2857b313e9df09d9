// The main frame: the MDI window that holds the map window, owns the tray icon and the
// hint style, and runs the shut-down when it closes.
#pragma once

#include "controls/my_hint.h"
#include "controls/my_tray_icon.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/button.h"
#include "platform/gui/standard/check_box.h"
#include "platform/gui/standard/panel.h"

// Most values the byte-list test feed takes.
constexpr int kTestFeedBytes = 2024;

class TfrmMain : public TForm {
 public:
  explicit TfrmMain(TComponent* AOwner);
  ~TfrmMain() override;

  TPanel* pnlTop;
  TButton* btnKissOff;
  TButton* btnKissOn;
  TCheckBox* cbxDebug;
  TButton* Button3;
  TMyHint* MyHint1;
  TMyTrayIcon* MyTrayIcon;

  void MyTrayIconDblClick(TComponent* Sender);
  void btnKissOffClick(TComponent* Sender);
  void btnKissOnClick(TComponent* Sender);
  void Button3Click(TComponent* Sender);
  void FormCloseQuery(TComponent* Sender, bool& CanClose);
  void FormClose(TComponent* Sender, TCloseAction& Action);

  // The shut-down sequence, once: FormClose runs it, and the program block when the
  // system ended the loop. The settings, the packet log and the stations are saved
  // before anything waits for a device, and the stations again once the devices are
  // closed.
  void ShutDown();
  // True once the shut-down sequence has run.
  bool ShutDownDone() const { return shut_down_done_; }
  // The end without the shut-down's waits (a second end signal, a lost display): the
  // APRS-IS reader stopped and every serial port closed at once, then the saves that
  // must not be lost: the settings unless saved already, what the packet log holds, the
  // stations. Uses no window.
  void LastSaves();

  std::string ClassName() const override { return "TfrmMain"; }

 private:
  // The settings are saved once, while the windows still stand where they were left.
  void SaveSettingsOnce();
  // False when the file could not be written (the user was told).
  bool SaveStationFile();

  bool shut_down_done_ = false;
  bool settings_saved_ = false;
};

extern TfrmMain* frmMain;
