// The program's TNC: its serial port and the connect and disconnect sequences on it
// (core/tnc_control.h). The program's wiring (app/program/wiring.h) points them at the
// windows and the port at the KISS link.
#pragma once

#include "core/rs232.h"
#include "core/tnc_control.h"

// Made on first use and freed by FreeTncLink.
TRs232& TncRs232();
TTncControl& TncControl();
// Takes the KISS link off the port, closes the port and frees it and its control.
void FreeTncLink();

// Leaves KISS mode and waits, keeping the windows alive, until the disconnect sequence
// has run (at most TimeoutMs); used when the program ends.
void KissDisconnectAndWait(unsigned TimeoutMs);
