// SPDX-License-Identifier: GPL-3.0-or-later
#include "Application.h"

#include "Facilities.h"
#include "MessageDlg.h"

#include <QCoreApplication>

#include <cstdio>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  InstallErrorReport(true);
}

TApplication::~TApplication() {
  InstallErrorReport(false);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  // Only reached by a handler that forgot its guard; the frames between
  // here and the handler are Qt's and are not unwound cleanly.
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& E) {
    ReportException(E);
  } catch (...) {
    ReportError(QCoreApplication::translate("TApplication", "Unknown error"));
  }
  return false;
}

void InstallErrorReport(bool On) {
  if (!On) {
    SetErrorReport(TErrorReport());
    return;
  }
  // ReportError queues, so this runs from the event loop after the failing
  // handler has returned.
  SetErrorReport([](const QString& Message) {
    // Not Guarded: a failing report must not report itself again.
    try {
      MessageDlg(Message, TMsgType::Error, TMsgButton::OK);
    } catch (...) {
      std::fprintf(stderr, "Error: %s\n", Message.toLocal8Bit().constData());
    }
  });
}
