// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataStructures.h"
#include "DeepSearch.h"
#include "Levels.h"
#include "PlayedPositions.h"
#include "PositionText.h"
#include "RecordingProgress.h"
#include "Search.h"
#include "SearchBoard.h"

#include <QtTest>

#include <atomic>
#include <map>
#include <random>
#include <set>
#include <thread>

namespace {

std::unique_ptr<TBord> Parsed(const std::string& Text) {
  std::unique_ptr<TBord> Board;
  std::string Error;
  if (!ParsePosition(Text, Board, Error))
    qFatal("bad test position: %s", Error.c_str());
  return Board;
}

// The board as text, with its Finished flag.
std::string State(const TBord& Board) {
  return FormatPosition(Board) + (Board.Finished ? " ; finished" : " ; open");
}

// What a search board holds, as text; of a finished board's totals only the
// margin is kept up.
std::string SearchState(const TSearchBoard& Board) {
  std::string Text = Board.Finished() ? "finished" : "open";
  for (int I = 0; I < Board.Count(); ++I)
    Text += " " + std::to_string(Board.Owner(I)) + "/" + std::to_string(Board.Mass(I));
  if (Board.Finished())
    return Text + " " + std::to_string(Board.Margin());
  for (const uint8_t Player : {LocalPlayer, Opponent})
    Text +=
        " " + std::to_string(Board.Owned(Player)) + " " + std::to_string(Board.Critical(Player));
  return Text + " " + std::to_string(Board.Material()) + " " + std::to_string(Board.Margin());
}

bool IsLegal(const TBord& Board, const TMove& Move, uint8_t Player) {
  const TCell* Target = Board.GetCell(Move.Row, Move.Col);
  return Target && Target->Owner != 1 - Player;
}

TDeepResult Searched(const TBord& Board, uint8_t Player, uint64_t Budget, TSearchControl& Control) {
  TDeepLimits Limits;
  Limits.Placements = Budget;
  return DeepSearch(Board, Player, Limits, Control);
}

TDeepResult Searched(const TBord& Board, uint8_t Player, uint64_t Budget) {
  TSearchControl Silent;
  return Searched(Board, Player, Budget, Silent);
}

// The game after Player plays Move: +1 won for Player, -1 lost, 0 drawn or
// still open.
int Outcome(const TBord& Board, const TMove& Move, uint8_t Player) {
  const auto After = TBord::CreateCopy(Board);
  After->GetCell(Move.Row, Move.Col)->AddMass(Player, false);
  if (!After->Finished && After->CanMove(uint8_t(1 - Player)))
    return 0;
  const auto Masses = After->CountMasses();
  return Masses[Player] > Masses[1 - Player] ? 1 : Masses[Player] < Masses[1 - Player] ? -1 : 0;
}

// The game's value for Player to move with perfect play, +1 won, -1 lost,
// 0 drawn, by plain exhaustive search (memoised by position).
int Solved(const TBord& Board, uint8_t Player, std::map<std::string, int>& Known) {
  if (Board.Finished || !Board.CanMove(Player)) {
    const auto Masses = Board.CountMasses();
    return Masses[Player] > Masses[1 - Player] ? 1 : Masses[Player] < Masses[1 - Player] ? -1 : 0;
  }
  const std::string Key = FormatPosition(Board) + char('0' + Player);
  if (const auto Found = Known.find(Key); Found != Known.end())
    return Found->second;
  int Best = -1;
  for (const TMove& Move : Board.GenerateMoves(Player)) {
    const auto After = TBord::CreateCopy(Board);
    After->GetCell(Move.Row, Move.Col)->AddMass(Player, false);
    Best = std::max(Best, -Solved(*After, uint8_t(1 - Player), Known));
    if (Best == 1)
      break;
  }
  return Known[Key] = Best;
}

bool WinsAtOnce(const TBord& Board, uint8_t Player) {
  for (const TMove& Move : Board.GenerateMoves(Player))
    if (Outcome(Board, Move, Player) > 0)
      return true;
  return false;
}

// Whether the other player can win with its very next placement after Move.
bool AllowsWin(const TBord& Board, const TMove& Move, uint8_t Player) {
  const auto After = TBord::CreateCopy(Board);
  After->GetCell(Move.Row, Move.Col)->AddMass(Player, false);
  return !After->Finished && WinsAtOnce(*After, uint8_t(1 - Player));
}

} // namespace

class TestLevels : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void names() {
    // The settings store the name; reading it back is lenient about case and
    // falls back to Standard for anything else.
    for (const TComputerLevel Level : ComputerLevels) {
      QCOMPARE(ParseLevel(LevelName(Level)), Level);
      const QByteArray Upper = QByteArray(LevelName(Level).data()).toUpper();
      QCOMPARE(ParseLevel(Upper.toStdString()), Level);
    }
    for (const char* Text : {"", "Weak", "Strong ", "Expertise", "Stron"}) {
      QCOMPARE(ParseLevel(Text), TComputerLevel::Standard);
      TComputerLevel Level = TComputerLevel::Expert;
      QVERIFY(!TryParseLevel(Text, Level) && Level == TComputerLevel::Expert);
    }
  }

  void searchBoard() {
    // The search's board places as the rules do, cascades, endless ones and
    // the one that ends a game included, keeps its totals and sets right,
    // and takes every placement back exactly: every legal placement of
    // every position of random games on boards of all shapes.
    std::mt19937_64 Random(7);
    int Endless = 0;
    for (int Game = 0; Game < 30; ++Game) {
      const int Rows = 2 + Game % 7, Cols = 2 + (Game * 3) % 7;
      TBord Board(nullptr, uint8_t(Rows), uint8_t(Cols));
      for (uint8_t Player = LocalPlayer; !Board.Finished && Board.CanMove(Player);
           Player = uint8_t(1 - Player)) {
        TSearchBoard Search;
        Search.Load(Board, uint8_t(Game % 2));
        const std::string Before = SearchState(Search);
        const TMoveList Moves = Board.GenerateMoves(Player);
        for (const TMove& Move : Moves) {
          const auto Expected = TBord::CreateCopy(Board);
          Expected->GetCell(Move.Row, Move.Col)->AddMass(Player, false);
          Search.Place(uint8_t(Move.Row * Cols + Move.Col), Player);
          Endless += Expected->Finished;
          TSearchBoard Fresh;
          Fresh.Load(*Expected, uint8_t(Game % 2));
          QVERIFY2(SearchState(Search) == SearchState(Fresh) &&
                       (Search.Finished() || Search.Hash() == Fresh.Hash()),
                   State(*Expected).c_str());
          Search.Undo();
          QCOMPARE(SearchState(Search), Before);
        }
        const TMove Move = Moves[std::size_t(Random() % Moves.size())];
        Board.GetCell(Move.Row, Move.Col)->AddMass(Player, false);
      }
    }
    QVERIFY(Endless >= 10);
  }

  void variety() {
    // A game against a fixed sequence of user moves (the first legal cell
    // from a fixed point on): two seeds give two different games, one seed
    // twice the same game, and no seed the same game as Standard and the
    // hint would play it every time.
    const auto Game = [](TComputerLevel Level, uint64_t Seed) {
      TBord Board(nullptr, 5, 5);
      std::string Moves;
      for (int Turn = 0; Turn < 6 && !Board.Finished; ++Turn) {
        const TMoveList Mine = Board.GenerateMoves(LocalPlayer);
        if (Mine.empty())
          break;
        const TMove User = Mine[std::size_t(Turn * 7) % Mine.size()];
        Board.GetCell(User.Row, User.Col)->AddMass(LocalPlayer, false);
        if (Board.Finished || !Board.CanMove(Opponent))
          break;
        TSearchControl Control;
        const TMove Reply = LevelMove(Board, Level, Control, Seed);
        Moves += std::to_string(Reply.Row) + std::to_string(Reply.Col) + " ";
        Board.GetCell(Reply.Row, Reply.Col)->AddMass(Opponent, false);
      }
      return Moves;
    };
    const std::string First = Game(TComputerLevel::Strong, 1);
    QCOMPARE(Game(TComputerLevel::Strong, 1), First);
    std::set<std::string> Seen = {First};
    for (uint64_t Seed = 2; Seed <= 4; ++Seed)
      Seen.insert(Game(TComputerLevel::Strong, Seed));
    QVERIFY(Seen.size() >= 3);
    QCOMPARE(Game(TComputerLevel::Standard, 5), Game(TComputerLevel::Standard, NoVariety));
    // A result searched to the game's end is played as it is.
    const auto Small = Parsed("3x3 b1 . . . a2 . . . a1");
    for (uint64_t Seed = 1; Seed <= 8; ++Seed) {
      TSearchControl Control;
      QCOMPARE(LevelMove(*Small, TComputerLevel::Expert, Control, Seed),
               LevelMove(*Small, TComputerLevel::Expert));
    }
  }

  void perfectEndgames_data() {
    QTest::addColumn<QString>("Position");
    QTest::addColumn<int>("Player");
    QTest::newRow("2x2 empty") << "2x2 . . . ." << 0;
    QTest::newRow("2x3 empty") << "2x3 . . . . . ." << 1;
    QTest::newRow("3x3 opening") << "3x3 . . . . a1 . . . ." << 1;
    std::mt19937_64 Random(3);
    for (int K = 0; K < 6; ++K)
      QTest::addRow("3x3 late %d", K)
          << QString::fromStdString(FormatPosition(*Played(3, 3 + K % 3, Random()))) << 1;
    for (int K = 0; K < 6; ++K)
      QTest::addRow("4x4 late %d", K)
          << QString::fromStdString(FormatPosition(*Played(4, 1 + K % 3, Random()))) << 1;
  }
  void perfectEndgames() {
    // Where the rest of the game fits in the budget, Strong and Expert prove
    // their move and play as well as a plain exhaustive solver: a win when
    // there is one, else a draw when there is one.
    QFETCH(QString, Position);
    QFETCH(int, Player);
    const auto Board = Parsed(Position.toStdString());
    const auto Mover = uint8_t(Player);
    std::map<std::string, int> Known;
    const int Best = Solved(*Board, Mover, Known);
    for (const TComputerLevel Level : {TComputerLevel::Strong, TComputerLevel::Expert}) {
      TSearchControl Control;
      const TDeepResult Result = DeepSearch(*Board, Mover, LevelLimits(Level), Control);
      QVERIFY(Result.Proven);
      const int Claimed = Result.Value > DecidedValue ? 1 : Result.Value < -DecidedValue ? -1 : 0;
      QCOMPARE(Claimed, Best);
      const auto After = TBord::CreateCopy(*Board);
      After->GetCell(Result.Move.Row, Result.Move.Col)->AddMass(Mover, false);
      QCOMPARE(-Solved(*After, uint8_t(1 - Mover), Known), Best);
    }
  }

  void alwaysLegal_data() {
    QTest::addColumn<QString>("Position");
    QTest::addColumn<int>("Player");
    QTest::addColumn<bool>("Finish"); // one more mass on (0, 0) for Player first
    // The guard stops the cascade: the game would be over, but an answer
    // must still be a legal placement.
    QTest::newRow("guard, own board") << "2x2 b1 b1 b1 b1" << 1 << true;
    QTest::newRow("guard, mixed board") << "3x3 b1 b2 b1 b2 b3 b2 a1 a2 a1" << 1 << true;
    QTest::newRow("no empty cell, owner 1") << "2x3 a1 b2 a1 b1 a2 b1" << 1 << false;
    QTest::newRow("no empty cell, owner 0") << "2x3 a1 b2 a1 b1 a2 b1" << 0 << false;
    QTest::newRow("no own cell") << "3x3 b1 . . . b3 . . . b1" << 0 << false;
    QTest::newRow("single cell") << "2x2 a1 a1 a1 ." << 1 << false;
    QTest::newRow("crowded") << QString::fromStdString(FormatPosition(*Played(7, 2, 9))) << 1
                             << false;
  }
  void alwaysLegal() {
    QFETCH(QString, Position);
    QFETCH(int, Player);
    QFETCH(bool, Finish);
    const auto Board = Parsed(Position.toStdString());
    if (Finish) {
      Board->GetCell(0, 0)->AddMass(uint8_t(Player), false);
      QVERIFY(Board->Finished);
    }
    const std::string Before = State(*Board);
    for (const uint64_t Budget : {uint64_t(0), uint64_t(1), uint64_t(7), uint64_t(5000)}) {
      const TDeepResult Result = Searched(*Board, uint8_t(Player), Budget);
      QVERIFY2(IsLegal(*Board, Result.Move, uint8_t(Player)), qPrintable(Position));
      QVERIFY(Result.Placements <= Budget);
    }
    const TMove Answer = Player == 1 ? LevelMove(*Board, TComputerLevel::Strong) : HintMove(*Board);
    QVERIFY(IsLegal(*Board, Answer, uint8_t(Player)));
    QCOMPARE(State(*Board), Before);
  }

  void noMove() {
    // The no-move marker (Rows, 0) when every cell is the other player's,
    // on an open and on a finished board.
    const auto Theirs = Parsed("3x2 a1 a1 a2 a2 a1 a1");
    const auto Mine = Parsed("2x3 b1 b2 b1 b1 b2 b1");
    for (const bool Finished : {false, true})
      for (const TComputerLevel Level : ComputerLevels) {
        Theirs->Finished = Mine->Finished = Finished;
        QCOMPARE(LevelMove(*Theirs, Level), TMove(3, 0));
        QCOMPARE(PlayerMove(*Mine, LocalPlayer, Level), TMove(2, 0));
        QCOMPARE(HintMove(*Mine), TMove(2, 0));
        QCOMPARE(Searched(*Theirs, Opponent, 100).Placements, uint64_t(0));
      }
  }

  void mirrored() {
    // A stronger level searches for owner 0 exactly as for owner 1 on the
    // board with the owners swapped: the same move, value, depth and number
    // of placements. Standard plays owner 0 through such a mirror, and the
    // hint is the Strong level's move for owner 0.
    std::mt19937_64 Random(42);
    for (int Game = 0; Game < 12; ++Game) {
      const int Size = 4 + Game % 5;
      const auto Board = Played(Size, int(Random() % uint64_t(Size * Size)), Random());
      const auto Mirror = MirroredCopy(*Board);
      const auto Mine = Searched(*Board, LocalPlayer, 3000);
      const auto Theirs = Searched(*Mirror, Opponent, 3000);
      QVERIFY2(Mine.Move == Theirs.Move && Mine.Value == Theirs.Value &&
                   Mine.Depth == Theirs.Depth && Mine.Placements == Theirs.Placements,
               FormatPosition(*Board).c_str());
      QCOMPARE(PlayerMove(*Board, LocalPlayer, TComputerLevel::Standard),
               ComputerMove(*MirroredCopy(*Board)));
      QCOMPARE(PlayerMove(*Board, Opponent, TComputerLevel::Standard),
               ComputerMove(*TBord::CreateCopy(*Board)));
    }
    const auto Board = Played(6, 12, 5);
    QCOMPARE(HintMove(*Board), PlayerMove(*Board, LocalPlayer, TComputerLevel::Strong));
    QCOMPARE(HintMove(*Board), PlayerMove(*MirroredCopy(*Board), Opponent, TComputerLevel::Strong));
    const auto Mirror = MirroredCopy(*Board);
    QCOMPARE(State(*MirroredCopy(*Mirror)), State(*Board));
  }

  void tactics() {
    // On crowded boards a search that completed two plies takes a win that
    // is there at once, and never allows one at once when it can avoid it.
    int Wins = 0, Dangers = 0;
    for (uint64_t Seed = 1; Seed <= 40; ++Seed) {
      const int Size = 3 + int(Seed % 4);
      const auto Board = Played(Size, 1 + int(Seed % 3), Seed);
      const TDeepResult Result = Searched(*Board, Opponent, 20000);
      const std::string Where = FormatPosition(*Board);
      const TMoveList Moves = Board->GenerateMoves(Opponent);
      QVERIFY2(Result.Depth >= 2 || std::abs(Result.Value) > DecidedValue || Moves.size() == 1,
               Where.c_str());
      if (WinsAtOnce(*Board, Opponent)) {
        ++Wins;
        QVERIFY2(Outcome(*Board, Result.Move, Opponent) > 0 && Result.Value > DecidedValue,
                 Where.c_str());
        continue;
      }
      const bool Avoidable = std::any_of(Moves.begin(), Moves.end(), [&](const TMove& Move) {
        return !AllowsWin(*Board, Move, Opponent);
      });
      if (Avoidable && std::any_of(Moves.begin(), Moves.end(), [&](const TMove& Move) {
            return AllowsWin(*Board, Move, Opponent);
          })) {
        ++Dangers;
        QVERIFY2(!AllowsWin(*Board, Result.Move, Opponent), Where.c_str());
      }
    }
    // The positions hold both kinds of test.
    QVERIFY(Wins >= 3 && Dangers >= 3);
  }

  void budget() {
    // The search stops within its budget and counts every placement; with
    // more placements it goes the same way further, so never less deep.
    const auto Board = Played(7, 10, 11);
    int Depth = 0;
    for (const uint64_t Budget : {100, 1000, 10000, 50000}) {
      TSearchControl Control;
      const TDeepResult Result = Searched(*Board, Opponent, Budget, Control);
      QVERIFY(Result.Placements <= Budget && Control.PlacementsSearched == Result.Placements);
      QVERIFY(Result.Depth >= Depth && Result.CutShort == (Result.Placements == Budget));
      Depth = Result.Depth;
    }
    QVERIFY(Depth >= 3);
    // On a crowded board the explosions' budget ends the search first: it
    // stops at the first placement after the budget is spent, and a larger
    // budget searches the same way further.
    const auto Crowded = Played(7, 2, 9);
    Depth = 0;
    for (const uint64_t Explosions : {20000, 200000, 2000000}) {
      TDeepLimits Limits;
      Limits.Placements = 1000000;
      Limits.Explosions = Explosions;
      TSearchControl Control;
      const TDeepResult Result = DeepSearch(*Crowded, Opponent, Limits, Control);
      QVERIFY(Result.CutShort && Result.Placements < Limits.Placements);
      QVERIFY(Result.Explosions >= Explosions && Result.Explosions < Explosions + 1000);
      QVERIFY(Result.Depth >= Depth && IsLegal(*Crowded, Result.Move, Opponent));
      Depth = Result.Depth;
    }
    // A board with nothing left to decide is searched to its end and no further.
    const TDeepResult Small = Searched(*Parsed("2x2 b1 . . a1"), Opponent, 1000000);
    QVERIFY(!Small.CutShort && Small.Placements < 1000000);
  }

  void gauges() {
    // Shown once at the start with both gauges at 0, hidden once at the end;
    // gauge 1 is the share of the budget, gauge 2 the candidates of the
    // iteration; no value leaves its gauge's range.
    const auto Board = Played(6, 8, 3);
    const int Candidates = int(Board->GenerateMoves(Opponent).size());
    TRecordingProgress Progress;
    const TDeepResult Result = Searched(*Board, Opponent, 20000, Progress.Control);
    const auto& Calls = Progress.Calls;
    using TCall = TRecordingProgress::TCall;
    QVERIFY(Calls.size() > 6);
    QVERIFY((std::vector<TCall>(Calls.begin(), Calls.begin() + 3) ==
             std::vector<TCall>{{'p', 1, 0}, {'p', 2, 0}, {'s', 0, 0}}));
    QVERIFY(Calls.back() == (TCall{'h', 0, 0}) && Progress.Count('s') == 1 &&
            Progress.Count('h') == 1);
    QVERIFY(Progress.Maxima[1] == 100 && Progress.Maxima[2] == Candidates);
    QVERIFY(!Progress.OutOfRange && Progress.Values[1] == 0 && Progress.Values[2] == 0);
    // Each completed iteration fills gauge 2; the budget was used up.
    const long Filled = std::count(Calls.begin(), Calls.end(), TCall{'p', 2, Candidates});
    QVERIFY(Result.CutShort && Filled == Result.Depth);
    QVERIFY(std::count(Calls.begin(), Calls.end(), TCall{'p', 1, 100}) == 1);
    QCOMPARE(Progress.Processed, long((Result.Placements + 255) / 256));
    // The computer's move at a level shows the thinking window of its control.
    TRecordingProgress Window;
    LevelMove(*Board, TComputerLevel::Strong, Window.Control);
    QVERIFY(Window.Count('s') == 1 && Window.Count('h') == 1 && !Window.OutOfRange);
  }

  void stop() {
    // Stopped before it starts, or inside any round of messages, the search
    // still answers a legal move; a stop after the first iteration answers
    // a move that iteration found.
    const auto Board = Played(8, 6, 21);
    TSearchControl Stopped;
    Stopped.StopThinking();
    TDeepResult Result = Searched(*Board, Opponent, 100000, Stopped);
    QVERIFY(Result.CutShort && Result.Placements == 0 && IsLegal(*Board, Result.Move, Opponent));
    QVERIFY(IsLegal(*Board, LevelMove(*Board, TComputerLevel::Expert, Stopped), Opponent));
    for (const long StopAt : {0L, 1L, 5L, 40L}) {
      TRecordingProgress Progress;
      Progress.StopAt = StopAt;
      Result = Searched(*Board, Opponent, 1000000, Progress.Control);
      QVERIFY(Result.CutShort && IsLegal(*Board, Result.Move, Opponent) && !Progress.OutOfRange);
      QCOMPARE(Result.Placements, uint64_t(StopAt + 1) * 256);
      QVERIFY(Progress.Calls.back() == (TRecordingProgress::TCall{'h', 0, 0}));
    }
    // StopThinking from another thread ends a search with a budget far too
    // large to finish, on a board far from decided.
    const auto Open = Played(8, 50, 21);
    struct TStarted : TRecordingProgress {
      std::atomic<bool> Started = false;
      void ProcessMessages() override { Started = true; }
    } Progress;
    std::atomic<bool> Done = false;
    std::thread Worker([&] {
      Result = Searched(*Open, Opponent, uint64_t(1) << 40, Progress.Control);
      Done = true;
    });
    while (!Progress.Started && !Done)
      std::this_thread::yield();
    Progress.Control.StopThinking();
    Worker.join();
    QVERIFY(Result.CutShort && IsLegal(*Open, Result.Move, Opponent));
  }
};

QTEST_APPLESS_MAIN(TestLevels)
#include "tst_levels.moc"
