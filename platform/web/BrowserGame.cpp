// The browser host: the program's start in the page, the frame step, the WebGL context, input in
// the desktop's terms, files in the page's file system and the end of the program. See
// BrowserGame.h.
#include "platform/web/BrowserGame.h"

#include <emscripten.h>
#include <emscripten/html5.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <string_view>

#include "host/Files.h"
#include "host/Input.h"
#include "platform/web/BrowserInput.h"

extern "C" {
// library.js.
void drommel_js_start();
int drommel_js_set_full_screen(int on);
int drommel_js_full_screen();
int drommel_js_hidden();
int drommel_js_holds_lock();
void drommel_js_sync();
[[noreturn]] void drommel_js_end(int status, const char* text);
void drommel_js_no_webgl();
int drommel_js_data_ready(const char* path, int urgency);
void drommel_js_loader_finished();
double drommel_js_pixels_per_point();
int drommel_js_safe_inset(int side);
}

namespace {

constexpr const char* kCanvas = "#canvas";
// The state file inside the IndexedDB folder the page mounts.
constexpr const char* kBrowserStateFile = "/save/.kestrostate";
// A frame's updates count as due a little early: display frames and updates both come every
// 1/60 s, and without the lead a frame that lands a hair before its update would run none and the
// next two.
constexpr double kFrameLead = 0.002;

[[noreturn]] void EndProgram(int status, const char* text) {
  drommel_js_end(status, text);
}

}  // namespace

XQBrowserGame::XQBrowserGame()
    : _now(emscripten_get_now() / 1000.0), _hidden(drommel_js_hidden() != 0) {}

XQBrowserGame::~XQBrowserGame() = default;

XQBrowserGame* XQBrowserGame::Browser() {
  return dynamic_cast<XQBrowserGame*>(Host());
}

double XQBrowserGame::Now() {
  return _now;
}

// Input events arrive between frames; gamepads are read once per frame.
void XQBrowserGame::PollEvents() {
  emscripten_sample_gamepad_data();
}

// A page is open while the program runs; hidden, or without a context to draw into, it stands
// suspended.
XQWindowState XQBrowserGame::WindowState() {
  const bool away = _hidden || _contextLost;
  return {.open = true, .active = !away, .iconified = away};
}

bool XQBrowserGame::MakeContext() {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = false;
  attributes.depth = false;
  attributes.stencil = false;
  attributes.antialias = false;
  attributes.premultipliedAlpha = false;
  attributes.preserveDrawingBuffer = false;
  attributes.majorVersion = 1;
  attributes.minorVersion = 0;
  _context = emscripten_webgl_create_context(kCanvas, &attributes);
  if (_context <= 0) return false;
  emscripten_webgl_make_context_current(_context);
  ++_contextsMade;
  return true;
}

void XQBrowserGame::ContextRestored() {
  // The restored context has none of the old textures and buffers: a new sequence number makes
  // the renderer and the surfaces create them again.
  if (_context > 0) emscripten_webgl_make_context_current(_context);
  ++_contextsMade;
}

int XQBrowserGame::ContextGeneration() {
  return _contextsMade;
}

bool XQBrowserGame::DrawableSize(int* width, int* height) {
  int w = 0;
  int h = 0;
  if (emscripten_get_canvas_element_size(kCanvas, &w, &h) != EMSCRIPTEN_RESULT_SUCCESS) {
    return false;
  }
  *width = w;
  *height = h;
  return true;
}

// The browser shows what was drawn when the frame's callback returns.
void XQBrowserGame::SwapBuffers() {}

// The request completes (or is refused) later; the game follows FullScreen, which keeps the
// request until the browser says otherwise.
bool XQBrowserGame::SetFullScreen(bool on) {
  // No key may stay down across the change, as on the desktop.
  ReleaseKeys();
  return drommel_js_set_full_screen(on ? 1 : 0) != 0;
}

bool XQBrowserGame::FullScreen() {
  return drommel_js_full_screen() != 0;
}

float XQBrowserGame::PixelsPerPoint() {
  return static_cast<float>(drommel_js_pixels_per_point());
}

bool XQBrowserGame::KeepsShape() {
  return true;
}

// In drawing-buffer pixels, as the page measured them at the last frame.
void XQBrowserGame::SafeInsets(int* left, int* top, int* right, int* bottom) {
  *left = drommel_js_safe_inset(0);
  *top = drommel_js_safe_inset(1);
  *right = drommel_js_safe_inset(2);
  *bottom = drommel_js_safe_inset(3);
}

// Escape is how people leave full screen, and a reflex key: in a page it never ends the session.
bool XQBrowserGame::CanQuit() {
  return false;
}

String XQBrowserGame::PathToFilePath(const String& path) {
  if (path == String(kStateFileName)) return String(kBrowserStateFile);
  return xq_data_PortableToFilePath(path);
}

int XQBrowserGame::SaveState(const String& state) {
  const int result = XQGame::SaveState(state);
  if (result == 0) drommel_js_sync();
  return result;
}

// Pads of the "standard" mapping read in the desktop's gamepad layout; any other reads its raw
// axes (odd ones negated, positive up, as the desktop reads raw joysticks) and buttons.
bool XQBrowserGame::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                                 Array<bool> buttons) {
  if (port < 0 || port >= emscripten_get_num_gamepads()) return false;
  EmscriptenGamepadEvent state{};
  if (emscripten_get_gamepad_status(port, &state) != EMSCRIPTEN_RESULT_SUCCESS ||
      !state.connected) {
    return false;
  }
  std::array<float, kJoyAxes> axes{};
  std::array<bool, kJoyButtons> pressed{};
  int axisCount = 0;
  int buttonCount = 0;
  if (std::string_view(state.mapping) == "standard") {
    const BrowserPadReading pad =
        BrowserStandardPad(state.axis, state.numAxes, state.analogButton, state.numButtons);
    std::copy(std::begin(pad.axes), std::end(pad.axes), axes.begin());
    std::copy(std::begin(pad.buttons), std::end(pad.buttons), pressed.begin());
    axisCount = kJoyAxes;
    buttonCount = static_cast<int>(std::size(pad.buttons));
  } else {
    axisCount = std::min(state.numAxes, kJoyAxes);
    for (int i = 0; i < axisCount; ++i) axes[i] = XQRawAxis(i, static_cast<float>(state.axis[i]));
    buttonCount = std::min(state.numButtons, kJoyButtons);
    for (int i = 0; i < buttonCount; ++i) pressed[i] = state.digitalButton[i] != 0;
  }
  XQGame::FillJoystick(axes.data(), axisCount, pressed.data(), buttonCount, joyx, joyy, joyz,
                       buttons);
  return true;
}

bool XQBrowserGame::Frame(double milliseconds) {
  _now = milliseconds / 1000.0 + kFrameLead;
  return Step();
}

bool XQBrowserGame::Key(bool down, std::string_view code, int keyCode, int character) {
  const int key = BrowserKeyCode(code, keyCode);
  if (!down) {
    if (key == 0) return false;
    KeyEvent(kEventKeyUp, key);
    return true;
  }
  if (key != 0) {
    KeyEvent(kEventKeyDown, key);
    if (const int control = KeyToChar(key)) KeyEvent(kEventKeyChar, control);
  }
  if (character != 0) KeyEvent(kEventKeyChar, character);
  return key != 0;
}

// Hidden: suspended at once (the game saves), since a hidden tab gets no frames; shown: the next
// frame's step resumes the game.
void XQBrowserGame::Hidden(bool hidden) {
  _hidden = hidden;
  if (hidden) {
    ReleaseKeys();
    SuspendGame();
  }
}

// Lost: suspended at once, as when hidden; back: everything drawn is made again and the next
// frame's step resumes the game.
void XQBrowserGame::ContextLost(bool lost) {
  _contextLost = lost;
  if (lost) {
    ReleaseKeys();
    SuspendGame();
  } else {
    ContextRestored();
  }
}

// One game per browser profile: the page starts the program only in the tab that holds the Web
// Lock "drommel" (platform/web/pre.js), so the program always runs holding it; a browser without
// Web Locks has no such rule.
StateLock XQBrowserGame::LockState(const std::string&) {
  return drommel_js_holds_lock() != 0 ? StateLock::kHeld : StateLock::kUnavailable;
}

// The page fetches the data files one by one (the image level the canvas needs, what the menu
// draws first) and writes each into the file system once it is complete and checked; asking for
// one that is not there yet starts or hurries its download.
bool XQBrowserGame::DataReady(const String& path, int urgency) {
  std::string file = xq_data_NativePath(xq_data_PortableToFilePath(xq_data_FixDataPath(path)));
  if (file.rfind("./", 0) == 0) file.erase(0, 2);
  return drommel_js_data_ready(file.c_str(), urgency) != 0;
}

void XQBrowserGame::LoaderFinished() {
  drommel_js_loader_finished();
}

const char* XQBrowserGame::SoundExtension() {
  return ".ogg";
}

// ---- The program in the page ---------------------------------------------------------------------

int XQBrowserGame::Main(int argc, char** argv, const XQStartup& startup) {
  (void)argc;
  (void)argv;
  xqSetEndHandler(EndProgram);
  // The page's file system starts with a mask that denies everything, so the state file would be
  // written unreadable.
  umask(022);
  // The host lives as long as the page.
  auto* game = new XQBrowserGame();
  // WebGL has OpenGL ES 2.0's rules.
  game->SetRenderApi(XQRenderApi::kEs2);
  game->RunStartup(startup);
  if (!game->Delegate()) return 0;
  if (!game->MakeContext()) {
    xqPrint("Cannot open the game: the browser gives no WebGL");
    drommel_js_no_webgl();
    return 0;
  }
  game->StartGame();
  game->RenderGame();
  drommel_js_start();
  return 0;
}

int xqHostMain(int argc, char** argv, const XQStartup& startup) {
  return XQBrowserGame::Main(argc, argv, startup);
}

extern "C" {

EMSCRIPTEN_KEEPALIVE int drommel_frame(double milliseconds) {
  XQBrowserGame* game = XQBrowserGame::Browser();
  return game && game->Frame(milliseconds) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int drommel_key(int down, const char* code, int keyCode, int character) {
  XQBrowserGame* game = XQBrowserGame::Browser();
  return game && game->Key(down != 0, code ? code : "", keyCode, character) ? 1 : 0;
}

// kind 0: mouse button `id` (0 left, 1 right, 2 middle; -1 for a move); kind 1: finger `id`.
EMSCRIPTEN_KEEPALIVE void drommel_pointer(int kind, int event, int id, double x, double y) {
  XQGame* game = XQGame::Host();
  if (!game) return;
  const auto fx = static_cast<float>(x);
  const auto fy = static_cast<float>(y);
  if (kind == 0) {
    game->MouseEvent(event, id, fx, fy);
  } else {
    game->TouchEvent(event, id, fx, fy);
  }
}

EMSCRIPTEN_KEEPALIVE void drommel_release_keys() {
  if (XQBrowserGame* game = XQBrowserGame::Browser()) game->ReleaseKeys();
}

EMSCRIPTEN_KEEPALIVE void drommel_visibility(int hidden) {
  if (XQBrowserGame* game = XQBrowserGame::Browser()) game->Hidden(hidden != 0);
}

EMSCRIPTEN_KEEPALIVE void drommel_context_lost(int lost) {
  if (XQBrowserGame* game = XQBrowserGame::Browser()) game->ContextLost(lost != 0);
}

}  // extern "C"
