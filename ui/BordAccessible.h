// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The board to assistive technology: a table of Rows x Cols cells, each
// named by its row and column, its owner and its masses ("Row 2, column 3:
// yours, 2 of 4"). The keyboard's frame is the focused cell. The
// interfaces come from a factory that the game window installs on first use.

class QAccessibleInterface;
class QObject;
class QString;

// The factory's answer for Object: the board's table for a TBordGrid,
// nullptr (Qt's own answer) for anything else.
QAccessibleInterface* BordAccessibleFactory(const QString& ClassName, QObject* Object);
