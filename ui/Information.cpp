// SPDX-License-Identifier: GPL-3.0-or-later
#include "Information.h"

#include "Facilities.h"
#include "Trefoil.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int ImageLeft = 4;
constexpr int TextLeft = ImageLeft + TrefoilWidth + 8;
constexpr int VerticalMargin = 8;
constexpr int MaxExposeWait = 500;

// Ends Loop when Window is exposed.
class TExposeWatch : public QObject {
public:
  TExposeWatch(QWindow& AWindow, QEventLoop& ALoop) : Window(AWindow), Loop(ALoop) {
    Window.installEventFilter(this);
  }
  ~TExposeWatch() override { Window.removeEventFilter(this); }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched == &Window && Event->type() == QEvent::Expose && Window.isExposed())
      Loop.quit();
    return false;
  }

private:
  QWindow& Window;
  QEventLoop& Loop;
};

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
}

void TInformationDialog::ShowNotice(const QString& Text) {
  DialogText->setText(Text);
  DialogText->adjustSize();
  const int InnerHeight = std::max(TrefoilHeight, DialogText->height()) + 2 * VerticalMargin;
  DialogText->move(TextLeft, (InnerHeight - DialogText->height()) / 2);
  setFixedSize(DialogText->width() + ExtraWidth, InnerHeight);
  show();
  CenterOnScreen(*this);
  raise();
  // The caller goes on with what the notice is about at once: the box must
  // show its text by then, not an empty frame. The window system exposes a
  // new window a moment after it is shown; wait for that (for no input and
  // not long), then paint it through.
  QWindow* Window = windowHandle();
  if (Window && !Window->isExposed()) {
    QEventLoop Loop;
    TExposeWatch Watch(*Window, Loop);
    QTimer::singleShot(MaxExposeWait, &Loop, &QEventLoop::quit);
    Loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  repaint();
}

void TInformationDialog::HideNotice() {
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
