#include "EntryFields.h"
#include "Facilities.h"
#include "MessageDlg.h"
#include "Thinking.h"

#include <QMessageBox>
#include <QProgressBar>
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
  void scriptedMessages() {
    TScriptedMessages Script;
    Script.Answer(TMsgButton::Yes);
    const TMsgButtons YesNo = TMsgButton::Yes | TMsgButton::No;
    QCOMPARE(MessageDlg(u"Sure?"_s, TMsgType::Confirmation, YesNo), TMsgButton::Yes);
    // Nothing scripted: answered as if closed, which is not No.
    QCOMPARE(MessageDlg(u"Again?"_s, TMsgType::Confirmation, YesNo), TMsgButton::None);
    QCOMPARE(Script.Texts(), (QStringList{u"Sure?"_s, u"Again?"_s}));
  }

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

  // Progress stays within 0 and the maximum, on both gauges, and the bar
  // shows the percentage rounded down.
  void thinkingGauges() {
    // Maximum, value set: progress and percentage shown.
    const int Cases[][4] = {{3, 1, 1, 33},  {64, 64, 64, 100}, {10, 11, 10, 100},
                            {10, -3, 0, 0}, {0, 5, 0, 0},      {-4, 2, 0, 0}};
    TThinkGauges Window;
    for (const auto& Case : Cases) {
      for (int Gauge : {1, 2}) {
        const QProgressBar* Bar = Gauge == 1 ? Window.Gauge1 : Window.Gauge2;
        Window.SetMaxValue(Gauge, Case[0]);
        Window.SetProgress(Gauge, Case[1]);
        QCOMPARE(QList<int>({Case[0], Case[1], Window.Progress(Gauge),
                             Bar->value() * 100 / Bar->maximum()}),
                 QList<int>({Case[0], Case[1], Case[2], Case[3]}));
      }
    }
    // Lowering the maximum below the progress pulls the progress down with it.
    Window.SetMaxValue(1, 20);
    Window.SetProgress(1, 15);
    Window.SetMaxValue(1, 8);
    QCOMPARE(Window.Progress(1), 8);
  }

  void thinkingRateLimit() {
    TThinkGauges Window;
    qint64 Now = 1000;
    Window.SetClock([&Now] { return Now; });
    int Served = 0;
    const auto Post = [&] {
      QMetaObject::invokeMethod(
          this, [&Served] { ++Served; }, Qt::QueuedConnection);
    };
    // The first call processes at once; then only once 10 ms have passed.
    Post();
    Window.ProcessMessages();
    QCOMPARE(Served, 1);
    Post();
    Now += 9;
    Window.ProcessMessages();
    QCOMPARE(Served, 1);
    Now += 1;
    Window.ProcessMessages();
    QCOMPARE(Served, 2);
    // Showing the window makes the next call process, so it is drawn at once.
    Post();
    Window.Show();
    Window.ProcessMessages();
    QCOMPARE(Served, 3);
  }
};

int main(int argc, char** argv) {
  TApplication App(argc, argv);
  TestFacilities Test;
  return QTest::qExec(&Test, argc, argv);
}

#include "tst_facilities.moc"
