#pragma once
// What the game window's tests share: a script for its modal dialogs, a
// fresh settings store and high-score table, and read-outs of the window.

#include "CommandIO.h"
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
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Answers the window's modal dialogs by object name, in the order queued; a
// dialog without a step, or still open after it, is cancelled.
class TDialogScript {
public:
  using TStep = std::function<void(QDialog&)>;
  TDialogScript() {
    TMainForm::SetModalRunner([this](QDialog& Dialog) { return Run(Dialog); });
  }
  ~TDialogScript() { TMainForm::SetModalRunner({}); }
  void On(const QString& DialogName, TStep Step) { FSteps[DialogName].append(std::move(Step)); }
  QStringList Shown; // object names, in order

  static TStep Name(const QString& Text) {
    return [Text](QDialog& Dialog) {
      static_cast<TEnterNameDialog&>(Dialog).EditPlayerName->setText(Text);
      static_cast<TEnterNameDialog&>(Dialog).OKBtn->click();
    };
  }
  static TStep ReadName(QString& Into) {
    return [&Into](QDialog& Dialog) {
      Into = static_cast<TEnterNameDialog&>(Dialog).EditPlayerName->text();
    };
  }
  static TStep LocalGame() { return NetworkGame(true, {}, false); }
  static TStep NetworkGame(bool Master, const QString& Address, bool Network = true) {
    return [=](QDialog& Dialog) {
      auto& Types = static_cast<TGameTypeSelection&>(Dialog);
      (Network ? Types.OtherComputer : Types.LocalGame)->click();
      if (Network && Types.Master->isChecked() != Master)
        Types.Master->click();
      if (Network)
        Types.Internet->setText(Address);
      Types.OKBtn->click();
    };
  }
  static TStep Dimensions(int Rows, int Cols) {
    return [=](QDialog& Dialog) {
      static_cast<TSizeDlg&>(Dialog).EditNumRows->SetValue(uint8_t(Rows));
      static_cast<TSizeDlg&>(Dialog).EditNumCols->SetValue(uint8_t(Cols));
      static_cast<TSizeDlg&>(Dialog).OKBtn->click();
    };
  }

private:
  int Run(QDialog& Dialog) {
    Shown.append(Dialog.objectName());
    Dialog.show();
    if (QList<TStep>& Steps = FSteps[Dialog.objectName()]; !Steps.isEmpty())
      Steps.takeFirst()(Dialog);
    if (Dialog.isVisible())
      Dialog.reject();
    return Dialog.result();
  }
  QHash<QString, QList<TStep>> FSteps;
};

// Fresh settings and globals, a high-score table in a private folder, the
// scripted message boxes and dialogs; one per test.
struct TAppRig {
  struct TFresh {
    TFresh() {
      QFile::remove(SettingsLocation());
      NumRows = NumCols = 5;
      PlayerNames = {QString(), QString()};
      ConnectionLastGame = RelationLastGame = 0;
      SearchDepth = 1;
    }
    ~TFresh() {
      SetThinkProgress(nullptr);
      KeepThinking = true;
      ScoreTable = nullptr;
    }
  } Fresh;
  QTemporaryDir Folder;
  TScoreTable Scores{nullptr, Folder.filePath(u"HighScores.Dat"_s)};
  TScriptedMessages Messages;
  TDialogScript Dialogs;

  TAppRig() { ScoreTable = &Scores; }
  // Wins and losses recorded for Name, {-1, -1} without an entry.
  std::pair<int, int> Record(const QString& Name) const {
    for (const TScoreEntry& Entry : Scores.Entries())
      if (Entry.PlayerName == Name)
        return {Entry.GamesWon, Entry.GamesLost};
    return {-1, -1};
  }
  // Every message box shown: caption and text, "|" between boxes.
  QString Log() const {
    QStringList Boxes;
    for (const TMsgRecord& Box : Messages.Records())
      Boxes << CaptionOf(Box.Type) + u": "_s + Box.Text;
    return Boxes.join(u'|');
  }
};

inline QStringList Words(const char* Text) {
  return QString::fromLatin1(Text).split(u' ');
}

inline void ClickCell(TMainForm& Form, int Row, int Col) {
  QTest::mouseClick(Form.BordDisplay, Qt::LeftButton, Qt::NoModifier,
                    Form.BordDisplay->CellRect(Col, Row).center());
}

inline void Put(TBord& Board, int Row, int Col, uint8_t Owner, uint8_t Mass) {
  Board.GetCell(uint8_t(Row), uint8_t(Col))->Owner = Mass ? Owner : NoOwner;
  Board.GetCell(uint8_t(Row), uint8_t(Col))->Mass = Mass;
}

// What the window offers: one word per enabled item ("menu" for the four
// that are always on), "busy" for any cursor but the arrow.
inline QString Offers(TMainForm& Form) {
  const std::pair<const char*, bool> Items[] = {
      {"grid", Form.BordDisplay->isEnabled()},
      {"start", Form.StartGameF21->isEnabled()},
      {"dimensions", Form.Dimensions1->isEnabled()},
      {"restart", Form.Restart1->isVisible() && Form.Restart1->isEnabled()},
      {"menu", Form.HighScores1->isEnabled() && Form.Explosions1->isEnabled() &&
                   Form.eXit1->isEnabled() && Form.HelpAboutItem->isEnabled()},
      {"busy", CursorOf(Form) != TCursorKind::Arrow}};
  QStringList Words;
  for (const auto& [Word, On] : Items)
    if (On)
      Words << QString::fromLatin1(Word);
  return Words.join(u' ');
}

// The information label: its text, point size and "b" when bold.
inline QString Readout(TMainForm& Form) {
  const QFont Font = Form.InformationLabel->font();
  return u"%1 @%2%3"_s.arg(Form.InformationText())
      .arg(Font.pointSize())
      .arg(Font.bold() ? u"b"_s : QString());
}

// Offers, read-out and the score labels in one line.
inline QString Screen(TMainForm& Form) {
  return Offers(Form) + u" | "_s + Readout(Form) + u" | "_s + Form.Player1->text() + u'/' +
         Form.Player2->text();
}

inline QString Masses(const TBord* Board) {
  return u"%1/%2"_s.arg(Board->CountMasses()[0]).arg(Board->CountMasses()[1]);
}

// Where two boards differ, empty when alike.
inline QString BoardDiff(const TBord* Mine, const TBord& Theirs) {
  if (!Mine || Mine->Rows != Theirs.Rows || Mine->Cols != Theirs.Cols)
    return u"dimensions differ"_s;
  for (uint8_t Row = 0; Row < Mine->Rows; ++Row)
    for (uint8_t Col = 0; Col < Mine->Cols; ++Col) {
      const TCell *A = Mine->GetCell(Row, Col), *B = Theirs.GetCell(Row, Col);
      if (A->Owner != B->Owner || A->Mass != B->Mass)
        return u"cell %1,%2: %3/%4 against %5/%6"_s.arg(Row)
            .arg(Col)
            .arg(A->Owner)
            .arg(A->Mass)
            .arg(B->Owner)
            .arg(B->Mass);
    }
  return {};
}
