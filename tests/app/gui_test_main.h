// What every in-process window test starts with: a drive C of its own, the
// process set-up of the program (the listen window's early needs, the
// application, the window descriptions) and, when asked for, the deployed
// and attached skin, as start-up leaves them before MainWindow is created.
//
//   int main(int argc, char** argv) { return RunWindowTests(argc, argv, true); }
#pragma once

int RunWindowTests(int argc, char** argv, bool deploySkin);
