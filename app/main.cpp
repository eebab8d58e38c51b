// SPDX-License-Identifier: GPL-3.0-or-later
// The program entry; the program itself is RunFizzgrid (Program.h).

#include "Program.h"

int main(int argc, char* argv[]) {
  return RunFizzgrid(argc, argv);
}
