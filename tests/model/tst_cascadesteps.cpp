// SPDX-License-Identifier: GPL-3.0-or-later
// A placement's recorded steps against the plain rules: the same changes and
// explosions in the same order, and pictures and scores that follow the
// cascade step by step.

#include "CascadeSteps.h"
#include "ReferenceRules.h"

#include <QtTest>

namespace {

// Owner and mass shown by picture Index on a cell of Capacity.
std::pair<int, int> Shown(int Index, int Capacity) {
  static constexpr int ImageBase[5] = {0, 0, 0, 2, 5};
  if (Index >= 18)
    return {NoOwner, 0};
  const int Owner = Index / 9;
  return {Owner, Index % 9 - ImageBase[Capacity] + 1};
}

} // namespace

class TestCascadeSteps : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void stepsFollowTheRules() {
    int Explosions = 0;
    for (int Size = 2; Size <= 8; ++Size) {
      Ref::Lcg Random(uint64_t(Size) * 31);
      for (int Game = 0; Game < 6; ++Game) {
        TBord Board(nullptr, uint8_t(Size), uint8_t(Size + Game % 2 - (Size == 8)));
        Ref::Board Expected(Board.Rows, Board.Cols);
        for (int Player = 0; Expected.CanMove(Player) && !Expected.Finished; Player = 1 - Player) {
          const auto Moves = Expected.Moves(Player);
          const auto [Row, Col] = Moves[std::size_t(Random.Below(int(Moves.size())))];
          // What the window shows before the placement.
          std::vector<int> Pictures;
          for (int I = 0; I < Board.Rows * Board.Cols; ++I)
            Pictures.push_back(Board.Cell(I / Board.Cols, I % Board.Cols)->CellImageIndex());
          std::vector<Ref::Event> Log;
          Expected.Add(Row, Col, Player, &Log);
          const TCascadeSteps Steps =
              PlaceRecorded(Board, uint8_t(Row), uint8_t(Col), uint8_t(Player));
          QCOMPARE(Steps.size(), Log.size());
          for (std::size_t K = 0; K < Steps.size(); ++K) {
            const TCascadeStep& Step = Steps[K];
            QCOMPARE(Step.Kind == TCascadeStep::Explosion ? 'E' : 'I', Log[K].Kind);
            QCOMPARE(std::pair(int(Step.Row), int(Step.Col)), std::pair(Log[K].Row, Log[K].Col));
            int& Picture = Pictures[std::size_t(Step.Row * Board.Cols + Step.Col)];
            if (Step.Kind == TCascadeStep::Change) {
              Picture = Step.Picture;
              continue;
            }
            // An explosion shows the full cell, as last drawn.
            ++Explosions;
            QCOMPARE(int(Step.Picture), Picture);
            // Its score is what the pictures on screen add up to.
            std::array<int, 3> Score{};
            for (int I = 0; I < Board.Rows * Board.Cols; ++I) {
              const auto [Owner, Mass] = Shown(
                  Pictures[std::size_t(I)], Board.Cell(I / Board.Cols, I % Board.Cols)->Capacity);
              Score[std::size_t(Owner)] += Mass;
            }
            QCOMPARE(Step.Score, (std::array<int, 2>{Score[0], Score[1]}));
          }
          // The board is final, and the last picture of every cell is its own.
          for (int I = 0; I < Board.Rows * Board.Cols; ++I)
            QCOMPARE(Pictures[std::size_t(I)],
                     Board.Cell(I / Board.Cols, I % Board.Cols)->CellImageIndex());
        }
      }
    }
    QVERIFY(Explosions > 1000);
  }
};

QTEST_APPLESS_MAIN(TestCascadeSteps)
#include "tst_cascadesteps.moc"
