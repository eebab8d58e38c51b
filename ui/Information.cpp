// SPDX-License-Identifier: GPL-3.0-or-later
#include "Information.h"

#include "Facilities.h"
#include "Trefoil.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int ImageLeft = 4;
constexpr int TextLeft = ImageLeft + TrefoilWidth + 8;
constexpr int VerticalMargin = 8;
} // namespace

TInformationDialog::TInformationDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("InformationDialog"));
  setWindowTitle(tr("Information"));
  SetDialogFrame(*this, false);
  setModal(false);
  // A notice, not a place to type: it never takes the keyboard, so that the
  // window shown after it has it (and its shortcuts work) from the start.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowFlag(Qt::WindowDoesNotAcceptFocus);

  Image = new QLabel(this);
  Image->setObjectName(QStringLiteral("Image"));
  Image->setPixmap(TrefoilPicture(devicePixelRatioF()));
  Image->setGeometry(ImageLeft, VerticalMargin, TrefoilWidth, TrefoilHeight);

  DialogText = new QLabel(this);
  DialogText->setObjectName(QStringLiteral("DialogText"));
  QFont Font = DialogText->font();
  Font.setPixelSize(17);
  DialogText->setFont(Font);
  DialogText->move(TextLeft, VerticalMargin);

  FShowTimer.setSingleShot(true);
  FShowTimer.setInterval(ShowDelay);
  connect(&FShowTimer, &QTimer::timeout, this, Guard([this] { ShowNow(); }));
}

void TInformationDialog::ShowNotice(const QString& Text) {
  DialogText->setText(Text);
  DialogText->adjustSize();
  const int InnerHeight = std::max(TrefoilHeight, DialogText->height()) + 2 * VerticalMargin;
  DialogText->move(TextLeft, (InnerHeight - DialogText->height()) / 2);
  setFixedSize(DialogText->width() + ExtraWidth, InnerHeight);
  // A box already on screen shows the new text at once, in the middle.
  if (isVisible()) {
    CenterOnScreen(*this);
    return repaint();
  }
  FShowTimer.start();
}

void TInformationDialog::ShowNow() {
  show();
  CenterOnScreen(*this);
  raise();
  // Qt paints a window as the window system exposes it, before anything
  // else runs; one exposed already (shown again before the window system
  // took it away) is painted here.
  if (const QWindow* Window = windowHandle(); Window && Window->isExposed())
    repaint();
}

void TInformationDialog::HideNotice() {
  FShowTimer.stop();
  hide();
}

void TInformationDialog::closeEvent(QCloseEvent* Event) {
  // Only the main window removes the notice.
  Event->ignore();
}

void TInformationDialog::keyPressEvent(QKeyEvent* Event) {
  // Escape would reject the dialog and hide the notice behind the main
  // window's back.
  if (Event->key() == Qt::Key_Escape) {
    Event->ignore();
    return;
  }
  QDialog::keyPressEvent(Event);
}
