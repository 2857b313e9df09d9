// unrtf (Debian package unrtf) as a test peer.
#pragma once

#include <string>

#include "platform/sys/child_process.h"
#include "support/scratch_files.h"

// What `unrtf options file` prints. unrtf writes the pictures it finds into the folder it
// runs in: it runs in the scratch folder, never in the one the tests were started in.
inline std::string RunUnrtf(const std::string& options, const std::string& file) {
  return RunAndCapture("cd '" + ScratchFolder() + "' && unrtf " + options + " '" + file +
                       "' 2>/dev/null");
}

// The document text `unrtf --text` prints after its banner of "###" lines and a row of
// dashes; empty when there is none.
inline std::string UnrtfText(const std::string& file) {
  const std::string output = RunUnrtf("--text", file);
  const std::size_t rule = output.find("-----------------\n");
  return rule == std::string::npos ? std::string() : output.substr(rule + 18);
}
