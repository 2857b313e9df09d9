// A file replaced whole (atomic_file.h) by a thread of its own, so that a large file
// written now and then does not hold the GUI thread up while its text is made and the
// disk syncs.
//
// The caller hands over, with Save, what makes the content: a function the worker runs,
// holding its own snapshot of what it needs (cheap to take, e.g. shared records, so that
// the worker never reads what the caller goes on changing). Save returns at once. One
// write runs at a time, in the order handed over; content handed over while a write
// runs waits for it, and only the newest waiting content is made and written (an older
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
#include <functional>
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

  // MakeData runs on the worker; what it raises counts as a failed write.
  void Save(const std::string& FileName, std::function<std::string()> MakeData);
  // Raises EWriteError (naming the file) when it cannot be written.
  void SaveNow(const std::string& FileName, std::string_view Data);
  // The message of the last write when it failed (and was not taken yet); else empty.
  std::string TakeFailure();
  // Returns when nothing waits and no write runs.
  void WaitUntilWritten();

 private:
  struct TContent {
    std::string FileName;
    std::function<std::string()> MakeData;
  };
  void Run();

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
