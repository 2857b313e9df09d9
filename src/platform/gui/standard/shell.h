// Opening a web address or a "mailto:" link with the user's default program.
#pragma once

#include <functional>
#include <string>

// True when the desktop accepted the link.
bool ShellOpen(const std::string& Url);

// Test support: links go to Handler instead of the desktop while it is set; an empty
// handler restores the desktop.
void SetShellOpenHandler(std::function<bool(const std::string& Url)> Handler);
