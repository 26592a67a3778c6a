// XQLoopGame: the update schedule and the step of one display frame.
#include "host/LoopGame.h"

#include <utility>

namespace {
constexpr int kMaxUpdatesPerFrame = 4;
}  // namespace

void XQLoopGame::SetUpdateRate(int hertz) {
  XQGame::SetUpdateRate(hertz);
  if (hertz == 0) return;
  _updatePeriod = 1.0 / hertz;
  _nextUpdate = Now() + _updatePeriod;
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
  _wait = Wait::kNothing;
  PollEvents();
  const XQWindowState window = WindowState();
  if (!window.open) return false;

  if (window.iconified) {
    // Also when focus loss suspended the game first, as minimising usually does.
    _iconified = true;
    SuspendGame();
  } else if (window.active) {
    if (_suspended) {
      _iconified = false;
      ResumeGame();
      _nextUpdate = Now();
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

  if (_nextUpdate - Now() > 0) {
    _wait = Wait::kUpdate;
    return true;
  }

  bool caughtUp = false;
  for (int i = 0; i < kMaxUpdatesPerFrame && !caughtUp; ++i) {
    _nextUpdate += _updatePeriod;
    UpdateGame();
    caughtUp = _updateRate == 0 || _nextUpdate - Now() > 0;
  }

  RenderGame();

  if (!caughtUp) _nextUpdate = Now();
  return true;
}

void XQLoopGame::RunBlocking(const std::function<void()>& waitEvents,
                             const std::function<void(double)>& sleep) {
  while (Step()) {
    switch (_wait) {
      case Wait::kNothing:
        break;
      case Wait::kEvent:
        waitEvents();
        break;
      case Wait::kUpdate:
        if (const double delay = _nextUpdate - Now(); delay > 0) sleep(delay);
        break;
    }
  }
}
