// The browser host's side in JavaScript (BrowserGame.cpp calls the drommel_js_ functions): the
// frame loop on requestAnimationFrame, the page's input events passed to the game, the canvas kept
// at its CSS size times the device's pixel ratio (with the safe-area insets measured), full screen
// (landscape on a phone), the keyboard taken by a click or tap, the audio context started by the
// first key, click or tap, the lost WebGL context, the saved state read from and written to
// IndexedDB, and the end of the program (window.DrommelPage shows what the player sees then).
//
// Every call into the program goes through Drommel.call: when the program ends (the C++ side
// throws 'unwind' after drommel_js_end) or fails (a WebAssembly trap, an uncaught exception),
// nothing is called any more and the frame loop stops.

mergeInto(LibraryManager.library, {
  $Drommel__deps: ['$AL'],
  $Drommel: {
    // What drommel_pointer takes: the kind of pointer, and the event codes of host/GameDelegate.h
    // (c_XQGameEvent).
    POINTER: {mouse: 0, finger: 1},
    EVENT: {mouseDown: 4, mouseUp: 5, mouseMove: 6, touchDown: 7, touchUp: 8, touchMove: 9},

    stopped: false,
    canvas: null,
    fingers: [],          // pointerId of the finger in each touch slot, or undefined
    wantFullScreen: false,
    retryFullScreen: false,
    insets: [0, 0, 0, 0], // the page's safe-area insets (left, top, right, bottom), buffer pixels
    pixelsPerPoint: 1,    // drawing-buffer pixels per CSS pixel
    safeProbe: null,      // an invisible element padded by the safe-area insets

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
      Drommel.measureSafeArea(rect);
    },

    // The notch's and the home indicator's strips (env(safe-area-inset-*)), in drawing-buffer
    // pixels: the game keeps its picture clear of them.
    measureSafeArea: function(rect) {
      var probe = Drommel.safeProbe;
      if (!probe) {
        probe = Drommel.safeProbe = document.createElement('div');
        probe.setAttribute('aria-hidden', 'true');
        probe.style.cssText = 'position:fixed;left:0;top:0;width:0;height:0;visibility:hidden;' +
            'pointer-events:none;padding:env(safe-area-inset-top) env(safe-area-inset-right) ' +
            'env(safe-area-inset-bottom) env(safe-area-inset-left)';
        document.body.appendChild(probe);
      }
      var canvas = Drommel.canvas;
      var ratio = rect.width > 0 ? canvas.width / rect.width : 1;
      var style = getComputedStyle(probe);
      var px = function(value) { return Math.round((parseFloat(value) || 0) * ratio); };
      Drommel.pixelsPerPoint = ratio;
      Drommel.insets = [px(style.paddingLeft), px(style.paddingTop), px(style.paddingRight),
                        px(style.paddingBottom)];
    },

    // A click or tap on the game gives it the keyboard, also inside another site's page (the
    // canvas's own handlers keep the browser from moving the focus itself).
    takeKeyboard: function() {
      try { window.focus(); } catch (e) {}
      try { Drommel.canvas.focus({preventScroll: true}); } catch (e) {}
    },

    // On a phone in full screen the game asks for landscape; browsers that refuse keep turning.
    lockLandscape: function() {
      var touch = (navigator.maxTouchPoints || 0) > 0 ||
          (window.matchMedia && window.matchMedia('(pointer: coarse)').matches);
      var orientation = screen.orientation;
      if (!touch || !orientation || typeof orientation.lock !== 'function') return;
      try {
        var result = orientation.lock('landscape');
        if (result && result.catch) result.catch(function() {});
      } catch (e) {}
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
      // browser's (with a modifier, and F3, F5, F6, F7, F12), and so does Tab, which moves the
      // focus on (out of the game, or out of the page it is shown in).
      var browserKey = event.ctrlKey || event.metaKey || event.altKey ||
          /^(F(3|5|6|7|12)|Tab)$/.test(event.code || event.key || '');
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

      canvas.addEventListener('pointerdown', Drommel.takeKeyboard);
      canvas.addEventListener('mousedown', function(e) {
        var button = Drommel.mouseButton(e.button);
        if (button >= 0) Drommel.pointer(Drommel.POINTER.mouse, Drommel.EVENT.mouseDown, button, e);
        e.preventDefault();
      });
      window.addEventListener('mouseup', function(e) {
        var button = Drommel.mouseButton(e.button);
        if (button >= 0) Drommel.pointer(Drommel.POINTER.mouse, Drommel.EVENT.mouseUp, button, e);
      });
      window.addEventListener('mousemove', function(e) {
        Drommel.pointer(Drommel.POINTER.mouse, Drommel.EVENT.mouseMove, -1, e);
      });

      // Each finger (or pen) is a touch of its own, numbered from 0 in the order they came down.
      canvas.addEventListener('pointerdown', function(e) {
        if (e.pointerType === 'mouse') return;
        e.preventDefault();
        var slot = Drommel.fingerSlot(e.pointerId, true);
        if (slot < 0) return;
        try { canvas.setPointerCapture(e.pointerId); } catch (err) {}
        Drommel.pointer(Drommel.POINTER.finger, Drommel.EVENT.touchDown, slot, e);
      });
      canvas.addEventListener('pointermove', function(e) {
        if (e.pointerType === 'mouse') return;
        var slot = Drommel.fingerSlot(e.pointerId, false);
        if (slot >= 0) Drommel.pointer(Drommel.POINTER.finger, Drommel.EVENT.touchMove, slot, e);
      });
      var lift = function(e) {
        if (e.pointerType === 'mouse') return;
        var slot = Drommel.fingerSlot(e.pointerId, false);
        if (slot < 0) return;
        Drommel.fingers[slot] = undefined;
        Drommel.pointer(Drommel.POINTER.finger, Drommel.EVENT.touchUp, slot, e);
      };
      canvas.addEventListener('pointerup', lift);
      canvas.addEventListener('pointercancel', lift);
      canvas.addEventListener('contextmenu', function(e) { e.preventDefault(); });

      document.addEventListener('visibilitychange', function() {
        Drommel.call(function() { _drommel_visibility(document.hidden ? 1 : 0); });
      });
      // The page going (a closed tab, a phone leaving it): the game is suspended, which saves, and
      // the state is written at once, while the page can still hand a write to the browser.
      window.addEventListener('pagehide', function() {
        Drommel.call(function() { _drommel_visibility(1); });
        Drommel.sync(null);
      });
      var fullScreenChanged = function() {
        Drommel.wantFullScreen = !!Drommel.fullScreenElement();
        Drommel.retryFullScreen = false;
        if (Drommel.wantFullScreen) Drommel.lockLandscape();
      };
      document.addEventListener('fullscreenchange', fullScreenChanged);
      document.addEventListener('webkitfullscreenchange', fullScreenChanged);

      canvas.addEventListener('webglcontextlost', function(e) {
        // Keeps the context restorable.
        e.preventDefault();
        Drommel.contextLost();
      });
      canvas.addEventListener('webglcontextrestored', function() {
        Drommel.contextRestored();
      });
      requestAnimationFrame(Drommel.frame);
    },

    // ---- The WebGL context ----
    // While the context is lost the game is suspended as when the page is hidden (nothing is
    // played unseen); it resumes as after a suspension once the context is back. A context still
    // lost after lostContextSeconds is said on the page, with a way to reload.
    lostContextSeconds: 5,
    lostTimer: null,

    contextLost: function() {
      Drommel.call(function() { _drommel_context_lost(1); });
      if (Drommel.lostTimer === null) {
        Drommel.lostTimer = setTimeout(function() {
          Drommel.lostTimer = null;
          if (!Drommel.stopped) Drommel.page('contextLost');
        }, Drommel.lostContextSeconds * 1000);
      }
    },

    contextRestored: function() {
      if (Drommel.lostTimer !== null) {
        clearTimeout(Drommel.lostTimer);
        Drommel.lostTimer = null;
      }
      Drommel.call(function() { _drommel_context_lost(0); });
      Drommel.page('contextBack');
    },

    // ---- The saved state in IndexedDB ----
    // The state file is kept as IDBFS keeps files (database '/save', store 'FILE_DATA', one record
    // {timestamp, mode, contents} per path), but read and written here, one record in one
    // transaction: IDBFS's own synchronisation never reports a transaction the browser abandons
    // (a full quota), keeps a connection the browser has closed, and needs several turns of the
    // event loop before it writes, which a closing tab does not get.
    statePath: '/save/.kestrostate',
    readStateSeconds: 10,
    stateDb: null,        // the open connection, or null: the next use opens one
    opening: null,        // callbacks waiting for the connection being opened
    storeFailure: '',     // the word for why the last write failed, '' after a success
    storesPending: 0,
    afterStore: [],       // called once no write is under way

    // Calls back (error, db) with the state's database, opening it when needed.
    openState: function(callback) {
      if (Drommel.stateDb) return callback(null, Drommel.stateDb);
      if (Drommel.opening) {
        Drommel.opening.push(callback);
        return;
      }
      Drommel.opening = [callback];
      var finish = function(error, db) {
        var waiting = Drommel.opening;
        Drommel.opening = null;
        waiting.forEach(function(f) { f(error, db); });
      };
      var request;
      try {
        if (typeof indexedDB === 'undefined') throw new Error('this browser keeps no IndexedDB');
        request = indexedDB.open('/save', IDBFS.DB_VERSION);
      } catch (e) {
        return finish(e, null);
      }
      request.onupgradeneeded = function() {
        var db = request.result;
        var files = db.objectStoreNames.contains(IDBFS.DB_STORE_NAME) ?
            request.transaction.objectStore(IDBFS.DB_STORE_NAME) :
            db.createObjectStore(IDBFS.DB_STORE_NAME);
        if (!files.indexNames.contains('timestamp')) {
          files.createIndex('timestamp', 'timestamp', {unique: false});
        }
      };
      request.onsuccess = function() {
        var db = request.result;
        // The browser closes the connection when the site's data is cleared: the next write opens
        // the database again.
        var forget = function() {
          if (Drommel.stateDb === db) Drommel.stateDb = null;
        };
        db.onclose = forget;
        db.onversionchange = function() {
          forget();
          db.close();
        };
        Drommel.stateDb = db;
        finish(null, db);
      };
      request.onerror = function(event) {
        event.preventDefault();
        finish(request.error || new Error('the database did not open'), null);
      };
    },

    // A failure's word for the page: full, cleared (the browser closed the database under the
    // game) or blocked (anything else: no IndexedDB, refused, broken).
    failureWord: function(error) {
      var name = error && error.name;
      if (name === 'QuotaExceededError') return 'full';
      if (name === 'InvalidStateError' || /clos/i.test(String(error && error.message))) {
        return 'cleared';
      }
      return 'blocked';
    },

    describe: function(error) {
      if (!error) return 'unknown error';
      var text = error.message || String(error);
      return error.name && text.indexOf(error.name) < 0 ? error.name + ': ' + text : text;
    },

    // Reads the saved state into the state file before the program starts; a record that is not
    // a file is refused with one line, and the game starts with its defaults.
    readState: function(finished) {
      // A database that never answers (another page blocking it) must not keep the game from
      // starting: after readStateSeconds it starts without the saved state, and a late answer is
      // ignored.
      var waiting = true;
      var done = function() {
        if (!waiting) return false;
        waiting = false;
        clearTimeout(timer);
        finished();
        return true;
      };
      var timer = setTimeout(function() {
        if (done()) {
          err('Saved state not read from the browser: no answer in ' + Drommel.readStateSeconds +
              ' s (play goes on)');
        }
      }, Drommel.readStateSeconds * 1000);
      var refuse = function(why) {
        err('Saved state refused by the browser: ' + why + ' (defaults used)');
      };
      Drommel.openState(function(error, db) {
        if (!waiting) return;
        if (error) {
          err('Saved state not read from the browser: ' + Drommel.describe(error) +
              ' (play goes on)');
          Drommel.storeResult(error, true);
          return done();
        }
        var get;
        try {
          get = db.transaction([IDBFS.DB_STORE_NAME], 'readonly')
                    .objectStore(IDBFS.DB_STORE_NAME).get(Drommel.statePath);
        } catch (e) {
          err('Saved state not read from the browser: ' + Drommel.describe(e) + ' (play goes on)');
          return done();
        }
        get.onsuccess = function() {
          if (!waiting) return;
          var record = get.result;
          if (record === undefined) return done();  // a first visit
          var contents = record && typeof record === 'object' ? record.contents : undefined;
          if (contents instanceof ArrayBuffer) contents = new Uint8Array(contents);
          if (ArrayBuffer.isView(contents)) {
            contents = new Uint8Array(contents.buffer, contents.byteOffset, contents.byteLength);
          }
          if (record === null || typeof record !== 'object') {
            refuse('its record is ' + (record === null ? 'null' : 'a ' + typeof record) +
                   ', not a file');
          } else if (!(contents instanceof Uint8Array)) {
            refuse('its record holds no bytes');
          } else if (contents.length > 65536) {
            refuse('it is ' + contents.length + ' bytes, more than 65536');
          } else {
            try {
              FS.writeFile(Drommel.statePath, contents);
            } catch (e) {
              refuse(Drommel.describe(e));
            }
          }
          done();
        };
        get.onerror = function(event) {
          event.preventDefault();
          if (!waiting) return;
          err('Saved state not read from the browser: ' + Drommel.describe(get.error) +
              ' (play goes on)');
          done();
        };
      });
    },

    // One write's end: one line when it failed, another when writing works again; the page's
    // notice follows.
    storeResult: function(error, reading) {
      if (error) {
        var word = Drommel.failureWord(error);
        if (!reading) {
          err('State not stored in the browser: ' + Drommel.describe(error) + ' (play goes on)');
        }
        Drommel.storeFailure = word;
        Drommel.page('storageFailed', word);
      } else if (Drommel.storeFailure) {
        Drommel.storeFailure = '';
        err('State stored in the browser again');
        Drommel.page('storageWorks');
      }
    },

    // Writes the state file into IndexedDB. The transaction and its put are made at once when the
    // database is open, so a write asked for as the page goes (pagehide) reaches the browser
    // before the page is gone. Writes never wait for each other: each holds the whole file, and
    // the browser applies them in order. done (optional) runs once no write is under way.
    sync: function(done) {
      if (done) Drommel.afterStore.push(done);
      var bytes = null;
      var mode = 33188;
      try {
        bytes = FS.readFile(Drommel.statePath);
        mode = FS.stat(Drommel.statePath).mode;
      } catch (e) {
        bytes = null;
      }
      if (!bytes) {
        Drommel.storeEnded();
        return;
      }
      ++Drommel.storesPending;
      Drommel.put({timestamp: new Date(), mode: mode, contents: bytes}, true);
    },

    put: function(entry, mayReopen) {
      Drommel.openState(function(error, db) {
        if (error) return Drommel.stored(error);
        var transaction;
        try {
          transaction = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
        } catch (e) {
          // "The database connection is closing": open it again, once.
          if (Drommel.stateDb === db) Drommel.stateDb = null;
          if (mayReopen && e.name === 'InvalidStateError') return Drommel.put(entry, false);
          return Drommel.stored(e);
        }
        var thrown = null;
        transaction.oncomplete = function() { Drommel.stored(null); };
        // A failed put or commit (QuotaExceededError comes at the commit) abandons the
        // transaction.
        transaction.onabort = function() {
          Drommel.stored(thrown || transaction.error || new Error('the write was abandoned'));
        };
        try {
          transaction.objectStore(IDBFS.DB_STORE_NAME).put(entry, Drommel.statePath);
          if (typeof transaction.commit === 'function') transaction.commit();
        } catch (e) {
          thrown = e;
          try {
            transaction.abort();
          } catch (ignored) {
          }
        }
      });
    },

    stored: function(error) {
      --Drommel.storesPending;
      Drommel.storeResult(error, false);
      Drommel.storeEnded();
    },

    storeEnded: function() {
      if (Drommel.storesPending > 0) return;
      var waiting = Drommel.afterStore;
      Drommel.afterStore = [];
      waiting.forEach(function(f) { f(); });
    },

    // The browser keeps the site's data through storage pressure only when asked (and willing).
    askToKeepStorage: function() {
      var storage = typeof navigator !== 'undefined' ? navigator.storage : undefined;
      if (!storage || typeof storage.persist !== 'function') return;
      var kept = typeof storage.persisted === 'function' ? storage.persisted() :
                                                           Promise.resolve(false);
      kept.then(function(already) {
        return already || storage.persist();
      }).catch(function() {});
    },
  },

  drommel_js_start__deps: ['$Drommel'],
  drommel_js_start: function() {
    Drommel.canvas = Module['canvas'] || document.getElementById('canvas');
    Drommel.fitCanvas();
    Drommel.install();
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

  drommel_js_pixels_per_point__deps: ['$Drommel'],
  drommel_js_pixels_per_point: function() {
    return Drommel.pixelsPerPoint;
  },

  drommel_js_safe_inset__deps: ['$Drommel'],
  drommel_js_safe_inset: function(side) {
    return Drommel.insets[side] || 0;
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

  // Whether a data file ("data/parts-hd.png") is in the file system; if not, the page's fetcher
  // (page.js, Module.drommelFiles) is asked for it. Without the page's fetcher every file counts
  // as in place.
  drommel_js_data_ready: function(path, urgency) {
    var files = Module['drommelFiles'];
    return !files || files.ready(UTF8ToString(path), urgency) ? 1 : 0;
  },

  // The game's loader is through (the menu is up): the page may fetch what comes in behind it.
  drommel_js_loader_finished: function() {
    var files = Module['drommelFiles'];
    if (files) files.loaderFinished();
  },
});
