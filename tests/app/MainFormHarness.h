// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the game window's tests share: the scripted dialogs and boxes, a
// fresh settings store and high-score table, the start-up run to its end,
// clicks that wait for the turn, and read-outs of the window.

#include "Application.h"
#include "CommandIO.h"
#include "DialogScript.h"
#include "Facilities.h"
#include "GameController.h"
#include "HighScores.h"
#include "Main.h"
#include "Moves.h"
#include "RuntimeData.h"
#include "ScriptedMessages.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Fresh settings, a high-score file in a private folder, the scripted
// message boxes and dialogs; one per test.
struct TAppRig {
  struct TFresh {
    TFresh() { QFile::remove(SettingsLocation()); }
  } Fresh;
  QTemporaryDir Folder;
  TScriptedMessages Messages;
  TDialogScript Dialogs;

  // The high-score file of the windows the test makes.
  QString ScoreFile() const { return Folder.filePath(u"HighScores.Dat"_s); }
  // Wins and losses the game window's table records for Name, {-1, -1}
  // without an entry.
  std::pair<int, int> Record(const QString& Name) const {
    for (QWidget* Window : QApplication::topLevelWidgets())
      if (const auto* Form = qobject_cast<TMainForm*>(Window))
        if (const auto* Table = Form->findChild<TScoreTable*>(u"ScoreTable"_s))
          for (const TScoreEntry& Entry : Table->Entries())
            if (Entry.PlayerName == Name)
              return {Entry.GamesWon, Entry.GamesLost};
    return {-1, -1};
  }
  // Every message box shown: caption and text, "|" between boxes.
  QString Log() const {
    QStringList Boxes;
    for (const TMsgRecord& Box : Messages.Records())
      Boxes << CaptionOf(Box.Type) + u": "_s + Box.Text;
    return Boxes.join(u'|');
  }
};

inline QStringList Words(const char* Text) {
  return QString::fromLatin1(Text).split(u' ');
}

// A part of the window by its form name.
template <typename T = QObject>
T* Part(const QObject& Form, const char* Name) {
  T* Found = Form.findChild<T*>(QString::fromLatin1(Name));
  if (!Found)
    qFatal("the window has no %s", Name);
  return Found;
}
inline TBordGrid* Grid(const TMainForm& Form) {
  return Part<TBordGrid>(Form, "BordDisplay");
}
inline QAction* Item(const TMainForm& Form, const char* Name) {
  return Part<QAction>(Form, Name);
}
inline QString Text(const TMainForm& Form, const char* Label) {
  return Part<QLabel>(Form, Label)->text();
}
inline const TBord* Bord(TMainForm& Form) {
  return Form.Controller().Bord();
}

// Runs the phases that follow an event until the turn or the game is over,
// or the controller waits for something else than time. Replays of 0 ms
// frames take one turn of the event loop per frame; this runs it flat out.
inline bool Settle(TMainForm& Form, int Msecs = 30000) {
  const QDeadlineTimer Deadline(Msecs);
  const auto Busy = [&] {
    if (Form.Controller().Steps().Ended() < Form.Controller().Steps().Posted())
      return true;
    switch (Form.Controller().Phase()) {
    case TPhase::OwnReplay:
    case TPhase::OpponentReplay:
    case TPhase::OpponentTurn:
    case TPhase::StartingGame:
    case TPhase::Exchanging:
    case TPhase::Idle:
      return true;
    default:
      return false;
    }
  };
  while (Busy() && !Deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  return !Busy();
}

// Runs the steps the controller has queued, as the intents of a menu item
// or a key take effect from the next turn of the event loop on.
inline void Flush(TMainForm& Form) {
  const uint64_t Posted = Form.Controller().Steps().Posted();
  const QDeadlineTimer Deadline(30000);
  while (Form.Controller().Steps().Ended() < Posted && !Deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A menu item chosen, and its step run.
inline void Trigger(TMainForm& Form, const char* Name) {
  Item(Form, Name)->trigger();
  Flush(Form);
}

// A key pressed on a part of the window, and its step run.
inline void Press(TMainForm& Form, QWidget* Target, Qt::Key Key,
                  Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
  // The offscreen platform activates every window it shows, the thinking
  // window too, and none when that one hides; the window's shortcuts need it
  // active, as a desktop leaves it.
  if (!Form.isActiveWindow())
    QApplication::setActiveWindow(&Form);
  QTest::keyClick(Target, Key, Modifiers);
  Flush(Form);
}

// The start-up, to its end.
inline bool StartUp(TMainForm& Form) {
  Form.FormCreate();
  return QTest::qWaitFor([&] {
    const TPhase Phase = Form.Controller().Phase();
    return Phase != TPhase::Idle && Phase != TPhase::Connecting && Phase != TPhase::Exchanging;
  });
}

// A click on a cell, and what follows until the turn is back (without
// Wait: until the placement has begun).
inline void ClickCell(TMainForm& Form, int Row, int Col, bool Wait = true) {
  QTest::mouseClick(Grid(Form), Qt::LeftButton, Qt::NoModifier,
                    Grid(Form)->CellRect(Col, Row).center());
  Flush(Form);
  if (Wait && !Settle(Form))
    qWarning("the turn did not come back");
}

// What the window offers, one word per enabled item ("menu" for the four
// that are always on, "busy" for any cursor but the arrow); the information
// label's text, point size and "b" when bold; the score labels.
inline QString Screen(TMainForm& Form) {
  const QAction* Restart = Item(Form, "Restart1");
  const std::pair<const char*, bool> Items[] = {
      {"grid", Grid(Form)->AcceptsMoves()},
      {"start", Item(Form, "StartGameF21")->isEnabled()},
      {"dimensions", Item(Form, "Dimensions1")->isEnabled()},
      {"restart", Restart->isVisible() && Restart->isEnabled()},
      {"undo", Item(Form, "Undo1")->isEnabled()},
      {"menu", Item(Form, "HighScores1")->isEnabled() && Item(Form, "Explosions1")->isEnabled() &&
                   Item(Form, "eXit1")->isEnabled() && Item(Form, "HelpAboutItem")->isEnabled()},
      {"busy", CursorOf(Form) != TCursorKind::Arrow}};
  QStringList Words;
  for (const auto& [Word, On] : Items)
    if (On)
      Words << QString::fromLatin1(Word);
  const QFont Font = Part<QLabel>(Form, "InformationLabel")->font();
  return u"%1 | %2 @%3%4 | %5/%6"_s.arg(Words.join(u' '), Form.InformationText())
      .arg(Font.pointSize())
      .arg(Font.bold() ? u"b"_s : QString(), Text(Form, "Player1"), Text(Form, "Player2"));
}

inline QString Masses(const TBord* Board) {
  return u"%1/%2"_s.arg(Board->CountMasses()[0]).arg(Board->CountMasses()[1]);
}
