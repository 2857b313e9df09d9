#include "platform/io/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

TPseudoTerminal::TPseudoTerminal() {
  char name[256] = {};
  if (openpty(&controller_, &device_, name, nullptr, nullptr) != 0) {
    throw std::runtime_error("no pseudo-terminal available");
  }
  device_path_ = name;
  // A program the test starts must not hold the far end open too: it would never see
  // the line hang up.
  for (const int fd : {controller_, device_}) fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);
  termios tio{};
  tcgetattr(controller_, &tio);
  cfmakeraw(&tio);
  tcsetattr(controller_, TCSANOW, &tio);
  fcntl(controller_, F_SETFL, fcntl(controller_, F_GETFL) | O_NONBLOCK);
}

TPseudoTerminal::~TPseudoTerminal() {
  HangUp();
}

bool TPseudoTerminal::Send(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size() && controller_ >= 0) {
    const ssize_t put = ::write(controller_, bytes.data() + done, bytes.size() - done);
    if (put > 0) {
      done += std::size_t(put);
    } else {
      pollfd p{controller_, POLLOUT, 0};
      if (poll(&p, 1, 1000) <= 0) return false;
    }
  }
  return done == bytes.size();
}

bool TPseudoTerminal::Send(const std::string& text) {
  return Send(std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> TPseudoTerminal::Receive(std::size_t count, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::vector<std::uint8_t> got;
  std::uint8_t buffer[4096];
  while (got.size() < count && controller_ >= 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{controller_, POLLIN, 0};
    if (poll(&p, 1, int(left)) <= 0) break;
    const ssize_t n = ::read(controller_, buffer, sizeof buffer);
    if (n <= 0) break;
    got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

void TPseudoTerminal::HangUp() {
  if (device_ >= 0) ::close(device_);
  if (controller_ >= 0) ::close(controller_);
  device_ = controller_ = -1;
}

bool TPseudoTerminal::MarkedExclusive() const {
  const int fd = ::open(device_path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == EBUSY;
  int exclusive = 0;
  const bool asked = ioctl(fd, TIOCGEXCL, &exclusive) == 0;
  ::close(fd);
  return asked && exclusive != 0;
}
