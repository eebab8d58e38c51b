// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's start-up and shut-down against the computer: the first
// run, the name dialog, the game type dialog loop, the settings stored at
// exit.

#include "MainFormHarness.h"

class TestStartUp : public QObject {
  Q_OBJECT
  std::unique_ptr<TAppRig> R;

private Q_SLOTS:
  void init() { R = std::make_unique<TAppRig>(); }
  void cleanup() { R.reset(); }

  // Nothing stored: an empty name field, cancelled, gives "You"; the game
  // type dialog refused once, then accepted; the board is 5 x 5.
  void firstRunDefaults() {
    QString NameShown = u"not shown"_s;
    R->Dialogs.On(u"EnterNameDialog"_s, TDialogScript::ReadName(NameShown));
    R->Dialogs.On(u"GameTypeSelection"_s, [](QDialog&) {});
    R->Dialogs.On(u"GameTypeSelection"_s, TDialogScript::LocalGame());
    TMainForm Form({}, R->ScoreFile());
    QVERIFY(StartUp(Form));
    QCOMPARE(NameShown, QString());
    QCOMPARE(R->Dialogs.Shown,
             Words("EnterNameDialog GameTypeSelection GameTypeSelection SizeDlg"));
    QCOMPARE(R->Log(), u"Error: You must select a connection type"_s);
    QCOMPARE(Form.Controller().Settings()->PlayerNames, (std::array{u"You"_s, u"Computer"_s}));
    QCOMPARE(Text(Form, "NamePlayer1") + Text(Form, "NamePlayer2"), u"You : Computer : "_s);
    QCOMPARE(QSize(Bord(Form)->Cols, Bord(Form)->Rows), QSize(5, 5));
    QCOMPARE(QSize(Form.ClientWidth(), Form.ClientHeight()),
             QSize(164 + 4 + Part<QGroupBox>(Form, "Score")->width(), 164));
    QCOMPARE(Form.windowTitle(), u"Fizzgrid"_s);
    // The user moves first, in the window shown at once.
    QVERIFY(Form.isVisible());
    QCOMPARE(Screen(Form), u"grid restart menu | Fizzgrid @12b | 0/0"_s);
    QCOMPARE(CursorOf(*Grid(Form)), TCursorKind::HandPoint);
    QVERIFY(Item(Form, "Explosions1")->isChecked() && Form.SoundOn() && !Bord(Form)->Finished);
    QVERIFY(dynamic_cast<TComputerOpponent*>(Form.Controller().OtherPlayer()) &&
            !Part<QWidget>(Form, "InformationDialog")->isVisible());
    const QList<QKeySequence> Keys = {Item(Form, "StartGameF21")->shortcut(),
                                      Item(Form, "Restart1")->shortcut(),
                                      Item(Form, "Explosions1")->shortcut()};
    QCOMPARE(QKeySequence::listToString(Keys), u"F2; Ctrl+F2; Ctrl+E"_s);
  }

  // The stored name is offered selected; OK takes the field even empty,
  // anything else keeps the stored name.
  void nameDialog_data() {
    QTest::addColumn<QString>("Stored");
    QTest::addColumn<bool>("Ok");
    QTest::addColumn<QString>("Name");
    QTest::newRow("OK with an empty field") << u"Ann"_s << true << QString();
    QTest::newRow("OK with a name") << u"Ann"_s << true << u"Bob"_s;
    QTest::newRow("cancel") << u"Ann"_s << false << u"Ann"_s;
  }
  void nameDialog() {
    QFETCH(QString, Stored);
    QFETCH(bool, Ok);
    QFETCH(QString, Name);
    TSettings Settings;
    Settings.PlayerNames[0] = Stored;
    QVERIFY(SaveSettings(Settings));
    QString Shown;
    R->Dialogs.On(u"EnterNameDialog"_s, [&](QDialog& Dialog) {
      auto& Names = static_cast<TEnterNameDialog&>(Dialog);
      Shown = Names.EditPlayerName->selectedText();
      Names.EditPlayerName->setText(Ok ? Name : u"typed"_s);
      if (Ok)
        Names.OKBtn->click();
    });
    R->Dialogs.On(u"GameTypeSelection"_s, TDialogScript::LocalGame());
    TMainForm Form({}, R->ScoreFile());
    QVERIFY(StartUp(Form));
    QCOMPARE(Shown, Stored);
    QCOMPARE(Form.Controller().Settings()->PlayerNames[0], Name);
    QCOMPARE(Text(Form, "NamePlayer1"), Name + u" : "_s);
  }

  // The close box closes at once; the next start offers what was stored.
  void settingsStoredAtExit() {
    R->Dialogs.On(u"EnterNameDialog"_s, TDialogScript::Name(u"Alice"_s));
    R->Dialogs.On(u"GameTypeSelection"_s, TDialogScript::LocalGame());
    R->Dialogs.On(u"SizeDlg"_s, TDialogScript::Dimensions(6, 7));
    {
      TMainForm Form({}, R->ScoreFile());
      QVERIFY(StartUp(Form) && QTest::qWaitForWindowExposed(&Form));
      Form.close();
      QVERIFY(Closing(Form) && !Form.isVisible());
      QCOMPARE(R->Log(), QString());
    }
    const TSettings Stored = LoadSettings();
    QCOMPARE(std::tuple(int(Stored.NumRows), int(Stored.NumCols), Stored.PlayerNames[0],
                        int(Stored.ConnectionLastGame)),
             std::tuple(6, 7, u"Alice"_s, 0));
    QString NameShown;
    R->Dialogs.On(u"EnterNameDialog"_s, TDialogScript::ReadName(NameShown));
    R->Dialogs.On(u"GameTypeSelection"_s, TDialogScript::LocalGame());
    TMainForm Again({}, R->ScoreFile());
    QVERIFY(StartUp(Again));
    QCOMPARE(NameShown, u"Alice"_s);
    QCOMPARE(QSize(Bord(Again)->Cols, Bord(Again)->Rows), QSize(7, 6));
  }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
