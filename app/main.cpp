// The program entry: the game window first (its creation runs the whole
// set-up with its dialogs), then the about box, the thinking window and the
// high-score window, the slave's wait for the master's first move, and the
// message loop. The windows created here are the application's: they are
// released, in reverse order, before the application object, so the
// high-score window writes its file while Qt is still up.
//
// "--version" (or "-v") prints the version and ends the program before any
// window system is touched, so it also works without a display.

#include "Main.h"
#include "Facilities.h"
#include "HelpAbout.h"
#include "HighScores.h"
#include "MessageDlg.h"
#include "Resources.h"
#include "RuntimeData.h"
#include "Search.h"
#include "Thinking.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>
#include <exception>
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

int main(int argc, char* argv[]) {
  if (VersionRequested(argc, argv)) {
    std::printf("fizzgrid %s\n", FizzgridVersion);
    return 0;
  }
  TApplication Application(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Fizzgrid"));
  QGuiApplication::setDesktopFileName(QStringLiteral("fizzgrid"));
  QGuiApplication::setWindowIcon(QIcon(IconResource()));

  std::unique_ptr<TMainForm> Main;
  try {
    Main = std::make_unique<TMainForm>();
  } catch (const std::exception& E) {
    MessageDlg(QString::fromUtf8(E.what()), TMsgType::Error, TMsgButton::OK);
    return 1;
  }
  Main->show();

  auto About = std::make_unique<TAboutBox1>();
  AboutBox1 = About.get();
  auto Thinking = std::make_unique<TThinkGauges>();
  SetThinkProgress(Thinking.get());
  auto Scores = std::make_unique<TScoreTable>();
  ScoreTable = Scores.get();

  ProcessMessages();
  int Result = 0;
  Guarded([&] {
    if (RelationLastGame == 2 && ConnectionLastGame == 1)
      Main->WaitForFirstMove();
  });
  // A window closed before the loop starts (the partner left during the
  // first wait) has already ended the program.
  if (!Main->Closing())
    Result = Application.exec();

  ScoreTable = nullptr;
  Scores.reset();
  SetThinkProgress(nullptr);
  Thinking.reset();
  AboutBox1 = nullptr;
  About.reset();
  Main.reset();
  return Result;
}
