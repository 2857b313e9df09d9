// A program started in the background through the shell, with its output written to
// a file. It is stopped (with everything it started) when the object goes away. Used to
// run independent peer programs in tests.
#pragma once

#include <functional>
#include <string>

// Runs `/bin/sh -c Command` to its end and returns what it wrote to standard output
// (empty when it could not be run). ExitStatus, when given, receives its exit status,
// or -1 when it did not exit normally.
std::string RunAndCapture(const std::string& Command, int* ExitStatus = nullptr);
// True when Program is found on the search path.
bool ProgramAvailable(const std::string& Program);

// Runs Work in a copy of this process and kills that copy (SIGKILL, as a power cut or
// "kill -9" ends a program) inside or after the second of the steps Work repeats: Work
// calls Began as each step begins, and the kill comes Fraction times the length of the
// copy's first step after its second began. So the kill lands where Fraction says, however
// late the copy got going or how slowly it runs on a loaded machine. Work should not
// return before. False when the copy could not be made or ended by itself. For tests of
// what a kill at any moment leaves behind.
bool RunAndKillAfter(const std::function<void(const std::function<void()>& Began)>& Work,
                     double Fraction);

class TChildProcess {
 public:
  // Runs `/bin/sh -c Command` in a process group of its own; standard output and error
  // go to OutputFile.
  TChildProcess(const std::string& Command, const std::string& OutputFile);
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // Asks the program to end with SIGTERM, as a logout or a shutdown does; the shell
  // itself gets it, so a command that should receive it starts with "exec".
  void Terminate();
  // Waits up to TimeoutMs for the process to end and reaps it: its exit status, or -1
  // when it was ended by a signal or is still running.
  int WaitForExit(int TimeoutMs);
  // Ends the whole process group and reaps the shell.
  void Stop();

 private:
  int pid_ = -1;
};
