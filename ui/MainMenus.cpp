// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "Facilities.h"
#include "HelpAbout.h"
#include "HighScores.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <functional>

// One row of the menus: an item (Name, Caption, Key, what it runs, the
// member that keeps it), a submenu of choices (Choices), or a separator
// (no Name).
struct TMenuItem {
  const char* Name = nullptr;
  const char* Caption = nullptr;
  QKeySequence Key{};
  std::function<void(bool Checked)> Run{};
  QAction* TMainForm::*Slot = nullptr;
  // Checkable (checked at first), or disabled at first.
  bool Checkable = false;
  bool Disabled = false;
  const char* ToolTip = nullptr;
  // A submenu whose three items exclude one another, with their names and
  // captions and the members that keep them; choosing item I runs Choose(I).
  const std::array<std::pair<const char*, const char*>, 3>* Choices = nullptr;
  std::array<QAction*, 3> TMainForm::*ChoiceSlots = nullptr;
  std::function<void(std::size_t Index)> Choose{};
};

namespace {

QAction* MakeAction(const char* Name, const QString& Caption, QMenu* Menu) {
  auto* Action = Menu->addAction(Caption);
  Action->setObjectName(QString::fromLatin1(Name));
  return Action;
}

// Object names and captions of a submenu's items.
using TChoiceNames = std::array<std::pair<const char*, const char*>, 3>;

// A submenu of Parent whose items exclude one another, the first checked.
// Choosing item I calls Choose(I).
QMenu* AddChoiceMenu(QMenu* Parent, const char* Name, const QString& Caption,
                     const TChoiceNames& Names, std::array<QAction*, 3>& Items,
                     const std::function<void(std::size_t)>& Choose) {
  QMenu* Menu = Parent->addMenu(Caption);
  Menu->setObjectName(QString::fromLatin1(Name));
  auto* Group = new QActionGroup(Menu);
  for (std::size_t Index = 0; Index < Items.size(); ++Index) {
    QAction* Item = MakeAction(Names[Index].first,
                               QCoreApplication::translate("TMainForm", Names[Index].second), Menu);
    Item->setCheckable(true);
    Group->addAction(Item);
    Items[Index] = Item;
    QObject::connect(Item, &QAction::triggered, Menu, Guard([Choose, Index] { Choose(Index); }));
  }
  Items[0]->setChecked(true);
  return Menu;
}

using TChoices = std::array<std::pair<const char*, const char*>, 3>;
constexpr TChoices Levels = {{{"Standard1", QT_TRANSLATE_NOOP("TMainForm", "&Standard")},
                              {"Strong1", QT_TRANSLATE_NOOP("TMainForm", "S&trong")},
                              {"Expert1", QT_TRANSLATE_NOOP("TMainForm", "&Expert")}}};
constexpr TChoices Speeds = {{{"Normal1", QT_TRANSLATE_NOOP("TMainForm", "&Normal")},
                              {"Fast1", QT_TRANSLATE_NOOP("TMainForm", "&Fast")},
                              {"Off1", QT_TRANSLATE_NOOP("TMainForm", "&Off")}}};

} // namespace

QAction* TMainForm::AddMenuItem(QMenu* Menu, const TMenuItem& Item) {
  if (!Item.Name) {
    QAction* Separator = Menu->addSeparator();
    return Separator;
  }
  if (Item.Choices) {
    AddChoiceMenu(Menu, Item.Name, tr(Item.Caption), *Item.Choices, this->*Item.ChoiceSlots,
                  Item.Choose);
    return nullptr;
  }
  QAction* Action = MakeAction(Item.Name, tr(Item.Caption), Menu);
  Action->setShortcut(Item.Key);
  Action->setCheckable(Item.Checkable);
  Action->setChecked(Item.Checkable);
  Action->setEnabled(!Item.Disabled);
  if (Item.ToolTip) {
    Action->setStatusTip(tr(Item.ToolTip));
    Action->setToolTip(tr(Item.ToolTip));
  }
  if (Item.Slot)
    this->*Item.Slot = Action;
  connect(Action, &QAction::triggered, this,
          Guard([Run = Item.Run](bool Checked) { Run(Checked); }));
  return Action;
}

void TMainForm::CreateMenus() {
  const auto Do = [this](void (TGameController::*Intent)()) {
    return [this, Intent](bool) { (FController.get()->*Intent)(); };
  };
  Game1 = menuBar()->addMenu(tr("&Game"));
  Game1->setObjectName(QStringLiteral("Game1"));
  const TMenuItem GameItems[] = {
      {"Dimensions1",
       QT_TR_NOOP("&Dimensions"),
       {},
       Do(&TGameController::ChangeDimensions),
       &TMainForm::Dimensions1},
      {},
      {"StartGameF21", QT_TR_NOOP("&Start Game"), Qt::Key_F2, Do(&TGameController::StartGame),
       &TMainForm::StartGameF21},
      {"Restart1", QT_TR_NOOP("&Restart"), Qt::CTRL | Qt::Key_F2, Do(&TGameController::Restart),
       &TMainForm::Restart1, false, true},
      // Checkable, so Qt toggles the mark itself when the item is triggered.
      {"Explosions1", QT_TR_NOOP("&Explosions"), Qt::CTRL | Qt::Key_E,
       [this](bool On) { FController->SetExplosions(On); }, &TMainForm::Explosions1, true},
      {"HighScores1",
       QT_TR_NOOP("&High Scores"),
       {},
       [this](bool) {
         if (ScoreTable)
           RunModal(*ScoreTable);
       }},
      {},
      {"Undo1", QT_TR_NOOP("&Undo"), Qt::CTRL | Qt::Key_Z, Do(&TGameController::Undo),
       &TMainForm::Undo1, false, true},
      {"Hint1", QT_TR_NOOP("H&int"), Qt::Key_H, Do(&TGameController::Hint), &TMainForm::Hint1,
       false, true},
      {},
      {"ComputerStrength1",
       QT_TR_NOOP("&Computer strength"),
       {},
       {},
       nullptr,
       false,
       false,
       nullptr,
       &Levels,
       &TMainForm::LevelItems,
       [this](std::size_t Index) { FController->SetComputerLevel(TComputerLevel(Index)); }},
      {"VaryPlay1",
       QT_TR_NOOP("&Vary the computer's play"),
       {},
       [this](bool On) { FController->SetVaryPlay(On); },
       &TMainForm::VaryPlay1,
       true},
      {"AnimationSpeed1",
       QT_TR_NOOP("Animation s&peed"),
       {},
       {},
       nullptr,
       false,
       false,
       nullptr,
       &Speeds,
       &TMainForm::SpeedItems,
       [this](std::size_t Index) { FController->SetAnimationSpeed(TAnimationSpeed(Index)); }},
      {},
      {"eXit1", QT_TR_NOOP("E&xit"), {}, Do(&TGameController::Exit)}};
  for (const TMenuItem& Item : GameItems)
    AddMenuItem(Game1, Item);
  // The separator between Dimensions and Start Game is the menu's own.
  QAction* N1 = Game1->actions().at(1);
  N1->setObjectName(QStringLiteral("N1"));
  N1->setEnabled(false);
  Restart1->setVisible(false);

  HelpMenu = menuBar()->addMenu(tr("&Help"));
  HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
  HelpMenu->setToolTipsVisible(true);
  const TMenuItem HelpItems[] = {
      {"HelpAboutItem",
       QT_TR_NOOP("&About..."),
       {},
       [this](bool) {
         if (AboutBox1)
           RunModal(*AboutBox1);
       },
       nullptr,
       false,
       false,
       QT_TR_NOOP("Show program information")},
      {"HowToPlay1", QT_TR_NOOP("How to &play"), Qt::Key_F1, [this](bool) { ShowHowToPlay(); }}};
  for (const TMenuItem& Item : HelpItems)
    AddMenuItem(HelpMenu, Item);

  // Not in a menu: Escape ends the cascade on show.
  auto* FinishAnimation = new QAction(this);
  FinishAnimation->setObjectName(QStringLiteral("FinishAnimation"));
  FinishAnimation->setShortcut(QKeySequence(Qt::Key_Escape));
  addAction(FinishAnimation);
  connect(FinishAnimation, &QAction::triggered, this,
          Guard([this] { FController->FinishReplay(); }));
}
