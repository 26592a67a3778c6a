// The drawing interface the game uses: the xq_graphics_ functions over one graphics context, and
// images (c_Image) cut into frames (c_Frame). The context keeps the colour, alpha, blend mode,
// scissor rectangle and a transform with a 32-level matrix stack, and hands them to the renderer
// (gxtkGraphics) as they change; the matrix goes over lazily, at the next drawing call.
//
//   xq_graphics_SetGraphicsDevice(renderer);            // once, at start-up
//   auto ball = xq_graphics_LoadImage("ball.png", 1, c_Image::HandleCentred);  // null if missing
//   // each frame, between the renderer's BeginRender and EndRender:
//   xq_graphics_BeginRender();                          // white, alpha 1, blend 0, no clip,
//   identity xq_graphics_SetColor(255, 200, 0); xq_graphics_DrawImage2(ball, 320, 240, 45, 2, 2,
//   0);   // rotated and scaled about its handle xq_graphics_EndRender();
//
// Outside a frame, state calls only update the context and drawing calls do nothing. A null image,
// a frame index outside the image, a push beyond the stack's 32 levels or a pop from an empty
// stack never touch memory they should not (see the functions). The only error raised is
// "Image frame outside surface", through xqError, for a grid that does not fit its file.
#pragma once

#include <memory>

#include "graphics/Renderer.h"
#include "graphics/Surface.h"
#include "runtime/Array.h"
#include "runtime/String.h"

// The top-left pixel of one frame in its image's surface.
class c_Frame {
 public:
  int x = 0;
  int y = 0;
  c_Frame* m_new(int x, int y);
};

class c_Image {
 public:
  // Flags, given when the image is made.
  static constexpr int HandleCentred = 1;     // handle at the frame's centre (the bit is not kept)
  static constexpr int PadX = 2;              // 1-pixel border left and right of every frame
  static constexpr int PadY = 4;              // 1-pixel border above and below every frame
  static constexpr int WholeSurface = 65536;  // set by the front end: one frame, the whole surface

  std::shared_ptr<gxtkSurface> surface;
  int width = 0;  // size of one frame, padding removed
  int height = 0;
  Array<c_Frame> frames;
  int flags = 0;
  float handleX = 0;  // the point of the frame that lands on the drawing position
  float handleY = 0;
  std::shared_ptr<c_Image> source;  // image whose surface this one shares; null for loaded images

  c_Image* m_new() { return this; }
  // frameCount frames side by side in one row. A frame count below 1 gives an image with no frames.
  c_Image* p_Init(std::shared_ptr<gxtkSurface> surface, int frameCount, int flags);
  // frameCount cells of frameWidth x frameHeight, left to right then top to bottom, inside the
  // source rectangle (srcX, srcY, srcWidth, srcHeight) starting at (x, y). A cell that does not fit
  // ends the program with "Image frame outside surface".
  c_Image* p_Init2(std::shared_ptr<gxtkSurface> surface, int x, int y, int frameWidth,
                   int frameHeight, int frameCount, int flags, std::shared_ptr<c_Image> source,
                   int srcX, int srcY, int srcWidth, int srcHeight);
  int p_ApplyFlags(int flags);
  // Sets the handle; HandleCentred no longer applies.
  int p_SetHandle(float x, float y);
};

// The one graphics context: current state and the matrix stack.
class c_GraphicsContext {
 public:
  static constexpr int kStackLevels = 32;

  std::shared_ptr<c_Image> defaultFont;
  // The default font file was tried with a graphics device present and could not be loaded; it is
  // not read again for the rest of the run.
  bool defaultFontMissing = false;
  std::shared_ptr<c_Image> font;
  int firstChar = 0;
  int stackTop = 0;  // floats in use in matrixStack (6 per saved matrix)
  float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  int transformed = 0;
  int matrixDirty = 0;
  float red = 0, green = 0, blue = 0;
  float alpha = 0;
  int blend = 0;
  float scissorX = 0, scissorY = 0, scissorWidth = 0, scissorHeight = 0;
  Array<float> matrixStack = Array<float>(kStackLevels * 6);
  // Pushes refused because the stack was full; the matching pops are absorbed by this count so
  // that the levels below stay paired.
  int overflow = 0;

  c_GraphicsContext* m_new() { return this; }
  // Sends the matrix to the render device if it changed since the last drawing call.
  int p_Validate();
};

// The renderer, set once at start-up.
extern std::shared_ptr<gxtkGraphics> xq_graphics_device;
// The renderer while a frame is being drawn, null otherwise.
extern gxtkGraphics* xq_graphics_renderDevice;
extern std::shared_ptr<c_GraphicsContext> xq_graphics_context;
// Flags LoadImage uses when none are given.
extern int xq_graphics_DefaultFlags;

int xq_graphics_SetGraphicsDevice(std::shared_ptr<gxtkGraphics> device);
// The renderer's window size as read at the last frame start (0 without a renderer).
int xq_graphics_DeviceWidth();
int xq_graphics_DeviceHeight();
int xq_graphics_BeginRender();
int xq_graphics_EndRender();

int xq_graphics_SetColor(float red, float green, float blue);
int xq_graphics_SetAlpha(float alpha);
int xq_graphics_SetBlend(int mode);
int xq_graphics_SetScissor(float x, float y, float width, float height);
int xq_graphics_Cls(float red, float green, float blue);

int xq_graphics_SetMatrix(float a, float b, float c, float d, float tx, float ty);
int xq_graphics_SetMatrix2(const Array<float>& m);
// Applies the given matrix first, then the current one.
int xq_graphics_Transform(float a, float b, float c, float d, float tx, float ty);
int xq_graphics_Transform2(const Array<float>& m);
int xq_graphics_Translate(float x, float y);
int xq_graphics_Scale(float x, float y);
// Degrees; with y down a positive angle turns counter-clockwise on screen.
int xq_graphics_Rotate(float angle);
int xq_graphics_PushMatrix();
int xq_graphics_PopMatrix();

int xq_graphics_DrawRect(float x, float y, float width, float height);
int xq_graphics_DrawLine(float x1, float y1, float x2, float y2);
// (x, y) is the centre.
int xq_graphics_DrawEllipse(float x, float y, float xRadius, float yRadius);
// The frame at its pixel size, its handle on (x, y), in the current transform.
int xq_graphics_DrawImage(const std::shared_ptr<c_Image>& image, float x, float y, int frame);
// The frame rotated (degrees) and scaled about its handle, the handle on (x, y).
int xq_graphics_DrawImage2(const std::shared_ptr<c_Image>& image, float x, float y, float rotation,
                           float scaleX, float scaleY, int frame);

// A strip of frameCount frames side by side; null when the file cannot be loaded or frameCount < 1.
std::shared_ptr<c_Image> xq_graphics_LoadImage(const String& path, int frameCount = 1,
                                               int flags = xq_graphics_DefaultFlags);
// A grid of frameWidth x frameHeight cells; null when the file cannot be loaded or a count or size
// is below 1.
std::shared_ptr<c_Image> xq_graphics_LoadImage2(const String& path, int frameWidth, int frameHeight,
                                                int frameCount,
                                                int flags = xq_graphics_DefaultFlags);
// A null font selects the framework's font "dovu_font.png" (loaded on first need) with first
// character 32.
int xq_graphics_SetFont(std::shared_ptr<c_Image> font, int firstChar);
