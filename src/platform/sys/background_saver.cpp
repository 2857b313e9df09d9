#include "platform/sys/background_saver.h"

#include <exception>
#include <functional>
#include <string_view>
#include <utility>

#include "platform/sys/atomic_file.h"

namespace {

size_t HashOf(std::string_view Data) {
  return std::hash<std::string_view>{}(Data);
}

}  // namespace

TBackgroundSaver::~TBackgroundSaver() {
  {
    const std::lock_guard<std::mutex> guard(lock_);
    ending_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void TBackgroundSaver::Save(const std::string& FileName, std::function<std::string()> MakeData) {
  {
    const std::lock_guard<std::mutex> guard(lock_);
    waiting_ = TContent{FileName, std::move(MakeData)};
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
  }
  changed_.notify_all();
}

void TBackgroundSaver::SaveNow(const std::string& FileName, std::string_view Data) {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [this] { return !waiting_ && !writing_; });
  // Written while holding the lock: the worker finds nothing to do meanwhile.
  written_hash_.reset();
  SaveFileAtomically(FileName, Data);
  written_file_ = FileName;
  written_hash_ = HashOf(Data);
}

std::string TBackgroundSaver::TakeFailure() {
  const std::lock_guard<std::mutex> guard(lock_);
  return std::exchange(failure_, std::string());
}

void TBackgroundSaver::WaitUntilWritten() {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [this] { return !waiting_ && !writing_; });
}

void TBackgroundSaver::Run() {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    changed_.wait(guard, [this] { return waiting_ || ending_; });
    if (!waiting_) return;
    TContent content = std::move(*waiting_);
    waiting_.reset();
    writing_ = true;
    const std::optional<size_t> written_hash = std::exchange(written_hash_, std::nullopt);
    const std::string written_file = written_file_;
    guard.unlock();
    std::string failure;
    size_t hash = 0;
    try {
      const std::string data = content.MakeData();
      hash = HashOf(data);
      if (written_hash != hash || written_file != content.FileName)
        SaveFileAtomically(content.FileName, data);
    } catch (const std::exception& error) {
      failure = error.what();
    }
    guard.lock();
    writing_ = false;
    if (failure.empty()) {
      written_file_ = content.FileName;
      written_hash_ = hash;
      failure_.clear();
    } else {
      failure_ = std::move(failure);
    }
    changed_.notify_all();
  }
}
