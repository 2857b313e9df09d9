// TNC2 lines, the text form of a packet on the APRS-IS link and in recorded logs:
//   N0CALL>APRS,TCPIP*,qAC,T2TEST:!4903.50N/07201.75W-
// source, ">", destination and comma-separated path, ":", information field (which may
// itself hold ":"). Split for the monitor into the internet header form
// "ig N0CALL to APRS via TCPIP*,qAC,T2TEST" and the data line.
#pragma once

#include <string>
#include <string_view>

#include "core/packet_header.h"

// The text up to its first CR, LF or NUL: what of a received text may go into a line we
// send or write, where any of them would end the line and start one of its own.
std::string_view LinePart(std::string_view Text);
// True when Text holds a CR, LF or NUL, at which LinePart would cut it.
bool HoldsLineEnd(std::string_view Text);
// "%s>%s:%s": DestAndPath is the destination, or the destination and the path joined
// by commas. Each part is cut by LinePart, so the result is always one line.
std::string Tnc2Line(std::string_view Source, std::string_view DestAndPath, std::string_view Data);
// For a line in TNC2 form, the "ig" header, the data and the header's parts (port -1);
// an empty packet, and false, for an empty line or one without ":" before which stands
// a ">".
bool SplitIsLine(std::string_view Line, TReceivedPacket& Packet);
