// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a message box is: a type that gives its icon and caption ("Error",
// "Information", "Confirm") and a set of the buttons OK, Yes, No and Cancel.
// The game controller asks its view for boxes in these terms; the window
// shows them (MessageDlg).

#include <QFlags>

enum class TMsgType { Error, Information, Confirmation };

enum class TMsgButton : unsigned { None = 0x0, OK = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };
Q_DECLARE_FLAGS(TMsgButtons, TMsgButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgButtons)
