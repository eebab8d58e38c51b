// The chat window against a raw TCP peer on loopback: what Enter puts on the
// wire, what arrives in ReceiveMemo, the master's dropping of early text and
// the layout rule.

#include "Chat.h"
#include "ChatIO.h"
#include "Communication.h"
#include "ErrorReport.h"
#include "RuntimeData.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QTextLayout>
#include <QHostAddress>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <QTextBlock>

#include <memory>
#include <stdexcept>

namespace {

// One end of a connection that collects everything it receives.
struct TPeerSocket
{
    std::unique_ptr<QTcpSocket> Socket;
    QByteArray Stream;

    void Attach(QTcpSocket* S)
    {
        Socket.reset(S);
        QObject::connect(S, &QTcpSocket::readyRead, S, [this] { Stream += Socket->readAll(); });
    }
    void ConnectTo(quint16 Port)
    {
        Attach(new QTcpSocket);
        Socket->connectToHost(QHostAddress::LocalHost, Port);
    }
    bool Connected() const { return Socket && Socket->state() == QAbstractSocket::ConnectedState; }
    void Write(const QByteArray& Bytes)
    {
        Socket->write(Bytes);
        Socket->flush();
    }
};

QTcpSocket* AcceptOne(QTcpServer& Server)
{
    if (!Server.hasPendingConnections() && !Server.waitForNewConnection(5000))
        return nullptr;
    QTcpSocket* S = Server.nextPendingConnection();
    S->setParent(nullptr);
    return S;
}

void Type(QPlainTextEdit* Memo, const QString& Text, Qt::KeyboardModifiers Enter = Qt::NoModifier,
          bool PressEnter = true)
{
    QTest::keyClicks(Memo, Text);
    if (PressEnter)
        QTest::keyClick(Memo, Qt::Key_Return, Enter);
}

} // namespace

class TChatTest : public QObject
{
    Q_OBJECT

private:
    QStringList FErrors;
    TErrorReport FPreviousReport;

    // A master's module with the link up: the game listener has accepted a
    // raw peer, so the chat listener is all that is left.
    std::unique_ptr<TComDataModule> MasterModule(TPeerSocket& Game)
    {
        ConnectionLastGame = 1;
        RelationLastGame = 1;
        auto Module = std::make_unique<TComDataModule>(nullptr, 0, 0);
        if (!Module->OpenServer())
            return nullptr;
        Game.ConnectTo(Module->GamePort());
        if (!QTest::qWaitFor([&] { return Module->Connected() && Game.Connected(); }, 5000))
            return nullptr;
        return Module;
    }

    // Shows the master's chat window and connects a raw chat peer to it.
    std::unique_ptr<TChatForm> MasterChat(TPeerSocket& Chat)
    {
        auto Form = std::make_unique<TChatForm>();
        Form->show();
        if (!QTest::qWaitForWindowExposed(Form.get()))
            return nullptr;
        Chat.ConnectTo(ComDataModule->ChatPort());
        if (!QTest::qWaitFor([&] { return ComDataModule->ChatPartner() != nullptr && Chat.Connected(); }, 5000))
            return nullptr;
        return Form;
    }

private slots:
    void init()
    {
        FErrors.clear();
        FPreviousReport = SetErrorReport([this](const QString& Message) { FErrors << Message; });
        ConnectionLastGame = 1;
        RelationLastGame = 1;
        InternetAddress = QStringLiteral("127.0.0.1");
    }

    void cleanup()
    {
        SetErrorReport(FPreviousReport);
        QCOMPARE(ChatForm, nullptr);
    }

    void formDesign()
    {
        TPeerSocket Game;
        auto Module = MasterModule(Game);
        QVERIFY(Module);
        TChatForm Form;
        QCOMPARE(ChatForm, &Form);
        QCOMPARE(Form.objectName(), QStringLiteral("ChatForm"));
        QCOMPARE(Form.windowTitle(), QStringLiteral("Chat with your opponent"));
        QVERIFY(Form.isWindow());
        const Qt::WindowFlags Flags = Form.windowFlags();
        QVERIFY(!(Flags & Qt::WindowSystemMenuHint));
        QVERIFY(!(Flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(Flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(Flags & Qt::WindowCloseButtonHint));
        QCOMPARE(Form.minimumSize(), QSize(310, 250));

        QCOMPARE(Form.findChild<QLabel*>(QStringLiteral("Label1")), Form.Label1);
        QCOMPARE(Form.findChild<QLabel*>(QStringLiteral("Label2")), Form.Label2);
        QCOMPARE(Form.findChild<QPlainTextEdit*>(QStringLiteral("SendMemo")), Form.SendMemo);
        QCOMPARE(Form.findChild<QPlainTextEdit*>(QStringLiteral("ReceiveMemo")), Form.ReceiveMemo);
        QCOMPARE(Form.Label1->text(), QStringLiteral("Type your comments below :"));
        QCOMPARE(Form.Label2->text(), QStringLiteral("Your opponent says :"));
        QCOMPARE(Form.SendMemo->toolTip(),
                 QStringLiteral("Press <ENTER> to send the last line you typed to your opponent"));
        QCOMPARE(Form.ReceiveMemo->toolTip(), QStringLiteral("This field shows the text your opponent sent"));
        QVERIFY(!Form.SendMemo->isReadOnly());
        QVERIFY(Form.ReceiveMemo->isReadOnly());
        for (QPlainTextEdit* Memo : {Form.SendMemo, Form.ReceiveMemo})
            QCOMPARE(Memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);

        // Tab order: SendMemo first, then ReceiveMemo.
        Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form));
        Form.activateWindow();
        Form.SendMemo->setFocus();
        QTRY_VERIFY(Form.SendMemo->hasFocus());
        QTest::keyClick(Form.SendMemo, Qt::Key_Tab);
        QTRY_VERIFY(Form.ReceiveMemo->hasFocus());
        QVERIFY(Form.SendMemo->toPlainText().isEmpty());

        // The title bar cannot close it; the owner can.
        QCloseEvent FromTitleBar;
        QSpontaneKeyEvent::setSpontaneous(&FromTitleBar);
        QCoreApplication::instance()->notify(&Form, &FromTitleBar);
        QVERIFY(!FromTitleBar.isAccepted());
        QVERIFY(Form.isVisible());
        QVERIFY(Form.close());
        QVERIFY(!Form.isVisible());
        QVERIFY(FErrors.isEmpty());
    }

    void formResize_data()
    {
        QTest::addColumn<QSize>("Size");
        QTest::addColumn<QSize>("Expected");
        QTest::newRow("smallest") << QSize(310, 250) << QSize(310, 250);
        QTest::newRow("odd remainder") << QSize(311, 251) << QSize(311, 251);
        QTest::newRow("designed") << QSize(398, 270) << QSize(398, 270);
        QTest::newRow("large") << QSize(800, 613) << QSize(800, 613);
        QTest::newRow("below the minimum") << QSize(100, 100) << QSize(310, 250);
    }

    void formResize()
    {
        QFETCH(QSize, Size);
        QFETCH(QSize, Expected);
        TPeerSocket Game;
        auto Module = MasterModule(Game);
        QVERIFY(Module);
        TChatForm Form;
        Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form));
        Form.resize(Size);
        QTRY_COMPARE(Form.size(), Expected);
        QTRY_COMPARE(Form.SendMemo->width(), Expected.width());

        const int Label1Height = Form.Label1->height();
        const int Label2Height = Form.Label2->height();
        QVERIFY(Label1Height > 0);
        QVERIFY(Label2Height > 0);
        QCOMPARE(Form.Label1->geometry(), QRect(0, 0, Expected.width(), Label1Height));
        const int MemoHeight = (Expected.height() - Label1Height - Label2Height) / 2;
        QCOMPARE(Form.SendMemo->geometry(), QRect(0, Label1Height, Expected.width(), MemoHeight));
        QCOMPARE(Form.Label2->y(), Label1Height + MemoHeight);
        QCOMPARE(Form.Label2->x(), 0);
        QCOMPARE(Form.ReceiveMemo->geometry(),
                 QRect(0, Label1Height + MemoHeight + Label2Height, Expected.width(), MemoHeight));
        QCOMPARE(Form.ReceiveMemo->height(), Form.SendMemo->height());
        const int LeftOver = Expected.height() - Form.ReceiveMemo->geometry().bottom() - 1;
        QCOMPARE(LeftOver, (Expected.height() - Label1Height - Label2Height) % 2);

        // A layout disturbed behind the window's back is restored when it is
        // activated again.
        Form.SendMemo->setGeometry(5, 5, 20, 20);
        QEvent Activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&Form, &Activate);
        QCOMPARE(Form.SendMemo->geometry(), QRect(0, Label1Height, Expected.width(), MemoHeight));
    }

    void enterSendsLastLine()
    {
        TPeerSocket Game, Chat;
        auto Module = MasterModule(Game);
        QVERIFY(Module);
        auto Form = MasterChat(Chat);
        QVERIFY(Form);
        QPlainTextEdit* Send = Form->SendMemo;

        // hello and Enter: exactly those five bytes, and a new line begun.
        Type(Send, QStringLiteral("hello"));
        QTRY_COMPARE(Chat.Stream, QByteArray("hello"));
        QCOMPARE(Send->toPlainText(), QStringLiteral("hello\n"));
        QCOMPARE(Send->document()->blockCount(), 2);
        QCOMPARE(Send->textCursor().block().blockNumber(), 1);

        // Enter at once on the new empty line: hello again.
        QTest::keyClick(Send, Qt::Key_Return);
        QTRY_COMPARE(Chat.Stream, QByteArray("hellohello"));
        QCOMPARE(Send->toPlainText(), QStringLiteral("hello\n\n"));

        // Enter on a second empty line sends an empty text: nothing on the
        // wire, as the next text shows.
        QTest::keyClick(Send, Qt::Key_Return);
        Type(Send, QStringLiteral("next"));
        QTRY_COMPARE(Chat.Stream, QByteArray("hellohellonext"));

        // Any shift key sends like Enter and begins a real new line.
        const QList<Qt::KeyboardModifiers> Shifts = {Qt::ShiftModifier, Qt::ControlModifier,
                                                     Qt::AltModifier, Qt::ShiftModifier | Qt::ControlModifier};
        QByteArray Expected = Chat.Stream;
        int Number = 0;
        for (Qt::KeyboardModifiers Shift : Shifts) {
            const QString Line = QStringLiteral("shifted%1").arg(++Number);
            Type(Send, Line, Shift);
            Expected += Line.toLatin1();
            QTRY_COMPARE(Chat.Stream, Expected);
            QVERIFY(Send->document()->lastBlock().text().isEmpty());
            QCOMPARE(Send->document()->lastBlock().previous().text(), Line);
        }

        // The keypad's Enter is Enter too.
        Type(Send, QStringLiteral("pad"), Qt::KeypadModifier, false);
        QTest::keyClick(Send, Qt::Key_Enter, Qt::KeypadModifier);
        Expected += "pad";
        QTRY_COMPARE(Chat.Stream, Expected);

        // Latin-1 text goes out byte for byte.
        Send->insertPlainText(QString::fromLatin1("gr\xfc\xdf"));
        QTest::keyClick(Send, Qt::Key_Return);
        Expected += QByteArray("gr\xfc\xdf");
        QTRY_COMPARE(Chat.Stream, Expected);

        // The sender's own text never shows in its ReceiveMemo.
        QVERIFY(Form->ReceiveMemo->toPlainText().isEmpty());
        QVERIFY(FErrors.isEmpty());
    }

    void enterInEmptyMemoSendsNothing()
    {
        TPeerSocket Game, Chat;
        auto Module = MasterModule(Game);
        QVERIFY(Module);
        auto Form = MasterChat(Chat);
        QVERIFY(Form);
        QCOMPARE(Form->LastSendLine(), QString());
        QTest::keyClick(Form->SendMemo, Qt::Key_Return);
        QCOMPARE(Form->SendMemo->toPlainText(), QStringLiteral("\n"));
        Type(Form->SendMemo, QStringLiteral("x"));
        QTRY_COMPARE(Chat.Stream, QByteArray("x"));
    }

    void wrappedLineSendsLastPiece()
    {
        TPeerSocket Game, Chat;
        auto Module = MasterModule(Game);
        QVERIFY(Module);
        auto Form = MasterChat(Chat);
        QVERIFY(Form);
        Form->resize(310, 250);
        QTRY_COMPARE(Form->SendMemo->width(), 310);
        QPlainTextEdit* Send = Form->SendMemo;

        QStringList Words;
        for (int i = 1; i <= 30; ++i)
            Words << QStringLiteral("word%1").arg(i);
        const QString Line = Words.join(QLatin1Char(' '));
        Type(Send, Line, Qt::NoModifier, false);
        QTest::keyClick(Send, Qt::Key_Return);
        QTRY_VERIFY(!Chat.Stream.isEmpty());
        QTest::qWait(50);
        const QString Sent = QString::fromLatin1(Chat.Stream);

        // Only a trailing piece, beginning at a word, that fits the memo's
        // width on its own.
        QVERIFY2(Sent.size() < Line.size(), qPrintable(Sent));
        QVERIFY(Line.endsWith(Sent));
        QVERIFY(Sent.startsWith(QStringLiteral("word")));
        QCOMPARE(Line.at(Line.size() - Sent.size() - 1), QLatin1Char(' '));
        // The width the memo wraps at: that of any of its laid-out lines.
        const QTextLayout* Lines = Send->document()->firstBlock().layout();
        QVERIFY(Lines && Lines->lineCount() > 1);
        const qreal TextWidth = Lines->lineAt(0).width();
        QVERIFY(TextWidth > 100);
        const QFontMetricsF Metrics(Send->font());
        QVERIFY(Metrics.horizontalAdvance(Sent.trimmed()) <= TextWidth);
        // Greedy wrapping at spaces over the same width ends with that piece.
        QString Expected;
        for (const QString& Word : Words) {
            const QString Longer = Expected.isEmpty() ? Word : Expected + QLatin1Char(' ') + Word;
            Expected = Metrics.horizontalAdvance(Longer) <= TextWidth ? Longer : Word;
        }
        QCOMPARE(Sent.trimmed(), Expected);

        // The memo still holds the whole line, and a new line after it.
        QCOMPARE(Send->toPlainText(), Line + QLatin1Char('\n'));
    }

    void receivedTextIsAppended()
    {
        TPeerSocket Game, Chat;
        auto Module = MasterModule(Game);
        QVERIFY(Module);
        auto Form = MasterChat(Chat);
        QVERIFY(Form);
        QPlainTextEdit* Receive = Form->ReceiveMemo;

        Chat.Write("hello there");
        QTRY_COMPARE(Receive->toPlainText(), QStringLiteral("hello there"));
        QCOMPARE(Receive->document()->blockCount(), 1);

        Chat.Write("second");
        QTRY_COMPARE(Receive->toPlainText(), QStringLiteral("hello there\nsecond"));
        QCOMPARE(Receive->document()->blockCount(), 2);

        // Line breaks, from either kind of system, make several lines.
        Chat.Write("one\r\ntwo\nthree\rfour");
        QTRY_COMPARE(Receive->document()->blockCount(), 6);
        QCOMPARE(Receive->toPlainText(), QStringLiteral("hello there\nsecond\none\ntwo\nthree\nfour"));

        Chat.Write(QByteArray("caf\xe9"));
        QTRY_COMPARE(Receive->document()->lastBlock().text(), QString::fromLatin1("caf\xe9"));

        // Received text does not end up in the user's own memo, nor on the
        // wire back.
        QVERIFY(Form->SendMemo->toPlainText().isEmpty());
        QTest::qWait(50);
        QVERIFY(Chat.Stream.isEmpty());
        QVERIFY(FErrors.isEmpty());
    }

    void masterDropsTextBeforeAccept()
    {
        TPeerSocket Game, Chat;
        auto Module = MasterModule(Game);
        QVERIFY(Module);
        auto Form = std::make_unique<TChatForm>();
        Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
        QVERIFY(Module->ChatServerActive());
        QCOMPARE(Module->ChatPartner(), nullptr);

        Type(Form->SendMemo, QStringLiteral("early"));

        Chat.ConnectTo(Module->ChatPort());
        QTRY_VERIFY(Module->ChatPartner() != nullptr);
        QTRY_VERIFY(Chat.Connected());
        Type(Form->SendMemo, QStringLiteral("late"));
        QTRY_COMPARE(Chat.Stream, QByteArray("late"));
        QVERIFY(FErrors.isEmpty());
    }

    void slaveChatsBothWays()
    {
        ConnectionLastGame = 1;
        RelationLastGame = 2;
        QTcpServer PeerChat;
        QVERIFY(PeerChat.listen(QHostAddress::LocalHost, 0));
        TComDataModule Module(nullptr, 1, PeerChat.serverPort());
        QVERIFY(!Module.Connected());

        TChatForm Form;
        // Before the connection stands the text is lost without an error.
        QVERIFY(!Module.Connected());
        Type(Form.SendMemo, QStringLiteral("lost"));
        Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form));

        TPeerSocket Chat;
        QTRY_VERIFY(PeerChat.hasPendingConnections());
        Chat.Attach(AcceptOne(PeerChat));
        QVERIFY(Chat.Socket);
        // On the slave the chat connection raises the link.
        QTRY_VERIFY(Module.Connected());

        Type(Form.SendMemo, QStringLiteral("from the slave"));
        QTRY_COMPARE(Chat.Stream, QByteArray("from the slave"));
        Chat.Write("from the master");
        QTRY_COMPARE(Form.ReceiveMemo->toPlainText(), QStringLiteral("from the master"));

        // The partner leaving takes the link down; later text is dropped.
        Chat.Socket->disconnectFromHost();
        QTRY_VERIFY(!Module.Connected());
        Type(Form.SendMemo, QStringLiteral("after"));
        QVERIFY(FErrors.isEmpty());
    }

    void textAfterWindowIsGone()
    {
        TPeerSocket Game, Chat;
        auto Module = MasterModule(Game);
        QVERIFY(Module);
        auto Form = MasterChat(Chat);
        QVERIFY(Form);
        Form.reset();
        // The chat sockets closed with the window; whatever still arrives
        // reaches nobody and breaks nothing.
        QTRY_VERIFY(!Chat.Connected());
        QVERIFY(!Module->ChatServerActive());
        QVERIFY(!Module->OnChatText);
        QCoreApplication::processEvents();
    }

    void unknownConnection()
    {
        ConnectionLastGame = 0;
        RelationLastGame = 1;
        TComDataModule Module(nullptr, 0, 0);
        QString Message;
        try {
            TChatForm Form;
        } catch (const std::runtime_error& E) {
            Message = QString::fromUtf8(E.what());
        }
        QCOMPARE(Message, QStringLiteral("Unknown connection for Chat"));
        QVERIFY(!Module.ChatServerActive());
        QVERIFY(!Module.ChatClientActive());
    }
};

QTEST_MAIN(TChatTest)
#include "tst_chat.moc"
