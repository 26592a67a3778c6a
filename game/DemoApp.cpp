// The stand-in app's updates and frames.
#include "game/DemoApp.h"

#include <cmath>

#include "graphics/Graphics.h"

int c_DemoApp::p_OnCreate() {
  xq_app_SetUpdateRate(60);
  return 0;
}

int c_DemoApp::p_OnSuspend() {
  xq_app_SetUpdateRate(5);
  return 0;
}

int c_DemoApp::p_OnResume() {
  xq_app_SetUpdateRate(60);
  return 0;
}

int c_DemoApp::p_OnUpdate() {
  ++updates;
  ballX += ballSpeed;
  const float width = static_cast<float>(xq_graphics_DeviceWidth());
  if (ballX < 0 || ballX > width) {
    ballSpeed = -ballSpeed;
    ballX = std::fmin(std::fmax(ballX, 0.0f), width);
  }
  return 0;
}

int c_DemoApp::p_OnRender() {
  const float width = static_cast<float>(xq_graphics_DeviceWidth());
  const float height = static_cast<float>(xq_graphics_DeviceHeight());
  xq_graphics_Cls(24, 28, 48);

  // A field of points.
  xq_graphics_SetColor(120, 140, 200);
  if (gxtkGraphics* device = xq_graphics_renderDevice) {
    for (int i = 0; i < 200; ++i) {
      const float x = std::fmod(i * 97.0f + updates * 0.5f, width);
      const float y = std::fmod(i * 57.0f, height * 0.6f);
      device->DrawPoint(x, y);
    }
  }

  // Ground and a fan of lines.
  xq_graphics_SetColor(80, 200, 120);
  xq_graphics_DrawRect(0, height - 60, width, 60);
  xq_graphics_SetColor(255, 255, 255);
  for (int i = 0; i <= 16; ++i) {
    xq_graphics_DrawLine(width / 2, height - 60, i * width / 16, height);
  }

  // The ball and its shadow.
  const float bounce = std::fabs(std::sin(updates * 0.08f)) * 120;
  xq_graphics_SetAlpha(0.4f);
  xq_graphics_SetColor(0, 0, 0);
  xq_graphics_DrawEllipse(ballX, height - 56, 24, 6);
  xq_graphics_SetAlpha(1);
  xq_graphics_SetColor(255, 190, 40);
  xq_graphics_DrawEllipse(ballX, height - 84 - bounce, 24, 24);
  return 0;
}
