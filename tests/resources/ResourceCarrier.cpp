// SPDX-License-Identifier: GPL-3.0-or-later
// A static library that uses the pictures by name only, standing in for the
// window library in the link check.

int ResourceCarrierVersion() {
  return 1;
}
