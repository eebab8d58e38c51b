// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The board's look, for every place that shows cells: the 21 cell pictures
// and the 16 explosion frames, loaded once from the program's resources with
// their transparent colours, and the raised tile a cell is drawn as.

#include <QPixmap>
#include <QRect>

#include <array>

class QPainter;
class QPalette;

class TCellImages {
public:
  static constexpr int Pictures = 21;
  static constexpr int Frames = 16;

  // Loads every picture at the pixel ratio given (2 takes the @2x set).
  void Load(qreal PixelRatio);
  void Release();
  // Index 0..20 (CellImageIndex), frame 0..15; a null pixmap otherwise.
  const QPixmap& Picture(int Index) const;
  const QPixmap& Frame(int Index) const;

private:
  std::array<QPixmap, Pictures> FPictures;
  std::array<QPixmap, Frames> FFrames;
  QPixmap FNone;
};

// Paints a cell of the board into Rect (32 x 32): a raised tile in the
// button-face colours, its picture one pixel in from the corner (the silver
// parts leave the face showing), and Frame over the picture when not null.
void DrawCellTile(QPainter& Canvas, QRect Rect, const QPalette& Colours, const QPixmap& Picture,
                  const QPixmap& Frame);

// A thin outline in Colour around a tile drawn into Rect: on the tile's
// outer ring, which the picture's own black frame sets apart from the
// picture, so it shows whatever the picture is.
void DrawTileOutline(QPainter& Canvas, QRect Rect, const QColor& Colour);
