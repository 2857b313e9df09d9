// Numbers whose form a file format or a peer program fixes ('.' before the fraction),
// written and read the same in any locale: the test programs run in the user's, where
// printf and std::stod may take ',' instead.
#pragma once

#include <clocale>

#include <string>

// While it lives, this thread formats and reads numbers as the C locale does.
class TCNumbers {
 public:
  TCNumbers()
      : c_(newlocale(LC_NUMERIC_MASK, "C", duplocale(LC_GLOBAL_LOCALE))),
        previous_(uselocale(c_)) {}
  ~TCNumbers() {
    uselocale(previous_);
    freelocale(c_);
  }
  TCNumbers(const TCNumbers&) = delete;
  TCNumbers& operator=(const TCNumbers&) = delete;

 private:
  locale_t c_;
  locale_t previous_;
};

// The number at the start of Text (blanks before it skipped), as std::stod reads it in
// the C locale.
inline double CNumber(const std::string& Text) {
  TCNumbers c;
  return std::stod(Text);
}
