// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's compiled-in pictures and sound, drawn by tools/resgen.
//
//   ":/CELL1" .. ":/CELL21"   cell pictures, 29 x 29, silver where the face shows through
//   ":/EXPLO0" .. ":/EXPLO15" explosion frames, 29 x 29 on white
//   ":/TREFOIL"               the 65 x 57 trefoil of the information and about boxes
//   ":/ICON"                  the 128 x 128 program icon
//   ":/EXPLO"                 the explosion sound, a PCM WAVE file
//
// Every picture but the icon has a twin of twice the size named with "@2x"
// (":/CELL1@2x"); a QImage or QPixmap loaded from it reports a device pixel
// ratio of 2, so it draws at the same logical size, only sharper.

#include <QImage>
#include <QString>
#include <QUrl>

// Index 0..20, as the board's picture index; 0-based to match the image list.
QString CellPictureResource(int Index);

// Frame 0..15.
QString ExplosionFrameResource(int Frame);

QString TrefoilResource();
QString IconResource();

// For QSoundEffect, which takes a URL.
QUrl ExplosionSoundUrl();

// Loads Name, or its "@2x" twin when DevicePixelRatio is above 1. A missing
// twin falls back to the plain picture; a missing picture gives a null image.
QImage LoadResourceImage(const QString& Name, qreal DevicePixelRatio);
