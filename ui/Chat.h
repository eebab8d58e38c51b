// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chat window of a game against another computer: the user types in
// SendMemo and reads the partner's text in the read-only ReceiveMemo.
//
// The main window creates it once, right after the first exchange of names
// and dimensions, shows it (not modal) and releases it with itself. The
// constructor makes the chat connection at once through FChatIO, which it
// owns; outside a game against another computer it raises
// std::runtime_error "Unknown connection for Chat".
//
// Enter in SendMemo (with any shift key) sends the last line as displayed
// (a wrapped line counts as several, a final empty line not at all) and then
// begins a new line. Received text is appended to ReceiveMemo as a new line;
// the user's own text is not echoed there. FormResize shares the height
// below the two labels equally between the memos on every resize and every
// activation. The window has no caption buttons and ignores a close request
// from the title bar: it goes only with the main window.

#include "ChatIO.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPlainTextEdit;
class TChatIO;

class TChatForm : public QWidget {
  Q_OBJECT
public:
  static constexpr int MinWidth = 310;
  static constexpr int MinHeight = 250;

  // The chat on Link; raises what TChatIO raises.
  explicit TChatForm(const TChatLink& Link, QWidget* Parent = nullptr);
  ~TChatForm() override;

  QLabel* Label1;
  QPlainTextEdit* SendMemo;
  QLabel* Label2;
  QPlainTextEdit* ReceiveMemo;

  // The last line of SendMemo as displayed; what Enter sends.
  QString LastSendLine() const;
  // Appends Text to ReceiveMemo as a new line (several when it holds line
  // breaks, and a line of more than 4096 characters is broken into lines of
  // that length). The memo keeps the newest 5000 lines and 256 KiB of text.
  void AppendReceived(const QString& Text);

  void FormResize();
  // Handles a key pressed in SendMemo; true when the key was taken.
  bool SendMemoKeyDown(int Key);

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  bool event(QEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;

private:
  void FormCreate(const TChatLink& Link);
  void DropOldestReceived();

  std::unique_ptr<TChatIO> FChatIO;
};
