// SPDX-License-Identifier: GPL-3.0-or-later
// The program. The game window comes first; its start-up (name, game
// type, connection, the first exchange) runs from the event loop. The game
// window owns every other window and releases them before the application
// object goes, so the high-score window writes its file while Qt is still
// up. The program ends when the game window closes.
//
// "--version" (or "-v") prints the version and "--help" (or "-h") the
// options, and either ends the program before any window system is touched,
// so both also work without a display.

#include "Program.h"

#include "Application.h"
#include "Facilities.h"
#include "Main.h"
#include "Resources.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

// Printed before Qt is set up, so before any translation could be loaded.
// The manual page fizzgrid(6) describes the same options.
constexpr char HelpText[] =
    "Usage: fizzgrid [OPTION]... [QT-OPTION]...\n"
    "A two-player critical mass board game, against the computer or a\n"
    "friend on the network.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n"
    "\n"
    "Qt's own options pass through to Qt, for example \"-platform offscreen\",\n"
    "\"-reverse\" or \"-style fusion\". Other arguments are ignored.\n";

enum class TCommandLine { Play, Help, Version };

// Qt's own options ("-platform offscreen", "-reverse") pass through
// unrecognised, as every other argument does.
TCommandLine ReadCommandLine(int argc, char* argv[]) {
  QStringList Arguments;
  for (int I = 0; I < argc; ++I)
    Arguments << QString::fromLocal8Bit(argv[I]);
  QCommandLineParser Parser;
  Parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption Help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  Parser.addOption(Help);
  const QCommandLineOption Version = Parser.addVersionOption();
  Parser.parse(Arguments);
  if (Parser.isSet(Help))
    return TCommandLine::Help;
  return Parser.isSet(Version) ? TCommandLine::Version : TCommandLine::Play;
}

} // namespace

void InstallTranslations(QCoreApplication& Application, const QLocale& Locale) {
  // Qt's own texts (the standard buttons, the line edit's context menu) come
  // from the translations Debian installs beside Qt, when there are any.
  auto* QtTexts = new QTranslator(&Application);
  if (QtTexts->load(Locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(QtTexts);
  else
    delete QtTexts;
  // Ours are built into the program. English needs none: the texts in the
  // code are the English ones.
  auto* GameTexts = new QTranslator(&Application);
  if (GameTexts->load(Locale, QStringLiteral("fizzgrid"), QStringLiteral("_"),
                      QStringLiteral(":/i18n")))
    QCoreApplication::installTranslator(GameTexts);
  else
    delete GameTexts;
}

int RunFizzgrid(int argc, char* argv[], TPorts Ports) {
  switch (ReadCommandLine(argc, argv)) {
  case TCommandLine::Help:
    std::fputs(HelpText, stdout);
    return 0;
  case TCommandLine::Version:
    std::printf("fizzgrid %s\n", FizzgridVersion);
    return 0;
  case TCommandLine::Play:
    break;
  }
  TApplication Application(argc, argv);
  InstallTranslations(Application, QLocale::system());
  QCoreApplication::setApplicationName(QStringLiteral("Fizzgrid"));
  QGuiApplication::setDesktopFileName(QStringLiteral("fizzgrid"));
  QGuiApplication::setWindowIcon(QIcon(IconResource()));
  // The start-up's dialogs come and go before the game window shows; only
  // the game window's closing ends the program.
  QGuiApplication::setQuitOnLastWindowClosed(false);

  {
    TMainForm Main(Ports);
    QObject::connect(&Main, &TMainForm::Closed, &Application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QTimer::singleShot(0, &Main, [&Main] { Guarded([&Main] { Main.FormCreate(); }); });
    Application.exec();
  }
  return 0;
}
