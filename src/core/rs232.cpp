#include "core/rs232.h"

#include <algorithm>
#include <vector>

#include "core/my_tools.h"
#include "platform/sys/thread.h"
#include "platform/text/local_texts.h"

const char* const kRs232OpenFailed =
    "OpenRs232: \xD6"
    "ffnen der Schnittstelle nicht m\xF6glich !";
const char* const kRs232SetupFailed = "OpenRs232: SetupComm nicht erfolgreich";
const char* const kRs232DcbFailed = "OpenRs232: DCB setzen nicht m\xF6glich";

namespace {

constexpr int kReaderStepMs = 100;
constexpr int kIoWaitMs = 1000;
constexpr int kNoTimeLimit = -1;

// The ports open now, on the GUI thread. Made once and never freed: an end in the exit
// handlers may still ask for it.
std::vector<TRs232*>& OpenPorts() {
  static auto* const ports = new std::vector<TRs232*>;
  return *ports;
}

}  // namespace

class TEventThread : public TThread {
 public:
  explicit TEventThread(TRs232& Owner) : owner_(Owner) {}
  ~TEventThread() override {
    Terminate();
    WaitFor();
  }

 protected:
  void Execute() override {
    while (!Terminated() && owner_.open_ == 1) {
      switch (owner_.port_.WaitForData(kReaderStepMs)) {
        case TSerialWait::DataReady:
          if (owner_.port_.BytesWaiting() > 0) Synchronize([this] { DoReceive(); });
          break;
        case TSerialWait::Timeout:
          if (owner_.OnReaderIdle) owner_.OnReaderIdle();
          break;
        case TSerialWait::Closed:
          return;
        case TSerialWait::Failed:
          Synchronize([this] { owner_.ReaderLostDevice(); });
          return;
      }
    }
  }

 private:
  void DoReceive() {
    if (owner_.open_ == 1 && owner_.OnReceive) owner_.OnReceive();
  }

  TRs232& owner_;
};

// The writer has a thread of its own, so it may wait as long as the device needs; a
// close ends that wait.
TRs232::TRs232(TRs232Profile Profile)
    : profile_(Profile), writes_(kWriteQueueCapacity, [this](const std::string& bytes) {
        port_.Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), kNoTimeLimit);
      }) {}

TRs232::~TRs232() {
  SetOpen(false);
  reader_.reset();
  CloseDevice();
}

void TRs232::SetOpen(bool Open) {
  open_ = Open ? 1 : 0;
  std::vector<TRs232*>& ports = OpenPorts();
  ports.erase(std::remove(ports.begin(), ports.end(), this), ports.end());
  if (Open) ports.push_back(this);
}

void TRs232::CloseDevice() {
  port_.CancelWait();
  writes_.Clear();
  port_.Close();
}

bool TRs232::OpenRs232(int Port, unsigned Baud, TSerialFlow Flow, std::string& Error) {
  CloseRs232();
  return Open(port_.Open(Port, Baud, Flow), Error);
}

bool TRs232::OpenRs232Device(const std::string& Path, unsigned Baud, TSerialFlow Flow,
                             std::string& Error) {
  CloseRs232();
  return Open(port_.OpenDevice(Path, Baud, Flow), Error);
}

bool TRs232::Open(TSerialOpenResult Result, std::string& Error) {
  switch (Result) {
    case TSerialOpenResult::Ok:
      break;
    case TSerialOpenResult::CannotOpen:
      Error = LocalText(kRs232OpenFailed);
      return false;
    case TSerialOpenResult::SetupFailed:
      Error = LocalText(kRs232SetupFailed);
      return false;
    case TSerialOpenResult::SettingsFailed:
      Error = LocalText(kRs232DcbFailed);
      return false;
  }
  if (profile_.PurgeOutputAtOpen) {
    PurgeRs232();
  } else {
    PurgeRs232Input();
  }
  // Modem lines are missing on some devices (pseudo-terminals); that is no failure.
  if (profile_.RaiseDtr) port_.SetDtr(true);
  if (profile_.RaiseRts) port_.SetRts(true);
  // The reader loops while the port is open, so the flag is up before it starts.
  SetOpen(true);
  reader_ = std::make_unique<TEventThread>(*this);
  reader_->Start();
  return true;
}

void TRs232::CloseRs232() {
  if (StopAndClose() && profile_.CloseWaitMs > 0) DelayMs(profile_.CloseWaitMs);
}

bool TRs232::StopAndClose() {
  if (open_ != 1) return false;
  SetOpen(false);
  PurgeRs232();
  if (reader_) {
    reader_->Terminate();
    port_.CancelWait();
    reader_->WaitFor();
    reader_.reset();
  }
  CloseDevice();
  return true;
}

void TRs232::CloseOpenPorts() {
  const std::vector<TRs232*> ports = OpenPorts();
  for (TRs232* port : ports) port->StopAndClose();
}

void TRs232::ReaderLostDevice() {
  // The reader ends by itself after this; close without joining it from its own call.
  SetOpen(false);
  CloseDevice();
  if (OnDeviceLost) OnDeviceLost();
}

void TRs232::SetRs232Dtr(bool On) {
  port_.SetDtr(On);
}

void TRs232::SetRs232Rts(bool On) {
  port_.SetRts(On);
}

int TRs232::Rs232BytesAvailable() const {
  return port_.BytesWaiting();
}

void TRs232::PurgeRs232Input() {
  port_.PurgeInput();
}

void TRs232::PurgeRs232() {
  port_.PurgeInput();
  port_.PurgeOutput();
}

bool TRs232::WriteRs232(const std::string& S) {
  if (open_ != 1) return false;
  if (writes_.Push(S) && OnWritesDropped) OnWritesDropped();
  return true;
}

bool TRs232::WriteRs232Buf(const uint8_t* Buf, int LastIndex) {
  if (LastIndex < 0) return true;
  return WriteRs232(std::string(reinterpret_cast<const char*>(Buf), std::size_t(LastIndex) + 1));
}

bool TRs232::WriteFrame(std::span<const uint8_t> Bytes) {
  return !Bytes.empty() && WriteRs232Buf(Bytes.data(), static_cast<int>(Bytes.size()) - 1);
}

bool TRs232::ReadRs232(uint8_t* Buf, unsigned Count, unsigned& Read) {
  const unsigned wanted = Count < kRs232MaxRead ? Count : kRs232MaxRead;
  Read = unsigned(port_.Read(Buf, wanted, kIoWaitMs));
  return Read > 0 || wanted == 0;
}

void TRunSwitch::Request(bool Run, const std::function<void(bool Run)>& Switch) {
  latest_ = Run;
  if (switching_) return;
  switching_ = true;
  struct TDone {
    bool& switching;
    ~TDone() { switching = false; }
  } done{switching_};
  while (latest_) {
    const bool run = *latest_;
    latest_.reset();
    Switch(run);
  }
}
