#include "platform/sys/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/sys/files.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/shown_text.h"
#include "platform/text/streams.h"

const char* const kCannotSaveFileText = "Cannot save file \"%s\".";
const char* const kNoReaderText = "No program reads from this pipe.";
const char* const kNotAFileText = "It is not a file.";
const char* const kReaderStalledText = "The program at this pipe has stopped reading.";
const char* const kFolderNotMadeText = "The folder cannot be made.";
const char* const kKeepsChangingText = "It keeps changing.";

namespace {

// A temporary file is the target's name, this mark and six characters.
constexpr char kSaveMark[] = "~save-";
constexpr size_t kSaveMarkLength = sizeof kSaveMark - 1;
constexpr size_t kUniqueLength = 6;
constexpr mode_t kNewFilePermissions = 0666;  // narrowed by the umask
constexpr int kNameAttempts = 100;
// A pipe's reader that takes no byte for this long has stopped: the save, which the
// window waits for, is refused rather than waiting without end.
constexpr int kStalledReaderMs = 5000;

[[noreturn]] void FailBecause(const std::string& FileName, const std::string& Reason) {
  throw EWriteError(CannotSaveFileText(FileName, Reason));
}

[[noreturn]] void Fail(const std::string& FileName, int Error) {
  FailBecause(FileName, std::strerror(Error));
}

std::string UniqueSuffix() {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<unsigned> counter{0};
  unsigned long long seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<unsigned long long>(::getpid()) << 20) ^ (counter++ * 0x9E3779B97F4A7C15ull);
  std::string suffix;
  for (size_t i = 0; i < kUniqueLength; ++i) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    suffix += kChars[(seed >> 33) % (sizeof kChars - 1)];
  }
  return suffix;
}

// The file a name stands for: a symbolic link is followed, so the link survives the save.
std::string TargetOf(const std::string& FileName) {
  struct stat link {};
  if (::lstat(FileName.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return FileName;
  char resolved[PATH_MAX];
  return ::realpath(FileName.c_str(), resolved) ? std::string(resolved) : FileName;
}

// Error ETIMEDOUT: a pipe (opened not to wait) took no byte for kStalledReaderMs.
bool WriteAll(int Handle, std::string_view Data, int& Error) {
  size_t done = 0;
  while (done < Data.size()) {
    const ssize_t written = ::write(Handle, Data.data() + done, Data.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno == EAGAIN) {
      pollfd room{Handle, POLLOUT, 0};
      const int ready = ::poll(&room, 1, kStalledReaderMs);
      if (ready == 0) {
        Error = ETIMEDOUT;
        return false;
      }
      continue;  // room, or a reader gone, which the next write tells
    }
    if (written <= 0) {
      Error = written < 0 ? errno : ENOSPC;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

// A pipe or a character device under the name is written into, never replaced: a program
// reads from the pipe, and the device is the user's choice (/dev/null). Anything else
// that is not a file (a socket, a disk) is refused.
void WriteInto(const std::string& FileName, const std::string& Target, std::string_view Data) {
  // Never waits for a reader: a pipe that nobody reads from is refused at once.
  const int handle = ::open(Target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (handle < 0) {
    if (errno == ENXIO) FailBecause(FileName, kNoReaderText);
    Fail(FileName, errno);
  }
  struct stat kind {};
  if (::fstat(handle, &kind) != 0 || !(S_ISFIFO(kind.st_mode) || S_ISCHR(kind.st_mode))) {
    ::close(handle);
    FailBecause(FileName, kNotAFileText);
  }
  // The reader takes the data at its own pace, as long as it takes some; one that goes
  // away mid-way fails the save, not the program.
  sigset_t broken_pipe;
  sigset_t old_mask;
  sigemptyset(&broken_pipe);
  sigaddset(&broken_pipe, SIGPIPE);
  ::pthread_sigmask(SIG_BLOCK, &broken_pipe, &old_mask);
  int error = 0;
  const bool ok = WriteAll(handle, Data, error);
  if (!ok && error == EPIPE) {
    const timespec at_once{};
    ::sigtimedwait(&broken_pipe, nullptr, &at_once);
  }
  ::pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
  ::close(handle);
  if (!ok && error == ETIMEDOUT) FailBecause(FileName, kReaderStalledText);
  if (!ok) Fail(FileName, error);
}

// Neither a file nor a folder: a pipe, a device or a socket.
bool IsSpecialFile(const std::string& Name) {
  struct stat kind {};
  return ::stat(Name.c_str(), &kind) == 0 && !S_ISREG(kind.st_mode) && !S_ISDIR(kind.st_mode);
}

void SyncFolder(const std::string& Folder) {
  const int handle =
      ::open(Folder.empty() ? "." : Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return;
  ::fsync(handle);
  ::close(handle);
}

bool IsSaveFileName(const std::string& Name) {
  if (Name.size() < kSaveMarkLength + kUniqueLength + 1) return false;
  return Name.compare(Name.size() - kUniqueLength - kSaveMarkLength, kSaveMarkLength, kSaveMark) ==
         0;
}

}  // namespace

std::string CannotSaveFileText(const std::string& FileName, const std::string& Reason) {
  return Format(ShownText(LocalText(kCannotSaveFileText)), ShownFileName(FileName)) + " " +
         ShownText(LocalText(Reason));
}

void SaveFileAtomically(const std::string& FileName, std::string_view Data) {
  const std::string target = TargetOf(FileName);
  if (IsSpecialFile(target)) return WriteInto(FileName, target, Data);
  // A file the user made read-only keeps its content, as writing it in place would.
  if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
    Fail(FileName, errno);
  }
  std::string temp;
  int handle = -1;
  for (int attempt = 0; handle < 0 && attempt < kNameAttempts; ++attempt) {
    temp = target + kSaveMark + UniqueSuffix();
    handle = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFilePermissions);
    if (handle < 0 && errno != EEXIST) Fail(FileName, errno);
  }
  if (handle < 0) Fail(FileName, EEXIST);
  // An existing file keeps its permissions.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(handle, old.st_mode & 07777);
  int error = 0;
  bool ok = WriteAll(handle, Data, error);
  if (ok && ::fsync(handle) != 0) {
    error = errno;
    ok = false;
  }
  if (::close(handle) != 0 && ok) {
    error = errno;
    ok = false;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    error = errno;
    ok = false;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    Fail(FileName, error);
  }
  SyncFolder(ExtractFilePath(target));
}

bool AppendToFile(const std::string& FileName, std::string_view Data, int64_t ExpectedSize) {
  // A pipe is not even opened: its reader would take the closing as the end of the data.
  if (IsSpecialFile(FileName)) return false;
  // Never waits: a pipe under the name has no reader to wait for.
  const int handle = ::open(FileName.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
  if (handle < 0) {
    if (errno == ENOENT) return false;
    Fail(FileName, errno);
  }
  struct stat status {};
  if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size != ExpectedSize) {
    ::close(handle);
    return false;
  }
  int error = 0;
  bool ok = WriteAll(handle, Data, error);
  if (ok && ::fsync(handle) != 0) {
    error = errno;
    ok = false;
  }
  if (!ok) {
    // Whatever part of the data went out is taken back.
    if (::ftruncate(handle, status.st_size) == 0) ::fsync(handle);
    ::close(handle);
    Fail(FileName, error);
  }
  if (::close(handle) != 0) Fail(FileName, errno);
  return true;
}

int DeleteStaleSaveFiles(const std::string& Folder) {
  DIR* dir = ::opendir(Folder.empty() ? "." : Folder.c_str());
  if (dir == nullptr) return 0;
  int deleted = 0;
  const std::string folder = Folder.empty() ? std::string() : IncludeTrailingPathDelimiter(Folder);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!IsSaveFileName(name)) continue;
    if (FileExists(folder + name) && ::unlink((folder + name).c_str()) == 0) ++deleted;
  }
  ::closedir(dir);
  return deleted;
}
