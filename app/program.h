// The program's own start: start-up, the message loop and the shutdown.
//
//   int main(int argc, char** argv) { return ProgramMain(argc, argv); }
#pragma once

// Prepares the process (what the listen window's browser needs before the
// application object, the application, the fatal error box, the program
// directory as current directory, the window descriptions), registers
// ReleaseSoundFields as the shutdown routine, deploys and attaches the skin,
// creates and shows MainWindow and runs the message loop until the last
// window is gone. Then it frees the descriptions, runs the shutdown routine,
// releases every bound library and returns 0. A fatal error on the way ends
// the process with exit code -1 instead.
int ProgramMain(int argc, char** argv);
