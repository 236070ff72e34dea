// 60_random_input.js -- 50,000 seeded random inputs (keys, touches on the on-screen keys, a pad's
// buttons), then the game still answers a key: it leaves whatever screen it is on and quits from
// the title. No error may reach the console. Quitting inputs (Escape, Quit, both shoulders) are
// left out of the random part, so the run is not cut short by the title's quit.
'use strict';

const assert = require('assert');
const {open_game} = require('../lib/game_page');
const inputs = require('../lib/inputs');

const events = Number(process.env.UMBRA_WEB_RANDOM_EVENTS || 50000);
const seed = Number(process.env.UMBRA_WEB_RANDOM_SEED || 1);

// A small seeded generator (mulberry32): the same seed plays the same inputs.
function generator(start) {
  let state = start >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const keys = ['Z', 'X', 'Tab', 'Up', 'Down', 'Left', 'Right', 'PageUp', 'PageDown', 'Enter', 'Space', 'A', 'F', 'Home'];
const touch_keys = ['up', 'down', 'left', 'right', 'a', 'b', 'select', 'volume_up', 'volume_down'];
const pad_buttons = ['a', 'b', 'x', 'y', 'l', 'back', 'start', 'up', 'down', 'left', 'right', 'lt', 'rt'];

module.exports = [{
  name: 'random input: ' + events + ' events from seed ' + seed + ', then the game still answers',
  run: async (context) => {
    const page = await open_game(context, {touch: true, scripts: [inputs.pad_source]});
    try {
      await page.wait_state('ready', 120);
      await page.tap('Enter');
      await page.expect_screen('e2e_title', 60);
      await page.eval('__umbra_pad.connect()');
      const random = generator(seed);
      const pick = (list) => list[Math.floor(random() * list.length)];
      const held_keys = new Set();
      const held_pad = new Set();
      let finger = null;  // {key, id}
      let next_finger = 1;
      const centres = {};
      for (const key of touch_keys)
        centres[key] = await inputs.touch_centre(page, key);

      // The inputs between two catch-ups go out together (the protocol keeps their order).
      let batch = [];
      const started = Date.now();
      for (let n = 0; n < events; n++) {
        const kind = random();
        if (kind < 0.7) {
          const key = pick(keys);
          batch.push(page.key(key, !held_keys.has(key)));
          held_keys.has(key) ? held_keys.delete(key) : held_keys.add(key);
        } else if (kind < 0.85) {
          if (!finger) {
            const key = pick(touch_keys);
            finger = {key, id: next_finger++};
            batch.push(inputs.touch(page, 'touchStart', [{...centres[key], id: finger.id}]));
          } else {
            const how = random();
            if (how < 0.2) {
              batch.push(inputs.touch(page, 'touchMove',
                [{x: Math.floor(random() * 1000), y: Math.floor(random() * 760), id: finger.id}]));
            } else {
              batch.push(inputs.touch(page, how < 0.35 ? 'touchCancel' : 'touchEnd', []));
              finger = null;
            }
          }
        } else {
          const button = pick(pad_buttons);
          batch.push(inputs.pad_set(page, button, !held_pad.has(button)));
          held_pad.has(button) ? held_pad.delete(button) : held_pad.add(button);
        }
        // Now and then the game catches up, as a player's pace allows.
        if (n % 50 === 49 || n === events - 1) {
          await Promise.all(batch);
          batch = [];
          await page.sync(60);
        }
        if (n % 10000 === 9999) {
          assert.strictEqual(await page.state(), 'running', 'the game still runs after ' + (n + 1) + ' events');
          console.log('  ' + (n + 1) + ' events in ' + ((Date.now() - started) / 1000).toFixed(0) + ' s');
        }
      }
      for (const key of held_keys)
        await page.key_up(key);
      for (const button of held_pad)
        await inputs.pad_set(page, button, false);
      if (finger)
        await inputs.touch(page, 'touchEnd', []);
      await page.sync(60);
      assert.strictEqual(await page.state(), 'running');
      assert.strictEqual(await page.eval('document.querySelectorAll(".touch-key.held").length'), 0, 'no touch key held');

      // Still answering: from any screen, A and Escape lead back to the title, where Escape quits.
      await page.reference('title_picture', ['e2e_title', 0, 0, 320, 209, 'title_picture']);
      for (let attempt = 0; attempt < 40 && (await page.state()) === 'running'; attempt++) {
        if (!(await page.shows('title_picture'))) {
          await page.press('Z');
          if (await page.shows('title_picture'))
            continue;
        }
        await page.key_down('Escape');
        await page.sync();
        await page.key_up('Escape');
        await page.sync();
      }
      await page.wait_state('closed', 30);
      assert.ok((await page.eval('umbrafront.log_text()')).endsWith('Shutting down logfile and exiting game.\n'));
      assert.deepStrictEqual(page.errors, []);
    } finally {
      await page.close();
    }
  },
}];
