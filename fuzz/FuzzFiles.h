// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// For the fuzz targets whose input is a file: a private folder for the run
// (made on first use, removed at exit) and the writing of each input.

#include "FuzzRules.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

inline QString PrivateFolder() {
  static QTemporaryDir Folder;
  Require(Folder.isValid(), "no temporary folder");
  return Folder.path();
}

// Opens File and makes the input its whole content; File stays open.
inline void WriteInput(QFile& File, const uint8_t* Data, std::size_t Size) {
  Require(File.open(QIODevice::WriteOnly | QIODevice::Truncate), "input cannot be written");
  Require(File.write(reinterpret_cast<const char*>(Data), qint64(Size)) == qint64(Size) &&
              File.flush(),
          "input not written whole");
}
