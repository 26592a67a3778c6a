// XQLoopGame: the fixed-period schedule of a host and the frame as one step, on any platform. A
// driver calls Step once per display frame (the desktop host through RunBlocking, a browser host
// from its frame callback); Step never sleeps or blocks, and leaves in NextWait what the driver may
// wait for before the next step.
//
// The schedule runs a fixed number of updates per second and renders one frame per step. At most 4
// updates run before a frame; a backlog beyond that is dropped (the schedule restarts from now), so
// a slow machine slows the game down instead of freezing it. While the window is minimised or
// without focus the game is suspended: it is no longer updated, and each step renders once unless
// the window is minimised.
#pragma once

#include <bitset>
#include <functional>

#include "host/Game.h"

class XQLoopGame : public XQGame {
 public:
  // What the driver may wait for between two steps.
  enum class Wait {
    kNothing,  // step again at once
    kEvent,    // nothing is due until an event arrives (suspended, or no update rate)
    kUpdate,   // the next update is due at NextUpdate()
  };

  void SetUpdateRate(int hertz) override;
  // Passes the event on, keeping count of the keys held down.
  void KeyEvent(int event, int data) override;
  // Lets go of every key held down (a key up each): a platform calls it where the key's own
  // release would be lost (a new window, full screen, the page losing focus).
  void ReleaseKeys();

  // Delivers events, suspends or resumes the game with the window's state, runs the updates that
  // are due and renders. False when the window is gone (nothing else happened then).
  bool Step();
  Wait NextWait() const { return _wait; }
  // When the next update is due, in Now()'s seconds.
  double NextUpdate() const { return _nextUpdate; }

  // The driver of a platform that owns its thread: steps until the window is gone, and between
  // steps blocks in `waitEvents` while nothing is due before an event and sleeps (`sleep`, in
  // seconds) until the next update when it is not yet due.
  void RunBlocking(const std::function<void()>& waitEvents,
                   const std::function<void(double)>& sleep);

 protected:
  bool _iconified = false;
  double _nextUpdate = 0;
  double _updatePeriod = 0;
  Wait _wait = Wait::kNothing;

 private:
  std::bitset<512> _held;  // key codes held down
};
