// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "CellTiles.h"
#include "Facilities.h"
#include "Resources.h"

#include <QApplication>
#include <QAudioDevice>
#include <QGroupBox>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSoundEffect>

#include <algorithm>

TResourceSound::TResourceSound() = default;
TResourceSound::~TResourceSound() = default;

bool TResourceSound::Play() {
  // QSoundEffect reports no missing device (it stays Ready), so ask first.
  if (QMediaDevices::audioOutputs().isEmpty())
    return false;
  if (!FEffect) {
    FEffect = std::make_unique<QSoundEffect>();
    FEffect->setSource(ExplosionSoundUrl());
  }
  if (FEffect->status() == QSoundEffect::Error)
    return false;
  FEffect->stop();
  FEffect->play();
  return true;
}

void TMainForm::ResizeGrid(int Rows, int Cols) {
  BordDisplay->SetDimensions(Rows, Cols);
  const int GridWidth = Cols * TBordGrid::CellSize + 2 * TBordGrid::Border;
  const int GridHeight = Rows * TBordGrid::CellSize + 2 * TBordGrid::Border;
  FClientWidth = GridWidth + Score->width() + 4;
  FClientHeight = std::max(GridHeight, MinClientHeight);
  Score->move(FClientWidth - Score->width(), Score->y());
  InfoPanel->move(Score->x(), InfoPanel->y());
  FClient->setFixedSize(FClientWidth, FClientHeight + TBordGrid::Border);
  BordDisplay->update();
}
