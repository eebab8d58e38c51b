// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game type dialog: a game against the computer or against another
// computer, this program's role (Master) and the opponent's address.
//
// The main window owns it and shows it modally until it is answered with OK
// (OKBtn); the close box answers Cancel. AskGameType hands it the settings
// of the session: every showing first reads them (ShowSettings) and lays
// itself out (UpdateLayout); every close, OK or not, stores the choice into
// their ConnectionLastGame, RelationLastGame, LCR, LCC and InternetAddress
// (FormClose).

#include "RuntimeData.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TTextField;

class TGameTypeSelection : public QDialog {
  Q_OBJECT
public:
  explicit TGameTypeSelection(QWidget* Parent = nullptr);

  // Shows the dialog modally on Settings; true on OK.
  bool AskGameType(TSettings& Settings);
  // The settings the dialog shows and stores into.
  TSettings& Settings() { return FSettings; }

  void done(int Result) override;

  QGroupBox* GameType;
  QRadioButton* LocalGame;
  QRadioButton* OtherComputer;
  QCheckBox* Master;
  QLabel* AdresLabel;
  TTextField* Internet;
  QPushButton* OKBtn;

protected:
  void showEvent(QShowEvent* Event) override;

private:
  void FormActivate();
  void ShowSettings();
  void UpdateLayout();
  void LocalGameClick();
  void OtherComputerClick();
  void OKBtnClick();
  void FormClose();

  TSettings FSettings;
};
