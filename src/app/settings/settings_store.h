// The settings between runs, in the registry store under HKEY_CURRENT_USER
// "Software\Velmora\": the version values SetVer and PrgVer, and the subkeys
// "Programm\Device", "Programm\Station", "Programm\Programm" and "Programm\Position".
//
// The values live in the controls of the settings window and of a few other windows;
// loading writes them into those controls, saving reads them back. A value that is
// absent, of the wrong type or out of its control's range counts as absent: its
// default applies. Saving rebuilds the Programm subtree from scratch.
#pragma once

extern const char* const kSetupVersion;  // "1.1"
// The messages of a server list or a settings file that could not be read.
extern const char* const kServerListNotReadText;
extern const char* const kSettingsDamagedText;
extern const char* const kDamagedSettingsKeptText;
extern const char* const kDamagedSettingsLeftText;

class TfrmSetup;
class TRegistry;

// Both reach the settings window and the windows the wiring handed it (TSetupPeers),
// so they run only while the windows are connected.
// Once at start-up, first: the language file named in the settings (into mfcbxSpk), so
// that the language stands before any box the rest of the settings may show.
void LoadLanguageChoice(TfrmSetup& Setup, TRegistry& Store);
// Once at start-up, after the language, from the same Store (opening the store moves a
// damaged file aside, so a second opening would not know it was damaged); also fills
// the server list from "Server.dat" in the program folder and applies the settings.
void LoadSettings(TfrmSetup& Setup, TRegistry& Store);
// When the main frame closes.
void SaveSettings(TfrmSetup& Setup);
