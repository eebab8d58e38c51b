// SPDX-License-Identifier: GPL-3.0-or-later
// The game connection on loopback: the round trip of a Move between two
// TInternetIO endpoints (write, the partner's read, its answer, our read),
// and the processor time of a read that waits idle for 2 seconds.

#include "CommandIO.h"
#include "Communication.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// One read, with the event loop running until it is done.
QByteArray ReadNow(TAbstractBaseIO& IO) {
  QByteArray Text;
  bool Done = false;
  QEventLoop Loop;
  IO.Read([&](const TReadResult& Result) {
    Text = Result.Text;
    Done = true;
    Loop.quit();
  });
  if (!Done)
    Loop.exec();
  return Text;
}

bool LinkUp(const TAbstractBaseIO& IO, int Msecs) {
  const QDeadlineTimer Deadline(Msecs);
  while (!IO.Connected() && !Deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  return IO.Connected();
}

double ProcessSeconds() {
  timespec Now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &Now);
  return double(Now.tv_sec) + double(Now.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication App(argc, argv);
  const QString Host = QStringLiteral("127.0.0.1");
  TComDataModule MasterModule(nullptr, 0, 0);
  TInternetIO Master(true, Host, &MasterModule);
  TComDataModule SlaveModule(nullptr, MasterModule.GamePort(), 0);
  TInternetIO Slave(false, Host, &SlaveModule);
  if (!LinkUp(Slave, 5000) || !LinkUp(Master, 5000)) {
    std::fprintf(stderr, "no loopback connection\n");
    return 1;
  }

  const QByteArray Move = CommandToText(TCommand::MakeMove(3, 4));
  const QByteArray Answer = CommandToText(TCommand::MakeMove(4, 3));
  constexpr int Exchanges = 1000;
  std::vector<double> Micros;
  Micros.reserve(Exchanges);
  for (int Round = 0; Round < Exchanges; ++Round) {
    const auto Start = Clock::now();
    Master.Write(Move);
    if (ReadNow(Slave) != Move)
      return 1;
    Slave.Write(Answer);
    if (ReadNow(Master) != Answer)
      return 1;
    Micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - Start).count());
  }
  std::sort(Micros.begin(), Micros.end());
  std::printf(
      "Move round trip on loopback over %d exchanges: median %.1f us, 99th percentile %.1f us\n",
      Exchanges, Micros[Micros.size() / 2], Micros[Micros.size() * 99 / 100]);

  // The partner answers after 2 s; meanwhile the read only waits.
  Clock::time_point Sent;
  QTimer::singleShot(2000, Qt::PreciseTimer, &SlaveModule, [&] {
    Sent = Clock::now();
    Slave.Write(Answer);
  });
  const double CpuBefore = ProcessSeconds();
  const auto WallBefore = Clock::now();
  const QByteArray Late = ReadNow(Master);
  const double Wall = std::chrono::duration<double>(Clock::now() - WallBefore).count();
  const double Cpu = ProcessSeconds() - CpuBefore;
  const double Taken = std::chrono::duration<double, std::micro>(Clock::now() - Sent).count();
  std::printf("Idle read wait: %.3f s wall, %.3f ms processor time; message taken %.0f us after "
              "its send (%s)\n",
              Wall, Cpu * 1e3, Taken, Late == Answer ? "correct" : "WRONG");
  return Late == Answer ? 0 : 1;
}
