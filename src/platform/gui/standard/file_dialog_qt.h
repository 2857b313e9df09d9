// Platform-internal: what the program's file and folder choosers share.
#pragma once

#include <QFileDialog>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

// Qt's own chooser opens so small, with columns so narrow, that its name, size, type and
// date are cut; it gets the room of a usual desktop's chooser, within the screen, and
// its columns take the width of what they show, the name the rest.
inline void GiveFileDialogRoom(QFileDialog& Dialog) {
  constexpr int kWidth = 900;
  constexpr int kHeight = 560;
  const QScreen* screen = Dialog.screen();
  const QSize room = screen ? screen->availableGeometry().size() : QSize(kWidth, kHeight);
  Dialog.resize(std::min(kWidth, room.width()), std::min(kHeight, room.height()));
  for (QTreeView* view : Dialog.findChildren<QTreeView*>()) {
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
}
