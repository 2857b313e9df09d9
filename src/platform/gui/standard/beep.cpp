#include "platform/gui/standard/beep.h"

#include <QApplication>

void Beep() {
  QApplication::beep();
}
