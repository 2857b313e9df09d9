#include "platform/text/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/sys/atomic_file.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/shown_text.h"

const char* const kCannotCreateFileText = "Cannot create file \"%s\".";
const char* const kCannotOpenFileText = "Cannot open file \"%s\".";

namespace {

constexpr int64_t kCopyChunk = 64 * 1024;
constexpr unsigned kAccessModeMask = 0x0003;  // fmOpenRead, fmOpenWrite or fmOpenReadWrite
constexpr mode_t kNewFilePermissions = 0666;  // narrowed by the umask

[[noreturn]] void InvalidPosition() {
  throw EStreamError("Invalid stream position");
}

int64_t SeekBase(TSeekOrigin origin, int64_t position, int64_t size) {
  switch (origin) {
    case soBeginning:
      return 0;
    case soCurrent:
      return position;
    case soEnd:
      return size;
  }
  return 0;
}

}  // namespace

// --- TStream ----------------------------------------------------------------------------

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<uint8_t> chunk(static_cast<size_t>(std::min(count, kCopyChunk)));
  for (int64_t left = count; left > 0;) {
    const int64_t step = std::min(left, kCopyChunk);
    source.ReadBuffer(chunk.data(), step);
    WriteBuffer(chunk.data(), step);
    left -= step;
  }
  return count;
}

// --- TMemoryStream ----------------------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t available = Size() - position_;
  if (count <= 0 || available <= 0) return 0;
  const int64_t taken = std::min(count, available);
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(taken));
  position_ += taken;
  return taken;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ + count > Size()) data_.resize(static_cast<size_t>(position_ + count));
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t target = SeekBase(origin, position_, Size()) + offset;
  if (target < 0) InvalidPosition();
  position_ = target;
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) InvalidPosition();
  data_.resize(static_cast<size_t>(size));
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  std::vector<uint8_t> content(static_cast<size_t>(source.Size()));
  source.ReadBuffer(content.data(), static_cast<int64_t>(content.size()));
  data_ = std::move(content);
  position_ = 0;
}

// Replaced whole, as every file the program writes.
void TMemoryStream::SaveToFile(const std::string& fileName) const {
  SaveFileAtomically(fileName,
                     std::string_view(reinterpret_cast<const char*>(data_.data()), data_.size()));
}

void TMemoryStream::SaveToStream(TStream& destination) const {
  destination.WriteBuffer(data_.data(), Size());
}

// --- TFileStream ------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : file_name_(fileName) {
  int flags = O_CLOEXEC;
  if ((mode & fmCreate) == fmCreate) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (mode & kAccessModeMask) {
      case fmOpenWrite:
        flags |= O_WRONLY;
        break;
      case fmOpenReadWrite:
        flags |= O_RDWR;
        break;
      default:
        flags |= O_RDONLY;
        break;
    }
  }
  handle_ = ::open(fileName.c_str(), flags, kNewFilePermissions);
  if (handle_ < 0) {
    const char* text = (mode & fmCreate) == fmCreate ? kCannotCreateFileText : kCannotOpenFileText;
    throw EFOpenError(Format(ShownText(LocalText(text)), ShownFileName(fileName)) + " " +
                      std::strerror(errno));
  }
}

TFileStream::~TFileStream() {
  if (handle_ >= 0) ::close(handle_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t got =
        ::read(handle_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += got;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(handle_, static_cast<const char*>(buffer) + done,
                                static_cast<size_t>(count - done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += put;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t position = ::lseek(handle_, offset, whence);
  if (position < 0) InvalidPosition();
  return position;
}

int64_t TFileStream::Position() const {
  return ::lseek(handle_, 0, SEEK_CUR);
}

int64_t TFileStream::Size() const {
  struct stat status {};
  if (::fstat(handle_, &status) != 0) return 0;
  return status.st_size;
}

void TFileStream::SetSize(int64_t size) {
  if (size < 0 || ::ftruncate(handle_, size) != 0) {
    throw EWriteError("Cannot set the size of \"" + ShownFileName(file_name_) + "\". " +
                      std::strerror(errno));
  }
}
