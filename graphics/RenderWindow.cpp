// The window the OpenGL backends draw into, as the host gives it: its drawable size, its buffer
// swap and the count of contexts opened so far. The one place the backends reach the window.
#include "graphics/RenderBackend.h"
#include "host/Glfw2.h"
#include "host/GlfwGame.h"

void RenderWindowSize(int* width, int* height) {
  glfw2::GetWindowSize(width, height);
}

void RenderSwapBuffers() {
  glfw2::SwapBuffers();
}

int RenderContextSeq() {
  return glfwGraphicsSeq;
}
