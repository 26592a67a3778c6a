// The window the OpenGL backends draw into, as the host gives it: its drawable size, its buffer
// swap and the count of contexts opened so far. The one place the backends reach the window.
#include "graphics/RenderBackend.h"
#include "host/Game.h"

bool RenderWindowSize(int* width, int* height) {
  XQGame* host = XQGame::Host();
  return host && host->DrawableSize(width, height);
}

void RenderSwapBuffers() {
  if (XQGame* host = XQGame::Host()) host->SwapBuffers();
}

int RenderContextSeq() {
  XQGame* host = XQGame::Host();
  return host ? host->ContextGeneration() : 0;
}
