// A program started in the background through the shell, with its output written to
// a file. It is stopped (with everything it started) when the object goes away. Used to
// run independent peer programs in tests.
#pragma once

#include <string>

// Runs `/bin/sh -c Command` to its end and returns what it wrote to standard output
// (empty when it could not be run). ExitStatus, when given, receives its exit status,
// or -1 when it did not exit normally.
std::string RunAndCapture(const std::string& Command, int* ExitStatus = nullptr);
// True when Program is found on the search path.
bool ProgramAvailable(const std::string& Program);

class TChildProcess {
 public:
  // Runs `/bin/sh -c Command` in a process group of its own; standard output and error
  // go to OutputFile.
  TChildProcess(const std::string& Command, const std::string& OutputFile);
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // Ends the whole process group and reaps the shell.
  void Stop();

 private:
  int pid_ = -1;
};
