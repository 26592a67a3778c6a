// The framework's part of the program's start-up and shut-down. The program hands both to the host
// in its start-up record (platform/glfw/GlfwGame.h):
//
//   void xqInit() { xq_framework_Init(); /* then the game's own globals */ }
//   void xqMain() { xq_app_Create(std::make_shared<c_MyApp>()); }
//   int main(int argc, char** argv) {
//     return XQKestroGame::Main(argc, argv,
//                               {.init = xqInit, .main = xqMain, .shutdown = xq_std_shutdown});
//   }
//
// xq_std_shutdown (after the loop ends) releases the app, then its devices, while the window's
// OpenGL context still exists.
#pragma once

// Sets the framework's globals to their start values: no app, delegate or devices, a fresh graphics
// context, default image flags 0, update rate 0, an empty list of async event sources and random
// seed 1234.
void xq_framework_Init();

// Releases the app, then its devices; the program's shut-down, and xq_app_EndApp's.
void xq_std_shutdown();
