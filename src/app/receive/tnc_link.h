// The program's TNC: its serial port, the connect and disconnect sequences, and the
// hooks that tie both and the KISS link (core/kiss_link.h) to the windows.
#pragma once

#include "core/rs232.h"
#include "core/tnc_control.h"

// Made on first use (by ConnectTncToWindows) and freed by DisconnectTncFromWindows.
TRs232& TncRs232();
TTncControl& TncControl();

// Points the TNC control's and the KISS link's hooks at the settings window, the main
// frame and the skinned error box, and the port's received bytes at the KISS link.
// Call once the windows exist.
void ConnectTncToWindows();
// Undoes ConnectTncToWindows when the windows go: the port closes and the control goes.
void DisconnectTncFromWindows();

// Leaves KISS mode and waits, keeping the windows alive, until the disconnect sequence
// has run (at most TimeoutMs); used when the program ends.
void KissDisconnectAndWait(unsigned TimeoutMs);
