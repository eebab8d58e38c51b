#include "Pump.h"

#include <QCoreApplication>

void ProcessMessages() {
  QCoreApplication::processEvents();
}
