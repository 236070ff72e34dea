// figures.js -- the browser build's figures, printed with how they were taken: the site's size by
// file (raw and gzipped), the time from opening the page to the title on 127.0.0.1, the CPU the tab
// takes idle on the title, and the wall time of one computer turn against the native game's.
// Run through: node run.js --figures (scripts/web-test.sh --figures).
'use strict';

const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const {spawnSync} = require('child_process');
const {open_game, pause} = require('./lib/game_page');
const board = require('./lib/board');

function kib(bytes) {
  return (bytes / 1024).toFixed(1) + ' KiB';
}

function site_sizes(site) {
  const rows = [];
  const walk = (dir) => {
    for (const name of fs.readdirSync(dir).sort()) {
      const file = path.join(dir, name);
      if (fs.statSync(file).isDirectory())
        walk(file);
      else {
        const bytes = fs.readFileSync(file);
        rows.push([path.relative(site, file), bytes.length, zlib.gzipSync(bytes, {level: 9}).length]);
      }
    }
  };
  walk(site);
  console.log('site size by file (' + site + '; gzip -9):');
  let raw = 0;
  let packed = 0;
  for (const [name, size, gz] of rows) {
    console.log('  ' + name.padEnd(24) + kib(size).padStart(12) + kib(gz).padStart(12));
    raw += size;
    packed += gz;
  }
  console.log('  ' + 'total'.padEnd(24) + kib(raw).padStart(12) + kib(packed).padStart(12));
}

// CPU seconds of every process in the browser's process group, from /proc, by Chromium's
// process type (browser, renderer, gpu-process, utility: the audio service among them).
function group_cpu_seconds(group) {
  const tick = 100;  // USER_HZ on Linux
  const by_type = {total: 0};
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const stat = fs.readFileSync('/proc/' + pid + '/stat', 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      if (Number(fields[2]) !== group)
        continue;
      const cmdline = fs.readFileSync('/proc/' + pid + '/cmdline', 'utf8');
      const type = (/--type=([a-z-]+)/.exec(cmdline) || [null, 'browser'])[1];
      const service = (/--utility-sub-type=([\w.]+)/.exec(cmdline) || [null, ''])[1];
      const label = service ? type + ' ' + service.split('.').pop() : type;
      const seconds = (Number(fields[11]) + Number(fields[12])) / tick;
      by_type[label] = (by_type[label] || 0) + seconds;
      by_type.total += seconds;
    } catch (error) {
      // the process ended meanwhile
    }
  }
  return by_type;
}

async function start_and_idle(context) {
  const page = await open_game(context);
  try {
    await page.reference('e2e_title');
    await page.eval('__umbra_probe.watch("e2e_title", 0, 0)');
    await page.wait_state('ready', 120);
    await page.tap('Enter');
    await page.wait('__umbra_probe.seen.has("e2e_title")', 60, 'the title');
    const times = await page.eval('({ready: umbrafront.state_times.ready, running: umbrafront.state_times.running, ' +
      'title: Math.round(__umbra_probe.seen.get("e2e_title").at)})');
    console.log('time from opening the page to the title (127.0.0.1, one fresh headless Chromium):');
    console.log('  files downloaded and the game compiled (start screen): ' + times.ready + ' ms');
    console.log('  from the start key to the title screen: ' + (times.title - times.running) + ' ms');
    console.log('  from opening the page to the title, the key pressed at once: ' + times.title + ' ms');

    // Idle on the title: the main thread's task time (DevTools), and all of Chromium's processes.
    await page.eval('__umbra_probe.stop_watching()');
    await page.wait('(umbrafront.music_name() || "").endsWith("creek.ogg")', 10, 'the title music');
    await page.client.Performance.enable();
    const task = async () => (await page.client.Performance.getMetrics()).metrics.find((m) => m.name === 'TaskDuration').value;
    const seconds = 10;
    const task0 = await task();
    const cpu0 = group_cpu_seconds(page.browser.child.pid);
    const wall0 = Date.now();
    await pause(seconds * 1000);
    const task1 = await task();
    const cpu1 = group_cpu_seconds(page.browser.child.pid);
    const wall = (Date.now() - wall0) / 1000;
    console.log('CPU of the tab idle on the title, over ' + wall.toFixed(1) + ' s (music playing):');
    console.log('  page main thread (Performance.getMetrics TaskDuration): ' + (100 * (task1 - task0) / wall).toFixed(1) + ' % of one core');
    console.log('  all Chromium processes (/proc, headless, software rendering): ' +
      (100 * (cpu1.total - cpu0.total) / wall).toFixed(1) + ' % of one core, of which:');
    for (const label of Object.keys(cpu1).filter((l) => l !== 'total').sort())
      console.log('    ' + label.padEnd(24) + (100 * (cpu1[label] - (cpu0[label] || 0)) / wall).toFixed(1) + ' %');
  } finally {
    await page.close();
  }
}

// A computer-vs-computer battle, its turns timed from the screen as native_turns.sh times them:
// a box frame appearing starts a turn; a box that stays three seconds is the victory.
async function browser_turns(context) {
  const page = await open_game(context);
  try {
    await page.wait_state('ready', 120);
    await page.tap('Enter');
    await page.expect_screen('e2e_title', 60);
    for (const option of [1, 2, 3])
      await page.reference('e2e_option' + option);
    for (const option of [1, 2, 3])
      await page.hold_until('X', '__umbra_probe.diff("e2e_option' + option + '", 0, 0) === 0', 10, 'option ' + option);
    await page.reference('box_top', ['e2e_banner_dark', 0, 0, 161, 17, 'box_top']);
    await page.key_down('Z');
    let banners = 0;
    let first = 0;
    let shown_since = 0;
    const limit = Date.now() + 1800 * 1000;
    for (;;) {
      if (Date.now() > limit)
        throw new Error('no victory within 30 minutes');
      const now = Date.now();
      if (await page.diff('box_top', board.box.x, board.box.y) === 0) {
        if (!shown_since) {
          shown_since = now;
          banners++;
          if (!first) {
            first = now;
            await page.key_up('Z');
          }
        } else if (now - shown_since > 3000) {
          break;
        }
      } else {
        shown_since = 0;
      }
      await pause(100);
    }
    const turns = banners - 1;
    const seconds = (shown_since - first) / 1000;
    return {turns, seconds, per_turn: seconds / turns};
  } finally {
    await page.close();
  }
}

async function print_figures(context) {
  site_sizes(context.site);
  await start_and_idle(context);
  const browser = await browser_turns(context);
  console.log('one computer turn (CPU vs CPU, box frames timed from the screen):');
  console.log('  browser: ' + browser.turns + ' turns in ' + browser.seconds.toFixed(1) + ' s, ' +
    browser.per_turn.toFixed(2) + ' s per turn');
  const game = path.join(context.root, 'build', 'umbrafront');
  const data = path.join(context.root, 'build', 'Data');
  if (!fs.existsSync(game)) {
    console.log('  native: no build/umbrafront (./play.sh or ./test.sh builds it)');
    return;
  }
  const native = spawnSync(path.join(__dirname, 'native_turns.sh'), [game, data], {encoding: 'utf8'});
  const line = (native.stdout || '').trim().split('\n').pop();
  console.log('  native (tests/web/native_turns.sh, Xvfb): ' + (native.status === 0 ? line : 'failed: ' + native.stderr.trim()));
  const found = /per turn ([\d.]+) s/.exec(line || '');
  if (found)
    console.log('  browser / native: ' + (browser.per_turn / Number(found[1])).toFixed(3) +
      ' (each battle is a new random map, so turns differ in what they hold)');
}

module.exports = {print_figures};
