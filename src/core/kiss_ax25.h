// KISS framing and AX.25 UI frames: the pure codec under the TNC link (kiss_link.h).
//
// KISS (K9NG/KA9Q): frames between FEND bytes; inside a frame FEND travels as
// FESC TFEND and FESC as FESC TFESC. The first byte is the command byte: the KISS
// port in its high nibble, 0 (data) in its low nibble. AX.25 2.2 section 3.12: each
// address is six callsign characters shifted left by one and an SSID byte
// (C/H bit 7, bits 6-5 set, SSID in bits 4-1, bit 0 marks the last address).
//
// Example, as received (FENDs stripped):
//   00 | 82 A0 A4 A6 40 40 E0 | 9C 60 86 82 98 98 61 | 03 | F0 | 21
//   cmd  APRS, C=1              N0CALL, C=0, last       UI   PID  "!"
// decodes to "1:fm N0CALL to APRS ctl UI^ pid F0" CR LF "!".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/packet_header.h"

constexpr uint8_t kFend = 0xC0;
constexpr uint8_t kFesc = 0xDB;
constexpr uint8_t kTfend = 0xDC;
constexpr uint8_t kTfesc = 0xDD;
constexpr uint8_t kKissCommandData = 0x00;
// The command in the low nibble of a KISS frame's first byte; the port is the high one.
constexpr uint8_t kKissCommandMask = 0x0F;
constexpr uint8_t kAx25ControlUi = 0x03;
constexpr uint8_t kAx25PidNoLayer3 = 0xF0;
// Bytes the TNC link keeps of one received frame or line, and of one sent frame.
constexpr size_t kKissBufferSize = 512;
// AX.25 allows at most eight digipeaters.
constexpr size_t kAx25MaxDigipeaters = 8;
constexpr size_t kAx25AddressSize = 7;

// FESC TFEND -> FEND, FESC TFESC -> FESC; a FESC before anything else, or at the
// end, stays as it is.
std::vector<uint8_t> KissUnescape(std::span<const uint8_t> Frame);
// Raw: the seven address bytes already shifted right by one. The trimmed callsign,
// "-" and the SSID when it is not 0, and "*" for a digipeater whose H bit is set;
// empty when Raw is shorter than seven characters.
std::string Ax25AddressText(std::string_view Raw, bool IsDigipeater);
// Raw's six callsign characters (already shifted right by one): letters and digits,
// then only the blanks that pad them to six; at least one character.
bool IsAx25Callsign(std::string_view Raw);
// The "ctl" text of a monitor header: "UI^", "I23+", "RR2v", "SABM", ... The marker
// tells command ("^", "+" with P/F) from response ("v", "-") when the two C bits
// differ, and is "!" (P/F set) or nothing for the older version with equal C bits.
std::string CtlText(uint8_t Control, bool DestinationCBit, bool SourceCBit);
// One received KISS frame, still escaped, from the command byte to the byte before
// the closing FEND: "n:fm SRC to DEST[ via PATH] ctl CTL pid PID" CR LF data, n the
// KISS port + 1. Empty for fewer than 15 bytes (command byte and two addresses), for a
// KISS command other than data, and for a frame any of whose addresses is no callsign
// (see IsAx25Callsign): its text
// would end up in our monitor, our log and the lines we send to the internet.
// Digipeaters beyond the eighth are walked over but not shown. Parts, when given,
// receives the header's port, calls and via list, upper case as the text would read.
std::string DecodeAx25Frame(std::span<const uint8_t> Frame, TPacketHeader* Parts = nullptr);

// A frame being built for sending: at most kKissBufferSize bytes.
struct TKissTxFrame {
  std::array<uint8_t, kKissBufferSize> Bytes{};
  size_t Length = 0;
};
// false when the frame is full.
bool AppendFrameByte(uint8_t B, TKissTxFrame& Frame);
// "CALL[-SSID]" as an AX.25 address with the C (or H) bit given; false, frame
// unchanged, for an empty call, a call over six characters or an SSID that is not
// a number from 0 to 15 (those would send another station's address).
bool EncodeAx25Address(std::string_view Address, bool CBit, TKissTxFrame& Frame);
// Escapes every byte of the frame in place; false, frame unchanged, when the
// result and the closing FEND would not fit.
bool KissEscape(TKissTxFrame& Frame);

enum class TKissBuildError { None, BadPort, BadAddress, TooManyDigipeaters, TooLong };

struct TKissBuildResult {
  TKissBuildError Error = TKissBuildError::None;
  std::vector<uint8_t> Bytes;  // FEND, command byte, addresses, 03, F0, data, FEND
};
// Source "[n:]CALL[-SSID]" (n the KISS port, 0 to 15), DestAndPath "DEST[,DIGI...]"
// already normalised (empty destination: "APRS"; empty path elements are skipped),
// Data the information field, byte for byte.
TKissBuildResult BuildKissFrame(std::string_view Source, std::string_view DestAndPath,
                                std::string_view Data);
