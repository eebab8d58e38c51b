// SPDX-License-Identifier: GPL-3.0-or-later
#include "CascadeSteps.h"

namespace {

class TStepRecorder : public TBordView {
public:
  TStepRecorder(const TBord& ABoard, TCascadeSteps& ASteps) : Board(ABoard), Steps(ASteps) {}

  void InvalidateCell(uint8_t Row, uint8_t Col) override {
    Steps.push_back(Step(TCascadeStep::Change, Row, Col));
  }
  void Explode(uint8_t Row, uint8_t Col) override {
    Steps.push_back(Step(TCascadeStep::Explosion, Row, Col));
  }

private:
  TCascadeStep Step(TCascadeStep::TKind Kind, uint8_t Row, uint8_t Col) const {
    const std::array<int, 3> Masses = Board.CountMasses();
    return {Kind,
            Row,
            Col,
            static_cast<uint8_t>(Board.GetCell(Row, Col)->CellImageIndex()),
            {Masses[0], Masses[1]}};
  }

  const TBord& Board;
  TCascadeSteps& Steps;
};

} // namespace

TCascadeSteps PlaceRecorded(TBord& Board, uint8_t Row, uint8_t Col, uint8_t Player) {
  TCascadeSteps Steps;
  TCell* Target = Board.GetCell(Row, Col);
  if (!Target)
    return Steps;
  TStepRecorder Recorder(Board, Steps);
  TBordView* const Own = Board.View;
  Board.View = &Recorder;
  Target->AddMass(Player, true);
  Board.View = Own;
  return Steps;
}
