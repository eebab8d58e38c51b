// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryFields.h"

#include "Facilities.h"
#include "MessageDlg.h"

#include <QKeyEvent>
#include <QPalette>
#include <QRegularExpressionValidator>

namespace {

const char* const ErrorProperty = "FizzgridInError";

} // namespace

void SetErrorLook(QLineEdit& Field, bool InError) {
  if (HasErrorLook(Field) == InError)
    return;
  Field.setProperty(ErrorProperty, InError);
  if (InError) {
    QPalette Palette = Field.palette();
    Palette.setColor(QPalette::Base, Qt::red);
    Palette.setColor(QPalette::Text, Qt::black);
    Field.setPalette(Palette);
  } else {
    // Back to whatever the window passes down.
    Field.setPalette(QPalette());
  }
}

bool HasErrorLook(const QLineEdit& Field) {
  return Field.property(ErrorProperty).toBool();
}

TTextField::TTextField(QWidget* Parent, int MaxLength) : QLineEdit(Parent) {
  setMaxLength(MaxLength);
  connect(this, &QLineEdit::textChanged, this, Guard([this] { SetInError(false); }));
}

void TTextField::SetInError(bool InError) {
  SetErrorLook(*this, InError);
}

bool TTextField::InError() const {
  return HasErrorLook(*this);
}

TByteField::TByteField(QWidget* Parent) : QLineEdit(Parent) {
  // The picture "999": up to three digits, nothing else.
  setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this));
  setMaxLength(3);
  connect(this, &QLineEdit::textChanged, this, Guard([this] { Refresh(); }));
}

void TByteField::SetMaxValue(std::uint8_t Value) {
  FMaxValue = Value;
  if (FMinValue > FMaxValue)
    FMinValue = FMaxValue;
  Refresh();
}

void TByteField::SetMinValue(std::uint8_t Value) {
  FMinValue = Value;
  if (FMaxValue < FMinValue)
    FMaxValue = FMinValue;
  Refresh();
}

std::uint8_t TByteField::Value() const {
  bool Ok = false;
  const int Number = text().trimmed().toInt(&Ok);
  if (!Ok || Number < 0)
    return FMinValue;
  return std::uint8_t(Number > 255 ? 255 : Number);
}

void TByteField::SetValue(std::uint8_t Value) {
  setText(QString::number(Value));
}

bool TByteField::InRange() const {
  bool Ok = false;
  const int Number = text().trimmed().toInt(&Ok);
  return Ok && Number >= FMinValue && Number <= FMaxValue;
}

QString TByteField::RangeErrorText() const {
  return tr("Value must be between %1 and %2").arg(FMinValue).arg(FMaxValue);
}

bool TByteField::Validate() {
  if (InRange()) {
    FInError = false;
    SetErrorLook(*this, false);
    return true;
  }
  FInError = true;
  SetErrorLook(*this, true);
  MessageDlg(RangeErrorText(), TMsgType::Error, TMsgButton::OK);
  selectAll();
  setFocus(Qt::OtherFocusReason);
  return false;
}

bool TByteField::InError() const {
  return FInError;
}

void TByteField::Refresh() {
  // Once refused, the field stays marked until its text is acceptable.
  if (FInError && InRange())
    FInError = false;
  SetErrorLook(*this, FInError);
}

void TByteField::keyPressEvent(QKeyEvent* Event) {
  Guarded([&] {
    const bool Up = Event->key() == Qt::Key_Up;
    const bool Down = Event->key() == Qt::Key_Down;
    // Arrows of the numeric keypad carry the keypad modifier; they step too.
    const Qt::KeyboardModifiers Modifiers = Event->modifiers() & ~Qt::KeypadModifier;
    if (!FArrowStepping || (!Up && !Down) || Modifiers != Qt::NoModifier) {
      QLineEdit::keyPressEvent(Event);
      return;
    }
    bool Ok = false;
    const int Number = text().trimmed().toInt(&Ok);
    int Next = Ok ? Number + (Up ? 1 : -1) : FMinValue;
    if (Next < FMinValue)
      Next = FMinValue;
    if (Next > FMaxValue)
      Next = FMaxValue;
    SetValue(std::uint8_t(Next));
    selectAll();
    Event->accept();
  });
}
