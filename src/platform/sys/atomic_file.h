// Files replaced whole. The new content goes to a temporary file beside the old one,
// is synced to the disk and renamed over the old file, and then the folder is synced:
// a crash, a kill or a full disk leaves the old file or the new one, never a mix, a
// torn end or an empty file.
#pragma once

#include <string>
#include <string_view>

// Raises EWriteError when the file cannot be written; the message names the file and
// the reason, and the old file is left as it was. A file that may not be written
// (read-only) is not replaced either. A symbolic link is followed: the file it names
// is replaced and the link stays.
void SaveFileAtomically(const std::string& FileName, std::string_view Data);

// Deletes the temporary files that saves into Folder left when they were cut short
// (by a kill or a power cut); returns how many. For the start of the program, before
// anything is saved.
int DeleteStaleSaveFiles(const std::string& Folder);
