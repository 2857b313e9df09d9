// Platform-internal: windows repaint at most once per display frame.
#pragma once

class QObject;

// Installs the pacing on the application object (once, when it is made).
void InstallFramePacing(QObject& Application);

// While one lives, repaints happen at once (Repaint: a paint asked for now).
class TPaintNow {
 public:
  TPaintNow();
  ~TPaintNow();
  TPaintNow(const TPaintNow&) = delete;
  TPaintNow& operator=(const TPaintNow&) = delete;
};
