// Where the program's files are: everything is anchored at the program folder, the
// folder of the executable (tests point it elsewhere).
#pragma once

#include <string>

// With a trailing '/'.
std::string PrgDir();
void SetPrgDir(const std::string& Folder);

// The language files' folder, PrgDir() + "Speak/"; set when the map window is first
// shown, empty before.
extern std::string SpkDir;
