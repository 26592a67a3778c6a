// The page around the game: the Module object Emscripten's script reads (canvas, console output),
// the loader, the messages the game's browser host shows through window.DrommelPage (ended, fatal,
// otherTab, noWebGL, noWebAssembly, downloadFailed; storage and lost-context notices), the game's
// files (fetched one by one, checked, and written into the game's file system as it asks for them)
// and the service worker that keeps the site for offline play. Loaded before the game's script,
// which this file adds to the page itself once the browser is known to offer WebGL and WebAssembly.
'use strict';

(function () {
  var canvas = document.getElementById('canvas');
  var loader = document.getElementById('loader');
  var barFill = document.getElementById('bar-fill');
  var statusLine = document.getElementById('status');
  var overlay = document.getElementById('overlay');
  var overlayTitle = document.getElementById('overlay-title');
  var overlayText = document.getElementById('overlay-text');
  var overlayButton = document.getElementById('overlay-button');
  var overlayAction = null;
  var stopped = false;  // a message that ends the game is up: later ones do not replace it

  function setProgress(fraction) {
    var percent = Math.round(Math.max(0, Math.min(1, fraction)) * 100);
    barFill.style.width = percent + '%';
    loader.setAttribute('aria-valuenow', String(percent));
  }

  function hideLoader() {
    setProgress(1);
    loader.classList.add('done');
  }

  // Shows a message over the canvas; the button (when there is one) runs the action.
  function showMessage(title, text, buttonLabel, action) {
    hideLoader();
    overlayTitle.textContent = title;
    overlayText.textContent = text;
    overlayButton.hidden = !buttonLabel;
    overlayButton.textContent = buttonLabel || '';
    overlayAction = action || null;
    overlay.hidden = false;
    if (buttonLabel) overlayButton.focus();
  }

  function reload() {
    location.reload();
  }

  overlayButton.addEventListener('click', function () {
    if (overlayAction) overlayAction();
  });

  // Once the game ended, the page is a normal page again; while it runs, the keys that scroll a page
  // (arrows, space, Page Up/Down, Home, End) belong to the game.
  var scrollKeys = {
    ' ': 1, ArrowUp: 1, ArrowDown: 1, ArrowLeft: 1, ArrowRight: 1, PageUp: 1, PageDown: 1,
    Home: 1, End: 1
  };
  window.addEventListener('keydown', function (event) {
    // Alt with an arrow goes back or forward, as in any page.
    if (event.altKey || event.ctrlKey || event.metaKey) return;
    if (overlay.hidden && scrollKeys[event.key]) event.preventDefault();
  });
  canvas.addEventListener('contextmenu', function (event) {
    event.preventDefault();
  });

  // ---- The storage notice and the lost context ----
  // Saves that fail show one small line over the game (why, in a word: full, blocked, cleared)
  // until a save works again; play goes on under it.
  var notice = document.getElementById('notice');
  var contextMessage = false;  // the lost-context message is up

  function storageFailed(word) {
    notice.textContent = 'Scores cannot be kept in this browser: storage ' + word + '.';
    notice.hidden = false;
  }

  function storageWorks() {
    notice.hidden = true;
    notice.textContent = '';
  }

  function contextLost() {
    if (stopped) return;
    contextMessage = true;
    showMessage('The picture is gone',
                'The browser took the game\'s drawing away and has not given it back. ' +
                    'The game waits, paused; reload to play on.',
                'Reload', reload);
  }

  function contextBack() {
    if (!contextMessage || stopped) return;
    contextMessage = false;
    overlay.hidden = true;
    overlayAction = null;
  }

  window.DrommelPage = {
    storageFailed: storageFailed,
    storageWorks: storageWorks,
    contextLost: contextLost,
    contextBack: contextBack,
    // The program ended normally; its state is saved.
    ended: function () {
      if (stopped) return;
      stopped = true;
      showMessage('Thanks for playing', '', 'Play again', reload);
    },
    // A runtime error: the message goes over the canvas and to the console.
    fatal: function (message) {
      if (stopped) return;
      stopped = true;
      message = String(message || 'Unknown error');
      console.error(message);
      showMessage('Drommel stopped', message, 'Play again', reload);
    },
    // Another tab holds the game: this one does not start it.
    otherTab: function () {
      if (stopped) return;
      stopped = true;
      showMessage('', 'Drommel is already open in another tab.', 'Try again', reload);
    },
    // What the browser lacks: no button, since trying again meets the same browser.
    noWebGL: function () {
      if (stopped) return;
      stopped = true;
      showMessage('WebGL is not available',
                  'Drommel needs WebGL to draw, which this browser does not offer or has ' +
                      'switched off. Turn on hardware acceleration in its settings, or try ' +
                      'another browser.');
    },
    noWebAssembly: function () {
      if (stopped) return;
      stopped = true;
      showMessage('WebAssembly is not available',
                  'Drommel needs WebAssembly to run, which this browser does not offer or has ' +
                      'switched off. Allow it in the browser\'s settings, or try another browser.');
    },
    // A file of the game came in incomplete or not as expected (or not at all): the details go to
    // the console, the player gets one plain message whose button fetches the files again, past
    // the browser's cache.
    downloadFailed: function (what) {
      console.warn('Drommel: ' + what);
      if (stopped) return;
      stopped = true;
      showMessage('', DOWNLOAD_FAILED, 'Try again', function () {
        try {
          sessionStorage.setItem(REFETCH, '1');
        } catch (error) {
          // Without session storage the retry reads the caches again; the service worker never
          // keeps a bad file, so only a broken HTTP cache would stay in the way.
        }
        reload();
      });
    }
  };

  // ---- The game's files -------------------------------------------------------------------------
  // window.DrommelFiles, written into the page by the build: the program's files ("code") and the
  // data files ("data", by their path in the game's file system), each with its address (which
  // carries a hash of the content), its length, its SHA-256 and, for data, its image level and
  // when the game first needs it ("menu", "play", "unused", "other"). A file is used only once its
  // length and hash are the listed ones.
  var DOWNLOAD_FAILED =
      "The game's files did not download completely. Check the connection and try again.";
  var REFETCH = 'drommel-refetch';
  var listed = window.DrommelFiles || {code: {}, data: {}};
  // After "Try again" every file is fetched past the browser's cache once.
  var cacheMode = 'default';
  try {
    if (sessionStorage.getItem(REFETCH)) cacheMode = 'reload';
    sessionStorage.removeItem(REFETCH);
  } catch (error) {
    // No session storage: the normal cache rules.
  }

  function base64(buffer) {
    var bytes = new Uint8Array(buffer);
    var text = '';
    for (var i = 0; i < bytes.length; ++i) text += String.fromCharCode(bytes[i]);
    return btoa(text);
  }

  // Fetches a listed file; resolves with its bytes once their length and hash are the listed ones
  // (the hash where the browser offers SHA-256: pages of plain http: other than localhost do
  // not), rejects with what went wrong. progress(n) is told of every n bytes that come in.
  function fetchChecked(item, progress) {
    return fetch(item.url, {cache: cacheMode}).then(function (response) {
      if (!response.ok) throw new Error('HTTP ' + response.status);
      if (!response.body || !response.body.getReader) {
        return response.arrayBuffer().then(function (buffer) {
          if (progress) progress(buffer.byteLength);
          return new Uint8Array(buffer);
        });
      }
      var reader = response.body.getReader();
      var bytes = new Uint8Array(item.size);
      var length = 0;
      function next() {
        return reader.read().then(function (part) {
          if (part.done) return bytes.subarray(0, length);
          if (length + part.value.length > item.size) {
            reader.cancel();
            throw new Error('more than the ' + item.size + ' bytes expected');
          }
          bytes.set(part.value, length);
          length += part.value.length;
          if (progress) progress(part.value.length);
          return next();
        });
      }
      return next();
    }).then(function (bytes) {
      if (bytes.length !== item.size) {
        throw new Error(bytes.length + ' bytes of the ' + item.size + ' expected');
      }
      if (!window.crypto || !crypto.subtle) return bytes;
      return crypto.subtle.digest('SHA-256', bytes).then(function (digest) {
        if (base64(digest) !== item.sha256) throw new Error('not the content expected');
        return bytes;
      });
    }).catch(function (error) {
      throw new Error(item.url + ': ' + (error && error.message ? error.message : error));
    });
  }

  // The image level the game picks for a drawing buffer of width x height pixels (the game's
  // loader has the same rule): 1 up to 630 x 630, 2 below 1231 x 1231, 4 from there.
  function imageLevel(width, height) {
    if (width <= 630 && height <= 630) return 1;
    return width < 1231 && height < 1231 ? 2 : 4;
  }

  // The canvas's drawing buffer at its CSS size times the pixel ratio, as the game keeps it, set
  // before the game starts so that its first choice of level is the right one.
  function fitCanvas() {
    var ratio = window.devicePixelRatio || 1;
    var rect = canvas.getBoundingClientRect();
    canvas.width = Math.max(1, Math.round(rect.width * ratio));
    canvas.height = Math.max(1, Math.round(rect.height * ratio));
    return imageLevel(canvas.width, canvas.height);
  }

  // The data files, fetched as the game asks for them (ready) or as the page foresees it: urgency
  // -1 for what the program needs to start (the files the asset list does not name), 0 for what a
  // screen waits for, up to four at a time once the program is in; 1 (needed before play) and 2
  // (never drawn) once the menu is up and nothing more urgent is waiting, two at a time. Each
  // checked file goes to the writer (platform/web/pre.js), which puts it into the game's file system.
  var files = {
    state: {},     // path: 'queued', 'loading', 'held' (in, waiting for the writer) or 'in'
    urgency: {},
    held: {},
    write: null,
    running: [0, 0],  // files being fetched: urgent, others
    codeIn: false,
    arrived: [],      // addresses of the files in, for the service worker

    // The writer, once the game's file system exists; started() is called as soon as the files
    // outside the asset list (the framework's own, which it opens when it likes) are all in.
    attach: function (write, started) {
      files.write = write;
      for (var path in files.held) {
        write(path, files.held[path]);
        files.state[path] = 'in';
      }
      files.held = {};
      files.started = started;
      files.checkStarted();
    },

    checkStarted: function () {
      if (!files.started) return;
      for (var path in listed.data) {
        if (listed.data[path].use === 'other' && files.state[path] !== 'in') return;
      }
      var started = files.started;
      files.started = null;
      started();
    },

    ready: function (path, urgency) {
      var item = listed.data[path];
      if (!item || files.state[path] === 'in') return true;
      if (item.level) files.dropOtherLevels(item.level);
      files.request(path, urgency);
      return false;
    },

    request: function (path, urgency) {
      var state = files.state[path];
      if (state === undefined) {
        files.state[path] = 'queued';
        files.urgency[path] = urgency;
      } else if (state === 'queued' && urgency < files.urgency[path]) {
        files.urgency[path] = urgency;
      }
      files.pump();
    },

    // A file of another level still waiting is not needed any more: the game changed level.
    dropOtherLevels: function (level) {
      for (var path in files.state) {
        var item = listed.data[path];
        if (files.state[path] === 'queued' && item.level && item.level !== level) {
          delete files.state[path];
        }
      }
    },

    pump: function () {
      for (;;) {
        var best = null;
        for (var path in files.state) {
          if (files.state[path] !== 'queued') continue;
          if (best === null || files.urgency[path] < files.urgency[best]) best = path;
        }
        if (best === null) return;
        var urgent = files.urgency[best] <= 0;
        // While the program comes in, only what it needs to start: the loading screen first.
        if (files.urgency[best] === 0 && !files.codeIn) return;
        if (urgent ? files.running[0] >= 4
                   : files.running[0] > 0 || files.running[1] >= 2) {
          return;
        }
        if (!urgent && !files.menuUp) return;
        files.fetch(best, urgent ? 0 : 1);
      }
    },

    // What may come in behind the menu waits until the game's loader is through (the menu is
    // up): until then the connection is the menu's.
    menuUp: false,
    loaderFinished: function () {
      if (!files.menuUp && performance.mark) performance.mark('drommel-menu');
      files.menuUp = true;
      files.pump();
    },

    fetch: function (path, lane) {
      files.state[path] = 'loading';
      files.running[lane] += 1;
      var item = listed.data[path];
      fetchChecked(item, progressOf(path)).then(function (bytes) {
        files.running[lane] -= 1;
          files.arrived.push(item.url);
        keepOffline([item.url]);
        if (files.write) {
          files.write(path, bytes);
          files.state[path] = 'in';
        } else {
          files.held[path] = bytes;
          files.state[path] = 'held';
        }
        files.checkStarted();
        files.pump();
      }, function (error) {
        files.running[lane] -= 1;
        DrommelPage.downloadFailed(error.message);
      });
    }
  };

  // The loading bar: the program and the data the menu needs at the level foreseen.
  var progress = {expected: {}, total: 0, received: 0};

  function expect(key, size) {
    progress.expected[key] = true;
    progress.total += size;
  }

  function progressOf(key) {
    if (!progress.expected[key]) return null;
    return function (bytes) {
      progress.received += bytes;
      if (stopped || progress.total <= 0) return;
      setProgress(progress.received / progress.total);
      statusLine.textContent = 'Loading… ' + (progress.total / 1048576).toFixed(1) + ' MB';
    };
  }

  // The menu's files at the level the canvas needs start at once, beside the program; what play
  // needs follows once they are in, then the rest.
  function foresee(level) {
    var order = {other: -1, menu: 0, play: 1, unused: 2};
    for (var path in listed.data) {
      var item = listed.data[path];
      if (item.level && item.level !== level) continue;
      var urgency = order[item.use] === undefined ? 2 : order[item.use];
      if (urgency <= 0) expect(path, item.size);
      files.request(path, urgency);
    }
  }

  // Emscripten's status: cleared once main runs (the game draws its own loading screen then).
  window.Module = {
    canvas: canvas,
    drommelFiles: files,
    print: function (text) {
      console.log(text);
    },
    // Warnings and failed synchronisations: one console line each, never console.error, which is
    // kept for real errors.
    printErr: function (text) {
      console.warn(text);
    },
    setStatus: function (text) {
      if (stopped || text) return;
      if (performance.mark) performance.mark('drommel-running');
      hideLoader();
      startOffline();
    },
    monitorRunDependencies: function (left) {
      if (left === 0 && !stopped) statusLine.textContent = 'Starting…';
    },
    locateFile: function (path, prefix) {
      return prefix + path;
    },
    // The WebAssembly, checked before it is compiled.
    instantiateWasm: function (imports, receive) {
      var item = listed.code['drommel.wasm'];
      fetchChecked(item, progressOf('drommel.wasm')).then(function (bytes) {
        files.codeIn = true;
        files.pump();
        return WebAssembly.instantiate(bytes, imports).catch(function (error) {
          throw new Error(item.url + ': ' + error);
        });
      }).then(function (result) {
        receive(result.instance, result.module);
      }, function (error) {
        DrommelPage.downloadFailed(error.message);
      });
      return {};
    },
    onAbort: function (what) {
      // Emscripten's own words for a program that did not arrive whole.
      if (/fetching of the wasm failed|CompileError|LinkError|failed to asynchronously prepare/
              .test(String(what))) {
        DrommelPage.downloadFailed(String(what));
      } else {
        DrommelPage.fatal(what);
      }
    }
  };

  // The script, checked by the browser against its hash; after "Try again" it is fetched past the
  // cache first, so that a broken copy there is replaced.
  function addScript() {
    var item = listed.code['drommel.js'];
    var script = document.createElement('script');
    script.src = item.url;
    script.integrity = 'sha256-' + item.sha256;
    script.onerror = function () {
      DrommelPage.downloadFailed(item.url + ': missing, incomplete or not the content expected');
    };
    script.onload = progressOf('drommel.js') ? function () {
      progressOf('drommel.js')(item.size);
    } : null;
    document.body.appendChild(script);
  }

  // WebGL and WebAssembly are asked for before anything large is fetched.
  function browserCanRun() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      DrommelPage.noWebAssembly();
      return false;
    }
    var probe = document.createElement('canvas');
    var gl = null;
    try {
      gl = probe.getContext('webgl') || probe.getContext('experimental-webgl');
    } catch (error) {
      gl = null;
    }
    if (!gl) {
      DrommelPage.noWebGL();
      return false;
    }
    var lose = gl.getExtension('WEBGL_lose_context');
    if (lose) lose.loseContext();
    return true;
  }

  if (browserCanRun()) {
    expect('drommel.js', listed.code['drommel.js'].size);
    expect('drommel.wasm', listed.code['drommel.wasm'].size);
    foresee(fitCanvas());
    if (cacheMode === 'reload') {
      var item = listed.code['drommel.js'];
      fetch(item.url, {cache: 'reload'}).catch(function () {}).then(addScript);
    } else {
      addScript();
    }
  }

  // ---- Offline play ----------------------------------------------------------------------------
  // The service worker keeps the page, the program and the data files this visit fetched, each
  // checked, so that the next visit starts with no network at the level this one used. It is
  // registered once the game runs, when what it keeps at installation is already in the browser's
  // cache (nothing is downloaded twice); the data files are handed to it as they come in. It
  // needs http: or https:, so a page opened as a file does without.
  var worker = null;

  function keepOffline(urls) {
    if (worker && urls.length) worker.postMessage({keep: urls});
  }

  function startOffline() {
    if (!('serviceWorker' in navigator) || !/^https?:$/.test(location.protocol)) return;
    navigator.serviceWorker.register('sw.js').then(function () {
      return navigator.serviceWorker.ready;
    }).then(function (registration) {
      worker = registration.active;
      keepOffline(files.arrived);
    }).catch(function (error) {
      console.warn('Drommel: no offline copy (' + error.message + ')');
    });
  }
})();
