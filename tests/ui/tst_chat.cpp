// SPDX-License-Identifier: GPL-3.0-or-later
// The chat window of a master against raw TCP peers on loopback: what Enter
// puts on the wire, and the layout rule.

#include "Chat.h"
#include "Communication.h"
#include "ErrorReport.h"
#include "RuntimeData.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTcpSocket>
#include <QTest>
#include <QTextBlock>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A raw peer that collects everything it receives.
struct TPeer {
  QTcpSocket Socket;
  QByteArray Stream;

  explicit TPeer(quint16 Port) {
    QObject::connect(&Socket, &QTcpSocket::readyRead, &Socket,
                     [this] { Stream += Socket.readAll(); });
    Socket.connectToHost(QHostAddress::LocalHost, Port);
  }
  bool Connected() const { return Socket.state() == QAbstractSocket::ConnectedState; }
};

void Type(QPlainTextEdit* Memo, const QString& Text,
          Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
  QTest::keyClicks(Memo, Text);
  QTest::keyClick(Memo, Qt::Key_Return, Modifiers);
}

} // namespace

class TChatTest : public QObject {
  Q_OBJECT

private:
  QStringList FErrors;
  std::unique_ptr<TPeer> FGame;
  std::unique_ptr<TComDataModule> FModule;
  std::unique_ptr<TChatForm> FForm;

private Q_SLOTS:
  // A master whose game listener has accepted a raw peer, with its chat
  // window shown: the chat listener is all that is left.
  void init() {
    FErrors.clear();
    SetErrorReport([this](const QString& Message) { FErrors << Message; });
    FModule = std::make_unique<TComDataModule>(nullptr, 0, 0);
    QVERIFY(FModule->OpenServer());
    FGame = std::make_unique<TPeer>(FModule->GamePort());
    QTRY_VERIFY(FModule->Connected() && FGame->Connected());
    FForm = std::make_unique<TChatForm>(TChatLink{FModule.get(), true, QString()});
    FForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
  }

  void cleanup() {
    FForm.reset();
    FModule.reset();
    FGame.reset();
    QCOMPARE(FErrors, QStringList());
  }

  void unknownConnectionOutsideANetworkedGame() {
    QString Message;
    try {
      TChatForm Form(TChatLink{});
    } catch (const std::runtime_error& E) {
      Message = QString::fromUtf8(E.what());
    }
    QCOMPARE(Message, u"Unknown connection for Chat"_s);
  }

  void enterRules() {
    QPlainTextEdit* Send = FForm->SendMemo;
    // The master drops text typed before the partner's chat connection is accepted.
    Type(Send, u"early"_s);
    TPeer Chat(FModule->ChatPort());
    QTRY_VERIFY(FModule->ChatPartner() != nullptr && Chat.Connected());
    // Enter in an empty memo sends an empty text: nothing on the wire.
    Send->clear();
    QTest::keyClick(Send, Qt::Key_Return);
    Type(Send, u"hello"_s);
    QTRY_COMPARE(Chat.Stream, QByteArray("hello"));
    // A final empty line does not count: Enter at once sends hello again;
    // on a second empty line the text is empty again.
    QTest::keyClick(Send, Qt::Key_Return);
    QTest::keyClick(Send, Qt::Key_Return);
    // Shift+Enter sends like Enter and begins a new line.
    Type(Send, u"shifted"_s, Qt::ShiftModifier);
    QTRY_COMPARE(Chat.Stream, QByteArray("hellohelloshifted"));
    QCOMPARE(Send->toPlainText(), u"\nhello\n\n\nshifted\n"_s);
    // No echo: the own text never reaches ReceiveMemo.
    QVERIFY(FForm->ReceiveMemo->toPlainText().isEmpty());
  }

  // A partner's flood stays within the memo's bounds in lines and bytes,
  // breaks overlong lines, and keeps the newest text.
  void receivedTextIsBounded() {
    QPlainTextEdit* Memo = FForm->ReceiveMemo;
    const auto LongestLine = [&] {
      int Longest = 0;
      for (QTextBlock Block = Memo->document()->begin(); Block.isValid(); Block = Block.next())
        Longest = std::max(Longest, int(Block.text().size()));
      return Longest;
    };
    FForm->AppendReceived(u"first"_s);
    const QString Unbroken = QString(1'000'000, u'x') + u"end"_s;
    for (int Flood = 0; Flood < 3; ++Flood)
      FForm->AppendReceived(Unbroken);
    QVERIFY(Memo->document()->characterCount() <= 256 * 1024 + 1);
    QCOMPARE(LongestLine(), 4096);
    QVERIFY(Memo->toPlainText().endsWith(u"xxxend"_s));
    QVERIFY(!Memo->toPlainText().contains(u"first"_s));
    // Line breaks of any kind; the newest 5000 lines stay.
    Memo->clear();
    QString Lines;
    for (int Line = 0; Line < 20000; ++Line)
      Lines += u"line %1\r\n"_s.arg(Line);
    FForm->AppendReceived(Lines + u"last"_s);
    QCOMPARE(Memo->document()->blockCount(), 5000);
    QCOMPARE(Memo->document()->lastBlock().text(), u"last"_s);
    QCOMPARE(Memo->document()->lastBlock().previous().text(), u"line 19999"_s);
    // Short texts are lines of their own, as they came.
    Memo->clear();
    FForm->AppendReceived(u"one\r\rthree"_s);
    QCOMPARE(Memo->toPlainText(), u"one\n\nthree"_s);
  }
};

QTEST_MAIN(TChatTest)
#include "tst_chat.moc"
