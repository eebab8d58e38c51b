// The program. The game window comes first; its start-up (name, game
// type, connection, the first exchange) runs from the event loop. Once the
// first game is on, the about box, the thinking window and the high-score
// window are created and the game window is shown. The windows created here
// are the application's: they are released, in reverse order, before the
// application object, so the high-score window writes its file while Qt is
// still up. The program ends when the game window closes.
//
// "--version" (or "-v") prints the version and "--help" (or "-h") the
// options, and either ends the program before any window system is touched,
// so both also work without a display.

#include "Program.h"

#include "Facilities.h"
#include "HelpAbout.h"
#include "HighScores.h"
#include "Main.h"
#include "Resources.h"
#include "Search.h"
#include "ThinkRelay.h"
#include "Thinking.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>

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

int RunFizzgrid(int argc, char* argv[]) {
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
  QCoreApplication::setApplicationName(QStringLiteral("Fizzgrid"));
  QGuiApplication::setDesktopFileName(QStringLiteral("fizzgrid"));
  QGuiApplication::setWindowIcon(QIcon(IconResource()));
  // The start-up's dialogs come and go before the game window shows; only
  // the game window's closing ends the program.
  QGuiApplication::setQuitOnLastWindowClosed(false);

  TThinkRelay Relay;
  SetThinkProgress(&Relay);
  std::unique_ptr<TAboutBox1> About;
  std::unique_ptr<TThinkGauges> Thinking;
  std::unique_ptr<TScoreTable> Scores;
  {
    TMainForm Main;
    QObject::connect(&Main, &TMainForm::StartedUp, &Main, [&] {
      About = std::make_unique<TAboutBox1>();
      AboutBox1 = About.get();
      Thinking = std::make_unique<TThinkGauges>();
      Thinking->Follow(Relay);
      Scores = std::make_unique<TScoreTable>();
      ScoreTable = Scores.get();
    });
    QObject::connect(&Main, &TMainForm::Closed, &Application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QTimer::singleShot(0, &Main, [&Main] { Guarded([&Main] { Main.FormCreate(); }); });
    Application.exec();
  }
  ScoreTable = nullptr;
  Scores.reset();
  Thinking.reset();
  AboutBox1 = nullptr;
  About.reset();
  SetThinkProgress(nullptr);
  return 0;
}
