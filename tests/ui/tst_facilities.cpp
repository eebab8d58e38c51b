#include "EntryFields.h"
#include "Facilities.h"
#include "MessageDlg.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// An object whose event handler forgot its guard.
class TUnguarded : public QObject
{
public:
    bool event(QEvent* Event) override
    {
        if (Event->type() == QEvent::User)
            throw std::runtime_error("thrown past the guard");
        return QObject::event(Event);
    }
};

// Answers the next real message box by pressing the button with Label.
void PressInNextBox(const QString& Label, QString* Caption, QStringList* Labels)
{
    auto* Poll = new QTimer(qApp);
    Poll->setInterval(5);
    QObject::connect(Poll, &QTimer::timeout, Poll, [=] {
        auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (Box == nullptr)
            return;
        *Caption = Box->windowTitle();
        for (QAbstractButton* Button : Box->buttons())
            Labels->append(Button->text());
        for (QAbstractButton* Button : Box->buttons()) {
            if (Button->text() == Label)
                Button->click();
        }
        if (Label.isEmpty())
            Box->close();
        else if (Label == QLatin1String("<Escape>"))
            QTest::keyClick(Box, Qt::Key_Escape);
        Poll->deleteLater();
    });
    Poll->start();
}

} // namespace

class TestFacilities : public QObject
{
    Q_OBJECT

private slots:
    void scriptedMessages()
    {
        TScriptedMessages Script;
        Script.Answer(TMsgButton::Yes);
        QCOMPARE(MessageDlg(QStringLiteral("Sure?"), TMsgType::Confirmation, TMsgButton::Yes | TMsgButton::No),
                 TMsgButton::Yes);
        // Nothing scripted: the box is answered as if closed, which is no No.
        QCOMPARE(MessageDlg(QStringLiteral("Again?"), TMsgType::Confirmation, TMsgButton::Yes | TMsgButton::No),
                 TMsgButton::None);
        QCOMPARE(MessageDlg(QStringLiteral("Oops"), TMsgType::Error, TMsgButton::OK), TMsgButton::OK);
        QCOMPARE(Script.Texts(), (QStringList{"Sure?", "Again?", "Oops"}));
        QCOMPARE(Script.Records().at(2).Type, TMsgType::Error);
        QCOMPARE(Script.Records().at(0).Buttons, TMsgButton::Yes | TMsgButton::No);
        QCOMPARE(Script.Records().at(1).Answer, TMsgButton::None);

        {
            TScriptedMessages Inner;
            Inner.SetHandler([](const QString& Text, TMsgType, TMsgButtons) {
                return Text == QLatin1String("cancel me") ? TMsgButton::Cancel : TMsgButton::OK;
            });
            QCOMPARE(MessageDlg(QStringLiteral("cancel me"), TMsgType::Information,
                                TMsgButton::OK | TMsgButton::Cancel),
                     TMsgButton::Cancel);
            QCOMPARE(Inner.Count(), 1);
        }
        // The outer double is back in charge.
        MessageDlg(QStringLiteral("outer"), TMsgType::Information, TMsgButton::OK);
        QCOMPARE(Script.Count(), 4);
    }

    void escapeButton_data()
    {
        QTest::addColumn<TMsgButtons>("Buttons");
        QTest::addColumn<TMsgButton>("Expected");
        QTest::newRow("all") << (TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel | TMsgButton::OK)
                             << TMsgButton::Cancel;
        QTest::newRow("yes no cancel") << (TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel)
                                       << TMsgButton::Cancel;
        QTest::newRow("yes cancel") << (TMsgButton::Yes | TMsgButton::Cancel) << TMsgButton::Cancel;
        QTest::newRow("yes no") << (TMsgButton::Yes | TMsgButton::No) << TMsgButton::None;
        QTest::newRow("ok") << TMsgButtons(TMsgButton::OK) << TMsgButton::OK;
        QTest::newRow("yes") << TMsgButtons(TMsgButton::Yes) << TMsgButton::None;
    }

    void escapeButton()
    {
        QFETCH(TMsgButtons, Buttons);
        QFETCH(TMsgButton, Expected);
        QCOMPARE(EscapeButton(Buttons), Expected);
    }

    void realMessageBox_data()
    {
        QTest::addColumn<TMsgType>("Type");
        QTest::addColumn<TMsgButtons>("Buttons");
        QTest::addColumn<QString>("Press");
        QTest::addColumn<QString>("Caption");
        QTest::addColumn<QStringList>("Labels");
        QTest::addColumn<TMsgButton>("Expected");
        QTest::newRow("confirm no") << TMsgType::Confirmation
                                    << (TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel) << "&No"
                                    << "Confirm" << QStringList{"&Yes", "&No", "Cancel"} << TMsgButton::No;
        QTest::newRow("confirm yes") << TMsgType::Confirmation << (TMsgButton::Yes | TMsgButton::No) << "&Yes"
                                     << "Confirm" << QStringList{"&Yes", "&No"} << TMsgButton::Yes;
        QTest::newRow("error ok") << TMsgType::Error << TMsgButtons(TMsgButton::OK) << "OK"
                                  << "Error" << QStringList{"OK"} << TMsgButton::OK;
        QTest::newRow("information closed") << TMsgType::Information << (TMsgButton::OK | TMsgButton::Cancel)
                                            << "" << "Information" << QStringList{"OK", "Cancel"}
                                            << TMsgButton::Cancel;
        // A Yes/No question closed without an answer is not answered No.
        const TMsgButtons YesNo = TMsgButton::Yes | TMsgButton::No;
        QTest::newRow("yes no closed") << TMsgType::Confirmation << YesNo << "" << "Confirm"
                                       << QStringList{"&Yes", "&No"} << TMsgButton::None;
        QTest::newRow("yes no escape") << TMsgType::Confirmation << YesNo << "<Escape>" << "Confirm"
                                       << QStringList{"&Yes", "&No"} << TMsgButton::None;
        QTest::newRow("yes no pressed no") << TMsgType::Confirmation << YesNo << "&No" << "Confirm"
                                           << QStringList{"&Yes", "&No"} << TMsgButton::No;
        QTest::newRow("yes cancel escape") << TMsgType::Confirmation << (TMsgButton::Yes | TMsgButton::Cancel)
                                           << "<Escape>" << "Confirm" << QStringList{"&Yes", "Cancel"}
                                           << TMsgButton::Cancel;
        QTest::newRow("yes no cancel closed") << TMsgType::Confirmation
                                              << (TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel) << ""
                                              << "Confirm" << QStringList{"&Yes", "&No", "Cancel"}
                                              << TMsgButton::Cancel;
        QTest::newRow("error escape") << TMsgType::Error << TMsgButtons(TMsgButton::OK) << "<Escape>"
                                      << "Error" << QStringList{"OK"} << TMsgButton::OK;
    }

    void realMessageBox()
    {
        QFETCH(TMsgType, Type);
        QFETCH(TMsgButtons, Buttons);
        QFETCH(QString, Press);
        QFETCH(QString, Caption);
        QFETCH(QStringList, Labels);
        QFETCH(TMsgButton, Expected);
        QString SeenCaption;
        QStringList SeenLabels;
        PressInNextBox(Press, &SeenCaption, &SeenLabels);
        QCOMPARE(MessageDlg(QStringLiteral("Text"), Type, Buttons), Expected);
        QCOMPARE(SeenCaption, Caption);
        SeenLabels.sort();
        Labels.sort();
        QCOMPARE(SeenLabels, Labels);
    }

    // Names typed on the other computer reach these boxes: they are shown as
    // they are, never as markup, and a carriage return breaks the line.
    void realMessageBoxShowsPlainText()
    {
        QString Shown;
        Qt::TextFormat Format = Qt::AutoText;
        auto* Poll = new QTimer(qApp);
        Poll->setInterval(5);
        QObject::connect(Poll, &QTimer::timeout, Poll, [&, Poll] {
            auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (Box == nullptr)
                return;
            Shown = Box->text();
            Format = Box->textFormat();
            Box->buttons().constFirst()->click();
            Poll->deleteLater();
        });
        Poll->start();
        MessageDlg(QStringLiteral("\nGAME OVER\r<b>Ann</b> wins"), TMsgType::Information, TMsgButton::OK);
        QCOMPARE(Shown, QStringLiteral("\nGAME OVER\n<b>Ann</b> wins"));
        QCOMPARE(Format, Qt::PlainText);
    }

    void errorReportAfterThrowingSlot()
    {
        TScriptedMessages Script;
        QPushButton Button;
        bool ReachedAfterThrow = false;
        QObject::connect(&Button, &QPushButton::clicked, &Button, Guard([&] {
                             throw std::runtime_error("Link has been closed by partner");
                             ReachedAfterThrow = true;
                         }));
        int Later = 0;
        QObject::connect(&Button, &QPushButton::pressed, &Button, Guard([&] { ++Later; }));
        Button.click();
        // Queued: nothing is shown inside the failing handler.
        QCOMPARE(Script.Count(), 0);
        QTRY_COMPARE(Script.Count(), 1);
        QCOMPARE(Script.Records().front().Text, QStringLiteral("Link has been closed by partner"));
        QCOMPARE(Script.Records().front().Type, TMsgType::Error);
        QCOMPARE(Script.Records().front().Buttons, TMsgButtons(TMsgButton::OK));
        QVERIFY(!ReachedAfterThrow);

        // The loop goes on: the same button works again, timers still fire.
        Button.click();
        QCOMPARE(Later, 2);
        QSignalSpy Fired(&Button, &QObject::objectNameChanged);
        QTimer::singleShot(1, &Button, [&Button] { Button.setObjectName(QStringLiteral("Still alive")); });
        QVERIFY(Fired.wait());
        QTRY_COMPARE(Script.Count(), 2);
    }

    void errorReportSafetyNet()
    {
        TScriptedMessages Script;
        TUnguarded Target;
        QCoreApplication::postEvent(&Target, new QEvent(QEvent::User));
        QTRY_COMPARE(Script.Count(), 1);
        QCOMPARE(Script.Texts(), QStringList{QStringLiteral("thrown past the guard")});
        ReportException(std::logic_error("direct"));
        QTRY_COMPARE(Script.Count(), 2);
        QCOMPARE(Script.Texts().last(), QStringLiteral("direct"));
    }

    void guardPassesArguments()
    {
        QObject Sender;
        int Seen = -1;
        QObject::connect(&Sender, &QObject::objectNameChanged, &Sender,
                         Guard([&](const QString& Name) { Seen = Name.size(); }));
        Sender.setObjectName(QStringLiteral("four"));
        QCOMPARE(Seen, 4);
    }

    void cursors_data()
    {
        QTest::addColumn<TCursorKind>("Kind");
        QTest::addColumn<int>("Shape");
        QTest::newRow("arrow") << TCursorKind::Arrow << int(Qt::ArrowCursor);
        QTest::newRow("hourglass") << TCursorKind::HourGlass << int(Qt::WaitCursor);
        QTest::newRow("hand") << TCursorKind::HandPoint << int(Qt::PointingHandCursor);
    }

    void cursors()
    {
        QFETCH(TCursorKind, Kind);
        QFETCH(int, Shape);
        QWidget Window;
        SetCursor(Window, Kind);
        QCOMPARE(int(Window.cursor().shape()), Shape);
        QCOMPARE(CursorOf(Window), Kind);

        QVERIFY(!HourGlassShown());
        {
            THourGlass Busy;
            QVERIFY(HourGlassShown());
            ShowHourGlass();
            QVERIFY(HourGlassShown());
        }
        QVERIFY(!HourGlassShown());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        ShowArrow();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void textField()
    {
        TTextField Field(nullptr, 20);
        QCOMPARE(Field.maxLength(), 20);
        QTest::keyClicks(&Field, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
        QCOMPARE(Field.text(), QStringLiteral("abcdefghijklmnopqrst"));
        Field.SetInError(true);
        QVERIFY(Field.InError());
        QCOMPARE(Field.palette().color(QPalette::Base), QColor(Qt::red));
        QCOMPARE(Field.palette().color(QPalette::Text), QColor(Qt::black));
        QTest::keyClick(&Field, Qt::Key_Backspace);
        QVERIFY(!Field.InError());
        QVERIFY(Field.palette().color(QPalette::Base) != QColor(Qt::red));
    }

    void byteFieldRange_data()
    {
        QTest::addColumn<QString>("Text");
        QTest::addColumn<bool>("Valid");
        QTest::newRow("low end") << "4" << true;
        QTest::newRow("high end") << "8" << true;
        QTest::newRow("leading zero") << "007" << true;
        QTest::newRow("below") << "3" << false;
        QTest::newRow("above") << "9" << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("above a byte") << "999" << false;
        QTest::newRow("empty") << "" << false;
    }

    void byteFieldRange()
    {
        QFETCH(QString, Text);
        QFETCH(bool, Valid);
        TScriptedMessages Script;
        QWidget Window;
        auto* Other = new QLineEdit(&Window);
        auto* Field = new TByteField(&Window);
        auto* Layout = new QVBoxLayout(&Window);
        Layout->addWidget(Other);
        Layout->addWidget(Field);
        Field->SetMaxValue(8);
        Field->SetMinValue(4);
        Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window));
        Other->setFocus();
        Field->setText(Text);
        QCOMPARE(Field->Validate(), Valid);
        QCOMPARE(Field->InError(), !Valid);
        QCOMPARE(HasErrorLook(*Field), !Valid);
        QCOMPARE(Script.Count(), Valid ? 0 : 1);
        if (!Valid) {
            QCOMPARE(Script.Records().front().Type, TMsgType::Error);
            QVERIFY(Script.Records().front().Text.contains(QStringLiteral("4")));
            QVERIFY(Script.Records().front().Text.contains(QStringLiteral("8")));
            QCOMPARE(Window.focusWidget(), Field);
            QCOMPARE(Field->selectedText(), Text);
            QCOMPARE(Field->palette().color(QPalette::Base), QColor(Qt::red));
            QCOMPARE(Field->palette().color(QPalette::Text), QColor(Qt::black));
            // Corrected, the mark goes away at once.
            Field->setText(QStringLiteral("6"));
            QVERIFY(!Field->InError());
            QVERIFY(!HasErrorLook(*Field));
        }
    }

    void byteFieldMaskAndStepping()
    {
        TByteField Field;
        QCOMPARE(QString::fromLatin1(TByteField::PictureMask), QStringLiteral("999"));
        QTest::keyClicks(&Field, QStringLiteral("1a2-34"));
        QCOMPARE(Field.text(), QStringLiteral("123"));
        QCOMPARE(int(Field.Value()), 123);
        Field.setText(QStringLiteral("300"));
        QCOMPARE(int(Field.Value()), 255);

        Field.SetMaxValue(8);
        Field.SetMinValue(4);
        Field.SetValue(5);
        QTest::keyClick(&Field, Qt::Key_Up);
        QCOMPARE(Field.text(), QStringLiteral("5"));

        Field.SetArrowStepping(true);
        QTest::keyClick(&Field, Qt::Key_Up);
        QCOMPARE(Field.text(), QStringLiteral("6"));
        QTest::keyClick(&Field, Qt::Key_Down, Qt::KeypadModifier);
        QCOMPARE(Field.text(), QStringLiteral("5"));
        QTest::keyClick(&Field, Qt::Key_Up, Qt::KeypadModifier);
        QCOMPARE(Field.text(), QStringLiteral("6"));
        // With Shift the keys only move the caret.
        QTest::keyClick(&Field, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(Field.text(), QStringLiteral("6"));
        for (int Step = 0; Step < 5; ++Step)
            QTest::keyClick(&Field, Qt::Key_Up);
        QCOMPARE(Field.text(), QStringLiteral("8"));
        for (int Step = 0; Step < 9; ++Step)
            QTest::keyClick(&Field, Qt::Key_Down);
        QCOMPARE(Field.text(), QStringLiteral("4"));
        Field.setText(QStringLiteral("20"));
        QTest::keyClick(&Field, Qt::Key_Down);
        QCOMPARE(Field.text(), QStringLiteral("8"));
        Field.clear();
        QTest::keyClick(&Field, Qt::Key_Up);
        QCOMPARE(Field.text(), QStringLiteral("4"));

        // Setting the upper bound first never leaves an inverted range.
        Field.SetMaxValue(2);
        QCOMPARE(int(Field.MinValue()), 2);
        Field.SetMinValue(9);
        QCOMPARE(int(Field.MaxValue()), 9);
    }

    void processMessages()
    {
        bool Ran = false;
        QTimer::singleShot(0, qApp, [&Ran] { Ran = true; });
        QTRY_VERIFY(Ran || (ProcessMessages(), Ran));
        QObject Target;
        int Delivered = 0;
        QObject::connect(&Target, &QObject::objectNameChanged, &Target, [&] { ++Delivered; },
                         Qt::QueuedConnection);
        Target.setObjectName(QStringLiteral("x"));
        QCOMPARE(Delivered, 0);
        ProcessMessages();
        QCOMPARE(Delivered, 1);
    }
};

int main(int argc, char** argv)
{
    TApplication App(argc, argv);
    TestFacilities Test;
    return QTest::qExec(&Test, argc, argv);
}

#include "tst_facilities.moc"
