// The thinking window: its form, the layout rule on activation, the gauges'
// range and repaint rules, the rate limit on processing pending messages
// (driven by a hand-set clock, not by real time), and a real search
// reporting through it.

#include "DataStructures.h"
#include "Search.h"
#include "Thinking.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

class TPaintCounter : public QObject
{
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(Watched, Event);
    }
};

// Records what the search asks of the window, checking the range on the way.
class TRecordingGauges : public TThinkGauges
{
public:
    int Shows = 0;
    int Hides = 0;
    int HighestProgress[3] = {};
    bool LeftRange = false;

    void Show() override
    {
        ++Shows;
        TThinkGauges::Show();
    }
    void Hide() override
    {
        ++Hides;
        TThinkGauges::Hide();
    }
    void SetProgress(int Gauge, int Value) override
    {
        TThinkGauges::SetProgress(Gauge, Value);
        HighestProgress[Gauge] = std::max(HighestProgress[Gauge], Progress(Gauge));
        LeftRange = LeftRange || Progress(Gauge) < 0 || Progress(Gauge) > MaxValue(Gauge);
    }
};

} // namespace

class TThinkingTest : public QObject
{
    Q_OBJECT

private slots:
    void Form();
    void LayoutRule_data();
    void LayoutRule();
    void Gauges_data();
    void Gauges();
    void RepaintsAtOnce();
    void ProcessMessagesRateLimit();
    void ComputerMoveReports();
};

void TThinkingTest::Form()
{
    QCOMPARE(ThinkGauges, nullptr);
    {
        TThinkGauges Window;
        QCOMPARE(ThinkGauges, &Window);
        QCOMPARE(Window.objectName(), QStringLiteral("ThinkGauges"));
        QCOMPARE(Window.windowTitle(), QStringLiteral("Thinking"));
        const Qt::WindowFlags Flags = Window.windowFlags();
        QVERIFY(Flags & Qt::CustomizeWindowHint);
        QVERIFY(!(Flags & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint
                           | Qt::WindowMaximizeButtonHint | Qt::WindowSystemMenuHint)));
        QCOMPARE(Window.minimumSize(), Window.maximumSize());
        QCOMPARE(Window.height(), 66);  // 82 at 120 dpi
        QCOMPARE(Window.font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(Window.font().pixelSize(), 11);  // 14 at 120 dpi
        QCOMPARE(Window.Label1->font().pixelSize(), 11);

        QCOMPARE(Window.findChild<QFrame*>(QStringLiteral("Panel1")), Window.Panel1);
        QCOMPARE(Window.Panel1->frameShadow(), QFrame::Sunken);
        QCOMPARE(Window.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Level 1 : "));
        QCOMPARE(Window.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("Level 2 : "));
        for (const char* Name : {"Gauge1", "Gauge2"}) {
            const auto* Gauge = Window.findChild<QProgressBar*>(QString::fromLatin1(Name));
            QVERIFY(Gauge);
            QVERIFY(!Gauge->isTextVisible());
            QCOMPARE(Gauge->orientation(), Qt::Horizontal);
            QCOMPARE(Gauge->minimum(), 0);
            QCOMPARE(Gauge->value(), 0);
            QCOMPARE(Gauge->width(), 160);  // 200 at 120 dpi
        }
        QCOMPARE(Window.Progress(1), 0);
        QCOMPARE(Window.Progress(2), 0);

        Window.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window));
        QCOMPARE(Window.Panel1->geometry(), Window.rect());
        Window.Hide();
        QVERIFY(!Window.isVisible());

        SetThinkProgress(&Window);
    }
    // The window leaves neither the program-wide reference nor the search
    // pointing at it.
    QCOMPARE(ThinkGauges, nullptr);
    QCOMPARE(ThinkProgress(), nullptr);
}

void TThinkingTest::LayoutRule_data()
{
    QTest::addColumn<int>("LabelPixels");
    QTest::newRow("default font") << 0;
    QTest::newRow("small font") << 9;
    QTest::newRow("large font") << 24;
}

void TThinkingTest::LayoutRule()
{
    QFETCH(int, LabelPixels);
    TThinkGauges Window;
    if (LabelPixels > 0) {
        QFont Font = Window.Label1->font();
        Font.setPixelSize(LabelPixels);
        Window.Label1->setFont(Font);
        Window.Label1->adjustSize();
    }
    Window.Show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window));

    const QLabel* Label1 = Window.Label1;
    QCOMPARE(Window.Gauge1->x(), Label1->x() + Label1->width() + 2);
    QCOMPARE(Window.Gauge2->x(), Window.Gauge1->x());
    QCOMPARE(Window.width(), 2 * Label1->x() + Label1->width() + Window.Gauge1->width() + 2);
    // Equal margins left of the labels and right of the gauges.
    QCOMPARE(Window.width() - Window.Gauge1->geometry().right() - 1, Label1->x());
    QCOMPARE(Window.Panel1->geometry(), Window.rect());
    QCOMPARE(Window.minimumSize(), Window.maximumSize());
}

void TThinkingTest::Gauges_data()
{
    QTest::addColumn<int>("MaxValue");
    QTest::addColumn<int>("Value");
    QTest::addColumn<int>("Progress");
    QTest::addColumn<int>("Percent");
    QTest::newRow("half") << 10 << 5 << 5 << 50;
    QTest::newRow("rounded down") << 3 << 1 << 1 << 33;
    QTest::newRow("full") << 64 << 64 << 64 << 100;
    QTest::newRow("above the end") << 10 << 11 << 10 << 100;
    QTest::newRow("below zero") << 10 << -3 << 0 << 0;
    QTest::newRow("no candidates") << 0 << 5 << 0 << 0;
    QTest::newRow("negative maximum") << -4 << 2 << 0 << 0;
}

void TThinkingTest::Gauges()
{
    QFETCH(int, MaxValue);
    QFETCH(int, Value);
    QFETCH(int, Progress);
    QFETCH(int, Percent);

    TThinkGauges Window;
    for (int Gauge : {1, 2}) {
        QProgressBar* Bar = Gauge == 1 ? Window.Gauge1 : Window.Gauge2;
        Window.SetMaxValue(Gauge, MaxValue);
        Window.SetProgress(Gauge, Value);
        QCOMPARE(Window.Progress(Gauge), Progress);
        QCOMPARE(Bar->value(), Percent);
        QCOMPARE(Bar->maximum(), 100);
        // The search's own step: one more, from wherever it stands.
        Window.SetProgress(Gauge, Window.Progress(Gauge) + 1);
        QCOMPARE(Window.Progress(Gauge), std::min(Progress + 1, std::max(MaxValue, 0)));
        Window.SetProgress(Gauge, 0);
        QCOMPARE(Bar->value(), 0);
    }
    QCOMPARE(Window.MaxValue(1), std::max(MaxValue, 0));

    // Lowering the maximum below the progress pulls the progress down with it.
    Window.SetMaxValue(1, 20);
    Window.SetProgress(1, 15);
    Window.SetMaxValue(1, 8);
    QCOMPARE(Window.Progress(1), 8);
    QCOMPARE(Window.Gauge1->value(), 100);

    // There are two gauges only; other numbers change nothing.
    Window.SetMaxValue(3, 5);
    Window.SetProgress(0, 5);
    QCOMPARE(Window.Progress(0), 0);
    QCOMPARE(Window.Progress(3), 0);
    QCOMPARE(Window.Progress(1), 8);
}

void TThinkingTest::RepaintsAtOnce()
{
    TThinkGauges Window;
    Window.Show();
    QVERIFY(QTest::qWaitForWindowExposed(&Window));
    QCoreApplication::processEvents();
    TPaintCounter Counter;
    Window.Gauge1->installEventFilter(&Counter);

    // No return to the event loop in between: each change of the shown
    // percentage paints before SetProgress returns; a change of the count
    // alone does not.
    Window.SetMaxValue(1, 400);
    int Before = Counter.Paints;
    Window.SetProgress(1, 1);
    Window.SetProgress(1, 2);
    Window.SetProgress(1, 3);
    QCOMPARE(Counter.Paints, Before);
    for (const int Step : {4, 8, 200, 400}) {
        Window.SetProgress(1, Step);
        QVERIFY2(Counter.Paints > Before, qPrintable(QString::number(Step)));
        Before = Counter.Paints;
    }
    Window.SetProgress(1, 500);
    QCOMPARE(Counter.Paints, Before);
    Window.Gauge1->removeEventFilter(&Counter);
}

void TThinkingTest::ProcessMessagesRateLimit()
{
    TThinkGauges Window;
    qint64 Now = 1000;
    Window.SetClock([&Now] { return Now; });

    int Served = 0;
    auto Post = [&] { QMetaObject::invokeMethod(this, [&Served] { ++Served; }, Qt::QueuedConnection); };

    // The first call processes at once; then only once 10 ms have passed.
    Post();
    Window.ProcessMessages();
    QCOMPARE(Served, 1);
    Post();
    Now += 5;
    Window.ProcessMessages();
    Now += 4;
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
    Window.Hide();

    // A search whose candidates take 3 ms each: pending messages never wait
    // more than 20 ms of search.
    qint64 LastServed = Now;
    qint64 LongestWait = 0;
    int Calls = 0;
    for (int Candidate = 0; Candidate < 200; ++Candidate) {
        Post();
        const int Was = Served;
        Now += 3;
        Window.ProcessMessages();
        ++Calls;
        if (Served != Was) {
            LongestWait = std::max(LongestWait, Now - LastServed);
            LastServed = Now;
        }
    }
    QVERIFY2(LongestWait <= 20, qPrintable(QString::number(LongestWait)));
    QVERIFY(LongestWait >= TThinkGauges::MessageInterval);
    QCoreApplication::processEvents();

    // A clock that stands still (a very fast search) processes nothing after
    // the first call.
    Post();
    Window.ProcessMessages();
    const int Standing = Served;
    for (int i = 0; i < 1000; ++i)
        Window.ProcessMessages();
    QCOMPARE(Served, Standing);
    QCoreApplication::processEvents();
}

void TThinkingTest::ComputerMoveReports()
{
    TRecordingGauges Window;
    SetThinkProgress(&Window);
    // 16 cells: fewer than 20 empty from the start, so three levels deep and
    // both gauges move.
    TBord Board(nullptr, 4, 4);
    const TMove Move = ComputerMove(Board);
    SetThinkProgress(nullptr);

    QCOMPARE(int(Move.Row), 0);
    QCOMPARE(int(Move.Col), 0);
    QCOMPARE(Window.Shows, 1);
    QCOMPARE(Window.Hides, 1);
    QVERIFY(!Window.isVisible());
    QVERIFY(!Window.LeftRange);
    QVERIFY(Window.HighestProgress[1] > 0);
    QVERIFY(Window.HighestProgress[2] > 0);
    // Every level ends by putting its gauge back to 0.
    QCOMPARE(Window.Progress(1), 0);
    QCOMPARE(Window.Progress(2), 0);
    QCOMPARE(Window.Gauge1->value(), 0);
    QCOMPARE(Window.Gauge2->value(), 0);
}

QTEST_MAIN(TThinkingTest)
#include "tst_thinking.moc"
