// Xlib side of the test client. Xlib's macros (None, Bool, Status) stay inside this file.
#include "tests/platform/glfw/XClient.h"

#include <X11/Xlib.h>

#include <string>
#include <thread>

namespace {
Window Search(Display* display, Window root, const char* name) {
  char* found = nullptr;
  if (XFetchName(display, root, &found) && found) {
    const bool same = std::string(found) == name;
    XFree(found);
    if (same) return root;
  }
  Window rootReturn, parent;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return 0;
  Window result = 0;
  for (unsigned i = 0; i < count && !result; ++i) result = Search(display, children[i], name);
  if (children) XFree(children);
  return result;
}
}  // namespace

void* TestDisplay() {
  static Display* display = XOpenDisplay(nullptr);
  return display;
}

unsigned long FindWindowByName(const char* name, std::chrono::milliseconds limit) {
  auto* display = static_cast<Display*>(TestDisplay());
  if (!display) return 0;
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (Window window = Search(display, DefaultRootWindow(display), name)) return window;
    if (std::chrono::steady_clock::now() > end) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool WindowSize(unsigned long window, int* width, int* height) {
  auto* display = static_cast<Display*>(TestDisplay());
  XWindowAttributes attributes{};
  if (!display || !XGetWindowAttributes(display, window, &attributes)) return false;
  *width = attributes.width;
  *height = attributes.height;
  return true;
}

void SendDeleteWindow(unsigned long window) {
  auto* display = static_cast<Display*>(TestDisplay());
  if (!display) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

void DropFocus() {
  auto* display = static_cast<Display*>(TestDisplay());
  if (!display) return;
  XSetInputFocus(display, None, RevertToNone, CurrentTime);
  XSync(display, False);
}
