#pragma once

// What the process sets for itself at start-up, once the framework runtime
// exists and before the first window:
// - a write beyond the file-size limit fails like any other failed write (the
//   save reports it and keeps the old file) instead of ending the program;
// - SIGTERM, SIGINT and SIGHUP end the program the way Quit does, so its
//   windows close and its socket file goes with it.
void SetUpProcess();
