#include "MessageDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace {

TScriptedMessages* ActiveScript = nullptr;

// QMessageBox takes No for Escape and the close box when there is no Cancel;
// a box without an escape button ends here without any button instead.
class TMessageBox : public QMessageBox {
public:
  bool Dismissable = false;

protected:
  void keyPressEvent(QKeyEvent* Event) override {
    if (Dismissable && Event->matches(QKeySequence::Cancel)) {
      reject();
      return;
    }
    QMessageBox::keyPressEvent(Event);
  }

  void closeEvent(QCloseEvent* Event) override {
    if (Dismissable)
      QDialog::closeEvent(Event);
    else
      QMessageBox::closeEvent(Event);
  }
};

} // namespace

QString CaptionOf(TMsgType Type) {
  switch (Type) {
  case TMsgType::Error:
    return QStringLiteral("Error");
  case TMsgType::Information:
    return QStringLiteral("Information");
  case TMsgType::Confirmation:
    return QStringLiteral("Confirm");
  }
  return QString();
}

TMsgButton EscapeButton(TMsgButtons Buttons) {
  if (Buttons.testFlag(TMsgButton::Cancel))
    return TMsgButton::Cancel;
  if (Buttons.testFlag(TMsgButton::OK))
    return TMsgButton::OK;
  return TMsgButton::None;
}

TMsgButton MessageDlg(const QString& Text, TMsgType Type, TMsgButtons Buttons) {
  if (Buttons == TMsgButtons())
    Buttons = TMsgButton::OK;
  if (ActiveScript != nullptr)
    return ActiveScript->Show(Text, Type, Buttons);
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    // No windows (before the application exists or after it is gone):
    // the message still reaches someone, and the box counts as closed.
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(CaptionOf(Type)), qUtf8Printable(Text));
    return EscapeButton(Buttons);
  }

  TMessageBox Box;
  Box.setObjectName(QStringLiteral("MessageDlg"));
  Box.setWindowTitle(CaptionOf(Type));
  // Plain text: names from the other program end up in these messages and
  // must never be taken for markup. A carriage return breaks the line.
  Box.setTextFormat(Qt::PlainText);
  QString Shown = Text;
  Shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  Box.setText(Shown);
  switch (Type) {
  case TMsgType::Error:
    Box.setIcon(QMessageBox::Critical);
    break;
  case TMsgType::Information:
    Box.setIcon(QMessageBox::Information);
    break;
  case TMsgType::Confirmation:
    Box.setIcon(QMessageBox::Question);
    break;
  }

  struct TChoice {
    TMsgButton Button;
    const char* Label;
    QMessageBox::ButtonRole Role;
  };
  static constexpr TChoice Choices[] = {
      {TMsgButton::Yes, "&Yes", QMessageBox::YesRole},
      {TMsgButton::No, "&No", QMessageBox::NoRole},
      {TMsgButton::OK, "OK", QMessageBox::AcceptRole},
      {TMsgButton::Cancel, "Cancel", QMessageBox::RejectRole},
  };
  const TMsgButton Escape = EscapeButton(Buttons);
  QList<QPair<QAbstractButton*, TMsgButton>> Added;
  for (const TChoice& Choice : Choices) {
    if (!Buttons.testFlag(Choice.Button))
      continue;
    QAbstractButton* Btn = Box.addButton(QString::fromLatin1(Choice.Label), Choice.Role);
    Added.append({Btn, Choice.Button});
    if (Choice.Button == Escape)
      Box.setEscapeButton(Btn);
  }
  Box.Dismissable = Escape == TMsgButton::None;
  if (!Added.isEmpty())
    Box.setDefaultButton(qobject_cast<QPushButton*>(Added.front().first));

  Box.exec();
  for (const auto& [Btn, Button] : Added) {
    if (Box.clickedButton() == Btn)
      return Button;
  }
  return Escape;
}

TScriptedMessages::TScriptedMessages() : FPrevious(ActiveScript) {
  ActiveScript = this;
}

TScriptedMessages::~TScriptedMessages() {
  if (ActiveScript == this)
    ActiveScript = FPrevious;
}

void TScriptedMessages::Answer(TMsgButton Button) {
  FAnswers.append(Button);
}

void TScriptedMessages::SetHandler(THandler Handler) {
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
