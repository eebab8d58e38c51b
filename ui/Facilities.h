// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small services every window relies on: the default error report, the
// guard that every Qt entry point runs its body in, modal dialogs, the
// cursors and the form's scale. The application object is in Application.h.
//
// Debian's Qt is built without exception support, so an exception must
// never unwind through a Qt frame. Every slot, overridden event handler and
// timer callback therefore runs its body inside Guarded(); an escaping
// std::exception ends that handler and is shown afterwards, queued, in an
// "Error" box while the event loop goes on.

#include "ErrorReport.h"

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

// The default error report and Guarded() come from the communication
// layer, which must report errors without knowing about windows; the
// application installs the report that shows the "Error" box.
//
// Shows the message of E in an "Error" box once the running handler has
// returned; never throws.
void ReportException(const std::exception& E) noexcept;

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
// The width a window needs for its whole caption in the title bar, with the
// bar's icon and buttons: a narrower window has its caption cut short.
int CaptionWidth(const QWidget& Window);
// Makes Window at least CaptionWidth wide.
void FitCaption(QWidget& Window);
// The OK and Cancel buttons of a small dialog (form names "OKBtn" and
// "CancelBtn"), right-aligned in one row for the dialog's layout; OK is the
// default button.
QHBoxLayout* MakeOKCancelRow(QWidget& Dialog, QPushButton*& OKBtn, QPushButton*& CancelBtn);
void CenterOnScreen(QWidget& Window);

// Cursors, on a window (or the grid) or for the whole application.
enum class TCursorKind { Arrow, HourGlass, HandPoint };

void SetCursor(QWidget& Target, TCursorKind Kind);
TCursorKind CursorOf(const QWidget& Target);

// Every modal dialog of the program runs through RunModal (message boxes
// through MessageDlg, which counts the same way). A modal runner replaces
// QDialog::exec() (tests answer the dialogs with one); an empty function
// restores it.
using TModalRunner = std::function<int(QDialog& Dialog)>;
void SetModalRunner(TModalRunner Runner);
int RunModal(QDialog& Dialog);
// Whether a modal dialog or box is open now.
bool ModalOpen();
// Notify runs each time the last open modal dialog or box has closed, from
// the event loop, as long as Context lives.
void OnModalEnded(QObject* Context, std::function<void()> Notify);

// Counts a modal dialog or box as open for its lifetime.
class TModalScope {
public:
  TModalScope();
  ~TModalScope();
  TModalScope(const TModalScope&) = delete;
  TModalScope& operator=(const TModalScope&) = delete;
};

// The forms were laid out at 120 pixels per inch; positions and sizes are
// logical pixels at 96 per inch, rounded to the nearest.
constexpr int FormScaled(int DesignPixels) {
  return (DesignPixels * 4 + 2) / 5;
}
