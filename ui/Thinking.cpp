#include "Thinking.h"

#include "Facilities.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>
#include <cmath>

TThinkGauges* ThinkGauges = nullptr;

namespace {

int Scaled(int FormValue) {
  return static_cast<int>(std::lround(FormValue * TThinkGauges::FormScale));
}

QRect FormRect(int Left, int Top, int Width, int Height) {
  return {Scaled(Left), Scaled(Top), Scaled(Width), Scaled(Height)};
}

TThinkGauges::TClock MonotonicClock() {
  QElapsedTimer Timer;
  Timer.start();
  return [Timer] { return Timer.elapsed(); };
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
                          Qt::MSWindowsFixedSizeDialogHint),
      FClock(MonotonicClock()) {
  setObjectName(QStringLiteral("ThinkGauges"));
  setWindowTitle(QStringLiteral("Thinking"));
  // Characters 14 pixels high at the form's resolution.
  QFont Font(QStringLiteral("MS Sans Serif"));
  Font.setPixelSize(Scaled(14));
  setFont(Font);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

  Label1 = new QLabel(QStringLiteral("Level 1 : "), Panel1);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->move(Scaled(21), Scaled(23));
  Label1->adjustSize();
  Label2 = new QLabel(QStringLiteral("Level 2 : "), Panel1);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->move(Scaled(21), Scaled(53));
  Label2->adjustSize();

  Gauge1 = MakeGauge(Panel1, QStringLiteral("Gauge1"), FormRect(79, 20, 200, 22));
  Gauge2 = MakeGauge(Panel1, QStringLiteral("Gauge2"), FormRect(79, 49, 200, 22));

  setFixedSize(Scaled(300), Scaled(82));
  move(486, 114);

  if (!ThinkGauges)
    ThinkGauges = this;
}

TThinkGauges::~TThinkGauges() {
  if (ThinkProgress() == this)
    SetThinkProgress(nullptr);
  if (ThinkGauges == this)
    ThinkGauges = nullptr;
}

void TThinkGauges::FormActivate() {
  Gauge1->move(Label1->x() + Label1->width() + 2, Gauge1->y());
  Gauge2->move(Gauge1->x(), Gauge2->y());
  // The form sets the window's outer width; the frame belongs to the window
  // system here, so the rule sets the client width, which leaves a margin of
  // Label1's left on both sides of the gauges.
  setFixedSize(2 * Label1->x() + Label1->width() + Gauge1->width() + 2, height());
}

void TThinkGauges::Show() {
  // The designed position, kept on a screen smaller than the design's.
  if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
    const QRect Available = Screen->availableGeometry();
    move(
        std::clamp(x(), Available.left(), std::max(Available.left(), Available.right() - width())),
        std::clamp(y(), Available.top(), std::max(Available.top(), Available.bottom() - height())));
  }
  show();
  raise();
  // The window draws itself at the first chance the search gives.
  FMessagesDue = true;
}

void TThinkGauges::Hide() {
  hide();
}

TThinkGauges::TGaugeState* TThinkGauges::StateOf(int Gauge) {
  return Gauge == 1 || Gauge == 2 ? &FGauges[Gauge - 1] : nullptr;
}

const TThinkGauges::TGaugeState* TThinkGauges::StateOf(int Gauge) const {
  return Gauge == 1 || Gauge == 2 ? &FGauges[Gauge - 1] : nullptr;
}

QProgressBar* TThinkGauges::BarOf(int Gauge) const {
  return Gauge == 1 ? Gauge1 : Gauge2;
}

void TThinkGauges::SetMaxValue(int Gauge, int Value) {
  TGaugeState* State = StateOf(Gauge);
  if (!State)
    return;
  State->MaxValue = std::max(0, Value);
  State->Progress = std::min(State->Progress, State->MaxValue);
  ShowPercentage(Gauge);
}

int TThinkGauges::MaxValue(int Gauge) const {
  const TGaugeState* State = StateOf(Gauge);
  return State ? State->MaxValue : 0;
}

int TThinkGauges::Progress(int Gauge) const {
  const TGaugeState* State = StateOf(Gauge);
  return State ? State->Progress : 0;
}

void TThinkGauges::SetProgress(int Gauge, int Value) {
  TGaugeState* State = StateOf(Gauge);
  if (!State)
    return;
  State->Progress = std::clamp(Value, 0, State->MaxValue);
  ShowPercentage(Gauge);
}

void TThinkGauges::ShowPercentage(int Gauge) {
  const TGaugeState& State = FGauges[Gauge - 1];
  const int Percent =
      State.MaxValue > 0 ? static_cast<int>(qint64(State.Progress) * 100 / State.MaxValue) : 0;
  QProgressBar* Bar = BarOf(Gauge);
  if (Bar->value() == Percent)
    return;
  Bar->setValue(Percent);
  // The search does not return to the event loop, so paint now. QProgressBar
  // itself repaints at once only when the bar grows by a whole chunk.
  if (Bar->isVisible())
    Bar->repaint();
}

void TThinkGauges::ProcessMessages() {
  const qint64 Now = FClock();
  if (!FMessagesDue && Now - FLastMessages < MessageInterval)
    return;
  FMessagesDue = false;
  FLastMessages = Now;
  ::ProcessMessages();
}

void TThinkGauges::SetClock(TClock Clock) {
  FClock = Clock ? std::move(Clock) : MonotonicClock();
  FMessagesDue = true;
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
