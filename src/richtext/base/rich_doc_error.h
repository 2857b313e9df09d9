// The one exception class of the rich-text component. It carries only an English
// message; every raising site quotes its text exactly (for instance
// "Can't perform Unicode operation" for a UTF-16 byte string of odd length).
#pragma once

#include <string>

#include "platform/text/sysutils.h"

class ERichDocError : public Exception {
 public:
  using Exception::Exception;
};

// The class library's list-index error, raised for an index outside a list (integer
// lists, draw-item lists); its text is the class library's own.
class ERDListIndexError : public Exception {
 public:
  explicit ERDListIndexError(int index);
};
