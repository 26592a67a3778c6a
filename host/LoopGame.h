// XQLoopGame: the fixed-period schedule of a host and the frame as one step, on any platform. A
// driver calls Step once per display frame (the desktop host from its loop, a browser host from its
// frame callback); Step never sleeps or blocks, and leaves in NextWait what the driver may wait for
// before the next step.
//
// The schedule runs a fixed number of updates per second and renders one frame per step. At most 4
// updates run before a frame; a backlog beyond that is dropped (the schedule restarts from now), so
// a slow machine slows the game down instead of freezing it. While the window is minimised or
// without focus the game is suspended: it is no longer updated, and each step renders once unless
// the window is minimised.
#pragma once

#include <bitset>

#include "host/Game.h"
#include "host/HostPlatform.h"

class XQLoopGame : public XQGame {
 public:
  // What the driver may wait for between two steps.
  enum class Wait {
    kNothing,  // step again at once
    kEvent,    // nothing is due until an event arrives (suspended, or no update rate)
    kUpdate,   // the next update is due at NextUpdate()
  };

  // `platform` is also the one SetPlatform(nullptr) goes back to.
  explicit XQLoopGame(HostPlatform& platform);
  ~XQLoopGame() override;

  void SetUpdateRate(int hertz) override;
  int Millisecs() override;
  // Passes the event on, keeping count of the keys held down.
  void KeyEvent(int event, int data) override;
  // Lets go of every key held down (a key up each): a platform calls it where the key's own
  // release would be lost (a new window, full screen, the page losing focus).
  void ReleaseKeys();

  // Delivers events, suspends or resumes the game with the window's state, runs the updates that
  // are due and renders. False when the window is gone (nothing else happened then).
  bool Step();
  Wait NextWait() const { return _wait; }
  // When the next update is due, in the platform's seconds.
  double NextUpdate() const { return _nextUpdate; }

  // The clock and event source of the loop; null selects the host's own. Tests pass their own.
  void SetPlatform(HostPlatform* platform);
  HostPlatform& Platform() { return *_platform; }

 protected:
  bool _iconified = false;
  double _nextUpdate = 0;
  double _updatePeriod = 0;
  HostPlatform* _platform;
  Wait _wait = Wait::kNothing;

 private:
  HostPlatform& _ownPlatform;
  std::bitset<512> _held;  // key codes held down
};
