// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The whole program, from the command line to the last window: what main()
// runs, on the ports of the connections to another computer. Returns the
// process's exit status.

#include "ConnectionSetUp.h"

class QCoreApplication;
class QLocale;

int RunFizzgrid(int argc, char* argv[], TPorts Ports = {});

// Installs on Application the translations for Locale: Qt's own where the
// system has them, and the game's from the program's resources. A locale
// without a translation keeps the English texts.
void InstallTranslations(QCoreApplication& Application, const QLocale& Locale);
