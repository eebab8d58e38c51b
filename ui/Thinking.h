#pragma once
// The thinking window: shown while the computer chooses its move, with one
// gauge for the computer's candidates at the top level ("Level 1") and one
// for the user's replies in three-level mode ("Level 2").
//
// Created once at program start (the program-wide ThinkGauges) and attached
// to the search with SetThinkProgress. Per computer move the search calls
// Show, SetMaxValue/SetProgress for gauges 1 and 2, ProcessMessages after
// every candidate, and Hide. FormActivate lays the gauges out beside the
// labels whenever the window is shown or activated.
//
// The form was designed at 120 pixels per inch; its positions and sizes are
// converted to logical pixels (96 per inch) with FormScale, so the window has
// its designed physical size on a 120-dpi screen, and Qt's high-DPI scaling
// takes care of other screens.

#include "Search.h"

#include <QWidget>

#include <QtGlobal>
#include <functional>

class QFrame;
class QLabel;
class QProgressBar;

class TThinkGauges : public QWidget, public TThinkProgress {
  Q_OBJECT
public:
  // Milliseconds from any fixed origin; must never go backwards.
  using TClock = std::function<qint64()>;

  static constexpr double FormScale = 96.0 / 120.0;
  // Pending messages are processed at most this often during a search.
  static constexpr qint64 MessageInterval = 10;

  explicit TThinkGauges(QWidget* Parent = nullptr);
  ~TThinkGauges() override;

  QFrame* Panel1;
  QLabel* Label1;
  QLabel* Label2;
  QProgressBar* Gauge1;
  QProgressBar* Gauge2;

  void FormActivate();

  void Show() override;
  void Hide() override;
  // Gauge is 1 or 2; other numbers are ignored (Progress answers 0).
  void SetMaxValue(int Gauge, int Value) override;
  int MaxValue(int Gauge) const;
  int Progress(int Gauge) const override;
  void SetProgress(int Gauge, int Value) override;
  // Processes pending messages when MessageInterval has passed since the
  // last time; the search calls this far more often than that.
  void ProcessMessages() override;

  // Replaces the monotonic clock (tests drive time by hand); an empty
  // function restores the default.
  void SetClock(TClock Clock);

protected:
  bool event(QEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  struct TGaugeState {
    int MaxValue = 100;
    int Progress = 0;
  };

  TGaugeState* StateOf(int Gauge);
  const TGaugeState* StateOf(int Gauge) const;
  QProgressBar* BarOf(int Gauge) const;
  void ShowPercentage(int Gauge);

  TGaugeState FGauges[2];
  TClock FClock;
  qint64 FLastMessages = 0;
  bool FMessagesDue = true;
};

// The single thinking window, or nullptr when none exists.
extern TThinkGauges* ThinkGauges;
