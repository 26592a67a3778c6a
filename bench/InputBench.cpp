// The input device's cost per update: a busy update's worth of key events and characters, and the
// joystick polling of four ports at the start of every update.
#include <benchmark/benchmark.h>

#include "framework/InputDevice.h"
#include "host/Game.h"

namespace {

// A host with four joysticks, each holding a few buttons.
class FourJoysticks : public XQGame {
 public:
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> /*joyz*/,
                    Array<bool> buttons) override {
    joyx[0] = 0.5f;
    joyy[0] = -0.5f;
    auto out = buttons.begin();
    out[port] = !out[port];
    out[port + 8] = true;
    return true;
  }
};

// 33 presses and releases, 32 characters and a mouse move, then the update's reads.
void BM_BusyUpdate(benchmark::State& state) {
  c_InputDevice input(nullptr);
  for (auto _ : state) {
    input.p_BeginUpdate();
    for (int i = 0; i < 33; ++i) input.p_KeyEvent(kEventKeyDown, 48 + i);
    for (int i = 0; i < 32; ++i) input.p_KeyEvent(kEventKeyChar, 'a' + i % 26);
    input.p_MouseEvent(kEventMouseMove, -1, 100, 200);
    int hits = 0;
    for (int i = 0; i < 33; ++i) hits += input.p_KeyHit(48 + i);
    while (input.p_GetChar() != 0) ++hits;
    benchmark::DoNotOptimize(hits);
    for (int i = 0; i < 33; ++i) input.p_KeyEvent(kEventKeyUp, 48 + i);
    input.p_EndUpdate();
  }
}
BENCHMARK(BM_BusyUpdate);

void BM_PollFourJoysticks(benchmark::State& state) {
  FourJoysticks host;
  c_InputDevice input(&host);
  for (auto _ : state) {
    input.p_BeginUpdate();
    benchmark::DoNotOptimize(input.p_JoyDown(256, 3));
    input.p_EndUpdate();
  }
}
BENCHMARK(BM_PollFourJoysticks);

}  // namespace
