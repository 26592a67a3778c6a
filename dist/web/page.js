// The page around the game: the Module object Emscripten's script reads (canvas, console output,
// download progress), the loader, the messages the game's browser host shows through
// window.DrommelPage (ended, fatal, otherTab, noWebGL, noWebAssembly; storage and lost-context
// notices), and the service worker that keeps the site for offline play. Loaded before the game's
// script, which this file adds to the page itself.
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
    }
  };

  // A browser without WebAssembly gets the message at once instead of the download.
  function hasWebAssembly() {
    return typeof WebAssembly === 'object' && typeof WebAssembly.instantiate === 'function';
  }

  // Emscripten's download progress: "Downloading data... (loaded/total)" while the data file comes
  // in, no pending run dependency once everything is in, and an empty status once main runs.
  window.Module = {
    canvas: canvas,
    print: function (text) {
      console.log(text);
    },
    // Warnings and failed synchronisations: one console line each, never console.error, which is
    // kept for real errors.
    printErr: function (text) {
      console.warn(text);
    },
    setStatus: function (text) {
      if (stopped) return;
      var counts = /\((\d+(?:\.\d+)?)\/(\d+)\)/.exec(text);
      if (counts) {
        setProgress(Number(counts[1]) / Number(counts[2]));
        statusLine.textContent = 'Loading… ' + (Number(counts[2]) / 1048576).toFixed(1) + ' MB';
      } else if (!text) {
        if (performance.mark) performance.mark('drommel-running');
        hideLoader();
      }
    },
    monitorRunDependencies: function (left) {
      if (left === 0) statusLine.textContent = 'Starting…';
    },
    locateFile: function (path, prefix) {
      return prefix + path;
    },
    onAbort: function (what) {
      DrommelPage.fatal(what);
    }
  };

  if (!hasWebAssembly()) {
    DrommelPage.noWebAssembly();
  } else {
    var script = document.createElement('script');
    script.src = 'drommel.js';
    script.onerror = function () {
      DrommelPage.fatal('The game could not be loaded. Check the connection and try again.');
    };
    document.body.appendChild(script);
  }

  // The service worker keeps every file of the site, so that after one visit the game also starts
  // offline (it needs http: or https:, so a page opened as a file does without).
  if ('serviceWorker' in navigator && /^https?:$/.test(location.protocol)) {
    window.addEventListener('load', function () {
      navigator.serviceWorker.register('sw.js').catch(function (error) {
        console.warn('Drommel: no offline copy (' + error.message + ')');
      });
    });
  }
})();
