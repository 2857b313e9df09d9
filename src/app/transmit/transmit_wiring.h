// Connects the beacons and the messaging window to the settings window (which holds
// their settings and timers) and to the map window's beacon progress bars, as the
// program does at start-up. The APRS-IS link and the monitor are connected where the
// map window makes them (TBeacons::IsConnected, WriteLine, AddLogText).
#pragma once

class TBeacons;
class TPacketDispatcher;
class TfrmAprsMsg;
class TfrmLog;
class TfrmSetup;

// The settings hooks, the eight TX buttons and the eight beacon timers (each sends its beacon), timPosDec (the
// progress bars of the map window, when it exists), and the weather text, rebuilt from
// the station's record after the settings window has shown each weather update.
void ConnectBeaconsToSetup(TBeacons& Beacons, TfrmSetup& Setup);
// The own calls and paths, and the common internet sender of Beacons.
void ConnectMsgToSetup(TfrmAprsMsg& Msg, TfrmSetup& Setup, TBeacons& Beacons);
// The packet log between the dispatcher and the rest: the dispatcher records through
// it and gets the played packets; a played packet is shown, decoded and stored, but the
// IGate does not forward it and the messaging window (when given) does not answer it.
void ConnectPacketLog(TfrmLog& Log, TPacketDispatcher& Dispatcher, TfrmAprsMsg* Msg);
