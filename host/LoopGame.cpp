// XQLoopGame: the update schedule and the step of one display frame.
#include "host/LoopGame.h"

#include <cstdint>
#include <utility>

namespace {
constexpr int kMaxUpdatesPerFrame = 4;
}  // namespace

XQLoopGame::XQLoopGame(HostPlatform& platform) : _platform(&platform), _ownPlatform(platform) {}
XQLoopGame::~XQLoopGame() = default;

void XQLoopGame::SetPlatform(HostPlatform* platform) {
  _platform = platform ? platform : &_ownPlatform;
}

void XQLoopGame::SetUpdateRate(int hertz) {
  XQGame::SetUpdateRate(hertz);
  if (hertz == 0) return;
  _updatePeriod = 1.0 / hertz;
  _nextUpdate = _platform->Now() + _updatePeriod;
}

int XQLoopGame::Millisecs() {
  // Truncated toward zero, then wrapped into 32 bits like the counter it stands for.
  const auto millis = static_cast<std::int64_t>(_platform->Now() * 1000.0);
  return static_cast<int>(static_cast<std::uint32_t>(millis));
}

void XQLoopGame::KeyEvent(int event, int data) {
  if (data >= 0 && static_cast<size_t>(data) < _held.size()) {
    if (event == kEventKeyDown) _held.set(static_cast<size_t>(data));
    if (event == kEventKeyUp) _held.reset(static_cast<size_t>(data));
  }
  XQGame::KeyEvent(event, data);
}

void XQLoopGame::ReleaseKeys() {
  const std::bitset<512> held = std::exchange(_held, {});
  for (size_t key = 0; key < held.size(); ++key) {
    if (held[key]) XQGame::KeyEvent(kEventKeyUp, static_cast<int>(key));
  }
}

bool XQLoopGame::Step() {
  HostPlatform& platform = *_platform;
  _wait = Wait::kNothing;
  platform.PollEvents();
  if (!platform.GetWindowParam(kWindowOpened)) return false;

  if (platform.GetWindowParam(kWindowIconified)) {
    // Also when focus loss suspended the game first, as minimising usually does.
    _iconified = true;
    SuspendGame();
  } else if (platform.GetWindowParam(kWindowActive)) {
    if (_suspended) {
      _iconified = false;
      ResumeGame();
      _nextUpdate = platform.Now();
    }
  } else {
    // Shown but without focus: suspended, still drawn.
    _iconified = false;
    SuspendGame();
  }

  if (_updateRate == 0 || _suspended) {
    if (!_iconified) RenderGame();
    _wait = Wait::kEvent;
    return true;
  }

  if (_nextUpdate - platform.Now() > 0) {
    _wait = Wait::kUpdate;
    return true;
  }

  bool caughtUp = false;
  for (int i = 0; i < kMaxUpdatesPerFrame && !caughtUp; ++i) {
    _nextUpdate += _updatePeriod;
    UpdateGame();
    caughtUp = _updateRate == 0 || _nextUpdate - platform.Now() > 0;
  }

  RenderGame();

  if (!caughtUp) _nextUpdate = platform.Now();
  return true;
}
