// SPDX-License-Identifier: GPL-3.0-or-later
// The board's tiles: every cell picture and explosion frame loads at 1x and
// 2x, and the last move's outline shows on every picture, set apart from it
// by a ring of another colour, at both scales.

#include "CellTiles.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>

class TestCellTiles : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void outlineOnEveryPicture() {
    for (const qreal Ratio : {1.0, 2.0}) {
      TCellImages Images;
      Images.Load(Ratio);
      for (int Frame = 0; Frame < TCellImages::Frames; ++Frame)
        QVERIFY(!Images.Frame(Frame).isNull());
      for (int Index = 0; Index < TCellImages::Pictures; ++Index) {
        QVERIFY(!Images.Picture(Index).isNull());
        QCOMPARE(Images.Picture(Index).devicePixelRatio(), Ratio);
        for (const QColor Colour : {QColor(0, 255, 255), QColor(255, 0, 0)}) {
          QImage Tile(QSize(32, 32) * Ratio, QImage::Format_RGB32);
          Tile.setDevicePixelRatio(Ratio);
          Tile.fill(Qt::gray);
          QPainter Canvas(&Tile);
          DrawCellTile(Canvas, QRect(0, 0, 32, 32), QApplication::palette(), Images.Picture(Index),
                       QPixmap());
          DrawTileOutline(Canvas, QRect(0, 0, 32, 32), Colour);
          Canvas.end();
          // All round: the outline's colour on the outer ring, something
          // else right inside it, whatever the picture is.
          const int Width = int(Ratio);
          const int Last = Tile.width() - 1;
          for (int Along = 0; Along <= Last; ++Along)
            for (const QPoint Outer :
                 {QPoint(Along, 0), QPoint(Along, Last), QPoint(0, Along), QPoint(Last, Along)}) {
              QCOMPARE(Tile.pixelColor(Outer), Colour);
              const QPoint Inner(std::clamp(Outer.x(), Width, Last - Width),
                                 std::clamp(Outer.y(), Width, Last - Width));
              QVERIFY2(Tile.pixelColor(Inner) != Colour,
                       qPrintable(QStringLiteral("picture %1 at %2x").arg(Index).arg(Ratio)));
            }
        }
      }
    }
  }
};

QTEST_MAIN(TestCellTiles)
#include "tst_celltiles.moc"
