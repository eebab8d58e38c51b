#include "DataStructures.h"
#include "ModelTestSupport.h"
#include "PositionText.h"
#include "Search.h"

#include <QtTest>

#include <climits>

namespace {

std::unique_ptr<TBord> Parsed(const std::string& Text) {
  std::unique_ptr<TBord> Board;
  std::string Error;
  if (!ParsePosition(Text, Board, Error))
    qFatal("bad test position %s: %s", Text.c_str(), Error.c_str());
  return Board;
}

std::string EmptyBoard(int Rows, int Cols) {
  std::string Text = std::to_string(Rows) + "x" + std::to_string(Cols);
  for (int I = 0; I < Rows * Cols; ++I)
    Text += " .";
  return Text;
}

bool IsLegal(const TBord& Board, const TMove& Move, uint8_t Player) {
  const TCell* Cell = Board.GetCell(Move.Row, Move.Col);
  return Cell && Cell->Owner != 1 - Player;
}

// A crowded position reached by deterministic random play, Player 1 to move.
std::unique_ptr<TBord> Crowded(int Rows, int Cols, int MaxEmpty, uint64_t Seed) {
  Ref::Lcg Random(Seed);
  for (;;) {
    auto Board = std::make_unique<TBord>(nullptr, uint8_t(Rows), uint8_t(Cols));
    int Player = 0;
    while (!Board->Finished && Board->CanMove(uint8_t(Player))) {
      if (Player == 1 && Board->EmptyCount() <= MaxEmpty)
        return Board;
      const TMoveList Moves = Board->GenerateMoves(uint8_t(Player));
      const TMove Move = Moves[std::size_t(Random.Below(int(Moves.size())))];
      Board->GetCell(Move.Row, Move.Col)->AddMass(uint8_t(Player), false);
      Player = 1 - Player;
    }
  }
}

} // namespace

class TestSearch : public QObject {
  Q_OBJECT

private slots:
  void init() { ResetSearchState(); }
  void cleanup() { ResetSearchState(); }

  void better();
  void emptyBoardCorners_data();
  void emptyBoardCorners();
  void replyToCorner();
  void deepening_data();
  void deepening();
  void determinism();
  void gauges();
  void levelsWriteAnswer();
  void stopBeforeSearch();
  void stopDuringSearch_data();
  void stopDuringSearch();
  void stopDeep();
  void noMove();
  void againstReference_data();
  void againstReference();
};

void TestSearch::better() {
  QVERIFY(Better(3, 4, 0));
  QVERIFY(!Better(4, 4, 0));
  QVERIFY(!Better(5, 4, 0));
  QVERIFY(Better(5, 4, 1));
  QVERIFY(!Better(4, 4, 1));
  QVERIFY(Better(INT_MIN + 1, INT_MIN, 1));
  QVERIFY(Better(INT_MAX - 1, INT_MAX, 0));
  QCOMPARE(MassWeights[2], 10);
  QCOMPARE(MassWeights[3], 8);
  QCOMPARE(MassWeights[4], 6);
}

void TestSearch::emptyBoardCorners_data() {
  QTest::addColumn<int>("Rows");
  QTest::addColumn<int>("Cols");
  for (const auto& [R, C] : std::vector<std::pair<int, int>>{{5, 5}, {5, 8}, {8, 5}, {6, 7}, {8, 8}})
    QTest::addRow("%dx%d", R, C) << R << C;
}

void TestSearch::emptyBoardCorners() {
  QFETCH(int, Rows);
  QFETCH(int, Cols);
  auto Board = Parsed(EmptyBoard(Rows, Cols));
  const uint64_t Before = PlacementsSearched;
  QCOMPARE(ComputerMove(*Board), TMove(0, 0));
  QCOMPARE(PlacementsSearched - Before, uint64_t(Rows * Cols)); // one level, every cell
  QCOMPARE(SearchDepth, uint8_t(1));
  QCOMPARE(Board->EmptyCount(), Rows * Cols);
}

void TestSearch::replyToCorner() {
  auto Board = Parsed(EmptyBoard(5, 5));
  Board->GetCell(0, 0)->AddMass(0, false);
  QCOMPARE(ComputerMove(*Board), TMove(0, 4));
  // Ties go to the first candidate in row-major order: with every corner
  // but the last taken by the user, the computer takes the last corner;
  // with all four taken, the first of the equal edge cells next to nothing.
  Board->GetCell(0, 4)->AddMass(0, false);
  Board->GetCell(4, 0)->AddMass(0, false);
  QCOMPARE(ComputerMove(*Board), TMove(4, 4));
  Board->GetCell(4, 4)->AddMass(0, false);
  const TMove Answer = ComputerMove(*Board);
  Ref::Board Same = ToReference(*Board);
  QCOMPARE(Answer, TMove(0, 1));
  Ref::Searcher Reference;
  QCOMPARE(Reference.ComputerMove(Same), std::make_pair(0, 1));
}

void TestSearch::deepening_data() {
  QTest::addColumn<int>("Rows");
  QTest::addColumn<int>("Cols");
  QTest::addColumn<bool>("Deepens");
  QTest::newRow("4x4 three levels at once") << 4 << 4 << true;
  QTest::newRow("4x5 switches at first candidate") << 4 << 5 << true;
  QTest::newRow("5x5 one level") << 5 << 5 << false;
}

void TestSearch::deepening() {
  QFETCH(int, Rows);
  QFETCH(int, Cols);
  QFETCH(bool, Deepens);
  TRecordingProgress Progress;
  SetThinkProgress(&Progress);
  auto Board = Parsed(EmptyBoard(Rows, Cols));
  const uint64_t Before = PlacementsSearched;
  const TMove Answer = ComputerMove(*Board);
  const uint64_t Placements = PlacementsSearched - Before;
  QCOMPARE(SearchDepth, uint8_t(1));

  Ref::Board Same = ToReference(*Board);
  Ref::Searcher Reference;
  const auto Expected = Reference.ComputerMove(Same);
  QCOMPARE(std::make_pair(int(Answer.Row), int(Answer.Col)), Expected);
  QCOMPARE(long(Placements), Reference.Nodes);
  QCOMPARE(Progress.ProcessCount, Reference.Nodes);
  QCOMPARE(Progress.Count("max", 2), Reference.Gauge2Expansions);
  QCOMPARE(Progress.Count("max", 2) > 0, Deepens);
  QCOMPARE(Placements > uint64_t(Rows * Cols), Deepens);
  if (Deepens) {
    // Gauge 2 gets its range at the first level-1 expansion; that happens
    // inside the first candidate of the top level whether the switch came
    // at the top or at that candidate's reply level.
    const auto FirstMax2 = std::find_if(Progress.Calls.begin(), Progress.Calls.end(),
                                        [](const auto& C) { return C.What == "max" && C.Gauge == 2; });
    const auto FirstStep1 = std::find_if(Progress.Calls.begin(), Progress.Calls.end(),
                                         [](const auto& C) { return C.What == "set" && C.Gauge == 1 && C.Value > 0; });
    QVERIFY(FirstMax2 < FirstStep1);
  }
  // On the 4 x 5 board the first candidate's reply level sees 19 empty
  // cells; the top level itself (20 empty) does not switch.
  if (Rows == 4 && Cols == 5)
    QCOMPARE(Board->EmptyCount(), 20);
}

void TestSearch::determinism() {
  auto Board = Crowded(6, 6, 12, 7);
  const std::string Before = FormatPosition(*Board);
  const TMove First = ComputerMove(*Board);
  QCOMPARE(SearchDepth, uint8_t(1));
  QCOMPARE(FormatPosition(*Board), Before); // the search never touches the real board
  QCOMPARE(Board->Finished, false);
  for (int I = 0; I < 3; ++I)
    QCOMPARE(ComputerMove(*Board), First);
  auto Copy = TBord::CreateCopy(*Board);
  QCOMPARE(ComputerMove(*Copy), First);
  QVERIFY(IsLegal(*Board, First, 1));
}

void TestSearch::gauges() {
  struct TCase {
    const char* Name;
    std::unique_ptr<TBord> Board;
  };
  std::vector<TCase> Cases;
  Cases.push_back({"empty 6x6", Parsed(EmptyBoard(6, 6))});
  Cases.push_back({"crowded 5x5", Crowded(5, 5, 8, 3)});
  Cases.push_back({"crowded 7x7", Crowded(7, 7, 10, 11)});
  Cases.push_back({"empty 4x4", Parsed(EmptyBoard(4, 4))});
  for (auto& Case : Cases) {
    TRecordingProgress Progress;
    SetThinkProgress(&Progress);
    const int Candidates = int(Case.Board->GenerateMoves(1).size());
    const bool ThreeLevels = Case.Board->EmptyCount() < 20;
    ComputerMove(*Case.Board);
    QVERIFY2(!Progress.OutOfRange, Case.Name);
    QCOMPARE(Progress.Count("show"), 1L);
    QCOMPARE(Progress.Count("hide"), 1L);
    QCOMPARE(Progress.Calls.front().What, std::string("set")); // gauges zeroed before showing
    QCOMPARE(Progress.Calls[2].What, std::string("show"));
    QCOMPARE(Progress.Calls.back().What, std::string("hide"));
    QCOMPARE(Progress.Count("max", 1), 1L);
    QCOMPARE(Progress.Maxima[1], Candidates);
    QCOMPARE(Progress.Values[1], 0);
    QCOMPARE(Progress.Values[2], 0);
    QCOMPARE(Progress.Count("max", 2) > 0, ThreeLevels);
    // Gauge 1 climbs one candidate at a time (a cut-off jumps to the end)
    // and drops to 0 only when the top level ends.
    int Shown = 0;
    for (const auto& Call : Progress.Calls) {
      if (Call.What != "set" || Call.Gauge != 1)
        continue;
      QVERIFY2(Call.Value == Shown + 1 || Call.Value == Candidates || Call.Value == 0, Case.Name);
      Shown = Call.Value;
    }
    // Every level-1 expansion fills gauge 2 from 0 and ends by resetting it.
    long Resets2 = 0;
    for (const auto& Call : Progress.Calls)
      Resets2 += Call.What == "set" && Call.Gauge == 2 && Call.Value == 0;
    QCOMPARE(Resets2 - 1, Progress.Count("max", 2)); // one more from ComputerMove's start
    SetThinkProgress(nullptr);
  }
}

void TestSearch::levelsWriteAnswer() {
  // Search entered below the top: the user's level writes its own best reply
  // into the answer, shares the bounds with the caller and clears Finished on
  // the board it was given; a finished board's copies only pile up masses.
  for (const bool Finished : {false, true}) {
    for (const uint64_t Seed : {3, 4, 5}) {
      auto Board = Crowded(5, 5, 8, Seed);
      Board->Finished = Finished;
      Ref::Board Mirror = ToReference(*Board);
      SearchDepth = 3;
      int32_t Alpha = INT_MIN, Beta = INT_MAX;
      TMove Answer(0, 0);
      int32_t Value = 0;
      const uint64_t Before = PlacementsSearched;
      Search(*Board, 1, Alpha, Beta, Answer, Value);

      Ref::Searcher Reference;
      Reference.Depth = 3;
      int RefAlpha = INT_MIN, RefBeta = INT_MAX, RefValue = 0;
      std::pair<int, int> RefAnswer{0, 0};
      Reference.Search(Mirror, 1, RefAlpha, RefBeta, RefAnswer, RefValue);
      const std::string Where = FormatPosition(*Board);
      QVERIFY2(std::make_pair(int(Answer.Row), int(Answer.Col)) == RefAnswer, Where.c_str());
      QVERIFY(IsLegal(*Board, Answer, 0));
      QCOMPARE(Value, RefValue);
      QCOMPARE(Alpha, RefAlpha);
      QCOMPARE(Beta, RefBeta);
      QCOMPARE(long(PlacementsSearched - Before), Reference.Nodes);
      QCOMPARE(Board->Finished, false);
      QVERIFY2(Difference(*Board, Mirror).empty(), Where.c_str());
    }
  }
  // A level that only evaluates writes its value and leaves the answer alone.
  auto Board = Parsed("5x5 a1 . . . . . b2 . . . . . . . . . . . . . . . . . .");
  Board->Finished = true;
  SearchDepth = 1;
  int32_t Alpha = 1, Beta = 2;
  TMove Answer(7, 7);
  int32_t Value = 0;
  Search(*Board, 1, Alpha, Beta, Answer, Value);
  QCOMPARE(Value, 2 * 6 - 10);
  QCOMPARE(Answer, TMove(7, 7));
  QCOMPARE(Alpha, 1);
  QCOMPARE(Beta, 2);
  QCOMPARE(SearchDepth, uint8_t(1));
  QCOMPARE(Board->Finished, false);
}

void TestSearch::stopBeforeSearch() {
  // A level entered after StopThinking leaves everything as it was.
  auto Board = Parsed("5x5 a1 . . . . . . . . . . . . . . . . . . . . . . . .");
  StopThinking();
  QCOMPARE(KeepThinking, false);
  int32_t Alpha = 5;
  int32_t Beta = 6;
  TMove Answer(7, 7);
  int32_t Value = 12345;
  Search(*Board, 0, Alpha, Beta, Answer, Value);
  QCOMPARE(Value, 12345);
  QCOMPARE(Answer, TMove(7, 7));
  QCOMPARE(Alpha, 5);
  QCOMPARE(Beta, 6);
  // The computer's move is still a legal one: the first candidate, not the
  // user's corner (0, 0) and not the (255, 255) start record.
  TRecordingProgress Progress;
  SetThinkProgress(&Progress);
  QCOMPARE(ComputerMove(*Board), TMove(0, 1));
  QCOMPARE(SearchDepth, uint8_t(1));
  QCOMPARE(Progress.Count("hide"), 1L);
  QCOMPARE(Progress.ProcessCount, 0L);
}

void TestSearch::stopDuringSearch_data() {
  QTest::addColumn<int>("StopAt");
  QTest::addColumn<int>("Row");
  QTest::addColumn<int>("Col");
  // User on (0, 0) of 5 x 5; candidates (0, 1), (0, 2), (0, 3), (0, 4), ...
  // The candidate whose messages are being processed when the stop comes
  // was searched in full and still counts.
  QTest::newRow("first") << 0 << 0 << 1;
  QTest::newRow("second") << 1 << 0 << 1;
  QTest::newRow("fourth") << 3 << 0 << 4;
  QTest::newRow("tenth") << 9 << 0 << 4;
}

void TestSearch::stopDuringSearch() {
  QFETCH(int, StopAt);
  QFETCH(int, Row);
  QFETCH(int, Col);
  auto Board = Parsed("5x5 a1 . . . . . . . . . . . . . . . . . . . . . . . .");
  TRecordingProgress Progress;
  Progress.StopAt = StopAt;
  SetThinkProgress(&Progress);
  QCOMPARE(ComputerMove(*Board), TMove(uint8_t(Row), uint8_t(Col)));
  // The level finishes its loop without searching any further.
  QCOMPARE(Progress.ProcessCount, 24L);
  QCOMPARE(SearchDepth, uint8_t(1));
  QVERIFY(!Progress.OutOfRange);
}

void TestSearch::stopDeep() {
  // Stops at many points inside three-level searches: the answer is always
  // legal for the computer, and equals the full search's answer when the
  // stop comes too late to matter.
  for (const int Size : {4, 6, 8}) {
    auto Board = Crowded(Size, Size, Size == 4 ? 10 : 8, uint64_t(Size));
    ResetSearchState();
    TRecordingProgress Full;
    SetThinkProgress(&Full);
    const TMove Best = ComputerMove(*Board);
    const long Total = Full.ProcessCount;
    for (const long StopAt : {0L, 1L, 2L, Total / 3, Total / 2, Total - 2, Total - 1}) {
      ResetSearchState();
      TRecordingProgress Progress;
      Progress.StopAt = StopAt;
      SetThinkProgress(&Progress);
      const TMove Answer = ComputerMove(*Board);
      QVERIFY2(IsLegal(*Board, Answer, 1), qPrintable(QString("size %1 stop %2").arg(Size).arg(StopAt)));
      QVERIFY(Answer.Row != 255);
      QCOMPARE(SearchDepth, uint8_t(1));
      QVERIFY(!Progress.OutOfRange);
      QVERIFY(Progress.ProcessCount <= Total);
      if (StopAt == Total - 1)
        QCOMPARE(Answer, Best);
    }
  }
}

void TestSearch::noMove() {
  auto Board = Parsed("2x3 a1 a1 a1 a1 a1 a1");
  QVERIFY(!Board->CanMove(1));
  QCOMPARE(ComputerMove(*Board), TMove(2, 0)); // the no-move marker
  QCOMPARE(SearchDepth, uint8_t(1));
}

void TestSearch::againstReference_data() {
  QTest::addColumn<int>("Rows");
  QTest::addColumn<int>("Cols");
  for (int R = 2; R <= 8; ++R)
    for (int C = 2; C <= 8; ++C)
      if (R <= C || (R + C) % 3 == 0)
        QTest::addRow("%dx%d", R, C) << R << C;
}

void TestSearch::againstReference() {
  // Deterministic random games: the user plays at random, the computer
  // alternates between its own answer and a random move so the games reach
  // many kinds of positions. At every computer turn the model's move and
  // the number of placements it searched must equal the reference's.
  QFETCH(int, Rows);
  QFETCH(int, Cols);
  Ref::Lcg Random(uint64_t(1000 + Rows * 10 + Cols));
  int Compared = 0;
  int Deep = 0;
  const int Games = Rows * Cols <= 16 ? 8 : Rows * Cols <= 36 ? 3 : 2;
  for (int Game = 0; Game < Games; ++Game) {
    TBord Board(nullptr, uint8_t(Rows), uint8_t(Cols));
    Ref::Board Mirror(Rows, Cols);
    int Player = 0;
    while (!Board.Finished && Board.CanMove(uint8_t(Player))) {
      TMove Move;
      if (Player == 1) {
        const uint64_t Before = PlacementsSearched;
        Move = ComputerMove(Board);
        Ref::Searcher Reference;
        Ref::Board Probe = Mirror;
        const auto Expected = Reference.ComputerMove(Probe);
        const std::string Where = FormatPosition(Board);
        QVERIFY2(std::make_pair(int(Move.Row), int(Move.Col)) == Expected, Where.c_str());
        QVERIFY2(long(PlacementsSearched - Before) == Reference.Nodes, Where.c_str());
        QCOMPARE(SearchDepth, uint8_t(1));
        ++Compared;
        Deep += Mirror.Empty() < 20 || Reference.Gauge2Expansions > 0;
        if (Random.Below(2) == 0) {
          const TMoveList Moves = Board.GenerateMoves(1);
          Move = Moves[std::size_t(Random.Below(int(Moves.size())))];
        }
      } else {
        const TMoveList Moves = Board.GenerateMoves(0);
        Move = Moves[std::size_t(Random.Below(int(Moves.size())))];
      }
      QVERIFY(IsLegal(Board, Move, uint8_t(Player)));
      Board.GetCell(Move.Row, Move.Col)->AddMass(uint8_t(Player), false);
      Mirror.Add(Move.Row, Move.Col, Player);
      QVERIFY2(Difference(Board, Mirror).empty(), Difference(Board, Mirror).c_str());
      Player = 1 - Player;
    }
  }
  QVERIFY(Compared > 0);
  QVERIFY(Deep > 0);
}

QTEST_APPLESS_MAIN(TestSearch)
#include "tst_search.moc"
