// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trefoil picture of the information box and the about box, from the
// program's resources; a null pixmap when the resource is missing, so the
// boxes still open.

#include <QPixmap>

inline constexpr int TrefoilWidth = 65;
inline constexpr int TrefoilHeight = 57;

// Always TrefoilWidth x TrefoilHeight logical pixels; on a screen with a
// device pixel ratio above 1 it is drawn from the picture of twice the size,
// so it stays sharp. Pass the ratio of the widget that shows it.
QPixmap TrefoilPicture(qreal DevicePixelRatio = 1.0);
