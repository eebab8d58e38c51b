// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TBordGrid: the board on screen. One 32 x 32 tile per cell inside a
// 2-pixel border, each drawn from what the game controller shows for it
// (the picture, which lags behind the board during a replay, and an
// explosion frame over it), with the hint's yellow frame and each player's
// last placement outlined in the player's colour.
//
// A left click on a cell, or Space and Enter on the keyboard's cell, goes to
// OnClick; whether it places a mass is the controller's decision, and
// AcceptsMoves only mirrors it. The arrow keys move the keyboard's frame,
// which shows once a key has been used, or at once when Tab brings the
// focus: on the last cell played, else the centre.
//
// To assistive technology the board is a table (BordAccessible.h) whose
// focused cell is the keyboard's; each move of the frame reports it.

#include "CellTiles.h"

#include <QString>
#include <QWidget>

#include <functional>

class TGameController;

class TBordGrid : public QWidget {
  Q_OBJECT

public:
  static constexpr int CellSize = 32;
  static constexpr int Border = 2;

  TBordGrid(const TGameController& Game, QWidget* Parent);

  // A click on cell (Row, Col).
  std::function<void(int Row, int Col)> OnClick;

  int RowCount() const { return FRows; }
  int ColCount() const { return FCols; }
  void SetDimensions(int Rows, int Cols);
  // Grid cell (Col, Row) in the grid's client coordinates.
  QRect CellRect(int Col, int Row) const;
  // The cell under a point, false on the border.
  bool MouseToCell(QPoint Point, int& Col, int& Row) const;
  // Repaints one cell from the next turn of the event loop on.
  void InvalidateCell(int Row, int Col) { update(CellRect(Col, Row)); }

  void SetAcceptsMoves(bool On) { FAcceptsMoves = On; }
  bool AcceptsMoves() const { return FAcceptsMoves; }

  // The explosion frame drawn over one cell, -1 for none.
  void SetOverlay(int Row, int Col, int Frame);
  int OverlayFrame(int Row, int Col) const;

  // The keyboard's cell, framed once a key has moved it.
  bool KeyFrameShown() const { return FKeyFrame; }
  int KeyRow() const { return FKeyRow; }
  int KeyCol() const { return FKeyCol; }

  const TCellImages& Images() const { return FImages; }

  // What cell (Row, Col) holds, in words: "Row 2, column 3: yours, 2 of 4".
  QString CellDescription(int Row, int Col) const;
  // A note drawn across the foot of the board, over the cells; empty for
  // none. The board keeps its size.
  void SetNote(const QString& Text) {
    if (Text != FNote) {
      FNote = Text;
      update();
    }
  }
  const QString& Note() const { return FNote; }

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusInEvent(QFocusEvent* Event) override;
  bool focusNextPrevChild(bool Next) override;
  void focusOutEvent(QFocusEvent* Event) override;

private:
  void DrawBorder(QPainter& Canvas);
  // Paints grid cell (Col, Row) into Rect: a raised tile with its picture.
  void DrawCell(QPainter& Canvas, int Col, int Row, QRect Rect);
  void Click(int Row, int Col);
  // Reports the keyboard's cell as the accessible focus.
  void AnnounceKeyCell();
  void DrawNote(QPainter& Canvas);
  // The keyboard's frame on the last cell played, else the centre.
  void ShowKeyFrame();

  const TGameController& FGame;
  TCellImages FImages;
  int FRows = 0;
  int FCols = 0;
  bool FPressed = false;
  bool FAcceptsMoves = false;
  int FOverlayRow = -1;
  int FOverlayCol = -1;
  int FOverlayFrame = -1;
  bool FKeyFrame = false;
  int FKeyRow = 0;
  int FKeyCol = 0;
  QString FNote;
};
