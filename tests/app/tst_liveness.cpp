// SPDX-License-Identifier: GPL-3.0-or-later
// The window stays live while a long cascade is shown at the real pace, in a
// game against another computer: a repaint asked for and a chat message from
// the partner are both done while the cascade is still on show, forty times
// over. The gaps of the event loop and the delays are printed, not judged:
// how long they may be is the benchmarks' business, where a loaded machine
// cannot fail the suite.

#include "MainFormHarness.h"
#include "WirePeer.h"

#include "Chat.h"
#include "LoopGaps.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// When Target was last painted.
struct TPaintWatch : QObject {
  const QElapsedTimer& Clock;
  qint64 Painted = -1;
  explicit TPaintWatch(const QElapsedTimer& AClock) : Clock(AClock) {}
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::Paint)
      Painted = Clock.nsecsElapsed();
    return false;
  }
};

// Runs the event loop, blocking in it while nothing happens (as the program
// does), until Done holds or Msecs have passed.
bool RunUntil(const std::function<bool()>& Done, int Msecs) {
  QEventLoop Loop;
  QTimer Deadline;
  Deadline.setSingleShot(true);
  QObject::connect(&Deadline, &QTimer::timeout, &Loop, &QEventLoop::quit);
  Deadline.start(Msecs);
  // Checked before the loop goes to sleep again.
  const QMetaObject::Connection Check = QObject::connect(
      QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &Loop, [&] {
        if (Done && Done())
          Loop.quit();
      });
  if (!Done || !Done())
    Loop.exec();
  QObject::disconnect(Check);
  return !Done || Done();
}

} // namespace

class TestLiveness : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void initTestCase() { InstallErrorReport(true); }
  void cleanupTestCase() { InstallErrorReport(false); }

  void liveDuringACascade() {
    TAppRig R;
    TWirePeer Peer(false);
    R.Messages.SetHandler([](const QString&, TMsgType, TMsgButtons Buttons) {
      return Buttons & TMsgButton::OK ? TMsgButton::OK : TMsgButton::Yes;
    });
    R.Dialogs.On(u"EnterNameDialog"_s, TDialogScript::Name(u"Alice"_s));
    R.Dialogs.On(u"GameTypeSelection"_s, TDialogScript::NetworkGame(true, u"127.0.0.1"_s));
    R.Dialogs.On(u"SizeDlg"_s, TDialogScript::Dimensions(4, 4));
    TMainForm Form(TPorts{0, 0}, R.ScoreFile());
    Form.SetExplosionSound(nullptr);
    Form.FormCreate();
    TComDataModule* Module = nullptr;
    QTRY_VERIFY((Module = Form.Controller().ComData()) && Module->ServerActive());
    Peer.Call(Module->GamePort());
    QTRY_COMPARE(Form.Controller().Phase(), TPhase::OwnTurn);
    QTRY_VERIFY(ChatWindow() && Module->ChatServerActive());
    Peer.Call(0, Module->ChatPort());
    QTRY_VERIFY(Module->ChatPartner() != nullptr);
    // Every cell one short of full: one more mass sets off a long chain.
    for (int Cell = 0; Cell < 16; ++Cell) {
      const TCell* Target = Bord(Form)->GetCell(uint8_t(Cell / 4), uint8_t(Cell % 4));
      Put(*Bord(Form), Cell / 4, Cell % 4, LocalPlayer, uint8_t(Target->Capacity - 1));
    }
    Form.Controller().Replay().ShowBoard(*Bord(Form));
    Form.Controller().Replay().SetFrameTime(TCascadeReplay::FrameTime);
    const auto Probe = TBord::CreateCopy(*Bord(Form));
    const TCascadeSteps Steps = PlaceRecorded(*Probe, 0, 0, LocalPlayer);
    QVERIFY(std::count_if(Steps.begin(), Steps.end(), [](const TCascadeStep& Step) {
              return Step.Kind == TCascadeStep::Explosion;
            }) >= 10);

    QElapsedTimer Clock;
    Clock.start();
    QPlainTextEdit* Memo = ChatWindow()->ReceiveMemo;
    qint64 ChatShown = -1;
    connect(Memo->document(), &QTextDocument::contentsChanged, this,
            [&] { ChatShown = Clock.nsecsElapsed(); });
    QWidget* Label = Part<QWidget>(Form, "InformationLabel");
    TPaintWatch Watch(Clock);
    Label->installEventFilter(&Watch);
    qint64 SlowestRepaint = 0, SlowestChat = 0;
    TLoopGaps Loop;
    ClickCell(Form, 0, 0, false);
    // Ten explosions' time, 800 ms each.
    for (int Check = 0; Check < 40; ++Check) {
      RunUntil({}, 200);
      QCOMPARE(Form.Controller().Phase(), TPhase::OwnReplay);
      const qint64 Asked = Clock.nsecsElapsed();
      Label->update();
      QVERIFY(RunUntil([&] { return Watch.Painted > Asked; }, 1000));
      QCOMPARE(Form.Controller().Phase(), TPhase::OwnReplay);
      SlowestRepaint = std::max(SlowestRepaint, Watch.Painted - Asked);
      const qint64 Sent = Clock.nsecsElapsed();
      Peer.SendChat("hello " + QByteArray::number(Check));
      QVERIFY(RunUntil([&] { return ChatShown > Sent; }, 1000));
      QCOMPARE(Form.Controller().Phase(), TPhase::OwnReplay);
      SlowestChat = std::max(SlowestChat, ChatShown - Sent);
    }
    qInfo("%d ticks of 1 ms, the longest gap %.2f ms; slowest repaint %.2f ms, slowest chat "
          "message %.2f ms",
          Loop.Turns, Loop.Longest / 1e6, SlowestRepaint / 1e6, SlowestChat / 1e6);
    QCOMPARE(Memo->document()->lastBlock().text(), u"hello 39"_s);
    Form.close();
    QCOMPARE(Form.Controller().Phase(), TPhase::Closed);
  }
};

QTEST_MAIN(TestLiveness)
#include "tst_liveness.moc"
