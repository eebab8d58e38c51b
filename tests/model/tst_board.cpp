#include "DataStructures.h"
#include "ModelTestSupport.h"
#include "PositionText.h"

#include <QtTest>

class TestBoard : public QObject {
  Q_OBJECT

private slots:
  void capacities_data();
  void capacities();
  void neighbours();
  void clamping();
  void copies();
  void restoreAndEvaluate_data();
  void restoreAndEvaluate();
  void queries();
  void moveList();
  void imageIndex_data();
  void imageIndex();
  void overfullPicture();
  void reset();
  void positionText_data();
  void positionText();
  void positionErrors_data();
  void positionErrors();
};

void TestBoard::capacities_data() {
  QTest::addColumn<int>("Rows");
  QTest::addColumn<int>("Cols");
  for (int R = 2; R <= 8; ++R)
    for (int C = 2; C <= 8; ++C)
      QTest::addRow("%dx%d", R, C) << R << C;
}

void TestBoard::capacities() {
  QFETCH(int, Rows);
  QFETCH(int, Cols);
  TBord Board(nullptr, uint8_t(Rows), uint8_t(Cols));
  int Corners = 0;
  int Edges = 0;
  int Inner = 0;
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C) {
      const TCell* Cell = Board.GetCell(uint8_t(R), uint8_t(C));
      QVERIFY(Cell);
      QCOMPARE(Cell->Board, &Board);
      QCOMPARE(int(Cell->Capacity), Ref::Board(Rows, Cols).Capacity(R, C));
      QCOMPARE(Cell->Owner, NoOwner);
      QCOMPARE(Cell->Mass, uint8_t(0));
      Corners += Cell->Capacity == 2;
      Edges += Cell->Capacity == 3;
      Inner += Cell->Capacity == 4;
    }
  QCOMPARE(Corners, 4);
  QCOMPARE(Edges, 2 * (Rows - 2) + 2 * (Cols - 2));
  QCOMPARE(Inner, (Rows - 2) * (Cols - 2));
  // The frame around the board holds no cells.
  for (int I = -1; I <= 8; ++I) {
    QVERIFY(!Board.Cell(-1, I));
    QVERIFY(!Board.Cell(I, -1));
    QVERIFY(!Board.Cell(Rows, std::min(I, Cols - 1)));
    QVERIFY(!Board.Cell(std::min(I, Rows - 1), Cols));
  }
  QVERIFY(!Board.GetCell(uint8_t(Rows), 0));
  QVERIFY(!Board.GetCell(0, uint8_t(Cols)));
  QVERIFY(!Board.GetCell(255, 255));
  QCOMPARE(Board.Finished, false);
}

void TestBoard::neighbours() {
  TBord Board(nullptr, 5, 8);
  const TCell* Cell = Board.GetCell(4, 7);
  QCOMPARE(Cell->Neighbours[0], Board.GetCell(4, 6));
  QCOMPARE(Cell->Neighbours[1], nullptr);
  QCOMPARE(Cell->Neighbours[2], Board.GetCell(3, 7));
  QCOMPARE(Cell->Neighbours[3], nullptr);
  QCOMPARE(Cell->Capacity, uint8_t(2));

  const TCell* Inner = Board.GetCell(2, 3);
  QCOMPARE(Inner->Neighbours[0], Board.GetCell(2, 2));
  QCOMPARE(Inner->Neighbours[1], Board.GetCell(2, 4));
  QCOMPARE(Inner->Neighbours[2], Board.GetCell(1, 3));
  QCOMPARE(Inner->Neighbours[3], Board.GetCell(3, 3));

  TBord Four(nullptr, 4, 4);
  const int Expected[4][4] = {{2, 3, 3, 2}, {3, 4, 4, 3}, {3, 4, 4, 3}, {2, 3, 3, 2}};
  for (uint8_t R = 0; R < 4; ++R)
    for (uint8_t C = 0; C < 4; ++C)
      QCOMPARE(int(Four.GetCell(R, C)->Capacity), Expected[R][C]);
}

void TestBoard::clamping() {
  TBord Board(nullptr, 9, 12);
  QCOMPARE(Board.Rows, uint8_t(8));
  QCOMPARE(Board.Cols, uint8_t(8));
  QVERIFY(Board.GetCell(7, 7));
  QCOMPARE(Board.EmptyCount(), 64);
  TBord Huge(nullptr, 255, 255);
  QCOMPARE(Huge.Rows, uint8_t(8));
  QCOMPARE(Huge.Cols, uint8_t(8));
}

void TestBoard::copies() {
  TRecordingView View;
  TBord Source(&View, 4, 5);
  Source.GetCell(0, 0)->AddMass(0, false);
  Source.GetCell(1, 2)->AddMass(1, false);
  Source.GetCell(1, 2)->AddMass(1, false);
  Source.GetCell(3, 4)->AddMass(0, false);
  Source.GetCell(2, 2)->Nesting = 3; // a copy never inherits a running cascade
  Source.Finished = true;

  auto Copy = TBord::CreateCopy(Source);
  QCOMPARE(Copy->Rows, Source.Rows);
  QCOMPARE(Copy->Cols, Source.Cols);
  QCOMPARE(Copy->View, &View);
  QCOMPARE(Copy->Finished, true);
  for (uint8_t R = 0; R < 4; ++R)
    for (uint8_t C = 0; C < 5; ++C) {
      const TCell* Mine = Copy->GetCell(R, C);
      const TCell* Theirs = Source.GetCell(R, C);
      QVERIFY(Mine != Theirs);
      QCOMPARE(Mine->Board, Copy.get());
      QCOMPARE(Mine->Mass, Theirs->Mass);
      QCOMPARE(Mine->Owner, Theirs->Owner);
      QCOMPARE(Mine->Capacity, Theirs->Capacity);
      QCOMPARE(Mine->Nesting, uint8_t(0));
      for (int K = 0; K < 4; ++K)
        if (Mine->Neighbours[K])
          QCOMPARE(Mine->Neighbours[K]->Board, Copy.get());
    }
  // Changing the copy leaves the source alone.
  Copy->Finished = false;
  Copy->GetCell(0, 0)->AddMass(0, false);
  QCOMPARE(Source.GetCell(0, 0)->Mass, uint8_t(1));
  QCOMPARE(Source.GetCell(0, 1)->Owner, NoOwner);
  QCOMPARE(Copy->GetCell(0, 1)->Owner, uint8_t(0));

  // CopyFrom across dimensions rebuilds the cells and their links.
  TBord Other(nullptr, 8, 8);
  Other.GetCell(7, 7)->AddMass(1, false);
  Other.CopyFrom(Source);
  QCOMPARE(Other.Rows, uint8_t(4));
  QCOMPARE(Other.Cols, uint8_t(5));
  QCOMPARE(Other.View, &View);
  QVERIFY(!Other.GetCell(7, 7));
  QVERIFY(!Other.Cell(4, 0));
  QCOMPARE(Other.GetCell(3, 4)->Capacity, uint8_t(2));
  QCOMPARE(Other.GetCell(3, 4)->Neighbours[1], nullptr);
  QCOMPARE(Other.CountMasses(), Source.CountMasses());
  Other.CopyFrom(Other);
  QCOMPARE(Other.CountMasses(), Source.CountMasses());
}

void TestBoard::restoreAndEvaluate_data() {
  QTest::addColumn<int>("Rows");
  QTest::addColumn<int>("Cols");
  for (int R = 2; R <= 8; ++R)
    for (int C = 2; C <= 8; ++C)
      QTest::addRow("%dx%d", R, C) << R << C;
}

void TestBoard::restoreAndEvaluate() {
  // The search's copy: one full CopyFrom, then RestoreFrom after silent
  // placements. After each placement EvaluateFrom must equal Evaluate and the
  // reference's evaluation of the same position, and RestoreFrom must give
  // back the source exactly. Sources come from random play, finished ones
  // (stopped cascades, whose copies only pile up masses) included.
  QFETCH(int, Rows);
  QFETCH(int, Cols);
  Ref::Lcg Random(uint64_t(7000 + Rows * 10 + Cols));
  TBord Source(nullptr, uint8_t(Rows), uint8_t(Cols));
  TBord Copy(nullptr, 8, 8);
  int Checked = 0;
  int FinishedSources = 0;
  for (int Game = 0; Game < 6; ++Game) {
    Source.Reset();
    int Player = 0;
    while (Source.CanMove(uint8_t(Player)) && Checked < 4000) {
      const int32_t SourceValue = Source.Evaluate();
      QCOMPARE(SourceValue, ToReference(Source).Evaluate());
      FinishedSources += Source.Finished;
      Copy.CopyFrom(Source);
      for (int Trial = 0; Trial < 6; ++Trial) {
        // One placement, sometimes two before the copy is restored.
        const int Placements = 1 + (Random.Below(4) == 0);
        Ref::Board Expected = ToReference(Source);
        for (int P = 0; P < Placements; ++P) {
          const uint8_t Mover = uint8_t(Random.Below(2));
          const TMoveList Moves = Copy.GenerateMoves(Mover);
          if (Moves.empty())
            break;
          const TMove Move = Moves[std::size_t(Random.Below(int(Moves.size())))];
          Copy.GetCell(Move.Row, Move.Col)->AddMass(Mover, false);
          Expected.Add(Move.Row, Move.Col, Mover);
        }
        QVERIFY2(Difference(Copy, Expected).empty(), Difference(Copy, Expected).c_str());
        QCOMPARE(Copy.EvaluateFrom(Source, SourceValue), Copy.Evaluate());
        QCOMPARE(Copy.Evaluate(), Expected.Evaluate());
        Copy.Finished = !Copy.Finished; // as a search level ends its board
        Copy.RestoreFrom(Source);
        QVERIFY2(Difference(Copy, ToReference(Source)).empty(),
                 Difference(Copy, ToReference(Source)).c_str());
        ++Checked;
      }
      // The game goes on on the source; a finished source stays finished for
      // a few placements, as a searched copy of a stopped cascade would.
      const TMoveList Moves = Source.GenerateMoves(uint8_t(Player));
      const TMove Move = Moves[std::size_t(Random.Below(int(Moves.size())))];
      Source.GetCell(Move.Row, Move.Col)->AddMass(uint8_t(Player), false);
      if (Source.Finished && Random.Below(3) == 0)
        break;
      Player = 1 - Player;
    }
  }
  QVERIFY(Checked > 100);
  if (Rows * Cols <= 9)
    QVERIFY(FinishedSources > 0);

  // From a board of other dimensions the copy is rebuilt and copied in full.
  TBord Small(nullptr, uint8_t(Rows == 8 ? 7 : Rows + 1), 3);
  Small.GetCell(1, 1)->AddMass(1, false);
  Copy.RestoreFrom(Small);
  QCOMPARE(Copy.Rows, Small.Rows);
  QCOMPARE(FormatPosition(Copy), FormatPosition(Small));
  QCOMPARE(Copy.EvaluateFrom(Small, Small.Evaluate()), 6);
}

void TestBoard::queries() {
  TBord Board(nullptr, 5, 5);
  QCOMPARE(Board.CountMasses(), (std::array<int, 3>{0, 0, 0}));
  QVERIFY(Board.CanMove(0));
  QVERIFY(Board.CanMove(1));
  QCOMPARE(Board.EmptyCount(), 25);
  QCOMPARE(Board.Evaluate(), 0);
  Board.GetCell(2, 2)->AddMass(0, false);
  QCOMPARE(Board.CountMasses(), (std::array<int, 3>{1, 0, 0}));
  QCOMPARE(Board.GetCell(2, 2)->MassVector(), (std::array<int, 3>{1, 0, 0}));
  QCOMPARE(Board.GetCell(0, 0)->MassVector(), (std::array<int, 3>{0, 0, 0}));
  QCOMPARE(Board.Evaluate(), -6);
  Board.GetCell(0, 0)->AddMass(1, false);
  Board.GetCell(0, 2)->AddMass(1, false);
  Board.GetCell(0, 2)->AddMass(1, false);
  QCOMPARE(Board.Evaluate(), -6 + 10 + 16);
  QCOMPARE(Board.CountMasses(), (std::array<int, 3>{1, 3, 0}));
  QCOMPARE(Board.EmptyCount(), 22);

  uint8_t Row = 9;
  uint8_t Col = 9;
  Board.FindCell(Board.GetCell(3, 4), Row, Col);
  QCOMPARE(Row, uint8_t(3));
  QCOMPARE(Col, uint8_t(4));
  TBord Other(nullptr, 5, 5);
  Board.FindCell(Other.GetCell(4, 4), Row, Col);
  QCOMPARE(Row, uint8_t(0));
  QCOMPARE(Col, uint8_t(0));

  // CanMove turns false only when every single cell is the other player's.
  TBord Small(nullptr, 2, 3);
  for (uint8_t R = 0; R < 2; ++R)
    for (uint8_t C = 0; C < 3; ++C) {
      Small.GetCell(R, C)->Owner = 1;
      Small.GetCell(R, C)->Mass = 1;
    }
  QVERIFY(!Small.CanMove(0));
  QVERIFY(Small.CanMove(1));
  QVERIFY(Small.GenerateMoves(0).empty());
  Small.GetCell(1, 2)->Clear();
  QVERIFY(Small.CanMove(0));
  QCOMPARE(Small.GenerateMoves(0).size(), std::size_t(1));
  QCOMPARE(Small.GenerateMoves(0)[0], TMove(1, 2));
  QCOMPARE(Small.GenerateMoves(1).size(), std::size_t(6));
}

void TestBoard::moveList() {
  TBord Board(nullptr, 3, 3);
  Board.GetCell(0, 1)->AddMass(0, false);
  Board.GetCell(1, 1)->AddMass(1, false);
  const TMoveList Moves = Board.GenerateMoves(1);
  std::vector<TMove> Seen(Moves.begin(), Moves.end());
  const std::vector<TMove> Expected = {{0, 0}, {0, 2}, {1, 0}, {1, 1}, {1, 2},
                                       {2, 0}, {2, 1}, {2, 2}};
  QCOMPARE(Seen, Expected);
  TMove Copy;
  Copy.Assign(Moves[3]);
  QCOMPARE(Copy, TMove(1, 1));

  TMoveList Full;
  for (int I = 0; I < 70; ++I)
    Full.Add(TMove(uint8_t(I / 8), uint8_t(I % 8)));
  QCOMPARE(Full.size(), TMoveList::Capacity);
  QCOMPARE(TBord(nullptr, 8, 8).GenerateMoves(0).size(), std::size_t(64));
}

void TestBoard::imageIndex_data() {
  QTest::addColumn<int>("Row");
  QTest::addColumn<int>("Col");
  QTest::addColumn<int>("Owner");
  QTest::addColumn<int>("Mass");
  QTest::addColumn<int>("Index");
  // The cell's capacity comes from its place on a 5 x 5 board.
  QTest::newRow("empty corner") << 0 << 0 << 2 << 0 << 18;
  QTest::newRow("empty edge") << 0 << 2 << 2 << 0 << 19;
  QTest::newRow("empty inner") << 2 << 2 << 2 << 0 << 20;
  const int Base[5] = {0, 0, 0, 2, 5};
  const int Places[3][2] = {{0, 0}, {0, 2}, {2, 2}};
  for (int Owner = 0; Owner < 2; ++Owner)
    for (const auto& Place : Places) {
      const int Cap = Ref::Board(5, 5).Capacity(Place[0], Place[1]);
      for (int Mass = 1; Mass <= Cap; ++Mass)
        QTest::addRow("owner %d cap %d mass %d", Owner, Cap, Mass)
            << Place[0] << Place[1] << Owner << Mass << Base[Cap] + Mass - 1 + 9 * Owner;
    }
  QTest::newRow("opponent corner 1") << 4 << 4 << 1 << 1 << 9;
  QTest::newRow("local edge 2") << 4 << 1 << 0 << 2 << 3;
}

void TestBoard::imageIndex() {
  QFETCH(int, Row);
  QFETCH(int, Col);
  QFETCH(int, Owner);
  QFETCH(int, Mass);
  QFETCH(int, Index);
  TBord Board(nullptr, 5, 5);
  TCell* Cell = Board.GetCell(uint8_t(Row), uint8_t(Col));
  Cell->Owner = uint8_t(Owner);
  Cell->Mass = uint8_t(Mass);
  QCOMPARE(Cell->CellImageIndex(), Index);
}

void TestBoard::overfullPicture() {
  // After a stopped cascade a cell may hold more than its capacity; it is
  // drawn with the full picture of that capacity.
  TBord Board(nullptr, 2, 2);
  for (uint8_t R = 0; R < 2; ++R)
    for (uint8_t C = 0; C < 2; ++C)
      Board.GetCell(R, C)->AddMass(1, false);
  Board.GetCell(0, 0)->AddMass(1, false);
  QVERIFY(Board.Finished);
  for (int Extra = 0; Extra < 300; ++Extra)
    Board.GetCell(0, 0)->AddMass(1, false);
  const TCell* Cell = Board.GetCell(0, 0);
  QCOMPARE(Cell->Mass, uint8_t(255)); // saturates instead of wrapping to "empty"
  QCOMPARE(Cell->Owner, uint8_t(1));
  QCOMPARE(Cell->CellImageIndex(), 10);
  TCell Loose;
  Loose.Owner = 7;
  QVERIFY(Loose.CellImageIndex() >= 0 && Loose.CellImageIndex() < CellImageCount);
  Loose.Owner = 0;
  Loose.Mass = 9;
  QVERIFY(Loose.CellImageIndex() >= 0 && Loose.CellImageIndex() < CellImageCount);
}

void TestBoard::reset() {
  TRecordingView View;
  TBord Board(&View, 3, 4);
  View.Board = &Board;
  Board.GetCell(1, 1)->AddMass(0, false);
  Board.GetCell(2, 3)->AddMass(1, false);
  Board.Finished = true;
  QVERIFY(View.Log.empty());
  Board.Reset();
  QCOMPARE(Board.Finished, false);
  QCOMPARE(View.Log.size(), std::size_t(12));
  for (int I = 0; I < 12; ++I) {
    QCOMPARE(View.Log[I].Event, (Ref::Event{'I', I / 4, I % 4}));
    QVERIFY(View.Log[I].ImageIndex >= 18); // already cleared when painted
  }
  QCOMPARE(Board.EmptyCount(), 12);
}

void TestBoard::positionText_data() {
  QTest::addColumn<QString>("Text");
  QTest::newRow("example") << "4x4 a1 . b2 . . . . . . . . . . . . .";
  QTest::newRow("small") << "2x2 . b1 a1 .";
  QTest::newRow("wide") << "2x8 a1 a2 a2 a2 a2 a2 a2 b1 . . . . . . . .";
  QTest::newRow("inner") << "3x3 . . . . b3 . . . .";
}

void TestBoard::positionText() {
  QFETCH(QString, Text);
  std::unique_ptr<TBord> Board;
  std::string Error;
  QVERIFY2(ParsePosition(Text.toStdString(), Board, Error), Error.c_str());
  QVERIFY(Board);
  QCOMPARE(Board->View, nullptr);
  QCOMPARE(Board->Finished, false);
  QCOMPARE(QString::fromStdString(FormatPosition(*Board)), Text);
  // Extra blanks are accepted.
  std::unique_ptr<TBord> Spaced;
  QVERIFY(ParsePosition("  " + Text.replace(" ", "   \t").toStdString() + " ", Spaced, Error));
  QCOMPARE(FormatPosition(*Spaced), FormatPosition(*Board));
}

void TestBoard::positionErrors_data() {
  QTest::addColumn<QString>("Text");
  QTest::addColumn<QString>("Problem");
  QTest::newRow("empty") << "" << "empty";
  QTest::newRow("no size") << "a1 . . ." << "board size";
  QTest::newRow("one row") << "1x4 . . . ." << "outside 2..8";
  QTest::newRow("nine") << "9x2 . . . . . . . . . . . . . . . . . ." << "outside 2..8";
  QTest::newRow("ten") << "10x4" << "outside 2..8";
  QTest::newRow("too few") << "2x2 . . ." << "expected 4 cells, found 3";
  QTest::newRow("too many") << "2x2 . . . . ." << "expected 4 cells, found 5";
  QTest::newRow("token") << "2x2 . c1 . ." << "unknown cell token \"c1\" at (0, 1)";
  QTest::newRow("two digits") << "3x3 . . . . a10 . . . ." << "unknown cell token";
  QTest::newRow("zero") << "2x2 a0 . . ." << "without mass";
  QTest::newRow("full corner") << "2x2 . . . b2" << "not below the capacity 2 at (1, 1)";
  QTest::newRow("full inner") << "3x3 . . . . a4 . . . ." << "not below the capacity 4";
}

void TestBoard::positionErrors() {
  QFETCH(QString, Text);
  QFETCH(QString, Problem);
  std::unique_ptr<TBord> Board;
  std::string Error;
  QVERIFY(!ParsePosition(Text.toStdString(), Board, Error));
  QVERIFY(!Board);
  QVERIFY2(QString::fromStdString(Error).contains(Problem), Error.c_str());
}

QTEST_APPLESS_MAIN(TestBoard)
#include "tst_board.moc"
