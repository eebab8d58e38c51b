// SPDX-License-Identifier: GPL-3.0-or-later
#include "HowToPlay.h"

#include "CellTiles.h"
#include "Facilities.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>
#include <vector>

namespace {

constexpr int Tile = 32;
constexpr int Gap = 24;

// Pictures of boards side by side, each a list of rows of picture indexes,
// with an arrow between two boards; Frame (when not -1) is an explosion
// frame over the middle cell of the board at Exploding.
QPixmap Boards(const TCellImages& Images, const QPalette& Colours,
               const std::vector<std::vector<std::vector<int>>>& Shown, int Exploding = -1,
               int Frame = -1) {
  int Width = 0;
  int Height = 0;
  for (const auto& Board : Shown) {
    Width += int(Board.front().size()) * Tile + Gap;
    Height = std::max(Height, int(Board.size()) * Tile);
  }
  Width -= Gap;
  QPixmap Picture(QSize(Width, Height) * Images.Picture(0).devicePixelRatio());
  Picture.setDevicePixelRatio(Images.Picture(0).devicePixelRatio());
  Picture.fill(Qt::transparent);
  QPainter Canvas(&Picture);
  int Left = 0;
  for (std::size_t Index = 0; Index < Shown.size(); ++Index) {
    const auto& Board = Shown[Index];
    const int Top = (Height - int(Board.size()) * Tile) / 2;
    for (std::size_t Row = 0; Row < Board.size(); ++Row)
      for (std::size_t Col = 0; Col < Board[Row].size(); ++Col) {
        const bool Middle = Row == Board.size() / 2 && Col == Board[Row].size() / 2;
        DrawCellTile(Canvas, QRect(Left + int(Col) * Tile, Top + int(Row) * Tile, Tile, Tile),
                     Colours, Images.Picture(Board[Row][Col]),
                     int(Index) == Exploding && Middle ? Images.Frame(Frame) : QPixmap());
      }
    Left += int(Board.front().size()) * Tile;
    if (Index + 1 < Shown.size()) {
      // An arrow to the next board.
      const int Y = Height / 2;
      Canvas.setPen(QPen(Colours.color(QPalette::WindowText), 2));
      Canvas.drawLine(Left + 5, Y, Left + Gap - 5, Y);
      Canvas.drawLine(Left + Gap - 10, Y - 5, Left + Gap - 5, Y);
      Canvas.drawLine(Left + Gap - 10, Y + 5, Left + Gap - 5, Y);
      Left += Gap;
    }
  }
  return Picture;
}

constexpr int TextWidth = 440;

QLabel* Paragraph(const QString& Text, QWidget* Parent) {
  auto* Label = new QLabel(Text, Parent);
  Label->setWordWrap(true);
  Label->setTextFormat(Qt::PlainText);
  // A wrapped label knows its height only for a given width.
  Label->setFixedWidth(TextWidth);
  Label->setMinimumHeight(Label->heightForWidth(TextWidth));
  return Label;
}

} // namespace

QPixmap THowToPlay::Filling(const TCellImages& Images, const QPalette& Colours) {
  // An edge cell, three neighbours: empty, one, two, three masses.
  return Boards(Images, Colours, {{{19}}, {{2}}, {{3}}, {{4}}});
}

QPixmap THowToPlay::Explosion(const TCellImages& Images, const QPalette& Colours) {
  // A full inner cell of yours explodes into two of the opponent's cells,
  // an empty one and one of yours: all four are yours afterwards, with one
  // mass more each.
  const std::vector<std::vector<int>> Before = {{18, 11, 18}, {11, 8, 19}, {18, 2, 18}};
  const std::vector<std::vector<int>> After = {{18, 3, 18}, {3, 20, 2}, {18, 3, 18}};
  return Boards(Images, Colours, {Before, Before, After}, 1, 3);
}

THowToPlay::THowToPlay(const TCellImages& Images, QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("HowToPlay"));
  setWindowTitle(tr("How to play"));
  SetDialogFrame(*this, true);
  setModal(false);

  auto* Layout = new QVBoxLayout(this);
  const auto Add = [&](const QString& Text) { Layout->addWidget(Paragraph(Text, this)); };
  const auto Show = [&](const QPixmap& Picture, const char* Name) {
    auto* Label = new QLabel(this);
    Label->setObjectName(QString::fromLatin1(Name));
    Label->setPixmap(Picture);
    Label->setAlignment(Qt::AlignCenter);
    Label->setMinimumSize(Picture.deviceIndependentSize().toSize());
    Layout->addWidget(Label);
  };
  Add(tr("Two players take turns placing one mass on a cell that is empty or already theirs. "
         "You are cyan, your opponent is red."));
  Add(tr("A cell holds as many masses as it has neighbours: 2 in a corner, 3 on an "
         "edge, 4 inside. Each mass fills it further, from the outside in:"));
  Show(Filling(Images, palette()), "FillingPicture");
  Add(tr("When a cell is full it explodes: it empties and throws one mass to each neighbour. Every "
         "neighbour hit becomes the exploding player's, with all its masses, and explodes in turn "
         "when it is full:"));
  Show(Explosion(Images, palette()), "ExplosionPicture");
  Add(tr("The game ends when the player to move has no empty or own cell left, or when a chain "
         "reaction would never settle. The larger total mass wins; equal totals are a draw, which "
         "counts as a win for both in the high scores."));
  Add(tr("The score is each player's total mass. Beside it, \"Moved : [row,column]\" is your "
         "opponent's last move, counted from 1; \"Just a second... Thinking\" while the computer "
         "thinks, \"Waiting for opponent\" while a player on another computer does. A thin outline "
         "in each player's colour marks that player's last move."));
  Add(tr("Keys: the arrow keys move a frame over the board (Tab reaches it), Space or Enter places "
         "there. F2 starts the next game, Ctrl+F2 restarts against the computer, Ctrl+Z takes your "
         "last move back, H marks the cell the computer would play in your place, Ctrl+E switches "
         "the explosions off and on, Escape (or a click on the board) shows the end of a chain "
         "reaction and of the reply at once, F1 shows this."));
  auto* Close = new QPushButton(tr("OK"), this);
  Close->setObjectName(QStringLiteral("OKButton"));
  Close->setDefault(true);
  Layout->addWidget(Close, 0, Qt::AlignHCenter);
  Layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(Close, &QPushButton::clicked, this, Guard([this] { accept(); }));
}
