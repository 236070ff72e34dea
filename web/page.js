// page.js -- the page around the game in the browser: downloads the game and its Data files with a
// progress bar, starts the game on the player's first click or key (browsers start sound only after
// one), scales the 320 x 240 screen by whole factors, keeps the game's keys from the browser, plays
// the game's keys from on-screen touch controls, and shows the log, and what ended the game, at its end.
// Pads are not read here: SDL reads them through the Gamepad API and the layer lays them out.
'use strict';

(function () {
  const screen_width = 320;
  const screen_height = 240;
  const log_path = '/logfile.txt';
  const fatal_marker = '--controlled exit due to error--';
  const failure_log_lines = 12;

  // The game's keys, as SDL reads them from a browser key event.
  const game_keys = {
    up: {key: 'ArrowUp', code: 'ArrowUp', key_code: 38},
    down: {key: 'ArrowDown', code: 'ArrowDown', key_code: 40},
    left: {key: 'ArrowLeft', code: 'ArrowLeft', key_code: 37},
    right: {key: 'ArrowRight', code: 'ArrowRight', key_code: 39},
    a: {key: 'z', code: 'KeyZ', key_code: 90},
    b: {key: 'x', code: 'KeyX', key_code: 88},
    select: {key: 'Tab', code: 'Tab', key_code: 9},
    quit: {key: 'Escape', code: 'Escape', key_code: 27},
    volume_up: {key: 'PageUp', code: 'PageUp', key_code: 33},
    volume_down: {key: 'PageDown', code: 'PageDown', key_code: 34},
  };
  // Keys whose browser default (focus, scrolling, leaving the page) must not happen while playing.
  const kept_codes = new Set(['Tab', 'ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'PageUp',
    'PageDown', 'Home', 'End', 'Space', 'Escape', 'Backspace', 'KeyZ', 'KeyX', 'KeyQ']);

  const body = document.body;
  const canvas = document.getElementById('canvas');
  const screen_box = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const play_area = document.getElementById('play');

  let state = 'loading';
  let game = null;            // the emscripten module once the runtime is up
  let exit_status = null;
  let failure_reason = '';
  let console_lines = [];     // what the game printed, for the log panel

  const state_times = {};     // when each state began, in ms since the page was opened

  function set_state(next) {
    state = next;
    body.dataset.state = next;
    if (!(next in state_times))
      state_times[next] = Math.round(performance.now());
  }

  // ---- scaling: the largest whole factor of device pixels that fits the stage ----

  function fit_screen() {
    const ratio = window.devicePixelRatio || 1;
    const width = stage.clientWidth * ratio;
    const height = stage.clientHeight * ratio;
    const factor = Math.max(1, Math.floor(Math.min(width / screen_width, height / screen_height)));
    const css_width = screen_width * factor / ratio;
    const css_height = screen_height * factor / ratio;
    canvas.style.width = css_width + 'px';
    canvas.style.height = css_height + 'px';
    screen_box.dataset.scale = String(factor);
  }

  if (typeof ResizeObserver === 'function')
    new ResizeObserver(fit_screen).observe(stage);
  window.addEventListener('resize', fit_screen);
  document.addEventListener('fullscreenchange', fit_screen);
  fit_screen();

  // ---- downloads ----

  function show_progress(done, total) {
    const percent = total > 0 ? Math.min(100, Math.floor(done * 100 / total)) : 0;
    document.getElementById('progress-fill').style.width = percent + '%';
    document.getElementById('progress').setAttribute('aria-valuenow', String(percent));
    document.getElementById('progress-text').textContent =
      (done / 1048576).toFixed(1) + ' of ' + (total / 1048576).toFixed(1) + ' MB';
  }

  // Reads one file with its bytes counted into the progress; a missing file gives null.
  async function download(path, on_bytes) {
    const response = await fetch(path);
    if (!response.ok)
      return null;
    if (!response.body || !response.body.getReader) {
      const whole = new Uint8Array(await response.arrayBuffer());
      on_bytes(whole.length);
      return whole;
    }
    const reader = response.body.getReader();
    const pieces = [];
    let length = 0;
    for (;;) {
      const {done, value} = await reader.read();
      if (done)
        break;
      pieces.push(value);
      length += value.length;
      on_bytes(value.length);
    }
    const whole = new Uint8Array(length);
    let at = 0;
    for (const piece of pieces) {
      whole.set(piece, at);
      at += piece.length;
    }
    return whole;
  }

  async function download_everything() {
    const listing = await fetch('files.json');
    if (!listing.ok)
      throw new Error('Unable to download the list of files (files.json: ' + listing.status + ')');
    const files = await listing.json();
    const all = [files.script, files.wasm].concat(files.data);
    const total = all.reduce((sum, file) => sum + file.size, 0);
    let done = 0;
    show_progress(0, total);
    const count = (bytes) => { done += bytes; show_progress(done, total); };

    // A few at a time: enough to fill the line, few enough to keep the bar moving evenly.
    const results = new Map();
    let next = 0;
    async function worker() {
      while (next < all.length) {
        const file = all[next++];
        results.set(file.path, await download(file.path, count));
      }
    }
    await Promise.all([worker(), worker(), worker(), worker()]);
    for (const file of [files.script, files.wasm]) {
      if (!results.get(file.path))
        throw new Error('Unable to download ' + file.path);
    }
    show_progress(total, total);
    return {files, results};
  }

  // ---- the game's runtime ----

  function read_log() {
    try {
      if (game && game.FS)
        return game.FS.readFile(log_path, {encoding: 'utf8'});
    } catch (error) {
      // no log yet
    }
    return '';
  }

  function log_tail(text, lines) {
    const all = text.replace(/\n+$/, '').split('\n');
    return all.slice(-lines).join('\n');
  }

  // The game's own reason: the line it logged just before its controlled exit.
  function fatal_message(text) {
    const lines = text.split('\n');
    const at = lines.indexOf(fatal_marker);
    return at > 0 ? lines[at - 1] : '';
  }

  function show_failure(message) {
    release_all_touch_keys();
    const text = read_log();
    document.getElementById('failure-message').textContent = message;
    document.getElementById('failure-log').textContent =
      text ? log_tail(text, failure_log_lines) : '(the game wrote no log)';
    refresh_log_panel();
    set_state('failed');
  }

  function game_ended(status) {
    if (state === 'closed' || state === 'failed')
      return;
    exit_status = status;
    const text = read_log();
    if (status !== 0 || text.indexOf(fatal_marker) >= 0) {
      const reason = fatal_message(text);
      show_failure(reason || ('The game ended with status ' + status + '.'));
    } else {
      release_all_touch_keys();
      refresh_log_panel();
      set_state('closed');
    }
  }

  function game_aborted(what) {
    if (state === 'failed')
      return;
    failure_reason = what ? String(what) : 'aborted';
    show_failure('The game stopped unexpectedly' + (what ? ': ' + what : '.'));
  }

  function load_runtime(files, results) {
    return new Promise((resolve, reject) => {
      const script_blob = new Blob([results.get(files.script.path)], {type: 'text/javascript'});
      const script_url = URL.createObjectURL(script_blob);
      window.Module = {
        canvas: canvas,
        wasmBinary: results.get(files.wasm.path).buffer,
        noInitialRun: true,
        locateFile: (path) => path,
        print: (text) => { console_lines.push(text); console.log(text); },
        printErr: (text) => { console_lines.push(text); console.warn(text); },
        onRuntimeInitialized: function () {
          game = window.Module;
          for (const file of files.data) {
            const bytes = results.get(file.path);
            if (!bytes) {
              console.warn('missing from the site: ' + file.path);
              continue;
            }
            const slash = file.path.lastIndexOf('/');
            if (slash > 0)
              game.FS.mkdirTree('/' + file.path.slice(0, slash));
            game.FS.writeFile('/' + file.path, bytes);
          }
          game.FS.chdir('/');
          resolve();
        },
        onExit: game_ended,
        onAbort: game_aborted,
      };
      const script = document.createElement('script');
      script.src = script_url;
      script.onerror = () => reject(new Error('Unable to load ' + files.script.path));
      document.body.appendChild(script);
    });
  }

  async function load() {
    try {
      if (typeof WebAssembly !== 'object')
        throw new Error('This browser cannot run WebAssembly.');
      const {files, results} = await download_everything();
      await load_runtime(files, results);
      set_state('ready');
    } catch (error) {
      failure_reason = error.message;
      document.getElementById('failure-message').textContent = error.message;
      document.getElementById('failure-log').textContent = '';
      set_state('failed');
    }
  }

  function start_game() {
    if (state !== 'ready')
      return;
    set_state('running');
    canvas.focus({preventScroll: true});
    try {
      game.callMain([]);
    } catch (error) {
      // exit() from the game's first stretch arrives as an exception the runtime already handled
      if (!(error && error.name === 'ExitStatus'))
        game_aborted(error && error.message ? error.message : error);
    }
  }

  // ---- keys ----

  // Plays one of the game's keys as the browser would deliver it, for SDL's key handler.
  function send_key(name, down) {
    const info = game_keys[name];
    const event = new KeyboardEvent(down ? 'keydown' : 'keyup', {
      key: info.key, code: info.code, bubbles: true, cancelable: true,
    });
    Object.defineProperty(event, 'keyCode', {get: () => info.key_code});
    Object.defineProperty(event, 'which', {get: () => info.key_code});
    window.dispatchEvent(event);
  }

  window.addEventListener('keydown', (event) => {
    if (!event.isTrusted)
      return;
    if (state === 'ready' && !event.ctrlKey && !event.altKey && !event.metaKey &&
        ['Shift', 'Control', 'Alt', 'Meta', 'Tab'].indexOf(event.key) < 0 &&
        !(event.target instanceof HTMLButtonElement && (event.key === 'Enter' || event.key === ' '))) {
      // The key that starts the game is not one for it: SDL's handler, added while the game
      // starts, would otherwise still receive it at the window.
      event.preventDefault();
      event.stopImmediatePropagation();
      start_game();
      return;
    }
    if (state !== 'running' && state !== 'ready')
      return;
    if (kept_codes.has(event.code) && !event.ctrlKey && !event.altKey && !event.metaKey)
      event.preventDefault();
    // In fullscreen a browser may keep Escape to leave it: Q stands for Escape everywhere.
    if (state === 'running' && event.code === 'KeyQ' && !event.repeat)
      send_key('quit', true);
  }, true);

  window.addEventListener('keyup', (event) => {
    if (!event.isTrusted || state !== 'running')
      return;
    if (kept_codes.has(event.code))
      event.preventDefault();
    if (event.code === 'KeyQ')
      send_key('quit', false);
  }, true);

  // ---- touch controls ----

  // Each on-screen key is held while at least one pointer holds it. A pointer lets go when it is
  // lifted, cancelled, loses its capture or leaves the key, so no key can stay down by itself.
  const touch_holds = new Map();  // key element -> set of pointer ids

  function touch_release(element, pointer_id) {
    const holders = touch_holds.get(element);
    if (!holders || !holders.delete(pointer_id))
      return;
    if (holders.size === 0) {
      touch_holds.delete(element);
      element.classList.remove('held');
      if (state === 'running')
        send_key(element.dataset.key, false);
    }
  }

  function release_all_touch_keys() {
    for (const [element, holders] of Array.from(touch_holds.entries())) {
      for (const id of Array.from(holders))
        touch_release(element, id);
    }
  }

  for (const element of document.querySelectorAll('.touch-key')) {
    element.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      if (state === 'ready') {
        start_game();
        return;
      }
      if (state !== 'running')
        return;
      try {
        element.setPointerCapture(event.pointerId);
      } catch (error) {
        // a pointer that is already gone cannot be captured; pointerup will not come either
        return;
      }
      let holders = touch_holds.get(element);
      if (!holders) {
        holders = new Set();
        touch_holds.set(element, holders);
      }
      const first = holders.size === 0;
      holders.add(event.pointerId);
      if (first) {
        element.classList.add('held');
        send_key(element.dataset.key, true);
      }
    });
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) {
      element.addEventListener(type, (event) => touch_release(element, event.pointerId));
    }
    // Captured pointers do not leave; an uncaptured one sliding off lets go.
    element.addEventListener('pointerleave', (event) => {
      if (!element.hasPointerCapture || !element.hasPointerCapture(event.pointerId))
        touch_release(element, event.pointerId);
    });
    element.addEventListener('contextmenu', (event) => event.preventDefault());
  }
  window.addEventListener('blur', release_all_touch_keys);
  document.addEventListener('visibilitychange', () => {
    if (document.hidden)
      release_all_touch_keys();
  });

  function touch_screen() {
    return navigator.maxTouchPoints > 0 ||
      (window.matchMedia && window.matchMedia('(any-pointer: coarse)').matches);
  }

  function show_touch_controls(shown) {
    body.classList.toggle('touch', shown);
    document.getElementById('touch-button').setAttribute('aria-pressed', String(shown));
    if (!shown)
      release_all_touch_keys();
    fit_screen();
  }

  show_touch_controls(touch_screen());
  document.getElementById('touch-button').addEventListener('click', () => {
    show_touch_controls(!body.classList.contains('touch'));
  });

  // ---- start: a click or tap on the screen, a key, or a pad button ----

  play_area.addEventListener('pointerdown', (event) => {
    if (state === 'ready' && event.isTrusted) {
      event.preventDefault();
      start_game();
    }
  });

  // Only to notice a pad's first press on the start screen; SDL reads the pads in the game.
  function watch_pads_for_start() {
    if (state === 'ready' && navigator.getGamepads) {
      for (const pad of Array.from(navigator.getGamepads() || [])) {
        if (pad && pad.buttons && pad.buttons.some((button) => button && button.pressed)) {
          start_game();
          return;
        }
      }
    }
    if (state === 'loading' || state === 'ready')
      window.requestAnimationFrame(watch_pads_for_start);
  }
  window.requestAnimationFrame(watch_pads_for_start);

  for (const button of document.querySelectorAll('.again-button'))
    button.addEventListener('click', () => window.location.reload());

  // ---- fullscreen ----

  // Browsers leave fullscreen on Escape and keep the key from the page. Where the Keyboard Lock
  // API exists (Chromium), the page asks for Escape: the game gets it and a held Escape leaves
  // fullscreen. Elsewhere Q plays the game's Escape.
  document.getElementById('fullscreen-button').addEventListener('click', async () => {
    if (document.fullscreenElement) {
      await document.exitFullscreen();
      return;
    }
    if (!play_area.requestFullscreen)
      return;
    try {
      await play_area.requestFullscreen({navigationUI: 'hide'});
      if (navigator.keyboard && navigator.keyboard.lock)
        await navigator.keyboard.lock(['Escape']);
    } catch (error) {
      console.warn('fullscreen: ' + error.message);
    }
  });
  document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement && navigator.keyboard && navigator.keyboard.unlock)
      navigator.keyboard.unlock();
  });

  // ---- the log and help panels ----

  const log_panel = document.getElementById('log-panel');
  const help_panel = document.getElementById('help-panel');
  let log_timer = 0;
  let log_url = '';

  function refresh_log_panel() {
    if (log_panel.hidden)
      return;
    const text = read_log();
    const extra = console_lines.length ? '\n-- printed by the game --\n' + console_lines.join('\n') : '';
    document.getElementById('log-text').textContent =
      (text || 'The log appears once the game has started.') + extra;
    if (log_url)
      URL.revokeObjectURL(log_url);
    log_url = URL.createObjectURL(new Blob([text], {type: 'text/plain'}));
    document.getElementById('log-save').href = log_url;
  }

  function show_panel(panel, button, shown) {
    panel.hidden = !shown;
    document.getElementById(button).setAttribute('aria-pressed', String(shown));
  }

  document.getElementById('log-button').addEventListener('click', () => {
    show_panel(log_panel, 'log-button', log_panel.hidden);
    clearInterval(log_timer);
    if (!log_panel.hidden) {
      refresh_log_panel();
      log_timer = setInterval(refresh_log_panel, 1000);
    }
  });
  document.getElementById('log-close').addEventListener('click', () => {
    show_panel(log_panel, 'log-button', false);
    clearInterval(log_timer);
  });
  document.getElementById('help-button').addEventListener('click', () => {
    show_panel(help_panel, 'help-button', help_panel.hidden);
  });
  document.getElementById('help-close').addEventListener('click', () => {
    show_panel(help_panel, 'help-button', false);
  });

  // The bar's buttons give the keyboard back to the game once clicked, so a later Enter or
  // Space does not click them again.
  for (const button of document.querySelectorAll('#bar button'))
    button.addEventListener('click', () => canvas.focus({preventScroll: true}));

  // An error the runtime did not catch ends the game as an abort does.
  window.addEventListener('error', (event) => {
    if (state === 'running')
      game_aborted(event.message);
  });

  // What the page offers to scripts (the browser tests, a curious player in the console).
  window.umbrafront = {
    get state() { return state; },
    get exit_status() { return exit_status; },
    get failure_reason() { return failure_reason; },
    state_times: state_times,
    log_text: read_log,
    printed: () => console_lines.slice(),
    // The mixer as the layer sees it: the file of the music playing now, and how many times the
    // browser's audio asked for sound.
    music_name: () => game && game._sdl12_playing_music_name ?
      game.UTF8ToString(game._sdl12_playing_music_name()) : null,
    audio_callbacks: () => game && game._sdl12_audio_callbacks ?
      game._sdl12_audio_callbacks() >>> 0 : null,
    send_key: send_key,
  };

  load();
})();
