// XQGlfwGame: the window and the desktop driver of the main loop (the schedule and the step are
// XQLoopGame's). Between steps the driver blocks in WaitEvents while nothing is due before an event
// (the game suspended, or no update rate) and sleeps until the next update when it is not yet due.
//
// A window that cannot be opened is reported in one line with GLFW's reason. A switch between
// window and full screen that fails goes back to the window the game had; with no window at all
// the game is not started and Run returns -1.
#include "platform/glfw/GlfwGame.h"

#include <string>
#include <utility>

#include "platform/glfw/Glfw2.h"

namespace {
// "the 640x480 window" or "full screen (1280x1024)", for the messages about opening windows.
std::string WindowName(int width, int height, bool fullscreen) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  return fullscreen ? "full screen (" + size + ")" : "the " + size + " window";
}

std::string FailureReason(const std::string& glfwError) {
  return glfwError.empty() ? "no reason given" : glfwError;
}

constexpr int kMaxVideoModes = 1024;

std::shared_ptr<XQGlfwVideoMode> ToVideoMode(const glfw2::VidMode& mode) {
  auto result = std::make_shared<XQGlfwVideoMode>();
  result->width = mode.Width;
  result->height = mode.Height;
  result->red = mode.RedBits;
  result->green = mode.GreenBits;
  result->blue = mode.BlueBits;
  return result;
}
}  // namespace

XQGlfwGame::XQGlfwGame() = default;
XQGlfwGame::~XQGlfwGame() = default;

XQGlfwGame* XQGlfwGame::Desktop() {
  return dynamic_cast<XQGlfwGame*>(Host());
}

double XQGlfwGame::Now() {
  return glfw2::GetTime();
}

void XQGlfwGame::PollEvents() {
  glfw2::PollEvents();
}

XQWindowState XQGlfwGame::WindowState() {
  return {.open = glfw2::GetWindowParam(glfw2::OPENED) != 0,
          .active = glfw2::GetWindowParam(glfw2::ACTIVE) != 0,
          .iconified = glfw2::GetWindowParam(glfw2::ICONIFIED) != 0};
}

bool XQGlfwGame::DrawableSize(int* width, int* height) {
  glfw2::GetWindowSize(width, height);
  return true;
}

void XQGlfwGame::SwapBuffers() {
  glfw2::SwapBuffers();
}

int XQGlfwGame::ContextGeneration() {
  return glfw2::ContextsMade();
}

bool XQGlfwGame::SetFullScreen(bool on) {
  const std::unique_ptr<XQGlfwVideoMode> desktop = GetGlfwDesktopMode();
  if (on) {
    return SetGlfwWindow(desktop->width, desktop->height, desktop->red, desktop->green,
                         desktop->blue, 0, 0, 0, true);
  }
  return SetGlfwWindow(_windowWidth, _windowHeight, desktop->red, desktop->green, desktop->blue, 0,
                       0, 0, false);
}

void XQGlfwGame::SetWindowSize(int width, int height) {
  _windowWidth = width;
  _windowHeight = height;
}

bool XQGlfwGame::FullScreen() {
  return _window && _window->fullscreen;
}

std::unique_ptr<XQGlfwVideoMode> XQGlfwGame::GetGlfwDesktopMode() {
  glfw2::VidMode mode{};
  glfw2::GetDesktopMode(&mode);
  auto result = std::make_unique<XQGlfwVideoMode>();
  *result = *ToVideoMode(mode);
  return result;
}

Array<std::shared_ptr<XQGlfwVideoMode>> XQGlfwGame::GetGlfwVideoModes() {
  std::vector<glfw2::VidMode> modes(kMaxVideoModes);
  const int count = glfw2::GetVideoModes(modes.data(), kMaxVideoModes);
  Array<std::shared_ptr<XQGlfwVideoMode>> result(count);
  for (int i = 0; i < count; ++i) result[i] = ToVideoMode(modes[static_cast<size_t>(i)]);
  return result;
}

bool XQGlfwGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                               int depth, int stencil, bool fullscreen) {
  // No key may stay down across the change of window: its release would go to the old one.
  ReleaseKeys();

  glfw2::VidMode desktop{};
  glfw2::GetDesktopMode(&desktop);

  glfw2::CloseWindow();
  const WindowRequest request{width, height, red, green, blue, alpha, depth, stencil, fullscreen};
  if (OpenGlfwWindow(request, desktop.Width, desktop.Height)) return true;

  // One line says what failed and why; a game that had a window keeps playing in it.
  const auto name = [](const WindowRequest& r) {
    return WindowName(r.width, r.height, r.fullscreen);
  };
  const std::string reason = FailureReason(glfw2::LastError());
  const std::optional<WindowRequest> previous = std::exchange(_window, std::nullopt);
  if (!previous) {
    xqPrint(String("Cannot open " + name(request) + ": " + reason));
  } else {
    xqPrint(String("Cannot switch to " + name(request) + ": " + reason + "; staying in " +
                   name(*previous)));
    if (OpenGlfwWindow(*previous, desktop.Width, desktop.Height)) return false;
    xqPrint(
        String("Cannot open " + name(*previous) + " again: " + FailureReason(glfw2::LastError())));
  }
  _windowLost = true;
  return false;
}

bool XQGlfwGame::OpenGlfwWindow(const WindowRequest& request, int desktopWidth, int desktopHeight) {
  glfw2::OpenWindowHint(glfw2::WINDOW_NO_RESIZE, 0);
  if (RenderApi() == XQRenderApi::kEs2) {
    glfw2::OpenWindowHint(glfw2::OPENGL_PROFILE, glfw2::OPENGL_ES2_PROFILE);
  }
  if (!glfw2::OpenWindow(request.width, request.height, request.red, request.green, request.blue,
                         request.alpha, request.depth, request.stencil,
                         request.fullscreen ? glfw2::FULLSCREEN : glfw2::WINDOW)) {
    return false;
  }
  _window = request;
  _windowLost = false;

  if (!request.fullscreen) {
    glfw2::SetWindowPos((desktopWidth - request.width) / 2, (desktopHeight - request.height) / 2);
    glfw2::SetWindowTitle("Drommel");
  }

  glfw2::Enable(glfw2::KEY_REPEAT);
  glfw2::Disable(glfw2::AUTO_POLL_EVENTS);

  glfw2::SetKeyCallback(OnKey);
  glfw2::SetCharCallback(OnChar);
  glfw2::SetMouseButtonCallback(OnMouseButton);
  glfw2::SetMousePosCallback(OnMousePos);
  glfw2::SetWindowCloseCallback(OnWindowClose);
  return true;
}

int XQGlfwGame::Run() {
  // Without a window there is nothing to start: the game would draw into no context.
  if (!SetGlfwWindow(_windowWidth, _windowHeight, 8, 8, 8, 0, 0, 0, false)) return -1;
  StartGame();
  RenderGame();
  RunLoop();
  return _windowLost ? -1 : 0;
}

void XQGlfwGame::RunLoop() {
  RunBlocking(glfw2::WaitEvents, glfw2::Sleep);
}

int XQGlfwGame::OnWindowClose() {
  // The close button becomes the close key; the app decides whether the program ends.
  if (XQGame* host = Host()) {
    host->KeyEvent(kEventKeyDown, kKeyClose);
    host->KeyEvent(kEventKeyUp, kKeyClose);
  }
  return 0;
}
