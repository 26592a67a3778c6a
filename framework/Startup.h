// The program's start-up on the framework side. XQKestroGame::Main (host) calls xq_std_main, which
// keeps the arguments, installs the fatal-signal handlers and runs the global initialisation xqInit
// and then xqMain; both are defined by the program (game/Main.cpp):
//
//   void xqInit() { xq_framework_Init(); /* then the game's own globals */ }
//   void xqMain() { xq_app_Create(std::make_shared<c_MyApp>()); }
//
// xq_std_shutdown (after the loop ends) releases the app, then its devices, while the window's
// OpenGL context still exists.
#pragma once

#include "host/GlfwGame.h"  // xq_std_main, xq_std_shutdown

extern int xq_std_argc;
extern char** xq_std_argv;

// Sets the framework's globals to their start values: no app, delegate or devices, the host from
// XQGame::_game, a fresh graphics context, default image flags 0, update rate 0, an empty list of
// async event sources and random seed 1234.
void xq_framework_Init();

// Defined by the program.
void xqInit();
void xqMain();
