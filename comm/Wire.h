// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the socket layer and the protocol above it share of the wire: the
// errors of the link and of a received message, and the cut of a received
// text at its first NUL.

#include <QByteArrayView>

#include <stdexcept>

// The link is down (raised only inside the data module and the transports).
class LineClosed : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The link to the opponent is down: no message can be read or written.
class LinkHasBeenClosed : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A received message is not what the protocol allows here.
class ProtocolError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A received number is not a decimal integer.
class ConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A received number lies outside 0..255.
class RangeError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The text up to its first NUL: the receiver's view of every message.
QByteArrayView ZeroTerminated(QByteArrayView Text);
