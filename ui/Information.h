// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The information box: a modeless notice with the trefoil picture, shown by
// the main window while a connection is being made and hidden again by it.
// It has no caption buttons; its inner width is always the notice's width
// plus 80 pixels.

#include <QDialog>

class QLabel;

class TInformationDialog : public QDialog {
  Q_OBJECT
public:
  static constexpr int ExtraWidth = 80;

  explicit TInformationDialog(QWidget* Parent = nullptr);

  // Puts Text into DialogText, sizes the box to it, shows it without
  // making it modal, brings it to the front and lets pending messages run
  // so that it is drawn before the caller goes on.
  void ShowNotice(const QString& Text);
  void HideNotice();

  QLabel* Image;
  QLabel* DialogText;

protected:
  void closeEvent(QCloseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
};
