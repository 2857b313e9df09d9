#include "platform/gui/beep.h"

#include <QApplication>

void Beep() {
  QApplication::beep();
}
