// The program's wiring: once every window exists, the windows, the links and the
// devices are connected here, and disconnected here before the windows go. A packet's
// way in code: the serial port hands its bytes to the KISS link (AttachKissLink), the
// link reports to its views (TKissLinkViews, here), the map window's dispatcher takes
// the lines, and the station store shows the station through its views, one per role
// (station_views.h, connected here).
#pragma once

// Call once the windows exist.
void ConnectWindows();
// Call before the windows go: the TNC's port closes, the APRS-IS reader ends, and
// nothing points at a window.
void DisconnectWindows();
