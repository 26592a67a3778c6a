// The game's display list: what one record holds and where in its 15 floats. The game appends
// records during an update (c_MyApp::p_DrawImg, p_Rect, p_Oval, p_Text) and replays them in
// p_OnRender; the tests read them back. All three go through DrawRecord, so the layout is written
// once.
//
//   DrawRecord r = DrawRecord::Read(list + at);  // at = 0, 15, 30 ... below drawCount
//   if (r.IsImage(Image::World)) ...
#pragma once

#include "graphics/Renderer.h"

// Marks an optional float argument as not given, the kind of a rectangle record, and the position
// of a released finger.
inline constexpr float kNoValue = -3717.0f;
// Kind of an oval record (images use their slot 0-99).
inline constexpr float kOvalRecord = -3716.0f;

inline constexpr int kRecordFloats = 15;
inline constexpr int kDrawListFloats = 37500;
// A record is appended only while drawCount is at most this, so at most 2,499 records fit.
inline constexpr int kLastRecordStart = 37484;

// One display-list record. Floats 8, 9 and 14 of a record are not used.
struct DrawRecord {
  float kind = 0;                // image slot, kNoValue (rectangle) or kOvalRecord
  float x = 0, y = 0;            // image: its handle; rectangle: left, top; oval: centre
  float rotation = 0;            // degrees
  float scaleX = 0, scaleY = 0;  // rectangle: width, height; oval: radii
  float frame = 0;
  float alpha = 0;
  float red = 0, green = 0, blue = 0;  // 0-255
  float blend = 0;                     // kBlendNormal or kBlendAdditive

  // The display list's blend modes, and the renderer's for each.
  static constexpr float kBlendNormal = 1;
  static constexpr float kBlendAdditive = 3;
  int RendererBlend() const {
    return blend == kBlendAdditive ? gxtkGraphics::kBlendAdditive : gxtkGraphics::kBlendAlpha;
  }

  bool IsRect() const { return kind == kNoValue; }
  bool IsOval() const { return kind == kOvalRecord; }
  bool IsImage(int slot) const { return kind == static_cast<float>(slot); }

  static DrawRecord Read(const float* r) {
    DrawRecord d;
    d.kind = r[0];
    d.x = r[1];
    d.y = r[2];
    d.rotation = r[3];
    d.scaleX = r[4];
    d.scaleY = r[5];
    d.frame = r[6];
    d.alpha = r[7];
    d.red = r[10];
    d.green = r[11];
    d.blue = r[12];
    d.blend = r[13];
    return d;
  }

  // Writes the used floats; the unused ones keep what they held.
  void Write(float* r) const {
    r[0] = kind;
    r[1] = x;
    r[2] = y;
    r[3] = rotation;
    r[4] = scaleX;
    r[5] = scaleY;
    r[6] = frame;
    r[7] = alpha;
    r[10] = red;
    r[11] = green;
    r[12] = blue;
    r[13] = blend;
  }
};
