// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The name dialog: asks the local player's name once, at start-up.
//
// AskPlayerName fills the field from the stored name, shows the dialog
// modally and gives the answer: on OK the text as typed (an empty one
// included), on Cancel the stored name, or "You" when that is empty.

#include <QDialog>

class QLabel;
class QPushButton;
class TTextField;

class TEnterNameDialog : public QDialog {
  Q_OBJECT
public:
  explicit TEnterNameDialog(QWidget* Parent = nullptr);

  QString AskPlayerName(const QString& Stored);
  // What AskPlayerName gives for an answer, once the dialog has closed.
  QString NameFor(int Answer, const QString& Stored) const;

  QLabel* EditPlayerNameCaption;
  TTextField* EditPlayerName;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

protected:
  void showEvent(QShowEvent* Event) override;
};
