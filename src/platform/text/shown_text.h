// Texts shown to the user with a file or folder name in them. A name is the file system's
// bytes (UTF-8 on every current desktop), a message the code page's text: put together
// as they stand, a Greek or Cyrillic name shows as mojibake or '?'. Each piece is turned
// to UTF-8 first, which any way of joining them (+, Format, StringReplace) keeps; the
// message box shows such a text as ReceivedTextToUtf16 reads it, as what it says.
//
// Example: Format(ShownText("Datei \"%s\" f\xFCr"), ShownFileName("/tmp/\xCE\xB1.txt"))
//          == "Datei \"/tmp/\xCE\xB1.txt\" f\xC3\xBCr".
#pragma once

#include <string>
#include <string_view>

// A file or folder name as the file system names it.
std::string ShownFileName(const std::string& Name);
// A text of the program (the code page's, or UTF-8 as ReceivedTextToUtf16 tells them
// apart): a text already made of shown pieces comes back as it is.
std::string ShownText(std::string_view Text);
