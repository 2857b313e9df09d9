// Files replaced whole. The new content goes to a temporary file beside the old one,
// is synced to the disk and renamed over the old file, and then the folder is synced:
// a crash, a kill or a full disk leaves the old file or the new one, never a mix, a
// torn end or an empty file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The message of a file that cannot be saved ("%s": its name); the reason follows.
extern const char* const kCannotSaveFileText;
// Reasons of a save refused.
extern const char* const kNoReaderText;
extern const char* const kNotAFileText;
extern const char* const kReaderStalledText;
extern const char* const kFolderNotMadeText;
extern const char* const kKeepsChangingText;

// The message of FileName that cannot be saved, and why: Reason is a text of the program
// (given in the language in use) or the system's own words.
std::string CannotSaveFileText(const std::string& FileName, const std::string& Reason);

// Raises EWriteError when the file cannot be written; the message names the file and
// the reason, and the old file is left as it was. A file that may not be written
// (read-only) is not replaced either. A symbolic link is followed: the file it names
// is replaced and the link stays. A named pipe or a character device (/dev/null) under
// the name is written into, not replaced; a pipe that no program reads from, or whose
// reader takes nothing for some seconds, and anything else that is not a file (a
// socket, a disk), is refused.
void SaveFileAtomically(const std::string& FileName, std::string_view Data);

// Adds Data at the end of FileName, for a file that only ever grows (a log), where
// writing it whole each time would cost more the longer it gets. The file must hold
// exactly ExpectedSize bytes: when it does not exist or holds another size (it was
// changed elsewhere), nothing is written and the result is false, so that the caller
// saves it whole instead. The new bytes are synced to the disk before the call returns.
// Raises EWriteError, naming the file and the reason, when they cannot be written whole;
// the file is then cut back to its old end, so a failed append (a full disk) leaves
// the old content as it was and no torn line.
bool AppendToFile(const std::string& FileName, std::string_view Data, int64_t ExpectedSize);

// Deletes the temporary files that saves into Folder left when they were cut short
// (by a kill or a power cut); returns how many. For the start of the program, before
// anything is saved.
int DeleteStaleSaveFiles(const std::string& Folder);
