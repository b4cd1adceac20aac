#pragma once

// What the process sets for itself, first of all (before the framework
// runtime, so that no signal finds it without its handling):
// - a write beyond the file-size limit fails like any other failed write (the
//   save reports it and keeps the old file) instead of ending the program;
// - a write into a pipe whose reader has gone (standard error of a launcher
//   that exited) fails instead of ending the program;
// - SIGTERM, SIGINT and SIGHUP end the program the way Quit does, so its
//   windows close and its socket file goes with it, also when they come
//   during start-up (then once the event loop runs); one that the program was
//   started with ignored (nohup, a background job) stays ignored.
void SetUpProcess();
