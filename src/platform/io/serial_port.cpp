#include "platform/io/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <sstream>

#include "platform/sys/files.h"

namespace {

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;
// The ports table names a few devices; nothing longer is one.
constexpr size_t kMaxPortsFileBytes = 64 * 1024;

bool BaudConstant(unsigned baud, speed_t& speed) {
  switch (baud) {
    case 300:
      speed = B300;
      return true;
    case 600:
      speed = B600;
      return true;
    case 1200:
      speed = B1200;
      return true;
    case 2400:
      speed = B2400;
      return true;
    case 4800:
      speed = B4800;
      return true;
    case 9600:
      speed = B9600;
      return true;
    case 19200:
      speed = B19200;
      return true;
    case 38400:
      speed = B38400;
      return true;
    case 57600:
      speed = B57600;
      return true;
    case 115200:
      speed = B115200;
      return true;
    case 230400:
      speed = B230400;
      return true;
    default:
      return false;
  }
}

bool SetModemLine(int fd, int line, bool on) {
  if (fd < 0) return false;
  return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

}  // namespace

struct TSerialPort::Impl {
  std::atomic<int> fd{-1};
  int wakeRead = -1;  // a byte written to wakeWrite ends any WaitForData
  int wakeWrite = -1;
  std::mutex closing;

  Impl() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
      wakeRead = fds[0];
      wakeWrite = fds[1];
    }
  }
  ~Impl() {
    if (wakeRead >= 0) ::close(wakeRead);
    if (wakeWrite >= 0) ::close(wakeWrite);
  }
  void DrainWake() {
    char sink[16];
    while (::read(wakeRead, sink, sizeof sink) > 0) {
    }
  }
};

TSerialPort::TSerialPort() : impl_(std::make_unique<Impl>()) {}

TSerialPort::~TSerialPort() {
  Close();
}

std::string TSerialPort::DevicePath(int portNumber) {
  const std::string key = "COM" + std::to_string(portNumber) + "=";
  // Read on the GUI thread: a pipe, a device or a huge file named "ports" must neither
  // block nor be read without end.
  const std::optional<std::string> table =
      ReadSmallFile(ConfigFolder() + "ports", kMaxPortsFileBytes);
  std::istringstream lines(table.value_or(std::string()));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, key.size(), key) == 0 && line.size() > key.size()) {
      return line.substr(key.size());
    }
  }
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

TSerialOpenResult TSerialPort::Open(int portNumber, unsigned baud, TSerialFlow flow) {
  return OpenDevice(DevicePath(portNumber), baud, flow);
}

TSerialOpenResult TSerialPort::OpenDevice(const std::string& path, unsigned baud,
                                          TSerialFlow flow) {
  Close();
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return TSerialOpenResult::CannotOpen;
  // Exclusive use, like a COM port: a second program (or instance) gets "in use". The
  // lock goes with the descriptor, so it never outlives us, not even a kill; the tty's
  // own exclusive mark would stay on a pseudo-terminal whose far end is still open (a
  // software TNC) and refuse every later open but root's.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return TSerialOpenResult::CannotOpen;
  }
  termios tio{};
  if (!isatty(fd) || tcgetattr(fd, &tio) != 0) {
    ::close(fd);
    return TSerialOpenResult::SetupFailed;
  }
  speed_t speed;
  if (!BaudConstant(baud, speed)) {
    ::close(fd);
    return TSerialOpenResult::SettingsFailed;
  }
  cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  if (flow == TSerialFlow::XonXoff) {
    tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VSTART] = kXon;
    tio.c_cc[VSTOP] = kXoff;
  } else if (flow == TSerialFlow::RtsCts) {
    tio.c_cflag |= CRTSCTS;
  }
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0 ||
      tcsetattr(fd, TCSANOW, &tio) != 0) {
    ::close(fd);
    return TSerialOpenResult::SettingsFailed;
  }
  if (flow == TSerialFlow::RtsCts) SetModemLine(fd, TIOCM_RTS, true);
  impl_->DrainWake();
  impl_->fd = fd;
  return TSerialOpenResult::Ok;
}

void TSerialPort::Close() {
  std::lock_guard lock(impl_->closing);
  const int fd = impl_->fd.exchange(-1);
  if (fd < 0) return;
  CancelWait();
  tcflush(fd, TCIOFLUSH);
  ::close(fd);
}

void TSerialPort::CancelWait() {
  const char wake = 1;
  [[maybe_unused]] auto ignored = ::write(impl_->wakeWrite, &wake, 1);
}

bool TSerialPort::IsOpen() const {
  return impl_->fd >= 0;
}

bool TSerialPort::SetDtr(bool on) {
  return SetModemLine(impl_->fd, TIOCM_DTR, on);
}

bool TSerialPort::SetRts(bool on) {
  return SetModemLine(impl_->fd, TIOCM_RTS, on);
}

int TSerialPort::BytesWaiting() const {
  int waiting = 0;
  if (impl_->fd < 0 || ioctl(impl_->fd, FIONREAD, &waiting) != 0) return 0;
  return waiting;
}

std::size_t TSerialPort::Read(std::uint8_t* buffer, std::size_t count, int timeoutMs) {
  if (count == 0 || WaitForData(timeoutMs) != TSerialWait::DataReady) return 0;
  const ssize_t got = ::read(impl_->fd, buffer, count);
  return got > 0 ? std::size_t(got) : 0;
}

bool TSerialPort::Write(const std::uint8_t* data, std::size_t size, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::size_t done = 0;
  while (done < size) {
    const int fd = impl_->fd;
    if (fd < 0) return false;
    const ssize_t put = ::write(fd, data + done, size - done);
    if (put > 0) {
      done += std::size_t(put);
      continue;
    }
    if (put < 0 && errno != EAGAIN && errno != EINTR) return false;
    int wait = -1;
    if (timeoutMs >= 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      wait = int(left);
    }
    pollfd p[2] = {{fd, POLLOUT, 0}, {impl_->wakeRead, POLLIN, 0}};
    poll(p, 2, wait);
    if (p[1].revents & POLLIN) return false;
  }
  return true;
}

void TSerialPort::PurgeInput() {
  if (impl_->fd >= 0) tcflush(impl_->fd, TCIFLUSH);
}

void TSerialPort::PurgeOutput() {
  if (impl_->fd >= 0) tcflush(impl_->fd, TCOFLUSH);
}

TSerialWait TSerialPort::WaitForData(int timeoutMs) {
  const int fd = impl_->fd;
  if (fd < 0) return TSerialWait::Closed;
  pollfd p[2] = {{fd, POLLIN, 0}, {impl_->wakeRead, POLLIN, 0}};
  const int ready = poll(p, 2, timeoutMs);
  if (impl_->fd < 0 || (p[1].revents & POLLIN)) return TSerialWait::Closed;
  if (ready < 0) return errno == EINTR ? TSerialWait::Timeout : TSerialWait::Failed;
  if (ready == 0) return TSerialWait::Timeout;
  // A device that went away (POLLHUP, POLLERR) may still have bytes to hand out first.
  const bool gone = p[0].revents & (POLLHUP | POLLERR | POLLNVAL);
  if (gone && BytesWaiting() == 0) return TSerialWait::Failed;
  return TSerialWait::DataReady;
}
