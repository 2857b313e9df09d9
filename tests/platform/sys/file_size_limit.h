// A real "disk full" for one scope: the process may not write files beyond Bytes, so a
// write past it fails with EFBIG as a full file system fails with ENOSPC (the signal
// that would end the process is ignored meanwhile).
#pragma once

#include <signal.h>
#include <sys/resource.h>

class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t Bytes) {
    getrlimit(RLIMIT_FSIZE, &old_limit_);
    old_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit_;
    limit.rlim_cur = Bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_limit_);
    signal(SIGXFSZ, old_handler_);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit old_limit_{};
  sighandler_t old_handler_ = SIG_DFL;
};
