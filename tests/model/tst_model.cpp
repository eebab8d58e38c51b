// SPDX-License-Identifier: GPL-3.0-or-later
#include "CascadeSteps.h"
#include "DataStructures.h"
#include "PositionText.h"
#include "RandomPlay.h"
#include "RecordingProgress.h"
#include "ReferenceRules.h"
#include "Search.h"

#include <QtTest>

#include <climits>
#include <set>

namespace {

// The unoptimised sanitizer build searches some twenty times slower, and the
// searches on boards of more than 36 cells are most of this test's time;
// there only 8 x 8, the largest, still searches its game.
#ifdef FIZZGRID_SANITIZED_BUILD
constexpr bool SearchAllLargeBoards = false;
#else
constexpr bool SearchAllLargeBoards = true;
#endif

// Records the view's notifications with the picture the cell shows at that moment.
struct TRecordingView : TBordView {
  const TBord* Board = nullptr;
  std::vector<Ref::Event> Events;
  std::vector<int> Pictures;
  void InvalidateCell(uint8_t Row, uint8_t Col) override { Record('I', Row, Col); }
  void Explode(uint8_t Row, uint8_t Col) override { Record('E', Row, Col); }
  void Record(char Kind, uint8_t Row, uint8_t Col) {
    Events.push_back({Kind, Row, Col});
    Pictures.push_back(Board->GetCell(Row, Col)->CellImageIndex());
  }
};

Ref::Board ToReference(const TBord& Board) {
  Ref::Board Result(Board.Rows, Board.Cols);
  for (int I = 0; I < Board.Rows * Board.Cols; ++I) {
    const TCell* Cell = Board.Cell(I / Board.Cols, I % Board.Cols);
    std::tie(Result.Mass[I], Result.Owner[I], Result.Nest[I]) =
        std::tuple{Cell->Mass, Cell->Owner, Cell->Nesting};
  }
  Result.Finished = Board.Finished;
  return Result;
}

Ref::Move Of(const TMove& Move) {
  return {Move.Row, Move.Col};
}
std::vector<Ref::Move> Of(const TMoveList& List) {
  std::vector<Ref::Move> Result;
  for (const TMove& Move : List)
    Result.push_back(Of(Move));
  return Result;
}

std::unique_ptr<TBord> Parsed(const std::string& Text, TRecordingView* View = nullptr) {
  std::unique_ptr<TBord> Board;
  std::string Error;
  if (!ParsePosition(Text, Board, Error))
    qFatal("bad test position: %s", Error.c_str());
  if (View)
    std::tie(Board->View, View->Board) = std::pair{View, Board.get()};
  return Board;
}

// Owner and mass shown by picture Index on a cell of Capacity.
std::pair<int, int> ShownAs(int Index, int Capacity) {
  static constexpr int ImageBase[5] = {0, 0, 0, 2, 5};
  if (Index >= 18)
    return {NoOwner, 0};
  return {Index / 9, Index % 9 - ImageBase[Capacity] + 1};
}

// A crowded position reached by deterministic random play, the computer to move.
std::unique_ptr<TBord> Crowded(int Size, int MaxEmpty, uint64_t Seed) {
  Ref::Lcg Random(Seed);
  return RandomlyPlayed(uint8_t(Size), uint8_t(Size), 0, MaxEmpty,
                        [&](int N) { return Random.Below(N); });
}

// The computer's move on Board against the reference: the answer, the
// placements searched, one message round per candidate, the real board left
// alone, the gauges' movements.
void CheckMove(TBord& Board, TMove& Answer, Ref::Searcher& Reference) {
  const Ref::Board Start = ToReference(Board);
  const std::string Where = FormatPosition(Board);
  TRecordingProgress Progress;
  Answer = ComputerMove(Board, Progress.Control);
  Ref::Board Same = Start;
  QVERIFY2(Of(Answer) == Reference.ComputerMove(Same), Where.c_str());
  QVERIFY2(long(Progress.Control.PlacementsSearched) == Reference.Nodes, Where.c_str());
  QVERIFY(Progress.Processed == Reference.Nodes &&
          Progress.Count('m', 2) == Reference.Gauge2Expansions);
  QVERIFY(ToReference(Board) == Start);
  // Both gauges zeroed, then shown; hidden once at the end with both at 0.
  QVERIFY(Progress.Calls[0].What == 'p' && Progress.Calls[1].What == 'p' &&
          Progress.Calls[2].What == 's');
  QVERIFY(Progress.Count('s') == 1 && Progress.Count('h') == 1 &&
          Progress.Calls.back().What == 'h');
  QVERIFY(Progress.Count('m', 1) == 1 && Progress.Maxima[1] == int(Board.GenerateMoves(1).size()));
  QVERIFY(!Progress.OutOfRange && Progress.Values[1] == 0 && Progress.Values[2] == 0);
  // Each gauge climbs one candidate at a time (a cut-off fills it), ends its
  // level full and drops to 0; gauge 2 fills once per level-1 expansion.
  int Shown[3] = {}, Max[3] = {};
  long Resets2 = -2; // ComputerMove's own at the start and at the end
  for (const auto& [What, Gauge, Value] : Progress.Calls) {
    Max[Gauge] = What == 'm' ? Value : Max[Gauge];
    if (What != 'p')
      continue;
    QVERIFY(Value ? Value == Shown[Gauge] + 1 || Value == Max[Gauge]
                  : Shown[Gauge] == 0 || Shown[Gauge] == Max[Gauge]);
    Shown[Gauge] = Value;
    Resets2 += Gauge == 2 && Value == 0;
  }
  QCOMPARE(Resets2, Progress.Count('m', 2));
}

// The computer's move with StopThinking called inside the given round of
// message processing: the answer, the rounds made, whether a gauge left its range.
std::tuple<TMove, long, bool> StoppedMove(TBord& Board, long StopAt) {
  TRecordingProgress Progress;
  Progress.StopAt = StopAt;
  const TMove Answer = ComputerMove(Board, Progress.Control);
  return {Answer, Progress.Processed, Progress.OutOfRange};
}

} // namespace

class TestModel : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void pictures() {
    // Per capacity the empty cell's picture, then the local player's by mass;
    // the opponent's lie 9 further on.
    const std::vector<int> Expected[3] = {{18, 0, 1}, {19, 2, 3, 4}, {20, 5, 6, 7, 8}};
    TBord Board(nullptr, 3, 3);
    for (int Cap = 2; Cap <= 4; ++Cap)
      for (int Owner = 0; Owner < 2; ++Owner)
        for (int Mass = 0; Mass <= Cap; ++Mass) {
          TCell* Cell = Board.GetCell(uint8_t(Cap / 4), uint8_t(Cap / 3)); // (0, 0), (0, 1), (1, 1)
          std::tie(Cell->Owner, Cell->Mass) = std::pair{uint8_t(Mass ? Owner : 2), uint8_t(Mass)};
          QCOMPARE(Cell->CellImageIndex(), Expected[Cap - 2][Mass] + (Mass ? 9 * Owner : 0));
        }
    // A finished board piles masses up: the count saturates instead of
    // wrapping to an owned cell that looks empty, and shows the full picture.
    for (const bool Animate : {false, true}) {
      TRecordingView View;
      auto Full = Parsed("2x2 b1 b1 b1 b1", &View);
      for (int Extra = 0; Extra < 300; ++Extra)
        Full->GetCell(0, 0)->AddMass(1, Animate);
      QVERIFY(Full->Finished && Full->GetCell(0, 0)->Mass == 255);
      QCOMPARE(Full->GetCell(0, 0)->CellImageIndex(), 10);
    }
  }

  void replay_data() {
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    for (int R = 2; R <= 8; ++R)
      for (int C = 2; C <= 8; ++C)
        QTest::addRow("%dx%d", R, C) << R << C;
  }
  void replay() {
    // Random games against the reference at every placement: the animated and
    // the silent cascade with their notifications, the move lists, the
    // search's copy, restore and evaluation, and the computer's moves (on
    // most sizes) which it plays or, to reach more positions, replaces by a
    // random move. Play goes on for a while after the guard stopped a cascade.
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    const std::set<int> FullPictures = {1, 4, 8, 10, 13, 17};
    const int Searched = Rows > Cols && (Rows + Cols) % 3            ? 0
                         : Rows * Cols <= 16                         ? 8
                         : Rows * Cols <= 36                         ? 3
                         : SearchAllLargeBoards || Rows * Cols == 64 ? 1
                                                                     : 0;
    Ref::Lcg Random(uint64_t(Rows * 16 + Cols));
    TRecordingView View, Quiet; // Quiet hears only Silent's resets
    TBord Shown(&View, uint8_t(Rows), uint8_t(Cols)), Silent(&Quiet, uint8_t(Rows), uint8_t(Cols));
    TBord Copy(nullptr, 8, 8), Stepped(nullptr, uint8_t(Rows), uint8_t(Cols));
    View.Board = &Shown;
    Quiet.Board = &Silent;
    int Stopped = 0, Deep = 0;
    for (int Game = 0; Game < 12; ++Game) {
      Ref::Board Expected(Rows, Cols);
      View.Events.clear();
      View.Pictures.clear();
      Shown.Reset(); // one notification per cell, row by row, each already empty
      Silent.Reset();
      Stepped.Reset();
      std::vector<int> OnScreen(std::size_t(Rows * Cols), 18);
      QCOMPARE(View.Events.size(), std::size_t(Rows * Cols));
      for (int I = 0; I < Rows * Cols; ++I)
        QVERIFY(View.Events[I] == (Ref::Event{'I', I / Cols, I % Cols}) && View.Pictures[I] >= 18);
      for (int Player = 0; Expected.CanMove(Player); Player = 1 - Player) {
        const std::string Where = FormatPosition(Silent);
        const auto Moves = Expected.Moves(Player);
        QVERIFY2(Of(Silent.GenerateMoves(uint8_t(Player))) == Moves, Where.c_str());
        const int32_t Value = Silent.Evaluate();
        QCOMPARE(Value, Expected.Evaluate());
        Copy.CopyFrom(Silent);
        for (int Trial = 0; Trial < 3; ++Trial) {
          Ref::Board Probe = Expected;
          for (int Placements = 1 + (Random.Below(4) == 0); Placements > 0; --Placements) {
            const int Mover = Random.Below(2);
            const auto Options = Probe.Moves(Mover);
            if (Options.empty())
              break;
            const auto [R, C] = Options[std::size_t(Random.Below(int(Options.size())))];
            Copy.GetCell(uint8_t(R), uint8_t(C))->AddMass(uint8_t(Mover), false);
            Probe.Add(R, C, Mover);
          }
          QVERIFY2(ToReference(Copy) == Probe, Where.c_str());
          QCOMPARE(Copy.EvaluateFrom(Silent, Value), Probe.Evaluate());
          Copy.Finished = !Copy.Finished; // as a search level ends its board
          Copy.RestoreFrom(Silent);
          QVERIFY2(ToReference(Copy) == Expected, Where.c_str());
        }
        auto [R, C] = Moves[std::size_t(Random.Below(int(Moves.size())))];
        if (Player == 1 && Game < Searched && !Expected.Finished) {
          TMove Answer;
          Ref::Searcher Reference;
          CheckMove(Silent, Answer, Reference);
          if (QTest::currentTestFailed())
            return;
          Deep += Reference.Gauge2Expansions > 0 || Expected.Empty() < 20;
          if (Random.Below(2) == 0)
            std::tie(R, C) = Of(Answer);
        }
        std::vector<Ref::Event> Log;
        Expected.Add(R, C, Player, &Log);
        View.Events.clear();
        View.Pictures.clear();
        Shown.GetCell(uint8_t(R), uint8_t(C))->AddMass(uint8_t(Player), true);
        Silent.GetCell(uint8_t(R), uint8_t(C))->AddMass(uint8_t(Player), false);
        const TCascadeSteps Steps = PlaceRecorded(Stepped, uint8_t(R), uint8_t(C), uint8_t(Player));
        const std::string Move = Where + " ; " + std::to_string(Player) + " " + std::to_string(R) +
                                 " " + std::to_string(C);
        QVERIFY2(ToReference(Shown) == Expected && ToReference(Silent) == Expected, Move.c_str());
        QVERIFY2(View.Events == Log, Move.c_str());
        // The recorded steps are those notifications with their pictures;
        // an explosion's score is what the pictures on screen add up to.
        QCOMPARE(Steps.size(), Log.size());
        for (std::size_t K = 0; K < Steps.size(); ++K) {
          const TCascadeStep& Step = Steps[K];
          const bool Explosion = Step.Kind == TCascadeStep::Explosion;
          QVERIFY2(Log[K] == (Ref::Event{Explosion ? 'E' : 'I', Step.Row, Step.Col}) &&
                       Step.Picture == View.Pictures[K],
                   Move.c_str());
          OnScreen[std::size_t(Step.Row * Cols + Step.Col)] = Step.Picture;
          std::array<int, 3> Score{};
          for (int I = 0; I < Rows * Cols && Explosion; ++I) {
            const auto [Owner, Mass] =
                ShownAs(OnScreen[std::size_t(I)], Stepped.Cell(I / Cols, I % Cols)->Capacity);
            Score[std::size_t(Owner)] += Mass;
          }
          QVERIFY2(!Explosion || Step.Score == (std::array<int, 2>{Score[0], Score[1]}),
                   Move.c_str());
        }
        // A cell explodes showing its full picture and is drawn empty next.
        for (std::size_t K = 0; K < Log.size(); ++K)
          QVERIFY2(Log[K].Kind != 'E' ||
                       (FullPictures.count(View.Pictures[K]) && View.Pictures[K + 1] >= 18),
                   Move.c_str());
        if (Expected.Finished && Random.Below(3) == 0)
          break;
      }
      Stopped += Expected.Finished;
      // Copies have no view: nothing done to one reaches the source's window.
      const std::size_t Heard = View.Events.size();
      const auto Twin = TBord::CreateCopy(Shown);
      Twin->Reset();
      Twin->GetCell(0, 0)->AddMass(LocalPlayer, true);
      QCOMPARE(View.Events.size(), Heard);
    }
    // The searches on Silent told its view nothing: it heard its resets only.
    QCOMPARE(Quiet.Events.size(), std::size_t(12 * Rows * Cols));
    QVERIFY(Rows * Cols > 9 || Stopped > 0);
    QVERIFY(Searched == 0 || Deep > 0);
  }

  void stop() {
    // Stopped during the top level on 5 x 5 (user on (0, 0)): the level runs
    // out its loop without searching further and answers the best whole
    // subtree, the one being processed at the stop included.
    const std::string Corner = "5x5 a1 . . . . . . . . . . . . . . . . . . . . . . . .";
    const std::pair<long, TMove> Cases[] = {{0, {0, 1}}, {1, {0, 1}}, {3, {0, 4}}, {9, {0, 4}}};
    for (const auto& [StopAt, Expected] : Cases)
      QVERIFY(StoppedMove(*Parsed(Corner), StopAt) == std::tuple(Expected, 24L, false));
    // Stops deep inside three-level searches still answer a legal move: the
    // full search's answer when the stop comes too late to matter.
    for (const int Size : {4, 6, 8}) {
      auto Board = Crowded(Size, Size == 4 ? 10 : 8, uint64_t(Size));
      const auto [Best, Total, Ignored] = StoppedMove(*Board, -1);
      for (const long StopAt : {0L, 1L, 2L, Total / 3, Total / 2, Total - 2, Total - 1}) {
        const auto [Answer, Processed, OutOfRange] = StoppedMove(*Board, StopAt);
        const TCell* Target = Board->GetCell(Answer.Row, Answer.Col);
        QVERIFY2(Target && Target->Owner != 0,
                 qPrintable(QString("size %1 stop %2").arg(Size).arg(StopAt)));
        QVERIFY(!OutOfRange && Processed <= Total && (StopAt != Total - 1 || Answer == Best));
      }
    }
    // A level entered after the stop leaves value, answer and bounds alone;
    // the computer still answers its first candidate, not the start record.
    auto Board = Parsed(Corner);
    TRecordingProgress Progress;
    Progress.Control.StopThinking();
    int32_t Alpha = 5, Beta = 6, Value = 12345;
    TMove Answer(7, 7);
    Search(*Board, 0, Alpha, Beta, Answer, Value, Progress.Control);
    QVERIFY(Value == 12345 && Answer == TMove(7, 7) && Alpha == 5 && Beta == 6);
    QCOMPARE(ComputerMove(*Board, Progress.Control), TMove(0, 1));
    QVERIFY(Progress.Processed == 0 && Progress.Count('h') == 1);
  }
};

QTEST_APPLESS_MAIN(TestModel)
#include "tst_model.moc"
