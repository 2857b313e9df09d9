// A file replaced whole (atomic_file.h) by a thread of its own, so that a large file
// written now and then does not hold the GUI thread up while the disk syncs.
//
// The caller takes its content on its own thread (a copy, so that the worker never
// reads what the caller goes on changing) and hands it over with Save, which returns at
// once. One write runs at a time, in the order handed over; content handed over while
// a write runs waits for it, and only the newest waiting content is written (an older
// one would only be replaced). Content equal to what was written last is not written
// again. A failed write keeps the old file (atomic_file.h); its message waits for the
// caller (TakeFailure) until a later write succeeds, and the next Save writes even
// unchanged content again.
//
// SaveNow is for the end: it waits until what was handed over is written, then writes
// on the calling thread, always, raising the error. Only one thread hands content over.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

class TBackgroundSaver {
 public:
  TBackgroundSaver() = default;
  // Writes what still waits, then ends the thread.
  ~TBackgroundSaver();
  TBackgroundSaver(const TBackgroundSaver&) = delete;
  TBackgroundSaver& operator=(const TBackgroundSaver&) = delete;

  void Save(const std::string& FileName, std::string Data);
  // Raises EWriteError (naming the file) when it cannot be written.
  void SaveNow(const std::string& FileName, std::string_view Data);
  // The message of the last write when it failed (and was not taken yet); else empty.
  std::string TakeFailure();
  // Returns when nothing waits and no write runs.
  void WaitUntilWritten();

 private:
  struct TContent {
    std::string FileName;
    std::string Data;
  };
  void Run();
  // Under the lock: what was written last, as file name and content hash.
  bool WrittenLast(const std::string& FileName, size_t Hash) const;

  std::mutex lock_;
  std::condition_variable changed_;
  std::optional<TContent> waiting_;
  bool writing_ = false;
  bool ending_ = false;
  std::string failure_;
  std::string written_file_;
  std::optional<size_t> written_hash_;  // none when nothing was written, or the last failed
  std::thread worker_;                  // started by the first Save
};
