// The program's entry and its two start-up functions: the global initialisation and the creation of
// the app.
#include <memory>

#include "framework/App.h"
#include "framework/Startup.h"
#include "game/Globals.h"
#include "game/MyApp.h"

int main(int argc, char** argv) {
  return XQKestroGame::Main(argc, argv);
}

// The framework's globals, then the game module's (xq_Drommel_Init, with the game object).
void xqInit() {
  xq_framework_Init();
  xq_Drommel_Init();
}

void xqMain() {
  xq_app_Create(std::make_shared<c_MyApp>());
}
