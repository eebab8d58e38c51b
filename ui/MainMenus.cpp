#include "Main.h"

#include "Facilities.h"
#include "HelpAbout.h"
#include "HighScores.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <functional>

// One row of the menus: an item (Name, Caption, Key, what it runs, the
// member that keeps it), a submenu of choices (Choices), or a separator
// (no Name).
struct TMenuItem {
  const char* Name = nullptr;
  const char* Caption = nullptr;
  QKeySequence Key;
  std::function<void(bool Checked)> Run;
  QAction* TMainForm::*Slot = nullptr;
  // Checkable (checked at first), or disabled at first.
  bool Checkable = false;
  bool Disabled = false;
  const char* ToolTip = nullptr;
  // A submenu whose three items exclude one another, with their names and
  // captions and the members that keep them; choosing item I runs Choose(I).
  const std::array<std::pair<const char*, const char*>, 3>* Choices = nullptr;
  std::array<QAction*, 3> TMainForm::*ChoiceSlots = nullptr;
  std::function<void(std::size_t Index)> Choose;
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
    QAction* Item = MakeAction(Names[Index].first, QString::fromLatin1(Names[Index].second), Menu);
    Item->setCheckable(true);
    Group->addAction(Item);
    Items[Index] = Item;
    QObject::connect(Item, &QAction::triggered, Menu, Guard([Choose, Index] { Choose(Index); }));
  }
  Items[0]->setChecked(true);
  return Menu;
}

using TChoices = std::array<std::pair<const char*, const char*>, 3>;
constexpr TChoices Levels = {
    {{"Standard1", "&Standard"}, {"Strong1", "S&trong"}, {"Expert1", "&Expert"}}};
constexpr TChoices Speeds = {{{"Normal1", "&Normal"}, {"Fast1", "&Fast"}, {"Off1", "&Off"}}};

} // namespace

QAction* TMainForm::AddMenuItem(QMenu* Menu, const TMenuItem& Item) {
  if (!Item.Name) {
    QAction* Separator = Menu->addSeparator();
    return Separator;
  }
  if (Item.Choices) {
    AddChoiceMenu(Menu, Item.Name, QString::fromUtf8(Item.Caption), *Item.Choices,
                  this->*Item.ChoiceSlots, Item.Choose);
    return nullptr;
  }
  QAction* Action = MakeAction(Item.Name, QString::fromUtf8(Item.Caption), Menu);
  Action->setShortcut(Item.Key);
  Action->setCheckable(Item.Checkable);
  Action->setChecked(Item.Checkable);
  Action->setEnabled(!Item.Disabled);
  if (Item.ToolTip) {
    Action->setStatusTip(QString::fromUtf8(Item.ToolTip));
    Action->setToolTip(QString::fromUtf8(Item.ToolTip));
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
  Game1 = menuBar()->addMenu(QStringLiteral("&Game"));
  Game1->setObjectName(QStringLiteral("Game1"));
  const TMenuItem GameItems[] = {
      {"Dimensions1",
       "&Dimensions",
       {},
       Do(&TGameController::ChangeDimensions),
       &TMainForm::Dimensions1},
      {},
      {"StartGameF21", "&Start Game", Qt::Key_F2, Do(&TGameController::StartGame),
       &TMainForm::StartGameF21},
      {"Restart1", "&Restart", Qt::CTRL | Qt::Key_F2, Do(&TGameController::Restart),
       &TMainForm::Restart1, false, true},
      // Checkable, so Qt toggles the mark itself when the item is triggered.
      {"Explosions1", "&Explosions", Qt::CTRL | Qt::Key_E,
       [this](bool On) { FController->SetExplosions(On); }, &TMainForm::Explosions1, true},
      {"HighScores1",
       "&High Scores",
       {},
       [this](bool) {
         if (ScoreTable)
           RunModal(*ScoreTable);
       }},
      {},
      {"Undo1", "&Undo", Qt::CTRL | Qt::Key_Z, Do(&TGameController::Undo), &TMainForm::Undo1, false,
       true},
      {"Hint1", "&Hint", Qt::Key_H, Do(&TGameController::Hint), &TMainForm::Hint1, false, true},
      {},
      {"ComputerStrength1",
       "&Computer strength",
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
       "&Vary the computer's play",
       {},
       [this](bool On) { FController->SetVaryPlay(On); },
       &TMainForm::VaryPlay1,
       true},
      {"AnimationSpeed1",
       "Animation s&peed",
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
      {"eXit1", "E&xit", {}, Do(&TGameController::Exit)}};
  for (const TMenuItem& Item : GameItems)
    AddMenuItem(Game1, Item);
  // The separator between Dimensions and Start Game is the menu's own.
  QAction* N1 = Game1->actions().at(1);
  N1->setObjectName(QStringLiteral("N1"));
  N1->setEnabled(false);
  Restart1->setVisible(false);

  HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
  HelpMenu->setToolTipsVisible(true);
  const TMenuItem HelpItems[] = {
      {"HelpAboutItem",
       "&About...",
       {},
       [this](bool) {
         if (AboutBox1)
           RunModal(*AboutBox1);
       },
       nullptr,
       false,
       false,
       "Show program information"},
      {"HowToPlay1", "How to &play", Qt::Key_F1, [this](bool) { ShowHowToPlay(); }}};
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
