// Platform-internal: what an edit or a memo takes of the characters the user types or
// pastes, shared by both so that they refuse the same.
#pragma once

#include <QString>
#include <QStringView>

#include "platform/gui/standard/edit.h"

inline QChar Cased(QChar character, TEditCharCase charCase) {
  if (charCase == ecUpperCase) return character.toUpper();
  if (charCase == ecLowerCase) return character.toLower();
  return character;
}

// Typed turned to the case, without the characters that Allowed (when not empty) lacks.
inline QString TakenAsTyped(QStringView Typed, TEditCharCase CharCase, const QString& Allowed) {
  QString taken;
  taken.reserve(Typed.size());
  for (const QChar typed : Typed) {
    const QChar character = Cased(typed, CharCase);
    if (Allowed.isEmpty() || Allowed.contains(character)) taken += character;
  }
  return taken;
}
