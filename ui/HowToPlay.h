// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "How to play": the rules in a few short paragraphs, with two small
// pictures made of the real cell pictures (a cell filling up; an explosion
// taking over its neighbours), what the read-outs mean, and the keys. A
// modeless window of the main window's, opened from the Help menu or F1.

#include <QDialog>

class TCellImages;

class THowToPlay : public QDialog {
  Q_OBJECT
public:
  THowToPlay(const TCellImages& Images, QWidget* Parent = nullptr);

  // The two pictures: the pictures of a row of cells, each a list of
  // (CellImageIndex) rows, drawn as tiles. Public for the tests.
  static QPixmap Filling(const TCellImages& Images, const QPalette& Colours);
  static QPixmap Explosion(const TCellImages& Images, const QPalette& Colours);
};
