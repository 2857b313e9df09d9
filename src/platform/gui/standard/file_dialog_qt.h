// Platform-internal: what the program's file and folder choosers share.
#pragma once

#include <QFileDialog>
#include <QScreen>

#include <algorithm>

// Qt's own chooser opens so small that its name, size, type and date columns are cut;
// it gets the room of a usual desktop's chooser, within the screen.
inline void GiveFileDialogRoom(QFileDialog& Dialog) {
  constexpr int kWidth = 900;
  constexpr int kHeight = 560;
  const QScreen* screen = Dialog.screen();
  const QSize room = screen ? screen->availableGeometry().size() : QSize(kWidth, kHeight);
  Dialog.resize(std::min(kWidth, room.width()), std::min(kHeight, room.height()));
}
