#include "core/tnc_control.h"

#include "core/tnc2_line.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/sysutils.h"

const char* const kTncStatusConnecting = "connecting device";
const char* const kTncStatusDisconnected = "device disconnected";
const char* const kTncStatusLost = "device lost";
const char* const kTncStatusNotReading = "device not reading, %d writes dropped";
const char* const kTncDeviceGoneText = "TNC: the device on COM%d is gone (unplugged?)";

namespace {

constexpr char kEsc = 0x1B;
constexpr char kCr = 0x0D;
const std::string kEscCr{kEsc, kCr};
const std::string kKissExitFrame{char(0xC0), char(0xFF), char(0xC0)};

std::string Cr(const std::string& Text) {
  return Text + kCr;
}
std::string EscCr(const std::string& Text) {
  return kEsc + Text + kCr;
}

const std::string kKenwoodSetup =
    Cr("ECHO OFF") + Cr("SOFTDCD ON") + Cr("HBAUD 1200") + Cr("M OFF");

enum TDeviceType : uint8_t {
  kKenwoodTmD700 = 1,
  kKenwoodThD7 = 2,
  kKenwoodTs2000 = 3,
  kPtcIIe = 4,
  kPtcII = 5,
  kScsTnc = 6,
  kTncNoFlow = 7,
  kTnc3 = 8,
  kKambrio = 9,
};

bool OpensWithoutFlow(uint8_t Type) {
  return Type == kKenwoodThD7 || Type == kTncNoFlow || Type == kKambrio;
}

}  // namespace

TTncControl::TTncControl(TRs232& Port, TKissLink& Link) : port_(Port), link_(Link) {
  port_.OnDeviceLost = [this] { DeviceLost(); };
  port_.OnWritesDropped = [this] {
    Status(Format(kTncStatusNotReading, static_cast<int>(port_.DroppedWrites())));
  };
  Schedule = [this](unsigned Milliseconds, std::function<void()> Next) {
    ScheduleOnTimer(Milliseconds, std::move(Next));
  };
}

void TTncControl::ScheduleOnTimer(unsigned Milliseconds, std::function<void()> Next) {
  if (!timer_) {
    timer_ = std::make_unique<TTimer>();
    timer_->OnTimer = [this](TComponent*) {
      timer_->SetEnabled(false);
      auto next = std::move(after_timer_);
      after_timer_ = nullptr;
      if (next) next();
    };
  }
  after_timer_ = std::move(Next);
  timer_->SetInterval(Milliseconds);
  timer_->SetEnabled(true);
}

std::vector<std::string> TTncControl::TncCommandLines(const std::vector<std::string>& Lines,
                                                      bool EscPrefix) {
  std::vector<std::string> commands;
  for (const std::string& text : Lines) {
    // A NUL in the command file would reach the TNC inside the command.
    std::string line(LinePart(text));
    if (line.empty() || line[0] == ';') continue;
    if (const auto comment = line.find(" ;"); comment != std::string::npos) {
      line.erase(comment);
    }
    line = Trim(line);
    if (line.empty()) continue;
    commands.push_back(EscPrefix ? EscCr(line) : Cr(line));
  }
  return commands;
}

void TTncControl::Status(const std::string& Text) {
  views_->SetStatusText(Text);
}

void TTncControl::SendUserLines(bool Init, bool EscPrefix) {
  // The memo is read when the step comes, as the user may still be editing it.
  Do([this, Init, EscPrefix] {
    const std::vector<std::string> lines = Init ? views_->InitLines() : views_->ExitLines();
    for (const auto& command : TncCommandLines(lines, EscPrefix)) port_.WriteRs232(command);
    return true;
  });
  Wait(500);
}

void TTncControl::OpenTnc(bool FlowOn) {
  Do([this] {
    port_.CloseRs232();
    return true;
  });
  Wait(250);
  Do([this, FlowOn] {
    if (port_.Rs232Open()) return false;
    std::string error;
    const int port = views_->PortNumber();
    const unsigned baud = views_->BaudRate();
    if (port_.OpenRs232(port, baud, FlowOn ? TSerialFlow::RtsCts : TSerialFlow::None, error))
      return true;
    views_->ShowError((FlowOn ? "TNC-KISS (FLOW ON):" : "TNC-KISS (NO FLOW):") + error);
    // Without a port the TNC cannot be in KISS mode: the sequence ends here.
    Status(kTncStatusDisconnected);
    return false;
  });
}

void TTncControl::StartOrQueue(std::function<void()> Sequence) {
  if (Busy()) {
    queued_.push_back(std::move(Sequence));
    return;
  }
  Sequence();
  RunSteps();
}

bool TTncControl::KissConnect(uint8_t DeviceType) {
  if (DeviceType == 0) return false;
  StartOrQueue([this, DeviceType] { StartConnect(DeviceType); });
  return true;
}

void TTncControl::StartConnect(uint8_t DeviceType) {
  Status(kTncStatusConnecting);
  if (DeviceType == kKenwoodThD7) views_->SelectFirstBaud();
  OpenTnc(!OpensWithoutFlow(DeviceType));
  Do([this, DeviceType] {
    link_.KissDeviceType = DeviceType;
    return true;
  });
  QueueConnectCommands(DeviceType);
  Wait(500);
  Do([this] {
    link_.KissActive = 1;
    return true;
  });
}

void TTncControl::QueueConnectCommands(uint8_t DeviceType) {
  switch (DeviceType) {
    case kKenwoodTmD700:
    case kKenwoodTs2000:
    case kKenwoodThD7:
      Do([this, DeviceType] {
        Status(DeviceType == kKenwoodThD7 ? "TH-D7" : "TM-D700/TS-2000");
        return true;
      });
      if (DeviceType != kKenwoodThD7) {
        for (int i = 0; i < 2; ++i) {
          Write(std::string(1, kCr));
          Wait(500);
        }
      }
      Write(kKenwoodSetup);
      SendUserLines(true, false);
      Write(Cr("KISS ON") + Cr("RESTART"));
      break;
    case kPtcIIe:
    case kPtcII:
      Do([this] {
        Status("PTC-II");
        return true;
      });
      Write(std::string(3, kEsc));
      Wait(1000);
      Write(kEscCr + kEscCr + kEscCr);
      Write(EscCr("Q") + EscCr("PT"));
      Wait(1000);
      SendUserLines(true, true);
      Write(EscCr("PAC") + EscCr("KISS"));
      break;
    case kScsTnc:
    case kTncNoFlow:
    case kTnc3:
    case kKambrio:
      Do([this, DeviceType] {
        Status(DeviceType == kKambrio ? "Kambrio" : "TNC");
        return true;
      });
      Write(kEscCr + kEscCr + kEscCr);
      SendUserLines(true, true);
      Write(EscCr("@K"));
      break;
    default:
      break;
  }
}

void TTncControl::DeviceLost() {
  // A sequence half run, or one waiting, would go on writing to a port that is gone.
  steps_.clear();
  queued_.clear();
  link_.KissActive = 0;
  Status(kTncStatusLost);
  views_->ShowError(Format(LocalText(kTncDeviceGoneText), views_->PortNumber()));
  views_->DeviceLost();
}

void TTncControl::KissDisconnect() {
  StartOrQueue([this] { StartDisconnect(); });
}

void TTncControl::StartDisconnect() {
  Status(kTncStatusDisconnected);
  if (link_.KissActive != 1) return;
  link_.KissActive = 0;
  if (!port_.Rs232Open()) return;
  Wait(1000);
  Write(kKissExitFrame);
  Wait(1000);
  Do([this] {
    if (link_.Views()) link_.Views()->AddLogText("\r\n", TLinkTraffic::TxHeaderPort1);
    return true;
  });
  QueueDisconnectCommands();
  Wait(1000);
  Do([this] {
    port_.CloseRs232();
    return true;
  });
}

void TTncControl::QueueDisconnectCommands() {
  switch (link_.KissDeviceType) {
    case kKenwoodTmD700:
    case kKenwoodTs2000:
      SendUserLines(false, false);
      Wait(1000);
      break;
    case kKenwoodThD7:
      SendUserLines(false, false);
      break;
    case kPtcIIe:
    case kPtcII:
      Write(kEscCr + EscCr("Q"));
      Wait(500);
      SendUserLines(false, true);
      Write(kEscCr);
      break;
    case kScsTnc:
      SendUserLines(false, true);
      break;
    default:
      break;
  }
}

bool TTncControl::Act(const std::function<bool()>& Action) {
  acting_ = true;
  const bool goOn = Action();
  acting_ = false;
  return goOn;
}

void TTncControl::RunSteps() {
  while (!steps_.empty()) {
    TStep step = std::move(steps_.front());
    steps_.pop_front();
    if (step.WaitMs > 0) {
      waiting_ = true;
      Schedule(step.WaitMs, [this] {
        waiting_ = false;
        RunSteps();
      });
      return;
    }
    if (!step.Bytes.empty()) {
      port_.WriteRs232(step.Bytes);
    } else if (step.Action && !Act(step.Action)) {
      steps_.clear();
    }
  }
  if (queued_.empty()) return;
  auto next = std::move(queued_.front());
  queued_.pop_front();
  next();
  RunSteps();
}
