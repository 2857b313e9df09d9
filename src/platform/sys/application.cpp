#include "platform/sys/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>

#include "platform/gui/frame_pacing.h"

TApplication* Application = nullptr;

struct TApplication::Impl {
  Impl(int& argc, char** argv) : app(argc, argv) {}
  QApplication app;
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

void TApplication::Run() {
  if (!terminated_) impl_->app.exec();
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TApplication::Terminate() {
  terminated_ = true;
  QCoreApplication::quit();
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
