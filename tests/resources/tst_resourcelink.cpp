// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures must reach an executable that links them only through a static
// library (as the game does through its window library) without naming any
// symbol of the resource code: the linker must not drop their registration.

#include <QFile>
#include <QImage>
#include <QtTest>

class TResourceLinkTest : public QObject {
  Q_OBJECT

private Q_SLOTS:
  void PicturesArePresent() {
    QCOMPARE(QImage(QStringLiteral(":/CELL1")).size(), QSize(29, 29));
    QCOMPARE(QImage(QStringLiteral(":/CELL21@2x")).size(), QSize(58, 58));
    for (const char* Name : {":/EXPLO15", ":/EXPLO", ":/TREFOIL", ":/ICON"})
      QVERIFY2(QFile::exists(QString::fromLatin1(Name)), Name);
  }
};

QTEST_GUILESS_MAIN(TResourceLinkTest)
#include "tst_resourcelink.moc"
