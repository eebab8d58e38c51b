// SPDX-License-Identifier: GPL-3.0-or-later
// The game window against the computer on crowded 8 x 8 boards, with the
// explosions off: the time from the click to the computer's move shown (the
// grid painted with it), next to the search's own time for the same board,
// and the longest time the event loop could not serve a 1 ms timer while
// the computer thought. Then one long cascade at the real pace: the longest
// such gap while it is shown.
//
//   bench_flow [positions-per-size]      (QT_QPA_PLATFORM=offscreen or a desktop)

#include "Application.h"
#include "CrowdedPositions.h"
#include "EnterPlayer.h"
#include "EntryFields.h"
#include "Facilities.h"
#include "GameTypeDialog.h"
#include "LoopGaps.h"
#include "Main.h"
#include "MessageDlg.h"
#include "RuntimeData.h"
#include "Search.h"
#include "SizeDialog.h"

#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

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

struct TPaints : QObject {
  int Count = 0;
  bool eventFilter(QObject*, QEvent* Event) override {
    Count += Event->type() == QEvent::Paint;
    return false;
  }
};

} // namespace

int main(int argc, char** argv) {
  const int PerSize = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
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

  TMainForm Form;
  TGameController& Game = Form.Controller();
  Form.FormCreate();
  RunUntil([&] { return Game.Phase() == TPhase::OwnTurn; });
  Form.findChild<QAction*>(QStringLiteral("Explosions1"))->setChecked(false);
  QWidget* Grid = Form.findChild<QWidget*>(QStringLiteral("BordDisplay"));
  TPaints Paints;
  Grid->installEventFilter(&Paints);

  std::printf("%-30s %10s %10s %10s %12s\n", "position", "search ms", "shown ms", "added ms",
              "longest gap");
  double WorstAdded = 0, SumAdded = 0, WorstGap = 0;
  int Count = 0;
  for (int Empty = 0; Empty <= 5; ++Empty)
    for (int Seed = 1; Seed <= PerSize; ++Seed) {
      TBord& Board = const_cast<TBord&>(*Game.Bord());
      TMove Click;
      if (!Reached(Board, Empty, uint64_t(Seed * 100 + Empty), Click))
        continue;
      Game.Replay().ShowBoard(Board);
      // The search alone, on the board the computer will see.
      const auto Probe = TBord::CreateCopy(Board);
      Probe->GetCell(Click.Row, Click.Col)->AddMass(LocalPlayer, false);
      const auto Started = std::chrono::steady_clock::now();
      ComputerMove(*Probe);
      const double Search =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Started)
              .count();
      // The same through the window: the click, the worker's search, the
      // move placed and the grid painted.
      RunUntil([&] { return Paints.Count > 0 || !Grid->isVisible(); });
      TLoopGaps Ticker;
      const qint64 Clicked = Ticker.Clock.nsecsElapsed();
      Form.findChild<TBordGrid*>(QStringLiteral("BordDisplay"))->OnClick(Click.Row, Click.Col);
      RunUntil([&] { return Game.Phase() != TPhase::OpponentTurn; });
      Paints.Count = 0;
      RunUntil([&] { return Paints.Count > 0 || Game.Phase() != TPhase::OwnTurn; });
      const double Shown = double(Ticker.Clock.nsecsElapsed() - Clicked) / 1e6;
      const double Gap = double(Ticker.Longest) / 1e6;
      std::printf("crowded 8x8, %d empty, seed %-3d %10.3f %10.3f %10.3f %10.3f ms\n", Empty, Seed,
                  Search, Shown, Shown - Search, Gap);
      WorstAdded = std::max(WorstAdded, Shown - Search);
      SumAdded += Shown - Search;
      WorstGap = std::max(WorstGap, Gap);
      ++Count;
      if (Game.Phase() != TPhase::OwnTurn)
        RunUntil([&] { return Game.Phase() == TPhase::BetweenGames; }), Game.StartGame();
    }
  std::printf("\nthe window adds %.3f ms on average, %.3f ms at worst, to the search's own time "
              "(%d moves); longest event-loop gap while the computer thought: %.3f ms\n",
              Count ? SumAdded / Count : 0.0, WorstAdded, Count, WorstGap);

  // One long cascade, shown at the real pace.
  Form.findChild<QAction*>(QStringLiteral("Explosions1"))->setChecked(true);
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
