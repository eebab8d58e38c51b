// SPDX-License-Identifier: GPL-3.0-or-later
#include "EnterPlayer.h"

#include "EntryFields.h"
#include "Facilities.h"
#include "RuntimeData.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TEnterNameDialog::TEnterNameDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("EnterNameDialog"));
  setWindowTitle(tr("Gimme ..."));
  SetDialogFrame(*this, true);

  EditPlayerNameCaption = new QLabel(tr("Your Name : "), this);
  EditPlayerNameCaption->setObjectName(QStringLiteral("EditPlayerNameCaption"));
  EditPlayerNameCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  EditPlayerName = new TTextField(this, MaxNameLength);
  EditPlayerName->setObjectName(QStringLiteral("EditPlayerName"));
  EditPlayerName->setMinimumWidth(180);
  EditPlayerName->setAccessibleName(tr("Your name"));
  EditPlayerNameCaption->setBuddy(EditPlayerName);

  auto* Layout = new QGridLayout(this);
  Layout->addWidget(EditPlayerNameCaption, 0, 0);
  Layout->addWidget(EditPlayerName, 0, 1);
  QHBoxLayout* Buttons = MakeOKCancelRow(*this, OKBtn, CancelBtn);
  Layout->addLayout(Buttons, 1, 0, 1, 2);
  Layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKBtn, &QPushButton::clicked, this, Guard([this] { accept(); }));
  connect(CancelBtn, &QPushButton::clicked, this, Guard([this] { reject(); }));
}

void TEnterNameDialog::showEvent(QShowEvent* Event) {
  Guarded([this] {
    // Setting the limit drops the selection; keep the one made before
    // showing so that typing replaces the stored name.
    const int Start = EditPlayerName->selectionStart();
    const int Length = EditPlayerName->selectedText().size();
    EditPlayerName->setMaxLength(MaxNameLength);
    if (Start >= 0)
      EditPlayerName->setSelection(Start, Length);
  });
  QDialog::showEvent(Event);
  Guarded([this] { CenterOnScreen(*this); });
}

QString TEnterNameDialog::AskPlayerName(const QString& Stored) {
  EditPlayerName->setText(Stored);
  EditPlayerName->selectAll();
  return NameFor(RunModal(*this), Stored);
}

QString TEnterNameDialog::NameFor(int Answer, const QString& Stored) const {
  if (Answer == QDialog::Accepted)
    return EditPlayerName->text();
  return Stored.isEmpty() ? DefaultNames[0] : Stored;
}
