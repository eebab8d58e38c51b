// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The high-score window TScoreTable: for every player name that finished a
// game here, the games won and lost, ranked by won minus lost.
//
// It owns the table Entries. The file (default "HighScores.Dat" in the
// current folder, format in HighScoreFile.h) is read once when the window is
// created (FormCreate) and written once, atomically, when it is destroyed
// (FormDestroy); a file that exists but could not be read at all is left
// untouched instead. The main window records every finished game with
// UpdateScore and shows the window modally; each showing re-sorts and
// redraws the nine rows (RefreshTable), with no row selected. Selecting a
// row in any of the four columns selects it in all four (SelectRow), and
// Delete removes the entry of the selected row, if there is one.

#include "HighScoreFile.h"

#include <QDialog>
#include <QString>

#include <vector>

class QListWidget;
class QPushButton;

class TScoreTable : public QDialog {
  Q_OBJECT
public:
  static constexpr int VisibleRows = 9;

  explicit TScoreTable(QWidget* Parent = nullptr,
                       const QString& FileName = QStringLiteral("HighScores.Dat"));
  ~TScoreTable() override;

  const QString& FileName() const { return FFileName; }
  const std::vector<TScoreEntry>& Entries() const { return FEntries; }

  // Records one finished game for PlayerName and refreshes the display.
  void UpdateScore(const QString& PlayerName, bool Won);
  void RefreshTable();

  // 1 when B scores higher than A, 0 when equal, -1 when lower.
  static int CompareScores(const TScoreEntry& A, const TScoreEntry& B);
  // The in-place quicksort of the ranking (equal scores in no set order).
  static void SortEntries(std::vector<TScoreEntry>& Entries);

protected:
  void showEvent(QShowEvent* Event) override;

private:
  void FormCreate();
  void FormDestroy();
  void SelectRow(QListWidget* Clicked);
  void DeleteClick();
  void ClearClick();

  QString FFileName;
  std::vector<TScoreEntry> FEntries;
  // The file exists but could not be read at all: leave it alone at exit.
  bool FKeepFile = false;
  bool FSelecting = false;

  QListWidget* Place;
  QListWidget* Name;
  QListWidget* Won;
  QListWidget* Lost;
  QListWidget* Score;
  QPushButton* Clear;
  QPushButton* Delete;
  QPushButton* OKButton;
};
