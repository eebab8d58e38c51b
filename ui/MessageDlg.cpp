// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageDlg.h"

#include "Facilities.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <utility>

namespace {

TMessageHandler& Handler() {
  static TMessageHandler Installed;
  return Installed;
}

// QMessageBox takes No for Escape and the close box when there is no Cancel;
// a box without an escape button ends here without any button instead.
class TMessageBox : public QMessageBox {
public:
  using QMessageBox::QMessageBox;
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
    return QCoreApplication::translate("MessageDlg", "Error");
  case TMsgType::Information:
    return QCoreApplication::translate("MessageDlg", "Information");
  case TMsgType::Confirmation:
    return QCoreApplication::translate("MessageDlg", "Confirm");
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
  if (Handler())
    return Handler()(Text, Type, Buttons);
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    // No windows (before the application exists or after it is gone):
    // the message still reaches someone, and the box counts as closed.
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(CaptionOf(Type)), qUtf8Printable(Text));
    return EscapeButton(Buttons);
  }

  // Owned by the window it speaks for, as a dialog of that window.
  TMessageBox Box(QApplication::activeWindow());
  Box.setObjectName(QStringLiteral("MessageDlg"));
  Box.setWindowTitle(CaptionOf(Type));
  // A dialog's title bar: no minimise or maximise.
  SetDialogFrame(Box, true);
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
      {TMsgButton::Yes, QT_TRANSLATE_NOOP("MessageDlg", "&Yes"), QMessageBox::YesRole},
      {TMsgButton::No, QT_TRANSLATE_NOOP("MessageDlg", "&No"), QMessageBox::NoRole},
      {TMsgButton::OK, QT_TRANSLATE_NOOP("MessageDlg", "OK"), QMessageBox::AcceptRole},
      {TMsgButton::Cancel, QT_TRANSLATE_NOOP("MessageDlg", "Cancel"), QMessageBox::RejectRole},
  };
  const TMsgButton Escape = EscapeButton(Buttons);
  QList<QPair<QAbstractButton*, TMsgButton>> Added;
  for (const TChoice& Choice : Choices) {
    if (!Buttons.testFlag(Choice.Button))
      continue;
    QAbstractButton* Btn =
        Box.addButton(QCoreApplication::translate("MessageDlg", Choice.Label), Choice.Role);
    Added.append({Btn, Choice.Button});
    if (Choice.Button == Escape)
      Box.setEscapeButton(Btn);
  }
  Box.Dismissable = Escape == TMsgButton::None;
  if (!Added.isEmpty())
    Box.setDefaultButton(qobject_cast<QPushButton*>(Added.front().first));
  // The box sizes itself to its text and sets that size fixed; a row as
  // wide as the caption in its layout is the width it keeps at least.
  if (auto* Grid = qobject_cast<QGridLayout*>(Box.layout()))
    Grid->addItem(new QSpacerItem(CaptionWidth(Box), 0, QSizePolicy::Fixed), Grid->rowCount(), 0, 1,
                  Grid->columnCount());

  {
    TModalScope Modal;
    Box.exec();
  }
  for (const auto& [Btn, Button] : Added) {
    if (Box.clickedButton() == Btn)
      return Button;
  }
  return Escape;
}

TMessageHandler SetMessageHandler(TMessageHandler NewHandler) {
  return std::exchange(Handler(), std::move(NewHandler));
}
