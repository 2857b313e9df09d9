#include "platform/sys/application.h"

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTimer>
#include <QTranslator>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

#include "platform/gui/controls/frame_pacing.h"
#include "platform/sys/thread.h"
#include "platform/text/qt_string_qt.h"

TApplication* Application = nullptr;

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The write end of the pipe that carries a signal to the event loop: a handler may only
// do what is safe at any instant, and write() is.
volatile std::sig_atomic_t end_signal_pipe = -1;

void NoteEndSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(end_signal_pipe, &byte, 1);
  errno = saved;
}

// The GUI library says this (on its xcb side and on its Xlib side) when the connection to
// the display breaks, and ends the process with exit() right after: the last moment at
// which the program is whole, every exit handler still to come.
constexpr char kDisplayLostWarning[] = "The X11 connection broke";

QtMessageHandler library_message_handler = nullptr;

}  // namespace

struct TApplication::Impl {
  Impl(TApplication& Owner, int& argc, char** argv) : owner(Owner), app(argc, argv) {}
  ~Impl() { ReleaseEndSignals(); }

  // Signals reach the event loop through the pipe; without a pipe they keep ending the
  // process at once.
  void CatchEndSignals() {
    if (end_signals || pipe2(pipe_ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    end_signal_pipe = pipe_ends[1];
    end_signals = std::make_unique<QSocketNotifier>(pipe_ends[0], QSocketNotifier::Read);
    QObject::connect(end_signals.get(), &QSocketNotifier::activated, [this] {
      char bytes[16];
      while (read(pipe_ends[0], bytes, sizeof bytes) > 0) {
      }
      EndSignal();
    });
    struct sigaction action = {};
    action.sa_handler = NoteEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kEndSignals) sigaction(signal, &action, nullptr);
  }
  void ReleaseEndSignals() {
    if (!end_signals) return;
    for (int signal : kEndSignals) std::signal(signal, SIG_DFL);
    end_signals.reset();
    end_signal_pipe = -1;
    close(pipe_ends[0]);
    close(pipe_ends[1]);
  }
  // Signals that came together, before the loop could take the first, are one request:
  // a logout may send SIGHUP and SIGTERM at once.
  void EndSignal() {
    if (owner.ending_) {
      EndNow(0);
      return;
    }
    RequestEnd();
  }
  // The loop is left however the end comes, so it is no request again.
  void AboutToQuit() {
    if (!owner.ending_) RequestEnd();
  }
  void RequestEnd() {
    owner.ending_ = true;
    if (end_request) Dispatch(end_request);
  }
  // Asked twice, or the display gone: whoever asks will not wait for the close to finish.
  void EndNow(int ExitCode) {
    RunLastSaves();
    std::fflush(nullptr);
    _exit(ExitCode);
  }
  // No call of a worker runs any more (none would come back, and a worker must not wait
  // for it), and no event is taken: an event of the broken display would end the process
  // with the saves half made.
  void RunLastSaves() {
    if (!last_saves || last_saves_running) return;
    last_saves_running = true;
    owner.ending_ = true;
    TThread::ReleaseSynchronize();
    Dispatch(last_saves);
  }

  // The process ends here rather than in the GUI library's exit(): its exit handlers would
  // free what the program's threads may still use, and a worker waiting for the GUI
  // thread would hold the end up for good.
  static void NoteLibraryMessage(QtMsgType Type, const QMessageLogContext& Context,
                                 const QString& Text) {
    if (library_message_handler) library_message_handler(Type, Context, Text);
    if (!Text.startsWith(QLatin1String(kDisplayLostWarning))) return;
    if (!Application || std::this_thread::get_id() != Application->impl_->gui_thread) return;
    Application->impl_->EndNow(1);
  }

  TApplication& owner;
  QApplication app;
  QTranslator dialogs;  // the standard dialogs' texts in the program's language
  std::function<void()> end_request;
  std::function<void()> last_saves;
  bool last_saves_running = false;
  const std::thread::id gui_thread = std::this_thread::get_id();
  QMetaObject::Connection quitting;
  int pipe_ends[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> end_signals;
};

// The last saves run from inside the event loop, where the program's objects are still
// whole. A normal end finds no application here; another thread's exit() must not touch
// what the GUI thread owns.
void TApplication::LastSavesAtExit() {
  if (!Application || std::this_thread::get_id() != Application->impl_->gui_thread) return;
  Application->impl_->RunLastSaves();
}

void TApplication::EndProcessWithin(int Seconds, int ExitCode) {
  std::thread([Seconds, ExitCode] {
    std::this_thread::sleep_for(std::chrono::seconds(Seconds));
    _exit(ExitCode);
  }).detach();
}

TApplication::TApplication(int& argc, char** argv)
    : impl_(std::make_unique<Impl>(*this, argc, argv)) {
  Application = this;
  InstallFramePacing(impl_->app);
  library_message_handler = qInstallMessageHandler(Impl::NoteLibraryMessage);
  // After the GUI library's start, so it runs before the library's own clean-up.
  [[maybe_unused]] static const bool registered = std::atexit(LastSavesAtExit) == 0;
}

TApplication::~TApplication() {
  qInstallMessageHandler(library_message_handler);
  if (Application == this) Application = nullptr;
}

std::string TApplication::ExeName() const {
  return QCoreApplication::applicationFilePath().toStdString();
}

std::string TApplication::ExeFolder() const {
  return QCoreApplication::applicationDirPath().toStdString() + "/";
}

void TApplication::SetLanguage(const std::string& Code) {
  const QString code = QString::fromStdString(Code);
  QLocale::setDefault(code.isEmpty() ? QLocale::system() : QLocale(code));
  QCoreApplication::removeTranslator(&impl_->dialogs);
  if (code.isEmpty()) return;
  if (impl_->dialogs.load("qtbase_" + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&impl_->dialogs);
}

void TApplication::Run() {
  if (!terminated_) impl_->app.exec();
}

void TApplication::ProcessMessages() {
  if (impl_->last_saves_running) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::Terminate() {
  terminated_ = true;
  // Not quit(): that first asks every window to close and is refused by any that stays
  // open (our windows hide themselves instead of closing), so the process would run on
  // with nothing on the screen. exit() leaves every running loop, modal ones included.
  QCoreApplication::exit(0);
}

void TApplication::ClearTerminated() {
  ending_ = false;
  if (!terminated_) return;
  terminated_ = false;
  // exit() also marks the thread as quitting, so that every event loop started later
  // (a modal box's, a busy wait's) returns at once; only the start and end of the
  // application's own loop clear that mark. Run that loop once, leaving it at once.
  QTimer::singleShot(0, &impl_->app, [] { QCoreApplication::exit(0); });
  impl_->app.exec();
}

void TApplication::SetEndRequestHandler(std::function<void()> Handler) {
  impl_->end_request = std::move(Handler);
  QObject::disconnect(impl_->quitting);
  if (!impl_->end_request) {
    impl_->ReleaseEndSignals();
    return;
  }
  impl_->CatchEndSignals();
  // A session that ends quits the application: what the program does on its way out
  // runs before the loop is left for good.
  impl_->quitting = QObject::connect(&impl_->app, &QCoreApplication::aboutToQuit,
                                     [this] { impl_->AboutToQuit(); });
}

void TApplication::SetLastSavesHandler(std::function<void()> Handler) {
  impl_->last_saves = std::move(Handler);
}

void TApplication::HandleException(const std::exception& error) {
  if (OnException) {
    OnException(error);
  } else {
    std::fprintf(stderr, "Velmora: %s\n", error.what());
  }
}

void Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    if (Application) {
      Application->HandleException(error);
    } else {
      std::fprintf(stderr, "Velmora: %s\n", error.what());
    }
  }
}

void LogMessage(const std::string& Text) {
  QByteArray line = ToQString(Text, TTextBytes::Sent).toUtf8();
  for (char& c : line)
    if (static_cast<unsigned char>(c) < ' ' || c == 0x7F) c = ' ';
  std::fprintf(stderr, "Velmora: %s\n", line.constData());
  std::fflush(stderr);
}

std::uint16_t RegisterWindowMessage(const std::string& Name) {
  static std::map<std::string, std::uint16_t> registered;
  auto found = registered.find(Name);
  if (found != registered.end()) return found->second;
  const auto id = static_cast<std::uint16_t>(QEvent::registerEventType());
  registered.emplace(Name, id);
  return id;
}
