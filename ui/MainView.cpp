#include "Main.h"

#include "Facilities.h"
#include "Resources.h"

#include <QApplication>
#include <QAudioDevice>
#include <QGroupBox>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSoundEffect>

#include <algorithm>

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

TResourceSound::TResourceSound() = default;
TResourceSound::~TResourceSound() = default;

bool TResourceSound::Play() {
  // QSoundEffect reports no missing device (it stays Ready), so ask first.
  if (QMediaDevices::audioOutputs().isEmpty())
    return false;
  if (!FEffect) {
    FEffect = std::make_unique<QSoundEffect>();
    FEffect->setSource(ExplosionSoundUrl());
  }
  if (FEffect->status() == QSoundEffect::Error)
    return false;
  FEffect->stop();
  FEffect->play();
  return true;
}

TBordGrid::TBordGrid(TMainForm* Owner, QWidget* Parent) : QWidget(Parent), FOwner(Owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  SetDimensions(0, 0);
}

void TBordGrid::SetDimensions(int Rows, int Cols) {
  FRows = Rows;
  FCols = Cols;
  setFixedSize(Cols * CellSize + 2 * Border, Rows * CellSize + 2 * Border);
  SetOverlay(-1, -1, -1);
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
    const QPalette& Colours = palette();
    Canvas.fillRect(Event->rect(), Colours.color(QPalette::Midlight));
    // The 2-pixel sunken border of the grid.
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
    for (int Row = 0; Row < FRows; ++Row) {
      for (int Col = 0; Col < FCols; ++Col) {
        const QRect Cell = CellRect(Col, Row);
        if (Cell.intersects(Event->rect()))
          FOwner->BordDisplayDrawCell(Canvas, Col, Row, Cell);
      }
    }
  });
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
    Guarded([&] { FOwner->BordDisplayClick(Row, Col); });
}

void TMainForm::LoadCellImages() {
  const qreal Ratio = qApp ? qApp->devicePixelRatio() : 1.0;
  const QRgb Silver = qRgb(192, 192, 192);
  for (int I = 0; I < CellImageCount; ++I)
    FImageList[std::size_t(I)] =
        Transparent(LoadResourceImage(CellPictureResource(I), Ratio), Silver);
  for (int F = 0; F < int(FExplosionList.size()); ++F) {
    const QImage Frame = LoadResourceImage(ExplosionFrameResource(F), Ratio);
    const QRgb Key = Frame.isNull() ? qRgb(255, 255, 255) : Frame.pixel(0, Frame.height() - 1);
    FExplosionList[std::size_t(F)] = Transparent(Frame, Key);
  }
}

void TMainForm::BordDisplayDrawCell(QPainter& Canvas, int Col, int Row, QRect Rect) {
  const QPalette& Colours = BordDisplay->palette();
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
  if (!FController->Bord())
    return;
  // What the controller shows, which lags behind the board during a replay.
  const QPoint Corner = Bevel.topLeft() - QPoint(1, 1);
  const int Index = FController->ShownPicture(Row, Col);
  if (Index >= 0 && Index < CellImageCount)
    Canvas.drawPixmap(Corner, FImageList[std::size_t(Index)]);
  const int Frame = BordDisplay->OverlayFrame(Row, Col);
  if (Frame >= 0 && Frame < int(FExplosionList.size()))
    Canvas.drawPixmap(Corner, FExplosionList[std::size_t(Frame)]);
}

void TMainForm::InvalidateCell(int Row, int Col) {
  BordDisplay->update(BordDisplay->CellRect(Col, Row));
}

void TMainForm::InvalidateBoard() {
  BordDisplay->update();
}

void TMainForm::ShowExplosionFrame(int Row, int Col, int Frame) {
  BordDisplay->SetOverlay(Row, Col, Frame);
  BordDisplay->update(BordDisplay->CellRect(Col, Row));
}

void TMainForm::PlayExplosionSound() {
  // Once the sound could not start, it is not tried again in this run.
  if (FSoundOn)
    FSoundOn = FSound && FSound->Play();
}

void TMainForm::ResizeGrid(int Rows, int Cols) {
  BordDisplay->SetDimensions(Rows, Cols);
  const int GridWidth = Cols * TBordGrid::CellSize + 2 * TBordGrid::Border;
  const int GridHeight = Rows * TBordGrid::CellSize + 2 * TBordGrid::Border;
  FClientWidth = GridWidth + Score->width() + 4;
  FClientHeight = std::max(GridHeight, MinClientHeight);
  Score->move(FClientWidth - Score->width(), Score->y());
  InfoPanel->move(Score->x(), InfoPanel->y());
  FClient->setFixedSize(FClientWidth, FClientHeight + TBordGrid::Border);
  BordDisplay->update();
}
