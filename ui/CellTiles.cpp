// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellTiles.h"

#include "Resources.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPalette>

namespace {

// The picture with every pixel of Key made transparent, at its own pixel
// ratio.
QPixmap Transparent(const QImage& Picture, QRgb Key) {
  if (Picture.isNull())
    return QPixmap();
  QImage Image = Picture.convertToFormat(QImage::Format_ARGB32);
  Image.setDevicePixelRatio(Picture.devicePixelRatio());
  Key &= RGB_MASK;
  for (int Y = 0; Y < Image.height(); ++Y) {
    auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
    for (int X = 0; X < Image.width(); ++X) {
      if ((Line[X] & RGB_MASK) == Key)
        Line[X] = 0;
    }
  }
  return QPixmap::fromImage(Image);
}

} // namespace

void TCellImages::Load(qreal PixelRatio) {
  const QRgb Silver = qRgb(192, 192, 192);
  for (int I = 0; I < Pictures; ++I)
    FPictures[std::size_t(I)] =
        Transparent(LoadResourceImage(CellPictureResource(I), PixelRatio), Silver);
  // Each frame's own bottom-left pixel is its transparent colour.
  for (int F = 0; F < Frames; ++F) {
    const QImage Frame = LoadResourceImage(ExplosionFrameResource(F), PixelRatio);
    const QRgb Key = Frame.isNull() ? qRgb(255, 255, 255) : Frame.pixel(0, Frame.height() - 1);
    FFrames[std::size_t(F)] = Transparent(Frame, Key);
  }
}

void TCellImages::Release() {
  FPictures = {};
  FFrames = {};
}

const QPixmap& TCellImages::Picture(int Index) const {
  return Index >= 0 && Index < Pictures ? FPictures[std::size_t(Index)] : FNone;
}

const QPixmap& TCellImages::Frame(int Index) const {
  return Index >= 0 && Index < Frames ? FFrames[std::size_t(Index)] : FNone;
}

void DrawTileOutline(QPainter& Canvas, QRect Rect, const QColor& Colour) {
  // Filled, not stroked: a line's pixels depend on the scale, an area's
  // do not.
  Canvas.fillRect(QRect(Rect.left(), Rect.top(), Rect.width(), 1), Colour);
  Canvas.fillRect(QRect(Rect.left(), Rect.bottom(), Rect.width(), 1), Colour);
  Canvas.fillRect(QRect(Rect.left(), Rect.top(), 1, Rect.height()), Colour);
  Canvas.fillRect(QRect(Rect.right(), Rect.top(), 1, Rect.height()), Colour);
}

void DrawCellTile(QPainter& Canvas, QRect Rect, const QPalette& Colours, const QPixmap& Picture,
                  const QPixmap& Frame) {
  const QColor Face = Colours.color(QPalette::Button);
  const QColor Highlight = Colours.color(QPalette::Light);
  const QColor Shadow = Colours.color(QPalette::Dark);
  Canvas.setBackground(Face);
  Canvas.fillRect(Rect, Face);
  // The raised inner edge along the right and bottom sides.
  Canvas.setPen(Shadow);
  Canvas.drawLine(Rect.topRight(), Rect.bottomRight());
  Canvas.drawLine(Rect.bottomLeft(), Rect.bottomRight());
  // A bevel two pixels wide: light above and left, shadow below and right.
  QRect Bevel = Rect;
  for (int Step = 0; Step < 2; ++Step) {
    Canvas.setPen(Highlight);
    Canvas.drawLine(Bevel.bottomLeft(), Bevel.topLeft());
    Canvas.drawLine(Bevel.topLeft(), Bevel.topRight());
    Canvas.setPen(Shadow);
    Canvas.drawLine(Bevel.topRight(), Bevel.bottomRight());
    Canvas.drawLine(Bevel.bottomRight(), Bevel.bottomLeft());
    Bevel.adjust(1, 1, -1, -1);
  }
  const QPoint Corner = Bevel.topLeft() - QPoint(1, 1);
  if (!Picture.isNull())
    Canvas.drawPixmap(Corner, Picture);
  if (!Frame.isNull())
    Canvas.drawPixmap(Corner, Frame);
}
