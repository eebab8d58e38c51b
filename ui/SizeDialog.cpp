// SPDX-License-Identifier: GPL-3.0-or-later
#include "SizeDialog.h"

#include "EntryFields.h"
#include "Facilities.h"
#include "RuntimeData.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TSizeDlg::TSizeDlg(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("SizeDlg"));
  setWindowTitle(tr("Customize dimensions"));
  SetDialogFrame(*this, true);

  LabelRowEdit = new QLabel(tr("Number of Rows"), this);
  LabelRowEdit->setObjectName(QStringLiteral("LabelRowEdit"));
  EditNumRows = new TByteField(this);
  EditNumRows->setObjectName(QStringLiteral("EditNumRows"));
  EditNumRows->SetArrowStepping(true);
  EditNumRows->setAccessibleName(tr("Number of rows"));
  LabelRowEdit->setBuddy(EditNumRows);
  LabelColEdit = new QLabel(tr("Number of Columns"), this);
  LabelColEdit->setObjectName(QStringLiteral("LabelColEdit"));
  EditNumCols = new TByteField(this);
  EditNumCols->setObjectName(QStringLiteral("EditNumCols"));
  EditNumCols->setAccessibleName(tr("Number of columns"));
  LabelColEdit->setBuddy(EditNumCols);

  auto* Layout = new QGridLayout(this);
  Layout->addWidget(LabelRowEdit, 0, 0);
  Layout->addWidget(EditNumRows, 0, 1);
  Layout->addWidget(LabelColEdit, 1, 0);
  Layout->addWidget(EditNumCols, 1, 1);
  QHBoxLayout* Buttons = MakeOKCancelRow(*this, OKBtn, CancelBtn);
  Layout->addLayout(Buttons, 2, 0, 1, 2);
  Layout->setSizeConstraint(QLayout::SetFixedSize);

  for (TByteField* Field : {EditNumRows, EditNumCols}) {
    Field->SetMaxValue(MaxDimension);
    Field->SetMinValue(MinDimension);
  }

  connect(OKBtn, &QPushButton::clicked, this, Guard([this] { OKBtnClick(); }));
  connect(CancelBtn, &QPushButton::clicked, this, Guard([this] { reject(); }));
}

void TSizeDlg::showEvent(QShowEvent* Event) {
  Guarded([this] { FormActivate(); });
  QDialog::showEvent(Event);
  Guarded([this] { CenterOnScreen(*this); });
}

void TSizeDlg::FormActivate() {
  for (TByteField* Field : {EditNumRows, EditNumCols}) {
    Field->SetMaxValue(MaxDimension);
    Field->SetMinValue(MinDimension);
  }
  EditNumRows->setFocus(Qt::OtherFocusReason);
}

void TSizeDlg::OKBtnClick() {
  for (TByteField* Field : {EditNumRows, EditNumCols}) {
    if (!Field->Validate())
      return;
  }
  accept();
}

void TSizeDlg::ShowDimensions(uint8_t NumRows, uint8_t NumCols) {
  EditNumRows->SetValue(NumRows);
  EditNumCols->SetValue(NumCols);
}

std::optional<std::pair<uint8_t, uint8_t>> TSizeDlg::Dimensions() const {
  // Validated on OK, but the fields are public: never answer out of range.
  if (!EditNumRows->InRange() || !EditNumCols->InRange())
    return std::nullopt;
  return std::pair(uint8_t(EditNumRows->Value()), uint8_t(EditNumCols->Value()));
}

std::optional<std::pair<uint8_t, uint8_t>> TSizeDlg::AskDimensions(uint8_t NumRows,
                                                                   uint8_t NumCols) {
  ShowDimensions(NumRows, NumCols);
  if (RunModal(*this) != QDialog::Accepted)
    return std::nullopt;
  return Dimensions();
}
