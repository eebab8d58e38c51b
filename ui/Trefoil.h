#pragma once
// The trefoil picture of the information box and the about box, from the
// program's resources; a null pixmap when the resource is missing, so the
// boxes still open.

#include <QPixmap>

inline constexpr int TrefoilWidth = 65;
inline constexpr int TrefoilHeight = 57;

QPixmap TrefoilPicture();
