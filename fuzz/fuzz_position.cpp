// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the engine tool's position parser: the input is one
// position line. It must give a clear error and leave the caller's board
// alone, or a board of 2..8 rows and columns between moves (every cell
// empty, or owned with a mass below its capacity) whose text parses back to
// the same board. Anything else aborts.

#include "FuzzRules.h"
#include "PositionText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace {

int NeighbourCount(const TBord& Board, int Row, int Col) {
  return (Row > 0) + (Row + 1 < Board.Rows) + (Col > 0) + (Col + 1 < Board.Cols);
}

void CheckBoard(const TBord& Board) {
  Require(Board.Rows >= 2 && Board.Rows <= MaxDimension, "rows outside 2..8");
  Require(Board.Cols >= 2 && Board.Cols <= MaxDimension, "columns outside 2..8");
  Require(Board.View == nullptr, "parsed board has a view");
  Require(!Board.Finished, "parsed board is finished");
  for (int Row = 0; Row < Board.Rows; ++Row)
    for (int Col = 0; Col < Board.Cols; ++Col) {
      const TCell* Cell = Board.GetCell(uint8_t(Row), uint8_t(Col));
      Require(Cell != nullptr, "cell missing");
      Require(Cell->Owner <= NoOwner, "owner outside 0..2");
      Require((Cell->Owner == NoOwner) == (Cell->Mass == 0), "owner and mass disagree");
      Require(Cell->Capacity == NeighbourCount(Board, Row, Col), "wrong capacity");
      Require(Cell->Mass < Cell->Capacity, "mass not below capacity");
      Require(Cell->Nesting == 0, "cell left nesting");
    }
}

bool SameBoard(const TBord& A, const TBord& B) {
  if (A.Rows != B.Rows || A.Cols != B.Cols)
    return false;
  for (uint8_t Row = 0; Row < A.Rows; ++Row)
    for (uint8_t Col = 0; Col < A.Cols; ++Col) {
      const TCell& X = *A.GetCell(Row, Col);
      const TCell& Y = *B.GetCell(Row, Col);
      if (X.Owner != Y.Owner || X.Mass != Y.Mass)
        return false;
    }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
  auto Board = std::make_unique<TBord>(nullptr, 3, 3);
  const TBord* Before = Board.get();
  std::string Error;
  if (!ParsePosition(Text, Board, Error)) {
    Require(!Error.empty(), "failure without a message");
    Require(Board.get() == Before, "failure replaced the board");
    return 0;
  }
  Require(Board && Board.get() != Before, "success without a new board");
  CheckBoard(*Board);

  const std::string Formatted = FormatPosition(*Board);
  std::unique_ptr<TBord> Again;
  std::string AgainError;
  Require(ParsePosition(Formatted, Again, AgainError), "formatted position does not parse");
  Require(SameBoard(*Board, *Again), "formatted position parses to another board");
  Require(FormatPosition(*Again) == Formatted, "formatting is not stable");
  return 0;
}
