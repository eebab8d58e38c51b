#pragma once
// The application object and the small services every window relies on:
// the default error report, the guard that every Qt entry point runs its
// body in, processing pending messages (ProcessMessages, from Pump.h) and
// the cursors.
//
// Debian's Qt is built without exception support, so an exception must
// never unwind through a Qt frame. Every slot, overridden event handler and
// timer callback therefore runs its body inside Guarded(); an escaping
// std::exception ends that handler and is shown afterwards, queued, in an
// "Error" box while the event loop goes on. TApplication::notify catches
// the same way as the last safety net only.

#include "ErrorReport.h"
#include "Pump.h"

#include <QApplication>
#include <QString>

#include <exception>
#include <type_traits>
#include <utility>

class QHBoxLayout;
class QPushButton;
class QWidget;

class TApplication : public QApplication {
  Q_OBJECT
public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  bool notify(QObject* receiver, QEvent* event) override;
};

// The default error report and Guarded() come from the communication
// layer, which must report errors without knowing about windows; the
// application installs the report that shows the "Error" box.
//
// Shows the message of E in an "Error" box once the running handler has
// returned; never throws.
void ReportException(const std::exception& E) noexcept;

// Installs (or, with false, removes) the report that shows an "Error" box
// through MessageDlg. TApplication does this for its lifetime.
void InstallErrorReport(bool On = true);

// Wraps a callable into a guarded one, for connect():
//   connect(Btn, &QPushButton::clicked, this, Guard([this] { OKBtnClick(); }));
// The callable takes either all of the signal's arguments or none.
template <class F>
auto Guard(F f) {
  return [f = std::move(f)](auto&&... Args) mutable noexcept
         -> void requires(std::is_invocable_v<F&, decltype(Args)...> || std::is_invocable_v<F&>) {
    Guarded([&] {
      if constexpr (std::is_invocable_v<F&, decltype(Args)...>)
        f(std::forward<decltype(Args)>(Args)...);
      else
        f();
    });
  };
}

// The frame of the small dialogs: a fixed single border, opened centred on
// the screen; caption buttons are the system menu and close box only, or
// none at all.
void SetDialogFrame(QWidget& Dialog, bool CaptionButtons);
// The OK and Cancel buttons of a small dialog (form names "OKBtn" and
// "CancelBtn"), right-aligned in one row for the dialog's layout; OK is the
// default button.
QHBoxLayout* MakeOKCancelRow(QWidget& Dialog, QPushButton*& OKBtn, QPushButton*& CancelBtn);
void CenterOnScreen(QWidget& Window);

// Cursors, on a window (or the grid) or for the whole application.
enum class TCursorKind { Arrow, HourGlass, HandPoint };

void SetCursor(QWidget& Target, TCursorKind Kind);
TCursorKind CursorOf(const QWidget& Target);

// Application-wide hourglass while the program is busy; nesting is not
// counted, the last call wins.
void ShowHourGlass();
void ShowArrow();
bool HourGlassShown();

// Shows the hourglass for its lifetime and the arrow afterwards.
class THourGlass {
public:
  THourGlass() { ShowHourGlass(); }
  ~THourGlass() { ShowArrow(); }
  THourGlass(const THourGlass&) = delete;
  THourGlass& operator=(const THourGlass&) = delete;
};
