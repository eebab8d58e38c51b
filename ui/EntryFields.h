// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The entry fields the dialogs use.
//
// TTextField is a single-line text field with a maximum length that can be
// marked as in error. TByteField holds an unsigned byte within a range,
// typed through the picture mask "999" (up to three digits); Validate()
// reports a value outside the range in an "Error" box, selects the text and
// keeps the focus. Both show a red background with black text while in
// error; the mark goes away as soon as the text is acceptable again.

#include <QLineEdit>

#include <cstdint>

// Turns the error colours of an entry field on or off.
void SetErrorLook(QLineEdit& Field, bool InError);
bool HasErrorLook(const QLineEdit& Field);

class TTextField : public QLineEdit {
  Q_OBJECT
public:
  explicit TTextField(QWidget* Parent = nullptr, int MaxLength = 32767);

  // Marks the field as in error until its text changes.
  void SetInError(bool InError);
  bool InError() const;
};

class TByteField : public QLineEdit {
  Q_OBJECT
public:
  static constexpr const char* PictureMask = "999";

  explicit TByteField(QWidget* Parent = nullptr);

  std::uint8_t MinValue() const { return FMinValue; }
  std::uint8_t MaxValue() const { return FMaxValue; }
  void SetMaxValue(std::uint8_t Value);
  void SetMinValue(std::uint8_t Value);

  // The up and down arrow keys step the value within the range.
  void SetArrowStepping(bool On) { FArrowStepping = On; }
  bool ArrowStepping() const { return FArrowStepping; }

  // The value shown; a text that is not a number reads as MinValue(),
  // a number above 255 as 255.
  std::uint8_t Value() const;
  void SetValue(std::uint8_t Value);

  // True when the text is a whole number within MinValue()..MaxValue().
  bool InRange() const;
  // Checks the text; out of range, reports the range error, marks the
  // field, selects its text and gives it the focus, and returns false.
  bool Validate();
  bool InError() const;
  QString RangeErrorText() const;

protected:
  void keyPressEvent(QKeyEvent* Event) override;

private:
  void Refresh();

  std::uint8_t FMinValue = 0;
  std::uint8_t FMaxValue = 255;
  bool FArrowStepping = false;
  bool FInError = false;
};
