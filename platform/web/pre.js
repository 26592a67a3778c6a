// Runs before the program: the saved state is read from IndexedDB into /save (Drommel.readState in
// library.js; the browser is asked to keep the site's data), and the game starts only in the one
// tab that holds the Web Lock "drommel" (a second tab says the game is open elsewhere instead of
// overwriting that tab's scores). Also Module.drommelAudioState() for the page and its tests:
// 'running', 'suspended', 'closed' or 'none' (no audio context yet).
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function() {
  FS.mkdir('/save');
  FS.mount(IDBFS, {}, '/save');
  addRunDependency('drommel-state');
  // Without IndexedDB (some private modes) the game plays without saved state.
  Drommel.readState(function() { removeRunDependency('drommel-state'); });
  Drommel.askToKeepStorage();

  var locks = typeof navigator !== 'undefined' ? navigator.locks : undefined;
  if (!locks || typeof locks.request !== 'function') return;
  addRunDependency('drommel-lock');
  locks.request('drommel', {ifAvailable: true}, function(lock) {
    if (!lock) {
      // The game stays unstarted: the dependency is never removed.
      var page = window.DrommelPage;
      if (page && page.otherTab) page.otherTab();
      return undefined;
    }
    Module['drommelHoldsLock'] = true;
    removeRunDependency('drommel-lock');
    // Held for the page's life.
    return new Promise(function() {});
  }).catch(function(error) {
    err('The one-tab rule is not available: ' + error + ' (play goes on)');
    removeRunDependency('drommel-lock');
  });
});

// The data files: the page fetches and checks them (page.js, Module.drommelFiles) and hands each
// complete file to this writer, which puts it under /data where the game opens it. Files that
// came in before the file system existed are written now; the program starts once the files the
// asset list does not name (the framework's font, opened whenever it likes) are in.
Module['preRun'].push(function() {
  var files = Module['drommelFiles'];
  if (!files) return;
  addRunDependency('drommel-data');
  files.attach(function(path, bytes) {
    var slash = path.lastIndexOf('/');
    if (slash > 0) FS.mkdirTree('/' + path.slice(0, slash));
    FS.writeFile('/' + path, bytes);
  }, function() {
    removeRunDependency('drommel-data');
  });
});

Module['drommelAudioState'] = function() {
  if (typeof AL === 'undefined' || !AL.contexts) return 'none';
  for (var id in AL.contexts) {
    var audio = AL.contexts[id].audioCtx;
    if (audio) return audio.state;
  }
  return 'none';
};

// An error that escapes the program outside the host's own calls (while it starts, say) is shown
// over the canvas like any runtime error.
if (typeof window !== 'undefined') {
  window.addEventListener('error', function(event) {
    var file = event.filename || '';
    if (!/drommel\.([0-9a-f]+\.)?(js|wasm)/.test(file) && !(event.error instanceof WebAssembly.RuntimeError)) {
      return;
    }
    if (event.error === 'unwind') {
      event.preventDefault();
      return;
    }
    if (typeof Drommel !== 'undefined') {
      Drommel.fail(event.error || event.message);
    } else if (window.DrommelPage && window.DrommelPage.fatal) {
      window.DrommelPage.fatal(String(event.message));
    }
  });
}
