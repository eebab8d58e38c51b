// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The message box facility: a modal box with a text, a type that gives the
// icon and the caption ("Error", "Information", "Confirm"), and a set of the
// buttons OK, Yes, No and Cancel; returns the button pressed.
//
// A message handler, when one is installed, answers instead of a box: tests
// install one that records every box and answers as scripted, so whole games
// run headless and never block.

#include "Messages.h"

#include <QString>

#include <functional>

TMsgButton MessageDlg(const QString& Text, TMsgType Type, TMsgButtons Buttons);

using TMessageHandler =
    std::function<TMsgButton(const QString& Text, TMsgType Type, TMsgButtons Buttons)>;
// Replaces the boxes (an empty function restores them); returns the handler
// installed before.
TMessageHandler SetMessageHandler(TMessageHandler Handler);

// The answer a box gives when it is closed without pressing a button
// (Escape or the close box): Cancel, else OK, from those offered; a box
// offering neither (Yes and No) answers None, so that closing it is never
// taken for No.
TMsgButton EscapeButton(TMsgButtons Buttons);

QString CaptionOf(TMsgType Type);
