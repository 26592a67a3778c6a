// The program's entry: it hands the host the start-up record of the global initialisation, the
// creation of the app and the shut-down.
#include <memory>

#include "framework/App.h"
#include "framework/Startup.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "host/HostMain.h"

namespace {

// The framework's globals, then the game module's (xq_Drommel_Init, with the game object).
void xqInit() {
  xq_framework_Init();
  xq_Drommel_Init();
}

void xqMain() {
  xq_app_Create(std::make_shared<c_MyApp>());
}

}  // namespace

int main(int argc, char** argv) {
  return xqHostMain(argc, argv,
                    {.init = xqInit,
                     .main = xqMain,
                     .shutdown = xq_std_shutdown,
                     .windowWidth = kDesignWidth,
                     .windowHeight = kDesignHeight});
}
