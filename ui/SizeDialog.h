#pragma once
// The dimensions dialog: the number of board rows and columns, 4 to 8 each.
//
// The main window puts NumRows and NumCols into the fields before every
// showing; OK validates both fields and keeps the dialog open on a value out
// of range. AskDimensions does the whole round trip: fill, show modally,
// and on OK store the fields into NumRows and NumCols. Rebuilding the board
// afterwards, on OK and Cancel alike, is the main window's part.

#include <QDialog>

class QLabel;
class QPushButton;
class TByteField;

class TSizeDlg : public QDialog {
  Q_OBJECT
public:
  static constexpr int MinDimension = 4;
  static constexpr int MaxDimension = 8;

  explicit TSizeDlg(QWidget* Parent = nullptr);

  // Returns the dialog's answer (QDialog::Accepted or Rejected).
  int AskDimensions();
  void ShowDimensions();
  void StoreDimensions();

  QLabel* LabelRowEdit;
  TByteField* EditNumRows;
  QLabel* LabelColEdit;
  TByteField* EditNumCols;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

protected:
  void showEvent(QShowEvent* Event) override;

private:
  void FormActivate();
  void OKBtnClick();
};
