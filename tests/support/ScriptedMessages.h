// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The message boxes, scripted: while a TScriptedMessages lives, every box the
// program would show is recorded and answered from its queue (or by its
// handler, or as if closed), so whole games run headless and never block.

#include "MessageDlg.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct TMsgRecord {
  QString Text;
  TMsgType Type;
  TMsgButtons Buttons;
  TMsgButton Answer;
};

class TScriptedMessages {
public:
  TScriptedMessages();  // installs itself
  ~TScriptedMessages(); // restores whatever was installed before
  TScriptedMessages(const TScriptedMessages&) = delete;
  TScriptedMessages& operator=(const TScriptedMessages&) = delete;

  // Queues the answer for the next box.
  void Answer(TMsgButton Button);
  // Consulted when the queue is empty; without one the escape button
  // answers.
  void SetHandler(TMessageHandler Handler);

  const QList<TMsgRecord>& Records() const { return FRecords; }
  QStringList Texts() const;
  int Count() const { return int(FRecords.size()); }
  void Clear() { FRecords.clear(); }

private:
  TMsgButton Show(const QString& Text, TMsgType Type, TMsgButtons Buttons);

  TMessageHandler FPrevious;
  QList<TMsgButton> FAnswers;
  QList<TMsgRecord> FRecords;
  TMessageHandler FHandler;
};
