// The game's drawing operations: the draw state, appending records to the display list, text in
// the game's bitmap font, and the on-screen buttons and touch areas that test the pointer where
// they are drawn.
#include <algorithm>
#include <cmath>

#include "game/FontKerning.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "game/Numbers.h"

// ---- Draw state and records ----

int c_MyApp::p_ResetDraw() {
  drawScaleX = 1;
  drawScaleY = 1;
  drawRotation = 0;
  drawRed = 255;
  drawGreen = 255;
  drawBlue = 255;
  drawAlpha = 1;
  drawBlend = static_cast<int>(DrawRecord::kBlendNormal);
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
  DrawRecord r;
  r.kind = kind;
  r.x = x;
  r.y = y;
  r.rotation = drawRotation;
  r.scaleX = sx;
  r.scaleY = sy;
  r.frame = frame;
  r.alpha = drawAlpha;
  r.red = drawRed;
  r.green = drawGreen;
  r.blue = drawBlue;
  r.blend = static_cast<float>(drawBlend);
  r.Write(drawList.Data() + drawCount);
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
  const int advance = FrameWidth(fontSlot);
  const int lineHeight = FrameHeight(fontSlot);
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

TouchRect c_MyApp::ControlArea(const TouchRect& drawn) {
  touchTargets.Add(drawn);
  if (touchMinimum <= 0) return drawn;
  return TouchArea(drawn, touchMinimum, touchTargets.Last(), touchTargets.LastCount(),
                   xq_Drommel_jscrw, xq_Drommel_jscrh);
}

int c_MyApp::p_Button(int slot, float x, float y, int frame) {
  p_DrawImg(slot, x, y, frame);
  const float hw = static_cast<float>(FrameWidth(slot)) * imageScale * drawScaleX / 2;
  const float hh = static_cast<float>(FrameHeight(slot)) * imageScale * drawScaleY / 2;
  const TouchRect area = ControlArea({x - hw, y - hh, x + hw, y + hh});
  int hit = 0;
  if (mouseDown > 0) {
    for (int i = 0; i < 10; ++i) {
      if (area.Holds(static_cast<float>(touchX[i]), static_cast<float>(touchY[i]))) {
        hit = 1;
        break;
      }
    }
  }
  return hit;
}

int c_MyApp::p_MouseIn_Centered(float x, float y, float w, float h) {
  const TouchRect area = ControlArea({x - w / 2, y - h / 2, x + w / 2, y + h / 2});
  for (int i = 0; i < 10; ++i) {
    if (touchDown[i] == 0) continue;
    if (area.Holds(static_cast<float>(touchX[i]), static_cast<float>(touchY[i]))) return 1;
  }
  return 0;
}

// The area reaches 6 units further left and up and 12 further right and down than the drawn
// rectangle; a finger's area may reach further still.
int c_MyApp::p_Touch(float x, float y, float w, float h) {
  p_Rect(x, y, w, h);
  TouchRect area = ControlArea({x, y, x + w, y + h});
  area.left = std::min(area.left, x - 6);
  area.top = std::min(area.top, y - 6);
  area.right = std::max(area.right, x + w + 12);
  area.bottom = std::max(area.bottom, y + h + 12);
  for (int i = 0; i < 10; ++i) {
    if (touchDown[i] == 0) continue;
    if (area.Holds(static_cast<float>(touchX[i]), static_cast<float>(touchY[i]))) return 1;
  }
  return 0;
}
