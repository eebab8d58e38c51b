// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineCommands.h"

#include "DataStructures.h"
#include "PositionText.h"
#include "Search.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsBlank(std::string_view Line) {
  return Line.find_first_not_of(" \t\r") == std::string_view::npos;
}

std::string_view Trimmed(std::string_view Text) {
  const auto First = Text.find_first_not_of(" \t\r");
  if (First == std::string_view::npos)
    return {};
  const auto Last = Text.find_last_not_of(" \t\r");
  return Text.substr(First, Last - First + 1);
}

// Reads exactly Count whitespace-separated non-negative integers.
bool ParseNumbers(std::string_view Text, std::size_t Count, std::vector<int>& Numbers) {
  Numbers.clear();
  std::size_t I = 0;
  while (I < Text.size()) {
    while (I < Text.size() && (Text[I] == ' ' || Text[I] == '\t' || Text[I] == '\r'))
      ++I;
    if (I == Text.size())
      break;
    int Value = 0;
    const auto [End, Status] = std::from_chars(Text.data() + I, Text.data() + Text.size(), Value);
    if (Status != std::errc() || Value < 0)
      return false;
    I = static_cast<std::size_t>(End - Text.data());
    if (I < Text.size() && Text[I] != ' ' && Text[I] != '\t' && Text[I] != '\r')
      return false;
    Numbers.push_back(Value);
  }
  return Numbers.size() == Count;
}

class TLineReport {
public:
  explicit TLineReport(std::ostream& Err) : FErr(Err) {}
  void Fail(long Line, const std::string& Problem) {
    FErr << "line " << Line << ": " << Problem << '\n';
    FFailed = true;
  }
  int ExitCode() const { return FFailed ? 1 : 0; }

private:
  std::ostream& FErr;
  bool FFailed = false;
};

} // namespace

int RunMoveCommand(std::istream& In, std::ostream& Out, std::ostream& Err, bool Stats,
                   TComputerLevel Level, uint64_t Seed) {
  TLineReport Report(Err);
  std::string Line;
  long Number = 0;
  while (std::getline(In, Line)) {
    ++Number;
    if (IsBlank(Line))
      continue;
    std::unique_ptr<TBord> Board;
    std::string Problem;
    if (!ParsePosition(Line, Board, Problem)) {
      Report.Fail(Number, Problem);
      continue;
    }
    // As the local transport answers: the no-move marker when every cell is
    // the user's, the search otherwise.
    if (!Board->CanMove(Opponent)) {
      Out << "none\n";
      continue;
    }
    TSearchControl Control;
    const auto Start = std::chrono::steady_clock::now();
    const TMove Answer = LevelMove(*Board, Level, Control, Seed);
    const auto Took = std::chrono::steady_clock::now() - Start;
    Out << int(Answer.Row) << ' ' << int(Answer.Col);
    if (Stats) {
      char Millis[32];
      std::snprintf(Millis, sizeof Millis, "%.3f",
                    std::chrono::duration<double, std::milli>(Took).count());
      Out << " ; " << Control.PlacementsSearched << " placements ; " << Millis << " ms";
    }
    Out << '\n';
  }
  Out.flush();
  return Report.ExitCode();
}

int RunPlaceCommand(std::istream& In, std::ostream& Out, std::ostream& Err) {
  TLineReport Report(Err);
  std::string Line;
  long Number = 0;
  std::vector<int> Numbers;
  while (std::getline(In, Line)) {
    ++Number;
    if (IsBlank(Line))
      continue;
    const std::string_view Text(Line);
    const auto Semicolon = Text.find(';');
    if (Semicolon == std::string_view::npos) {
      Report.Fail(Number, "expected \"POSITION ; P R C\"");
      continue;
    }
    std::unique_ptr<TBord> Board;
    std::string Problem;
    if (!ParsePosition(Text.substr(0, Semicolon), Board, Problem)) {
      Report.Fail(Number, Problem);
      continue;
    }
    const std::string_view Placement = Trimmed(Text.substr(Semicolon + 1));
    if (!ParseNumbers(Placement, 3, Numbers)) {
      Report.Fail(Number,
                  "expected \"P R C\" after \";\", found \"" + std::string(Placement) + "\"");
      continue;
    }
    const int Player = Numbers[0];
    const int Row = Numbers[1];
    const int Col = Numbers[2];
    if (Player != LocalPlayer && Player != Opponent) {
      Report.Fail(Number, "player " + std::to_string(Player) + " is neither 0 nor 1");
      continue;
    }
    if (Row >= Board->Rows || Col >= Board->Cols) {
      Report.Fail(Number, "cell (" + std::to_string(Row) + ", " + std::to_string(Col) +
                              ") outside the " + std::to_string(Board->Rows) + "x" +
                              std::to_string(Board->Cols) + " board");
      continue;
    }
    TCell& Target = *Board->GetCell(static_cast<uint8_t>(Row), static_cast<uint8_t>(Col));
    if (Target.Owner == 1 - Player) {
      Report.Fail(Number, "cell (" + std::to_string(Row) + ", " + std::to_string(Col) +
                              ") belongs to the other player");
      continue;
    }
    Target.AddMass(static_cast<uint8_t>(Player), false);
    Out << FormatPosition(*Board) << (Board->Finished ? " ; finished" : " ; open") << '\n';
  }
  Out.flush();
  return Report.ExitCode();
}
