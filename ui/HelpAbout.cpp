// SPDX-License-Identifier: GPL-3.0-or-later
#include "HelpAbout.h"

#include "Facilities.h"
#include "Trefoil.h"
#include "Version.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox1::TAboutBox1(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("AboutBox1"));
  setWindowTitle(tr("About"));
  SetDialogFrame(*this, true);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

  ProgramIcon = new QLabel(Panel1);
  ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
  ProgramIcon->setFixedSize(TrefoilWidth, TrefoilHeight);
  ProgramIcon->setScaledContents(true);
  ProgramIcon->setPixmap(TrefoilPicture(devicePixelRatioF()));

  ProductName = new QLabel(tr("Fizzgrid"), Panel1);
  ProductName->setObjectName(QStringLiteral("ProductName"));
  QFont Font = ProductName->font();
  Font.setBold(true);
  Font.setPixelSize(19);
  ProductName->setFont(Font);

  Version = new QLabel(tr("Version %1").arg(QString::fromLatin1(FizzgridVersion)), Panel1);
  Version->setObjectName(QStringLiteral("Version"));

  OKButton = new QPushButton(tr("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);

  auto* Texts = new QVBoxLayout;
  Texts->addWidget(ProductName);
  Texts->addWidget(Version);
  Texts->addStretch();
  auto* PanelLayout = new QHBoxLayout(Panel1);
  PanelLayout->addWidget(ProgramIcon, 0, Qt::AlignTop);
  PanelLayout->addSpacing(12);
  PanelLayout->addLayout(Texts);

  auto* Outer = new QVBoxLayout(this);
  Outer->addWidget(Panel1);
  Outer->addWidget(OKButton, 0, Qt::AlignHCenter);
  Outer->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKButton, &QPushButton::clicked, this, Guard([this] { accept(); }));
}

void TAboutBox1::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  Guarded([this] { CenterOnScreen(*this); });
}
