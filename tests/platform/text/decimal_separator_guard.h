// Sets the global decimal separator for one scope and restores it however a test ends.
#pragma once

#include "platform/text/sysutils.h"

class DecimalSeparatorGuard {
 public:
  explicit DecimalSeparatorGuard(char separator) : saved_(DecimalSeparator) {
    DecimalSeparator = separator;
  }
  ~DecimalSeparatorGuard() { DecimalSeparator = saved_; }
  DecimalSeparatorGuard(const DecimalSeparatorGuard&) = delete;
  DecimalSeparatorGuard& operator=(const DecimalSeparatorGuard&) = delete;

 private:
  char saved_;
};
