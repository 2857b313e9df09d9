#include "core/kiss_ax25.h"

#include "platform/text/sysutils.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint8_t kAddressEndBit = 0x01;
constexpr uint8_t kCBit = 0x80;         // C bit (H bit on digipeaters) of an SSID byte
constexpr uint8_t kShiftedHBit = 0x40;  // the same bit once the byte is shifted right
constexpr uint8_t kShiftedSsidMask = 0x0F;
constexpr uint8_t kSsidByteCommand = 0x70;   // reserved bits set, C = 1, before the shift
constexpr uint8_t kSsidByteResponse = 0x30;  // reserved bits set, C = 0
constexpr uint8_t kPollFinal = 0x10;
// Control field: bit 0 clear is an I frame; bits 1-0 "01" an S frame, whose bit 3
// marks REJ and bit 2 RNR; N(S) sits in bits 3-1, N(R) in bits 7-5.
constexpr uint8_t kControlNotIFrame = 0x01;
constexpr uint8_t kControlKindMask = 0x03;
constexpr uint8_t kControlSFrame = 0x01;
constexpr uint8_t kSFrameReject = 0x08;
constexpr uint8_t kSFrameNotReady = 0x04;
constexpr uint8_t kSequenceMask = 0x07;
constexpr uint8_t kKissPortMask = 0x0F;
constexpr size_t kMinimumFrame = 1 + 2 * kAx25AddressSize;
constexpr size_t kCallsignLength = 6;
constexpr int kMaxSsid = 15;
constexpr int kMaxKissPort = 15;

struct TUFrameName {
  uint8_t Control;  // with P/F cleared
  const char* Name;
};
constexpr TUFrameName kUFrameNames[] = {{0x2F, "SABM"}, {0x43, "DISC"}, {0x0F, "DM"},
                                        {0x63, "UA"},   {0x87, "FRMR"}, {0x03, "UI"}};

}  // namespace

std::vector<uint8_t> KissUnescape(std::span<const uint8_t> Frame) {
  std::vector<uint8_t> plain;
  plain.reserve(Frame.size());
  for (size_t i = 0; i < Frame.size(); ++i) {
    if (Frame[i] == kFesc && i + 1 < Frame.size()) {
      if (Frame[i + 1] == kTfend) {
        plain.push_back(kFend);
        ++i;
        continue;
      }
      if (Frame[i + 1] == kTfesc) {
        plain.push_back(kFesc);
        ++i;
        continue;
      }
    }
    plain.push_back(Frame[i]);
  }
  return plain;
}

std::string Ax25AddressText(std::string_view Raw, bool IsDigipeater) {
  if (Raw.size() < kAx25AddressSize) return {};
  std::string text = Trim(Raw.substr(0, kCallsignLength));
  const auto ssid_byte = static_cast<uint8_t>(Raw[kCallsignLength]);
  const int ssid = ssid_byte & kShiftedSsidMask;
  if (ssid != 0) text.append("-").append(std::to_string(ssid));
  if (IsDigipeater && (ssid_byte & kShiftedHBit)) text += '*';
  return text;
}

bool IsAx25Callsign(std::string_view Raw) {
  if (Raw.size() < kCallsignLength) return false;
  const std::string_view call = Raw.substr(0, kCallsignLength);
  const size_t end = call.find(' ');
  const std::string_view text = call.substr(0, end);
  if (text.empty()) return false;
  if (end != std::string_view::npos && call.find_first_not_of(' ', end) != std::string_view::npos)
    return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
  });
}

std::string CtlText(uint8_t Control, bool DestinationCBit, bool SourceCBit) {
  std::string text;
  const int received = Control >> 5;  // N(R)
  if ((Control & kControlNotIFrame) == 0) {
    text = {'I', static_cast<char>('0' + received),
            static_cast<char>('0' + ((Control >> 1) & kSequenceMask))};
  } else if ((Control & kControlKindMask) == kControlSFrame) {
    text = (Control & kSFrameReject) ? "REJ" : (Control & kSFrameNotReady) ? "RNR" : "RR";
    text += static_cast<char>('0' + received);
  } else {
    const uint8_t kind = Control & ~kPollFinal;
    for (const TUFrameName& name : kUFrameNames) {
      if (name.Control == kind) text = name.Name;
    }
  }
  const bool poll_final = Control & kPollFinal;
  if (DestinationCBit != SourceCBit) {
    if (DestinationCBit) {
      text += poll_final ? '+' : '^';
    } else {
      text += poll_final ? '-' : 'v';
    }
  } else if (poll_final) {
    text += '!';
  }
  return text;
}

std::string DecodeAx25Frame(std::span<const uint8_t> Frame, TPacketHeader* Parts) {
  if (Frame.size() < kMinimumFrame) return {};
  const std::vector<uint8_t> frame = KissUnescape(Frame);
  // Only a data frame carries an AX.25 frame; the other KISS commands carry settings.
  if ((frame[0] & kKissCommandMask) != kKissCommandData) return {};
  const int port = frame[0] >> 4;
  std::string group, destination, source, path;
  bool destination_c = false, source_c = false;
  size_t digipeaters = 0;
  size_t address_bytes = 0;
  size_t index = 1;
  bool last_address = false;
  while (!last_address && index < frame.size()) {
    const uint8_t byte = frame[index++];
    group += static_cast<char>(byte >> 1);
    last_address = byte & kAddressEndBit;
    if (++address_bytes % kAx25AddressSize != 0) continue;
    if (!IsAx25Callsign(group)) return {};
    if (address_bytes == kAx25AddressSize) {
      destination = Ax25AddressText(group, false);
      destination_c = byte & kCBit;
    } else if (address_bytes == 2 * kAx25AddressSize) {
      source = Ax25AddressText(group, false);
      source_c = byte & kCBit;
    } else if (digipeaters < kAx25MaxDigipeaters) {
      ++digipeaters;
      std::string digipeater = Ax25AddressText(group, true);
      // Only the last digipeater that has repeated the frame keeps its star.
      if (!digipeater.empty() && digipeater.back() == '*' && !path.empty() && path.back() == '*') {
        path.pop_back();
      }
      if (!path.empty()) path += ' ';
      path += digipeater;
    }
    group.clear();
  }
  // A frame without an end-of-address mark has no control, PID or data bytes left:
  // they read as zero.
  const uint8_t control = index < frame.size() ? frame[index] : 0;
  const uint8_t pid = index + 1 < frame.size() ? frame[index + 1] : 0;
  const size_t data_start = std::min(index + 2, frame.size());
  char pid_text[3];
  std::snprintf(pid_text, sizeof pid_text, "%02X", pid);
  std::string text = std::to_string(port + 1) + ":fm " + source + " to " + destination;
  if (!path.empty()) text += " via " + path;
  text += " ctl " + CtlText(control, destination_c, source_c) + " pid " + pid_text + "\r\n";
  text.append(frame.begin() + static_cast<std::ptrdiff_t>(data_start), frame.end());
  if (Parts) {
    const int radio_port = port + 1;
    *Parts = {radio_port == 1 || radio_port == 2 ? radio_port : 0, UpperCase(source),
              UpperCase(destination), UpperCase(path),
              (control & ~kPollFinal) == kAx25ControlUi && pid == kAx25PidNoLayer3};
  }
  return text;
}

bool AppendFrameByte(uint8_t B, TKissTxFrame& Frame) {
  if (Frame.Length >= Frame.Bytes.size()) return false;
  Frame.Bytes[Frame.Length++] = B;
  return true;
}

bool EncodeAx25Address(std::string_view Address, bool CBit, TKissTxFrame& Frame) {
  const std::string address = Trim(Address);
  std::string_view call = address;
  int ssid = 0;
  size_t dash = address.find('-');
  if (dash != std::string::npos) {
    call = call.substr(0, dash);
    std::string_view ssid_text = std::string_view(address).substr(dash + 1);
    if (!ssid_text.empty() && !TryStrToInt(ssid_text, ssid)) return false;
    if (ssid < 0 || ssid > kMaxSsid) return false;
  }
  if (call.empty() || call.size() > kCallsignLength) return false;
  if (Frame.Length + kAx25AddressSize > Frame.Bytes.size()) return false;
  for (size_t i = 0; i < kCallsignLength; ++i) {
    const auto c = static_cast<uint8_t>(i < call.size() ? call[i] : ' ');
    AppendFrameByte(static_cast<uint8_t>(c << 1), Frame);
  }
  const uint8_t ssid_byte =
      (CBit ? kSsidByteCommand : kSsidByteResponse) | static_cast<uint8_t>(ssid);
  AppendFrameByte(static_cast<uint8_t>(ssid_byte << 1), Frame);
  return true;
}

bool KissEscape(TKissTxFrame& Frame) {
  TKissTxFrame escaped;
  for (size_t i = 0; i < Frame.Length; ++i) {
    const uint8_t b = Frame.Bytes[i];
    bool ok = true;
    if (b == kFend) {
      ok = AppendFrameByte(kFesc, escaped) && AppendFrameByte(kTfend, escaped);
    } else if (b == kFesc) {
      ok = AppendFrameByte(kFesc, escaped) && AppendFrameByte(kTfesc, escaped);
    } else {
      ok = AppendFrameByte(b, escaped);
    }
    if (!ok) return false;
  }
  // Room for the closing FEND.
  if (escaped.Length >= escaped.Bytes.size()) return false;
  Frame = escaped;
  return true;
}

TKissBuildResult BuildKissFrame(std::string_view Source, std::string_view DestAndPath,
                                std::string_view Data) {
  TKissBuildResult result;
  int port = 0;
  size_t colon = Source.find(':');
  if (colon != std::string_view::npos) {
    if (!TryStrToInt(Source.substr(0, colon), port) || port < 0 || port > kMaxKissPort) {
      result.Error = TKissBuildError::BadPort;
      return result;
    }
    Source = Source.substr(colon + 1);
  }
  std::vector<std::string> path;
  for (size_t start = 0;;) {
    size_t comma = DestAndPath.find(',', start);
    path.push_back(
        Trim(DestAndPath.substr(start, comma == std::string_view::npos ? comma : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  const std::string destination = path.front().empty() ? "APRS" : path.front();
  size_t digipeaters = 0;
  for (size_t i = 1; i < path.size(); ++i) digipeaters += path[i].empty() ? 0 : 1;
  if (digipeaters > kAx25MaxDigipeaters) {
    result.Error = TKissBuildError::TooManyDigipeaters;
    return result;
  }
  TKissTxFrame frame;
  AppendFrameByte(0, frame);  // becomes the opening FEND after escaping
  AppendFrameByte(static_cast<uint8_t>((port & kKissPortMask) << 4 | kKissCommandData), frame);
  bool ok = EncodeAx25Address(destination, true, frame) && EncodeAx25Address(Source, false, frame);
  for (size_t i = 1; ok && i < path.size(); ++i) {
    if (!path[i].empty()) ok = EncodeAx25Address(path[i], false, frame);
  }
  if (!ok) {
    result.Error = TKissBuildError::BadAddress;
    return result;
  }
  frame.Bytes[frame.Length - 1] |= kAddressEndBit;
  ok = AppendFrameByte(kAx25ControlUi, frame) && AppendFrameByte(kAx25PidNoLayer3, frame);
  for (size_t i = 0; ok && i < Data.size(); ++i)
    ok = AppendFrameByte(static_cast<uint8_t>(Data[i]), frame);
  if (!ok || !KissEscape(frame)) {
    result.Error = TKissBuildError::TooLong;
    return result;
  }
  frame.Bytes[0] = kFend;
  AppendFrameByte(kFend, frame);
  result.Bytes.assign(frame.Bytes.begin(),
                      frame.Bytes.begin() + static_cast<std::ptrdiff_t>(frame.Length));
  return result;
}
