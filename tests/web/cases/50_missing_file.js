// 50_missing_file.js -- a site whose Data lacks a picture: the game stops through its fatal path,
// and the page shows the game's message and the log's last lines instead of a frozen screen.
'use strict';

const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {open_game} = require('../lib/game_page');

module.exports = [{
  name: 'missing Data file: the fatal message and the log\'s last lines',
  run: async (context) => {
    const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'umbra-web-site-'));
    try {
      fs.cpSync(context.site, copy, {recursive: true});
      fs.rmSync(path.join(copy, 'Data', 'tiles.bmp'));
      const url = await context.serve(copy);
      const page = await open_game(context, {url});
      try {
        await page.wait_state('ready', 120);
        await page.tap('Enter');
        await page.wait_state('failed', 30);
        assert.strictEqual(await page.eval('document.getElementById("failure-message").textContent'),
          'Unable to load tiles!');
        assert.strictEqual(await page.eval('getComputedStyle(document.getElementById("failure-panel")).display'), 'block');
        const shown = await page.eval('document.getElementById("failure-log").textContent');
        const log = await page.eval('umbrafront.log_text()');
        assert.ok(log.includes('Unable to load tiles!\n--controlled exit due to error--\n'), 'the log has the reason');
        assert.ok(shown.length > 0 && log.trimEnd().endsWith(shown), 'the page shows the log\'s last lines');
        assert.ok(shown.includes('--controlled exit due to error--'));
        assert.strictEqual(await page.eval('umbrafront.exit_status'), 1);
      } finally {
        await page.close();
      }
    } finally {
      fs.rmSync(copy, {recursive: true, force: true});
    }
  },
}];
