// SPDX-License-Identifier: GPL-3.0-or-later
#include "Application.h"
#include "EntryFields.h"
#include "Facilities.h"
#include "Information.h"
#include "MessageDlg.h"
#include "ScriptedMessages.h"

#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// Answers the next real message box by clicking the button labelled Press, by
// closing it ("") or by Escape; Seen gets "caption: sorted labels", text, format.
void AnswerNextBox(const QString& Press, QStringList* Seen) {
  QTimer::singleShot(0, qApp, [=] {
    auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QStringList Labels;
    for (QAbstractButton* Button : Box->buttons())
      Labels.append(Button->text());
    Labels.sort();
    *Seen << Box->windowTitle() + u": "_s + Labels.join(' '_L1) << Box->text()
          << (Box->textFormat() == Qt::PlainText ? u"plain"_s : u"rich"_s);
    if (Press == "<Escape>"_L1)
      QTest::keyClick(Box, Qt::Key_Escape);
    else if (Press.isEmpty())
      Box->close();
    for (QAbstractButton* Button : Box->buttons()) {
      if (Button->text() == Press)
        Button->click();
    }
  });
}

} // namespace

class TestFacilities : public QObject {
  Q_OBJECT

private Q_SLOTS:
  // A Yes/No question closed without a button is not answered No. Names
  // typed on the other computer are shown as plain text, never as markup.
  void realMessageBox() {
    const TMsgButtons YesNo = TMsgButton::Yes | TMsgButton::No,
                      OkCancel = TMsgButton::OK | TMsgButton::Cancel;
    // Type, buttons, the button pressed ("" closes the box): caption and labels shown, answer.
    const std::tuple<TMsgType, TMsgButtons, QString, QString, TMsgButton> Cases[] = {
        {TMsgType::Confirmation, YesNo, u"&No"_s, u"Confirm: &No &Yes"_s, TMsgButton::No},
        {TMsgType::Error, TMsgButton::OK, u"OK"_s, u"Error: OK"_s, TMsgButton::OK},
        {TMsgType::Information, OkCancel, u""_s, u"Information: Cancel OK"_s, TMsgButton::Cancel},
        {TMsgType::Confirmation, YesNo, u""_s, u"Confirm: &No &Yes"_s, TMsgButton::None},
        {TMsgType::Confirmation, YesNo, u"<Escape>"_s, u"Confirm: &No &Yes"_s, TMsgButton::None}};
    for (const auto& [Type, Buttons, Press, Shown, Answer] : Cases) {
      QStringList Seen;
      AnswerNextBox(Press, &Seen);
      QCOMPARE(MessageDlg(u"\nGAME OVER\r<b>Ann</b> wins"_s, Type, Buttons), Answer);
      QCOMPARE(Seen, (QStringList{Shown, u"\nGAME OVER\n<b>Ann</b> wins"_s, u"plain"_s}));
    }
  }

  void errorReportAfterThrowingSlot() {
    TScriptedMessages Script;
    QPushButton Button;
    int Clicks = 0;
    QObject::connect(&Button, &QPushButton::clicked, &Button, Guard([&] {
      ++Clicks;
      throw std::runtime_error("Link has been closed by partner");
    }));
    Button.click();
    // Queued: nothing is shown inside the failing handler.
    QCOMPARE(Script.Count(), 0);
    QTRY_COMPARE(Script.Count(), 1);
    QCOMPARE(Script.Texts(), QStringList{u"Link has been closed by partner"_s});
    QVERIFY(Script.Records().front().Type == TMsgType::Error &&
            Script.Records().front().Buttons == TMsgButton::OK);
    // The loop goes on: the same button works and fails again.
    Button.click();
    QCOMPARE(Clicks, 2);
    QTRY_COMPARE(Script.Count(), 2);
  }

  void byteFieldMask() {
    TByteField Field;
    QTest::keyClicks(&Field, u"1a2-34"_s);
    QCOMPARE(Field.text(), u"123"_s);
  }

  // Modal dialogs and boxes are counted while open; when the last one
  // closes, the listeners hear of it from the event loop.
  void modalTracking() {
    QObject Listener;
    int Ended = 0;
    OnModalEnded(&Listener, [&] { ++Ended; });
    QDialog Dialog;
    bool OpenInside = false;
    QTimer::singleShot(0, &Dialog, [&] {
      OpenInside = ModalOpen();
      QStringList Seen;
      AnswerNextBox(u"OK"_s, &Seen);
      MessageDlg(u"inner"_s, TMsgType::Information, TMsgButton::OK);
      Dialog.accept();
    });
    QCOMPARE(RunModal(Dialog), int(QDialog::Accepted));
    QVERIFY(OpenInside && !ModalOpen());
    QCOMPARE(Ended, 0);
    QTRY_COMPARE(Ended, 1);
  }

  // A wait that ends at once leaves the wait box unshown; a longer one
  // shows it, sized to its text.
  void waitBoxShowsForLongerWaits() {
    TInformationDialog Box;
    Box.ShowNotice(u"Establishing connection ..."_s);
    QVERIFY(!Box.isVisible());
    Box.HideNotice();
    QTest::qWait(2 * TInformationDialog::ShowDelay);
    QVERIFY(!Box.isVisible());
    Box.ShowNotice(u"Establishing connection ..."_s);
    QTRY_VERIFY(Box.isVisible());
    const int InnerWidth = Box.width();
    Box.HideNotice();
    QVERIFY(!Box.isVisible());
    Box.ShowNotice(u"Waiting for opponent to connect"_s);
    QTRY_VERIFY(Box.isVisible());
    QVERIFY(Box.width() > InnerWidth);
    QCOMPARE(Box.width(), Box.DialogText->width() + TInformationDialog::ExtraWidth);
  }
};

int main(int argc, char** argv) {
  TApplication App(argc, argv);
  TestFacilities Test;
  return QTest::qExec(&Test, argc, argv);
}

#include "tst_facilities.moc"
