// XQKestroGame::Main: the process start-up. The renderer's API from DROMMEL_RENDERER, GLFW (no
// display, no game), then the one host object, then the program's start-up record (globals, then
// the app), then the window and the loop. An unknown renderer, or a window (with its context) that
// cannot be opened, ends the program with status -1 after its message.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

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

namespace {

// DROMMEL_RENDERER: "gl1" (also when unset or empty) or "es2"; anything else is refused.
std::optional<XQRenderApi> RenderApiFromEnvironment() {
  const char* value = std::getenv("DROMMEL_RENDERER");
  const std::string name = value ? value : "";
  if (name.empty() || name == "gl1") return XQRenderApi::kGl1;
  if (name == "es2") return XQRenderApi::kEs2;
  return std::nullopt;
}

}  // namespace

int XQKestroGame::Main(int argc, char** argv, const XQStartup& startup) {
  const std::optional<XQRenderApi> api = RenderApiFromEnvironment();
  if (!api) {
    std::printf("Unknown renderer \"%s\" in DROMMEL_RENDERER: use gl1 or es2\n",
                std::getenv("DROMMEL_RENDERER"));
    std::fflush(stdout);
    return -1;
  }
  if (!glfw2::Init()) {
    std::fputs("glfwInit failed\n", stdout);
    std::fflush(stdout);
    return -1;
  }
  auto game = std::make_unique<XQKestroGame>();
  game->SetRenderApi(*api);
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
