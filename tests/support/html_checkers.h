// The HTML checkers that export tests hand their files to.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/sys/child_process.h"

// xmllint (reading HTML, or XML for XHTML) and tidy accept the file without an error, each
// where it is installed; name tells which variant a failure belongs to.
inline void ExpectHTMLCheckersAccept(const std::string& file, bool xhtml, const std::string& name) {
  int status = -1;
  if (ProgramAvailable("xmllint")) {
    const std::string output = RunAndCapture(
        std::string("xmllint ") + (xhtml ? "" : "--html ") + "--noout '" + file + "' 2>&1",
        &status);
    EXPECT_EQ(status, 0) << name << "\n" << output;
    EXPECT_EQ(output, "") << name;
  }
  if (ProgramAvailable("tidy")) {
    // Exit status 2 means errors; 1 only warnings (such as the font tags of plain HTML).
    const std::string output = RunAndCapture("tidy -errors -q '" + file + "' 2>&1", &status);
    EXPECT_LT(status, 2) << name << "\n" << output;
  }
}
