// SPDX-License-Identifier: GPL-3.0-or-later
#include "Trefoil.h"

#include "Resources.h"

QPixmap TrefoilPicture(qreal DevicePixelRatio) {
  QPixmap Picture = QPixmap::fromImage(LoadResourceImage(TrefoilResource(), DevicePixelRatio));
  if (Picture.isNull())
    return Picture;
  const QSize Logical(TrefoilWidth, TrefoilHeight);
  if (Picture.deviceIndependentSize().toSize() != Logical) {
    const qreal Ratio = Picture.devicePixelRatio();
    Picture = Picture.scaled(Logical * Ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    Picture.setDevicePixelRatio(Ratio);
  }
  return Picture;
}
