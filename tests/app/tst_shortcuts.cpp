// SPDX-License-Identifier: GPL-3.0-or-later
// The menu's shortcuts on a real desktop (an X server with a window
// manager): they work from the first moment the game window shows, after
// the start-up's real modal dialogs have come and gone, and while the
// thinking window appears and disappears during the computer's moves. The
// boxes and dialogs as the window manager sees them, and the wait boxes as
// the screen shows them.

#include "HelpAbout.h"
#include "HighScores.h"
#include "Information.h"
#include "MainFormHarness.h"
#include "MessageDlg.h"
#include "ThinkRelay.h"
#include "Thinking.h"

#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QWindow>

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
    // Watched for this test only: the list goes with it.
    QObject FocusWatch;
    connect(qApp, &QGuiApplication::focusWindowChanged, &FocusWatch,
            [&](QWindow* Window) { Focused << (Window ? Window->objectName() : u"none"_s); });
    for (int Move = 0; Move < 4; ++Move) {
      ClickCell(Form, PickMove(*Bord(Form)).Row, PickMove(*Bord(Form)).Col);
      QTest::keyClick(&Form, Qt::Key_E, Qt::ControlModifier);
      QCOMPARE(Explosions->isChecked(), Move % 2 == 0);
    }
    QCOMPARE(Thought, 4);
    // A long search: the thinking window stays a while, its gauges follow
    // (in every search, however the one before ended), and the user types.
    for (int Search = 0; Search < 2; ++Search) {
      Relay.Show();
      QTRY_VERIFY(Thinking.isVisible());
      Relay.SetMaxValue(2, 4);
      Relay.SetProgress(2, Search + 1);
      QTRY_COMPARE(Thinking.Gauge2->value(), 25 * (Search + 1));
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

  // A message box, a dialog and the High Scores window, each as the window
  // manager offers it: a dialog's title bar, with the close box but neither
  // minimise nor maximise; wide enough for the caption (the game-over box
  // was cut to "Info...ion").
  void dialogChrome() {
    SetModalRunner({});
    const TMessageHandler Scripted = SetMessageHandler({});
    const auto Actions = [](const QWidget& Window) {
      QProcess Xprop;
      Xprop.start(u"xprop"_s,
                  {u"-id"_s, QString::number(Window.winId()), u"_NET_WM_ALLOWED_ACTIONS"_s});
      Xprop.waitForFinished(5000);
      return QString::fromLatin1(Xprop.readAllStandardOutput());
    };
    QStringList Seen;
    QTimer User;
    connect(&User, &QTimer::timeout, this, [&] {
      QWidget* Dialog = QApplication::activeModalWidget();
      if (!Dialog || !Dialog->isActiveWindow() || Seen.contains(Dialog->windowTitle()))
        return;
      const QString Offered = Actions(*Dialog);
      if (!Offered.contains(u"_NET_WM_ACTION_CLOSE"_s))
        return; // not yet managed
      Seen << Dialog->windowTitle();
      // Openbox keeps minimising in its window menu whatever a window asks;
      // the title bar's buttons follow the flags.
      QVERIFY2(!Offered.contains(u"MAXIMIZE"_s), qPrintable(Dialog->windowTitle() + Offered));
      const Qt::WindowFlags Flags = Dialog->windowFlags();
      QVERIFY(Flags.testFlag(Qt::CustomizeWindowHint) && Flags.testFlag(Qt::WindowCloseButtonHint));
      QVERIFY(!(Flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
      QVERIFY(Dialog->width() >= CaptionWidth(*Dialog));
      QTest::keyClick(Dialog, Qt::Key_Escape);
    });
    User.start(50);
    // Each box and dialog belongs to the game's window.
    QWidget Owner;
    Owner.resize(200, 100);
    Owner.show();
    QVERIFY(QTest::qWaitForWindowActive(&Owner));
    MessageDlg(u"\nGAME OVER\rTester wins"_s, TMsgType::Information, TMsgButton::OK);
    TAboutBox1 About(&Owner);
    RunModal(About);
    QTemporaryDir Folder;
    TScoreTable Scores(&Owner, Folder.filePath(u"HighScores.Dat"_s));
    RunModal(Scores);
    SetMessageHandler(Scripted);
    QCOMPARE(Seen, QStringList({u"Information"_s, About.windowTitle(), u"High Scores"_s}));
  }

  // Each wait box is painted the moment it is exposed: the screen grabbed
  // right after its first exposure shows the box's face and its text, not
  // the black of a window not yet painted.
  void waitBoxesPainted() {
    TInformationDialog Box;
    QWindow* Window = (Box.winId(), Box.windowHandle());
    struct TFirstExpose : QObject {
      TInformationDialog& Box;
      QImage Seen;
      bool Armed = true;
      explicit TFirstExpose(TInformationDialog& ABox) : Box(ABox) {}
      bool eventFilter(QObject*, QEvent* Event) override {
        // Grabbed once the exposure has been handled, before anything else.
        if (Event->type() == QEvent::Expose && Box.windowHandle()->isExposed() &&
            std::exchange(Armed, false))
          QTimer::singleShot(0, this,
                             [this] { Seen = Box.screen()->grabWindow(Box.winId()).toImage(); });
        return false;
      }
    } Watch(Box);
    Window->installEventFilter(&Watch);
    const QRgb Face = Box.palette().color(QPalette::Window).rgb();
    const QRgb Ink = Box.DialogText->palette().color(QPalette::WindowText).rgb();
    for (const QString& Text :
         {u"Establishing connection ..."_s, u"Waiting for opponent to connect"_s}) {
      Watch.Seen = QImage();
      Watch.Armed = true;
      Box.ShowNotice(Text);
      QTRY_VERIFY(!Watch.Seen.isNull());
      int FacePixels = 0, InkPixels = 0;
      for (int Y = 0; Y < Watch.Seen.height(); ++Y)
        for (int X = 0; X < Watch.Seen.width(); ++X) {
          const QRgb Pixel = Watch.Seen.pixel(X, Y) & RGB_MASK;
          FacePixels += Pixel == (Face & RGB_MASK);
          InkPixels += Pixel == (Ink & RGB_MASK);
        }
      const int All = Watch.Seen.width() * Watch.Seen.height();
      QVERIFY2(FacePixels > All / 3 && InkPixels > 20,
               qPrintable(u"%1: %2 face and %3 text pixels of %4"_s.arg(Text)
                              .arg(FacePixels)
                              .arg(InkPixels)
                              .arg(All)));
      Box.HideNotice();
      QTRY_VERIFY(!Window->isExposed());
    }
  }
};

QTEST_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
