// What the program hands the host at start-up, and the start itself. The program's main is the
// same on every platform; the build links one host (the desktop's XQKestroGame or the browser's
// XQBrowserGame), whose start xqHostMain is.
//
//   int main(int argc, char** argv) {
//     return xqHostMain(argc, argv, {.init = xqInit, .main = xqMain, .shutdown = xq_std_shutdown,
//                                    .windowWidth = 640, .windowHeight = 480});
//   }
#pragma once

// So that the host never names the layers above it. Each runs once on the main thread: init and
// main before the window opens, shutdown after the loop ends.
struct XQStartup {
  // The module globals: the framework's first, then the program's own (xqInit).
  void (*init)() = nullptr;
  // Creates the app, which registers its delegate with the host (xqMain).
  void (*main)() = nullptr;
  // Releases the app and its devices while the window's OpenGL context still exists.
  void (*shutdown)() = nullptr;
  // The window a desktop opens: the game's design size at one pixel per unit.
  int windowWidth = 0;
  int windowHeight = 0;
};

// Runs the program on the platform the build is for; returns the process status (a browser page
// goes on running after it returns).
int xqHostMain(int argc, char** argv, const XQStartup& startup);
