// The mail link: a "mailto:" address opened in the user's mail program.
#pragma once

#include <string>

// Opens a "mailto:" link built from the trimmed parts (subject and body only when given)
// in the user's mail program; false when there is no address or it could not be opened.
bool SendMailTo(const std::string& Name, const std::string& Address, const std::string& Subject,
                const std::string& Body);
