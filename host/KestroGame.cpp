// XQKestroGame::Main: the process start-up. GLFW first (no display, no game), then the one host
// object, then the program's start-up record (globals, then the app), then the window and the loop.
// A window that cannot be opened ends the program with status -1 after its message.
#include <csignal>
#include <cstdio>

#include "host/Glfw2.h"
#include "host/GlfwGame.h"

int xq_std_argc = 0;
char** xq_std_argv = nullptr;

int xq_std_main(int argc, char** argv, const XQStartup& startup) {
  xq_std_argc = argc;
  xq_std_argv = argv;
  xqInstallSignalHandlers();
  // Under a file-size limit, a save past it fails with EFBIG (and says so) instead of ending the
  // game.
  std::signal(SIGXFSZ, SIG_IGN);
  if (startup.init) startup.init();
  if (startup.main) startup.main();
  return 0;
}

int XQKestroGame::Main(int argc, char** argv, const XQStartup& startup) {
  if (!glfw2::Init()) {
    std::fputs("glfwInit failed\n", stdout);
    std::fflush(stdout);
    return -1;
  }
  auto game = std::make_unique<XQKestroGame>();
  int status = 0;
  try {
    xq_std_main(argc, argv, startup);
    if (game->Delegate()) status = game->Run();
  } catch (ThrowableObject& exception) {
    glfw2::Terminate();
    game->Die(&exception);
  } catch (ThrowableObject* exception) {
    glfw2::Terminate();
    game->Die(exception);
  } catch (...) {
    glfw2::Terminate();
    game->Die(nullptr);
  }
  if (startup.shutdown) startup.shutdown();
  game->SetDelegate(nullptr);
  glfw2::Terminate();
  return status;
}

int xqHostMain(int argc, char** argv, const XQStartup& startup) {
  return XQKestroGame::Main(argc, argv, startup);
}
