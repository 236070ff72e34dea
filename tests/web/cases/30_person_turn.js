// 30_person_turn.js -- a person's turn in "Person vs Person", as the native end-to-end test plays
// it: the Dark's banner, a Dark Soldier found through the info line, its statistics, selected,
// stepped, its action ended, the turn ended with Tab, and Escape back to the title.
'use strict';

const assert = require('assert');
const {start_game} = require('../lib/game_page');
const board = require('../lib/board');

const info = board.info_line;

module.exports = [{
  name: 'person turn: select, step, statistics, end turn, Escape to the title',
  run: async (context) => {
    const page = await start_game(context);
    try {
      await page.expect_screen('e2e_title', 60);
      await board.use_box_parts(page);
      for (const name of ['e2e_banner_dark', 'e2e_title'])
        await page.reference(name);
      const {x: bx, y: by} = board.box;
      const shows_box = board.box_shown;
      const shows = (name) => page.shows(name, info.x, info.y);

      let battles = 0;
      let done = false;
      while (!done) {
        assert.ok(battles < 3, 'three maps without a free cell beside the Dark\'s Soldiers');
        battles++;
        // A on "Person vs Person", held until the Dark's banner shows; the banner waits for A.
        await page.hold_until('Z', '__umbra_probe.diff("e2e_banner_dark", ' + bx + ', ' + by + ') === 0', 20,
          'the Dark\'s banner');
        await page.press('Z');
        await page.wait('!(' + shows_box + ')', 10, 'the banner to go');
        await page.expect_screen('e2e_status_blank', 10, 0, 0);
        const cursor = board.new_cursor();

        // The Dark's three Soldiers stand in column 2, rows a..a+2.
        let a = -1;
        for (let row = 0; row <= 9 && a < 0; row++) {
          await board.move_to(page, cursor, 2, row);
          if (await shows('e2e_info_soldier'))
            a = row;
        }
        if (a < 0) {
          await page.keep_screen('no-soldier');
          throw new Error('no Dark Soldier found in column 2');
        }
        // A free cell of Plain or Grasslands beside one of them, in column 3.
        let target = -1;
        for (const row of [a, a + 1, a - 1, a + 2, a + 3]) {
          if (row < 0 || row > 11)
            continue;
          await board.move_to(page, cursor, 3, row);
          if (await shows('e2e_info_plain') || await shows('e2e_info_grasslands')) {
            target = row;
            break;
          }
        }
        if (target < 0) {
          await page.hold_until('Escape', '__umbra_probe.diff("e2e_title", 0, 0) === 0', 20, 'the title');
          continue;
        }
        const soldier = Math.min(Math.max(target, a), a + 2);

        // B on the Soldier with nothing selected: its statistics in the box, until B again.
        await board.move_to(page, cursor, 2, soldier);
        await page.hold_until('X', shows_box, 10, 'the statistics box');
        await page.sync();
        await page.press('X');
        await page.wait('!(' + shows_box + ')', 10, 'the statistics box to go');
        await page.expect_screen('e2e_info_soldier', 10, info.x, info.y);

        await page.press('Z');  // select
        await page.expect_screen('e2e_info_selected', 10, info.x, info.y);
        await board.move_to(page, cursor, 3, target);
        await page.press('Z');  // step
        await page.expect_screen('e2e_info_stepped', 10, info.x, info.y);
        // B ends the selected Soldier's action wherever the cursor is: on the cell it left.
        await board.move_to(page, cursor, 2, soldier);
        await page.press('X');
        await page.expect_screen('e2e_info_plain', 10, info.x, info.y);
        await board.move_to(page, cursor, 3, target);
        await page.expect_screen('e2e_info_finished', 10, info.x, info.y);
        done = true;
      }

      // Tab ends the Dark's turn: the Light's banner (a box without the Dark's name).
      await page.tap('Tab');
      await page.wait(shows_box + ' && __umbra_probe.diff("box_dark_name", ' + bx + ', ' + by + ') > 0', 20,
        'the Light\'s banner');
      // Tab's button stays set until an A or B is released (the game's rule), so the banner's
      // wait for a press and release takes a second A.
      await page.press('Z');
      assert.ok(await page.eval(shows_box), 'the first A only clears the button Tab left');
      await page.press('Z');
      await page.wait('!(' + shows_box + ')', 10, 'the Light\'s banner to go');
      // Escape, held until the title shows, leaves the battle.
      await page.hold_until('Escape', '__umbra_probe.diff("e2e_title", 0, 0) === 0', 20, 'the title after Escape');
      await page.wait('(umbrafront.music_name() || "").endsWith("creek.ogg")', 10, 'the title music');
      const log = await page.eval('umbrafront.log_text()');
      assert.ok(log.includes('P1 is cpu: no\nP2 is cpu: no\n'), 'the log names two persons');
      assert.strictEqual(log.split('\nNew game started.\n').length - 1, battles, 'one "New game started." per battle');
      assert.deepStrictEqual(page.errors, []);
    } finally {
      await page.close();
    }
  },
}];
