#include "platform/sys/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

TChildProcess::TChildProcess(const std::string& Command, const std::string& OutputFile) {
  const int output = ::open(OutputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (output < 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    setpgid(0, 0);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    const int input = ::open("/dev/null", O_RDONLY);
    if (input >= 0) dup2(input, STDIN_FILENO);
    execl("/bin/sh", "sh", "-c", Command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid_ > 0) setpgid(pid_, pid_);
  ::close(output);
}

TChildProcess::~TChildProcess() {
  Stop();
}

void TChildProcess::Terminate() {
  if (pid_ > 0) kill(pid_, SIGTERM);
}

int TChildProcess::WaitForExit(int TimeoutMs) {
  if (pid_ <= 0) return -1;
  constexpr int kStepMs = 20;
  int status = 0;
  for (int waited = 0; waited <= TimeoutMs; waited += kStepMs) {
    const pid_t ended = waitpid(pid_, &status, WNOHANG);
    if (ended == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (ended < 0 && errno != EINTR) return -1;
    usleep(kStepMs * 1000);
  }
  return -1;
}

void TChildProcess::Stop() {
  if (pid_ <= 0) return;
  kill(-pid_, SIGTERM);
  int status = 0;
  for (int i = 0; i < 50 && waitpid(pid_, &status, WNOHANG) == 0; ++i) usleep(20000);
  if (waitpid(pid_, &status, WNOHANG) == 0) {
    kill(-pid_, SIGKILL);
    waitpid(pid_, &status, 0);
  }
  pid_ = -1;
}

std::string RunAndCapture(const std::string& Command, int* ExitStatus) {
  if (ExitStatus) *ExitStatus = -1;
  FILE* pipe = popen(Command.c_str(), "r");
  if (!pipe) return {};
  std::string output;
  char buffer[4096];
  while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  const int status = pclose(pipe);
  if (ExitStatus && status != -1 && WIFEXITED(status)) *ExitStatus = WEXITSTATUS(status);
  return output;
}

bool ProgramAvailable(const std::string& Program) {
  int status = -1;
  RunAndCapture("command -v '" + Program + "' > /dev/null 2>&1", &status);
  return status == 0;
}

bool RunAndKillAfter(const std::function<void(const std::function<void()>& Began)>& Work,
                     double Fraction) {
  int began[2];
  if (pipe2(began, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    ::close(began[0]);
    ::close(began[1]);
    return false;
  }
  if (child == 0) {
    ::close(began[0]);
    // Never held up by a parent that has stopped reading.
    fcntl(began[1], F_SETFL, O_NONBLOCK);
    Work([&] {
      const char mark = 'b';
      [[maybe_unused]] const ssize_t written = ::write(began[1], &mark, 1);
    });
    _exit(0);  // Work was to run until the kill; no exit handlers of the parent's state
  }
  ::close(began[1]);
  const auto next_mark = [&] {
    char mark = 0;
    ssize_t got = 0;
    do {
      got = ::read(began[0], &mark, 1);
    } while (got < 0 && errno == EINTR);
    return got == 1;
  };
  bool marked = next_mark();
  const auto first = std::chrono::steady_clock::now();
  marked = marked && next_mark();
  if (marked) {
    const auto step = std::chrono::steady_clock::now() - first;
    std::this_thread::sleep_for(
        std::chrono::duration_cast<std::chrono::microseconds>(step * std::max(Fraction, 0.0)));
  }
  kill(child, SIGKILL);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // Open until the end: a later mark must not end the copy by a broken pipe.
  ::close(began[0]);
  return marked && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}
