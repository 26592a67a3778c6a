// The GLFW 2 adapter's key table: both numberings of every key GLFW 2 knows.
#include "platform/glfw/Glfw2Adapter.h"

#include <array>

namespace glfw2 {
namespace adapter {
namespace {

// Every key GLFW 2 knows, with its GLFW 3 counterpart.
constexpr KeyPair kKeyPairs[] = {
    {KEY_SPACE, GLFW_KEY_SPACE},
    {'\'', GLFW_KEY_APOSTROPHE},
    {',', GLFW_KEY_COMMA},
    {'-', GLFW_KEY_MINUS},
    {'.', GLFW_KEY_PERIOD},
    {'/', GLFW_KEY_SLASH},
    {'0', GLFW_KEY_0},
    {'1', GLFW_KEY_1},
    {'2', GLFW_KEY_2},
    {'3', GLFW_KEY_3},
    {'4', GLFW_KEY_4},
    {'5', GLFW_KEY_5},
    {'6', GLFW_KEY_6},
    {'7', GLFW_KEY_7},
    {'8', GLFW_KEY_8},
    {'9', GLFW_KEY_9},
    {';', GLFW_KEY_SEMICOLON},
    {'=', GLFW_KEY_EQUAL},
    {'A', GLFW_KEY_A},
    {'B', GLFW_KEY_B},
    {'C', GLFW_KEY_C},
    {'D', GLFW_KEY_D},
    {'E', GLFW_KEY_E},
    {'F', GLFW_KEY_F},
    {'G', GLFW_KEY_G},
    {'H', GLFW_KEY_H},
    {'I', GLFW_KEY_I},
    {'J', GLFW_KEY_J},
    {'K', GLFW_KEY_K},
    {'L', GLFW_KEY_L},
    {'M', GLFW_KEY_M},
    {'N', GLFW_KEY_N},
    {'O', GLFW_KEY_O},
    {'P', GLFW_KEY_P},
    {'Q', GLFW_KEY_Q},
    {'R', GLFW_KEY_R},
    {'S', GLFW_KEY_S},
    {'T', GLFW_KEY_T},
    {'U', GLFW_KEY_U},
    {'V', GLFW_KEY_V},
    {'W', GLFW_KEY_W},
    {'X', GLFW_KEY_X},
    {'Y', GLFW_KEY_Y},
    {'Z', GLFW_KEY_Z},
    {'[', GLFW_KEY_LEFT_BRACKET},
    {'\\', GLFW_KEY_BACKSLASH},
    {']', GLFW_KEY_RIGHT_BRACKET},
    {'`', GLFW_KEY_GRAVE_ACCENT},
    {KEY_ESC, GLFW_KEY_ESCAPE},
    {KEY_F1 + 0, GLFW_KEY_F1},
    {KEY_F1 + 1, GLFW_KEY_F2},
    {KEY_F1 + 2, GLFW_KEY_F3},
    {KEY_F1 + 3, GLFW_KEY_F4},
    {KEY_F1 + 4, GLFW_KEY_F5},
    {KEY_F1 + 5, GLFW_KEY_F6},
    {KEY_F1 + 6, GLFW_KEY_F7},
    {KEY_F1 + 7, GLFW_KEY_F8},
    {KEY_F1 + 8, GLFW_KEY_F9},
    {KEY_F1 + 9, GLFW_KEY_F10},
    {KEY_F1 + 10, GLFW_KEY_F11},
    {KEY_F1 + 11, GLFW_KEY_F12},
    {KEY_F1 + 12, GLFW_KEY_F13},
    {KEY_F1 + 13, GLFW_KEY_F14},
    {KEY_F1 + 14, GLFW_KEY_F15},
    {KEY_F1 + 15, GLFW_KEY_F16},
    {KEY_F1 + 16, GLFW_KEY_F17},
    {KEY_F1 + 17, GLFW_KEY_F18},
    {KEY_F1 + 18, GLFW_KEY_F19},
    {KEY_F1 + 19, GLFW_KEY_F20},
    {KEY_F1 + 20, GLFW_KEY_F21},
    {KEY_F1 + 21, GLFW_KEY_F22},
    {KEY_F1 + 22, GLFW_KEY_F23},
    {KEY_F1 + 23, GLFW_KEY_F24},
    {KEY_F1 + 24, GLFW_KEY_F25},
    {KEY_UP, GLFW_KEY_UP},
    {KEY_DOWN, GLFW_KEY_DOWN},
    {KEY_LEFT, GLFW_KEY_LEFT},
    {KEY_RIGHT, GLFW_KEY_RIGHT},
    {KEY_LSHIFT, GLFW_KEY_LEFT_SHIFT},
    {KEY_RSHIFT, GLFW_KEY_RIGHT_SHIFT},
    {KEY_LCTRL, GLFW_KEY_LEFT_CONTROL},
    {KEY_RCTRL, GLFW_KEY_RIGHT_CONTROL},
    {KEY_LALT, GLFW_KEY_LEFT_ALT},
    {KEY_RALT, GLFW_KEY_RIGHT_ALT},
    {KEY_TAB, GLFW_KEY_TAB},
    {KEY_ENTER, GLFW_KEY_ENTER},
    {KEY_BACKSPACE, GLFW_KEY_BACKSPACE},
    {KEY_INSERT, GLFW_KEY_INSERT},
    {KEY_DEL, GLFW_KEY_DELETE},
    {KEY_PAGEUP, GLFW_KEY_PAGE_UP},
    {KEY_PAGEDOWN, GLFW_KEY_PAGE_DOWN},
    {KEY_HOME, GLFW_KEY_HOME},
    {KEY_END, GLFW_KEY_END},
    {KEY_KP_0 + 0, GLFW_KEY_KP_0},
    {KEY_KP_0 + 1, GLFW_KEY_KP_1},
    {KEY_KP_0 + 2, GLFW_KEY_KP_2},
    {KEY_KP_0 + 3, GLFW_KEY_KP_3},
    {KEY_KP_0 + 4, GLFW_KEY_KP_4},
    {KEY_KP_0 + 5, GLFW_KEY_KP_5},
    {KEY_KP_0 + 6, GLFW_KEY_KP_6},
    {KEY_KP_0 + 7, GLFW_KEY_KP_7},
    {KEY_KP_0 + 8, GLFW_KEY_KP_8},
    {KEY_KP_0 + 9, GLFW_KEY_KP_9},
    {KEY_KP_DIVIDE, GLFW_KEY_KP_DIVIDE},
    {KEY_KP_MULTIPLY, GLFW_KEY_KP_MULTIPLY},
    {KEY_KP_SUBTRACT, GLFW_KEY_KP_SUBTRACT},
    {KEY_KP_ADD, GLFW_KEY_KP_ADD},
    {KEY_KP_DECIMAL, GLFW_KEY_KP_DECIMAL},
    {KEY_KP_EQUAL, GLFW_KEY_KP_EQUAL},
    {KEY_KP_ENTER, GLFW_KEY_KP_ENTER},
    {KEY_KP_NUM_LOCK, GLFW_KEY_NUM_LOCK},
    {KEY_CAPS_LOCK, GLFW_KEY_CAPS_LOCK},
    {KEY_SCROLL_LOCK, GLFW_KEY_SCROLL_LOCK},
    {KEY_PAUSE, GLFW_KEY_PAUSE},
    {KEY_LSUPER, GLFW_KEY_LEFT_SUPER},
    {KEY_RSUPER, GLFW_KEY_RIGHT_SUPER},
    {KEY_MENU, GLFW_KEY_MENU},
};

// Both directions of the table, indexed by key code.
struct KeyTables {
  std::array<int, GLFW_KEY_LAST + 1> from3;
  std::array<int, KEY_LAST + 1> to3;
  KeyTables() {
    from3.fill(KEY_UNKNOWN);
    to3.fill(-1);
    for (const KeyPair& pair : kKeyPairs) {
      from3[static_cast<size_t>(pair.glfw3)] = pair.glfw2;
      to3[static_cast<size_t>(pair.glfw2)] = pair.glfw3;
    }
  }
};
const KeyTables kTables;

}  // namespace

std::span<const KeyPair> KnownKeys() {
  return kKeyPairs;
}

}  // namespace adapter

int KeyFromGlfw3(int glfw3Key) {
  if (glfw3Key < 0 || glfw3Key > GLFW_KEY_LAST) return KEY_UNKNOWN;
  return adapter::kTables.from3[static_cast<size_t>(glfw3Key)];
}

int KeyToGlfw3(int glfw2Key) {
  if (glfw2Key < 0 || glfw2Key > KEY_LAST) return -1;
  return adapter::kTables.to3[static_cast<size_t>(glfw2Key)];
}

}  // namespace glfw2
