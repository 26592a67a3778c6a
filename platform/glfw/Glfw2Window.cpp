// The GLFW 2 interface of platform/glfw/Glfw2.h implemented over GLFW 3.3: start-up, the window and its
// context. GLFW 2 had one window, so the adapter keeps one GLFW 3 window and the GLFW 2 state
// around it (Glfw2Adapter.h): the "opened" flag, the key-repeat and automatic-polling switches, the
// cursor mode and the five callbacks (their translation is in Glfw2Events.cpp).
//
// GLFW's errors are kept as text (LastError) instead of being lost: GLFW 2 had no error callback.
// A window destroyed while GLFW is delivering events (a callback that closes or replaces the
// window) is only hidden then, and destroyed when the poll or wait returns.
#include <errno.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/glfw/Glfw2Adapter.h"
#include "platform/glfw/LeakCheckPause.h"

namespace glfw2 {
namespace adapter {

State state;

void DestroyDoomed() {
  for (GLFWwindow* window : state.doomed) glfwDestroyWindow(window);
  state.doomed.clear();
}

void ErrorCallback(int, const char* description) {
  state.lastError = description ? description : "";
}

void ApplyCursorMode() {
  if (state.window) {
    glfwSetInputMode(state.window, GLFW_CURSOR,
                     state.cursorVisible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
  }
}

namespace {
VidMode ToVidMode(const GLFWvidmode& mode) {
  return VidMode{mode.width, mode.height, mode.redBits, mode.blueBits, mode.greenBits};
}
}  // namespace

}  // namespace adapter

using namespace adapter;

int Init() {
  glfwSetErrorCallback(ErrorCallback);
  state.lastError.clear();
  if (glfwInit() != GLFW_TRUE) return 0;
  // Players and launchers (Steam among them) pass extra gamepad mappings this way.
  if (const char* mappings = std::getenv("SDL_GAMECONTROLLERCONFIG")) {
    LoadGamepadMappings(mappings, "SDL_GAMECONTROLLERCONFIG");
  }
  return 1;
}

std::string LastError() {
  return state.lastError;
}

void Terminate() {
  if (state.window) glfwDestroyWindow(state.window);
  state.window = nullptr;
  state.opened = false;
  DestroyDoomed();
  glfwTerminate();
}

int OpenWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
               int stencil, int mode) {
  CloseWindow();
  // GLFW 2 filled in a missing size with 640 x 480 or a 4:3 partner of the given side.
  if (width <= 0 && height <= 0) {
    width = 640;
    height = 480;
  } else if (width <= 0) {
    width = height * 4 / 3;
  } else if (height <= 0) {
    height = width * 3 / 4;
  }
  // GLFW 3 keeps hints from one window to the next; GLFW 2 started every window afresh.
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RED_BITS, red > 0 ? red : GLFW_DONT_CARE);
  glfwWindowHint(GLFW_GREEN_BITS, green > 0 ? green : GLFW_DONT_CARE);
  glfwWindowHint(GLFW_BLUE_BITS, blue > 0 ? blue : GLFW_DONT_CARE);
  glfwWindowHint(GLFW_ALPHA_BITS, std::max(alpha, 0));
  glfwWindowHint(GLFW_DEPTH_BITS, std::max(depth, 0));
  glfwWindowHint(GLFW_STENCIL_BITS, std::max(stencil, 0));
  glfwWindowHint(GLFW_RESIZABLE, state.noResizeHint ? GLFW_FALSE : GLFW_TRUE);
  state.noResizeHint = 0;
  if (state.profileHint == OPENGL_ES2_PROFILE) {
    glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_ES_API);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  }
  state.profileHint = 0;
  // Desktops find a window's desktop entry, and so its icon, by its X11 class. As X toolkits do,
  // the instance is the program's name and the class the same name capitalised (drommel, Drommel).
  std::string instance = program_invocation_short_name;
  std::string windowClass = instance;
  if (!windowClass.empty()) {
    windowClass[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(windowClass[0])));
  }
  glfwWindowHintString(GLFW_X11_INSTANCE_NAME, instance.c_str());
  glfwWindowHintString(GLFW_X11_CLASS_NAME, windowClass.c_str());

  state.lastError.clear();
  if (state.failNextOpen) {
    ErrorCallback(GLFW_PLATFORM_ERROR, state.failNextOpen->c_str());
    state.failNextOpen.reset();
    return 0;
  }
  GLFWmonitor* monitor = mode == FULLSCREEN ? glfwGetPrimaryMonitor() : nullptr;
  GLFWwindow* window = nullptr;
  {
    // The OpenGL driver keeps allocations made here for the life of the process, with stacks of
    // unnamed driver code that no leak suppression can match; the leak checker ignores them.
    const LeakCheckPause pause;
    window = glfwCreateWindow(width, height, "GLFW Window", monitor, nullptr);
  }
  if (!window) return 0;
  state.window = window;
  state.opened = true;
  ++state.contextsMade;
  glfwMakeContextCurrent(window);
  ConnectInput(window);
  ApplyCursorMode();
  RecordKeysHeldAcross();
  return 1;
}

int ContextsMade() {
  return state.contextsMade;
}

void OpenWindowHint(int target, int hint) {
  if (target == WINDOW_NO_RESIZE) state.noResizeHint = hint;
  if (target == OPENGL_PROFILE) state.profileHint = hint;
}

void CloseWindow() {
  GLFWwindow* window = state.window;
  state.window = nullptr;
  state.opened = false;
  state.heldAcross.clear();
  if (!window) return;
  if (glfwGetCurrentContext() == window) glfwMakeContextCurrent(nullptr);
  if (state.eventDepth > 0) {
    // GLFW forbids destroying a window from inside its own callbacks.
    glfwHideWindow(window);
    glfwSetWindowUserPointer(window, nullptr);
    glfwSetKeyCallback(window, nullptr);
    glfwSetCharCallback(window, nullptr);
    glfwSetMouseButtonCallback(window, nullptr);
    glfwSetCursorPosCallback(window, nullptr);
    glfwSetWindowCloseCallback(window, nullptr);
    state.doomed.push_back(window);
  } else {
    glfwDestroyWindow(window);
  }
}

void SetWindowPos(int x, int y) {
  if (state.window) glfwSetWindowPos(state.window, x, y);
}

void SetWindowTitle(const char* title) {
  if (state.window) glfwSetWindowTitle(state.window, title);
}

int GetWindowParam(int param) {
  if (!state.window) return 0;
  switch (param) {
    case OPENED:
      return state.opened ? 1 : 0;
    case ACTIVE:
      return glfwGetWindowAttrib(state.window, GLFW_FOCUSED);
    case ICONIFIED:
      return glfwGetWindowAttrib(state.window, GLFW_ICONIFIED);
    default:
      return 0;
  }
}

void GetWindowSize(int* width, int* height) {
  int w = 0, h = 0;
  if (state.window) glfwGetWindowSize(state.window, &w, &h);
  if (width) *width = w;
  if (height) *height = h;
}

void GetDesktopMode(VidMode* mode) {
  if (!mode) return;
  *mode = VidMode{0, 0, 0, 0, 0};
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* current = monitor ? glfwGetVideoMode(monitor) : nullptr;
  if (current) *mode = ToVidMode(*current);
}

int GetVideoModes(VidMode* list, int maxCount) {
  if (!list || maxCount <= 0) return 0;
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  if (!monitor) return 0;
  int count = 0;
  const GLFWvidmode* modes = glfwGetVideoModes(monitor, &count);
  if (!modes) return 0;
  count = std::min(count, maxCount);
  for (int i = 0; i < count; ++i) list[i] = ToVidMode(modes[i]);
  return count;
}

double GetTime() {
  return glfwGetTime();
}

void Sleep(double seconds) {
  if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void SwapBuffers() {
  if (state.window) glfwSwapBuffers(state.window);
  LogTiming('f');
  if (state.autoPoll) PollEvents();
}

namespace testing {

void FailNextOpenWindow(std::string error) {
  state.failNextOpen = std::move(error);
}

}  // namespace testing

}  // namespace glfw2
