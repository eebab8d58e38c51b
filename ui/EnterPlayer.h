#pragma once
// The name dialog: asks the local player's name once, at start-up.
//
// AskPlayerName fills the field from PlayerNames[0], shows the dialog
// modally and stores the answer: on OK the text as typed (an empty one
// included), on Cancel the stored name, or "You" when that is empty.

#include <QDialog>

class QLabel;
class QPushButton;
class TTextField;

class TEnterNameDialog : public QDialog {
  Q_OBJECT
public:
  explicit TEnterNameDialog(QWidget* Parent = nullptr);

  // Returns the dialog's answer (QDialog::Accepted or Rejected).
  int AskPlayerName();
  // What AskPlayerName stores for an answer, once the dialog has closed.
  void StoreName(int Answer);

  QLabel* EditPlayerNameCaption;
  TTextField* EditPlayerName;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

protected:
  void showEvent(QShowEvent* Event) override;
};
