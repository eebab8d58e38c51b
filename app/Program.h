#pragma once

// The whole program, from the command line to the last window: what main()
// runs, on the ports of the connections to another computer. Returns the
// process's exit status.

#include "ConnectionSetUp.h"

int RunFizzgrid(int argc, char* argv[], TPorts Ports = {});
