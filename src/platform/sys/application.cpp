#include "platform/sys/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <map>

#include "platform/gui/controls/frame_pacing.h"

TApplication* Application = nullptr;

struct TApplication::Impl {
  Impl(int& argc, char** argv) : app(argc, argv) {}
  QApplication app;
  QTranslator dialogs;  // the standard dialogs' texts in the program's language
};

TApplication::TApplication(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {
  Application = this;
  InstallFramePacing(impl_->app);
}

TApplication::~TApplication() {
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
  if (!terminated_) return;
  terminated_ = false;
  // exit() also marks the thread as quitting, so that every event loop started later
  // (a modal box's, a busy wait's) returns at once; only the start and end of the
  // application's own loop clear that mark. Run that loop once, leaving it at once.
  QTimer::singleShot(0, &impl_->app, [] { QCoreApplication::exit(0); });
  impl_->app.exec();
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

std::uint16_t RegisterWindowMessage(const std::string& Name) {
  static std::map<std::string, std::uint16_t> registered;
  auto found = registered.find(Name);
  if (found != registered.end()) return found->second;
  const auto id = static_cast<std::uint16_t>(QEvent::registerEventType());
  registered.emplace(Name, id);
  return id;
}
