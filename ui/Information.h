// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The information box: a modeless notice with the trefoil picture, shown by
// the main window while a connection is being made and hidden again by it.
// It has no caption buttons; its inner width is always the notice's width
// plus 80 pixels.
//
// A wait that ends within ShowDelay ms leaves the box unshown: a box mapped
// and unmapped again within a frame or two is seen, if at all, as a black
// flash before it could be painted. A longer wait shows it, painted the
// moment the window system exposes it.

#include <QDialog>
#include <QTimer>

class QLabel;

class TInformationDialog : public QDialog {
  Q_OBJECT
public:
  static constexpr int ExtraWidth = 80;
  static constexpr int ShowDelay = 80;

  explicit TInformationDialog(QWidget* Parent = nullptr);

  // Puts Text into DialogText and sizes the box to it; unless HideNotice
  // comes first, the box shows ShowDelay ms later, without being modal and
  // without taking the keyboard, in front.
  void ShowNotice(const QString& Text);
  void HideNotice();
  // Shown, or about to be.
  bool NoticePending() const { return FShowTimer.isActive() || isVisible(); }

  QLabel* Image;
  QLabel* DialogText;

protected:
  void closeEvent(QCloseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;

private:
  void ShowNow();

  QTimer FShowTimer;
};
