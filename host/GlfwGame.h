// XQGlfwGame: the desktop host over the GLFW 2 adapter (host/Glfw2.h): the window, the clock, the
// fixed-period main loop, input translation and the loaders of image and audio data.
// XQKestroGame adds the process start-up (Main).
//
// Definitions are spread by concern: GlfwGame.cpp (window and loop), InputTranslation.cpp (key,
// character, mouse and joystick callbacks), ImageData.cpp (LoadImageData), AudioData.cpp
// (LoadAudioData), KestroGame.cpp (Main).
#pragma once

#include <memory>

#include "host/Game.h"

// A video mode: size and bits per colour channel.
class XQGlfwVideoMode {
 public:
  int width = 0;
  int height = 0;
  int red = 0;
  int green = 0;
  int blue = 0;
};

// Counts the windows (and with them OpenGL contexts) opened so far. Textures remember the value they
// were made under and are made again when it has changed; 0 means no context has ever existed.
extern int glfwGraphicsSeq;

class XQGlfwGame : public XQGame {
 public:
  XQGlfwGame();
  ~XQGlfwGame() override;

  static XQGlfwGame* _glfwGame;

  void SetUpdateRate(int hertz) override;
  int Millisecs() override;
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override;
  void OpenUrl(const String& url) override;
  void SetMouseVisible(bool visible) override;
  String PathToFilePath(const String& path) override;

  // Decoded 8-bit pixels (format = bytes per pixel, 1 to 4) or null; never raises.
  virtual std::unique_ptr<unsigned char[]> LoadImageData(const String& path, int* width,
                                                         int* height, int* format);
  // Decoded PCM (format = bytes per sample, 1 or 2) or null; never raises.
  virtual std::unique_ptr<unsigned char[]> LoadAudioData(const String& path, int* length,
                                                         int* channels, int* format, int* hertz);
  virtual void SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                             int depth, int stencil, bool fullscreen);
  virtual void Run();

  std::unique_ptr<XQGlfwVideoMode> GetGlfwDesktopMode();
  Array<std::shared_ptr<XQGlfwVideoMode>> GetGlfwVideoModes();

  // GLFW callbacks; they reach the host through _glfwGame.
  static int TransKey(int glfwKey);
  static int KeyToChar(int code);
  static void OnKey(int key, int action);
  static void OnChar(int chr, int action);
  static void OnMouseButton(int button, int action);
  static void OnMousePos(int x, int y);
  static int OnWindowClose();

 protected:
  bool _iconified = false;
  double _nextUpdate = 0;
  double _updatePeriod = 0;
};

class XQKestroGame : public XQGlfwGame {
 public:
  // The start-up sequence; returns the process status.
  static int Main(int argc, char** argv);
};
