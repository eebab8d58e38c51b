// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniFormat.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>

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
  QString Key;
  Key.reserve(Section.size() + 1 + Name.size());
  for (QStringView Whole : {Section, Name})
    for (QStringView Part : Whole.tokenize(u'/')) {
      Part = Part.trimmed();
      if (Part.isEmpty())
        continue;
      if (!Key.isEmpty())
        Key += u'/';
      Key += Part;
    }
  return Key;
}

} // namespace

QString OneLine(QString Value) {
  Value.replace(u'\r', u' ');
  Value.replace(u'\n', u' ');
  return Value;
}

namespace {

// Text += OneLine(Part), without a copy of Part.
void AddOneLine(QString& Text, QStringView Part) {
  const qsizetype From = Text.size();
  Text += Part;
  for (qsizetype I = From; I < Text.size(); ++I)
    if (Text[I] == u'\r' || Text[I] == u'\n')
      Text[I] = u' ';
}

} // namespace

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
  for (QStringView Line : QStringView(Text).tokenize(u'\n')) {
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
  QString Text;
  // About a line per key, most of them short: mostly one allocation.
  Text.reserve(48 * (Map.size() + 1));
  const auto AddLine = [&Text](QStringView Name, const QString& Value) {
    AddOneLine(Text, Name);
    Text += u'=';
    AddOneLine(Text, Value);
    Text += u'\n';
  };
  // A key is split at its first "/". Those without a section come first,
  // as under a header they would belong to it.
  bool Any = false;
  for (auto It = Map.cbegin(); It != Map.cend(); ++It)
    if (const qsizetype Slash = It.key().indexOf(u'/'); Slash <= 0) {
      AddLine(QStringView(It.key()).mid(Slash + 1), It.value().toString());
      Any = true;
    }
  if (Any)
    Text += u'\n';
  // The keys of one section lie together in the map, as they share its
  // name and the "/" as a prefix.
  std::optional<QStringView> Section;
  for (auto It = Map.cbegin(); It != Map.cend(); ++It) {
    const QStringView Key(It.key());
    const qsizetype Slash = Key.indexOf(u'/');
    if (Slash <= 0)
      continue;
    if (Section != Key.left(Slash)) {
      if (Section)
        Text += u'\n';
      Section = Key.left(Slash);
      Text += u'[';
      Text += *Section;
      Text += QLatin1String("]\n");
    }
    AddLine(Key.mid(Slash + 1), It.value().toString());
  }
  if (Section)
    Text += u'\n';
  return Text.toUtf8();
}
