// The map and monitor window: the MDI child of the main frame, shown maximised.
//
// Here it holds what the start-up, the settings and the settings store use of it: the
// program's folders, the GPS button of the tool bar, the beacon progress bars, the
// lamps the settings switch, the station-aging timer and the bottom (monitor) panel.
#pragma once

#include <memory>
#include <string>

#include "app/aprs_is_link.h"
#include "app/sound_queue.h"
#include "app/station_store.h"
#include "controls/bitmap_mask.h"
#include "controls/my_button.h"
#include "controls/my_panel.h"
#include "controls/my_progress_bar.h"
#include "platform/gui/forms.h"
#include "platform/io/wave_sound.h"
#include "platform/sys/timer.h"

// Product name and version, as every caption shows them.
extern const char* const kProductName;     // "Velmora"
extern const char* const kProgramVersion;  // "1.2"

// The window is the station store's view of the windows (TStationViews).
class TfrmAprs : public TForm, public TStationViews {
 public:
  explicit TfrmAprs(TComponent* AOwner);
  ~TfrmAprs() override;

  TMyPanel* mpnlToolMain;
  TMyButton* mbtnGps;
  TMyPanel* mpnlPB;
  TMyProgressBar* mpbTimPosP1;
  TMyProgressBar* mpbTimStaP1;
  TMyProgressBar* mpbTimPosP2;
  TMyProgressBar* mpbTimStaP2;
  TMyPanel* mpnlDot;
  TBitmapMask* bmpmRxP1;
  TBitmapMask* bmpmRxP2;
  TBitmapMask* bmpmWx;
  TMyPanel* mpnlBottom;
  TTimer* timStnDelete;

  // Folders with a trailing '/', set when the window is made, before the language file
  // is loaded (the language folder is SpkDir of app_folders.h).
  std::string ProgDir;
  std::string SoundDir;
  // The wave player and the sounds waiting for it.
  std::unique_ptr<TWaveSound> mpToMain;
  std::unique_ptr<TSoundQueue> Sounds;
  // The heard stations, kept in "Stn.dat" between runs, and the APRS-IS connection.
  TStationStore Stations{*this};
  TAprsIsLink AprsIs;
  // The map folder and the map file shown now.
  std::string MapDir;
  std::string AprsMapFile;

  // The first showing loads the station file.
  void FormShow(TComponent* Sender);
  std::string StationFileName() const { return ProgDir + "Stn.dat"; }

  std::string ClassName() const override { return "TfrmAprs"; }

 private:
  bool shown_once_ = false;
};

extern TfrmAprs* frmAprs;

// "Velmora 1.2 - ...": the frame's caption, the tray tip and the application title.
std::string ProgramTitle();
