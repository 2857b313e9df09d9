#include "platform/sys/files.h"

#include <QFile>

#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/text/ascii.h"

namespace fs = std::filesystem;

namespace {

// '*' matches any run, '?' one character; iterative with one back-track point, so a
// long name against many stars stays linear enough.
bool MatchesMask(const std::string& name, const std::string& mask) {
  size_t n = 0, m = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || AsciiLower(mask[m]) == AsciiLower(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (star != std::string::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

// What a file whose size is not known is read by at first.
constexpr size_t kReadStep = 4096;

// "256 KiB" for whole kibibytes, else "1000 bytes".
std::string SizeText(size_t Bytes) {
  if (Bytes >= 1024 && Bytes % 1024 == 0) return std::to_string(Bytes / 1024) + " KiB";
  return std::to_string(Bytes) + " bytes";
}

}  // namespace

bool FileExists(const std::string& FileName) {
  std::error_code error;
  return !FileName.empty() && fs::is_regular_file(FileName, error);
}

std::optional<std::string> ReadFileHead(const std::string& FileName, size_t HeadBytes,
                                        size_t MaxBytes, std::string* Why) {
  const auto because = [Why](const std::string& Reason) {
    if (Why) *Why = Reason;
    return std::nullopt;
  };
  if (Why) Why->clear();
  const int handle = ::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (handle < 0) return errno == ENOENT ? std::nullopt : because(std::strerror(errno));
  struct stat status {};
  std::optional<std::string> content;
  std::string reason;
  const size_t wanted = std::min(HeadBytes, MaxBytes);
  if (::fstat(handle, &status) != 0) {
    reason = std::strerror(errno);
  } else if (!S_ISREG(status.st_mode)) {
    reason = "it is no regular file";
  } else if (static_cast<unsigned long long>(status.st_size) > MaxBytes) {
    reason = "it is larger than " + SizeText(MaxBytes);
  } else {
    // The buffer follows what the file holds, not the bound: a file of a few KB under
    // a bound of megabytes costs a few KB. Reading the whole file, one byte more than
    // allowed tells a file that grew meanwhile; a file whose size says nothing (of /proc)
    // grows the buffer as it is read.
    const bool whole = wanted == MaxBytes;
    const size_t limit = whole ? MaxBytes + 1 : wanted;
    std::string text(std::min(limit, static_cast<size_t>(status.st_size) + 1), '\0');
    size_t done = 0;
    ssize_t got = 0;
    do {
      if (done == text.size()) text.resize(std::min(limit, std::max(2 * done, kReadStep)));
      got = ::read(handle, text.data() + done, text.size() - done);
      if (got > 0) done += static_cast<size_t>(got);
    } while ((got > 0 && done < limit) || (got < 0 && errno == EINTR));
    if (got < 0) {
      reason = std::strerror(errno);
    } else if (whole && done > MaxBytes) {
      reason = "it is larger than " + SizeText(MaxBytes);
    } else {
      text.resize(done);
      content = std::move(text);
    }
  }
  ::close(handle);
  if (!content) return because(reason);
  return content;
}

std::optional<std::string> ReadSmallFile(const std::string& FileName, size_t MaxBytes,
                                         std::string* Why) {
  return ReadFileHead(FileName, MaxBytes, MaxBytes, Why);
}

bool FileIsInFolder(const std::string& FileName, const std::string& Folder) {
  std::error_code error;
  if (!FileExists(FileName) || !DirectoryExists(Folder)) return false;
  const fs::path file = fs::canonical(FileName, error);
  if (error) return false;
  const fs::path folder = fs::canonical(Folder, error);
  if (error) return false;
  const auto [inFolder, inFile] =
      std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
  return inFolder == folder.end() && inFile != file.end();
}

bool DirectoryExists(const std::string& Dir) {
  std::error_code error;
  return !Dir.empty() && fs::is_directory(Dir, error);
}

bool ForceDirectories(const std::string& Dir) {
  if (Dir.empty()) return false;
  std::error_code error;
  fs::create_directories(Dir, error);
  return DirectoryExists(Dir);
}

bool CreateDir(const std::string& Dir) {
  return !Dir.empty() && ::mkdir(Dir.c_str(), 0777) == 0;
}

bool DeleteFile(const std::string& FileName) {
  return FileExists(FileName) && ::unlink(FileName.c_str()) == 0;
}

bool RenameFile(const std::string& OldName, const std::string& NewName) {
  return ::renameat2(AT_FDCWD, OldName.c_str(), AT_FDCWD, NewName.c_str(), RENAME_NOREPLACE) == 0;
}

std::string ExtractFilePath(const std::string& FileName) {
  const size_t slash = FileName.rfind(PathDelim);
  return slash == std::string::npos ? std::string() : FileName.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& FileName) {
  const size_t slash = FileName.rfind(PathDelim);
  return slash == std::string::npos ? FileName : FileName.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& FileName) {
  const size_t dot = FileName.rfind('.');
  const size_t slash = FileName.rfind(PathDelim);
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return FileName.substr(dot);
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Extension) {
  const std::string ext = ExtractFileExt(FileName);
  return FileName.substr(0, FileName.size() - ext.size()) + Extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& Dir) {
  if (!Dir.empty() && Dir.back() == PathDelim) return Dir;
  return Dir + PathDelim;
}

std::vector<std::string> FindFiles(const std::string& Folder, const std::string& Mask,
                                   bool Recursive) {
  std::vector<std::string> found;
  const std::string base = IncludeTrailingPathDelimiter(Folder);
  std::error_code error;
  std::vector<std::string> subfolders;
  for (fs::directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    std::error_code kind_error;
    if (it->is_directory(kind_error)) {
      if (Recursive && !it->is_symlink(kind_error)) subfolders.push_back(base + name);
    } else if (it->is_regular_file(kind_error) && MatchesMask(name, Mask)) {
      found.push_back(base + name);
    }
  }
  std::sort(found.begin(), found.end());
  std::sort(subfolders.begin(), subfolders.end());
  for (const std::string& sub : subfolders) {
    std::vector<std::string> inner = FindFiles(sub, Mask, true);
    found.insert(found.end(), inner.begin(), inner.end());
  }
  return found;
}

bool FileIsReadOnly(const std::string& FileName) {
  struct stat info {};
  return ::stat(FileName.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

bool FileSetReadOnly(const std::string& FileName, bool ReadOnly) {
  struct stat info {};
  if (::stat(FileName.c_str(), &info) != 0) return false;
  mode_t mode = info.st_mode & 07777;
  if (ReadOnly) {
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  } else {
    mode |= S_IWUSR;
  }
  return ::chmod(FileName.c_str(), mode) == 0;
}

std::string ConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return IncludeTrailingPathDelimiter(xdg) + "Velmora/";
  std::string home;
  if (const char* env = std::getenv("HOME"); env && env[0]) {
    home = env;
  } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
    home = user->pw_dir;
  }
  return IncludeTrailingPathDelimiter(home) + ".config/Velmora/";
}

bool ReadProgramResource(const std::string& Name, std::string& Data) {
  // A name leading out of the resources (an absolute path) is none of them.
  if (Name.empty() || Name.front() == '/') return false;
  QFile file(QString::fromStdString(":/" + Name));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  Data.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  return true;
}
