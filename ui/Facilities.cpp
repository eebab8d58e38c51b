// SPDX-License-Identifier: GPL-3.0-or-later
#include "Facilities.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdio>

void ReportException(const std::exception& E) noexcept {
  try {
    ReportError(QString::fromUtf8(E.what()));
  } catch (...) {
    std::fprintf(stderr, "Error: %s\n", E.what());
  }
}

namespace {

Qt::CursorShape ShapeOf(TCursorKind Kind) {
  switch (Kind) {
  case TCursorKind::HourGlass:
    return Qt::WaitCursor;
  case TCursorKind::HandPoint:
    return Qt::PointingHandCursor;
  case TCursorKind::Arrow:
    break;
  }
  return Qt::ArrowCursor;
}

TCursorKind KindOf(Qt::CursorShape Shape) {
  switch (Shape) {
  case Qt::WaitCursor:
  case Qt::BusyCursor:
    return TCursorKind::HourGlass;
  case Qt::PointingHandCursor:
    return TCursorKind::HandPoint;
  default:
    return TCursorKind::Arrow;
  }
}

} // namespace

QHBoxLayout* MakeOKCancelRow(QWidget& Dialog, QPushButton*& OKBtn, QPushButton*& CancelBtn) {
  OKBtn = new QPushButton(QCoreApplication::translate("Facilities", "OK"), &Dialog);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QCoreApplication::translate("Facilities", "Cancel"), &Dialog);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  auto* Row = new QHBoxLayout;
  Row->addStretch();
  Row->addWidget(OKBtn);
  Row->addWidget(CancelBtn);
  return Row;
}

void SetDialogFrame(QWidget& Dialog, bool CaptionButtons) {
  Qt::WindowFlags Flags =
      Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;
  if (CaptionButtons)
    Flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  Dialog.setWindowFlags(Flags);
}

int CaptionWidth(const QWidget& Window) {
  // Title bars draw their caption in bold, beside the icon and the buttons.
  QFont Bold = QApplication::font();
  Bold.setBold(true);
  constexpr int BarRoom = 112;
  return QFontMetrics(Bold).horizontalAdvance(Window.windowTitle()) + BarRoom;
}

void FitCaption(QWidget& Window) {
  const int Need = CaptionWidth(Window);
  if (Window.minimumWidth() >= Need)
    return;
  Window.setMaximumWidth(std::max(Window.maximumWidth(), Need));
  Window.setMinimumWidth(Need);
}

void CenterOnScreen(QWidget& Window) {
  const QScreen* Screen = Window.screen();
  if (Screen == nullptr)
    Screen = QGuiApplication::primaryScreen();
  if (Screen == nullptr)
    return;
  QRect Frame = Window.frameGeometry();
  Frame.moveCenter(Screen->availableGeometry().center());
  Window.move(Frame.topLeft());
}

void SetCursor(QWidget& Target, TCursorKind Kind) {
  Target.setCursor(ShapeOf(Kind));
}

TCursorKind CursorOf(const QWidget& Target) {
  return KindOf(Target.cursor().shape());
}

namespace {

TModalRunner& ModalRunner() {
  static TModalRunner Runner;
  return Runner;
}

// Counts the modal dialogs and boxes open, and carries the notifications
// of OnModalEnded.
class TModalTracker : public QObject {
  Q_OBJECT
public:
  static TModalTracker& Instance() {
    static TModalTracker Tracker;
    return Tracker;
  }
  int Depth = 0;
Q_SIGNALS:
  void Ended();
};

} // namespace

void SetModalRunner(TModalRunner Runner) {
  ModalRunner() = std::move(Runner);
}

int RunModal(QDialog& Dialog) {
  TModalScope Modal;
  FitCaption(Dialog);
  if (ModalRunner())
    return ModalRunner()(Dialog);
  return Dialog.exec();
}

bool ModalOpen() {
  return TModalTracker::Instance().Depth > 0;
}

void OnModalEnded(QObject* Context, std::function<void()> Notify) {
  QObject::connect(&TModalTracker::Instance(), &TModalTracker::Ended, Context, std::move(Notify),
                   Qt::QueuedConnection);
}

TModalScope::TModalScope() {
  ++TModalTracker::Instance().Depth;
}

TModalScope::~TModalScope() {
  if (--TModalTracker::Instance().Depth == 0)
    Q_EMIT TModalTracker::Instance().Ended();
}

#include "Facilities.moc"
