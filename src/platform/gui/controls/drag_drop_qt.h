// Platform-internal: drags over Qt.
#pragma once

#include <functional>
#include <memory>

#include <QDrag>
#include <QEvent>
#include <QString>

#include "platform/gui/controls/drag_drop.h"

class QMimeData;

// The MIME type a format travels as: MIME types as they are, the program's own names
// wrapped, as the clipboard does, so that other programs of ours find them by name.
QString MimeTypeOfFormat(const std::string& Format);
// The format a MIME type stands for.
std::string FormatOfMimeType(const QString& MimeType);

// The effects a control's drag handling knows of, and Qt's actions.
Qt::DropActions ActionsOf(TDropEffects Effects);
TDropEffects EffectsOf(Qt::DropActions Actions);

// Hands a drag event of Control's widget to its drop target; true when it was one.
bool DeliverDragEvent(TWinControl& Control, QEvent& Event);

// What runs a drag once it is set up: by default the window system's own loop
// (QDrag::exec). Tests put in a loop that sends the events a user's moves would.
using TDragLoop = std::function<Qt::DropAction(QDrag& Drag, Qt::DropActions Allowed)>;
// An empty loop restores the window system's.
void SetDragLoop(TDragLoop Loop);

// What a control's widget keeps while it is a drop target.
struct TDropState {
  TDropTarget* target = nullptr;
  // The data of the drag now over the control.
  std::shared_ptr<const TDataObject> data;
  // Qt follows every enter with a move to the same point at once; that move only
  // repeats the enter's answer.
  bool enter_echo = false;
  // The effect last answered: a drop after a refusal is only a leave.
  TDropEffects answer = deNone;
};
