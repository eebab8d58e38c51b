#include "Main.h"

#include "Facilities.h"
#include "HowToPlay.h"

#include <QKeyEvent>

// The player's aids in the window: undo, how to play, and the keyboard on
// the board.

void TMainForm::Undo1Click() {
  FController->Undo();
}

void TMainForm::HowToPlay1Click() {
  // Modeless: it may stay open beside the game.
  if (!FHowToPlay)
    FHowToPlay = new THowToPlay(FImages, this);
  FHowToPlay->show();
  FHowToPlay->raise();
  FHowToPlay->activateWindow();
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
      Guarded([&] { FOwner->BordDisplayClick(FKeyRow, FKeyCol); });
    }
    Event->accept();
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
}

void TBordGrid::focusOutEvent(QFocusEvent* Event) {
  QWidget::focusOutEvent(Event);
  update(CellRect(FKeyCol, FKeyRow));
}
