#pragma once

// The whole program, from the command line to the last window: what main()
// runs. Returns the process's exit status.
int RunFizzgrid(int argc, char* argv[]);
