// 10_start.js -- from opening the page to the title: the loading bar, the start screen, the Loading
// and title screens as the native game draws them, the title music starting only after the
// player's first key, and the screen's whole-factor scale following the window.
'use strict';

const assert = require('assert');
const {open_game} = require('../lib/game_page');

module.exports = [{
  name: 'start: loading bar, start screen, Loading and title screens, music after the first key',
  run: async (context) => {
    const page = await open_game(context);
    try {
      // The loading bar fills while the files download, then the start screen waits for a key.
      await page.wait('document.getElementById("progress-fill").style.width !== ""', 30, 'the loading bar');
      await page.wait_state('ready', 120);
      assert.strictEqual(await page.eval('document.getElementById("progress-fill").style.width'), '100%');
      assert.strictEqual(await page.eval('getComputedStyle(document.getElementById("start-panel")).display'), 'block');
      // Nothing plays before the start: the game has not opened its audio.
      assert.ok(!(await page.audio_callbacks()), 'no audio before the start');

      await page.reference('startup_loading');
      await page.eval('__umbra_probe.watch("startup_loading", 0, 0)');
      await page.tap('Enter');
      await page.wait_state('running', 10);
      await page.expect_screen('e2e_title', 60);
      // The Loading screen was on the canvas when the browser drew: a player saw it.
      assert.ok(await page.eval('__umbra_probe.seen.has("startup_loading")'),
        'the Loading screen was never put on the canvas (' + await page.eval('__umbra_probe.frames') + ' pictures)');
      assert.ok(await page.eval('__umbra_probe.seen_painted("startup_loading")'),
        'the Loading screen was put on the canvas but replaced before the browser drew it');

      // The title music plays, and the browser keeps asking the mixer for sound.
      await page.wait('(umbrafront.music_name() || "").endsWith("creek.ogg")', 10, 'the title music');
      const callbacks = await page.audio_callbacks();
      await page.wait('umbrafront.audio_callbacks() >= ' + (callbacks + 20), 20, 'the audio callbacks to count up');

      // The largest whole factor that fits (the page's bar takes some 35 pixels of the height).
      assert.strictEqual(await page.eval('getComputedStyle(document.getElementById("canvas")).imageRendering'), 'pixelated');
      for (const [width, height, expected] of [[1024, 800, '3 960x720'], [700, 560, '2 640x480'],
        [400, 300, '1 320x240'], [1000, 560, '2 640x480'], [1300, 1000, '4 1280x960']]) {
        await page.client.Emulation.setDeviceMetricsOverride({width, height, deviceScaleFactor: 1, mobile: false});
        await page.wait('document.getElementById("screen").dataset.scale + " " + ' +
          'Math.round(document.getElementById("canvas").getBoundingClientRect().width) + "x" + ' +
          'Math.round(document.getElementById("canvas").getBoundingClientRect().height) === ' +
          JSON.stringify(expected), 10, 'scale ' + expected + ' in ' + width + 'x' + height);
      }
      // Centred in the stage.
      const centred = await page.eval('(() => { const s = document.getElementById("stage").getBoundingClientRect(); ' +
        'const c = document.getElementById("canvas").getBoundingClientRect(); ' +
        'return Math.abs((c.left - s.left) - (s.right - c.right)) <= 1 && Math.abs((c.top - s.top) - (s.bottom - c.bottom)) <= 1; })()');
      assert.ok(centred, 'the screen is centred');
      // The game's keys do not scroll the page or move the focus: the page cancels their defaults.
      await page.eval('window.__kept = []; window.addEventListener("keydown", (e) => ' +
        '__kept.push(e.code + ":" + e.defaultPrevented))');
      for (const key of ['Tab', 'Down', 'Up', 'Left', 'Right', 'PageDown', 'PageUp'])
        await page.tap(key);
      await page.sync();
      assert.deepStrictEqual(await page.eval('__kept'), ['Tab:true', 'ArrowDown:true', 'ArrowUp:true',
        'ArrowLeft:true', 'ArrowRight:true', 'PageDown:true', 'PageUp:true']);
      assert.strictEqual(await page.eval('document.activeElement && document.activeElement.id'), 'canvas');
      assert.deepStrictEqual(page.errors, []);
    } finally {
      await page.close();
    }
  },
}];
