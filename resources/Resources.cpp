// SPDX-License-Identifier: GPL-3.0-or-later
#include "Resources.h"

#include <QFile>

QString CellPictureResource(int Index) {
  return QStringLiteral(":/CELL%1").arg(Index + 1);
}

QString ExplosionFrameResource(int Frame) {
  return QStringLiteral(":/EXPLO%1").arg(Frame);
}

QString TrefoilResource() {
  return QStringLiteral(":/TREFOIL");
}

QString IconResource() {
  return QStringLiteral(":/ICON");
}

QUrl ExplosionSoundUrl() {
  return QUrl(QStringLiteral("qrc:/EXPLO"));
}

QImage LoadResourceImage(const QString& Name, qreal DevicePixelRatio) {
  if (DevicePixelRatio > 1.0) {
    const QString Sharp = Name + QStringLiteral("@2x");
    if (QFile::exists(Sharp)) {
      QImage Picture(Sharp);
      // The reader takes the ratio from the "@2x" in the name; set it anyway
      // so the picture's logical size never depends on that convention.
      Picture.setDevicePixelRatio(2.0);
      return Picture;
    }
  }
  return QImage(Name);
}
