#include "app/receive/tnc_link.h"

#include <memory>

#include "core/kiss_link.h"
#include "core/my_tools.h"
#include "platform/sys/date_time.h"

namespace {

// DTR raised for the TNC once its port is open; after a close the port settles 500 ms.
constexpr TRs232Profile kTncProfile{.RaiseDtr = true, .CloseWaitMs = 500};
constexpr unsigned kWaitStepMs = 50;

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

void FreeTncLink() {
  if (!tnc_link) return;
  DetachKissLink(tnc_link->Port, KissLink);
  tnc_link.reset();
}

void KissDisconnectAndWait(unsigned TimeoutMs) {
  TTncControl& tnc = TncControl();
  tnc.KissDisconnect();
  const std::uint64_t start = GetTickCount();
  while (tnc.Busy() && GetTickCount() - start < TimeoutMs) DelayMs(kWaitStepMs);
}
