// The program's name and version, as captions, the about box, the saved settings and
// the APRS-IS login show them.
#pragma once

inline constexpr const char* kProductName = "Velmora";
inline constexpr const char* kProgramVersion = "1.2";
