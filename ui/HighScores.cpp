// SPDX-License-Identifier: GPL-3.0-or-later
#include "HighScores.h"

#include "Facilities.h"
#include "MessageDlg.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Rank column and header boxes: disabled, bold, on the info-tip colour.
void MakeInfoBox(QListWidget& Box) {
  Box.setEnabled(false);
  QFont Font = Box.font();
  Font.setBold(true);
  Box.setFont(Font);
  QPalette Palette = Box.palette();
  for (QPalette::ColorGroup Group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    Palette.setColor(Group, QPalette::Base, Palette.color(QPalette::Active, QPalette::ToolTipBase));
    Palette.setColor(Group, QPalette::Text, Palette.color(QPalette::Active, QPalette::ToolTipText));
  }
  Box.setPalette(Palette);
}

// The current row's focus frame looks like a selection where nothing is
// selected: only the selection shows.
class TNoFocusFrame : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

protected:
  void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override {
    QStyledItemDelegate::initStyleOption(Option, Index);
    Option->state &= ~QStyle::State_HasFocus;
  }
};

QListWidget* MakeList(QWidget* Parent, const char* FormName, int Width) {
  auto* List = new QListWidget(Parent);
  List->setItemDelegate(new TNoFocusFrame(List));
  List->setObjectName(QString::fromLatin1(FormName));
  List->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  List->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  List->setSelectionMode(QAbstractItemView::SingleSelection);
  List->setFixedWidth(Width);
  return List;
}

void FixRows(QListWidget& List, int Rows) {
  const int RowHeight = std::max(List.fontMetrics().height() + 2, List.sizeHintForRow(0));
  List.setFixedHeight(RowHeight * Rows + 2 * List.frameWidth());
}

// The row shown selected, -1 for none; the current row may differ.
int SelectedRow(const QListWidget& List) {
  const QList<QListWidgetItem*> Selected = List.selectedItems();
  return Selected.isEmpty() ? -1 : List.row(Selected.front());
}

void Saturating(std::int32_t& Count) {
  if (Count < std::numeric_limits<std::int32_t>::max())
    ++Count;
}

} // namespace

TScoreTable::TScoreTable(QWidget* Parent, const QString& FileName)
    : QDialog(Parent), FFileName(FileName) {
  setObjectName(QStringLiteral("ScoreTable"));
  setWindowTitle(tr("High Scores"));
  SetDialogFrame(*this, true);
  FitCaption(*this);

  Place = MakeList(this, "Place", 32);
  Name = MakeList(this, "Name", 160);
  Won = MakeList(this, "Won", 56);
  Lost = MakeList(this, "Lost", 56);
  Score = MakeList(this, "Score", 56);
  Place->setAccessibleName(tr("Place"));
  Name->setAccessibleName(tr("Name"));
  Won->setAccessibleName(tr("Won"));
  Lost->setAccessibleName(tr("Lost"));
  Score->setAccessibleName(tr("Score"));
  MakeInfoBox(*Place);
  for (int Row = 1; Row <= VisibleRows; ++Row)
    Place->addItem(QString::number(Row));

  auto* Grid = new QGridLayout;
  Grid->setHorizontalSpacing(0);
  Grid->setVerticalSpacing(0);
  const std::pair<QListWidget*, const char*> Headers[] = {
      {Name, QT_TR_NOOP("                 Name")},
      {Won, QT_TR_NOOP("Won")},
      {Lost, QT_TR_NOOP("Lost")},
      {Score, QT_TR_NOOP("Score")}};
  int Column = 1;
  int HeaderIndex = 1;
  for (const auto& [Under, Text] : Headers) {
    QListWidget* Header = MakeList(this, "", Under->width());
    Header->setObjectName(QStringLiteral("ListBox%1").arg(HeaderIndex++));
    MakeInfoBox(*Header);
    Header->addItem(tr(Text));
    Header->setAccessibleName(tr(Text).trimmed());
    FixRows(*Header, 1);
    Grid->addWidget(Header, 0, Column++);
  }
  Column = 0;
  for (QListWidget* List : {Place, Name, Won, Lost, Score}) {
    FixRows(*List, VisibleRows);
    Grid->addWidget(List, 1, Column++);
  }

  auto* Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Clear = new QPushButton(tr("Clear"), Panel1);
  Clear->setObjectName(QStringLiteral("Clear"));
  Clear->setToolTip(tr("Delete all entries"));
  Delete = new QPushButton(tr("Delete"), Panel1);
  Delete->setObjectName(QStringLiteral("Delete"));
  Delete->setToolTip(tr("Delete the selected entry"));
  auto* PanelRow = new QHBoxLayout(Panel1);
  PanelRow->addWidget(Clear);
  PanelRow->addWidget(Delete);

  OKButton = new QPushButton(tr("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setToolTip(tr("Close this window"));
  OKButton->setDefault(true);

  auto* Buttons = new QHBoxLayout;
  Buttons->addWidget(Panel1);
  Buttons->addStretch();
  Buttons->addWidget(OKButton);

  auto* Outer = new QVBoxLayout(this);
  Outer->addLayout(Grid);
  Outer->addLayout(Buttons);
  Outer->setSizeConstraint(QLayout::SetFixedSize);

  // Follows the selection, not the current row: a list that gains the focus
  // makes its first row current without selecting it, and that must not
  // show as a selection in the other three.
  for (QListWidget* List : {Name, Won, Lost, Score})
    connect(List, &QListWidget::itemSelectionChanged, this,
            Guard([this, List] { SelectRow(List); }));
  connect(Delete, &QPushButton::clicked, this, Guard([this] { DeleteClick(); }));
  connect(Clear, &QPushButton::clicked, this, Guard([this] { ClearClick(); }));
  connect(OKButton, &QPushButton::clicked, this, Guard([this] { accept(); }));

  FormCreate();
}

TScoreTable::~TScoreTable() {
  Guarded([this] { FormDestroy(); });
}

void TScoreTable::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  Guarded([this] {
    CenterOnScreen(*this);
    RefreshTable();
  });
}

void TScoreTable::FormCreate() {
  TScoreFile::TReadResult Loaded = TScoreFile::Read(FFileName);
  FEntries = std::move(Loaded.Entries);
  // A file that cannot be read at all must not be replaced by an empty
  // table at exit: it keeps every result it holds.
  FKeepFile = Loaded.Status == TScoreFile::TStatus::Unreadable;
  if (!Loaded.Error.isEmpty())
    MessageDlg(Loaded.Error, TMsgType::Error, TMsgButton::OK);
}

void TScoreTable::FormDestroy() {
  if (FKeepFile) {
    MessageDlg(tr("I/O error: the high scores were not written to \"%1\", which could not be "
                  "read at start; it is left as it was")
                   .arg(FFileName),
               TMsgType::Error, TMsgButton::OK);
    return;
  }
  QString Error;
  if (!TScoreFile::Write(FFileName, FEntries, &Error))
    MessageDlg(Error, TMsgType::Error, TMsgButton::OK);
}

int TScoreTable::CompareScores(const TScoreEntry& A, const TScoreEntry& B) {
  const std::int64_t ScoreA = A.Score();
  const std::int64_t ScoreB = B.Score();
  if (ScoreB > ScoreA)
    return 1;
  if (ScoreB == ScoreA)
    return 0;
  return -1;
}

namespace {

void QuickSort(std::vector<TScoreEntry>& Entries, std::ptrdiff_t L, std::ptrdiff_t R) {
  std::ptrdiff_t I;
  do {
    I = L;
    std::ptrdiff_t J = R;
    const TScoreEntry P = Entries[std::size_t((L + R) / 2)];
    do {
      while (TScoreTable::CompareScores(Entries[std::size_t(I)], P) < 0)
        ++I;
      while (TScoreTable::CompareScores(Entries[std::size_t(J)], P) > 0)
        --J;
      if (I <= J) {
        std::swap(Entries[std::size_t(I)], Entries[std::size_t(J)]);
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J)
      QuickSort(Entries, L, J);
    L = I;
  } while (I < R);
}

} // namespace

void TScoreTable::SortEntries(std::vector<TScoreEntry>& Entries) {
  if (!Entries.empty())
    QuickSort(Entries, 0, std::ptrdiff_t(Entries.size()) - 1);
}

void TScoreTable::RefreshTable() {
  FSelecting = true;
  for (QListWidget* List : {Name, Won, Lost, Score})
    List->clear();
  FSelecting = false;
  SortEntries(FEntries);
  const std::size_t Shown = std::min<std::size_t>(FEntries.size(), VisibleRows);
  for (std::size_t Index = 0; Index < Shown; ++Index) {
    const TScoreEntry& Entry = FEntries[Index];
    Name->addItem(Entry.PlayerName);
    Won->addItem(QString::number(Entry.GamesWon));
    Lost->addItem(QString::number(Entry.GamesLost));
    Score->addItem(QString::number(Entry.Score()));
  }
  // Adding items must not leave a row selected.
  FSelecting = true;
  for (QListWidget* List : {Name, Won, Lost, Score})
    List->setCurrentRow(-1);
  FSelecting = false;
}

void TScoreTable::UpdateScore(const QString& PlayerName, bool Won) {
  // Compared as it would be stored: at most 20 Latin-1 characters. A longer
  // or non-Latin-1 name then finds its entry again instead of adding a new
  // one after every game.
  const QString Key = QString::fromLatin1(
      PlayerName.left(TScoreFile::MaxNameLength).toLatin1().left(TScoreFile::MaxNameLength));
  auto Found = std::find_if(FEntries.begin(), FEntries.end(),
                            [&Key](const TScoreEntry& Entry) { return Entry.PlayerName == Key; });
  if (Found == FEntries.end()) {
    FEntries.push_back(TScoreEntry{Key, 0, 0});
    Found = FEntries.end() - 1;
  }
  Saturating(Won ? Found->GamesWon : Found->GamesLost);
  RefreshTable();
}

void TScoreTable::SelectRow(QListWidget* Clicked) {
  if (FSelecting)
    return;
  FSelecting = true;
  // -1 (a row deselected) clears all four.
  const int Row = SelectedRow(*Clicked);
  for (QListWidget* List : {Name, Won, Lost, Score})
    List->setCurrentRow(Row);
  FSelecting = false;
}

void TScoreTable::DeleteClick() {
  const int Row = SelectedRow(*Name);
  if (Row < 0 || std::size_t(Row) >= FEntries.size())
    return;
  FEntries.erase(FEntries.begin() + Row);
  RefreshTable();
}

void TScoreTable::ClearClick() {
  if (MessageDlg(tr("Delete all entries"), TMsgType::Confirmation,
                 TMsgButton::Yes | TMsgButton::No | TMsgButton::Cancel) != TMsgButton::Yes)
    return;
  FEntries.clear();
  RefreshTable();
}
