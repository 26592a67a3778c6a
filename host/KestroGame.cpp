// XQKestroGame::Main: the process start-up. GLFW first (no display, no game), then the one host
// object, then the framework and the app, then the window and the loop. A window that cannot be
// opened ends the program with status -1 after its message.
#include <cstdio>

#include "host/Glfw2.h"
#include "host/GlfwGame.h"

int XQKestroGame::Main(int argc, char** argv) {
  if (!glfw2::Init()) {
    std::fputs("glfwInit failed\n", stdout);
    std::fflush(stdout);
    return -1;
  }
  auto game = std::make_unique<XQKestroGame>();
  int status = 0;
  try {
    xq_std_main(argc, argv);
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
  xq_std_shutdown();
  game->SetDelegate(nullptr);
  glfw2::Terminate();
  return status;
}
