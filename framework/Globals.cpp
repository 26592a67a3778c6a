// The framework's globals: their start values, and their release at shut-down.
#include "audio/Sound.h"
#include "framework/App.h"
#include "framework/InputDevice.h"
#include "framework/Random.h"
#include "framework/Startup.h"
#include "graphics/Graphics.h"
#include "runtime/Collect.h"

void xq_framework_Init() {
  xq_app_Release();
  xq_graphics_device.reset();
  xq_graphics_context = std::make_shared<c_GraphicsContext>();
  xq_graphics_DefaultFlags = 0;
  xq_audio_device.reset();
  xq_input_device.reset();
  xq_graphics_renderDevice = nullptr;
  xq_app_UpdateRate = 0;
  xq_asyncevent_current = nullptr;
  xq_asyncevent_sources = std::make_shared<c_Stack<c_IAsyncEventSource>>();
  xq_random_Seed = 1234;
}

void xq_std_shutdown() {
  // The app's images and sounds go first, then anything whose release was deferred, then the
  // devices they were made on.
  xq_app_Release();
  gc_collect();
  xq_graphics_renderDevice = nullptr;
  xq_graphics_context = std::make_shared<c_GraphicsContext>();
  xq_graphics_device.reset();
  xq_input_device.reset();
  xq_audio_device.reset();
  gc_collect();
}
