// SPDX-License-Identifier: GPL-3.0-or-later
#include "Chat.h"

#include "ChatIO.h"
#include "Facilities.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

namespace {

// A flood of text from the partner must not grow the memo without bound;
// the oldest lines go first.
constexpr int MaxReceivedLines = 5000;
constexpr qsizetype MaxReceivedCharacters = 256 * 1024;
// Laying out one unbroken line costs more than its length; longer received
// lines are broken into lines of this length.
constexpr qsizetype MaxReceivedLine = 4096;

QPlainTextEdit* MakeMemo(QWidget* Parent, const QString& Name, const QString& Hint) {
  auto* Memo = new QPlainTextEdit(Parent);
  Memo->setObjectName(Name);
  Memo->setToolTip(Hint);
  Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // Like the system's edit control: break at spaces, and inside a word
  // only when the word alone is wider than the memo.
  Memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  Memo->setTabChangesFocus(true);
  return Memo;
}

} // namespace

TChatForm::TChatForm(const TChatLink& Link, QWidget* Parent)
    : QWidget(Parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("ChatForm"));
  setWindowTitle(tr("Chat with your opponent"));
  setAttribute(Qt::WA_AlwaysShowToolTips);
  QFont Font(QStringLiteral("MS Sans Serif"));
  Font.setPixelSize(14);
  setFont(Font);
  setMinimumSize(MinWidth, MinHeight);
  setGeometry(481, 209, 398, 270);

  Label1 = new QLabel(tr("Type your comments below :"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  SendMemo = MakeMemo(this, QStringLiteral("SendMemo"),
                      tr("Press <ENTER> to send the last line you typed to your opponent"));
  Label2 = new QLabel(tr("Your opponent says :"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  ReceiveMemo = MakeMemo(this, QStringLiteral("ReceiveMemo"),
                         tr("This field shows the text your opponent sent"));
  SendMemo->setAccessibleName(tr("Your message"));
  ReceiveMemo->setAccessibleName(tr("Your opponent's messages"));
  ReceiveMemo->setReadOnly(true);
  ReceiveMemo->setMaximumBlockCount(MaxReceivedLines);
  // Read-only, but still reachable with Tab so its text can be selected.
  ReceiveMemo->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

  Label1->setFocusPolicy(Qt::NoFocus);
  Label2->setFocusPolicy(Qt::NoFocus);
  setTabOrder(SendMemo, ReceiveMemo);
  SendMemo->setFocus();
  SendMemo->installEventFilter(this);

  FormResize();
  FormCreate(Link);
}

TChatForm::~TChatForm() {
  // Close the chat sockets before the memos they write to go away.
  FChatIO.reset();
}

void TChatForm::FormCreate(const TChatLink& Link) {
  // The data module may outlive this window; text arriving afterwards is
  // dropped instead of reaching a destroyed memo.
  QPointer<TChatForm> Self(this);
  FChatIO = std::make_unique<TChatIO>(
      [Self](const QString& Text) {
        if (Self)
          Self->AppendReceived(Text);
      },
      Link);
}

void TChatForm::AppendReceived(const QString& Text) {
  QString Normalised = Text;
  Normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  // Only the newest lines of a long text can stay in the memo, so only
  // those are laid out.
  QStringList Lines;
  qsizetype Kept = 0;
  const QList<QStringView> Received = QStringView(Normalised).split(u'\n');
  for (auto Line = Received.rbegin(); Line != Received.rend(); ++Line) {
    QStringView Rest = *Line;
    do {
      const qsizetype Piece = Rest.isEmpty() ? 0 : (Rest.size() - 1) % MaxReceivedLine + 1;
      Lines.prepend(Rest.right(Piece).toString());
      Rest.chop(Piece);
      Kept += Piece + 1;
    } while (!Rest.isEmpty() && Kept < MaxReceivedCharacters && Lines.size() < MaxReceivedLines);
    if (Kept >= MaxReceivedCharacters || Lines.size() >= MaxReceivedLines)
      break;
  }
  ReceiveMemo->appendPlainText(Lines.join(u'\n'));
  DropOldestReceived();
}

void TChatForm::DropOldestReceived() {
  QTextDocument* Document = ReceiveMemo->document();
  const qsizetype Excess = Document->characterCount() - MaxReceivedCharacters;
  if (Excess <= 0)
    return;
  // Whole lines go, the oldest first.
  const QTextBlock Last = Document->findBlock(int(Excess));
  QTextCursor Cursor(Document);
  Cursor.setPosition(Last.next().isValid() ? Last.next().position() : Last.position());
  Cursor.setPosition(0, QTextCursor::KeepAnchor);
  Cursor.removeSelectedText();
}

QString TChatForm::LastSendLine() const {
  const QTextDocument* Document = SendMemo->document();
  QTextBlock Block = Document->lastBlock();
  // The empty line that the last Enter began is not a line yet.
  if (Block.text().isEmpty() && Block.previous().isValid())
    Block = Block.previous();
  const QString Text = Block.text();
  if (Text.isEmpty())
    return Text;

  if (auto* Layout = qobject_cast<QPlainTextDocumentLayout*>(Document->documentLayout()))
    Layout->ensureBlockLayout(Block);
  const QTextLayout* Lines = Block.layout();
  if (!Lines || Lines->lineCount() == 0)
    return Text;
  const QTextLine Last = Lines->lineAt(Lines->lineCount() - 1);
  return Text.mid(Last.textStart(), Last.textLength());
}

bool TChatForm::SendMemoKeyDown(int Key) {
  if (Key != Qt::Key_Return && Key != Qt::Key_Enter)
    return false;
  FChatIO->Send(LastSendLine());
  // Every Enter, shifted or not, begins a new paragraph; the memo's own
  // Shift+Enter would only insert a soft break inside the line.
  SendMemo->insertPlainText(QStringLiteral("\n"));
  SendMemo->ensureCursorVisible();
  return true;
}

bool TChatForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == SendMemo && Event->type() == QEvent::KeyPress) {
    bool Taken = false;
    const int Key = static_cast<QKeyEvent*>(Event)->key();
    Guarded([&] { Taken = SendMemoKeyDown(Key); });
    return Taken;
  }
  return QWidget::eventFilter(Watched, Event);
}

bool TChatForm::event(QEvent* Event) {
  if (Event->type() == QEvent::WindowActivate)
    Guarded([this] { FormResize(); });
  return QWidget::event(Event);
}

void TChatForm::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  Guarded([this] { FormResize(); });
}

void TChatForm::closeEvent(QCloseEvent* Event) {
  // No close from the title bar (Alt+F4 included); the main window
  // releases this window itself.
  if (Event->spontaneous())
    Event->ignore();
  else
    QWidget::closeEvent(Event);
}

void TChatForm::FormResize() {
  const int Width = width();
  const int Label1Height = Label1->sizeHint().height();
  const int Label2Height = Label2->sizeHint().height();
  Label1->setGeometry(0, 0, Width, Label1Height);
  const int MemoHeight = std::max(0, (height() - Label1Height - Label2Height) / 2);
  SendMemo->setGeometry(0, Label1Height, Width, MemoHeight);
  Label2->setGeometry(0, SendMemo->y() + SendMemo->height(), Width, Label2Height);
  ReceiveMemo->setGeometry(0, Label2->y() + Label2->height(), SendMemo->width(),
                           SendMemo->height());
}
