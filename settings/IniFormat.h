// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A plain INI format for QSettings that keeps section and value names as
// they are: "TCP/IP=..." and "Number of Rows=5", which a person can read and
// edit. (QSettings' own IniFormat would turn the "/" into a subgroup and
// escape the spaces.) A key "Section/Name" is split at its first "/".
// Spaces around the parts of a name do not count, and a line ends at LF, CR
// or CR LF; what the writer writes reads back as the same keys and values.

#include <QIODevice>
#include <QSettings>

// The registered format; registration happens on the first call.
QSettings::Format FizzgridIniFormat();

// A value is one line of the file: line breaks become spaces (one inside
// a value would start a bogus entry).
QString OneLine(QString Value);

// QSettings' reader and writer for the format, on the file's device.
bool ReadFizzgridIni(QIODevice& Device, QSettings::SettingsMap& Map);
bool WriteFizzgridIni(QIODevice& Device, const QSettings::SettingsMap& Map);

// The same on the file's bytes.
void ReadFizzgridIniText(const QByteArray& Bytes, QSettings::SettingsMap& Map);
QByteArray FizzgridIniText(const QSettings::SettingsMap& Map);
