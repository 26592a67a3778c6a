// The browser host's side in JavaScript (host/BrowserGame.cpp calls the drommel_js_ functions): the
// frame loop on requestAnimationFrame, the page's input events passed to the game, the canvas kept
// at its CSS size times the device's pixel ratio, full screen, the audio context started by the
// first key, click or tap, the IndexedDB synchronisation after saves, and the end of the program
// (window.DrommelPage shows what the player sees then).
//
// Every call into the program goes through Drommel.call: when the program ends (the C++ side
// throws 'unwind' after drommel_js_end) or fails (a WebAssembly trap, an uncaught exception),
// nothing is called any more and the frame loop stops.

mergeInto(LibraryManager.library, {
  $Drommel__deps: ['$AL'],
  $Drommel: {
    stopped: false,
    canvas: null,
    fingers: [],          // pointerId of the finger in each touch slot, or undefined
    wantFullScreen: false,
    retryFullScreen: false,
    syncing: false,
    syncAgain: false,
    afterSync: null,      // called when the synchronisations under way are done

    page: function(name, arg) {
      var page = typeof window !== 'undefined' ? window.DrommelPage : undefined;
      if (page && typeof page[name] === 'function') {
        page[name](arg);
      } else if (name === 'fatal') {
        console.error(arg);
      }
    },

    // A call into the program; false when it has ended or failed.
    call: function(f) {
      if (Drommel.stopped) return false;
      try {
        f();
        return true;
      } catch (e) {
        if (e === 'unwind' || (typeof ExitStatus !== 'undefined' && e instanceof ExitStatus)) {
          Drommel.stopped = true;
        } else {
          Drommel.fail(e);
        }
        return false;
      }
    },

    fail: function(e) {
      if (Drommel.stopped) return;
      Drommel.stopped = true;
      var text = e && e.message ? e.message : String(e);
      if (e instanceof WebAssembly.RuntimeError) text = 'Kestro Runtime Error : ' + text;
      Drommel.page('fatal', text);
    },

    // The canvas's drawing buffer at its CSS size times the pixel ratio (at least 1 x 1).
    fitCanvas: function() {
      var canvas = Drommel.canvas;
      var ratio = window.devicePixelRatio || 1;
      var rect = canvas.getBoundingClientRect();
      var width = Math.max(1, Math.round(rect.width * ratio));
      var height = Math.max(1, Math.round(rect.height * ratio));
      if (canvas.width !== width) canvas.width = width;
      if (canvas.height !== height) canvas.height = height;
    },

    // An event's position in drawing-buffer pixels.
    position: function(event) {
      var canvas = Drommel.canvas;
      var rect = canvas.getBoundingClientRect();
      var x = rect.width > 0 ? (event.clientX - rect.left) * canvas.width / rect.width : 0;
      var y = rect.height > 0 ? (event.clientY - rect.top) * canvas.height / rect.height : 0;
      return [x, y];
    },

    frame: function(time) {
      if (Drommel.stopped) return;
      Drommel.fitCanvas();
      var go = 0;
      if (Drommel.call(function() { go = _drommel_frame(time); }) && go) {
        requestAnimationFrame(Drommel.frame);
      }
    },

    key: function(event, down) {
      var character = 0;
      if (down && !event.ctrlKey && !event.metaKey && !event.altKey && event.key &&
          event.key.length <= 2) {
        var cp = event.key.codePointAt(0);
        // One character of the game's 16-bit text: characters above 0xFFFF would read as
        // navigation keys.
        if (cp !== undefined && String.fromCodePoint(cp) === event.key && cp >= 32 &&
            cp <= 0xFFFF) {
          character = cp;
        }
      }
      var delivered = 0;
      Drommel.call(function() {
        var top = stackSave();
        delivered = _drommel_key(down ? 1 : 0, allocateUTF8OnStack(event.code || ''),
                                 event.keyCode || 0, character);
        stackRestore(top);
      });
      // The page never scrolls or moves focus on the game's keys; browser shortcuts stay the
      // browser's (with a modifier, and F3, F5, F6, F7, F12).
      var browserKey = event.ctrlKey || event.metaKey || event.altKey ||
          /^F(3|5|6|7|12)$/.test(event.code || event.key || '');
      if (delivered && !browserKey && !Drommel.stopped) event.preventDefault();
    },

    // A user gesture: the audio starts and a waiting full-screen request is made.
    gesture: function() {
      for (var id in AL.contexts) {
        var audio = AL.contexts[id].audioCtx;
        if (audio && audio.state === 'suspended') audio.resume().catch(function() {});
      }
      if (Drommel.retryFullScreen && !Drommel.stopped) {
        Drommel.retryFullScreen = false;
        Drommel.requestFullScreen(false);
      }
    },

    mouseButton: function(button) {
      // The page numbers left, middle, right 0, 1, 2; the game left, right, middle.
      return button === 0 ? 0 : button === 2 ? 1 : button === 1 ? 2 : -1;
    },

    pointer: function(kind, event, id, domEvent) {
      var at = Drommel.position(domEvent);
      Drommel.call(function() { _drommel_pointer(kind, event, id, at[0], at[1]); });
    },

    fingerSlot: function(pointerId, claim) {
      var fingers = Drommel.fingers;
      for (var i = 0; i < fingers.length; ++i) {
        if (fingers[i] === pointerId) return i;
      }
      if (!claim) return -1;
      for (var j = 0; j < 32; ++j) {
        if (fingers[j] === undefined) {
          fingers[j] = pointerId;
          return j;
        }
      }
      return -1;
    },

    fullScreenElement: function() {
      return document.fullscreenElement || document.webkitFullscreenElement || null;
    },

    // retry: when the browser refuses (no user gesture yet), try again at the next gesture.
    requestFullScreen: function(retry) {
      var root = document.documentElement;
      var request = root.requestFullscreen || root.webkitRequestFullscreen;
      if (!request) {
        Drommel.wantFullScreen = false;
        return;
      }
      var refused = function() {
        if (retry) {
          Drommel.retryFullScreen = true;
        } else if (!Drommel.fullScreenElement()) {
          Drommel.wantFullScreen = false;
        }
      };
      try {
        var result = request.call(root, {navigationUI: 'hide'});
        if (result && result.catch) result.catch(refused);
      } catch (e) {
        refused();
      }
    },

    install: function() {
      var canvas = Drommel.canvas;
      canvas.style.touchAction = 'none';
      window.addEventListener('keydown', function(e) { Drommel.key(e, true); }, true);
      window.addEventListener('keyup', function(e) {
        Drommel.key(e, false);
        Drommel.gesture();
      }, true);
      // Keys held while the page loses focus would never see their release.
      window.addEventListener('blur', function() {
        Drommel.call(function() { _drommel_release_keys(); });
      });
      ['mousedown', 'pointerup', 'touchend', 'click'].forEach(function(name) {
        window.addEventListener(name, Drommel.gesture, true);
      });

      canvas.addEventListener('mousedown', function(e) {
        var button = Drommel.mouseButton(e.button);
        if (button >= 0) Drommel.pointer(0, 4, button, e);
        e.preventDefault();
      });
      window.addEventListener('mouseup', function(e) {
        var button = Drommel.mouseButton(e.button);
        if (button >= 0) Drommel.pointer(0, 5, button, e);
      });
      window.addEventListener('mousemove', function(e) { Drommel.pointer(0, 6, -1, e); });

      // Each finger (or pen) is a touch of its own, numbered from 0 in the order they came down.
      canvas.addEventListener('pointerdown', function(e) {
        if (e.pointerType === 'mouse') return;
        e.preventDefault();
        var slot = Drommel.fingerSlot(e.pointerId, true);
        if (slot < 0) return;
        try { canvas.setPointerCapture(e.pointerId); } catch (err) {}
        Drommel.pointer(1, 7, slot, e);
      });
      canvas.addEventListener('pointermove', function(e) {
        if (e.pointerType === 'mouse') return;
        var slot = Drommel.fingerSlot(e.pointerId, false);
        if (slot >= 0) Drommel.pointer(1, 9, slot, e);
      });
      var lift = function(e) {
        if (e.pointerType === 'mouse') return;
        var slot = Drommel.fingerSlot(e.pointerId, false);
        if (slot < 0) return;
        Drommel.fingers[slot] = undefined;
        Drommel.pointer(1, 8, slot, e);
      };
      canvas.addEventListener('pointerup', lift);
      canvas.addEventListener('pointercancel', lift);
      canvas.addEventListener('contextmenu', function(e) { e.preventDefault(); });

      document.addEventListener('visibilitychange', function() {
        Drommel.call(function() { _drommel_visibility(document.hidden ? 1 : 0); });
      });
      var fullScreenChanged = function() {
        Drommel.wantFullScreen = !!Drommel.fullScreenElement();
        Drommel.retryFullScreen = false;
      };
      document.addEventListener('fullscreenchange', fullScreenChanged);
      document.addEventListener('webkitfullscreenchange', fullScreenChanged);

      canvas.addEventListener('webglcontextlost', function(e) {
        // Keeps the context restorable.
        e.preventDefault();
      });
      canvas.addEventListener('webglcontextrestored', function() {
        Drommel.call(function() { _drommel_context_restored(); });
      });
      requestAnimationFrame(Drommel.frame);
    },

    // Writes the IndexedDB folder out; one synchronisation at a time, one more after it when saves
    // came in meanwhile. A failure prints one line and play goes on.
    sync: function(done) {
      if (Drommel.syncing) {
        Drommel.syncAgain = true;
        if (done) Drommel.afterSync = done;
        return;
      }
      Drommel.syncing = true;
      FS.syncfs(false, function(error) {
        Drommel.syncing = false;
        if (error) {
          var why = error.message || (error.errno !== undefined ? 'error ' + error.errno : error);
          err('State not stored in the browser: ' + why + ' (play goes on)');
        }
        var next = Drommel.afterSync;
        Drommel.afterSync = null;
        if (Drommel.syncAgain) {
          Drommel.syncAgain = false;
          Drommel.sync(done || next);
        } else if (done || next) {
          (done || next)();
        }
      });
    },
  },

  drommel_js_start__deps: ['$Drommel'],
  drommel_js_start: function() {
    Drommel.canvas = Module['canvas'] || document.getElementById('canvas');
    Drommel.fitCanvas();
    Drommel.install();
  },

  drommel_js_fit_canvas__deps: ['$Drommel'],
  drommel_js_fit_canvas: function() {
    Drommel.canvas = Module['canvas'] || document.getElementById('canvas');
    Drommel.fitCanvas();
  },

  drommel_js_set_full_screen__deps: ['$Drommel'],
  drommel_js_set_full_screen: function(on) {
    Drommel.wantFullScreen = !!on;
    Drommel.retryFullScreen = false;
    if (on) {
      if (!Drommel.fullScreenElement()) Drommel.requestFullScreen(true);
    } else if (Drommel.fullScreenElement()) {
      var exit = document.exitFullscreen || document.webkitExitFullscreen;
      try {
        var result = exit.call(document);
        if (result && result.catch) result.catch(function() {});
      } catch (e) {}
    }
    return 1;
  },

  drommel_js_full_screen__deps: ['$Drommel'],
  drommel_js_full_screen: function() {
    return Drommel.wantFullScreen ? 1 : 0;
  },

  drommel_js_hidden: function() {
    return typeof document !== 'undefined' && document.hidden ? 1 : 0;
  },

  drommel_js_holds_lock: function() {
    return Module['drommelHoldsLock'] ? 1 : 0;
  },

  drommel_js_sync__deps: ['$Drommel'],
  drommel_js_sync: function() {
    Drommel.sync(null);
  },

  // The program has ended (status 0) or failed (message): no more frames or events; the page is
  // told once the saved state is synchronised. Unwinds the program's stack, never returns.
  drommel_js_end__deps: ['$Drommel'],
  drommel_js_end: function(status, message) {
    var text = message ? UTF8ToString(message) : '';
    if (!Drommel.stopped) {
      Drommel.stopped = true;
      if (status === 0) {
        Drommel.sync(function() { Drommel.page('ended'); });
      } else {
        Drommel.page('fatal', text);
        Drommel.sync(null);
      }
    }
    throw 'unwind';
  },

  drommel_js_no_webgl__deps: ['$Drommel'],
  drommel_js_no_webgl: function() {
    Drommel.stopped = true;
    Drommel.page('noWebGL');
  },
});
