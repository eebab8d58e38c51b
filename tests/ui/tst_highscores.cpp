#include "HighScores.h"
#include "MessageDlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <limits>
#include <memory>

namespace {

struct TRow
{
    QString Name;
    std::int32_t Won;
    std::int32_t Lost;
};

// One record as the file holds it, built independently of the code under
// test: length byte, name bytes, zero padding, two little-endian counts.
QByteArray Record(const QByteArray& Name, std::int32_t Won, std::int32_t Lost, int LengthByte = -1)
{
    QByteArray Bytes(32, '\0');
    Bytes[0] = char(LengthByte < 0 ? Name.size() : LengthByte);
    for (int Index = 0; Index < Name.size() && Index < 20; ++Index)
        Bytes[1 + Index] = Name[Index];
    const auto Put = [&Bytes](int Offset, std::int32_t Value) {
        const auto Bits = std::uint32_t(Value);
        for (int Shift = 0; Shift < 4; ++Shift)
            Bytes[Offset + Shift] = char((Bits >> (8 * Shift)) & 0xFF);
    };
    Put(24, Won);
    Put(28, Lost);
    return Bytes;
}

bool operator==(const TRow& A, const TRow& B)
{
    return A.Name == B.Name && A.Won == B.Won && A.Lost == B.Lost;
}

char* toString(const TRow& Row)
{
    return QTest::toString(QStringLiteral("%1 %2/%3").arg(Row.Name).arg(Row.Won).arg(Row.Lost));
}

QByteArray Records(const QList<TRow>& Rows)
{
    QByteArray Bytes;
    for (const TRow& Row : Rows)
        Bytes += Record(Row.Name.toLatin1(), Row.Won, Row.Lost);
    return Bytes;
}

QList<TRow> RowsOf(const std::vector<TScoreEntry>& Entries)
{
    QList<TRow> Rows;
    for (const TScoreEntry& Entry : Entries)
        Rows.append({Entry.PlayerName, Entry.GamesWon, Entry.GamesLost});
    return Rows;
}

QStringList ItemsOf(const TScoreTable& Table, const char* ListName)
{
    auto* List = Table.findChild<QListWidget*>(QString::fromLatin1(ListName));
    QStringList Items;
    if (List != nullptr) {
        for (int Row = 0; Row < List->count(); ++Row)
            Items.append(List->item(Row)->text());
    }
    return Items;
}

int SelectedRow(const TScoreTable& Table, const char* ListName)
{
    auto* List = Table.findChild<QListWidget*>(QString::fromLatin1(ListName));
    const QList<QListWidgetItem*> Selected = List->selectedItems();
    return Selected.isEmpty() ? -1 : List->row(Selected.front());
}

void WriteFile(const QString& Path, const QByteArray& Data)
{
    QFile File(Path);
    QVERIFY(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(File.write(Data), Data.size());
}

QByteArray ReadFile(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return File.readAll();
}

} // namespace

class TestHighScores : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir FDir;
    QString FPath;
    std::unique_ptr<TScriptedMessages> FMessages;

private slots:
    void init()
    {
        FPath = FDir.filePath(QStringLiteral("HighScores.Dat"));
        QFile::remove(FPath);
        FMessages = std::make_unique<TScriptedMessages>();
    }
    void cleanup() { FMessages.reset(); }

    void defaultFileIsInTheCurrentFolder()
    {
        const QString Saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(FDir.path()));
        {
            TScoreTable Table;
            QCOMPARE(Table.FileName(), QStringLiteral("HighScores.Dat"));
            Table.UpdateScore(QStringLiteral("You"), true);
        }
        QVERIFY(QDir::setCurrent(Saved));
        QCOMPARE(ReadFile(FPath), Record("You", 1, 0));
        QCOMPARE(FMessages->Count(), 0);
    }

    void windowLayout()
    {
        TScoreTable Table(nullptr, FPath);
        QCOMPARE(Table.windowTitle(), QStringLiteral("High Scores"));
        QCOMPARE(ItemsOf(Table, "Place"), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
        QCOMPARE(ItemsOf(Table, "ListBox1"), QStringList{QStringLiteral("                 Name")});
        QCOMPARE(ItemsOf(Table, "ListBox2"), QStringList{QStringLiteral("Won")});
        QCOMPARE(ItemsOf(Table, "ListBox3"), QStringList{QStringLiteral("Lost")});
        QCOMPARE(ItemsOf(Table, "ListBox4"), QStringList{QStringLiteral("Score")});
        for (const char* Info : {"Place", "ListBox1", "ListBox2", "ListBox3", "ListBox4"}) {
            auto* Box = Table.findChild<QListWidget*>(QString::fromLatin1(Info));
            QVERIFY(!Box->isEnabled());
            QVERIFY(Box->font().bold());
        }
        const struct
        {
            const char* Name;
            const char* Caption;
            const char* Hint;
        } Buttons[] = {{"Clear", "Clear", "Delete all entries"},
                       {"Delete", "Delete", "Delete the selected entry"},
                       {"OKButton", "OK", "Close this window"}};
        for (const auto& Expected : Buttons) {
            auto* Button = Table.findChild<QPushButton*>(QString::fromLatin1(Expected.Name));
            QVERIFY2(Button != nullptr, Expected.Name);
            QCOMPARE(Button->text(), QString::fromLatin1(Expected.Caption));
            QCOMPARE(Button->toolTip(), QString::fromLatin1(Expected.Hint));
        }
        Table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Table));
        auto* Place = Table.findChild<QListWidget*>(QStringLiteral("Place"));
        QVERIFY(Place->visualItemRect(Place->item(8)).bottom() < Place->viewport()->height());
        Table.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        QVERIFY(!Table.isVisible());
        QCOMPARE(Table.result(), int(QDialog::Accepted));
    }

    void fileFormatByteForByte()
    {
        const std::vector<TScoreEntry> Entries = {
            {QStringLiteral("You"), 3, 1},
            {QStringLiteral(""), 0, 0},
            {QStringLiteral("Twenty characters!!!"), -5, 2147483647},
            {QStringLiteral("Zo\u00eb \u03a9"), 258, 65536},
        };
        QByteArray Expected = Record("You", 3, 1) + Record("", 0, 0)
                              + Record("Twenty characters!!!", -5, 2147483647)
                              + Record("Zo\xeb ?", 258, 65536);
        QCOMPARE(TScoreTable::Encode(Entries), Expected);
        QCOMPARE(Expected.size(), 4 * 32);
        QCOMPARE(Expected.mid(3 * 32 + 24, 8), QByteArray("\x02\x01\x00\x00\x00\x00\x01\x00", 8));

        WriteFile(FPath, Expected);
        {
            TScoreTable Table(nullptr, FPath);
            const QList<TRow> Expect = {{"You", 3, 1},
                                        {"", 0, 0},
                                        {"Twenty characters!!!", -5, 2147483647},
                                        {QStringLiteral("Zo\u00eb ?"), 258, 65536}};
            QCOMPARE(RowsOf(Table.Entries()), Expect);
        }
        // No refresh during the run: written back in the order read.
        QCOMPARE(ReadFile(FPath), Expected);
        QCOMPARE(FMessages->Count(), 0);
    }

    void lengthByteAboveTwentyReadsAsTwenty()
    {
        QByteArray Data = Record("ABCDEFGHIJKLMNOPQRST", 1, 0, 255);
        Data[21] = 'X';
        Data[22] = 'Y';
        WriteFile(FPath, Data);
        TScoreTable Table(nullptr, FPath);
        QCOMPARE(RowsOf(Table.Entries()), (QList<TRow>{{"ABCDEFGHIJKLMNOPQRST", 1, 0}}));
    }

    void firstGameAndDraw()
    {
        {
            TScoreTable Table(nullptr, FPath);
            Table.UpdateScore(QStringLiteral("You"), true);
            Table.UpdateScore(QStringLiteral("Computer"), false);
            QCOMPARE(RowsOf(Table.Entries()), (QList<TRow>{{"You", 1, 0}, {"Computer", 0, 1}}));
            QCOMPARE(ItemsOf(Table, "Name"), (QStringList{"You", "Computer"}));
            QCOMPARE(ItemsOf(Table, "Won"), (QStringList{"1", "0"}));
            QCOMPARE(ItemsOf(Table, "Lost"), (QStringList{"0", "1"}));
            QCOMPARE(ItemsOf(Table, "Score"), (QStringList{"1", "-1"}));

            // A drawn game counts as won for both.
            Table.UpdateScore(QStringLiteral("You"), true);
            Table.UpdateScore(QStringLiteral("Computer"), true);
            QCOMPARE(RowsOf(Table.Entries()), (QList<TRow>{{"You", 2, 0}, {"Computer", 1, 1}}));
        }
        QCOMPARE(ReadFile(FPath), Record("You", 2, 0) + Record("Computer", 1, 1));
    }

    void namesAreCaseDistinctAndCutToTwenty()
    {
        TScoreTable Table(nullptr, FPath);
        Table.UpdateScore(QStringLiteral("alice"), true);
        Table.UpdateScore(QStringLiteral("Alice"), true);
        Table.UpdateScore(QStringLiteral("Alice"), true);
        QCOMPARE(RowsOf(Table.Entries()), (QList<TRow>{{"Alice", 2, 0}, {"alice", 1, 0}}));

        // A name longer than 20 characters finds its entry again.
        const QString Long = QStringLiteral("A very long player name indeed");
        Table.UpdateScore(Long, false);
        Table.UpdateScore(Long, false);
        QCOMPARE(RowsOf(Table.Entries()).back(), (TRow{Long.left(20), 0, 2}));
        QCOMPARE(int(Table.Entries().size()), 3);
    }

    void negativeScoresRankBelowZero()
    {
        TScoreTable Table(nullptr, FPath);
        Table.UpdateScore(QStringLiteral("Loser"), false);
        Table.UpdateScore(QStringLiteral("Even"), true);
        Table.UpdateScore(QStringLiteral("Even"), false);
        Table.UpdateScore(QStringLiteral("Winner"), true);
        QCOMPARE(ItemsOf(Table, "Name"), (QStringList{"Winner", "Even", "Loser"}));
        QCOMPARE(ItemsOf(Table, "Score"), (QStringList{"1", "0", "-1"}));
    }

    void quicksortOrder_data()
    {
        QTest::addColumn<QList<TRow>>("Input");
        QTest::addColumn<QList<TRow>>("Expected");
        QTest::newRow("empty") << QList<TRow>{} << QList<TRow>{};
        QTest::newRow("one") << QList<TRow>{{"a", 1, 0}} << QList<TRow>{{"a", 1, 0}};
        QTest::newRow("ascending") << QList<TRow>{{"a", 0, 2}, {"b", 0, 0}, {"c", 3, 0}}
                                   << QList<TRow>{{"c", 3, 0}, {"b", 0, 0}, {"a", 0, 2}};
        // Equal scores have no stable order: the partition swaps them.
        QTest::newRow("three equal") << QList<TRow>{{"a", 1, 1}, {"b", 0, 0}, {"c", 2, 2}}
                                     << QList<TRow>{{"c", 2, 2}, {"b", 0, 0}, {"a", 1, 1}};
        QTest::newRow("two equal") << QList<TRow>{{"a", 0, 0}, {"b", 0, 0}}
                                   << QList<TRow>{{"b", 0, 0}, {"a", 0, 0}};
        QTest::newRow("equal around higher")
            << QList<TRow>{{"a", 0, 0}, {"b", 5, 0}, {"c", 0, 0}, {"d", 0, 0}}
            << QList<TRow>{{"b", 5, 0}, {"d", 0, 0}, {"c", 0, 0}, {"a", 0, 0}};
        QTest::newRow("extremes without overflow")
            << QList<TRow>{{"low", std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
                           {"high", std::numeric_limits<std::int32_t>::max(), -1},
                           {"zero", 0, 0}}
            << QList<TRow>{{"high", std::numeric_limits<std::int32_t>::max(), -1},
                           {"zero", 0, 0},
                           {"low", std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}};
    }

    void quicksortOrder()
    {
        QFETCH(QList<TRow>, Input);
        QFETCH(QList<TRow>, Expected);
        std::vector<TScoreEntry> Entries;
        for (const TRow& Row : Input)
            Entries.push_back({Row.Name, Row.Won, Row.Lost});
        TScoreTable::SortEntries(Entries);
        QCOMPARE(RowsOf(Entries), Expected);
    }

    void compareScores()
    {
        const TScoreEntry Low{QStringLiteral("l"), 0, 1};
        const TScoreEntry High{QStringLiteral("h"), 2, 0};
        QCOMPARE(TScoreTable::CompareScores(Low, High), 1);
        QCOMPARE(TScoreTable::CompareScores(High, Low), -1);
        QCOMPARE(TScoreTable::CompareScores(High, High), 0);
    }

    void twelveEntriesShowNineAndSaveAll()
    {
        QList<TRow> Stored;
        for (int Index = 0; Index < 12; ++Index)
            Stored.append({QStringLiteral("P%1").arg(Index), Index, 0});
        WriteFile(FPath, Records(Stored));
        {
            TScoreTable Table(nullptr, FPath);
            Table.show();
            QVERIFY(QTest::qWaitForWindowExposed(&Table));
            QCOMPARE(ItemsOf(Table, "Name").size(), 9);
            QCOMPARE(ItemsOf(Table, "Name").front(), QStringLiteral("P11"));
            QCOMPARE(ItemsOf(Table, "Name").back(), QStringLiteral("P3"));
            Table.accept();
        }
        QList<TRow> Ranked(Stored.rbegin(), Stored.rend());
        QCOMPARE(ReadFile(FPath), Records(Ranked));
    }

    void rowSelectionAndDelete()
    {
        WriteFile(FPath, Records({{"A", 5, 0}, {"B", 4, 0}, {"C", 3, 0}, {"D", 2, 0}}));
        TScoreTable Table(nullptr, FPath);
        Table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Table));
        auto* Delete = Table.findChild<QPushButton*>(QStringLiteral("Delete"));

        Delete->click();
        QCOMPARE(int(Table.Entries().size()), 4);

        for (const char* Clicked : {"Won", "Lost", "Score", "Name"}) {
            auto* List = Table.findChild<QListWidget*>(QString::fromLatin1(Clicked));
            const int Row = QByteArray(Clicked) == "Name" ? 2 : 1;
            QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualItemRect(List->item(Row)).center());
            for (const char* Other : {"Name", "Won", "Lost", "Score"})
                QCOMPARE(SelectedRow(Table, Other), Row);
            QCOMPARE(SelectedRow(Table, "Place"), -1);
        }

        Delete->click();
        QCOMPARE(ItemsOf(Table, "Name"), (QStringList{"A", "B", "D"}));
        QCOMPARE(SelectedRow(Table, "Name"), -1);
        Delete->click();
        QCOMPARE(int(Table.Entries().size()), 3);
        QCOMPARE(FMessages->Count(), 0);
    }

    void clearAnswers_data()
    {
        QTest::addColumn<TMsgButton>("Answer");
        QTest::addColumn<int>("Remaining");
        QTest::newRow("No") << TMsgButton::No << 11;
        QTest::newRow("Cancel") << TMsgButton::Cancel << 11;
        QTest::newRow("Yes") << TMsgButton::Yes << 0;
    }

    void clearAnswers()
    {
        QFETCH(TMsgButton, Answer);
        QFETCH(int, Remaining);
        QList<TRow> Stored;
        for (int Index = 0; Index < 11; ++Index)
            Stored.append({QStringLiteral("P%1").arg(Index), 0, Index});
        WriteFile(FPath, Records(Stored));
        {
            TScoreTable Table(nullptr, FPath);
            Table.RefreshTable();
            FMessages->Answer(Answer);
            Table.findChild<QPushButton*>(QStringLiteral("Clear"))->click();
            QCOMPARE(FMessages->Count(), 1);
            const TMsgRecord& Asked = FMessages->Records().front();
            QCOMPARE(Asked.Text, QStringLiteral("Delete all entries"));
            QCOMPARE(Asked.Type, TMsgType::Confirmation);
            QCOMPARE(Asked.Buttons, TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel);
            QCOMPARE(int(Table.Entries().size()), Remaining);
            QCOMPARE(ItemsOf(Table, "Name").size(), std::min(Remaining, 9));
        }
        QCOMPARE(ReadFile(FPath).size(), Remaining * 32);
    }

    void shortLastRecord()
    {
        QByteArray Data = Records({{"One", 1, 0}, {"Two", 0, 1}});
        Data += QByteArray(6, '\x07');
        QCOMPARE(Data.size(), 70);
        WriteFile(FPath, Data);
        {
            TScoreTable Table(nullptr, FPath);
            QCOMPARE(RowsOf(Table.Entries()), (QList<TRow>{{"One", 1, 0}, {"Two", 0, 1}}));
            QCOMPARE(FMessages->Count(), 1);
            const TMsgRecord& Error = FMessages->Records().front();
            QCOMPARE(Error.Type, TMsgType::Error);
            QVERIFY2(Error.Text.contains(FPath), qPrintable(Error.Text));
            QVERIFY2(Error.Text.contains(QStringLiteral("I/O error")), qPrintable(Error.Text));
        }
        QCOMPARE(ReadFile(FPath), Records({{"One", 1, 0}, {"Two", 0, 1}}));
        QCOMPARE(FMessages->Count(), 1);
    }

    void duplicateNamesStayTwo()
    {
        WriteFile(FPath, Records({{"Sam", 1, 0}, {"Sam", 3, 0}}));
        {
            TScoreTable Table(nullptr, FPath);
            Table.UpdateScore(QStringLiteral("Sam"), false);
            // The refresh sorted first; the update went to the first in table order.
            QCOMPARE(RowsOf(Table.Entries()), (QList<TRow>{{"Sam", 3, 0}, {"Sam", 1, 1}}));
            Table.UpdateScore(QStringLiteral("Sam"), true);
            QCOMPARE(RowsOf(Table.Entries()), (QList<TRow>{{"Sam", 4, 0}, {"Sam", 1, 1}}));
        }
        QCOMPARE(ReadFile(FPath), Records({{"Sam", 4, 0}, {"Sam", 1, 1}}));
    }

    void countsSaturateInsteadOfOverflowing()
    {
        WriteFile(FPath, Record("Max", std::numeric_limits<std::int32_t>::max(), -1));
        TScoreTable Table(nullptr, FPath);
        Table.UpdateScore(QStringLiteral("Max"), true);
        QCOMPARE(Table.Entries().front().GamesWon, std::numeric_limits<std::int32_t>::max());
        QCOMPARE(ItemsOf(Table, "Score"), QStringList{QStringLiteral("2147483648")});
    }

    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("How");
        QTest::newRow("file size limit") << QStringLiteral("limit");
        QTest::newRow("target is a folder") << QStringLiteral("folder");
        QTest::newRow("path under a file") << QStringLiteral("underfile");
    }

    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, How);
        const QByteArray Old = Records({{"Old", 7, 1}, {"Older", 2, 2}});
        QString Target = FPath;
        if (How == QLatin1String("folder")) {
            QVERIFY(QDir(FDir.path()).mkpath(QStringLiteral("HighScores.Dat")));
            WriteFile(FPath + QStringLiteral("/keep"), Old);
        } else if (How == QLatin1String("underfile")) {
            WriteFile(FPath, Old);
            Target = FPath + QStringLiteral("/HighScores.Dat");
        } else {
            WriteFile(FPath, Old);
        }

        auto Table = std::make_unique<TScoreTable>(nullptr, Target);
        FMessages->Clear(); // the folder case cannot be read either
        for (int Index = 0; Index < 40; ++Index)
            Table->UpdateScore(QStringLiteral("Player %1").arg(Index), true);

        rlimit Saved{};
        const bool Limit = How == QLatin1String("limit");
        if (Limit) {
            // Even root cannot write past the file size limit: the new file
            // fails half-way, like a full disk.
            std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &Saved), 0);
            rlimit Small = Saved;
            Small.rlim_cur = 100;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &Small), 0);
        }
        Table.reset();
        if (Limit)
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &Saved), 0);

        QCOMPARE(FMessages->Count(), 1);
        const TMsgRecord& Error = FMessages->Records().front();
        QCOMPARE(Error.Type, TMsgType::Error);
        QVERIFY2(Error.Text.contains(Target), qPrintable(Error.Text));
        if (How == QLatin1String("folder"))
            QCOMPARE(ReadFile(FPath + QStringLiteral("/keep")), Old);
        else
            QCOMPARE(ReadFile(FPath), Old);
        // No temporary file is left behind.
        const QStringList Left = QDir(FDir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
        QCOMPARE(Left, How == QLatin1String("folder") ? QStringList{} : QStringList{QStringLiteral("HighScores.Dat")});
        if (How == QLatin1String("folder"))
            QVERIFY(QDir(FPath).removeRecursively());
    }

    void unreadableFileIsKept_data()
    {
        QTest::addColumn<QString>("Kind");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("pipe") << QStringLiteral("pipe");
        QTest::newRow("no read permission") << QStringLiteral("unreadable");
    }

    // A file that is there but cannot be read is reported, and the table
    // written at exit does not replace it: it may hold every result so far.
    void unreadableFileIsKept()
    {
        QFETCH(QString, Kind);
        const QByteArray Old = Records({{"Old", 7, 1}});
        if (Kind == QLatin1String("folder")) {
            QVERIFY(QDir(FDir.path()).mkpath(QStringLiteral("HighScores.Dat")));
            WriteFile(FPath + QStringLiteral("/keep"), Old);
        } else if (Kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(FPath).constData(), 0600), 0);
        } else {
            if (::geteuid() == 0)
                QSKIP("root reads any file");
            WriteFile(FPath, Old);
            QVERIFY(QFile::setPermissions(FPath, QFileDevice::WriteOwner));
        }
        {
            TScoreTable Table(nullptr, FPath);
            QVERIFY(Table.Entries().empty());
            QCOMPARE(FMessages->Count(), 1);
            QCOMPARE(FMessages->Records().front().Type, TMsgType::Error);
            QVERIFY2(FMessages->Records().front().Text.contains(FPath), qPrintable(FMessages->Texts().front()));
            FMessages->Clear();
            Table.UpdateScore(QStringLiteral("You"), true);
        }
        QCOMPARE(FMessages->Count(), 1);
        QCOMPARE(FMessages->Records().front().Type, TMsgType::Error);
        QVERIFY2(FMessages->Records().front().Text.contains(FPath), qPrintable(FMessages->Texts().front()));

        const QFileInfo Info(FPath);
        const QStringList Left =
            QDir(FDir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(Left, QStringList{QStringLiteral("HighScores.Dat")});
        if (Kind == QLatin1String("folder")) {
            QVERIFY(Info.isDir());
            QCOMPARE(ReadFile(FPath + QStringLiteral("/keep")), Old);
            QVERIFY(QDir(FPath).removeRecursively());
        } else if (Kind == QLatin1String("pipe")) {
            QVERIFY(Info.exists() && !Info.isFile() && !Info.isDir());
            QVERIFY(QFile::remove(FPath));
        } else {
            QVERIFY(QFile::setPermissions(FPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
            QCOMPARE(ReadFile(FPath), Old);
        }
    }
};

QTEST_MAIN(TestHighScores)
#include "tst_highscores.moc"
