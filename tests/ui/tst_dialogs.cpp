#include "EnterPlayer.h"
#include "EntryFields.h"
#include "Facilities.h"
#include "GameTypeDialog.h"
#include "HelpAbout.h"
#include "Information.h"
#include "MessageDlg.h"
#include "RuntimeData.h"
#include "SizeDialog.h"
#include "Trefoil.h"

#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Runs Act once Dialog is the running modal window.
void WhenModal(QDialog* Dialog, std::function<void()> Act)
{
    auto* Poll = new QTimer(qApp);
    Poll->setInterval(5);
    QObject::connect(Poll, &QTimer::timeout, Poll, [Dialog, Act, Poll] {
        if (QApplication::activeModalWidget() != Dialog || !Dialog->isVisible())
            return;
        Poll->stop();
        Poll->deleteLater();
        Act();
    });
    Poll->start();
}

void ResetSettings()
{
    NumRows = 5;
    NumCols = 5;
    PlayerNames = {QString(), QString()};
    ConnectionLastGame = 0;
    LCC = 0;
    RelationLastGame = 0;
    LCR = 0;
    InternetAddress.clear();
}

struct TStored
{
    int Connection;
    int Relation;
    int Lcr;
    int Lcc;
    QString Address;
    bool operator==(const TStored&) const = default;
};

TStored Stored()
{
    return {ConnectionLastGame, RelationLastGame, LCR, LCC, InternetAddress};
}

char* toString(const TStored& S)
{
    return QTest::toString(QStringLiteral("Connection %1 Relation %2 LCR %3 LCC %4 Address '%5'")
                               .arg(S.Connection)
                               .arg(S.Relation)
                               .arg(S.Lcr)
                               .arg(S.Lcc)
                               .arg(S.Address));
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TScriptedMessages> FMessages;

    static bool AddressRowShown(const TGameTypeSelection& Dialog)
    {
        return Dialog.AdresLabel->isVisible() && Dialog.Internet->isVisible();
    }

    static void ShowAndWait(QWidget& Window)
    {
        Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window));
    }

private slots:
    void init()
    {
        ResetSettings();
        FMessages = std::make_unique<TScriptedMessages>();
    }
    void cleanup() { FMessages.reset(); }

    void gameTypeTexts()
    {
        TGameTypeSelection Dialog;
        QCOMPARE(Dialog.windowTitle(), QStringLiteral("Game Type"));
        QCOMPARE(Dialog.GameType->title(), QStringLiteral(" Select a game type "));
        QCOMPARE(Dialog.LocalGame->text(), QStringLiteral("Local game"));
        QCOMPARE(Dialog.LocalGame->toolTip(), QStringLiteral("Play against the computer"));
        QCOMPARE(Dialog.OtherComputer->text(), QStringLiteral("Against other computer"));
        QCOMPARE(Dialog.OtherComputer->toolTip(), QStringLiteral("Play against a friend somewhere on the Net"));
        QCOMPARE(Dialog.Master->text(), QStringLiteral("Master"));
        QCOMPARE(Dialog.Master->toolTip(),
                 QStringLiteral("Check this if you want to decide on the size of the game board"));
        QCOMPARE(Dialog.AdresLabel->text(), QStringLiteral("Address :"));
        QCOMPARE(Dialog.Internet->toolTip(), QStringLiteral("The TCP/IP address of the computer of your opponent"));
        QCOMPARE(Dialog.Internet->maxLength(), 60);
        QCOMPARE(Dialog.findChild<QPushButton*>(QStringLiteral("OKBtn")), Dialog.OKBtn);
        QCOMPARE(Dialog.findChild<QCheckBox*>(QStringLiteral("Master")), Dialog.Master);
        QVERIFY(Dialog.Master->y() > Dialog.OtherComputer->y());
        QVERIFY(Dialog.OtherComputer->y() > Dialog.LocalGame->y());
    }

    void gameTypeOpensFromSettings_data()
    {
        QTest::addColumn<int>("Connection");
        QTest::addColumn<int>("Lcr");
        QTest::addColumn<bool>("Other");
        QTest::addColumn<bool>("MasterChecked");
        QTest::addColumn<bool>("MasterEnabled");
        QTest::addColumn<bool>("RowShown");
        QTest::newRow("no settings") << 0 << 0 << false << true << false << false;
        QTest::newRow("local after slave") << 0 << 2 << false << true << false << false;
        QTest::newRow("master") << 1 << 1 << true << true << true << false;
        QTest::newRow("slave") << 1 << 2 << true << false << true << true;
    }

    void gameTypeOpensFromSettings()
    {
        QFETCH(int, Connection);
        QFETCH(int, Lcr);
        QFETCH(bool, Other);
        QFETCH(bool, MasterChecked);
        QFETCH(bool, MasterEnabled);
        QFETCH(bool, RowShown);
        ConnectionLastGame = uint8_t(Connection);
        LCR = uint8_t(Lcr);
        InternetAddress = QStringLiteral("peer.example.org");
        TGameTypeSelection Dialog;
        ShowAndWait(Dialog);
        QCOMPARE(Dialog.LocalGame->isChecked(), !Other);
        QCOMPARE(Dialog.OtherComputer->isChecked(), Other);
        QCOMPARE(Dialog.Master->isChecked(), MasterChecked);
        QCOMPARE(Dialog.Master->isEnabled(), MasterEnabled);
        QCOMPARE(AddressRowShown(Dialog), RowShown);
        QCOMPARE(Dialog.Internet->text(), QStringLiteral("peer.example.org"));

        // Layout: OK sits 2 pixels below the group box, or below the address
        // row; the inner height leaves 2 pixels under OK.
        const int GroupBottom = Dialog.GameType->y() + Dialog.GameType->height();
        const int Row = RowShown ? Dialog.Internet->height() + 4 : 0;
        QCOMPARE(Dialog.OKBtn->y(), GroupBottom + 2 + Row);
        QCOMPARE(Dialog.height(), GroupBottom + Dialog.OKBtn->height() + 4 + Row);
        if (RowShown) {
            QCOMPARE(Dialog.focusWidget(), static_cast<QWidget*>(Dialog.Internet));
            QCOMPARE(Dialog.Internet->selectedText(), QStringLiteral("peer.example.org"));
            QVERIFY(Dialog.OKBtn->y() > Dialog.Internet->y());
        }
    }

    void gameTypeSwitchingTakesMasterFromLcr_data()
    {
        QTest::addColumn<int>("Lcr");
        QTest::addColumn<bool>("MasterAfter");
        QTest::newRow("last role slave") << 2 << false;
        QTest::newRow("last role master") << 1 << true;
        QTest::newRow("never chosen") << 0 << false;
    }

    void gameTypeSwitchingTakesMasterFromLcr()
    {
        QFETCH(int, Lcr);
        QFETCH(bool, MasterAfter);
        ConnectionLastGame = 1;
        LCR = uint8_t(Lcr);
        TGameTypeSelection Dialog;
        ShowAndWait(Dialog);
        // Whatever the box showed before, the role comes from LCR.
        QTest::mouseClick(Dialog.Master, Qt::LeftButton);
        QTest::mouseClick(Dialog.LocalGame, Qt::LeftButton);
        QVERIFY(Dialog.Master->isChecked());
        QVERIFY(!Dialog.Master->isEnabled());
        QVERIFY(!AddressRowShown(Dialog));
        QTest::mouseClick(Dialog.OtherComputer, Qt::LeftButton);
        QVERIFY(Dialog.Master->isEnabled());
        QCOMPARE(Dialog.Master->isChecked(), MasterAfter);
        QCOMPARE(AddressRowShown(Dialog), !MasterAfter);
        QTest::mouseClick(Dialog.Master, Qt::LeftButton);
        QCOMPARE(AddressRowShown(Dialog), MasterAfter);
    }

    void gameTypeStoresOnEveryClose_data()
    {
        QTest::addColumn<bool>("Other");
        QTest::addColumn<bool>("MasterChecked");
        QTest::addColumn<QString>("CloseBy");
        QTest::addColumn<int>("Answer");
        QTest::addColumn<TStored>("Expected");
        const QString Typed = QStringLiteral("10.0.0.7");
        const TStored Local{0, 1, 2, 0, QStringLiteral("old.host")};
        const TStored AsMaster{1, 1, 1, 1, Typed};
        const TStored AsSlave{1, 2, 2, 1, Typed};
        for (const QString& Way : {QStringLiteral("ok"), QStringLiteral("closebox"), QStringLiteral("escape")}) {
            const int Answer = Way == QLatin1String("ok") ? int(QDialog::Accepted) : int(QDialog::Rejected);
            QTest::addRow("local, %s", qPrintable(Way)) << false << true << Way << Answer << Local;
            QTest::addRow("master, %s", qPrintable(Way)) << true << true << Way << Answer << AsMaster;
            QTest::addRow("slave, %s", qPrintable(Way)) << true << false << Way << Answer << AsSlave;
        }
    }

    void gameTypeStoresOnEveryClose()
    {
        QFETCH(bool, Other);
        QFETCH(bool, MasterChecked);
        QFETCH(QString, CloseBy);
        QFETCH(int, Answer);
        QFETCH(TStored, Expected);
        // Stored: the last networked game was as slave with another address.
        LCR = 2;
        InternetAddress = QStringLiteral("old.host");
        TGameTypeSelection Dialog;
        ShowAndWait(Dialog);
        QTest::mouseClick(Other ? Dialog.OtherComputer : Dialog.LocalGame, Qt::LeftButton);
        if (Dialog.Master->isChecked() != MasterChecked)
            QTest::mouseClick(Dialog.Master, Qt::LeftButton);
        QCOMPARE(Dialog.Master->isChecked(), MasterChecked);
        if (Other) {
            Dialog.Internet->selectAll();
            QTest::keyClicks(Dialog.Internet, QStringLiteral("10.0.0.7"));
        }
        if (CloseBy == QLatin1String("ok"))
            QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
        else if (CloseBy == QLatin1String("closebox"))
            QVERIFY(Dialog.close());
        else
            QTest::keyClick(&Dialog, Qt::Key_Escape);
        QVERIFY(!Dialog.isVisible());
        QCOMPARE(Dialog.result(), Answer);
        QCOMPARE(Stored(), Expected);
        QCOMPARE(FMessages->Count(), 0);
    }

    void gameTypeReopensWithStoredChoice()
    {
        TGameTypeSelection Dialog;
        ShowAndWait(Dialog);
        QTest::mouseClick(Dialog.OtherComputer, Qt::LeftButton);
        QVERIFY(!Dialog.Master->isChecked());
        QTest::keyClicks(Dialog.Internet, QStringLiteral("host"));
        QVERIFY(Dialog.close());
        QCOMPARE(Dialog.result(), int(QDialog::Rejected));
        QCOMPARE(Stored(), (TStored{1, 2, 2, 1, QStringLiteral("host")}));

        // The main window refuses the answer and opens the dialog again.
        QTest::mouseClick(Dialog.LocalGame, Qt::LeftButton);
        ShowAndWait(Dialog);
        QVERIFY(Dialog.OtherComputer->isChecked());
        QVERIFY(!Dialog.Master->isChecked());
        QCOMPARE(Dialog.Internet->text(), QStringLiteral("host"));
        QVERIFY(AddressRowShown(Dialog));
        QCOMPARE(Dialog.Internet->selectedText(), QStringLiteral("host"));
    }

    void gameTypeAddressCheck()
    {
        ConnectionLastGame = 1;
        LCR = 2;
        TGameTypeSelection Dialog;
        ShowAndWait(Dialog);
        QVERIFY(Dialog.Internet->text().isEmpty());
        QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
        QCOMPARE(FMessages->Texts(), QStringList{QStringLiteral("You have to specify an internet address")});
        QCOMPARE(FMessages->Records().front().Type, TMsgType::Error);
        QCOMPARE(FMessages->Records().front().Buttons, TMsgButtons(TMsgButton::OK));
        QVERIFY(Dialog.isVisible());
        QCOMPARE(Dialog.focusWidget(), static_cast<QWidget*>(Dialog.Internet));
        QVERIFY(Dialog.Internet->InError());
        QCOMPARE(Dialog.Internet->palette().color(QPalette::Base), QColor(Qt::red));
        QTest::keyClicks(Dialog.Internet, QStringLiteral("x"));
        QVERIFY(!Dialog.Internet->InError());

        // As master no address is needed: the empty one is stored.
        Dialog.Internet->clear();
        QTest::mouseClick(Dialog.Master, Qt::LeftButton);
        QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
        QCOMPARE(FMessages->Count(), 1);
        QVERIFY(!Dialog.isVisible());
        QCOMPARE(Dialog.result(), int(QDialog::Accepted));
        QCOMPARE(Stored(), (TStored{1, 1, 1, 1, QString()}));
    }

    void nameDialog_data()
    {
        QTest::addColumn<QString>("StoredName");
        QTest::addColumn<bool>("Ok");
        QTest::addColumn<QString>("Typed");
        QTest::addColumn<QString>("Expected");
        QTest::newRow("first run, cancel") << "" << false << "ignored" << "You";
        QTest::newRow("first run, empty ok") << "" << true << "" << "";
        QTest::newRow("stored, cancel") << "Bob" << false << "Alice" << "Bob";
        QTest::newRow("stored, ok") << "Bob" << true << "Alice" << "Alice";
        QTest::newRow("cut to twenty") << "" << true << "abcdefghijklmnopqrstuvwxyz"
                                       << "abcdefghijklmnopqrst";
    }

    void nameDialog()
    {
        QFETCH(QString, StoredName);
        QFETCH(bool, Ok);
        QFETCH(QString, Typed);
        QFETCH(QString, Expected);
        PlayerNames[0] = StoredName;
        TEnterNameDialog Dialog;
        QCOMPARE(Dialog.windowTitle(), QStringLiteral("Gimme ..."));
        QCOMPARE(Dialog.EditPlayerNameCaption->text(), QStringLiteral("Your Name : "));
        QVERIFY(Dialog.EditPlayerNameCaption->alignment() & Qt::AlignRight);
        QString Shown;
        QString Selected;
        WhenModal(&Dialog, [&] {
            Shown = Dialog.EditPlayerName->text();
            Selected = Dialog.EditPlayerName->selectedText();
            // Typing replaces the selected stored name.
            if (Typed.isEmpty())
                QTest::keyClick(Dialog.EditPlayerName, Qt::Key_Delete);
            else
                QTest::keyClicks(Dialog.EditPlayerName, Typed);
            QTest::mouseClick(Ok ? Dialog.OKBtn : Dialog.CancelBtn, Qt::LeftButton);
        });
        const int Answer = Dialog.AskPlayerName();
        QCOMPARE(Answer, Ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(Shown, StoredName);
        QCOMPARE(Selected, StoredName);
        QCOMPARE(Dialog.EditPlayerName->maxLength(), 20);
        QCOMPARE(PlayerNames[0], Expected);
    }

    void sizeDialogRange_data()
    {
        QTest::addColumn<QString>("Rows");
        QTest::addColumn<QString>("Cols");
        QTest::addColumn<QString>("Refused");
        QTest::newRow("4 x 8") << "4" << "8" << "";
        QTest::newRow("8 x 4") << "8" << "4" << "";
        QTest::newRow("rows 9") << "9" << "5" << "EditNumRows";
        QTest::newRow("rows 3") << "3" << "5" << "EditNumRows";
        QTest::newRow("cols 9") << "5" << "9" << "EditNumCols";
        QTest::newRow("cols 3") << "6" << "3" << "EditNumCols";
        QTest::newRow("rows empty") << "" << "5" << "EditNumRows";
        QTest::newRow("both bad") << "0" << "99" << "EditNumRows";
    }

    void sizeDialogRange()
    {
        QFETCH(QString, Rows);
        QFETCH(QString, Cols);
        QFETCH(QString, Refused);
        NumRows = 6;
        NumCols = 7;
        TSizeDlg Dialog;
        QCOMPARE(Dialog.windowTitle(), QStringLiteral("Customize dimensions"));
        QCOMPARE(Dialog.LabelRowEdit->text(), QStringLiteral("Number of Rows"));
        QCOMPARE(Dialog.LabelColEdit->text(), QStringLiteral("Number of Columns"));
        QStringList Shown;
        QWidget* FocusAtStart = nullptr;
        bool RefusedOk = false;
        bool StayedOpen = false;
        WhenModal(&Dialog, [&] {
            Shown = {Dialog.EditNumRows->text(), Dialog.EditNumCols->text()};
            FocusAtStart = Dialog.focusWidget();
            Dialog.EditNumRows->setText(Rows);
            Dialog.EditNumCols->setText(Cols);
            QTest::mouseClick(Dialog.OKBtn, Qt::LeftButton);
            if (Refused.isEmpty())
                return;
            StayedOpen = Dialog.isVisible();
            auto* Field = Dialog.findChild<TByteField*>(Refused);
            RefusedOk = Field->InError() && Dialog.focusWidget() == Field && Field->selectedText() == Field->text()
                        && Field->palette().color(QPalette::Base) == QColor(Qt::red);
            QTest::mouseClick(Dialog.CancelBtn, Qt::LeftButton);
        });
        const int Answer = Dialog.AskDimensions();
        QCOMPARE(Shown, (QStringList{"6", "7"}));
        QCOMPARE(FocusAtStart, static_cast<QWidget*>(Dialog.EditNumRows));
        QCOMPARE(int(Dialog.EditNumRows->MinValue()), 4);
        QCOMPARE(int(Dialog.EditNumRows->MaxValue()), 8);
        QCOMPARE(int(Dialog.EditNumCols->MinValue()), 4);
        QCOMPARE(int(Dialog.EditNumCols->MaxValue()), 8);
        if (Refused.isEmpty()) {
            QCOMPARE(Answer, int(QDialog::Accepted));
            QCOMPARE(int(NumRows), Rows.toInt());
            QCOMPARE(int(NumCols), Cols.toInt());
            QCOMPARE(FMessages->Count(), 0);
        } else {
            QVERIFY(StayedOpen);
            QVERIFY(RefusedOk);
            QCOMPARE(FMessages->Count(), 1);
            QCOMPARE(FMessages->Records().front().Type, TMsgType::Error);
            // Cancel keeps the old dimensions.
            QCOMPARE(Answer, int(QDialog::Rejected));
            QCOMPARE(int(NumRows), 6);
            QCOMPARE(int(NumCols), 7);
        }
    }

    void sizeDialogArrowKeysOnRowsOnly()
    {
        TSizeDlg Dialog;
        Dialog.ShowDimensions();
        ShowAndWait(Dialog);
        QTest::keyClick(Dialog.EditNumRows, Qt::Key_Up);
        QCOMPARE(Dialog.EditNumRows->text(), QStringLiteral("6"));
        for (int Step = 0; Step < 5; ++Step)
            QTest::keyClick(Dialog.EditNumRows, Qt::Key_Up);
        QCOMPARE(Dialog.EditNumRows->text(), QStringLiteral("8"));
        QTest::keyClick(Dialog.EditNumCols, Qt::Key_Up);
        QTest::keyClick(Dialog.EditNumCols, Qt::Key_Down);
        QCOMPARE(Dialog.EditNumCols->text(), QStringLiteral("5"));
        QTest::mouseClick(Dialog.CancelBtn, Qt::LeftButton);
        QCOMPARE(int(NumRows), 5);
    }

    void informationBoxWidth()
    {
        TInformationDialog Box;
        QCOMPARE(Box.windowTitle(), QStringLiteral("Information"));
        QVERIFY(!(Box.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(Box.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(Box.DialogText->font().pixelSize(), 17);
        // The picture is compiled in with the resources; without them the box still opens.
        const QPixmap Picture = Box.Image->pixmap();
        QCOMPARE(Picture.isNull(), !QFile::exists(QStringLiteral(":/TREFOIL")));
        if (!Picture.isNull())
            QCOMPARE(Picture.size(), QSize(65, 57));
        Box.ShowNotice(QStringLiteral("Establishing connection ..."));
        QVERIFY(Box.isVisible());
        QVERIFY(!Box.isModal());
        QCOMPARE(Box.DialogText->text(), QStringLiteral("Establishing connection ..."));
        const int ShortWidth = Box.width();
        QCOMPARE(ShortWidth, Box.DialogText->width() + 80);
        QVERIFY(Box.DialogText->width() >= Box.DialogText->sizeHint().width());

        Box.ShowNotice(QStringLiteral("Waiting for opponent to connect, and a good deal longer"));
        QCOMPARE(Box.width(), Box.DialogText->width() + 80);
        QVERIFY(Box.width() > ShortWidth);
        QVERIFY(Box.DialogText->x() >= Box.Image->x() + Box.Image->width());

        // Only the main window removes it.
        QVERIFY(!Box.close());
        QTest::keyClick(&Box, Qt::Key_Escape);
        QVERIFY(Box.isVisible());
        Box.HideNotice();
        QVERIFY(!Box.isVisible());
    }

    // Fixed single border, centred; the system menu (with its close box) as
    // the only caption buttons, none at all on the information box.
    void dialogFrames_data()
    {
        QTest::addColumn<QString>("Dialog");
        QTest::addColumn<bool>("CaptionButtons");
        QTest::newRow("game type") << "GameTypeSelection" << true;
        QTest::newRow("name") << "EnterNameDialog" << true;
        QTest::newRow("dimensions") << "SizeDlg" << true;
        QTest::newRow("about") << "AboutBox1" << true;
        QTest::newRow("information") << "InformationDialog" << false;
    }

    void dialogFrames()
    {
        QFETCH(QString, Dialog);
        QFETCH(bool, CaptionButtons);
        std::unique_ptr<QDialog> Window;
        if (Dialog == QLatin1String("GameTypeSelection"))
            Window = std::make_unique<TGameTypeSelection>();
        else if (Dialog == QLatin1String("EnterNameDialog"))
            Window = std::make_unique<TEnterNameDialog>();
        else if (Dialog == QLatin1String("SizeDlg"))
            Window = std::make_unique<TSizeDlg>();
        else if (Dialog == QLatin1String("AboutBox1"))
            Window = std::make_unique<TAboutBox1>();
        else
            Window = std::make_unique<TInformationDialog>();
        QCOMPARE(Window->objectName(), Dialog);
        const Qt::WindowFlags Flags = Window->windowFlags();
        QCOMPARE(bool(Flags & Qt::WindowSystemMenuHint), CaptionButtons);
        QCOMPARE(bool(Flags & Qt::WindowCloseButtonHint), CaptionButtons);
        QVERIFY(!(Flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                           | Qt::WindowContextHelpButtonHint)));
        if (auto* Box = qobject_cast<TInformationDialog*>(Window.get()))
            Box->ShowNotice(QStringLiteral("Establishing connection ..."));
        else
            ShowAndWait(*Window);
        QCOMPARE(Window->minimumSize(), Window->maximumSize());
        const QRect Screen = Window->screen()->availableGeometry();
        QVERIFY(qAbs(Window->frameGeometry().center().x() - Screen.center().x()) <= 1);
        QVERIFY(qAbs(Window->frameGeometry().center().y() - Screen.center().y()) <= 1);
    }

    // Drawn from the picture of twice the size on a dense screen, always at
    // the same logical size.
    void trefoilPicture_data()
    {
        QTest::addColumn<qreal>("Ratio");
        QTest::addColumn<QSize>("Pixels");
        QTest::newRow("normal") << qreal(1.0) << QSize(65, 57);
        QTest::newRow("double") << qreal(2.0) << QSize(130, 114);
        QTest::newRow("one and a half") << qreal(1.5) << QSize(130, 114);
    }

    void trefoilPicture()
    {
        QFETCH(qreal, Ratio);
        QFETCH(QSize, Pixels);
        QVERIFY(QFile::exists(QStringLiteral(":/TREFOIL")));
        const QPixmap Picture = TrefoilPicture(Ratio);
        QCOMPARE(Picture.size(), Pixels);
        QCOMPARE(Picture.deviceIndependentSize().toSize(), QSize(TrefoilWidth, TrefoilHeight));
        QCOMPARE(Picture.devicePixelRatio(), qreal(Pixels.width()) / TrefoilWidth);
        // The sharp picture is the same picture: its corners show the same bands.
        const QImage Sharp = Picture.toImage();
        const QImage Plain = TrefoilPicture(1.0).toImage();
        QCOMPARE(Sharp.pixelColor(1, 1), Plain.pixelColor(0, 0));
        QCOMPARE(Sharp.pixelColor(Pixels.width() - 2, Pixels.height() - 2), Plain.pixelColor(64, 56));
    }

    void aboutBox()
    {
        TAboutBox1 Box;
        QCOMPARE(Box.windowTitle(), QStringLiteral("About"));
        QCOMPARE(Box.ProductName->text(), QStringLiteral("Fizzgrid"));
        QVERIFY(Box.ProductName->font().bold());
        QCOMPARE(Box.ProductName->font().pixelSize(), 19);
        QCOMPARE(Box.Version->text(), QStringLiteral("Version 1.0.4b"));
        QCOMPARE(Box.ProgramIcon->size(), QSize(65, 57));
        QCOMPARE(Box.ProgramIcon->parentWidget(), static_cast<QWidget*>(Box.Panel1));
        QCOMPARE(Box.ProductName->parentWidget(), static_cast<QWidget*>(Box.Panel1));
        WhenModal(&Box, [&Box] { QTest::mouseClick(Box.OKButton, Qt::LeftButton); });
        QCOMPARE(Box.exec(), int(QDialog::Accepted));
        QVERIFY(Box.OKButton->y() > Box.Panel1->y() + Box.Panel1->height() - 1);
    }
};

int main(int argc, char** argv)
{
    TApplication App(argc, argv);
    TestDialogs Test;
    return QTest::qExec(&Test, argc, argv);
}

#include "tst_dialogs.moc"
