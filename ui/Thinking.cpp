// SPDX-License-Identifier: GPL-3.0-or-later
#include "Thinking.h"

#include "Facilities.h"
#include "ThinkRelay.h"

#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

namespace {

QRect FormRect(int Left, int Top, int Width, int Height) {
  return {FormScaled(Left), FormScaled(Top), FormScaled(Width), FormScaled(Height)};
}

QProgressBar* MakeGauge(QWidget* Parent, const QString& Name, const QRect& Geometry) {
  auto* Gauge = new QProgressBar(Parent);
  Gauge->setObjectName(Name);
  Gauge->setOrientation(Qt::Horizontal);
  Gauge->setTextVisible(false);
  // The bar shows the percentage, so it only changes (and repaints) when the
  // shown percentage does, however fine the search's steps are.
  Gauge->setRange(0, 100);
  Gauge->setValue(0);
  Gauge->setGeometry(Geometry);
  Gauge->setStyleSheet(QStringLiteral(
      "QProgressBar { background-color: palette(button); border: 1px solid palette(dark); }"
      "QProgressBar::chunk { background-color: rgb(255, 0, 0); }"));
  return Gauge;
}

} // namespace

TThinkGauges::TThinkGauges(QWidget* Parent)
    : QWidget(Parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("ThinkGauges"));
  setWindowTitle(tr("Thinking"));
  // Characters 14 pixels high at the form's resolution.
  QFont Font(QStringLiteral("MS Sans Serif"));
  Font.setPixelSize(FormScaled(14));
  setFont(Font);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

  Label1 = new QLabel(tr("Level 1 : "), Panel1);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->move(FormScaled(21), FormScaled(23));
  Label1->adjustSize();
  Label2 = new QLabel(tr("Level 2 : "), Panel1);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->move(FormScaled(21), FormScaled(53));
  Label2->adjustSize();

  Gauge1 = MakeGauge(Panel1, QStringLiteral("Gauge1"), FormRect(79, 20, 200, 22));
  Gauge2 = MakeGauge(Panel1, QStringLiteral("Gauge2"), FormRect(79, 49, 200, 22));

  setFixedSize(FormScaled(300), FormScaled(82));
  move(486, 114);

  // Shown while the user plays on: never activated, never focused.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowFlag(Qt::WindowDoesNotAcceptFocus);
  setFocusPolicy(Qt::NoFocus);

  FGaugeTimer.setSingleShot(true);
  FGaugeTimer.setInterval(GaugeInterval);
  connect(&FGaugeTimer, &QTimer::timeout, this, Guard([this] {
    if (!FRelay)
      return;
    FRelay->TakeProgress();
    for (int Gauge : {1, 2})
      ShowPercent(Gauge, FRelay->Percent(Gauge));
  }));
}

TThinkGauges::~TThinkGauges() {}

void TThinkGauges::FormActivate() {
  Gauge1->move(Label1->x() + Label1->width() + 2, Gauge1->y());
  Gauge2->move(Gauge1->x(), Gauge2->y());
  // The form sets the window's outer width; the frame belongs to the window
  // system here, so the rule sets the client width, which leaves a margin of
  // Label1's left on both sides of the gauges.
  setFixedSize(2 * Label1->x() + Label1->width() + Gauge1->width() + 2, height());
}

void TThinkGauges::ShowThinking() {
  // The designed position, kept on a screen smaller than the design's.
  if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
    const QRect Available = Screen->availableGeometry();
    move(
        std::clamp(x(), Available.left(), std::max(Available.left(), Available.right() - width())),
        std::clamp(y(), Available.top(), std::max(Available.top(), Available.bottom() - height())));
  }
  for (int Gauge : {1, 2})
    ShowPercent(Gauge, 0);
  show();
  raise();
}

void TThinkGauges::HideThinking() {
  // Hidden the moment the search ends: nothing of the gauges is pending.
  FGaugeTimer.stop();
  if (FRelay)
    FRelay->TakeProgress();
  hide();
}

void TThinkGauges::ShowPercent(int Gauge, int Percent) {
  if (Gauge == 1 || Gauge == 2)
    (Gauge == 1 ? Gauge1 : Gauge2)->setValue(std::clamp(Percent, 0, 100));
}

void TThinkGauges::Follow(TThinkRelay& Relay) {
  connect(&Relay, &TThinkRelay::Shown, this, Guard([this] { ShowThinking(); }));
  connect(&Relay, &TThinkRelay::Hidden, this, Guard([this] { HideThinking(); }));
  FRelay = &Relay;
  // The first change after a pause waits GaugeInterval; the later ones in
  // the meantime join it.
  connect(&Relay, &TThinkRelay::ProgressChanged, this, Guard([this] {
    if (!FGaugeTimer.isActive())
      FGaugeTimer.start();
  }));
}

bool TThinkGauges::event(QEvent* Event) {
  if (Event->type() == QEvent::WindowActivate)
    Guarded([this] { FormActivate(); });
  return QWidget::event(Event);
}

void TThinkGauges::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  Guarded([this] { FormActivate(); });
}

void TThinkGauges::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  Panel1->setGeometry(rect());
}
