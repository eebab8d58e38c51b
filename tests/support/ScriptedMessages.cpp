// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedMessages.h"

TScriptedMessages::TScriptedMessages()
    : FPrevious(SetMessageHandler([this](const QString& Text, TMsgType Type, TMsgButtons Buttons) {
        return Show(Text, Type, Buttons);
      })) {}

TScriptedMessages::~TScriptedMessages() {
  SetMessageHandler(FPrevious);
}

void TScriptedMessages::Answer(TMsgButton Button) {
  FAnswers.append(Button);
}

void TScriptedMessages::SetHandler(TMessageHandler Handler) {
  FHandler = std::move(Handler);
}

QStringList TScriptedMessages::Texts() const {
  QStringList Result;
  for (const TMsgRecord& Record : FRecords)
    Result.append(Record.Text);
  return Result;
}

TMsgButton TScriptedMessages::Show(const QString& Text, TMsgType Type, TMsgButtons Buttons) {
  TMsgButton Answer;
  if (!FAnswers.isEmpty())
    Answer = FAnswers.takeFirst();
  else if (FHandler)
    Answer = FHandler(Text, Type, Buttons);
  else
    Answer = EscapeButton(Buttons);
  FRecords.append({Text, Type, Buttons, Answer});
  return Answer;
}
