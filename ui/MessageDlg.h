#pragma once
// The message box facility: a modal box with a text, a type that gives the
// icon and the caption ("Error", "Information", "Confirm"), and a set of the
// buttons OK, Yes, No and Cancel; returns the button pressed.
//
// Tests install a TScriptedMessages: while it lives, MessageDlg records
// every call and answers from its queue instead of showing a box, so whole
// games run headless and never block.

#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

enum class TMsgType { Error, Information, Confirmation };

enum class TMsgButton : unsigned { None = 0x0, OK = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };
Q_DECLARE_FLAGS(TMsgButtons, TMsgButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgButtons)

TMsgButton MessageDlg(const QString& Text, TMsgType Type, TMsgButtons Buttons);

// The answer a box gives when it is closed without pressing a button
// (Escape or the close box): Cancel, else OK, from those offered; a box
// offering neither (Yes and No) answers None, so that closing it is never
// taken for No.
TMsgButton EscapeButton(TMsgButtons Buttons);

QString CaptionOf(TMsgType Type);

struct TMsgRecord {
  QString Text;
  TMsgType Type;
  TMsgButtons Buttons;
  TMsgButton Answer;
};

class TScriptedMessages {
public:
  using THandler =
      std::function<TMsgButton(const QString& Text, TMsgType Type, TMsgButtons Buttons)>;

  TScriptedMessages();  // installs itself
  ~TScriptedMessages(); // restores whatever was installed before
  TScriptedMessages(const TScriptedMessages&) = delete;
  TScriptedMessages& operator=(const TScriptedMessages&) = delete;

  // Queues the answer for the next box.
  void Answer(TMsgButton Button);
  // Consulted when the queue is empty; without one the escape button
  // answers.
  void SetHandler(THandler Handler);

  const QList<TMsgRecord>& Records() const { return FRecords; }
  QStringList Texts() const;
  int Count() const { return int(FRecords.size()); }
  int PendingAnswers() const { return int(FAnswers.size()); }
  void Clear() { FRecords.clear(); }

  TMsgButton Show(const QString& Text, TMsgType Type, TMsgButtons Buttons);

private:
  TScriptedMessages* FPrevious;
  QList<TMsgButton> FAnswers;
  QList<TMsgRecord> FRecords;
  THandler FHandler;
};
