// SPDX-License-Identifier: GPL-3.0-or-later
// The game window against the computer at Standard on crowded 8 x 8 boards,
// with the explosions off (so that the time is the answer's, not a
// cascade's): for each board, the time from a mouse click on a cell to the
// computer's reply painted on the board, next to the search's own time for
// the same position (LevelMove alone, the median of three runs), how long
// the thinking window was up, and the longest time the event loop could not
// serve a 1 ms timer while the computer thought. Then one long cascade at
// the real pace: the longest such gap while it is shown.
//
//   tests/app/with-desktop.sh build/bench/bench_flow [positions-per-size]
//
// On a real X server (as above) the window's mapping and painting costs
// count; the offscreen platform hides them. It uses a settings folder of its
// own, so the user's settings stay as they are.
#include "Application.h"
#include "CrowdedPositions.h"
#include "EnterPlayer.h"
#include "EntryFields.h"
#include "Facilities.h"
#include "GameTypeDialog.h"
#include "Levels.h"
#include "LoopGaps.h"
#include "Main.h"
#include "MessageDlg.h"
#include "RuntimeData.h"
#include "Search.h"
#include "SearchControl.h"
#include "SizeDialog.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Random play until the user is to move with Empty empty cells, and a first
// legal move of the user's after which the computer still plays.
bool Reached(TBord& Board, int Empty, uint64_t Seed, TMove& Click) {
  TRandom Random(Seed);
  for (int Attempt = 0; Attempt < 1000; ++Attempt) {
    Board.Reset();
    uint8_t Player = LocalPlayer;
    while (!Board.Finished && Board.CanMove(Player)) {
      const TMoveList Moves = Board.GenerateMoves(Player);
      if (Player == LocalPlayer && Board.EmptyCount() <= Empty) {
        for (const TMove& Move : Moves) {
          const auto After = TBord::CreateCopy(Board);
          After->GetCell(Move.Row, Move.Col)->AddMass(LocalPlayer, false);
          if (!After->Finished && After->CanMove(Opponent) && After->CanMove(LocalPlayer)) {
            Click = Move;
            return true;
          }
        }
        break;
      }
      const TMove Move = Moves[static_cast<std::size_t>(Random.Below(int(Moves.size())))];
      Board.GetCell(Move.Row, Move.Col)->AddMass(Player, false);
      Player = static_cast<uint8_t>(1 - Player);
    }
  }
  return false;
}

// Runs the event loop until Done holds.
void RunUntil(const std::function<bool()>& Done) {
  while (!Done())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Notes when the board paints the computer's reply: its cell, once the
// controller has taken the click (the step numbered Click) and the move.
struct TReplyPaint : QObject {
  const TGameController& Game;
  QRect Cell;
  uint64_t Click = UINT64_MAX;
  bool Painted = false;
  int Count = 0;
  explicit TReplyPaint(const TGameController& AGame) : Game(AGame) {}
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() != QEvent::Paint)
      return false;
    ++Count;
    const TPhase Phase = Game.Phase();
    if (Game.Steps().Ended() >= Click && Phase != TPhase::OwnReplay &&
        Phase != TPhase::OpponentTurn && static_cast<QPaintEvent*>(Event)->rect().intersects(Cell))
      Painted = true;
    return false;
  }
};

// When the thinking window was shown and hidden (ns on Clock).
struct TThinkingShown : QObject {
  const QElapsedTimer& Clock;
  qint64 Shown = -1, Hidden = -1;
  explicit TThinkingShown(const QElapsedTimer& AClock) : Clock(AClock) {}
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::Show)
      Shown = Clock.nsecsElapsed();
    else if (Event->type() == QEvent::Hide)
      Hidden = Clock.nsecsElapsed();
    return false;
  }
};

double Median(std::vector<double> Values) {
  if (Values.empty())
    return 0;
  std::sort(Values.begin(), Values.end());
  const std::size_t Half = Values.size() / 2;
  return Values.size() % 2 ? Values[Half] : (Values[Half - 1] + Values[Half]) / 2;
}

// A left click as the window system delivers it, at Point of Widget.
void Click(QWidget& Widget, QPoint Point) {
  const QPointF Local(Point);
  const QPointF Global(Widget.mapToGlobal(Point));
  QMouseEvent Press(QEvent::MouseButtonPress, Local, Global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&Widget, &Press);
  QMouseEvent Release(QEvent::MouseButtonRelease, Local, Global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(&Widget, &Release);
}

} // namespace

int main(int argc, char** argv) {
  const int PerSize = argc > 1 ? std::max(1, std::atoi(argv[1])) : 6;
  // Each line as it is measured, also into a pipe.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  // A settings folder of its own.
  QTemporaryDir Config;
  qputenv("XDG_CONFIG_HOME", Config.path().toLocal8Bit());
  TApplication App(argc, argv);
  SetModalRunner([](QDialog& Dialog) {
    Dialog.show();
    if (auto* Names = qobject_cast<TEnterNameDialog*>(&Dialog))
      Names->OKBtn->click();
    else if (auto* Types = qobject_cast<TGameTypeSelection*>(&Dialog))
      Types->LocalGame->click(), Types->OKBtn->click();
    else if (auto* Size = qobject_cast<TSizeDlg*>(&Dialog))
      Size->EditNumRows->SetValue(8), Size->EditNumCols->SetValue(8), Size->OKBtn->click();
    return Dialog.result();
  });
  SetMessageHandler([](const QString&, TMsgType, TMsgButtons Buttons) {
    return Buttons & TMsgButton::Yes ? TMsgButton::Yes : TMsgButton::OK;
  });

  TMainForm Form({}, Config.filePath(QStringLiteral("HighScores.Dat")));
  TGameController& Game = Form.Controller();
  Form.FormCreate();
  RunUntil([&] { return Game.Phase() == TPhase::OwnTurn; });
  Game.SetAnimationSpeed(TAnimationSpeed::Off);
  Game.SetComputerLevel(TComputerLevel::Standard);
  Game.SetVaryPlay(false);
  auto* Grid = Form.findChild<TBordGrid*>(QStringLiteral("BordDisplay"));
  TReplyPaint Paints(Game);
  Grid->installEventFilter(&Paints);
  QElapsedTimer Clock;
  Clock.start();
  TThinkingShown Thinking(Clock);
  if (auto* Gauges = Form.findChild<QWidget*>(QStringLiteral("ThinkGauges")))
    Gauges->installEventFilter(&Thinking);

  std::printf("%-30s %10s %10s %10s %10s %12s\n", "position", "search ms", "drawn ms", "added ms",
              "thinking", "longest gap");
  std::vector<double> Added, ThinkingUp;
  double WorstGap = 0;
  for (int Empty = 0; Empty <= 5; ++Empty)
    for (int Seed = 1; Seed <= PerSize; ++Seed) {
      TBord& Board = const_cast<TBord&>(*Game.Bord());
      TMove Move;
      if (!Reached(Board, Empty, uint64_t(Seed * 100 + Empty), Move))
        continue;
      Game.Replay().ShowBoard(Board);
      // The search alone, on the board the computer will see.
      const auto Probe = TBord::CreateCopy(Board);
      Probe->GetCell(Move.Row, Move.Col)->AddMass(LocalPlayer, false);
      std::vector<double> Runs;
      TMove Reply;
      for (int Run = 0; Run < 3; ++Run) {
        const auto Copy = TBord::CreateCopy(*Probe);
        TSearchControl Silent;
        const qint64 Started = Clock.nsecsElapsed();
        Reply = LevelMove(*Copy, TComputerLevel::Standard, Silent, NoVariety);
        Runs.push_back(double(Clock.nsecsElapsed() - Started) / 1e6);
      }
      const double Search = Median(Runs);
      // The board shown and the window idle before the click.
      Paints.Count = 0;
      RunUntil([&] { return Paints.Count > 0 || !Grid->isVisible(); });
      QCoreApplication::processEvents();
      // The same through the window: the click, the worker's search, the
      // reply placed and its cell painted.
      Paints.Cell = Grid->CellRect(Reply.Col, Reply.Row);
      Paints.Painted = false;
      Paints.Click = UINT64_MAX;
      Thinking.Shown = Thinking.Hidden = -1;
      TLoopGaps Ticker;
      const qint64 Clicked = Clock.nsecsElapsed();
      Click(*Grid, Grid->CellRect(Move.Col, Move.Row).center());
      Paints.Click = Game.Steps().Posted();
      RunUntil([&] { return Paints.Painted; });
      const double Drawn = double(Clock.nsecsElapsed() - Clicked) / 1e6;
      const double Gap = double(Ticker.Longest) / 1e6;
      RunUntil([&] { return Thinking.Hidden >= 0 || Thinking.Shown < 0; });
      const double Up = Thinking.Shown >= 0 ? double(Thinking.Hidden - Thinking.Shown) / 1e6 : 0.0;
      std::printf("crowded 8x8, %d empty, seed %-3d %10.3f %10.3f %10.3f %10.3f %10.3f ms\n", Empty,
                  Seed, Search, Drawn, Drawn - Search, Up, Gap);
      Added.push_back(Drawn - Search);
      ThinkingUp.push_back(Up);
      WorstGap = std::max(WorstGap, Gap);
      if (Game.Phase() != TPhase::OwnTurn)
        RunUntil([&] { return Game.Phase() == TPhase::BetweenGames; }), Game.StartGame();
      RunUntil([&] { return Game.Phase() == TPhase::OwnTurn; });
    }
  std::printf("\nat Standard, %zu replies: click to drawn minus the search's own time, median "
              "%.3f ms (%.3f to %.3f); the thinking window up for a median of %.3f ms; longest "
              "event-loop gap while the computer thought: %.3f ms\n",
              Added.size(), Median(Added),
              Added.empty() ? 0.0 : *std::min_element(Added.begin(), Added.end()),
              Added.empty() ? 0.0 : *std::max_element(Added.begin(), Added.end()),
              Median(ThinkingUp), WorstGap);

  // One long cascade, shown at the real pace.
  Game.SetAnimationSpeed(TAnimationSpeed::Normal);
  Game.Restart();
  TBord& Board = const_cast<TBord&>(*Game.Bord());
  for (int Row = 0; Row < 8; ++Row)
    for (int Col = 0; Col < 8; ++Col) {
      TCell* Cell = Board.GetCell(uint8_t(Row), uint8_t(Col));
      Cell->Owner = LocalPlayer;
      Cell->Mass = uint8_t(Cell->Capacity - 1);
    }
  Game.Replay().ShowBoard(Board);
  const auto Probe = TBord::CreateCopy(Board);
  const TCascadeSteps Steps = PlaceRecorded(*Probe, 0, 0, LocalPlayer);
  const auto Explosions = std::count_if(Steps.begin(), Steps.end(), [](const TCascadeStep& Step) {
    return Step.Kind == TCascadeStep::Explosion;
  });
  constexpr int Shown = 20;
  TLoopGaps Ticker;
  Form.findChild<TBordGrid*>(QStringLiteral("BordDisplay"))->OnClick(0, 0);
  QEventLoop Loop;
  QTimer::singleShot(Shown * TCascadeReplay::ExplosionFrames * TCascadeReplay::FrameTime, &Loop,
                     &QEventLoop::quit);
  Loop.exec();
  std::printf("a cascade of %lld explosions, the first %d shown at the real pace: longest "
              "event-loop gap %.3f ms\n",
              static_cast<long long>(Explosions), Shown, double(Ticker.Longest) / 1e6);
  Form.close();
  return 0;
}
