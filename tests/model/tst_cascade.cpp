#include "DataStructures.h"
#include "ModelTestSupport.h"
#include "PositionText.h"

#include <QtTest>

namespace {

std::unique_ptr<TBord> Parsed(const char* Text, TBordView* View = nullptr) {
  std::unique_ptr<TBord> Board;
  std::string Error;
  if (!ParsePosition(Text, Board, Error))
    qFatal("bad test position %s: %s", Text, Error.c_str());
  Board->View = View;
  return Board;
}

} // namespace

class TestCascade : public QObject {
  Q_OBJECT

private slots:
  void placements_data();
  void placements();
  void cornerOrder();
  void depthFirst();
  void guard();
  void finishedBoard();
  void againstReference_data();
  void againstReference();
};

void TestCascade::placements_data() {
  QTest::addColumn<QString>("Before");
  QTest::addColumn<int>("Player");
  QTest::addColumn<int>("Row");
  QTest::addColumn<int>("Col");
  QTest::addColumn<QString>("After");
  QTest::addColumn<bool>("Finished");
  QTest::newRow("first corner mass") << "3x3 . . . . . . . . ." << 0 << 0 << 0
                                     << "3x3 a1 . . . . . . . ." << false;
  QTest::newRow("own corner explodes") << "3x3 a1 . . . . . . . ." << 0 << 0 << 0
                                       << "3x3 . a1 . a1 . . . . ." << false;
  QTest::newRow("conversion chain") << "3x3 a1 b1 . . . . . . ." << 0 << 0 << 0
                                    << "3x3 . a2 . a1 . . . . ." << false;
  QTest::newRow("converts opponent one below capacity")
      << "3x4 . a2 . . . b3 . . . . . ." << 0 << 0 << 1 << "3x4 a1 a1 a1 . a1 . a1 . . a1 . ."
      << false;
  QTest::newRow("not full keeps Finished clear") << "4x4 . . . . . b2 . . . . . . . . . ." << 1
                                                 << 1 << 1 << "4x4 . . . . . b3 . . . . . . . . . ."
                                                 << false;
  QTest::newRow("2x2 never settles") << "2x2 a1 a1 a1 a1" << 0 << 0 << 0 << "2x2 a2 a1 a1 a1"
                                     << true;
}

void TestCascade::placements() {
  QFETCH(QString, Before);
  QFETCH(int, Player);
  QFETCH(int, Row);
  QFETCH(int, Col);
  QFETCH(QString, After);
  QFETCH(bool, Finished);
  for (const bool Animate : {false, true}) {
    TRecordingView View;
    auto Board = Parsed(Before.toLatin1().constData(), &View);
    View.Board = Board.get();
    Board->GetCell(uint8_t(Row), uint8_t(Col))->AddMass(uint8_t(Player), Animate);
    QCOMPARE(QString::fromStdString(FormatPosition(*Board)), After);
    QCOMPARE(Board->Finished, Finished);
    QCOMPARE(View.Log.empty(), !Animate);
    for (uint8_t R = 0; R < Board->Rows; ++R)
      for (uint8_t C = 0; C < Board->Cols; ++C)
        QCOMPARE(Board->GetCell(R, C)->Nesting, uint8_t(0));
  }
}

void TestCascade::cornerOrder() {
  TRecordingView View;
  TBord Board(&View, 5, 5);
  View.Board = &Board;
  Board.GetCell(0, 0)->AddMass(0, true);
  QCOMPARE(View.Events(), (std::vector<Ref::Event>{{'I', 0, 0}}));
  QCOMPARE(View.Log[0].ImageIndex, 0);
  View.Log.clear();

  Board.GetCell(0, 0)->AddMass(0, true);
  const std::vector<Ref::Event> Expected = {
      {'I', 0, 0}, {'E', 0, 0}, {'I', 0, 0}, {'I', 0, 1}, {'I', 1, 0}};
  QCOMPARE(View.Events(), Expected);
  QCOMPARE(View.Log[0].ImageIndex, 1);  // full corner while it waits to explode
  QCOMPARE(View.Log[1].ImageIndex, 1);  // still full during the explosion
  QCOMPARE(View.Log[2].ImageIndex, 18); // empty afterwards
  QCOMPARE(View.Log[3].ImageIndex, 2);
  QCOMPARE(View.Log[4].ImageIndex, 2);
  QCOMPARE(Board.CountMasses(), (std::array<int, 3>{2, 0, 0}));
}

void TestCascade::depthFirst() {
  // (1, 1) explodes left, right, up, down; its left neighbour (1, 0) is full
  // and its whole cascade is drawn before (1, 2) receives a mass.
  TRecordingView View;
  auto Board = Parsed("4x4 . . . . b2 b3 . . . . . . . . . .", &View);
  View.Board = Board.get();
  Board->GetCell(1, 1)->AddMass(1, true);
  const std::vector<Ref::Event> Expected = {
      {'I', 1, 1}, {'E', 1, 1}, {'I', 1, 1},                           // (1, 1)
      {'I', 1, 0}, {'E', 1, 0}, {'I', 1, 0},                           // left, full
      {'I', 1, 1}, {'I', 0, 0}, {'I', 2, 0},                           // its cascade
      {'I', 1, 2}, {'I', 0, 1}, {'I', 2, 1}};                          // then the rest
  QCOMPARE(View.Events(), Expected);
  QCOMPARE(QString::fromStdString(FormatPosition(*Board)),
           QString("4x4 b1 b1 . . . b1 b1 . b1 b1 . . . . . ."));
  QCOMPARE(Board->Finished, false);
}

void TestCascade::guard() {
  TRecordingView View;
  auto Board = Parsed("2x2 b1 b1 b1 b1", &View);
  View.Board = Board.get();
  Board->GetCell(0, 0)->AddMass(1, true);
  QVERIFY(Board->Finished);
  QCOMPARE(Board->GetCell(0, 0)->Mass, uint8_t(2));
  QVERIFY(Board->GetCell(0, 0)->IsFull());
  QCOMPARE(Board->CountMasses(), (std::array<int, 3>{0, 5, 0}));
  for (uint8_t R = 0; R < 2; ++R)
    for (uint8_t C = 0; C < 2; ++C) {
      QCOMPARE(Board->GetCell(R, C)->Owner, uint8_t(1));
      QCOMPARE(Board->GetCell(R, C)->Nesting, uint8_t(0));
    }
  // The recorded cascade is exactly the reference's, the stop included.
  Ref::Board Expected(2, 2);
  std::fill(Expected.Mass.begin(), Expected.Mass.end(), 1);
  std::fill(Expected.Owner.begin(), Expected.Owner.end(), 1);
  std::vector<Ref::Event> Log;
  Expected.Add(0, 0, 1, &Log);
  QCOMPARE(View.Events(), Log);
}

void TestCascade::finishedBoard() {
  auto Board = Parsed("3x3 a1 . . . . . . . .");
  Board->Finished = true;
  Board->GetCell(0, 0)->AddMass(0, false);
  QCOMPARE(Board->GetCell(0, 0)->Mass, uint8_t(2));
  Board->GetCell(0, 0)->AddMass(1, false);
  QCOMPARE(Board->GetCell(0, 0)->Mass, uint8_t(3));
  QCOMPARE(Board->GetCell(0, 0)->Owner, uint8_t(1));
  QCOMPARE(Board->EmptyCount(), 8);
  QVERIFY(Board->Finished);
}

void TestCascade::againstReference_data() {
  QTest::addColumn<int>("Rows");
  QTest::addColumn<int>("Cols");
  for (int R = 2; R <= 8; ++R)
    for (int C = 2; C <= 8; ++C)
      QTest::addRow("%dx%d", R, C) << R << C;
}

void TestCascade::againstReference() {
  // Random legal play, many games per size; every placement is made animated
  // on one board and silently on another, and both must equal the reference
  // (the animated one in its notifications too).
  QFETCH(int, Rows);
  QFETCH(int, Cols);
  Ref::Lcg Random(uint64_t(Rows * 16 + Cols));
  TRecordingView View;
  TBord Shown(&View, uint8_t(Rows), uint8_t(Cols));
  TBord Silent(nullptr, uint8_t(Rows), uint8_t(Cols));
  View.Board = &Shown;
  int Placements = 0;
  int Stopped = 0;
  for (int Game = 0; Game < 12; ++Game) {
    Ref::Board Expected(Rows, Cols);
    Shown.Reset();
    Silent.Reset();
    int Player = 0;
    while (!Expected.Finished && Expected.CanMove(Player)) {
      const auto Moves = Expected.Moves(Player);
      const auto [R, C] = Moves[std::size_t(Random.Below(int(Moves.size())))];
      std::vector<Ref::Event> Log;
      Expected.Add(R, C, Player, &Log);
      View.Log.clear();
      Shown.GetCell(uint8_t(R), uint8_t(C))->AddMass(uint8_t(Player), true);
      Silent.GetCell(uint8_t(R), uint8_t(C))->AddMass(uint8_t(Player), false);
      const std::string Where = "game " + std::to_string(Game) + " placement " +
                                std::to_string(Placements) + ": ";
      QVERIFY2(Difference(Shown, Expected).empty(), (Where + Difference(Shown, Expected)).c_str());
      QVERIFY2(Difference(Silent, Expected).empty(), (Where + Difference(Silent, Expected)).c_str());
      QVERIFY2(View.Events() == Log, (Where + "notifications differ").c_str());
      ++Placements;
      Player = 1 - Player;
    }
    Stopped += Expected.Finished;
  }
  QVERIFY(Placements > 12);
  if (Rows * Cols <= 9)
    QVERIFY2(Stopped > 0, "small boards should reach the guard");
}

QTEST_APPLESS_MAIN(TestCascade)
#include "tst_cascade.moc"
