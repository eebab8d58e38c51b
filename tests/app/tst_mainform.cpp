// SPDX-License-Identifier: GPL-3.0-or-later
// The game window against the computer: the first run and the settings
// stored at exit, one whole game with every read-out
// and the high scores, the menu commands and keys, the explosion animation
// and sound, every text translated, the window to assistive technology, and
// the README's screenshot. (The ends of a game and closing while busy are
// the controller's test.)

#include "MainFormHarness.h"
#include "Program.h"
#include "ThinkRelay.h"
#include "Thinking.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAudioDevice>
#include <QImage>
#include <QListWidget>
#include <QMediaDevices>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScopeGuard>
#include <QSet>
#include <QTimer>
#include <QTranslator>

namespace {

struct TRecordingSound : TExplosionSound {
  TRecordingSound(int& ACount, const bool& AWorks) : Count(ACount), Works(AWorks) {}
  bool Play() override {
    ++Count;
    return Works;
  }
  int& Count;
  const bool& Works;
};

const QString LocalTurn = u"grid restart menu | "_s;
// Once a move was made, it can be taken back.
const QString LaterTurn = u"grid restart undo menu | "_s;
const QString Thinking = u"menu busy | Just a second...\rThinking @10"_s;
const QString BetweenGames = u"start dimensions restart menu | Fizzgrid @12b | 0/0"_s;
const QString GameOver = u"Information: \nGAME OVER\r%1|Confirm: Do you want to play again"_s;

// A pseudo-locale: every text asked for comes back in brackets, so a text
// on screen without them never went through the translation.
class TMarkingTranslator : public QTranslator {
public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char*, const char* Source, const char*, int) const override {
    return Source && *Source ? u'[' + QString::fromUtf8(Source) + u']' : QString();
  }
};

// Whether Text went through the marking translator: bracketed whole, or
// nothing but player names, digits and punctuation.
bool Marked(QString Text, const QStringList& Names) {
  if (Text.startsWith(u'[') && Text.endsWith(u']'))
    return true;
  for (const QString& Name : Names)
    Text.remove(Name);
  return std::none_of(Text.cbegin(), Text.cend(), [](QChar C) { return C.isLetter(); });
}

// The texts a user sees on Root and everything in it, each with where it
// was found.
QList<std::pair<QString, QString>> VisibleTexts(const QWidget& Root) {
  QList<std::pair<QString, QString>> Texts;
  QList<const QWidget*> Widgets{&Root};
  for (const QWidget* Child : Root.findChildren<QWidget*>())
    Widgets << Child;
  for (const QWidget* Widget : Widgets) {
    const QString Where =
        QString::fromLatin1(Widget->metaObject()->className()) + u' ' + Widget->objectName();
    if (Widget->isWindow())
      Texts.append({Widget->windowTitle(), Where + u" title"_s});
    Texts.append({Widget->toolTip(), Where + u" tip"_s});
    Texts.append({Widget->accessibleName(), Where + u" accessible name"_s});
    if (const auto* Label = qobject_cast<const QLabel*>(Widget))
      Texts.append({Label->text(), Where});
    if (const auto* Button = qobject_cast<const QAbstractButton*>(Widget))
      Texts.append({Button->text(), Where});
    if (const auto* Box = qobject_cast<const QGroupBox*>(Widget))
      Texts.append({Box->title(), Where});
    if (const auto* Menu = qobject_cast<const QMenu*>(Widget))
      Texts.append({Menu->title(), Where});
    if (const auto* List = qobject_cast<const QListWidget*>(Widget))
      for (int Row = 0; Row < List->count(); ++Row)
        Texts.append({List->item(Row)->text(), Where + u" item"_s});
    for (const QAction* Action : Widget->actions())
      Texts.append({Action->text(), Where + u" item "_s + Action->objectName()}),
          Texts.append({Action->toolTip(), Where + u" item tip "_s + Action->objectName()});
  }
  return Texts;
}

} // namespace

class TestMainForm : public QObject {
  Q_OBJECT
  std::unique_ptr<TAppRig> R;
  int Sounds = 0;
  bool SoundWorks = true;

  // A game against the computer for "Tester", the explosion's sound
  // replaced by a recorder and its frames shown at once.
  std::unique_ptr<TMainForm> StartLocalGame(int Rows = 5, int Cols = 5) {
    R->Dialogs.On(u"EnterNameDialog"_s, TDialogScript::Name(u"Tester"_s));
    R->Dialogs.On(u"GameTypeSelection"_s, TDialogScript::LocalGame());
    R->Dialogs.On(u"SizeDlg"_s, TDialogScript::Dimensions(Rows, Cols));
    auto Form = std::make_unique<TMainForm>(TPorts{}, R->ScoreFile());
    Form->Controller().Replay().SetFrameTime(0);
    Form->SetExplosionSound(std::make_unique<TRecordingSound>(Sounds, SoundWorks));
    if (!StartUp(*Form) || !QTest::qWaitForWindowExposed(Form.get()))
      qWarning("the window did not start");
    return Form;
  }

private Q_SLOTS:
  void init() {
    R = std::make_unique<TAppRig>();
    R->Messages.SetHandler([](const QString& Text, TMsgType, TMsgButtons) {
      return Text == u"Do you want to play again"_s ? TMsgButton::Yes : TMsgButton::OK;
    });
    Sounds = 0;
    SoundWorks = true;
  }
  void cleanup() { R.reset(); }

  // Nothing stored: an empty name field, cancelled, gives "You"; the game
  // type dialog refused once, then accepted; the board is 5 x 5.
  void firstRunDefaults() {
    QString NameShown = u"not shown"_s;
    R->Dialogs.On(u"EnterNameDialog"_s, TDialogScript::ReadName(NameShown));
    R->Dialogs.On(u"GameTypeSelection"_s, [](QDialog&) {});
    R->Dialogs.On(u"GameTypeSelection"_s, TDialogScript::LocalGame());
    TMainForm Form({}, R->ScoreFile());
    QVERIFY(StartUp(Form));
    QCOMPARE(NameShown, QString());
    QCOMPARE(R->Dialogs.Shown,
             Words("EnterNameDialog GameTypeSelection GameTypeSelection SizeDlg"));
    QCOMPARE(R->Log(), u"Error: You must select a connection type"_s);
    QCOMPARE(Form.Controller().Settings()->PlayerNames, (std::array{u"You"_s, u"Computer"_s}));
    QCOMPARE(Text(Form, "NamePlayer1") + Text(Form, "NamePlayer2"), u"You : Computer : "_s);
    QCOMPARE(QSize(Bord(Form)->Cols, Bord(Form)->Rows), QSize(5, 5));
    // The user moves first, in the window shown at once.
    QVERIFY(Form.isVisible());
    QCOMPARE(Screen(Form), u"grid restart menu | Fizzgrid @12b | 0/0"_s);
    QCOMPARE(CursorOf(*Grid(Form)), TCursorKind::HandPoint);
    QVERIFY(Item(Form, "Explosions1")->isChecked() && Form.SoundOn() && !Bord(Form)->Finished);
    QVERIFY(dynamic_cast<TComputerOpponent*>(Form.Controller().OtherPlayer()) &&
            !Part<QWidget>(Form, "InformationDialog")->isVisible());
  }

  // The close box closes at once; the next start offers what was stored.
  void settingsStoredAtExit() {
    R->Dialogs.On(u"EnterNameDialog"_s, TDialogScript::Name(u"Alice"_s));
    R->Dialogs.On(u"GameTypeSelection"_s, TDialogScript::LocalGame());
    R->Dialogs.On(u"SizeDlg"_s, TDialogScript::Dimensions(6, 7));
    {
      TMainForm Form({}, R->ScoreFile());
      QVERIFY(StartUp(Form) && QTest::qWaitForWindowExposed(&Form));
      Form.close();
      QVERIFY(Form.Controller().Phase() == TPhase::Closed && !Form.isVisible());
      QCOMPARE(R->Log(), QString());
    }
    const TSettings Stored = LoadSettings();
    QCOMPARE(std::tuple(int(Stored.NumRows), int(Stored.NumCols), Stored.PlayerNames[0],
                        int(Stored.ConnectionLastGame)),
             std::tuple(6, 7, u"Alice"_s, 0));
    QString NameShown;
    R->Dialogs.On(u"EnterNameDialog"_s, TDialogScript::ReadName(NameShown));
    R->Dialogs.On(u"GameTypeSelection"_s, TDialogScript::LocalGame());
    TMainForm Again({}, R->ScoreFile());
    QVERIFY(StartUp(Again));
    QCOMPARE(NameShown, u"Alice"_s);
    QCOMPARE(QSize(Bord(Again)->Cols, Bord(Again)->Rows), QSize(7, 6));
  }

  // Against the computer Ctrl+Z takes back the last move and the reply; the
  // animation speed and the check mark of "Explosions" are one setting;
  // Escape ends a cascade on show.
  void undoSpeedAndEscape() {
    auto Form = StartLocalGame();
    QAction* Undo = Item(*Form, "Undo1");
    QVERIFY(!Undo->isEnabled());
    ClickCell(*Form, 2, 2);
    QVERIFY(Undo->isEnabled());
    Press(*Form, Form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Screen(*Form), LocalTurn + u"Fizzgrid @12b | 0/0"_s);
    QVERIFY(!Undo->isEnabled());

    QAction* Explosions = Item(*Form, "Explosions1");
    Trigger(*Form, "Fast1");
    QVERIFY(Explosions->isChecked() && Item(*Form, "Fast1")->isChecked());
    Press(*Form, Form.get(), Qt::Key_E, Qt::ControlModifier);
    QVERIFY(!Explosions->isChecked() && Item(*Form, "Off1")->isChecked());
    Press(*Form, Form.get(), Qt::Key_E, Qt::ControlModifier);
    QVERIFY(Explosions->isChecked() && Item(*Form, "Fast1")->isChecked());

    Form->Controller().Replay().SetFrameTime(TCascadeReplay::FrameTime);
    Put(*Bord(*Form), 0, 0, LocalPlayer, 1);
    Put(*Bord(*Form), 0, 1, LocalPlayer, 2);
    ClickCell(*Form, 0, 0, false);
    QTest::qWait(100);
    QCOMPARE(Form->Controller().Phase(), TPhase::OwnReplay);
    Press(*Form, Form.get(), Qt::Key_Escape);
    QVERIFY(Form->Controller().Phase() != TPhase::OwnReplay);
    QCOMPARE(Grid(*Form)->OverlayFrame(0, 0), -1);
    QVERIFY(Settle(*Form));
  }

  // New dimensions between games, through the dialog or stored outside its
  // range; the dialog cancelled keeps them and still empties the board.
  void dimensionsChangedAndCancelled_data() {
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Cols");
    QTest::addColumn<QSize>("GridSize");
    QTest::addColumn<int>("ClientHeight");
    QTest::newRow("dialog 4 x 8") << 4 << 8 << QSize(8, 4) << 132;
    QTest::newRow("2 rows: minimum height") << 2 << 5 << QSize(5, 2) << 105;
    QTest::newRow("above 8: no cell-less rows") << 12 << 9 << QSize(8, 8) << 260;
  }
  void dimensionsChangedAndCancelled() {
    QFETCH(int, Rows);
    QFETCH(int, Cols);
    QFETCH(QSize, GridSize);
    QFETCH(int, ClientHeight);
    R->Messages.SetHandler([](const QString&, TMsgType, TMsgButtons Buttons) {
      return Buttons & TMsgButton::Yes ? TMsgButton::Yes : TMsgButton::OK;
    });
    auto Form = StartLocalGame(4, 4);
    // The computer owns no cell to play: the game is over at once.
    for (int Cell = 0; Cell < 16; ++Cell)
      Put(*Bord(*Form), Cell / 4, Cell % 4, LocalPlayer, 1);
    ClickCell(*Form, 0, 1);
    R->Messages.Clear();
    if (Rows >= 4 && Rows <= 8) {
      R->Dialogs.On(u"SizeDlg"_s, TDialogScript::Dimensions(Rows, Cols));
      Trigger(*Form, "Dimensions1");
      const TSettings& Settings = *Form->Controller().Settings();
      QCOMPARE(std::pair(int(Settings.NumRows), int(Settings.NumCols)), std::pair(Rows, Cols));
    } else {
      Form->Controller().ResizeBoard(uint8_t(Rows), uint8_t(Cols));
    }
    QCOMPARE(QSize(Bord(*Form)->Cols, Bord(*Form)->Rows), GridSize);
    QCOMPARE(QSize(Grid(*Form)->ColCount(), Grid(*Form)->RowCount()), GridSize);
    QCOMPARE(Form->ClientHeight(), ClientHeight);
    QCOMPARE(Masses(Bord(*Form)), u"0/0"_s);
    QCOMPARE(R->Log(), QString());
    // Cancel keeps the dimensions and still gives a new, empty board.
    Trigger(*Form, "StartGameF21");
    // The click that starts the next game is its first placement.
    ClickCell(*Form, GridSize.height() - 1, GridSize.width() - 1, false);
    QCOMPARE(Bord(*Form)->CountMasses()[0], 1);
    QVERIFY(Settle(*Form));
    Trigger(*Form, "Restart1");
    for (int Cell = 0; Cell < GridSize.width() * GridSize.height(); ++Cell)
      Put(*Bord(*Form), Cell / GridSize.width(), Cell % GridSize.width(), LocalPlayer, 1);
    ClickCell(*Form, 0, 1);
    Trigger(*Form, "Dimensions1");
    QCOMPARE(QSize(Grid(*Form)->ColCount(), Grid(*Form)->RowCount()), GridSize);
    QCOMPARE(Masses(Bord(*Form)), u"0/0"_s);
  }

  void noSoundDevice() {
    SoundWorks = false;
    auto Form = StartLocalGame();
    Put(*Bord(*Form), 0, 0, LocalPlayer, 1);
    Put(*Bord(*Form), 4, 4, LocalPlayer, 1);
    ClickCell(*Form, 0, 0);
    QCOMPARE(Sounds, 1);
    QVERIFY(!Form->SoundOn());
    QCOMPARE(R->Log(), QString());
    // Never tried again; the animation goes on.
    ClickCell(*Form, 4, 4);
    QCOMPARE(Sounds, 1);
    if (!QMediaDevices::audioOutputs().isEmpty())
      QSKIP("this machine has an audio output");
    QVERIFY(!TResourceSound().Play());
  }

  // In a pseudo-locale every text of the window, its menus, its dialogs and
  // its message boxes is the translated one, and no English is left over.
  void everyTextTranslated() {
    TMarkingTranslator Marker;
    QCoreApplication::installTranslator(&Marker);
    R->Messages.SetHandler([](const QString&, TMsgType, TMsgButtons Buttons) {
      return Buttons.testFlag(TMsgButton::Yes) ? TMsgButton::Yes : TMsgButton::OK;
    });
    auto Form = StartLocalGame(4, 4);
    const QStringList Names{u"Tester"_s, u"Computer"_s};
    // How to play, a refused move, and a game's end with its boxes.
    Press(*Form, Form.get(), Qt::Key_F1);
    Put(*Bord(*Form), 0, 1, Opponent, 1);
    ClickCell(*Form, 0, 1);
    for (int Cell = 0; Cell < 16; ++Cell)
      Put(*Bord(*Form), Cell / 4, Cell % 4, LocalPlayer, 1);
    ClickCell(*Form, 1, 1);
    QCOMPARE(R->Messages.Count(), 3);
    QList<std::pair<QString, QString>> Texts = VisibleTexts(*Form);
    for (const TMsgRecord& Box : R->Messages.Records())
      Texts.append({CaptionOf(Box.Type), u"box caption"_s}), Texts.append({Box.Text, u"box"_s});
    // A box as the program shows it, with its buttons, when nothing scripts it.
    const TMessageHandler Script = SetMessageHandler({});
    QTimer::singleShot(0, this, [&] {
      if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        Texts += VisibleTexts(*Box);
        Box->buttons().front()->click();
      }
    });
    QCOMPARE(MessageDlg(u"Probe"_s, TMsgType::Confirmation, TMsgButton::Yes | TMsgButton::No),
             TMsgButton::Yes);
    SetMessageHandler(Script);
    QVERIFY(Texts.size() > 100);
    QStringList Unmarked;
    for (const auto& [Text, Where] : Texts)
      if (Text != u"Probe"_s && !Marked(Text, Names))
        Unmarked << Where + u": "_s + Text;
    QCoreApplication::removeTranslator(&Marker);
    QVERIFY2(Unmarked.isEmpty(), qPrintable(Unmarked.join(u'\n')));
  }

  // No two items of one menu, nor two menus, share their Alt letter: in
  // English and in German.
  void menuLettersDistinct() {
    for (const bool German : {false, true}) {
      QTranslator Texts;
      if (German) {
        QVERIFY(Texts.load(u":/i18n/fizzgrid_de.qm"_s));
        QCoreApplication::installTranslator(&Texts);
      }
      const auto Guard = qScopeGuard([&] { QCoreApplication::removeTranslator(&Texts); });
      TMainForm Form(TPorts{}, R->ScoreFile());
      QList<QWidget*> Menus{Form.menuBar()};
      for (QMenu* Menu : Form.findChildren<QMenu*>())
        Menus << Menu;
      for (const QWidget* Menu : Menus) {
        QSet<QChar> Letters;
        for (const QAction* Action : Menu->actions()) {
          const QString Text = Action->text();
          const qsizetype Mark = Text.indexOf(u'&');
          if (Mark < 0 || Mark + 1 >= Text.size())
            continue;
          const QChar Letter = Text.at(Mark + 1).toLower();
          QVERIFY2(!Letters.contains(Letter), qPrintable(Text));
          Letters.insert(Letter);
        }
      }
    }
  }

  // F1 opens how to play beside the game, once, with its two pictures made
  // of the cell pictures. Every focusable part of the window and of its
  // dialogs has a name, every dialog its caption; then, how to play still
  // open, the one whole game through the window, by keyboard, the board
  // read only through its accessible table, with the frame as the focused
  // cell and the score's name following each placement. The same game
  // played silently on a copy predicts every reply and the read-outs; at
  // its end the boxes, the high scores and the next game's start.
  void accessibleByKeyboardAlone() {
    auto Form = StartLocalGame(4, 4);
    Press(*Form, Form.get(), Qt::Key_F1);
    Press(*Form, Form.get(), Qt::Key_F1);
    QCOMPARE(Form->findChildren<QDialog*>(u"HowToPlay"_s).size(), 1);
    auto* Help = Form->findChild<QDialog*>(u"HowToPlay"_s);
    QVERIFY(Help->isVisible() && !Help->isModal());
    for (const char* Name : {"FillingPicture", "ExplosionPicture"})
      QVERIFY(Part<QLabel>(*Help, Name)->pixmap().height() >= 32);
    QList<QWidget*> Windows{Form.get()};
    for (QDialog* Dialog : Form->findChildren<QDialog*>())
      Windows << Dialog;
    QStringList Nameless;
    std::function<void(QAccessibleInterface*, const QString&)> Walk =
        [&](QAccessibleInterface* Node, const QString& Where) {
          const QString Name = Node->text(QAccessible::Name);
          if (Name.trimmed().isEmpty() && Node->state().focusable)
            Nameless << Where + u' ' + QString::number(Node->role(), 16);
          for (int Index = 0; Index < Node->childCount(); ++Index)
            if (QAccessibleInterface* Child = Node->child(Index))
              Walk(Child, Where + u'/' + (Child->object() ? Child->object()->objectName() : Name));
        };
    for (QWidget* Window : Windows) {
      QAccessibleInterface* Top = QAccessible::queryAccessibleInterface(Window);
      QVERIFY(Top);
      QVERIFY2(!Top->text(QAccessible::Name).isEmpty(), qPrintable(Window->objectName()));
      Walk(Top, Window->objectName());
    }
    QVERIFY2(Nameless.isEmpty(), qPrintable(Nameless.join(u'\n')));

    QAccessibleInterface* Board = QAccessible::queryAccessibleInterface(Grid(*Form));
    QAccessibleTableInterface* Table = Board->tableInterface();
    QVERIFY(Table);
    QCOMPARE(std::pair(Table->rowCount(), Table->columnCount()), std::pair(4, 4));
    QCOMPARE(Table->cellAt(1, 2)->text(QAccessible::Name), u"Row 2, column 3: empty, 0 of 4"_s);
    QCOMPARE(Table->cellAt(3, 3)->text(QAccessible::Name), u"Row 4, column 4: empty, 0 of 2"_s);
    for (int Tab = 0; Tab < 10 && !Grid(*Form)->hasFocus(); ++Tab)
      QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : Form.get(),
                      Qt::Key_Tab);
    QVERIFY(Grid(*Form)->hasFocus());
    Press(*Form, Grid(*Form), Qt::Key_Right);
    const auto Focused = [&] {
      QAccessibleInterface* Cell = Board->focusChild();
      return Cell ? std::pair(Cell->tableCellInterface()->rowIndex(),
                              Cell->tableCellInterface()->columnIndex())
                  : std::pair(-1, -1);
    };
    QCOMPARE(Focused(), std::pair(0, 0));
    QVERIFY(Table->cellAt(0, 0)->state().focused && !Table->cellAt(0, 1)->state().focused);
    QAccessibleInterface* Score =
        QAccessible::queryAccessibleInterface(Part<QWidget>(*Form, "Score"));
    const auto Expected = TBord::CreateCopy(*Bord(*Form));
    // What the window showed when the computer began to think.
    QStringList Seen;
    connect(&Form->Controller().ThinkRelay(), &TThinkRelay::Shown, this,
            [&] { Seen << Screen(*Form).section(u" | "_s, 0, 1); });
    std::array<int, 3> Final{};
    int Placements = 0;
    while (!R->Log().contains(u"GAME OVER"_s)) {
      QVERIFY2(Placements < 100, "the game does not end");
      // The fullest cell of ours, or else the first empty one.
      std::pair<int, int> Target(-1, -1);
      int Fullest = -1;
      std::array<int, 2> Totals{};
      for (int Row = 0; Row < 4; ++Row)
        for (int Col = 0; Col < 4; ++Col) {
          const QString Says = Table->cellAt(Row, Col)->text(QAccessible::Name);
          const QString Owner = Says.section(u": "_s, 1).section(u", "_s, 0, 0);
          const int Mass = Says.section(u", "_s, 2).section(u' ', 0, 0).toInt();
          const int Rank = Owner == u"yours"_s ? Mass + 1 : Owner == u"empty"_s ? 0 : -1;
          Totals[Owner == u"yours"_s ? 0 : 1] += Mass;
          if (Rank > Fullest)
            Fullest = Rank, Target = {Row, Col};
        }
      QVERIFY(Fullest >= 0);
      // The score read out agrees with the board.
      QCOMPARE(Score->text(QAccessible::Name),
               u"Score: you %1, the opponent %2"_s.arg(Totals[0]).arg(Totals[1]));
      while (Focused() != Target) {
        const auto [Row, Col] = Focused();
        Press(*Form, Grid(*Form),
              Row < Target.first    ? Qt::Key_Down
              : Row > Target.first  ? Qt::Key_Up
              : Col < Target.second ? Qt::Key_Right
                                    : Qt::Key_Left);
      }
      const std::optional<TMove> Reply =
          PlayTurn(*Expected, TMove(uint8_t(Target.first), uint8_t(Target.second)));
      Final = Expected->CountMasses();
      Seen.clear();
      Press(*Form, Grid(*Form), Qt::Key_Space);
      QVERIFY(Settle(*Form));
      ++Placements;
      QCOMPARE(Seen, Reply ? QStringList{Thinking} : QStringList());
      if (R->Log().isEmpty())
        QCOMPARE(Screen(*Form),
                 LaterTurn + u"Moved :\r     [%1,%2] @12b | %3/%4"_s.arg(Reply->Row + 1)
                                 .arg(Reply->Col + 1)
                                 .arg(Final[0])
                                 .arg(Final[1]));
    }
    QVERIFY(Placements >= 3 && Sounds > 0);
    QCOMPARE(R->Log(), GameOver.arg(Final[0] > Final[1]   ? u"Tester wins"_s
                                    : Final[1] > Final[0] ? u"Computer wins"_s
                                                          : u"We have a draw"_s));
    QCOMPARE(R->Messages.Records()[1].Buttons, TMsgButton::Yes | TMsgButton::No);
    const int Won = Final[0] >= Final[1], Lost = Final[1] >= Final[0];
    QCOMPARE(R->Record(u"Tester"_s), std::pair(Won, 1 - Won));
    QCOMPARE(R->Record(u"Computer"_s), std::pair(Lost, 1 - Lost));
    QCOMPARE(Screen(*Form), BetweenGames);
    QVERIFY(Bord(*Form)->Finished && Masses(Bord(*Form)) == u"0/0"_s);
    // Between games the panel says how the next game starts, below the
    // whole read-out; "Start Game" starts it on the empty board.
    QLabel* Next = Part<QLabel>(*Form, "NextGameLabel");
    QVERIFY(Next->isVisible());
    QCOMPARE(Next->text(), u"Click the board or press F2 for a new game"_s);
    QVERIFY(Part<QLabel>(*Form, "InformationLabel")->geometry().bottom() < Next->y());
    Trigger(*Form, "StartGameF21");
    QVERIFY(!Bord(*Form)->Finished && !Next->isVisible());
    QVERIFY(Screen(*Form).startsWith(LocalTurn));
    ClickCell(*Form, 0, 0);
    QCOMPARE(Masses(Bord(*Form)), u"1/1"_s);
  }

  // A few moves, then the window as a picture; with FIZZGRID_SCREENSHOT set
  // it is written there in the language of LANG (how docs/screenshot.png
  // and docs/screenshot-de.png are made).
  void screenshot() {
    const QString Target = qEnvironmentVariable("FIZZGRID_SCREENSHOT");
    if (!Target.isEmpty())
      InstallTranslations(*qApp, QLocale::system());
    const auto English = qScopeGuard([] {
      for (QTranslator* Translator : qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(Translator);
        delete Translator;
      }
    });
    auto Form = StartLocalGame();
    const int Cells[][2] = {{2, 2}, {0, 0}, {0, 0}, {2, 2}, {4, 0}, {2, 2}};
    for (const auto& [Row, Col] : Cells)
      if (Bord(*Form)->GetCell(uint8_t(Row), uint8_t(Col))->Owner != Opponent)
        ClickCell(*Form, Row, Col);
    // H asks for a hint.
    QVERIFY(Item(*Form, "Hint1")->isEnabled());
    Press(*Form, Form.get(), Qt::Key_H);
    QTRY_VERIFY(Form->Controller().HintCell().has_value());
    const TMove Hint = *Form->Controller().HintCell();
    // By a tile's corner the picture shows the owner's colour; the last
    // moves have their outlines, and the hint its yellow frame.
    const QImage Shot = Grid(*Form)->grab().toImage();
    const auto Cell = [&](TMove Move) { return Grid(*Form)->CellRect(Move.Col, Move.Row); };
    for (uint8_t Row = 0; Row < 5; ++Row)
      for (uint8_t Col = 0; Col < 5; ++Col)
        if (const uint8_t Owner = Bord(*Form)->GetCell(Row, Col)->Owner; Owner != NoOwner)
          QCOMPARE(Shot.pixel(Cell(TMove(Row, Col)).topLeft() + QPoint(3, 3)),
                   Owner == LocalPlayer ? qRgb(0, 255, 255) : qRgb(255, 0, 0));
    QCOMPARE(Shot.pixel(Cell(*Form->Controller().LastMove(LocalPlayer)).topLeft()),
             qRgb(0, 255, 255));
    QCOMPARE(Shot.pixel(Cell(*Form->Controller().LastMove(Opponent)).topRight()), qRgb(255, 0, 0));
    QCOMPARE(Shot.pixel(Cell(Hint).topLeft() + QPoint(5, 16)), qRgb(255, 220, 0));
    if (!Target.isEmpty())
      QVERIFY(Form->grab().toImage().save(Target, "PNG"));
  }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
