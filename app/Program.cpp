// The program. The game window comes first; its start-up (name, game
// type, connection, the first exchange) runs from the event loop. The game
// window owns every other window and releases them before the application
// object goes, so the high-score window writes its file while Qt is still
// up. The program ends when the game window closes.
//
// "--version" (or "-v") prints the version and ends the program before any
// window system is touched, so it also works without a display.

#include "Program.h"

#include "Application.h"
#include "Facilities.h"
#include "Main.h"
#include "Resources.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// Qt's own options ("-platform offscreen", "-reverse") pass through
// unrecognised, as every other argument does.
bool VersionRequested(int argc, char* argv[]) {
  QStringList Arguments;
  for (int I = 0; I < argc; ++I)
    Arguments << QString::fromLocal8Bit(argv[I]);
  QCommandLineParser Parser;
  Parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption Version = Parser.addVersionOption();
  Parser.parse(Arguments);
  return Parser.isSet(Version);
}

} // namespace

int RunFizzgrid(int argc, char* argv[], TPorts Ports) {
  if (VersionRequested(argc, argv)) {
    std::printf("fizzgrid %s\n", FizzgridVersion);
    return 0;
  }
  TApplication Application(argc, argv);
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
