// 20_computer_battle.js -- keys on the title pick "CPU vs CPU" (B three times, then A); the battle
// plays by itself to the victory box; A returns to the title. The screens are compared with the
// native ones where the native end-to-end test compares them, and the music is followed through
// the mixer: the title's, the battle's from its start, the title's again after.
'use strict';

const assert = require('assert');
const {start_game, pause} = require('../lib/game_page');
const board = require('../lib/board');

const battle_music = ['pyramid.mod', 'spacemaz.mod', 'fastelmo.ogg'];
const victory_seconds = 900;

const base = (name) => (name || '').split('/').pop();

module.exports = [{
  name: 'computer battle: title options by key, CPU vs CPU to the victory box, music follows',
  run: async (context) => {
    const page = await start_game(context);
    try {
      await page.expect_screen('e2e_title', 60);
      await page.wait('(umbrafront.music_name() || "").endsWith("creek.ogg")', 10, 'the title music');
      for (const option of [1, 2, 3]) {
        await page.reference('e2e_option' + option);
        await page.hold_until('X', '__umbra_probe.diff("e2e_option' + option + '", 0, 0) === 0', 10,
          'option ' + option + ' after B');
      }

      await board.use_box_parts(page);
      // The native game's victory box (tests/web/native_turns.sh keeps one); its second line,
      // "Are Victorious!", is the same whoever wins.
      await page.reference('victory_line', ['victory_light', 0, 32, 161, 21, 'victory_line']);
      const {x, y} = board.box;
      // A on "CPU vs CPU": the Dark's first banner, without "Press (A)".
      await page.hold_until('Z', '__umbra_probe.diff("banner_dark_turn1", ' + x + ', ' + y + ') === 0', 20,
        'the Dark\'s first turn banner');
      assert.strictEqual(base(await page.music()), 'pyramid.mod', 'the battle starts with its balanced music');

      // The victory box: the box's frame and "Are Victorious!" under the winner's name.
      const heard = new Set();
      const end = Date.now() + victory_seconds * 1000;
      for (;;) {
        heard.add(base(await page.music()));
        const over = await page.eval(board.box_shown + ' && ' +
          '__umbra_probe.diff("victory_line", ' + x + ', ' + (y + 32) + ') === 0');
        if (over)
          break;
        if (Date.now() > end) {
          await page.keep_screen('no-victory');
          throw new Error('no victory box within ' + victory_seconds + ' s');
        }
        await pause(250);
      }
      const dark_won = await page.diff('box_dark_name', x, y) === 0;
      if (!dark_won)
        assert.strictEqual(await page.diff('victory_light', x, y), 0, 'the Light\'s victory box as the native one');
      for (const name of heard)
        assert.ok(battle_music.includes(name), 'battle music, not ' + name);

      // A (pressed and released) leaves the victory box for the title and its music.
      await page.press('Z');
      await page.expect_screen('e2e_title', 20);
      await page.wait('(umbrafront.music_name() || "").endsWith("creek.ogg")', 10, 'the title music again');
      const log = await page.eval('umbrafront.log_text()');
      assert.ok(log.includes('New game started.\nP1 is cpu: yes\nP2 is cpu: yes\n'), 'the log names two computers');
      console.log('  the ' + (dark_won ? 'Dark' : 'Light') + ' won; music heard: ' + Array.from(heard).join(', '));
      assert.deepStrictEqual(page.errors, []);
    } finally {
      await page.close();
    }
  },
}];
