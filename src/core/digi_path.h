// Digipeater path texts as every sender writes them: "WIDE1-1 WIDE2-2" and
// "WIDE1-1,,WIDE2-2" both become "WIDE1-1,WIDE2-2".
#pragma once

#include <string>
#include <string_view>

// Trims the text, turns every blank into "," and reduces runs of "," to one; a
// leading or trailing "," stays.
std::string NormalizeDigiPath(std::string_view Path);
