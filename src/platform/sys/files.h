// File and folder helpers with the class library's names and results.
//
// Paths are byte strings passed to the file system unchanged; the folder delimiter is
// '/'. Operations report failure through their bool result and never throw. Folder
// results end with the delimiter, e.g. ExtractFilePath("/opt/velmora/Stn.dat") gives
// "/opt/velmora/".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

constexpr char PathDelim = '/';

bool FileExists(const std::string& FileName);  // a file, not a folder
// The content of a file built into the program (its resources) by name; false when the
// program has none of that name.
bool ReadProgramResource(const std::string& Name, std::string& Data);
bool DirectoryExists(const std::string& Dir);
// Creates the folder and every missing folder above it; true when it exists afterwards.
bool ForceDirectories(const std::string& Dir);
// Creates one folder whose parent exists.
bool CreateDir(const std::string& Dir);
bool DeleteFile(const std::string& FileName);
// Fails, as on the system the program came from, when NewName already exists.
bool RenameFile(const std::string& OldName, const std::string& NewName);

std::string ExtractFilePath(const std::string& FileName);  // up to and with the last '/'
std::string ExtractFileName(const std::string& FileName);  // after the last '/'
std::string ExtractFileExt(const std::string& FileName);   // ".ext" of the name, or ""
std::string ChangeFileExt(const std::string& FileName, const std::string& Extension);
std::string IncludeTrailingPathDelimiter(const std::string& Dir);

// Full paths of the files in Folder whose names match Mask ('*' and '?', letters
// compared without case, as the program's data files were named on a system that
// ignores case), sorted; with Recursive also those in every subfolder.
std::vector<std::string> FindFiles(const std::string& Folder, const std::string& Mask,
                                   bool Recursive);

// True when FileName is a regular file (not a pipe, device or folder) whose real path,
// links resolved, lies inside Folder.
bool FileIsInFolder(const std::string& FileName, const std::string& Folder);

// The content of FileName when it is a regular file of at most MaxBytes bytes (a link
// is followed); nullopt for anything else: missing, a folder, a pipe, a device, or
// longer. Opening never waits, so a pipe with no writer is refused, not waited on; and
// nothing is read without bound. For the small tables the user may edit by hand. When
// the file is there but not read, Why (when given) says why, e.g. "it is larger than
// 256 KiB"; it stays empty for a missing file.
std::optional<std::string> ReadSmallFile(const std::string& FileName, size_t MaxBytes,
                                         std::string* Why = nullptr);

// The first HeadBytes bytes (all, when it is shorter) of FileName, under the rules and
// with the answers of ReadSmallFile: a file larger than MaxBytes is refused unread.
std::optional<std::string> ReadFileHead(const std::string& FileName, size_t HeadBytes,
                                        size_t MaxBytes, std::string* Why = nullptr);

// "Read-only" is a file without write permission.
bool FileIsReadOnly(const std::string& FileName);
bool FileSetReadOnly(const std::string& FileName, bool ReadOnly);

// The per-user settings folder, with a trailing '/': $XDG_CONFIG_HOME/Velmora/ when that
// is an absolute path, else ~/.config/Velmora/. It is not created here.
std::string ConfigFolder();
