// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about box, created by the program entry and shown modally from the
// main window's "&About..." item; OKButton closes it.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox1 : public QDialog {
  Q_OBJECT
public:
  explicit TAboutBox1(QWidget* Parent = nullptr);

  QFrame* Panel1;
  QLabel* ProgramIcon;
  QLabel* ProductName;
  QLabel* Version;
  QPushButton* OKButton;

protected:
  void showEvent(QShowEvent* Event) override;
};
