#include "Information.h"

#include "Facilities.h"
#include "Trefoil.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>

namespace {

constexpr int ImageLeft = 4;
constexpr int TextLeft = ImageLeft + TrefoilWidth + 8;
constexpr int VerticalMargin = 8;

} // namespace

TInformationDialog::TInformationDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("InformationDialog"));
  setWindowTitle(QStringLiteral("Information"));
  SetDialogFrame(*this, false);
  setModal(false);

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
  activateWindow();
  ProcessMessages();
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
