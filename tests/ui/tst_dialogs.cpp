// SPDX-License-Identifier: GPL-3.0-or-later
#include "Application.h"
#include "EnterPlayer.h"
#include "EntryFields.h"
#include "Facilities.h"
#include "GameTypeDialog.h"
#include "HelpAbout.h"
#include "MessageDlg.h"
#include "RuntimeData.h"
#include "ScriptedMessages.h"
#include "SizeDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// "ConnectionLastGame RelationLastGame LCR LCC InternetAddress"
QString Stored(const TSettings& S) {
  return u"%1 %2 %3 %4 %5"_s.arg(S.ConnectionLastGame)
      .arg(S.RelationLastGame)
      .arg(S.LCR)
      .arg(S.LCC)
      .arg(S.InternetAddress);
}

// What the game type dialog shows, e.g. "other, master off, address row selected".
QString State(const TGameTypeSelection& Dialog) {
  const bool Row = Dialog.AdresLabel->isVisible() && Dialog.Internet->isVisible();
  const bool Selected = Dialog.focusWidget() == Dialog.Internet &&
                        Dialog.Internet->selectedText() == Dialog.Internet->text();
  return u"%1, master %2%3%4"_s.arg(
      Dialog.OtherComputer->isChecked() ? u"other"_s : u"local"_s,
      Dialog.Master->isChecked() ? u"on"_s : u"off"_s,
      Dialog.Master->isEnabled() ? u""_s : u" disabled"_s,
      Row ? (Selected ? u", address row selected"_s : u", address row"_s) : u""_s);
}

} // namespace

class TestDialogs : public QObject {
  Q_OBJECT

private:
  TScriptedMessages FMessages;

private Q_SLOTS:
  void init() { FMessages.Clear(); }

  // Opened from the stored choice, then switched to a local game and back:
  // the role then comes from LCR, not from the box's last state.
  void gameTypeOpensAndSwitches() {
    // ConnectionLastGame, LCR: shown on opening | after the switch.
    const std::tuple<uint8_t, uint8_t, QString> Cases[] = {
        {0, 0, u"local, master on disabled | other, master off, address row selected"_s},
        {0, 2, u"local, master on disabled | other, master off, address row selected"_s},
        {1, 1, u"other, master on | other, master on"_s},
        {1, 2,
         u"other, master off, address row selected | other, master off, address row selected"_s}};
    for (const auto& [Connection, Lcr, Expected] : Cases) {
      TGameTypeSelection Dialog;
      Dialog.Settings().ConnectionLastGame = Connection;
      Dialog.Settings().LCR = Lcr;
      Dialog.Settings().InternetAddress = u"peer.example.org"_s;
      Dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&Dialog));
      const QString Opened = State(Dialog);
      QTest::mouseClick(Dialog.LocalGame, Qt::LeftButton);
      QCOMPARE(State(Dialog), u"local, master on disabled"_s);
      QTest::mouseClick(Dialog.OtherComputer, Qt::LeftButton);
      QCOMPARE(Opened + u" | "_s + State(Dialog), Expected);
      QCOMPARE(Dialog.Internet->text(), u"peer.example.org"_s);
    }
  }

  // Whichever way the dialog closes, the choice is stored.
  void gameTypeStoresOnEveryClose() {
    const QStringList Cases[] = {{u"local"_s, u"0 1 2 0 old.host"_s},
                                 {u"master"_s, u"1 1 1 1 10.0.0.7"_s},
                                 {u"slave"_s, u"1 2 2 1 10.0.0.7"_s}};
    for (const QStringList& Case : Cases) {
      for (const QString& Way : {u"OK"_s, u"close box"_s, u"Escape"_s}) {
        TGameTypeSelection Dialog;
        TSettings& Settings = Dialog.Settings();
        Settings.ConnectionLastGame = Settings.RelationLastGame = Settings.LCC = 0;
        Settings.LCR = 2;
        Settings.InternetAddress = u"old.host"_s;
        Dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Dialog));
        QTest::mouseClick(Case[0] == "local"_L1 ? Dialog.LocalGame : Dialog.OtherComputer,
                          Qt::LeftButton);
        if (Case[0] == "master"_L1)
          QTest::mouseClick(Dialog.Master, Qt::LeftButton);
        Dialog.Internet->selectAll();
        QTest::keyClicks(Dialog.Internet, u"10.0.0.7"_s);
        if (Way == "OK"_L1)
          QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
        else if (Way == "Escape"_L1)
          QTest::keyClick(&Dialog, Qt::Key_Escape);
        else
          QVERIFY(Dialog.close());
        // "choice by way: still visible, answer, stored settings"
        QCOMPARE(u"%1 by %2: %3 %4, "_s.arg(Case[0], Way)
                         .arg(int(Dialog.isVisible()))
                         .arg(Dialog.result()) +
                     Stored(Settings),
                 u"%1 by %2: 0 %3, "_s.arg(Case[0], Way).arg(Way == "OK"_L1 ? 1 : 0) + Case[1]);
      }
    }
    QCOMPARE(FMessages.Count(), 0);
  }

  void gameTypeAddressCheck() {
    TGameTypeSelection Dialog;
    Dialog.Settings().ConnectionLastGame = 1;
    Dialog.Settings().LCR = 2;
    Dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Dialog));
    QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
    QCOMPARE(FMessages.Texts(), QStringList{u"You have to specify an internet address"_s});
    QCOMPARE(FMessages.Records().front().Buttons, TMsgButtons(TMsgButton::OK));
    QVERIFY(Dialog.isVisible());
    QCOMPARE(Dialog.focusWidget(), Dialog.Internet);
    QVERIFY(HasErrorLook(*Dialog.Internet));
    QTest::keyClicks(Dialog.Internet, u"x"_s);
    QVERIFY(!Dialog.Internet->InError());
    // As master no address is needed: the empty one is stored.
    Dialog.Internet->clear();
    QTest::mouseClick(Dialog.Master, Qt::LeftButton);
    QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
    QCOMPARE(FMessages.Count(), 1);
    QCOMPARE(Dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Stored(Dialog.Settings()), u"1 1 1 1 "_s);
  }

  // First run: the field takes 20 characters, and OK with the field
  // emptied gives an empty name. (Cancel's "You" is the window's first run.)
  void nameDialogOnFirstRun() {
    TEnterNameDialog Dialog;
    QString Typed;
    QTimer::singleShot(0, &Dialog, [&] {
      QTest::keyClicks(Dialog.EditPlayerName, u"abcdefghijklmnopqrstuvwxyz"_s);
      Typed = Dialog.EditPlayerName->text();
      Dialog.EditPlayerName->clear();
      QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
    });
    QCOMPARE(Dialog.AskPlayerName(QString()), QString());
    QCOMPARE(Typed, u"abcdefghijklmnopqrst"_s);
  }

  // OK on rows and columns typed over 6 x 7: accepted, or the refused field
  // keeps the focus with its text selected, in its error colours until
  // corrected; Cancel then keeps the old dimensions.
  void sizeDialog() {
    const auto Refused = [](const char* Field, const char* Text) {
      return u"6 x 7 focus EditNumRows; refused %1 %2 #ff0000 #000000, unmarked; 6 x 7"_s.arg(
          QLatin1StringView(Field), QLatin1StringView(Text));
    };
    const QStringList Cases[] = {{u"4"_s, u"8"_s, u"6 x 7 focus EditNumRows; OK; 4 x 8"_s},
                                 {u"007"_s, u"4"_s, u"6 x 7 focus EditNumRows; OK; 7 x 4"_s},
                                 {u"9"_s, u"5"_s, Refused("EditNumRows", "9")},
                                 {u"3"_s, u"5"_s, Refused("EditNumRows", "3")},
                                 {u"5"_s, u"9"_s, Refused("EditNumCols", "9")},
                                 {u"6"_s, u"3"_s, Refused("EditNumCols", "3")},
                                 {u""_s, u"5"_s, Refused("EditNumRows", "")},
                                 {u"4"_s, u"999"_s, Refused("EditNumCols", "999")}};
    for (const QStringList& Case : Cases) {
      FMessages.Clear();
      TSizeDlg Dialog;
      QString Seen;
      QTimer::singleShot(0, &Dialog, [&] {
        Seen = u"%1 x %2 focus %3; "_s.arg(Dialog.EditNumRows->text(), Dialog.EditNumCols->text(),
                                           Dialog.focusWidget()->objectName());
        Dialog.EditNumRows->setText(Case[0]);
        Dialog.EditNumCols->setText(Case[1]);
        QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
        if (!Dialog.isVisible())
          return;
        TByteField* Field = Dialog.EditNumRows->InError() ? Dialog.EditNumRows : Dialog.EditNumCols;
        const QPalette Colours = Field->palette();
        Seen += u"refused %1 %2 %3 %4"_s.arg(
            Dialog.focusWidget()->objectName(), Field->selectedText(),
            Colours.color(QPalette::Base).name(), Colours.color(QPalette::Text).name());
        Field->setText(u"6"_s);
        Seen += HasErrorLook(*Field) ? u", marked"_s : u", unmarked"_s;
        QTest::mouseClick(Dialog.CancelBtn, Qt::LeftButton);
      });
      const auto Answer = Dialog.AskDimensions(6, 7);
      const auto [Rows, Cols] = Answer.value_or(std::pair(uint8_t(6), uint8_t(7)));
      Seen += (Answer ? u"OK"_s : QString()) + u"; %1 x %2"_s.arg(Rows).arg(Cols);
      QCOMPARE(Seen, Case[2]);
      QCOMPARE(FMessages.Count(), Answer ? 0 : 1);
    }
  }

  // The arrow keys (also the keypad's) step the rows within 4..8; the
  // columns field takes no steps.
  void sizeDialogArrowKeys() {
    TSizeDlg Dialog;
    Dialog.ShowDimensions(7, 5);
    QTest::keyClick(Dialog.EditNumRows, Qt::Key_Up);
    QTest::keyClick(Dialog.EditNumRows, Qt::Key_Up, Qt::KeypadModifier);
    QTest::keyClick(Dialog.EditNumRows, Qt::Key_Up);
    QCOMPARE(Dialog.EditNumRows->text(), u"8"_s);
    for (int Step = 0; Step < 6; ++Step)
      QTest::keyClick(Dialog.EditNumRows, Qt::Key_Down);
    QCOMPARE(Dialog.EditNumRows->text(), u"4"_s);
    QTest::keyClick(Dialog.EditNumCols, Qt::Key_Up);
    QCOMPARE(Dialog.EditNumCols->text(), u"5"_s);
  }
};

int main(int argc, char** argv) {
  TApplication App(argc, argv);
  TestDialogs Test;
  return QTest::qExec(&Test, argc, argv);
}

#include "tst_dialogs.moc"
