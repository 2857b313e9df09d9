#include "app/receive/tnc_link.h"

#include <memory>
#include <vector>

#include "app/map/frm_aprs.h"
#include "app/monitor/monitor_styles.h"
#include "app/receive/frm_log.h"
#include "app/program/frm_main.h"
#include "app/settings/frm_setup.h"
#include "controls/my_msg_dialog.h"
#include "core/my_tools.h"
#include "platform/sys/date_time.h"
#include "platform/text/sysutils.h"

namespace {

// DTR raised for the TNC once its port is open; after a close the port settles 500 ms.
constexpr TRs232Profile kTncProfile{.RaiseDtr = true, .CloseWaitMs = 500};
constexpr unsigned kWaitStepMs = 50;

std::vector<std::string> MemoLines(const TMemo& Memo) {
  std::vector<std::string> lines;
  for (int n = 0; n < Memo.Lines().Count(); ++n) lines.push_back(Memo.Lines().Get(n));
  return lines;
}

void ReceiveTncBytes() {
  uint8_t buffer[TRs232::kRs232MaxRead];
  unsigned read = 0;
  while (TncRs232().Rs232BytesAvailable() > 0 &&
         TncRs232().ReadRs232(buffer, sizeof buffer, read) && read > 0) {
    KissLink.KissRxBytes(std::span<const uint8_t>(buffer, read));
  }
}

// The port and its control live from the windows' creation to their end, so the
// reader thread and the control's timer never outlive the application.
struct TTncLink {
  TRs232 Port{kTncProfile};
  TTncControl Control{Port, KissLink};
};
std::unique_ptr<TTncLink> tnc_link;

TTncLink& Link() {
  if (!tnc_link) tnc_link = std::make_unique<TTncLink>();
  return *tnc_link;
}

}  // namespace

TRs232& TncRs232() {
  return Link().Port;
}

TTncControl& TncControl() {
  return Link().Control;
}

void ConnectTncToWindows() {
  TTncControl& tnc = TncControl();
  tnc.PortNumber = [] { return frmSetup->mfcbxPort->ItemIndex() + 1; };
  tnc.BaudRate = [] {
    return static_cast<unsigned>(StrToIntDef(frmSetup->mfcbxBaud->Text(), 9600));
  };
  tnc.SelectFirstBaud = [] { frmSetup->mfcbxBaud->SetItemIndex(0); };
  tnc.InitLines = [] { return MemoLines(*frmSetup->memIni); };
  tnc.ExitLines = [] { return MemoLines(*frmSetup->memDeini); };
  tnc.ShowError = [](const std::string& Text) { MyShowError(Text); };
  tnc.SetStatusText = [](const std::string& Status) {
    if (frmAprs) frmAprs->UpdateCaption(Status);
  };
  tnc.OnDeviceLost = [] {
    if (!frmAprs) return;
    frmAprs->bmpmRxP1->SetActive(false);
    frmAprs->bmpmRxP2->SetActive(false);
  };

  KissLink.CollectMonitorLine = [](const std::string& Line) {
    if (frmAprs) frmAprs->Dispatcher.CollectMonitorLine(Line);
  };
  KissLink.AddLogText = [](const std::string& Text, TLinkTraffic Traffic) {
    if (frmAprs) frmAprs->AddMonitorText(Text, MonitorStyleOf(Traffic));
  };
  KissLink.IsPlayingBack = [] { return frmLog && frmLog->Player.Playing(); };

  KissLink.DeviceIndex = [] { return frmSetup->mfcbxDevice->ItemIndex(); };
  KissLink.IsDebugChecked = [] { return frmMain->cbxDebug->Checked(); };
  KissLink.RawByteText = [] { return frmSetup->memBytRx->Text(); };
  KissLink.SetRawByteText = [](const std::string& Text) { frmSetup->memBytRx->SetText(Text); };
  KissLink.WriteRs232Buf = [](std::span<const uint8_t> Bytes) {
    return !Bytes.empty() &&
           TncRs232().WriteRs232Buf(Bytes.data(), static_cast<int>(Bytes.size()) - 1);
  };
  TncRs232().OnReceive = ReceiveTncBytes;
}

void DisconnectTncFromWindows() {
  KissLink.CollectMonitorLine = nullptr;
  KissLink.AddLogText = nullptr;
  KissLink.IsPlayingBack = nullptr;
  KissLink.DeviceIndex = nullptr;
  KissLink.IsDebugChecked = nullptr;
  KissLink.RawByteText = nullptr;
  KissLink.SetRawByteText = nullptr;
  KissLink.WriteRs232Buf = nullptr;
  tnc_link.reset();
}

void KissDisconnectAndWait(unsigned TimeoutMs) {
  TTncControl& tnc = TncControl();
  tnc.KissDisconnect();
  const std::uint64_t start = GetTickCount();
  while (tnc.Busy() && GetTickCount() - start < TimeoutMs) DelayMs(kWaitStepMs);
}
