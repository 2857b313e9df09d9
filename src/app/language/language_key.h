// The key of the language files, 136 Windows-1252 characters. Shared by the loader and
// the build-time tool that enciphers the shipped files.
#pragma once

#include <string>

inline const std::string kLanguageKey =
    "Qw7eRtz9UiOp3AsDfG5hJkL2yXcVbN8mQwErT4zUiOp\xC4sDfGhJ6kL\xF6YxCvB1nMqW#eRtZ+uIoP0aSdF,"
    "gHjK\xFCLyXcV$bNmQ!wErTzUi)oPaSdFgHjKl@yXcVbNmQwE9rTzUiO\xDFx7";
