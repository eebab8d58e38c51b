// The game window's start-up and shut-down against the computer: the name
// dialog, the game type dialog loop, the first state, the settings stored at
// exit.

#include "MainFormHarness.h"

#include "CommandIO.h"
#include "Facilities.h"
#include "HelpAbout.h"
#include "Information.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

class TestStartUp : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TFreshState> State;
    std::unique_ptr<TScriptedMessages> Messages;
    std::unique_ptr<TDialogScript> Dialogs;

private slots:
    void init()
    {
        State = std::make_unique<TFreshState>();
        Messages = std::make_unique<TScriptedMessages>();
        Dialogs = std::make_unique<TDialogScript>();
    }

    void cleanup()
    {
        Dialogs.reset();
        Messages.reset();
        State.reset();
    }

    void firstRunDefaults()
    {
        QString NameShown = QStringLiteral("not shown");
        Dialogs->On(QStringLiteral("EnterNameDialog"), [&](QDialog& Dialog) {
            NameShown = static_cast<TEnterNameDialog&>(Dialog).EditPlayerName->text();
        });
        // Refused once, then a game against the computer.
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::Cancel());
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        TMainForm Form;

        QCOMPARE(NameShown, QString());
        QCOMPARE(Dialogs->Shown, QStringList({QStringLiteral("EnterNameDialog"),
                                              QStringLiteral("GameTypeSelection"),
                                              QStringLiteral("GameTypeSelection"),
                                              QStringLiteral("SizeDlg")}));
        QCOMPARE(Messages->Texts(), QStringList{QStringLiteral("You must select a connection type")});
        QCOMPARE(Messages->Records()[0].Type, TMsgType::Error);
        QCOMPARE(PlayerNames[0], QStringLiteral("You"));
        QCOMPARE(PlayerNames[1], QStringLiteral("Computer"));
        QCOMPARE(Form.NamePlayer1->text(), QStringLiteral("You : "));
        QCOMPARE(Form.NamePlayer2->text(), QStringLiteral("Computer : "));
        QCOMPARE(int(Form.Bord()->Rows), 5);
        QCOMPARE(int(Form.Bord()->Cols), 5);
        QCOMPARE(Form.BordDisplay->size(), QSize(164, 164));
        QCOMPARE(Form.ClientHeight(), 164);
        QCOMPARE(Form.windowTitle(), QStringLiteral("Fizzgrid"));

        // The first state: the user moves first.
        QVERIFY(Form.BordDisplay->isEnabled());
        QCOMPARE(CursorOf(*Form.BordDisplay), TCursorKind::HandPoint);
        QVERIFY(!Form.StartGameF21->isEnabled());
        QVERIFY(!Form.Dimensions1->isEnabled());
        QVERIFY(Form.Restart1->isVisible());
        QVERIFY(Form.Restart1->isEnabled());
        QVERIFY(Form.Explosions1->isChecked());
        QVERIFY(Form.SoundOn());
        QVERIFY(!Form.Bord()->Finished);
        QCOMPARE(Form.InformationText(), QStringLiteral("Fizzgrid"));
        QCOMPARE(Form.InformationLabel->font().pointSize(), 12);
        QVERIFY(Form.InformationLabel->font().bold());
        QVERIFY(Form.CommandIO() && Form.CommandIO()->IsLocal());
        QVERIFY(!Form.InformationDialog->isVisible());
    }

    void menusAsDesigned()
    {
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        TMainForm Form;
        struct TItem
        {
            QAction* Action;
            const char* Name;
            const char* Caption;
            QKeySequence Shortcut;
        };
        const TItem Items[] = {
            {Form.Dimensions1, "Dimensions1", "&Dimensions", {}},
            {Form.StartGameF21, "StartGameF21", "&Start Game", QKeySequence(Qt::Key_F2)},
            {Form.Restart1, "Restart1", "&Restart", QKeySequence(Qt::CTRL | Qt::Key_F2)},
            {Form.Explosions1, "Explosions1", "&Explosions", QKeySequence(Qt::CTRL | Qt::Key_E)},
            {Form.HighScores1, "HighScores1", "&High Scores", {}},
            {Form.eXit1, "eXit1", "E&xit", {}},
            {Form.HelpAboutItem, "HelpAboutItem", "&About...", {}},
        };
        for (const TItem& Item : Items) {
            QCOMPARE(Item.Action->objectName(), QString::fromLatin1(Item.Name));
            QCOMPARE(Item.Action->text(), QString::fromLatin1(Item.Caption));
            QCOMPARE(Item.Action->shortcut(), Item.Shortcut);
            QCOMPARE(Form.findChild<QAction*>(QString::fromLatin1(Item.Name)), Item.Action);
        }
        QVERIFY(Form.N1->isSeparator());
        QCOMPARE(Form.Game1->title(), QStringLiteral("&Game"));
        QCOMPARE(Form.HelpMenu->title(), QStringLiteral("&Help"));
        QCOMPARE(Form.HelpAboutItem->statusTip(), QStringLiteral("Show program information"));
        QCOMPARE(Form.Score->title(), QStringLiteral(" Score "));
        QCOMPARE(Form.Player1->text(), QStringLiteral("0"));
        QCOMPARE(Form.Player2->text(), QStringLiteral("0"));
        QCOMPARE(Form.BordDisplay->toolTip(), QStringLiteral("Click on the field you want to place a mass on"));
        QCOMPARE(Form.InformationLabel->toolTip(),
                 QStringLiteral("This indicates the last move of your opponent (Row, Column)"));
        for (const char* Name : {"BordDisplay", "Score", "NamePlayer1", "NamePlayer2", "Player1", "Player2",
                                 "InfoPanel", "InformationImage", "InformationLabel", "Game1", "HelpMenu",
                                 "GameTypeSelection", "EnterNameDialog", "SizeDlg", "InformationDialog"})
            QVERIFY2(Form.findChild<QObject*>(QString::fromLatin1(Name)), Name);
    }

    void nameDialog_data()
    {
        QTest::addColumn<QString>("Stored");
        QTest::addColumn<bool>("Ok");
        QTest::addColumn<QString>("Typed");
        QTest::addColumn<QString>("Name");
        QTest::newRow("OK with an empty field") << QString() << true << QString() << QString();
        QTest::newRow("OK with a name") << QStringLiteral("Ann") << true << QStringLiteral("Bob")
                                        << QStringLiteral("Bob");
        QTest::newRow("cancel, none stored") << QString() << false << QStringLiteral("x")
                                             << QStringLiteral("You");
        QTest::newRow("cancel keeps the stored one") << QStringLiteral("Ann") << false << QStringLiteral("x")
                                                     << QStringLiteral("Ann");
    }

    void nameDialog()
    {
        QFETCH(QString, Stored);
        QFETCH(bool, Ok);
        QFETCH(QString, Typed);
        QFETCH(QString, Name);
        if (!Stored.isEmpty()) {
            PlayerNames[0] = Stored;
            QVERIFY(SaveSettings());
        }
        QString Shown;
        Dialogs->On(QStringLiteral("EnterNameDialog"), [&](QDialog& Dialog) {
            auto& Names = static_cast<TEnterNameDialog&>(Dialog);
            Shown = Names.EditPlayerName->text();
            QVERIFY(Names.EditPlayerName->hasSelectedText() || Shown.isEmpty());
            Names.EditPlayerName->setText(Typed);
            if (Ok)
                Names.OKBtn->click();
        });
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        TMainForm Form;
        QCOMPARE(Shown, Stored);
        QCOMPARE(PlayerNames[0], Name);
        QCOMPARE(Form.NamePlayer1->text(), Name + QStringLiteral(" : "));
    }

    void settingsStoredAtExit()
    {
        Dialogs->On(QStringLiteral("EnterNameDialog"), TDialogScript::Name(QStringLiteral("Alice")));
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        Dialogs->On(QStringLiteral("SizeDlg"), TDialogScript::Dimensions(6, 7));
        {
            TMainForm Form;
            Form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&Form));
            // The close box closes at once, without a question.
            Form.close();
            QCOMPARE(Messages->Count(), 0);
            QVERIFY(!Form.isVisible());
            QVERIFY(Form.Closing());
        }
        NumRows = 0;
        NumCols = 0;
        PlayerNames = {QString(), QString()};
        ConnectionLastGame = 1;
        LoadSettings();
        QCOMPARE(NumRows, uint8_t(6));
        QCOMPARE(NumCols, uint8_t(7));
        QCOMPARE(PlayerNames[0], QStringLiteral("Alice"));
        QCOMPARE(ConnectionLastGame, uint8_t(0));

        // The next start offers what was stored.
        QString NameShown;
        Dialogs->On(QStringLiteral("EnterNameDialog"), [&](QDialog& Dialog) {
            NameShown = static_cast<TEnterNameDialog&>(Dialog).EditPlayerName->text();
        });
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        TMainForm Again;
        QCOMPARE(NameShown, QStringLiteral("Alice"));
        QCOMPARE(int(Again.Bord()->Rows), 6);
        QCOMPARE(int(Again.Bord()->Cols), 7);
    }

    void highScoresAndAbout()
    {
        Dialogs->On(QStringLiteral("GameTypeSelection"), TDialogScript::LocalGame());
        TMainForm Form;
        Form.HighScores1->trigger();
        QCOMPARE(Dialogs->Shown.last(), QStringLiteral("ScoreTable"));
        TAboutBox1 About;
        AboutBox1 = &About;
        Form.HelpAboutItem->trigger();
        AboutBox1 = nullptr;
        QCOMPARE(Dialogs->Shown.last(), About.objectName());
        QCOMPARE(Messages->Count(), 0);
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
