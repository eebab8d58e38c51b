// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A placement as a list of what happened: the cascade is computed at once
// and shown afterwards, step by step, by whoever replays the list.
//
// PlaceRecorded runs the animated placement (TCell::AddMass with Animate) on
// the board and records every notification the board sends, in the order of
// the rules: a Change for every cell whose picture changes, an Explosion for
// every cell about to explode, with the picture and the scores the window
// shows at that moment. The board holds its final state when it returns.

#include "DataStructures.h"

#include <array>
#include <cstdint>
#include <vector>

struct TCascadeStep {
  enum TKind : uint8_t { Change, Explosion };

  TKind Kind = Change;
  uint8_t Row = 0;
  uint8_t Col = 0;
  // CellImageIndex of the cell right then: its new picture for a Change, the
  // full cell for an Explosion.
  uint8_t Picture = 0;
  // CountMasses()[0] and [1] right then; the score shown at an explosion.
  std::array<int, 2> Score{};

  friend bool operator==(const TCascadeStep&, const TCascadeStep&) = default;
};

using TCascadeSteps = std::vector<TCascadeStep>;

// Places one mass for Player on (Row, Col) with its whole cascade and returns
// the steps. The board's own view is left as it was and hears nothing.
TCascadeSteps PlaceRecorded(TBord& Board, uint8_t Row, uint8_t Col, uint8_t Player);
