#pragma once
// What the main window's tests share: a script for the window's modal
// dialogs, recorders for the explosion's frames and sound and for the
// thinking window, and a fresh settings store and high-score table per test.

#include "EnterPlayer.h"
#include "EntryFields.h"
#include "Facilities.h"
#include "GameTypeDialog.h"
#include "HighScores.h"
#include "Main.h"
#include "MessageDlg.h"
#include "RuntimeData.h"
#include "Search.h"
#include "SizeDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QHash>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

// Answers the window's modal dialogs. A step fills in or clicks the dialog
// it is given; a dialog still open after its step counts as cancelled.
// Steps are taken per dialog (by object name) in the order queued; a dialog
// without a queued step is cancelled.
class TDialogScript
{
public:
    using TStep = std::function<void(QDialog& Dialog)>;

    TDialogScript()
    {
        TMainForm::SetModalRunner([this](QDialog& Dialog) { return Run(Dialog); });
    }
    ~TDialogScript() { TMainForm::SetModalRunner({}); }
    TDialogScript(const TDialogScript&) = delete;
    TDialogScript& operator=(const TDialogScript&) = delete;

    void On(const QString& DialogName, TStep Step) { FSteps[DialogName].append(std::move(Step)); }
    int Pending() const
    {
        int Count = 0;
        for (const QList<TStep>& Steps : FSteps)
            Count += int(Steps.size());
        return Count;
    }

    // The dialogs shown, by object name, in order.
    QStringList Shown;

    static TStep Cancel()
    {
        return [](QDialog&) {};
    }
    static TStep Name(const QString& Text)
    {
        return [Text](QDialog& Dialog) {
            auto& Names = static_cast<TEnterNameDialog&>(Dialog);
            Names.EditPlayerName->setText(Text);
            Names.OKBtn->click();
        };
    }
    static TStep LocalGame()
    {
        return [](QDialog& Dialog) {
            auto& Types = static_cast<TGameTypeSelection&>(Dialog);
            Types.LocalGame->click();
            Types.OKBtn->click();
        };
    }
    static TStep NetworkGame(bool Master, const QString& Address)
    {
        return [Master, Address](QDialog& Dialog) {
            auto& Types = static_cast<TGameTypeSelection&>(Dialog);
            Types.OtherComputer->click();
            if (Types.Master->isChecked() != Master)
                Types.Master->click();
            Types.Internet->setText(Address);
            Types.OKBtn->click();
        };
    }
    static TStep Dimensions(int Rows, int Cols)
    {
        return [Rows, Cols](QDialog& Dialog) {
            auto& Sizes = static_cast<TSizeDlg&>(Dialog);
            Sizes.EditNumRows->SetValue(uint8_t(Rows));
            Sizes.EditNumCols->SetValue(uint8_t(Cols));
            Sizes.OKBtn->click();
        };
    }

private:
    int Run(QDialog& Dialog)
    {
        Shown.append(Dialog.objectName());
        Dialog.show();
        QList<TStep>& Steps = FSteps[Dialog.objectName()];
        if (!Steps.isEmpty())
            Steps.takeFirst()(Dialog);
        if (Dialog.isVisible())
            Dialog.reject();
        return Dialog.result();
    }

    QHash<QString, QList<TStep>> FSteps;
};

struct TSoundLog
{
    int Attempts = 0;
    bool Works = true;
};

class TRecordingSound : public TExplosionSound
{
public:
    explicit TRecordingSound(TSoundLog& Log) : FLog(Log) {}
    bool Play() override
    {
        ++FLog.Attempts;
        return FLog.Works;
    }

private:
    TSoundLog& FLog;
};

// The thinking window's part, recording what the window showed when the
// computer began to think; Hook runs at every message processing.
class TThinkRecorder : public TThinkProgress
{
public:
    explicit TThinkRecorder(TMainForm& Form) : FForm(Form) {}
    void Show() override
    {
        ++Shows;
        Texts.append(FForm.InformationText());
        HourGlass.append(CursorOf(FForm) == TCursorKind::HourGlass);
        GridEnabled.append(FForm.BordDisplay->isEnabled());
        // Menu items that could break the running move.
        MenusEnabled.append(FForm.Restart1->isEnabled() || FForm.StartGameF21->isEnabled()
                            || FForm.Dimensions1->isEnabled());
    }
    void Hide() override {}
    void SetMaxValue(int, int) override {}
    int Progress(int) const override { return 0; }
    void SetProgress(int, int) override {}
    void ProcessMessages() override
    {
        ++Messages;
        if (Hook)
            Hook();
    }

    int Shows = 0;
    int Messages = 0;
    QStringList Texts;
    QList<bool> HourGlass;
    QList<bool> GridEnabled;
    QList<bool> MenusEnabled;
    std::function<void()> Hook;

private:
    TMainForm& FForm;
};

// A fresh store, fresh globals and a high-score table in a private folder.
class TFreshState
{
public:
    TFreshState()
    {
        QFile::remove(SettingsLocation());
        NumRows = 5;
        NumCols = 5;
        PlayerNames = {QString(), QString()};
        ConnectionLastGame = 0;
        RelationLastGame = 0;
        KeepThinking = true;
        SearchDepth = 1;
        SetThinkProgress(nullptr);
        Scores = std::make_unique<TScoreTable>(nullptr, Folder.filePath(QStringLiteral("HighScores.Dat")));
        ScoreTable = Scores.get();
    }
    ~TFreshState()
    {
        SetThinkProgress(nullptr);
        KeepThinking = true;
        ScoreTable = nullptr;
    }

    // Wins and losses recorded for Name, {-1, -1} when it has no entry.
    std::pair<int, int> Record(const QString& Name) const
    {
        for (const TScoreEntry& Entry : Scores->Entries()) {
            if (Entry.PlayerName == Name)
                return {Entry.GamesWon, Entry.GamesLost};
        }
        return {-1, -1};
    }

    QTemporaryDir Folder;
    std::unique_ptr<TScoreTable> Scores;
};

inline void ClickCell(TMainForm& Form, int Row, int Col)
{
    QTest::mouseClick(Form.BordDisplay, Qt::LeftButton, Qt::NoModifier,
                      Form.BordDisplay->CellRect(Col, Row).center());
}
