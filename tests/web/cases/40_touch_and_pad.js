// 40_touch_and_pad.js -- the on-screen touch keys and a stand-in game pad play the game: options,
// credits, a battle's cursor, Select, the shoulders' quit, and Quit on the title. A finger that
// slides off a key and is cancelled lets the key go.
'use strict';

const assert = require('assert');
const {open_game} = require('../lib/game_page');
const board = require('../lib/board');
const inputs = require('../lib/inputs');

module.exports = [{
  name: 'touch and pad: on-screen keys and a standard pad drive the cursor and the buttons',
  run: async (context) => {
    const page = await open_game(context, {touch: true, width: 900, height: 600,
      scripts: [inputs.pad_source, inputs.key_log_source]});
    try {
      await page.wait_state('ready', 120);
      assert.notStrictEqual(await page.eval('getComputedStyle(document.getElementById("pad-left")).display'), 'none',
        'the touch keys show on a touch screen');
      // A tap on the screen starts the game.
      const centre = await page.eval('(() => { const r = document.getElementById("overlay").getBoundingClientRect(); ' +
        'return {x: r.left + r.width / 2, y: r.top + r.height / 2}; })()');
      await inputs.touch(page, 'touchStart', [{x: centre.x, y: centre.y, id: 1}]);
      await inputs.touch(page, 'touchEnd', []);
      await page.wait_state('running', 10);
      await page.expect_screen('e2e_title', 60);

      // Touch B, held until the option changes.
      const b = await inputs.finger_down(page, 'b');
      await page.expect_screen('e2e_option1', 10);
      await inputs.finger_up(page);
      await page.sync();
      // A finger that slides off B and is then cancelled: B is let go all the same.
      await page.eval('__keys.length = 0');
      await inputs.finger_down(page, 'b');
      await page.expect_screen('e2e_option2', 10);
      await inputs.touch(page, 'touchMove', [{x: 5, y: 5, id: b.id}]);
      await inputs.touch(page, 'touchCancel', []);
      await page.wait('document.querySelectorAll(".touch-key.held").length === 0', 5, 'no key held');
      assert.deepStrictEqual(await page.eval('__keys'), ['keydown:KeyX:page', 'keyup:KeyX:page']);

      // The pad: B twice (Credits), A shows the credits, A again returns to the title.
      await page.eval('__umbra_pad.connect()');
      await inputs.pad_press(page, 'b');
      await page.expect_screen('e2e_option3', 10);
      await inputs.pad_press(page, 'b');
      await page.expect_screen('e2e_option4', 10);
      await inputs.pad_press(page, 'a');
      await page.expect_screen('e2e_credits', 10);
      await inputs.pad_press(page, 'a');
      await page.expect_screen('e2e_title', 10);

      // Touch A on "Person vs Person": the Dark's banner; the pad's A lets the battle begin.
      await board.use_box_parts(page);
      const {x: bx, y: by} = board.box;
      const shows_box = board.box_shown;
      await inputs.finger_down(page, 'a');
      await page.expect_screen('e2e_banner_dark', 20, bx, by);
      await inputs.finger_up(page);
      await page.sync();
      await inputs.pad_press(page, 'a');
      await page.wait('!(' + shows_box + ')', 10, 'the banner to go');
      await page.expect_screen('e2e_status_blank', 10, 0, 0);

      // The cursor: the touch d-pad's left, then the pad's d-pad right, bring back the same screen.
      const start = await page.screen_hash();
      await inputs.touch_press(page, 'left');
      await page.wait('__umbra_probe.hash(0, 0, 320, 240) !== ' + JSON.stringify(start), 10, 'the cursor to move left');
      const left = await page.screen_hash();
      await inputs.touch_press(page, 'down');
      await page.wait('__umbra_probe.hash(0, 0, 320, 240) !== ' + JSON.stringify(left), 10, 'the cursor to move down');
      await inputs.pad_press(page, 'up');
      await inputs.pad_press(page, 'right');
      await page.wait('__umbra_probe.hash(0, 0, 320, 240) === ' + JSON.stringify(start), 10, 'the cursor back at its start');

      // Touch Select ends the Dark's turn: the Light's banner, which the pad's A dismisses.
      await inputs.touch_press(page, 'select');
      await page.wait(shows_box + ' && __umbra_probe.diff("box_dark_name", ' + bx + ', ' + by + ') > 0', 20,
        'the Light\'s banner');
      // Select's button stays set until an A or B is released: the banner takes a second A.
      await inputs.pad_press(page, 'a');
      assert.ok(await page.eval(shows_box), 'the first A only clears the button Select left');
      await inputs.pad_press(page, 'a');
      await page.wait('!(' + shows_box + ')', 10, 'the Light\'s banner to go');

      // Both shoulders together leave the battle.
      await inputs.pad_set(page, 'l', true);
      await inputs.pad_set(page, 'r', true);
      await page.expect_screen('e2e_title', 20);
      await inputs.pad_set(page, 'l', false);
      await inputs.pad_set(page, 'r', false);
      await page.sync();

      // The volume keys send Page Up and Page Down; Quit on the title ends the game.
      await page.eval('__keys.length = 0');
      await inputs.touch_press(page, 'volume_up');
      await inputs.touch_press(page, 'volume_down');
      assert.deepStrictEqual(await page.eval('__keys'),
        ['keydown:PageUp:page', 'keyup:PageUp:page', 'keydown:PageDown:page', 'keyup:PageDown:page']);
      await inputs.finger_down(page, 'quit');
      await page.wait_state('closed', 20);
      await inputs.finger_up(page);
      assert.strictEqual(await page.eval('getComputedStyle(document.getElementById("closing-panel")).display'), 'block');
      assert.strictEqual(await page.eval('umbrafront.exit_status'), 0);
      const log = await page.eval('umbrafront.log_text()');
      assert.ok(log.endsWith('Shutting down logfile and exiting game.\n'), 'the log ends with the shut-down');
      assert.deepStrictEqual(page.errors, []);
    } finally {
      await page.close();
    }
  },
}];
