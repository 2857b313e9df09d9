// The application object: owns the GUI event loop and knows where the program lives.
//
// There is one instance, reachable through the global `Application`, created by main()
// (and by the test runner) before any window or timer. Everything the event loop calls
// back into our code goes through `Dispatch`, so an exception from a handler is shown
// (or logged) and the program keeps running instead of unwinding through Qt.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

class TApplication {
 public:
  TApplication(int& argc, char** argv);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Full path of the executable, and its folder with a trailing '/'.
  std::string ExeName() const;
  std::string ExeFolder() const;

  std::string Title;
  std::string HelpFile;

  // Runs the event loop until Terminate is called or the last main window closes.
  void Run();
  // Handles the events that are waiting, then returns (used by busy waits); nothing
  // while the last saves run.
  void ProcessMessages();
  // Ends every running event loop; Run returns, and a later Run returns at once.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // A test runner starts each test with an application that is not ending (neither
  // terminated nor asked to end).
  void ClearTerminated();

  // The language of what the platform shows itself: the buttons and labels of the
  // standard dialogs (from the desktop's Qt translations, where installed) and the day
  // and month names of FormatDateTime. Code is a language code such as "de" or "en";
  // empty goes back to the user's locale. The names of an unknown code are English.
  void SetLanguage(const std::string& Code);

  // Handler runs on the GUI thread when the system ends the program: SIGTERM (a logout,
  // a shutdown), SIGHUP, SIGINT, or the desktop session quitting the application (also
  // whenever the event loop is left). From then on the application is ending: no modal
  // window opens any more (a message box writes its text to the log instead), so that
  // nothing the program does on its way out waits for a person; the handler ends the
  // loops that run (Terminate), a modal window's among them. Without a handler (nullptr)
  // those signals end the process at once.
  void SetEndRequestHandler(std::function<void()> Handler);
  bool Ending() const { return ending_; }

  // Handler makes the saves that must not be lost when the process ends without the
  // program's own close: at an end signal that comes while the program is already ending
  // (the process then ends at once, with exit code 0), and when the connection to the
  // display breaks (the process then ends at once, with exit code 1, before the GUI
  // library's exit handlers). It runs on the GUI thread, uses no window and takes no
  // event; the workers' Synchronize calls are released first (they return, and none runs
  // any more), so that it may stop and join their threads. Nullptr: nothing is saved.
  void SetLastSavesHandler(std::function<void()> Handler);

  // For the program's main once its own end is through (the saves made, the windows
  // gone): should the libraries' clean-up at exit not have ended the process Seconds
  // later, it ends then, with ExitCode. A sound server's client library may wait forever
  // there on a thread of its own, and a program that has done its work must still go.
  static void EndProcessWithin(int Seconds, int ExitCode);

  // Called with every exception that a handler lets escape; when unassigned the
  // message is written to standard error.
  std::function<void(const std::exception&)> OnException;
  void HandleException(const std::exception& error);

 private:
  struct Impl;
  // Should anything end the process with exit() on the GUI thread while the program runs.
  static void LastSavesAtExit();
  std::unique_ptr<Impl> impl_;
  bool terminated_ = false;
  bool ending_ = false;
};

extern TApplication* Application;

// A message identifier of the program's own, the same for the same name all along the
// run (names are compared exactly); a 16-bit number above the system's events.
std::uint16_t RegisterWindowMessage(const std::string& Name);

// Writes Text as one line to standard error, the program's log: a message that no box
// may show. Line breaks and other control characters become blanks, so a text (with
// bytes from a packet in it, say) never adds a line of its own.
void LogMessage(const std::string& Text);

// Runs handler, catching whatever it throws and passing it to the application's
// exception handler. Every call from the event loop into program code goes through here.
void Dispatch(const std::function<void()>& handler);
