// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniFormat.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

QSettings::Format FizzgridIniFormat() {
  static const QSettings::Format Format =
      QSettings::registerFormat(QStringLiteral("ini"), ReadFizzgridIni, WriteFizzgridIni);
  return Format;
}

namespace {

// Every part of Section and Name without the spaces around it, empty parts
// dropped, joined by "/". That is how QSettings spells a key, and the writer
// splits a key so that it reads back the same: "Dimensions /Number of Rows"
// can then never be written as a second "Number of Rows" line that shadows
// the first one at the next load.
QString KeyOf(QStringView Section, QStringView Name) {
  QStringList Parts;
  for (QStringView Whole : {Section, Name})
    for (QStringView Part : Whole.split(u'/')) {
      Part = Part.trimmed();
      if (!Part.isEmpty())
        Parts.append(Part.toString());
    }
  return Parts.join(u'/');
}

} // namespace

QString OneLine(QString Value) {
  Value.replace(u'\r', u' ');
  Value.replace(u'\n', u' ');
  return Value;
}

bool ReadFizzgridIni(QIODevice& Device, QSettings::SettingsMap& Map) {
  ReadFizzgridIniText(Device.readAll(), Map);
  return true;
}

bool WriteFizzgridIni(QIODevice& Device, const QSettings::SettingsMap& Map) {
  const QByteArray Bytes = FizzgridIniText(Map);
  return Device.write(Bytes) == Bytes.size();
}

void ReadFizzgridIniText(const QByteArray& Bytes, QSettings::SettingsMap& Map) {
  QString Text = QString::fromUtf8(Bytes);
  // A lone CR ends a line too (the writer never puts one inside a value), so
  // a file saved with old Mac line ends reads as meant.
  Text.replace(u'\r', u'\n');
  QString Section;
  for (QStringView Line : QStringView(Text).split(u'\n')) {
    Line = Line.trimmed();
    if (Line.isEmpty() || Line.startsWith(u';') || Line.startsWith(u'#'))
      continue;
    if (Line.startsWith(u'[') && Line.endsWith(u']')) {
      Section = Line.mid(1, Line.size() - 2).trimmed().toString();
      continue;
    }
    const qsizetype Equals = Line.indexOf(u'=');
    // A line that names nothing is not a value; a hand-edited file may hold such lines.
    if (Equals <= 0)
      continue;
    const QString Key = KeyOf(Section, Line.left(Equals));
    if (Key.isEmpty())
      continue;
    Map.insert(Key, Line.mid(Equals + 1).trimmed().toString());
  }
}

QByteArray FizzgridIniText(const QSettings::SettingsMap& Map) {
  QMap<QString, QStringList> Sections;
  for (auto It = Map.cbegin(); It != Map.cend(); ++It) {
    const qsizetype Slash = It.key().indexOf(u'/');
    const QString Section = Slash < 0 ? QString() : It.key().left(Slash);
    const QString Name = Slash < 0 ? It.key() : It.key().mid(Slash + 1);
    Sections[Section].append(OneLine(Name) + QLatin1Char('=') + OneLine(It.value().toString()));
  }
  QString Text;
  for (auto It = Sections.cbegin(); It != Sections.cend(); ++It) {
    if (!It.key().isEmpty())
      Text += QLatin1Char('[') + It.key() + QLatin1String("]\n");
    for (const QString& Line : It.value())
      Text += Line + QLatin1Char('\n');
    Text += QLatin1Char('\n');
  }
  return Text.toUtf8();
}
