// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The default error report, reachable from code that must not know about
// windows.
//
// Qt's own libraries are built without exception support here, so an
// exception must never unwind through a Qt frame. Every body that Qt calls
// (a slot, an event handler, a timer callback) and that can throw runs inside
// Guarded(...), which catches std::exception and hands its message to
// ReportError.
//
// ReportError queues the message: the installed report runs from the event
// loop after the failing handler has returned. The user interface installs a
// report that shows the "Error" message box; without one, the message goes to
// qWarning. Tests install a recorder.

#include <QString>

#include <exception>
#include <functional>
#include <utility>

using TErrorReport = std::function<void(const QString& Message)>;

// Replaces the report (an empty function restores the default). Returns the
// previous one so a test can put it back.
TErrorReport SetErrorReport(TErrorReport Report);

// Queues Message for the installed report. Safe from any handler.
void ReportError(const QString& Message);

// Runs Body; an exception it raises goes to ReportError instead of into Qt.
template <typename F>
void Guarded(F&& Body) noexcept {
  try {
    std::forward<F>(Body)();
  } catch (const std::exception& E) {
    ReportError(QString::fromUtf8(E.what()));
  } catch (...) {
    ReportError(QStringLiteral("Unknown error"));
  }
}
