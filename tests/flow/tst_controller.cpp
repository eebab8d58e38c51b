// SPDX-License-Identifier: GPL-3.0-or-later
// The game controller without a window: a recording view answers its
// dialogs and boxes and notes what it is asked to show. The replay of
// cascades at each speed, undo, hint and the computer's levels, the ends of
// a game, games against a partner that speaks the wire by hand (the
// exchange, moves both ways, bad messages, failed set-ups, the partner
// leaving), the refusals of each phase, closing while busy, the relay of
// the search's progress, and what waits while a modal dialog is open. (One
// whole game is played through the window, in tst_mainform.)

#include "CommandIO.h"
#include "ErrorReport.h"
#include "GameController.h"
#include "Levels.h"
#include "Moves.h"
#include "PositionText.h"
#include "RandomPlay.h"
#include "RuntimeData.h"
#include "ThinkRelay.h"
#include "WirePeer.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct TRecordingView : TGameView {
  // The answers.
  int Rows = 5, Cols = 5;
  std::function<TMsgButton(const QString& Text, TMsgButtons Buttons)> Answer =
      [](const QString&, TMsgButtons Buttons) {
        return Buttons & TMsgButton::Yes ? TMsgButton::Yes : TMsgButton::OK;
      };
  bool Modal = false;
  // A modal dialog opens the moment the controller enters this phase.
  std::optional<TPhase> HoldIn;

  // What was shown.
  QStringList Boxes; // "Caption: text"
  QString Info;
  int Own = 0, Opponent = 0;
  bool HourGlass = false;
  TOffers Offers;
  TAnimationSpeed Speed = TAnimationSpeed::Normal;
  TComputerLevel Level = TComputerLevel::Standard;
  QSize Grid;
  int Frames = 0, Sounds = 0, Closes = 0, StartUps = 0;
  // With Trace on: every cell change (with the picture shown), frame, score
  // and sound, in order.
  bool Trace = false;
  QList<qint64>* SoundTimes = nullptr;
  const QElapsedTimer* Clock = nullptr;
  QStringList Log;
  TGameController* Controller = nullptr;

  QString AskPlayerName(const QString&) override { return u"Tester"_s; }
  // The game types chosen (connection, relation), one per question; against
  // the computer once they are used up.
  QList<std::pair<int, int>> Types;
  bool AskGameType(TSettings& Settings) override {
    std::tie(Settings.ConnectionLastGame, Settings.RelationLastGame) =
        Types.isEmpty() ? std::pair(0, 1) : Types.takeFirst();
    Settings.InternetAddress = u"127.0.0.1"_s;
    return true;
  }
  std::optional<std::pair<uint8_t, uint8_t>> AskDimensions(uint8_t, uint8_t) override {
    return std::pair(uint8_t(Rows), uint8_t(Cols));
  }
  TMsgButton Message(const QString& Text, TMsgType Type, TMsgButtons Buttons) override {
    static const char* const Captions[] = {"Error", "Information", "Confirm"};
    Boxes << QString::fromLatin1(Captions[int(Type)]) + u": "_s + Text;
    return Answer(Text, Buttons);
  }
  bool ModalOpen() const override { return Modal; }
  void ShowWaitBox(const QString&) override {}
  void HideWaitBox() override {}
  void SetInformation(const QString& Text, int Size, bool Bold) override {
    Info = u"%1 @%2%3"_s.arg(Text).arg(Size).arg(Bold ? u"b"_s : QString());
  }
  void DisplayScore(int AOwn, int AOpponent) override {
    std::tie(Own, Opponent) = std::pair(AOwn, AOpponent);
    if (Trace)
      Log << u"score %1/%2"_s.arg(Own).arg(Opponent);
  }
  void ShowPlayerNames(const std::array<QString, 2>&) override {}
  void SetHourGlass(bool On) override { HourGlass = On; }
  void ShowOffers(const TOffers& AOffers) override {
    Offers = AOffers;
    Modal |= HoldIn && Controller && Controller->Phase() == *HoldIn;
  }
  void ShowAnimationSpeed(TAnimationSpeed ASpeed) override { Speed = ASpeed; }
  void ShowComputerLevel(TComputerLevel ALevel, bool) override { Level = ALevel; }
  void ResizeGrid(int R, int C) override { Grid = QSize(C, R); }
  // Only a repaint that shows another picture is a change on screen.
  void InvalidateCell(int Row, int Col) override {
    const int Picture = Controller->ShownPicture(Row, Col);
    if (Trace && Shown[Row][Col] != Picture)
      Log << u"cell %1,%2 %3"_s.arg(Row).arg(Col).arg(Picture);
    Shown[Row][Col] = Picture;
  }
  void InvalidateBoard() override {
    for (int Row = 0; Row < MaxDimension; ++Row)
      for (int Col = 0; Col < MaxDimension; ++Col)
        Shown[Row][Col] = Controller ? Controller->ShownPicture(Row, Col) : -1;
  }
  int Shown[MaxDimension][MaxDimension] = {};
  void ShowExplosionFrame(int Row, int Col, int Frame) override {
    Frames += Frame >= 0;
    if (Trace)
      Log << u"frame %1,%2 %3"_s.arg(Row).arg(Col).arg(Frame);
  }
  void PlayExplosionSound() override {
    ++Sounds;
    if (SoundTimes)
      SoundTimes->append(Clock->elapsed());
    if (Trace)
      Log << u"sound"_s;
  }
  void ShowSkipNote(bool On) override {
    Notes += On;
    Note = On;
  }
  int Notes = 0;
  bool Note = false;
  void OpenChat(const TChatLink&) override {}
  void StartUpDone() override { ++StartUps; }
  void CloseForm() override { ++Closes; }
};

QByteArray Msg(char Code, const char* Body = "") {
  return QByteArray(1, Code) + Body;
}

} // namespace

class TestController : public QObject {
  Q_OBJECT

  TRecordingView View;
  std::unique_ptr<TGameController> Game;
  QStringList Recorded, Errors;

  void Make(TPorts Ports = {}) {
    Game.reset();
    Game = std::make_unique<TGameController>(View, Ports);
    View.Controller = Game.get();
    Game->Replay().SetFrameTime(0);
    Game->SetScoreRecorder([this](const QString& Name, bool Won) {
      Recorded << Name + (Won ? u" won"_s : u" lost"_s);
    });
  }

  // A game against the computer on Rows x Cols, the local player to move.
  void StartLocal(int Rows, int Cols) {
    View.Rows = Rows;
    View.Cols = Cols;
    Game->Start();
    QTRY_COMPARE(Game->Phase(), TPhase::OwnTurn);
  }
  // Waits until the turn or the game is over. Replays run with frames of
  // 0 ms here, one per turn of the event loop, so the loop runs flat out.
  bool Settled() {
    QDeadlineTimer Deadline(60000);
    for (;;) {
      const TPhase Phase = Game->Phase();
      if (Phase == TPhase::OwnTurn || Phase == TPhase::BetweenGames || Phase == TPhase::Closed ||
          Phase == TPhase::Halted || Phase == TPhase::WaitingNextGame)
        return true;
      if (Deadline.hasExpired())
        return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
  }
  TBord& Board() { return const_cast<TBord&>(*Game->Bord()); }
  // A game against Peer on Rows x Cols, the program master when the peer is
  // not, up to the first move.
  void StartNetwork(TWirePeer& Peer, int Rows = 3, int Cols = 4) {
    Make(Peer.Master ? Peer.Ports() : TPorts{0, 0});
    View.Types.prepend({1, Peer.Master ? 2 : 1});
    std::tie(View.Rows, View.Cols) = std::pair(Rows, Cols);
    Game->Start();
    if (!Peer.Master) {
      QTRY_VERIFY(Game->ComData() && Game->ComData()->ServerActive());
      Peer.Call(Game->ComData()->GamePort());
    }
    QTRY_VERIFY(Game->Phase() == TPhase::OwnTurn || Game->Phase() == TPhase::OpponentTurn);
  }
  // Runs the steps the intents queued, each from the event loop.
  void Flush() {
    const uint64_t Posted = Game->Steps().Posted();
    QDeadlineTimer Deadline(60000);
    while (Game->Steps().Ended() < Posted && !Deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  // An intent, and the steps it queued run.
  void Do(void (TGameController::*Intent)()) {
    (Game.get()->*Intent)();
    Flush();
  }
  void Place(int Row, int Col) {
    Game->PlaceAt(Row, Col);
    Flush();
  }

private Q_SLOTS:
  void init() {
    View = TRecordingView();
    Recorded.clear();
    Errors.clear();
    SetErrorReport([this](const QString& Message) { Errors << Message; });
    Make();
  }
  void cleanup() {
    Game.reset();
    SetErrorReport({});
  }

  // A cascade is shown after the fact, in the order of the rules: (0,0)
  // explodes into (0,1), which takes the opponent's two masses and explodes
  // in turn. Each explosion: the score of that moment, the sound, 16 frames
  // over the full cell, the frame removed.
  void replayShowsTheCascadeInOrder() {
    StartLocal(5, 5);
    Put(Board(), 0, 0, LocalPlayer, 1);
    Put(Board(), 0, 1, Opponent, 2);
    Game->Replay().ShowBoard(Board());
    // Explosions 80 ms apart: each starts the sound.
    Game->Replay().SetFrameTime(5);
    View.Trace = true;
    Place(0, 0);
    // The board is final before anything is shown.
    QCOMPARE(Board().GetCell(0, 1)->Mass, uint8_t(0));
    QCOMPARE(Game->Phase(), TPhase::OwnReplay);
    QTRY_VERIFY(Game->Phase() != TPhase::OwnReplay);
    QStringList Expected = {u"cell 0,0 1"_s, u"score 2/2"_s, u"sound"_s};
    for (int Frame = 0; Frame < 16; ++Frame)
      Expected << u"frame 0,0 %1"_s.arg(Frame);
    Expected << u"frame 0,0 -1"_s << u"cell 0,0 18"_s << u"cell 0,1 4"_s << u"score 3/0"_s
             << u"sound"_s;
    for (int Frame = 0; Frame < 16; ++Frame)
      Expected << u"frame 0,1 %1"_s.arg(Frame);
    Expected << u"frame 0,1 -1"_s << u"cell 0,1 19"_s << u"cell 0,0 0"_s << u"cell 0,2 2"_s
             << u"cell 1,1 5"_s << u"cell 1,0 2"_s << u"score 4/0"_s;
    QCOMPARE(View.Log.mid(0, Expected.size()), Expected);
    QVERIFY(Settled());

    // Without the check mark: no frame, no sound, the score still follows,
    // and all is shown at once.
    Do(&TGameController::Restart);
    Game->SetExplosions(false);
    Put(Board(), 0, 0, LocalPlayer, 1);
    Game->Replay().ShowBoard(Board());
    View.Log.clear();
    Place(0, 0);
    QCOMPARE(View.Log.mid(0, 5), QStringList({u"cell 0,0 1"_s, u"score 2/0"_s, u"cell 0,0 18"_s,
                                              u"cell 0,1 2"_s, u"cell 1,0 2"_s}));
    QVERIFY(!View.Log.join(u' ').contains(u"frame"_s));
  }

  // The speed and the end of a cascade on demand: Fast shows every frame in
  // an eighth of the time and jumps to the end after 100 frame times; a
  // click on the board (or Finish) shows the final board at once; Off is
  // the check mark off. The sound starts at most once per 50 ms.
  void speedsAndSkipping() {
    StartLocal(4, 4);
    QElapsedTimer Clock;
    Clock.start();
    QList<qint64> Sounds;
    View.Trace = true;
    const auto Chain = [&] {
      // Every cell one short of full: a long chain from (0,0).
      for (int Cell = 0; Cell < 16; ++Cell) {
        const TCell* Target = Board().GetCell(uint8_t(Cell / 4), uint8_t(Cell % 4));
        Put(Board(), Cell / 4, Cell % 4, LocalPlayer, uint8_t(Target->Capacity - 1));
      }
      Game->Replay().ShowBoard(Board());
      View.Log.clear();
      Place(0, 0);
    };
    const auto ShownIsFinal = [&] {
      for (int Row = 0; Row < 4; ++Row)
        for (int Col = 0; Col < 4; ++Col)
          if (Game->ShownPicture(Row, Col) !=
              Game->Bord()->GetCell(uint8_t(Row), uint8_t(Col))->CellImageIndex())
            return false;
      return true;
    };
    // Fast, with frames of 2 ms at Normal: a cascade stops being shown after
    // 200 ms and its board is final.
    Game->Replay().SetFrameTime(2);
    Game->SetAnimationSpeed(TAnimationSpeed::Fast);
    QCOMPARE(View.Speed, TAnimationSpeed::Fast);
    Chain();
    QVERIFY(!ShownIsFinal());
    QTRY_VERIFY_WITH_TIMEOUT(Game->Phase() != TPhase::OwnReplay, 5000);
    QVERIFY(ShownIsFinal());
    // Every frame of an explosion is shown at that pace too.
    QStringList Frames;
    for (int Frame = 0; Frame < 16; ++Frame)
      Frames << u"frame 0,0 %1"_s.arg(Frame);
    QCOMPARE(View.Log.mid(3, 16), Frames);
    QVERIFY(Settled());

    // A click on the board during a cascade: its end at once. (The chain
    // above took every cell, so that game is over.)
    QCOMPARE(Game->Phase(), TPhase::BetweenGames);
    Do(&TGameController::StartGame);
    Do(&TGameController::Restart);
    Game->Replay().SetFrameTime(TCascadeReplay::FrameTime);
    Game->SetAnimationSpeed(TAnimationSpeed::Normal);
    // The last sound of the cascade before lies at least one interval back.
    QTest::qWait(TCascadeReplay::SoundInterval);
    View.Sounds = 0;
    Chain();
    QTest::qWait(100);
    QCOMPARE(Game->Phase(), TPhase::OwnReplay);
    QVERIFY(!ShownIsFinal());
    Place(3, 3);
    QVERIFY(ShownIsFinal());
    QCOMPARE(View.Log.last(), u"score %1/%2"_s.arg(Game->Bord()->CountMasses()[0]).arg(0));
    QCOMPARE(View.Sounds, 1);
    QVERIFY(Settled());
    QCOMPARE(View.Sounds, 1);

    // Off is the check mark off, and back on it is the speed before.
    Game->SetAnimationSpeed(TAnimationSpeed::Fast);
    Game->SetExplosions(false);
    QCOMPARE(View.Speed, TAnimationSpeed::Off);
    Game->SetExplosions(true);
    QCOMPARE(View.Speed, TAnimationSpeed::Fast);
    QCOMPARE(int(Game->Settings()->AnimationSpeed), int(TAnimationSpeed::Fast));

    // The sound: never twice within 50 ms, however fast the explosions.
    init();
    View.SoundTimes = &Sounds;
    View.Clock = &Clock;
    StartLocal(4, 4);
    // Explosions about 16 ms apart.
    Game->Replay().SetFrameTime(1);
    Chain();
    QVERIFY(Settled());
    QVERIFY(Sounds.size() > 1);
    for (qsizetype Index = 1; Index < Sounds.size(); ++Index)
      QVERIFY(Sounds[Index] - Sounds[Index - 1] >= 49);
  }

  // A skip ends the showing of the whole turn: asked for during the player's
  // cascade, the computer's reply cascade after it is drawn at once with its
  // read-outs; a click during the reply ends that. The board is the one the
  // unskipped turn leaves. A cascade on show for a while gets the note that
  // says so, gone at its end.
  void skipEndsTheWholeTurn() {
    // (0,0) explodes once; every reply is in the computer's corner block,
    // one short of full everywhere, which explodes as a whole.
    const auto Turn = [&](int Skip, QString& Final) {
      init();
      StartLocal(5, 5);
      for (int Row = 0; Row < 5; ++Row)
        for (int Col = 0; Col < 5; ++Col) {
          const TCell* Target = Board().GetCell(uint8_t(Row), uint8_t(Col));
          const bool Theirs = Row >= 3 && Col >= 3;
          Put(Board(), Row, Col, Theirs ? Opponent : LocalPlayer,
              Theirs ? uint8_t(Target->Capacity - 1) : 1);
        }
      Game->Replay().ShowBoard(Board());
      Game->Replay().SetFrameTime(Skip ? TCascadeReplay::FrameTime : 0);
      Place(0, 0);
      if (Skip == 1) {
        QCOMPARE(Game->Phase(), TPhase::OwnReplay);
        Game->FinishReplay();
      } else if (Skip == 2) {
        QTRY_COMPARE_WITH_TIMEOUT(Game->Phase(), TPhase::OpponentReplay, 10000);
        Game->PlaceAt(2, 2);
      }
      Flush();
      const int Frames = View.Frames;
      QVERIFY(Settled());
      // Unskipped, the own explosion and the reply's were shown; skipped,
      // nothing more after the skip.
      if (Skip)
        QCOMPARE(View.Frames, Frames);
      else
        QVERIFY(View.Frames > 2 * TCascadeReplay::ExplosionFrames);
      Final = QString::fromStdString(FormatPosition(*Game->Bord()));
    };
    QString Unskipped, Skipped;
    Turn(0, Unskipped);
    QVERIFY(View.Notes > 0 && !View.Note);
    for (const int Skip : {1, 2}) {
      Turn(Skip, Skipped);
      QCOMPARE(Skipped, Unskipped);
      QVERIFY(Game->Phase() == TPhase::OwnTurn && View.Info.startsWith(u"Moved"_s));
      QVERIFY(Game->LastMove(Opponent).has_value() && !View.Note);
      const std::array<int, 3> Masses = Game->Bord()->CountMasses();
      QCOMPARE(std::pair(View.Own, View.Opponent), std::pair(Masses[0], Masses[1]));
      for (int Row = 0; Row < 5; ++Row)
        for (int Col = 0; Col < 5; ++Col)
          QCOMPARE(Game->ShownPicture(Row, Col),
                   Game->Bord()->GetCell(uint8_t(Row), uint8_t(Col))->CellImageIndex());
    }
  }

  // Undo takes back the player's move and the computer's reply together,
  // as often as there are moves, and gives the exact board, score and
  // read-outs of the turn before.
  void undo() {
    StartLocal(5, 5);
    Game->SetExplosions(false);
    QVERIFY(!View.Offers.Undo);
    struct TSeen {
      QString Board, Info;
      std::pair<int, int> Score;
      std::optional<TMove> Mine, Theirs;
    };
    const auto Now = [&] {
      return TSeen{QString::fromStdString(FormatPosition(*Game->Bord())),
                   View.Info,
                   {View.Own, View.Opponent},
                   Game->LastMove(LocalPlayer),
                   Game->LastMove(Opponent)};
    };
    std::vector<TSeen> Turns = {Now()};
    for (const TMove Mine : {TMove(0, 0), TMove(0, 0), TMove(2, 2), TMove(2, 2)}) {
      if (Game->Bord()->GetCell(Mine.Row, Mine.Col)->Owner == Opponent)
        continue;
      Place(Mine.Row, Mine.Col);
      QVERIFY(Settled());
      QCOMPARE(Game->LastMove(LocalPlayer), std::optional(Mine));
      QVERIFY(Game->LastMove(Opponent).has_value());
      Turns.push_back(Now());
      QVERIFY(View.Offers.Undo);
    }
    QVERIFY(Turns.size() >= 3);
    while (Turns.size() > 1) {
      Turns.pop_back();
      Do(&TGameController::Undo);
      QCOMPARE(Game->Phase(), TPhase::OwnTurn);
      const TSeen Seen = Now();
      QCOMPARE(Seen.Board, Turns.back().Board);
      QCOMPARE(Seen.Info, Turns.back().Info);
      QCOMPARE(Seen.Score, Turns.back().Score);
      QVERIFY(Seen.Mine == Turns.back().Mine && Seen.Theirs == Turns.back().Theirs);
    }
    QVERIFY(!View.Offers.Undo);
    QCOMPARE(View.Info, u"Fizzgrid @12b"_s);
    // Nothing more to take back; and the game goes on as from the start.
    Do(&TGameController::Undo);
    QCOMPARE(Game->Bord()->CountMasses()[0], 0);
    Place(4, 4);
    QVERIFY(Settled());
    QCOMPARE(Game->Bord()->CountMasses()[0], 1);
    // A restart forgets what could be taken back.
    Do(&TGameController::Restart);
    QVERIFY(!View.Offers.Undo && !Game->LastMove(LocalPlayer) && !Game->LastMove(Opponent));
  }

  // The hint marks the cell the Strong level would play for the player,
  // places nothing, and goes with the next move; the computer plays at the
  // level chosen.
  void hintAndLevels() {
    StartLocal(5, 5);
    Game->SetExplosions(false);
    QCOMPARE(View.Level, TComputerLevel::Standard);
    Game->SetComputerLevel(TComputerLevel::Strong);
    QCOMPARE(View.Level, TComputerLevel::Strong);
    QCOMPARE(int(Game->Settings()->ComputerLevel), 1);
    // Unvaried, the reply is the level's one best move; the hint never varies.
    Game->SetVaryPlay(false);
    QVERIFY(!Game->Settings()->VaryPlay);
    for (const TMove Mine : {TMove(1, 1), TMove(1, 1), TMove(3, 2)}) {
      if (Game->Bord()->GetCell(Mine.Row, Mine.Col)->Owner == Opponent)
        continue;
      // The computer's reply is the Strong level's on the board it sees.
      auto Expected = TBord::CreateCopy(*Game->Bord());
      Expected->GetCell(Mine.Row, Mine.Col)->AddMass(LocalPlayer, false);
      const TMove Reply = LevelMove(*Expected, TComputerLevel::Strong);
      Place(Mine.Row, Mine.Col);
      QCOMPARE(Game->HintCell(), std::nullopt);
      QVERIFY(Settled());
      QCOMPARE(Game->LastMove(Opponent), std::optional(Reply));

      const std::string Before = FormatPosition(*Game->Bord());
      QVERIFY(View.Offers.Hint);
      Do(&TGameController::Hint);
      QTRY_VERIFY(Game->HintCell().has_value());
      QCOMPARE(*Game->HintCell(), HintMove(*Game->Bord()));
      QCOMPARE(FormatPosition(*Game->Bord()), Before);
    }
    // A hint whose answer waits behind a click is not shown for the position
    // the click leaves behind. (Were the search still running, the click
    // would cancel it: the check holds either way.)
    Do(&TGameController::Hint);
    QTest::qSleep(300);
    Place(PickMove(*Game->Bord()).Row, PickMove(*Game->Bord()).Col);
    QVERIFY(Settled());
    QCOMPARE(Game->HintCell(), std::nullopt);
    // Refused while the computer thinks; gone with a restart.
    Place(PickMove(*Game->Bord()).Row, PickMove(*Game->Bord()).Col);
    Do(&TGameController::Hint);
    QCOMPARE(Game->HintCell(), std::nullopt);
    QVERIFY(Settled());
    Do(&TGameController::Hint);
    QTRY_VERIFY(Game->HintCell().has_value());
    Do(&TGameController::Restart);
    QCOMPARE(Game->HintCell(), std::nullopt);
  }

  // Every intent outside its phase is refused, and nothing may replace the
  // board while a placement is shown or the computer thinks; a modal dialog
  // holds the computer's move until it closes.
  void refusals() {
    StartLocal(4, 4);
    Do(&TGameController::StartGame);
    Do(&TGameController::ChangeDimensions);
    QCOMPARE(Game->Phase(), TPhase::OwnTurn);
    // An opponent's cell: the message, and the turn stays.
    Put(Board(), 2, 3, Opponent, 1);
    Place(2, 3);
    QCOMPARE(View.Boxes,
             QStringList(u"Error: You cannot click on fields occupied by your opponent"_s));
    Place(-1, 0);
    Place(4, 0);
    QCOMPARE(Game->Phase(), TPhase::OwnTurn);
    QCOMPARE(Game->Bord()->CountMasses()[0], 0);

    // An explosion: the replay takes a while.
    Put(Board(), 0, 0, LocalPlayer, 1);
    Game->Replay().SetFrameTime(20);
    Place(0, 0);
    QCOMPARE(Game->Phase(), TPhase::OwnReplay);
    const TBord* During = Game->Bord();
    Game->Restart();
    Game->StartGame();
    Game->ChangeDimensions();
    Flush();
    QCOMPARE(Game->Phase(), TPhase::OwnReplay);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, Game->ResizeBoard(5, 5));
    // A click ends the replay and places nothing.
    View.HoldIn = TPhase::OpponentTurn;
    Place(3, 3);
    QCOMPARE(Game->Bord()->GetCell(3, 3)->Owner, NoOwner);
    // While the computer thinks (held there by a dialog) the board stays.
    QTRY_COMPARE(Game->Phase(), TPhase::OpponentTurn);
    View.HoldIn.reset();
    QVERIFY_THROWS_EXCEPTION(std::logic_error, Game->ResizeBoard(5, 5));
    QCOMPARE(Game->Bord(), During);
    // The computer's move waits while the dialog is open, and comes after.
    const int Theirs = Game->Bord()->CountMasses()[1];
    QTest::qWait(100);
    QCOMPARE(Game->Bord()->CountMasses()[1], Theirs);
    View.Modal = false;
    Game->Resume();
    QVERIFY(Settled());
    QCOMPARE(Game->Bord(), During);
    QVERIFY(Game->Bord()->CountMasses()[1] > Theirs);
  }

  // The ends of a game against the computer: it has no cell to play (the
  // next game asked for, refused or left unanswered), or an endless cascade
  // stopped with equal totals, a draw and a win for both.
  void gameEnds_data() {
    QTest::addColumn<bool>("Draw");
    QTest::addColumn<TMsgButton>("Again");
    QTest::newRow("no move, Yes") << false << TMsgButton::Yes;
    QTest::newRow("no move, No") << false << TMsgButton::No;
    QTest::newRow("no move, unanswered") << false << TMsgButton::None;
    QTest::newRow("draw") << true << TMsgButton::Yes;
  }
  void gameEnds() {
    QFETCH(bool, Draw);
    QFETCH(TMsgButton, Again);
    View.Answer = [=](const QString&, TMsgButtons Buttons) {
      return Buttons & TMsgButton::No ? Again : TMsgButton::OK;
    };
    StartLocal(4, 4);
    if (Draw) {
      Put(Board(), 0, 0, LocalPlayer, 1);
      Put(Board(), 3, 3, Opponent, 2);
      Board().Finished = true;
    } else {
      for (int Cell = 0; Cell < 16; ++Cell)
        Put(Board(), Cell / 4, Cell % 4, LocalPlayer, 1);
    }
    Place(1, 1);
    QVERIFY(Settled());
    const QString Result = Draw ? u"We have a draw"_s : u"Tester wins"_s;
    QCOMPARE(View.Boxes, QStringList({u"Information: \nGAME OVER\r"_s + Result,
                                      u"Confirm: Do you want to play again"_s}));
    QCOMPARE(Recorded,
             QStringList({u"Tester won"_s, Draw ? u"Computer won"_s : u"Computer lost"_s}));
    QCOMPARE(View.Closes, int(Again == TMsgButton::No));
    QCOMPARE(Game->Phase() == TPhase::Closed, Again == TMsgButton::No);
    if (Again == TMsgButton::No)
      return;
    // The empty board waits for the next start; a click starts it and is
    // its first move.
    QCOMPARE(Game->Phase(), TPhase::BetweenGames);
    QVERIFY(Board().Finished && View.Offers.StartGame && View.Info == u"Fizzgrid @12b"_s);
    QCOMPARE(std::pair(View.Own, View.Opponent), std::pair(0, 0));
    Place(0, 0);
    QVERIFY(Settled());
    QCOMPARE(Board().GetCell(0, 0)->Owner, LocalPlayer);
    QCOMPARE(Board().CountMasses()[1], 1);
  }

  // A game against another computer, the program as master and as slave:
  // the exchange byte for byte, a move each way with its read-out, the
  // no-move marker both ways, the next game's exchange, and the partner
  // leaving during the program's turn or its wait for the next game.
  void networkGame_data() {
    QTest::addColumn<bool>("ProgramMaster");
    QTest::newRow("master") << true;
    QTest::newRow("slave") << false;
  }
  void networkGame() {
    QFETCH(bool, ProgramMaster);
    TWirePeer Peer(!ProgramMaster, "Bob");
    Peer.Dimensions = Msg(4, "3;4");
    StartNetwork(Peer);
    const QList<QByteArray> Exchange = {Msg(3, "Tester"), Msg(4, "3;4")};
    QTRY_COMPARE(Peer.Received, Exchange.mid(0, ProgramMaster ? 2 : 1));
    QCOMPARE(Game->Settings()->PlayerNames[1], u"Bob"_s);
    QCOMPARE(View.Grid, QSize(4, 3));
    const auto Reply = [&](int Row, int Col) {
      QTRY_COMPARE(Game->Phase(), TPhase::OpponentTurn);
      QCOMPARE(View.Info, u"Waiting for opponent @8"_s);
      Peer.SendMove(Row, Col);
      QVERIFY(Settled());
      if (Row < Board().Rows)
        QCOMPARE(View.Info, u"Moved :\r     [%1,%2] @12b"_s.arg(Row + 1).arg(Col + 1));
    };
    const auto Play = [&](int Row, int Col) {
      Place(Row, Col);
      QTRY_COMPARE(Peer.Received.last(), Msg(1, qPrintable(u"%1;%2"_s.arg(Row).arg(Col))));
      // Nothing to take back over the network: the partner could not know.
      QVERIFY(!View.Offers.Undo);
    };
    if (!ProgramMaster)
      Reply(2, 3);
    Play(0, 0);
    if (ProgramMaster) {
      Reply(2, 3);
      Play(1, 1);
    } else {
      Put(Board(), 1, 1, LocalPlayer, 1);
    }
    QCOMPARE(Board().GetCell(2, 3)->Owner, Opponent);
    // The partner has no cell to play.
    Reply(3, 0);
    QCOMPARE(Recorded, QStringList({u"Tester won"_s, u"Bob lost"_s}));
    QCOMPARE(View.Boxes.first(), u"Information: \nGAME OVER\rTester wins"_s);

    // The next game: the master starts it with the exchange; the slave
    // takes new dimensions.
    const qsizetype Before = Peer.Received.size();
    Peer.Dimensions = Msg(4, "2;5");
    if (ProgramMaster) {
      QCOMPARE(Game->Phase(), TPhase::BetweenGames);
      Game->StartGame();
      QTRY_COMPARE(Game->Phase(), TPhase::OwnTurn);
      QTRY_COMPARE(Peer.Received.mid(Before), QList({Msg(3, "Tester"), Msg(4, "3;4")}));
      Play(0, 0);
    } else {
      QCOMPARE(Game->Phase(), TPhase::WaitingNextGame);
      Peer.Send(Peer.Greeting);
      QTRY_COMPARE(Game->Phase(), TPhase::OpponentTurn);
      QCOMPARE(View.Grid, QSize(5, 2));
    }
    // The partner takes the last cell the program could play: the program
    // sends the marker, then ends its game.
    for (int Row = 0; Row < Board().Rows; ++Row)
      for (int Col = 0; Col < Board().Cols; ++Col)
        Put(Board(), Row, Col, Opponent, 1);
    Put(Board(), 1, 2, NoOwner, 0);
    Peer.SendMove(1, 2);
    QTRY_COMPARE(Peer.Received.last(), Msg(1, ProgramMaster ? "3;0" : "2;0"));
    QVERIFY(Settled());
    QCOMPARE(Recorded.mid(2), QStringList({u"Bob won"_s, u"Tester lost"_s}));
    QCOMPARE(Errors, QStringList());

    View.Boxes.clear();
    if (ProgramMaster) {
      Game->StartGame();
      QTRY_COMPARE(Game->Phase(), TPhase::OwnTurn);
    }
    Peer.Leave();
    QTRY_COMPARE(Game->Phase(), TPhase::Closed);
    QCOMPARE(View.Boxes, QStringList(u"Error: Link has been closed by partner"_s));
    QCOMPARE(View.Closes, 1);
    // The partner's orderly close is no socket error.
    QTest::qWait(50);
    QCOMPARE(Errors, QStringList());
  }

  // A bad reply to the program's first move, one of each kind (the wire's
  // details are the codec test's): the user sees its error, nothing but the
  // own move is on the board, and the game stops there.
  void badMessages_data() {
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<QString>("Error");
    QTest::newRow("malformed number") << Msg(1, "x;1") << u"'x' is not a valid integer value"_s;
    QTest::newRow("row off") << Msg(1, "3;1") << u"Received move 3;1 lies off the board of 3 x 4"_s;
    QTest::newRow("wrong kind") << Msg(3, "Bob") << u"Expected Move but received Name"_s;
    QTest::newRow("no command") << QByteArray("\0001;1", 4) << u"Expected Move but received None"_s;
  }
  void badMessages() {
    QFETCH(QByteArray, Bytes);
    QFETCH(QString, Error);
    TWirePeer Peer(false);
    StartNetwork(Peer);
    Place(1, 2);
    QTRY_COMPARE(Game->Phase(), TPhase::OpponentTurn);
    Peer.Send(Bytes);
    QTRY_COMPARE(Errors, QStringList(Error));
    QCOMPARE(Game->Phase(), TPhase::Halted);
    QCOMPARE(std::pair(Board().CountMasses()[0], Board().CountMasses()[1]), std::pair(1, 0));
    QVERIFY(!View.Offers.Grid && View.Closes == 0);
  }

  // The slave's connection fails: nobody listens (No to "Continue
  // waiting"), the master leaves, or it fails the set-up exchange. The user
  // is told, the connection dropped, and the game type is asked again.
  void setUpFails_data() {
    QTest::addColumn<bool>("Listen");
    QTest::addColumn<QByteArray>("Greeting");
    QTest::addColumn<QByteArray>("Dimensions");
    QTest::addColumn<QString>("Box");
    QTest::newRow("nobody listens")
        << false << Msg(3, "M") << QByteArray() << u"Confirm: Continue waiting"_s;
    QTest::newRow("master leaves")
        << true << QByteArray() << QByteArray() << u"Error: Link closed"_s;
    QTest::newRow("a move for a name")
        << true << Msg(1, "1;1") << QByteArray() << u"Error: Expected Name but received Move"_s;
    QTest::newRow("dimensions above 8") << true << Msg(3, "M") << Msg(4, "9;8")
                                        << u"Error: Received dimensions 9 x 8 lie outside 2..8"_s;
    QTest::newRow("one column") << true << Msg(3, "M") << Msg(4, "4;1")
                                << u"Error: Received dimensions 4 x 1 lie outside 2..8"_s;
    QTest::newRow("malformed dimensions")
        << true << Msg(3, "M") << Msg(4, "44") << u"Error: Dimensions message without \";\""_s;
  }
  void setUpFails() {
    QFETCH(bool, Listen);
    QFETCH(QByteArray, Greeting);
    QFETCH(QByteArray, Dimensions);
    QFETCH(QString, Box);
    View.Answer = [](const QString& Text, TMsgButtons) {
      return Text == u"Continue waiting"_s ? TMsgButton::No : TMsgButton::OK;
    };
    TWirePeer Peer(true);
    std::tie(Peer.Greeting, Peer.Dimensions) = std::pair(Greeting, Dimensions);
    if (!Listen)
      Peer.GameServer.close(); // the port stays chosen, now refused
    // Without a greeting the master leaves in the middle of the exchange.
    QTimer Leaver;
    connect(&Leaver, &QTimer::timeout, &Peer, [&] {
      if (Greeting.isEmpty() && Peer.Game && Game->Phase() == TPhase::Exchanging)
        Peer.Leave(), Leaver.stop();
    });
    Leaver.start(5);
    StartNetwork(Peer);
    QVERIFY2(View.Boxes.contains(Box), qPrintable(View.Boxes.join(u'|')));
    QVERIFY(dynamic_cast<TComputerOpponent*>(Game->OtherPlayer()));
    QCOMPARE(Game->Phase(), TPhase::OwnTurn);
    if (Listen)
      QTRY_COMPARE(Peer.Game->state(), QAbstractSocket::UnconnectedState);
  }

  // Closing while the computer thinks, a cascade is shown, or the partner's
  // first move or reply is awaited ends it all at once: nothing more is
  // placed or asked. Exit asks first.
  void closingWhileBusy_data() {
    QTest::addColumn<QString>("Busy");
    for (const char* Busy : {"search", "replay", "first move", "reply"})
      QTest::newRow(Busy) << QString::fromLatin1(Busy);
  }
  void closingWhileBusy() {
    QFETCH(QString, Busy);
    std::unique_ptr<TWirePeer> Peer;
    if (Busy == u"search"_s) {
      StartLocal(8, 8);
      Game->SetExplosions(false);
      View.HoldIn = TPhase::OpponentTurn;
      Place(7, 7);
    } else if (Busy == u"replay"_s) {
      StartLocal(4, 4);
      Put(Board(), 0, 0, LocalPlayer, 1);
      Game->Replay().SetFrameTime(50);
      Place(0, 0);
      QCOMPARE(Game->Phase(), TPhase::OwnReplay);
    } else {
      Peer = std::make_unique<TWirePeer>(Busy == u"first move"_s);
      StartNetwork(*Peer);
      if (Busy == u"reply"_s) {
        Place(0, 0);
        QTRY_COMPARE(Game->Phase(), TPhase::OpponentTurn);
      }
    }
    const TPhase Phase = Game->Phase();
    QVERIFY(Phase == TPhase::OpponentTurn || Phase == TPhase::OwnReplay);
    const std::array<int, 3> Masses = Game->Bord()->CountMasses();
    if (Busy == u"search"_s) {
      // Held by the dialog, as the close box finds it.
      Game->Close();
      QCOMPARE(View.Boxes, QStringList());
    } else {
      View.Answer = [](const QString&, TMsgButtons) { return TMsgButton::Cancel; };
      Do(&TGameController::Exit);
      QCOMPARE(Game->Phase(), Phase);
      View.Answer = [](const QString&, TMsgButtons) { return TMsgButton::Yes; };
      Do(&TGameController::Exit);
      QCOMPARE(View.Boxes, QStringList({u"Confirm: Are you sure"_s, u"Confirm: Are you sure"_s}));
      QCOMPARE(View.Closes, 1);
    }
    QCOMPARE(Game->Phase(), TPhase::Closed);
    QVERIFY(!Game->Replay().Running());
    const int Frames = View.Frames;
    if (Peer)
      Peer->SendMove(2, 2);
    QTest::qWait(60);
    QVERIFY(Game->Bord()->CountMasses() == Masses);
    QCOMPARE(View.Frames, Frames);
    Place(1, 1);
    QCOMPARE(Game->Phase(), TPhase::Closed);
    QCOMPARE(Errors, QStringList());
  }

  // The relay keeps each gauge within 0 and its maximum and tells the window
  // of changed percentages with one signal until the window takes them.
  void thinkRelay() {
    TThinkRelay Relay;
    QSignalSpy Changed(&Relay, &TThinkRelay::ProgressChanged);
    // Maximum, value set: progress kept and percentage shown.
    const int Cases[][4] = {{3, 1, 1, 33},  {64, 64, 64, 100}, {10, 11, 10, 100},
                            {10, -3, 0, 0}, {0, 5, 0, 0},      {-4, 2, 0, 0}};
    for (const auto& Case : Cases) {
      for (int Gauge : {1, 2}) {
        Relay.SetMaxValue(Gauge, Case[0]);
        Relay.SetProgress(Gauge, Case[1]);
        QCOMPARE(Relay.Progress(Gauge), Case[2]);
        QCOMPARE(Relay.Percent(Gauge), Case[3]);
      }
    }
    Relay.SetMaxValue(1, 20);
    Relay.SetProgress(1, 15);
    Relay.SetMaxValue(1, 8);
    QCOMPARE(Relay.Progress(1), 8);
    // 1000 steps: one signal until the window takes the percentages, then
    // one for the next change, and none for a step the gauge cannot show.
    Relay.TakeProgress();
    Changed.clear();
    Relay.SetMaxValue(2, 1000);
    for (int Step = 0; Step <= 1000; ++Step)
      Relay.SetProgress(2, Step);
    QCOMPARE(Changed.size(), 1);
    QCOMPARE(Relay.Percent(2), 100);
    Relay.TakeProgress();
    Relay.SetMaxValue(2, 1000);
    QCOMPARE(Changed.size(), 1);
    Relay.SetProgress(2, 500);
    QCOMPARE(Changed.size(), 2);
    QCOMPARE(Relay.Percent(2), 50);
  }

  // A hint and a reply searched at the same time: cancelling one leaves
  // the other's move as it is when searched alone.
  void hintAndReplyOverlap() {
    TThinkRelay Relay;
    QSignalSpy Shown(&Relay, &TThinkRelay::Shown);
    TComputerPlayer Computer(&Relay);
    Computer.SetLevel(TComputerLevel::Strong);
    unsigned Seed = 5;
    const auto Board = RandomlyPlayed(8, 8, 20, 30, [&](int N) {
      Seed = Seed * 1103515245 + 12345;
      return int((Seed >> 16) % unsigned(N));
    });
    const TMove Reply = LevelMove(*TBord::CreateCopy(*Board), TComputerLevel::Strong);
    const TMove Hint = HintMove(*Board);
    // Cancel the hint, the reply, or neither.
    for (const int Cancel : {0, 1, 2}) {
      std::optional<TMove> Replied, Hinted;
      Computer.Reply(*Board, [&](TMove Move) { Replied = Move; });
      Computer.Hint(*Board, [&](TMove Move) { Hinted = Move; });
      QVERIFY(Computer.Replying() && Computer.Hinting());
      if (Cancel == 0)
        Computer.CancelHint();
      else if (Cancel == 1)
        Computer.CancelReply();
      QTRY_VERIFY_WITH_TIMEOUT(!Computer.Replying() && !Computer.Hinting(), 30000);
      QCOMPARE(Replied, Cancel == 1 ? std::nullopt : std::optional(Reply));
      QCOMPARE(Hinted, Cancel == 0 ? std::nullopt : std::optional(Hint));
    }
    // Only the replies show the thinking window.
    QCOMPARE(Shown.size(), 3);
  }
};

QTEST_GUILESS_MAIN(TestController)
#include "tst_controller.moc"
