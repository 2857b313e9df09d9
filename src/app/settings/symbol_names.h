// The names of the APRS symbols for the settings window's symbol page, one semicolon
// record per code character from "!" (line 0) to "~" (line 93); line 94 is empty.
#pragma once

constexpr int kSymbolNameLines = 95;
constexpr char kFirstSymbolChar = '!';
extern const char* const kSymbolNames[kSymbolNameLines];
