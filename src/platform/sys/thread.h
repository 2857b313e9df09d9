// A worker thread whose work is the virtual Execute, and the hand-over to the GUI thread.
//
// The GUI thread owns all program data; a worker gives it work with Synchronize, which
// blocks the worker until the GUI thread has run the function. Called on the GUI thread
// it runs the function at once. WaitFor on the GUI thread keeps running the waiting
// Synchronize calls, so a worker blocked in one can still finish.
//
// Execute should return soon after Terminated() turns true. A derived class whose
// Execute uses its own members must call Terminate() and WaitFor() in its destructor;
// the base destructor does it too, but by then the derived part is gone.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

// The scheduling weight of a thread against the others of the program, lowest first.
enum class TThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

class TThread {
 public:
  TThread();
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts Execute on a new thread; a second call does nothing.
  void Start();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Returns when Execute has ended (at once when the thread was never started).
  void WaitFor();
  bool Finished() const { return finished_; }
  // Takes effect at once, or when the thread starts. A priority above the one the
  // program runs with needs a right the system may not grant; the thread then keeps its.
  void SetPriority(TThreadPriority Priority);

  // Runs Method on the GUI thread and returns after it ran. An exception from Method
  // goes to the application's handler (Dispatch), not back to the caller.
  static void Synchronize(const std::function<void()>& Method);
  // Runs the Synchronize calls that are waiting; the GUI thread does this on its own.
  static void CheckSynchronize();
  // For the end of the process only, on the GUI thread, when it will run no more calls:
  // every Synchronize waiting returns to its thread, the one the GUI thread is running
  // among them (which must never be returned to), and later ones return at once. Workers
  // then see Terminated() and end instead of waiting for a thread that has gone.
  static void ReleaseSynchronize();
  static void Sleep(unsigned Milliseconds);

 protected:
  // An exception escaping Execute is handed to the application's handler on the GUI thread.
  virtual void Execute() = 0;

 private:
  void Run();

  std::thread thread_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<TThreadPriority> priority_{TThreadPriority::Normal};
  std::atomic<int> system_id_{0};  // the running thread's id for the scheduler, 0 before
};
