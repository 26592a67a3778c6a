// The game's drawing and control operations: the draw state, appending records to the display
// list, text in the game's bitmap font, pointer buttons, the mapping of actions to keys, joystick
// buttons, sticks and the virtual pad, the arcade-cabinet characters and the full-screen switch.
#include <cmath>
#include <memory>

#include "framework/InputDevice.h"
#include "game/FontKerning.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "game/Numbers.h"
#include "host/GlfwGame.h"

// ---- Draw state and records ----

int c_MyApp::p_ResetDraw() {
  drawScaleX = 1;
  drawScaleY = 1;
  drawRotation = 0;
  drawRed = 255;
  drawGreen = 255;
  drawBlue = 255;
  drawAlpha = 1;
  drawBlend = 1;
  return 0;
}

int c_MyApp::p_SetSize(float sx, float sy) {
  drawScaleX = sx;
  drawScaleY = sy > kNoValue ? sy : sx;
  return 0;
}

int c_MyApp::p_SetRot(float angle) {
  drawRotation = -angle;
  return 0;
}

int c_MyApp::p_Alpha(float a) {
  drawAlpha = a;
  return 0;
}

int c_MyApp::p_SetCol(float r, float g, float b, float a) {
  drawRed = r;
  drawGreen = g;
  drawBlue = b;
  if (a > kNoValue) drawAlpha = a;
  return 0;
}

int c_MyApp::p_CLS2D(float r, float g, float b, float a) {
  viewX = 0;
  viewY = 0;
  viewW = xq_Drommel_jscrw;
  viewH = xq_Drommel_jscrh;
  if (r > kNoValue) {
    clearRed = r;
    clearGreen = g;
    clearBlue = b;
    // A fill colour given without an alpha is opaque (a negative alpha would garble the fill).
    clearAlpha = a > kNoValue ? a : 1;
  }
  p_ResetDraw();
  drawCount = 0;
  return 0;
}

bool c_MyApp::AppendRecord(float kind, float x, float y, float sx, float sy, float frame) {
  if (drawCount < 0 || drawCount > kLastRecordStart) return false;
  float* r = drawList.Data() + drawCount;
  r[0] = kind;
  r[1] = x;
  r[2] = y;
  r[3] = drawRotation;
  r[4] = sx;
  r[5] = sy;
  r[6] = frame;
  r[7] = drawAlpha;
  r[10] = drawRed;
  r[11] = drawGreen;
  r[12] = drawBlue;
  r[13] = static_cast<float>(drawBlend);
  drawCount += kRecordFloats;
  return true;
}

int c_MyApp::p_DrawImg(int slot, float x, float y, int frame) {
  AppendRecord(static_cast<float>(slot), x, y, drawScaleX, drawScaleY, static_cast<float>(frame));
  return 0;
}

int c_MyApp::p_Rect(float x, float y, float w, float h) {
  AppendRecord(kNoValue, x, y, w, h, 0);
  return 0;
}

int c_MyApp::p_Oval(float x, float y, float rx, float ry) {
  AppendRecord(kOvalRecord, x, y, rx, ry, 0);
  return 0;
}

// The pen starts so that alignX / alignY place the text as documented in MyApp.h, then moves one
// advance (plus kerning) per character along the text's rotated baseline. Glyphs are drawn centred
// on the pen (the font's handle is its centre).
int c_MyApp::p_Text(float x, float y, const String& text, float alignX, float alignY) {
  const int advance = imageInfo[fontSlot * 3];
  const int lineHeight = imageInfo[fontSlot * 3 + 1];
  const int length = text.Length();

  float width = 0;
  for (int i = 0; i < length; ++i) {
    width = static_cast<float>(
        Trunc(width + static_cast<float>(advance + GameFontKerning(text.At(i))) * drawScaleX));
  }

  const double theta = drawRotation * kDegToRad;
  const double sinT = std::sin(theta);
  const double cosT = std::cos(theta);
  const double lineSpan = static_cast<double>(lineHeight) * drawScaleY;
  const double startX =
      x - cosT * width * alignX / 2 - sinT * lineSpan * (static_cast<double>(alignY) - 1) / 2;
  const double startY =
      y + sinT * width * alignX / 2 - cosT * lineSpan * (static_cast<double>(alignY) - 1) / 2;
  int penX = Trunc(startX);
  int penY = Trunc(startY);
  int line = 0;

  // The text is walked as if a space followed it, so looking one character ahead is always safe;
  // the space itself only moves the pen.
  for (int i = 0; i <= length; ++i) {
    const int c = i < length ? text.At(i) : ' ';
    if (c == '\\' && text.At(i + 1) == 'n' && i + 1 < length) {
      ++i;
      ++line;
      const double drop = line * lineSpan;
      penX = Trunc(startX + sinT * drop);
      penY = Trunc(startY + cosT * drop);
      continue;
    }
    if (c >= 33 && c <= 159)
      p_DrawImg(fontSlot, static_cast<float>(penX), static_cast<float>(penY), c - 32);
    if (c == 0) continue;
    const double step = static_cast<double>(advance + GameFontKerning(c)) * drawScaleX;
    penX = Trunc(penX + cosT * step);
    penY = Trunc(penY - sinT * step);
  }
  return 0;
}

// ---- Pointer tests ----

int c_MyApp::p_Button(int slot, float x, float y, int frame) {
  p_DrawImg(slot, x, y, frame);
  const float hw = static_cast<float>(imageInfo[slot * 3]) * imageScale * drawScaleX / 2;
  const float hh = static_cast<float>(imageInfo[slot * 3 + 1]) * imageScale * drawScaleY / 2;
  int hit = 0;
  if (mouseDown > 0) {
    for (int i = 0; i < 10; ++i) {
      const float tx = static_cast<float>(touchX[i]);
      const float ty = static_cast<float>(touchY[i]);
      if (x - hw < tx && tx < x + hw && y - hh < ty && ty < y + hh) {
        hit = 1;
        break;
      }
    }
  }
  buttonHit = hit;
  return hit;
}

bool c_MyApp::p_Button0(int slot, float x, float y, int frame) {
  p_DrawImg(slot, x, y, frame);
  const float hw = static_cast<float>(imageInfo[slot * 3]) * imageScale * drawScaleX / 2;
  const float hh = static_cast<float>(imageInfo[slot * 3 + 1]) * imageScale * drawScaleY / 2;
  const float tx = static_cast<float>(touchX[0]);
  const float ty = static_cast<float>(touchY[0]);
  return mouseDown > 0 && x - hw < tx && tx < x + hw && y - hh < ty && ty < y + hh;
}

int c_MyApp::p_MouseIn_Centered(float x, float y, float w, float h) {
  for (int i = 0; i < 10; ++i) {
    if (touchDown[i] == 0) continue;
    const float tx = static_cast<float>(touchX[i]);
    const float ty = static_cast<float>(touchY[i]);
    if (x - w / 2 < tx && tx < x + w / 2 && y - h / 2 < ty && ty < y + h / 2) return 1;
  }
  return 0;
}

int c_MyApp::p_Touch(float x, float y, float w, float h) {
  p_Rect(x, y, w, h);
  for (int i = 0; i < 10; ++i) {
    if (touchDown[i] == 0) continue;
    const float tx = static_cast<float>(touchX[i]);
    const float ty = static_cast<float>(touchY[i]);
    if (x - 6 < tx && tx < x + w + 12 && y - 6 < ty && ty < y + h + 12) return 1;
  }
  return 0;
}

// ---- Controls ----

float c_MyApp::p_StickX(int axis, int port) {
  if (port < 0) return 0;
  return xq_input_JoyX(axis, port);
}

float c_MyApp::p_StickY(int axis, int port) {
  if (port < 0) return 0;
  // The first stick reads positive downwards, like the screen.
  return axis == 0 ? -xq_input_JoyY(0, port) : xq_input_JoyY(axis, port);
}

// Keys first, then joystick buttons, then the stick, then the virtual pad. Port -1 reads keys and
// the pad only. Joystick buttons and sticks are read for ports 0-3 only: a higher port's button
// codes would fall on the touch codes.
int c_MyApp::p_PlayKey(int action, int allowStick, int port) {
  if (port < -1) return 0;
  const bool arcade = xq_Drommel_iCadeControls == 1;
  const bool joystick = port >= 0 && port <= 3;
  const bool stick = joystick && allowStick == 1 && !arcade;
  auto key = [](int code) { return xq_input_KeyDown(code); };
  auto button = [&](int b) { return joystick && xq_input_KeyDown(256 + 32 * port + b); };
  auto pad = [&](int entry) { return padState[entry] != 0 ? 1 : 0; };

  switch (action) {
    case 0:
      if (key(38) || (!arcade && key(87)) || button(9)) return 1;
      if (stick && p_StickY(0, port) < -0.4f) return 1;
      return pad(0);
    case 3:
      if (key(37) || (!arcade && key(65)) || button(8)) return 1;
      if (stick && p_StickX(0, port) < -0.4f) return 1;
      return pad(3);
    case 5:
      if (key(39) || (!arcade && key(68)) || button(10)) return 1;
      if (stick && p_StickX(0, port) > 0.4f) return 1;
      return pad(5);
    case 8:
      if (key(40) || (!arcade && key(83)) || button(11)) return 1;
      if (stick && p_StickY(0, port) > 0.4f) return 1;
      return pad(8);
    case 10:
      if (key(32) || key(13) || (!arcade && (key(90) || key(74))) || button(0)) return 1;
      return pad(10);
    case 11:
      if (key(17) || (!arcade && (key(88) || key(75))) || button(1)) return 1;
      return pad(11);
    case 12:
      if (key(16) || (!arcade && (key(67) || key(76))) || button(2)) return 1;
      return pad(12);
    case 13:
    case 14:
    case 15: {
      static constexpr int kLetters[3][2] = {{86, 73}, {66, 85}, {78, 79}};
      const int* letters = kLetters[action - 13];
      if (!arcade && (key(letters[0]) || key(letters[1]))) return 1;
      if (button(action - 10)) return 1;
      // With the arcade mapping on and no joystick, the cabinet's own pad value (2 = held) reads
      // through.
      if (arcade && port == -1) return padState[action];
      return pad(action);
    }
    case 99:
      if (key(27) || key(46) || key(8) || (!arcade && key(192))) return 1;
      if (arcade ? (button(7) || button(6) || button(14)) : (button(6) || button(7) || button(14)))
        return 1;
      return pad(16) || pad(17) || pad(19) ? 1 : 0;
    default:
      return 0;
  }
}

int c_MyApp::p_PlayKeyAll(int action, int allowStick) {
  int sum = 0;
  for (int port = 0; port < 4; ++port) sum += p_PlayKey(action, allowStick, port);
  return sum;
}

void c_MyApp::ApplyArcadeChar(int chr) {
  // Press and release letters of each pad entry.
  struct Mapping {
    char press;
    char release;
    int entry;
  };
  static constexpr Mapping kMap[] = {
      {'W', 'E', 0},  {'X', 'Z', 8},  {'A', 'Q', 3},  {'D', 'C', 5},
      {'Y', 'T', 13}, {'U', 'F', 14}, {'I', 'M', 15}, {'O', 'G', 16},
      {'H', 'R', 10}, {'J', 'N', 11}, {'K', 'P', 12}, {'L', 'V', 17},
  };
  const int upper = chr >= 'a' && chr <= 'z' ? chr - 'a' + 'A' : chr;
  for (const Mapping& m : kMap) {
    if (upper == m.press) padState[m.entry] = 2;
    if (upper == m.release) padState[m.entry] = 0;
  }
}

int c_MyApp::p_iCade(int on) {
  if (on == 1) {
    xq_input_EnableKeyboard();
    xq_Drommel_iCadeControls = 1;
    // Characters typed before the switch are not cabinet input.
    do {
      keysHeld = xq_input_GetChar();
    } while (keysHeld != 0);
  } else if (on == 0) {
    xq_input_DisableKeyboard();
    xq_Drommel_iCadeControls = 0;
    for (int i = 0; i <= 18; ++i) padState[i] = 0;
  }
  return 0;
}

// The new window size reaches the game at the next render, which reloads the assets for it.
int c_MyApp::p_FullscreenFlip() {
  XQGlfwGame* host = XQGlfwGame::Desktop();
  fullScreen = 1 - fullScreen;
  if (host == nullptr) return 0;
  const std::unique_ptr<XQGlfwVideoMode> desktop = host->GetGlfwDesktopMode();
  if (desktop == nullptr) return 0;
  if (fullScreen == 1) {
    host->SetGlfwWindow(desktop->width, desktop->height, desktop->red, desktop->green,
                        desktop->blue, 0, 0, 0, true);
  } else {
    host->SetGlfwWindow(640, 480, desktop->red, desktop->green, desktop->blue, 0, 0, 0, false);
  }
  return 0;
}
