// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dimensions dialog: the number of board rows and columns, 4 to 8 each.
//
// The dimensions in force go into the fields before every showing; OK
// validates both fields and keeps the dialog open on a value out of range.
// AskDimensions does the whole round trip: fill, show modally, and on OK
// give the fields' values. Rebuilding the board afterwards, on OK and
// Cancel alike, is the game's part.

#include <QDialog>

#include <cstdint>
#include <optional>
#include <utility>

class QLabel;
class QPushButton;
class TByteField;

class TSizeDlg : public QDialog {
  Q_OBJECT
public:
  static constexpr int MinDimension = 4;
  static constexpr int MaxDimension = 8;

  explicit TSizeDlg(QWidget* Parent = nullptr);

  // The rows and columns chosen; nothing on Cancel.
  std::optional<std::pair<uint8_t, uint8_t>> AskDimensions(uint8_t NumRows, uint8_t NumCols);
  void ShowDimensions(uint8_t NumRows, uint8_t NumCols);
  // The fields' values, when both are in range.
  std::optional<std::pair<uint8_t, uint8_t>> Dimensions() const;

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
