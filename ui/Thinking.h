// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The thinking window: shown while the computer chooses its move, with one
// gauge for the computer's candidates at the top level ("Level 1") and one
// for the user's replies in three-level mode ("Level 2").
//
// The game window creates it once the first game is on. The search
// runs on a worker thread and reports through the relay (TThinkRelay),
// whose signals reach ShowThinking and HideThinking here. The gauges
// follow the relay's published percentages at most once per GaugeInterval:
// a gauge repaints at once when its value changes, and a search steps it
// hundreds of times, which would keep the window system busy beside the
// search and hold back its answer.
// FormActivate lays the gauges out beside the labels whenever the window is
// shown or activated. The window never takes the keyboard focus: the main
// window's shortcuts keep working while it comes and goes.
//
// The form was designed at 120 pixels per inch; its positions and sizes are
// converted to logical pixels (96 per inch) with FormScaled, so the window
// has its designed physical size on a 120-dpi screen, and Qt's high-DPI
// scaling takes care of other screens.

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;
class TThinkRelay;

class TThinkGauges : public QWidget {
  Q_OBJECT
public:
  static constexpr int GaugeInterval = 40;

  explicit TThinkGauges(QWidget* Parent = nullptr);
  ~TThinkGauges() override;

  QFrame* Panel1;
  QLabel* Label1;
  QLabel* Label2;
  QProgressBar* Gauge1;
  QProgressBar* Gauge2;

  void FormActivate();
  // Shows the window at its place, without activating it.
  void ShowThinking();
  void HideThinking();
  // Gauge 1 or 2 shows Percent (0..100) done.
  void ShowPercent(int Gauge, int Percent);
  // Follows what Relay reports.
  void Follow(TThinkRelay& Relay);

protected:
  bool event(QEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  QPointer<TThinkRelay> FRelay;
  QTimer FGaugeTimer;
};
