// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameTypeDialog.h"

#include "EntryFields.h"
#include "Facilities.h"
#include "MessageDlg.h"
#include "RuntimeData.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

constexpr int Margin = 8;
constexpr int BoxWidth = 300;

} // namespace

TGameTypeSelection::TGameTypeSelection(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("GameTypeSelection"));
  setWindowTitle(tr("Game Type"));
  SetDialogFrame(*this, true);

  GameType = new QGroupBox(tr(" Select a game type "), this);
  GameType->setObjectName(QStringLiteral("GameType"));
  LocalGame = new QRadioButton(tr("Local game"), GameType);
  LocalGame->setObjectName(QStringLiteral("LocalGame"));
  LocalGame->setToolTip(tr("Play against the computer"));
  OtherComputer = new QRadioButton(tr("Against other computer"), GameType);
  OtherComputer->setObjectName(QStringLiteral("OtherComputer"));
  OtherComputer->setToolTip(tr("Play against a friend somewhere on the Net"));
  Master = new QCheckBox(tr("Master"), GameType);
  Master->setObjectName(QStringLiteral("Master"));
  Master->setToolTip(tr("Check this if you want to decide on the size of the game board"));

  AdresLabel = new QLabel(tr("Address :"), this);
  AdresLabel->setObjectName(QStringLiteral("AdresLabel"));
  Internet = new TTextField(this, MaxAddressLength);
  Internet->setObjectName(QStringLiteral("Internet"));
  Internet->setToolTip(tr("The TCP/IP address of the computer of your opponent"));
  Internet->setAccessibleName(tr("Address of your opponent's computer"));
  AdresLabel->setBuddy(Internet);

  OKBtn = new QPushButton(tr("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);

  // Fixed positions: UpdateLayout works in pixels on these.
  const int GroupTop = GameType->fontMetrics().height() + 4;
  int Y = GroupTop;
  for (QWidget* Choice : {static_cast<QWidget*>(LocalGame), static_cast<QWidget*>(OtherComputer),
                          static_cast<QWidget*>(Master)}) {
    const QSize Hint = Choice->sizeHint();
    // As wide as their text, so a click beside it does not toggle them.
    Choice->setGeometry(12, Y, std::min(Hint.width(), BoxWidth - 24), Hint.height());
    Y += Hint.height() + 4;
  }
  GameType->setGeometry(Margin, Margin, BoxWidth, Y + 6);

  const int RowTop = GameType->y() + GameType->height() + 2;
  const int RowHeight = Internet->sizeHint().height();
  const QSize LabelSize = AdresLabel->sizeHint();
  AdresLabel->setGeometry(Margin, RowTop + (RowHeight - LabelSize.height()) / 2, LabelSize.width(),
                          LabelSize.height());
  const int FieldLeft = Margin + LabelSize.width() + 6;
  Internet->setGeometry(FieldLeft, RowTop, Margin + BoxWidth - FieldLeft, RowHeight);

  const QSize ButtonSize = OKBtn->sizeHint().expandedTo(QSize(80, 0));
  OKBtn->resize(ButtonSize);

  connect(LocalGame, &QRadioButton::clicked, this, Guard([this] { LocalGameClick(); }));
  connect(OtherComputer, &QRadioButton::clicked, this, Guard([this] { OtherComputerClick(); }));
  connect(Master, &QCheckBox::clicked, this, Guard([this] { UpdateLayout(); }));
  connect(OKBtn, &QPushButton::clicked, this, Guard([this] { OKBtnClick(); }));

  ShowSettings();
  UpdateLayout();
}

void TGameTypeSelection::showEvent(QShowEvent* Event) {
  Guarded([this] { FormActivate(); });
  QDialog::showEvent(Event);
  Guarded([this] { CenterOnScreen(*this); });
}

bool TGameTypeSelection::AskGameType(TSettings& Settings) {
  FSettings = Settings;
  const bool Chosen = RunModal(*this) == QDialog::Accepted;
  Settings = FSettings;
  return Chosen;
}

void TGameTypeSelection::FormActivate() {
  ShowSettings();
  UpdateLayout();
}

void TGameTypeSelection::ShowSettings() {
  if (FSettings.ConnectionLastGame == 0) {
    LocalGame->setChecked(true);
    Master->setChecked(true);
  } else {
    OtherComputer->setChecked(true);
    Master->setChecked(FSettings.LCR == 1);
  }
  Master->setEnabled(OtherComputer->isChecked());
  Internet->setText(FSettings.InternetAddress);
  Internet->SetInError(false);
}

void TGameTypeSelection::UpdateLayout() {
  const int GroupBottom = GameType->y() + GameType->height();
  int InnerHeight = GroupBottom + OKBtn->height() + 4;
  int ButtonTop = GroupBottom + 2;
  const bool AddressNeeded = !LocalGame->isChecked() && !Master->isChecked();
  if (AddressNeeded) {
    InnerHeight += Internet->height() + 4;
    ButtonTop += Internet->height() + 4;
  }
  const int InnerWidth = GameType->x() + GameType->width() + Margin;
  OKBtn->move((InnerWidth - OKBtn->width()) / 2, ButtonTop);
  setFixedSize(InnerWidth, InnerHeight);
  AdresLabel->setVisible(AddressNeeded);
  Internet->setVisible(AddressNeeded);
  if (AddressNeeded) {
    Internet->selectAll();
    Internet->setFocus(Qt::OtherFocusReason);
  }
}

void TGameTypeSelection::LocalGameClick() {
  // A local game is always played as master.
  Master->setChecked(true);
  Master->setEnabled(false);
  UpdateLayout();
}

void TGameTypeSelection::OtherComputerClick() {
  Master->setEnabled(true);
  Master->setChecked(FSettings.LCR == 1);
  UpdateLayout();
}

void TGameTypeSelection::OKBtnClick() {
  if (OtherComputer->isChecked() && !Master->isChecked() && Internet->text().isEmpty()) {
    Internet->SetInError(true);
    MessageDlg(tr("You have to specify an internet address"), TMsgType::Error, TMsgButton::OK);
    Internet->setFocus(Qt::OtherFocusReason);
    return;
  }
  accept();
}

void TGameTypeSelection::done(int Result) {
  Guarded([this] { FormClose(); });
  QDialog::done(Result);
}

void TGameTypeSelection::FormClose() {
  FSettings.RelationLastGame = Master->isChecked() ? 1 : 2;
  if (LocalGame->isChecked()) {
    FSettings.ConnectionLastGame = 0;
    return;
  }
  FSettings.LCR = FSettings.RelationLastGame;
  FSettings.ConnectionLastGame = 1;
  FSettings.InternetAddress = Internet->text().left(MaxAddressLength);
  FSettings.LCC = FSettings.ConnectionLastGame;
}
