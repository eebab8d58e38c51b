// SPDX-License-Identifier: GPL-3.0-or-later
#include "BordGrid.h"

#include "Facilities.h"
#include "GameController.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <optional>

TBordGrid::TBordGrid(const TGameController& Game, QWidget* Parent) : QWidget(Parent), FGame(Game) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  FImages.Load(qApp ? qApp->devicePixelRatio() : 1.0);
  // Tab reaches the board; a click gives it the keys too.
  setFocusPolicy(Qt::StrongFocus);
  SetDimensions(0, 0);
}

void TBordGrid::SetDimensions(int Rows, int Cols) {
  FRows = Rows;
  FCols = Cols;
  setFixedSize(Cols * CellSize + 2 * Border, Rows * CellSize + 2 * Border);
  SetOverlay(-1, -1, -1);
  FKeyRow = std::clamp(FKeyRow, 0, std::max(0, Rows - 1));
  FKeyCol = std::clamp(FKeyCol, 0, std::max(0, Cols - 1));
}

QRect TBordGrid::CellRect(int Col, int Row) const {
  return QRect(Border + Col * CellSize, Border + Row * CellSize, CellSize, CellSize);
}

bool TBordGrid::MouseToCell(QPoint Point, int& Col, int& Row) const {
  const int X = Point.x() - Border;
  const int Y = Point.y() - Border;
  if (X < 0 || Y < 0)
    return false;
  Col = X / CellSize;
  Row = Y / CellSize;
  return Col < FCols && Row < FRows;
}

void TBordGrid::SetOverlay(int Row, int Col, int Frame) {
  FOverlayRow = Row;
  FOverlayCol = Col;
  FOverlayFrame = Frame;
}

int TBordGrid::OverlayFrame(int Row, int Col) const {
  return Row == FOverlayRow && Col == FOverlayCol ? FOverlayFrame : -1;
}

void TBordGrid::paintEvent(QPaintEvent* Event) {
  Guarded([&] {
    QPainter Canvas(this);
    Canvas.fillRect(Event->rect(), palette().color(QPalette::Midlight));
    DrawBorder(Canvas);
    for (int Row = 0; Row < FRows; ++Row) {
      for (int Col = 0; Col < FCols; ++Col) {
        const QRect Cell = CellRect(Col, Row);
        if (Cell.intersects(Event->rect()))
          DrawCell(Canvas, Col, Row, Cell);
      }
    }
    // The keyboard's frame, in black and white so that it shows on every
    // picture.
    if (FKeyFrame && hasFocus() && FKeyRow < FRows && FKeyCol < FCols) {
      const QRect Key = CellRect(FKeyCol, FKeyRow).adjusted(3, 3, -4, -4);
      Canvas.setBrush(Qt::NoBrush);
      Canvas.setPen(QPen(Qt::white, 1));
      Canvas.drawRect(Key);
      Canvas.setPen(QPen(Qt::black, 1, Qt::DashLine));
      Canvas.drawRect(Key);
    }
    if (!FNote.isEmpty())
      DrawNote(Canvas);
  });
}

// White on a dark band, so that it reads over any picture; the band grows
// upwards with the lines the board's width needs.
void TBordGrid::DrawNote(QPainter& Canvas) {
  QFont Small = font();
  Small.setPointSizeF(std::max(7.0, Small.pointSizeF() - 1));
  Canvas.setFont(Small);
  const QRect Inner = rect().adjusted(Border, Border, -Border, -Border);
  const int Flags = Qt::AlignCenter | Qt::TextWordWrap;
  const QRect Text =
      Canvas.boundingRect(Inner.adjusted(4, 0, -4, 0), Flags, FNote).intersected(Inner);
  QRect Band(Inner.left(), Inner.bottom() - Text.height() - 7, Inner.width(), Text.height() + 8);
  Band = Band.intersected(Inner);
  Canvas.fillRect(Band, QColor(0, 0, 0, 190));
  Canvas.setPen(Qt::white);
  Canvas.drawText(Band.adjusted(4, 0, -4, 0), Flags, FNote);
}

// The 2-pixel sunken border of the grid.
void TBordGrid::DrawBorder(QPainter& Canvas) {
  const QPalette& Colours = palette();
  const QRect Frame = rect();
  Canvas.setPen(Colours.color(QPalette::Dark));
  Canvas.drawLine(Frame.topLeft(), Frame.topRight());
  Canvas.drawLine(Frame.topLeft(), Frame.bottomLeft());
  Canvas.setPen(Colours.color(QPalette::Shadow));
  Canvas.drawLine(Frame.topLeft() + QPoint(1, 1), Frame.topRight() + QPoint(-1, 1));
  Canvas.drawLine(Frame.topLeft() + QPoint(1, 1), Frame.bottomLeft() + QPoint(1, -1));
  Canvas.setPen(Colours.color(QPalette::Light));
  Canvas.drawLine(Frame.bottomLeft(), Frame.bottomRight());
  Canvas.drawLine(Frame.topRight(), Frame.bottomRight());
  Canvas.setPen(Colours.color(QPalette::Midlight));
  Canvas.drawLine(Frame.bottomLeft() + QPoint(1, -1), Frame.bottomRight() + QPoint(-1, -1));
  Canvas.drawLine(Frame.topRight() + QPoint(-1, 1), Frame.bottomRight() + QPoint(-1, -1));
}

void TBordGrid::mousePressEvent(QMouseEvent* Event) {
  FPressed = Event->button() == Qt::LeftButton;
  Event->accept();
}

void TBordGrid::mouseReleaseEvent(QMouseEvent* Event) {
  Event->accept();
  if (!FPressed || Event->button() != Qt::LeftButton)
    return;
  FPressed = false;
  // The cell of the release itself: the pointer may have moved on by the
  // time the click is handled.
  int Col = 0;
  int Row = 0;
  if (rect().contains(Event->position().toPoint()) &&
      MouseToCell(Event->position().toPoint(), Col, Row))
    Click(Row, Col);
}

void TBordGrid::DrawCell(QPainter& Canvas, int Col, int Row, QRect Rect) {
  // What the controller shows, which lags behind the board during a replay.
  const bool OnBoard = FGame.Bord() != nullptr;
  DrawCellTile(Canvas, Rect, palette(),
               OnBoard ? FImages.Picture(FGame.ShownPicture(Row, Col)) : QPixmap(),
               FImages.Frame(OverlayFrame(Row, Col)));
  if (!OnBoard)
    return;
  // The hint: a yellow frame with a black edge inside the tile, which shows
  // on every picture and apart from the outlines.
  if (const std::optional<TMove> Hint = FGame.HintCell();
      Hint && Hint->Row == Row && Hint->Col == Col) {
    const QRect Mark = Rect.adjusted(5, 5, -6, -6);
    Canvas.setBrush(Qt::NoBrush);
    Canvas.setPen(QPen(Qt::black, 4));
    Canvas.drawRect(Mark);
    Canvas.setPen(QPen(QColor(255, 220, 0), 2));
    Canvas.drawRect(Mark);
  }
  // Each player's last placement, in the player's colour.
  for (const uint8_t Player : {LocalPlayer, Opponent})
    if (const std::optional<TMove> Last = FGame.LastMove(Player);
        Last && Last->Row == Row && Last->Col == Col)
      DrawTileOutline(Canvas, Rect,
                      Player == LocalPlayer ? QColor(0, 255, 255) : QColor(255, 0, 0));
}

void TBordGrid::Click(int Row, int Col) {
  Guarded([&] {
    if (OnClick)
      OnClick(Row, Col);
  });
}

void TBordGrid::keyPressEvent(QKeyEvent* Event) {
  int Row = FKeyRow;
  int Col = FKeyCol;
  switch (Event->key()) {
  case Qt::Key_Left:
    --Col;
    break;
  case Qt::Key_Right:
    ++Col;
    break;
  case Qt::Key_Up:
    --Row;
    break;
  case Qt::Key_Down:
    ++Row;
    break;
  case Qt::Key_Space:
  case Qt::Key_Return:
  case Qt::Key_Enter:
    if (!FKeyFrame) {
      // The first key only shows where the frame is.
      FKeyFrame = true;
      update(CellRect(FKeyCol, FKeyRow));
    } else {
      Click(FKeyRow, FKeyCol);
    }
    Event->accept();
    AnnounceKeyCell();
    return;
  default:
    QWidget::keyPressEvent(Event);
    return;
  }
  Event->accept();
  update(CellRect(FKeyCol, FKeyRow));
  if (FKeyFrame) {
    FKeyRow = std::clamp(Row, 0, std::max(0, FRows - 1));
    FKeyCol = std::clamp(Col, 0, std::max(0, FCols - 1));
  }
  FKeyFrame = true;
  update(CellRect(FKeyCol, FKeyRow));
  AnnounceKeyCell();
}

QString TBordGrid::CellDescription(int Row, int Col) const {
  const TBord* Board = FGame.Bord();
  const TCell* Cell = Board && Row >= 0 && Col >= 0 && Row < Board->Rows && Col < Board->Cols
                          ? Board->GetCell(uint8_t(Row), uint8_t(Col))
                          : nullptr;
  const QString Owner = !Cell || Cell->Owner == NoOwner ? tr("empty")
                        : Cell->Owner == LocalPlayer    ? tr("yours")
                                                        : tr("the opponent's");
  return tr("Row %1, column %2: %3, %4 of %5")
      .arg(Row + 1)
      .arg(Col + 1)
      .arg(Owner)
      .arg(Cell ? Cell->Mass : 0)
      .arg(Cell ? Cell->Capacity : 0);
}

void TBordGrid::AnnounceKeyCell() {
  if (!FKeyFrame || !hasFocus())
    return;
  QAccessibleInterface* Board = QAccessible::queryAccessibleInterface(this);
  QAccessibleTableInterface* Table = Board ? Board->tableInterface() : nullptr;
  if (QAccessibleInterface* Cell = Table ? Table->cellAt(FKeyRow, FKeyCol) : nullptr) {
    QAccessibleEvent Event(Cell, QAccessible::Focus);
    QAccessible::updateAccessibility(&Event);
  }
}

void TBordGrid::focusInEvent(QFocusEvent* Event) {
  QWidget::focusInEvent(Event);
  if (Event->reason() == Qt::TabFocusReason || Event->reason() == Qt::BacktabFocusReason)
    ShowKeyFrame();
  else
    update(CellRect(FKeyCol, FKeyRow));
  AnnounceKeyCell();
}

bool TBordGrid::focusNextPrevChild(bool Next) {
  // Where the board is all that takes the focus, Tab keeps it here without
  // a focus event; it still shows the frame.
  const bool Moved = QWidget::focusNextPrevChild(Next);
  if (hasFocus() && !FKeyFrame)
    ShowKeyFrame();
  return Moved;
}

void TBordGrid::ShowKeyFrame() {
  update(CellRect(FKeyCol, FKeyRow));
  std::optional<TMove> Last = FGame.LastMove(LocalPlayer);
  if (!Last)
    Last = FGame.LastMove(Opponent);
  if (Last && Last->Row < FRows && Last->Col < FCols) {
    FKeyRow = Last->Row;
    FKeyCol = Last->Col;
  } else {
    FKeyRow = std::max(0, FRows - 1) / 2;
    FKeyCol = std::max(0, FCols - 1) / 2;
  }
  FKeyFrame = true;
  update(CellRect(FKeyCol, FKeyRow));
}

void TBordGrid::focusOutEvent(QFocusEvent* Event) {
  QWidget::focusOutEvent(Event);
  update(CellRect(FKeyCol, FKeyRow));
}
