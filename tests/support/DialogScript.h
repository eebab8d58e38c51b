// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's modal dialogs, scripted: while a TDialogScript lives, every
// dialog run through RunModal is shown, handed to the next step queued for
// its object name (which fills fields and clicks buttons) and cancelled if
// still open afterwards.

#include "EnterPlayer.h"
#include "EntryFields.h"
#include "Facilities.h"
#include "GameTypeDialog.h"
#include "SizeDialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <functional>

class TDialogScript {
public:
  using TStep = std::function<void(QDialog&)>;

  TDialogScript() {
    SetModalRunner([this](QDialog& Dialog) { return Run(Dialog); });
  }
  ~TDialogScript() { SetModalRunner({}); }
  TDialogScript(const TDialogScript&) = delete;
  TDialogScript& operator=(const TDialogScript&) = delete;

  void On(const QString& DialogName, TStep Step) { FSteps[DialogName].append(std::move(Step)); }
  // Object names of the dialogs shown, in order.
  QStringList Shown;

  static TStep Name(const QString& Text) {
    return [Text](QDialog& Dialog) {
      static_cast<TEnterNameDialog&>(Dialog).EditPlayerName->setText(Text);
      static_cast<TEnterNameDialog&>(Dialog).OKBtn->click();
    };
  }
  static TStep ReadName(QString& Into) {
    return [&Into](QDialog& Dialog) {
      Into = static_cast<TEnterNameDialog&>(Dialog).EditPlayerName->text();
    };
  }
  static TStep LocalGame() {
    return [](QDialog& Dialog) {
      static_cast<TGameTypeSelection&>(Dialog).LocalGame->click();
      static_cast<TGameTypeSelection&>(Dialog).OKBtn->click();
    };
  }
  static TStep Dimensions(int Rows, int Cols) {
    return [=](QDialog& Dialog) {
      static_cast<TSizeDlg&>(Dialog).EditNumRows->SetValue(uint8_t(Rows));
      static_cast<TSizeDlg&>(Dialog).EditNumCols->SetValue(uint8_t(Cols));
      static_cast<TSizeDlg&>(Dialog).OKBtn->click();
    };
  }

private:
  int Run(QDialog& Dialog) {
    Shown.append(Dialog.objectName());
    Dialog.show();
    if (QList<TStep>& Steps = FSteps[Dialog.objectName()]; !Steps.isEmpty())
      Steps.takeFirst()(Dialog);
    if (Dialog.isVisible())
      Dialog.reject();
    return Dialog.result();
  }
  QHash<QString, QList<TStep>> FSteps;
};
