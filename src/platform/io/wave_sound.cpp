#include "platform/io/wave_sound.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "platform/sys/application.h"

struct TWaveSound::Impl {
  QSoundEffect effect;
};

TWaveSound::TWaveSound() = default;

TWaveSound::~TWaveSound() = default;

int TWaveSound::OutputDeviceCount() const {
  return int(QMediaDevices::audioOutputs().size());
}

bool TWaveSound::Play(const std::string& FileName) {
  if (OutputDeviceCount() == 0 || !QFileInfo::exists(QString::fromLocal8Bit(FileName))) {
    return false;
  }
  if (!impl_) {
    impl_ = std::make_unique<Impl>();
    QObject::connect(&impl_->effect, &QSoundEffect::playingChanged, [this] {
      if (!impl_->effect.isPlaying() && OnNotify) Dispatch(OnNotify);
    });
  }
  impl_->effect.setSource(QUrl::fromLocalFile(QString::fromLocal8Bit(FileName)));
  impl_->effect.play();
  return true;
}

bool TWaveSound::Playing() const {
  return impl_ && impl_->effect.isPlaying();
}
