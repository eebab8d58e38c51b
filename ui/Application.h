// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: it installs the report that shows errors in an
// "Error" box for its lifetime, and its notify catches what a handler let
// escape, as the last safety net only.

#include <QApplication>

class TApplication : public QApplication {
  Q_OBJECT
public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  bool notify(QObject* receiver, QEvent* event) override;
};

// Installs (or, with false, removes) the report that shows an "Error" box
// through MessageDlg. TApplication does this for its lifetime.
void InstallErrorReport(bool On = true);
