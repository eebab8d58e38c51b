// The menu's shortcuts on a real desktop (an X server with a window
// manager): they work from the first moment the game window shows, after
// the start-up's real modal dialogs have come and gone, and while the
// thinking window appears and disappears during the computer's moves.

#include "MainFormHarness.h"
#include "ThinkRelay.h"
#include "Thinking.h"

#include <QTimer>

class TestShortcuts : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void shortcutsAfterStartUp() {
    TAppRig R;
    // The user presses Enter in every dialog as it comes, once it has the
    // keyboard: the real dialogs, shown modally and activated.
    QTimer User;
    QStringList Answered;
    connect(&User, &QTimer::timeout, this, [&] {
      QWidget* Dialog = QApplication::activeModalWidget();
      if (Dialog && Dialog->isActiveWindow() && !Answered.contains(Dialog->objectName())) {
        Answered << Dialog->objectName();
        QTest::keyClick(Dialog, Qt::Key_Return);
      }
    });
    User.start(50);
    SetModalRunner({});
    TMainForm Form({}, R.ScoreFile());
    TThinkRelay& Relay = Form.Controller().ThinkRelay();
    TThinkGauges Thinking;
    Thinking.Follow(Relay);
    Form.Controller().Replay().SetFrameTime(0);
    QVERIFY(StartUp(Form));
    QCOMPARE(Answered, Words("EnterNameDialog GameTypeSelection SizeDlg"));
    QVERIFY(QTest::qWaitForWindowActive(&Form));

    QAction* Explosions = Item(Form, "Explosions1");
    QTest::keyClick(&Form, Qt::Key_E, Qt::ControlModifier);
    QVERIFY(!Explosions->isChecked());
    int Thought = 0;
    connect(&Relay, &TThinkRelay::Shown, this, [&] { ++Thought; });
    // The keyboard stays with the game window all the while.
    QStringList Focused;
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            [&](QWindow* Window) { Focused << (Window ? Window->objectName() : u"none"_s); });
    for (int Move = 0; Move < 4; ++Move) {
      ClickCell(Form, PickMove(*Bord(Form)).Row, PickMove(*Bord(Form)).Col);
      QTest::keyClick(&Form, Qt::Key_E, Qt::ControlModifier);
      QCOMPARE(Explosions->isChecked(), Move % 2 == 0);
    }
    QCOMPARE(Thought, 4);
    // A long search: the thinking window stays a while, and the user types.
    for (int Search = 0; Search < 2; ++Search) {
      Relay.Show();
      QTRY_VERIFY(Thinking.isVisible());
      QTest::qWait(300);
      QTest::keyClick(&Form, Qt::Key_E, Qt::ControlModifier);
      QCOMPARE(Explosions->isChecked(), Search % 2 == 0);
      Relay.Hide();
      QTRY_VERIFY(!Thinking.isVisible());
    }
    QCOMPARE(Focused, QStringList());
    // Ctrl+F2 restarts.
    Press(Form, &Form, Qt::Key_F2, Qt::ControlModifier);
    QCOMPARE(Masses(Bord(Form)), u"0/0"_s);
  }
};

QTEST_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
