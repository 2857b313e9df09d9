// A sound server of the test's own whose one output is a null sink: the real audio
// output, heard by nobody. Where none can be started, Missing says why.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "platform/sys/child_process.h"

class TNullSinkServer {
 public:
  static constexpr int kPatienceMs = 60000;

  // Starts the server and waits until it answers. Its socket and state are in a folder of
  // its own under /tmp: a socket's path is short, and a test's temporary folder is not.
  TNullSinkServer() {
    std::random_device random;
    folder_ = std::filesystem::path("/tmp") / ("velmora-sound-" + std::to_string(random()));
    if (!ProgramAvailable("pulseaudio") || !ProgramAvailable("pactl")) {
      missing_ = "no sound server here: pulseaudio and pactl are not installed";
      return;
    }
    std::filesystem::create_directories(folder_ / "runtime");
    std::filesystem::permissions(folder_ / "runtime", std::filesystem::perms::owner_all);
    socket_ = (folder_ / "runtime" / "server").string();
    address_ = "unix:" + socket_;
    env_ = "HOME='" + folder_.string() + "' XDG_RUNTIME_DIR='" + (folder_ / "runtime").string() +
           "' PULSE_SERVER='" + address_ + "' ";
    Start();
  }

  // Ends the server, as a crash or a restart does: its clients lose their connection.
  void Stop() { server_.reset(); }

  // Starts it (again) at the same address and waits until it answers; false, and Missing
  // says why, when it does not.
  bool Start() {
    server_ = std::make_unique<TChildProcess>(
        env_ +
            "exec pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no "
            "-L module-null-sink -L 'module-native-protocol-unix auth-anonymous=1 socket=" +
            socket_ + "'",
        (folder_ / "server.txt").string());
    for (int waited = 0; !Answers(); waited += 100) {
      if (waited >= kPatienceMs) {
        std::ifstream log(folder_ / "server.txt");
        missing_ = "no sound server could be started here: " +
                   std::string(std::istreambuf_iterator<char>(log), {});
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
  }

  ~TNullSinkServer() {
    server_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TNullSinkServer(const TNullSinkServer&) = delete;
  TNullSinkServer& operator=(const TNullSinkServer&) = delete;

  const std::string& Missing() const { return missing_; }
  // What a client is started with to use this server: "HOME='...' ... PULSE_SERVER='...' ".
  const std::string& Env() const { return env_; }
  // The server's address, for PULSE_SERVER.
  const std::string& Address() const { return address_; }

 private:
  bool Answers() const {
    int status = -1;
    RunAndCapture(env_ + "pactl info > /dev/null 2>&1", &status);
    return status == 0;
  }

  std::filesystem::path folder_;
  std::string missing_;
  std::string env_;
  std::string socket_;
  std::string address_;
  std::unique_ptr<TChildProcess> server_;
};
