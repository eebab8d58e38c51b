// SPDX-License-Identifier: GPL-3.0-or-later
#include "PositionText.h"

#include <cctype>
#include <vector>

namespace {

std::vector<std::string_view> SplitWords(std::string_view Text) {
  std::vector<std::string_view> Words;
  std::size_t I = 0;
  while (I < Text.size()) {
    while (I < Text.size() && std::isspace(static_cast<unsigned char>(Text[I])))
      ++I;
    const std::size_t Start = I;
    while (I < Text.size() && !std::isspace(static_cast<unsigned char>(Text[I])))
      ++I;
    if (I > Start)
      Words.push_back(Text.substr(Start, I - Start));
  }
  return Words;
}

bool ParseDimension(std::string_view Text, int& Value) {
  if (Text.empty() || Text.size() > 3)
    return false;
  Value = 0;
  for (const char Digit : Text) {
    if (Digit < '0' || Digit > '9')
      return false;
    Value = Value * 10 + (Digit - '0');
  }
  return true;
}

std::string Quoted(std::string_view Word) {
  return "\"" + std::string(Word) + "\"";
}

} // namespace

bool ParsePosition(std::string_view Text, std::unique_ptr<TBord>& Board, std::string& Error) {
  const auto Words = SplitWords(Text);
  if (Words.empty()) {
    Error = "empty position";
    return false;
  }
  const std::string_view Size = Words[0];
  const std::size_t Cross = Size.find('x');
  int Rows = 0;
  int Cols = 0;
  if (Cross == std::string_view::npos || !ParseDimension(Size.substr(0, Cross), Rows) ||
      !ParseDimension(Size.substr(Cross + 1), Cols)) {
    Error = "bad board size " + Quoted(Size) + " (expected RxC)";
    return false;
  }
  if (Rows < 2 || Rows > MaxDimension || Cols < 2 || Cols > MaxDimension) {
    Error = "board size " + Quoted(Size) + " outside 2..8";
    return false;
  }
  const std::size_t Expected = std::size_t(Rows) * std::size_t(Cols);
  if (Words.size() - 1 != Expected) {
    Error = "expected " + std::to_string(Expected) + " cells, found " +
            std::to_string(Words.size() - 1);
    return false;
  }

  auto New =
      std::make_unique<TBord>(nullptr, static_cast<uint8_t>(Rows), static_cast<uint8_t>(Cols));
  for (std::size_t I = 0; I < Expected; ++I) {
    const std::string_view Word = Words[I + 1];
    const int Row = static_cast<int>(I) / Cols;
    const int Col = static_cast<int>(I) % Cols;
    const std::string Where = " at (" + std::to_string(Row) + ", " + std::to_string(Col) + ")";
    TCell& Target = *New->Cell(Row, Col);
    if (Word == ".")
      continue;
    if (Word.size() != 2 || (Word[0] != 'a' && Word[0] != 'b') || Word[1] < '0' || Word[1] > '9') {
      Error = "unknown cell token " + Quoted(Word) + Where;
      return false;
    }
    const int Mass = Word[1] - '0';
    if (Mass == 0) {
      Error = "owned cell without mass " + Quoted(Word) + Where;
      return false;
    }
    if (Mass >= Target.Capacity) {
      Error = "mass " + std::to_string(Mass) + " not below the capacity " +
              std::to_string(Target.Capacity) + Where;
      return false;
    }
    Target.Owner = Word[0] == 'a' ? LocalPlayer : Opponent;
    Target.Mass = static_cast<uint8_t>(Mass);
  }
  Board = std::move(New);
  return true;
}

std::string FormatPosition(const TBord& Board) {
  std::string Text = std::to_string(Board.Rows) + "x" + std::to_string(Board.Cols);
  for (uint8_t R = 0; R < Board.Rows; ++R)
    for (uint8_t C = 0; C < Board.Cols; ++C) {
      const TCell& Cell = *Board.GetCell(R, C);
      Text += ' ';
      if (Cell.Owner == LocalPlayer || Cell.Owner == Opponent) {
        Text += Cell.Owner == LocalPlayer ? 'a' : 'b';
        Text += std::to_string(Cell.Mass);
      } else {
        Text += '.';
      }
    }
  return Text;
}
