// c_DemoApp: a small stand-in app that exercises the host, the loop and the renderer until the game
// object takes its place. Every frame draws points, lines, rectangles and ovals; a ball crosses the
// window at 60 updates per second, and stops while the window is minimised or without focus.
#pragma once

#include "framework/App.h"

class c_DemoApp : public c_App {
 public:
  int p_OnCreate() override;
  int p_OnSuspend() override;
  int p_OnResume() override;
  int p_OnUpdate() override;
  int p_OnRender() override;

  int updates = 0;
  float ballX = 0;
  float ballSpeed = 4;
};
