// Byte streams: an abstract TStream, a growable memory stream and a file stream.
//
// Positions and sizes are byte counts from the start of the stream. Read and Write
// move as many bytes as they can and return the count; ReadBuffer and WriteBuffer
// move all or raise EReadError / EWriteError.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text/sysutils.h"

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
// A file could not be opened or created; the message names the file and the reason.
// The messages of a file that cannot be created or opened ("%s": its name).
extern const char* const kCannotCreateFileText;
extern const char* const kCannotOpenFileText;

class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;

  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position; a position before the start raises EStreamError.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Position() const = 0;
  virtual int64_t Size() const = 0;
  virtual void SetSize(int64_t size) = 0;

  void SetPosition(int64_t position) { Seek(position, soBeginning); }

  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies `count` bytes from the source's position; a count of 0 copies the whole
  // source from its start. Returns the number of bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);
};

class TMemoryStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
  // New bytes are zero; the position is kept, even past the new end.
  void SetSize(int64_t size) override;

  void* Memory() { return data_.data(); }
  const void* Memory() const { return data_.data(); }
  void Clear();

  // Replace the content by the whole of the file or the source stream; position 0.
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(TStream& source);
  // Write the whole content, whatever the position.
  void SaveToFile(const std::string& fileName) const;
  void SaveToStream(TStream& destination) const;

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

// Open modes; fmCreate creates the file or empties an existing one, for reading and
// writing.
enum : unsigned {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmCreate = 0xFF00,
};

class TFileStream : public TStream {
 public:
  // Raises EFOpenError when the file cannot be opened or created.
  TFileStream(const std::string& fileName, unsigned mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Position() const override;
  int64_t Size() const override;
  void SetSize(int64_t size) override;

  const std::string& FileName() const { return file_name_; }

 private:
  std::string file_name_;
  int handle_ = -1;
};
