// The program's GPS status and weather status windows (made by CreateWindows).
#pragma once

#include "devices/gps_rx.h"
#include "devices/gps_status.h"
#include "devices/wx_status.h"

extern TfrmGpsStatus* frmGpsStatus;
extern TfrmWxStatus* frmWxStatus;
