#pragma once

// Recorders for the model's two interfaces and conversions between the model
// and the reference rules, shared by the model tests.

#include "DataStructures.h"
#include "ReferenceRules.h"
#include "Search.h"

#include <string>
#include <vector>

class TRecordingView : public TBordView {
public:
  struct TEntry {
    Ref::Event Event;
    int ImageIndex; // picture of the cell at the moment of the call
  };
  const TBord* Board = nullptr;
  std::vector<TEntry> Log;

  void InvalidateCell(uint8_t Row, uint8_t Col) override { Record('I', Row, Col); }
  void Explode(uint8_t Row, uint8_t Col) override { Record('E', Row, Col); }

  std::vector<Ref::Event> Events() const {
    std::vector<Ref::Event> List;
    for (const auto& E : Log)
      List.push_back(E.Event);
    return List;
  }

private:
  void Record(char Kind, uint8_t Row, uint8_t Col) {
    const TCell* Cell = Board ? Board->GetCell(Row, Col) : nullptr;
    Log.push_back({{Kind, Row, Col}, Cell ? Cell->CellImageIndex() : -1});
  }
};

class TRecordingProgress : public TThinkProgress {
public:
  struct TCall {
    std::string What; // "show", "hide", "max", "set", "process"
    int Gauge;
    int Value;
  };
  std::vector<TCall> Calls;
  int Values[3] = {0, 0, 0};
  int Maxima[3] = {0, 0, 0};
  bool OutOfRange = false;
  long ProcessCount = 0;
  // When >= 0: StopThinking is called inside that ProcessMessages call (0-based).
  long StopAt = -1;

  void Show() override { Calls.push_back({"show", 0, 0}); }
  void Hide() override { Calls.push_back({"hide", 0, 0}); }
  void SetMaxValue(int Gauge, int Value) override {
    Maxima[Gauge] = Value;
    Calls.push_back({"max", Gauge, Value});
  }
  int Progress(int Gauge) const override { return Values[Gauge]; }
  void SetProgress(int Gauge, int Value) override {
    if (Value < 0 || Value > Maxima[Gauge])
      OutOfRange = true;
    Values[Gauge] = Value;
    Calls.push_back({"set", Gauge, Value});
  }
  void ProcessMessages() override {
    if (ProcessCount == StopAt)
      StopThinking();
    ++ProcessCount;
  }
  long Count(const std::string& What, int Gauge = -1) const {
    long N = 0;
    for (const auto& C : Calls)
      N += C.What == What && (Gauge < 0 || C.Gauge == Gauge);
    return N;
  }
};

inline Ref::Board ToReference(const TBord& Board) {
  Ref::Board Result(Board.Rows, Board.Cols);
  for (int R = 0; R < Board.Rows; ++R)
    for (int C = 0; C < Board.Cols; ++C) {
      const TCell* Cell = Board.Cell(R, C);
      Result.Mass[Result.At(R, C)] = Cell->Mass;
      Result.Owner[Result.At(R, C)] = Cell->Owner;
    }
  Result.Finished = Board.Finished;
  return Result;
}

// Empty when both hold the same position; otherwise the first difference.
inline std::string Difference(const TBord& Board, const Ref::Board& Expected) {
  if (Board.Rows != Expected.Rows || Board.Cols != Expected.Cols)
    return "dimensions differ";
  for (int R = 0; R < Board.Rows; ++R)
    for (int C = 0; C < Board.Cols; ++C) {
      const TCell* Cell = Board.Cell(R, C);
      const int I = Expected.At(R, C);
      if (Cell->Mass != Expected.Mass[I] || Cell->Owner != Expected.Owner[I] || Cell->Nesting != 0)
        return "cell (" + std::to_string(R) + ", " + std::to_string(C) + ") holds " +
               std::to_string(Cell->Mass) + "/" + std::to_string(Cell->Owner) + ", expected " +
               std::to_string(Expected.Mass[I]) + "/" + std::to_string(Expected.Owner[I]);
    }
  if (Board.Finished != Expected.Finished)
    return "Finished differs";
  return {};
}

// Restores the search's process-wide state between test cases.
inline void ResetSearchState() {
  KeepThinking = true;
  SearchDepth = 1;
  SetThinkProgress(nullptr);
}
