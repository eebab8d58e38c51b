// SPDX-License-Identifier: GPL-3.0-or-later
#include "ErrorReport.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QtDebug>

namespace {

TErrorReport& InstalledReport() {
  static TErrorReport Report;
  return Report;
}

void Deliver(const QString& Message) noexcept {
  try {
    if (InstalledReport())
      InstalledReport()(Message);
    else
      qWarning("%s", qUtf8Printable(Message));
  } catch (...) {
    qWarning("%s", qUtf8Printable(Message));
  }
}

} // namespace

TErrorReport SetErrorReport(TErrorReport Report) {
  return std::exchange(InstalledReport(), std::move(Report));
}

void ReportError(const QString& Message) {
  QCoreApplication* App = QCoreApplication::instance();
  if (!App) {
    Deliver(Message);
    return;
  }
  // Queued, so a message box never opens inside the handler that failed.
  QMetaObject::invokeMethod(
      App, [Message] { Deliver(Message); }, Qt::QueuedConnection);
}
