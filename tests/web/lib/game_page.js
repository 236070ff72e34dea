// game_page.js -- one fresh browser on the game's page, and what a test does with it: wait for a
// page state or a screen (polling with a deadline, never a fixed sleep), press and release keys as
// a keyboard does, read the mixer, and keep the screen as evidence when a check fails.
'use strict';

const path = require('path');
const chromium = require('./chromium');
const {probe_source} = require('./probe');
const screens = require('./screens');

// Keys as the DevTools protocol types them.
const keys = {
  Z: {key: 'z', code: 'KeyZ', key_code: 90},
  X: {key: 'x', code: 'KeyX', key_code: 88},
  Q: {key: 'q', code: 'KeyQ', key_code: 81},
  Tab: {key: 'Tab', code: 'Tab', key_code: 9},
  Escape: {key: 'Escape', code: 'Escape', key_code: 27},
  Enter: {key: 'Enter', code: 'Enter', key_code: 13},
  Space: {key: ' ', code: 'Space', key_code: 32},
  Up: {key: 'ArrowUp', code: 'ArrowUp', key_code: 38},
  Down: {key: 'ArrowDown', code: 'ArrowDown', key_code: 40},
  Left: {key: 'ArrowLeft', code: 'ArrowLeft', key_code: 37},
  Right: {key: 'ArrowRight', code: 'ArrowRight', key_code: 39},
  PageUp: {key: 'PageUp', code: 'PageUp', key_code: 33},
  PageDown: {key: 'PageDown', code: 'PageDown', key_code: 34},
  Home: {key: 'Home', code: 'Home', key_code: 36},
  A: {key: 'a', code: 'KeyA', key_code: 65},
  F: {key: 'f', code: 'KeyF', key_code: 70},
};

const poll_ms = 40;
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function open_game(context, {url = context.url, width = 1024, height = 768, scripts = [],
  touch = false, before_navigate = null} = {}) {
  const browser = await chromium.launch({width, height});
  let connection;
  try {
    connection = await chromium.connect(browser);
  } catch (error) {
    await browser.close();
    throw error;
  }
  const {client, errors, messages} = connection;
  const {Page, Runtime, Input, Emulation} = client;
  await Emulation.setFocusEmulationEnabled({enabled: true});
  if (touch)
    await Emulation.setTouchEmulationEnabled({enabled: true, maxTouchPoints: 5});
  for (const source of [probe_source].concat(scripts))
    await Page.addScriptToEvaluateOnNewDocument({source});
  const page = {client, errors, messages, browser, context, timeouts: 0, navigations: []};
  // A page that navigates away mid-test is an error of its own, reported with where it went.
  client.Page.frameNavigated(({frame}) => {
    if (!frame.parentId)
      page.navigations.push(frame.url);
  });
  client.Page.frameRequestedNavigation((params) => {
    errors.push('navigation requested: ' + params.reason + ' to ' + params.url);
  });

  page.eval = async (expression) => {
    const {result, exceptionDetails} = await Runtime.evaluate({expression, returnByValue: true, awaitPromise: true});
    if (exceptionDetails) {
      const d = exceptionDetails;
      throw new Error('in the page: ' + (d.exception && d.exception.description ? d.exception.description : d.text) +
        '\n  evaluating: ' + expression.slice(0, 200));
    }
    return result.value;
  };

  // Polls EXPRESSION until it is truthy; fails after SECONDS with WHAT and the last value.
  page.wait = async (expression, seconds, what) => {
    const end = Date.now() + seconds * 1000;
    let value;
    for (;;) {
      value = await page.eval(expression);
      if (value)
        return value;
      if (Date.now() > end) {
        const kept = await page.keep_screen('waited-' + (++page.timeouts));
        throw new Error('waited ' + seconds + ' s for ' + what + '; last: ' + JSON.stringify(value) +
          '; page state ' + JSON.stringify(await page.eval('window.umbrafront && umbrafront.state')) +
          (kept ? '; screen kept in ' + kept : ''));
      }
      await pause(poll_ms);
    }
  };

  page.state = () => page.eval('window.umbrafront ? umbrafront.state : "no page"');
  page.wait_state = (state, seconds) =>
    page.wait('window.umbrafront && umbrafront.state === ' + JSON.stringify(state), seconds, 'page state ' + state);

  page.key = async (name, down) => {
    const k = keys[name];
    if (!k)
      throw new Error('no key ' + name);
    await Input.dispatchKeyEvent({type: down ? 'rawKeyDown' : 'keyUp', key: k.key, code: k.code,
      windowsVirtualKeyCode: k.key_code, nativeVirtualKeyCode: k.key_code});
  };
  // Waits until the game has taken everything sent so far: two of its sleeps, each of which comes
  // after a poll that emptied the queue.
  // A game that has ended polls no more: then there is nothing to wait for.
  page.sync = async (seconds = 30) => {
    const start = await page.eval('__umbra_probe.sleeps');
    await page.wait('__umbra_probe.sleeps >= ' + (start + 2) + ' || umbrafront.state !== "running"', seconds,
      'the game to poll');
  };
  page.key_down = (name) => page.key(name, true);
  page.key_up = (name) => page.key(name, false);
  // A tap whose press alone has the effect (the arrows): the game may take both in one poll.
  page.tap = async (name) => {
    await page.key_down(name);
    await page.key_up(name);
  };
  // A press the game must see on its own before the release (A and B): the release waits for a poll.
  page.press = async (name) => {
    await page.key_down(name);
    await page.sync();
    await page.key_up(name);
    await page.sync();
  };
  // Holds NAME until EXPRESSION is truthy, then lets go and waits for the game to take the
  // release, so a press that follows is seen on its own.
  page.hold_until = async (name, expression, seconds, what) => {
    await page.key_down(name);
    let result;
    try {
      result = await page.wait(expression, seconds, what);
    } finally {
      await page.key_up(name);
    }
    await page.sync();
    return result;
  };

  // ---- screens ----
  const sent = new Set();
  page.reference = async (name, from = null) => {
    if (sent.has(name))
      return;
    const ref = from ? screens.crop(...from) : screens.reference(name);
    await page.eval('__umbra_probe.add_reference(' + JSON.stringify(name) + ',' +
      JSON.stringify(ref.rgb.toString('base64')) + ',' + ref.width + ',' + ref.height + ')');
    sent.add(name);
  };
  page.diff = async (name, x = 0, y = 0) => {
    await page.reference(name);
    return page.eval('__umbra_probe.diff(' + JSON.stringify(name) + ',' + x + ',' + y + ')');
  };
  page.shows = async (name, x = 0, y = 0) => (await page.diff(name, x, y)) === 0;
  page.expect_screen = async (name, seconds, x = 0, y = 0) => {
    await page.reference(name);
    try {
      await page.wait('__umbra_probe.diff(' + JSON.stringify(name) + ',' + x + ',' + y + ') === 0', seconds,
        'the screen ' + name + (x || y ? ' at ' + x + ',' + y : ''));
    } catch (error) {
      const left = await page.diff(name, x, y);
      await page.keep_screen('not-' + name);
      throw new Error(error.message + ' (' + left + ' pixels differ)');
    }
  };
  page.screen_hash = (x = 0, y = 0, w = 320, h = 240) =>
    page.eval('__umbra_probe.hash(' + [x, y, w, h].join(',') + ')');
  page.keep_screen = async (label) => {
    const pixels = await page.eval('(() => { const d = __umbra_probe.canvas_pixels(0, 0, 320, 240); ' +
      'if (!d) return null; let s = ""; for (let i = 0; i < d.length; i += 8192) ' +
      's += String.fromCharCode.apply(null, d.subarray(i, i + 8192)); return btoa(s); })()').catch(() => null);
    if (!pixels || !context.output)
      return null;
    const file = path.join(context.output, (context.test_name || 'test') + '-' + label + '.png');
    screens.write_png(file, Buffer.from(pixels, 'base64'), 320, 240);
    return file;
  };

  // ---- the mixer, through the layer's functions ----
  page.music = () => page.eval('umbrafront.music_name()');
  page.audio_callbacks = () => page.eval('umbrafront.audio_callbacks()');

  page.close = async () => {
    try {
      await client.close();
    } catch (error) {
      // the browser may be gone already
    }
    await browser.close();
  };

  try {
    if (before_navigate)
      await before_navigate(page);
    const loaded = Page.loadEventFired();
    const {errorText} = await Page.navigate({url});
    if (errorText)
      throw new Error('cannot open ' + url + ': ' + errorText);
    await loaded;
  } catch (error) {
    await page.close();
    throw error;
  }
  return page;
}

// Opens the page, waits for the start screen and starts the game with a key, as a player would.
async function start_game(context, options = {}) {
  const page = await open_game(context, options);
  try {
    await page.wait_state('ready', 120);
    await page.tap('Enter');
    await page.wait_state('running', 10);
  } catch (error) {
    await page.close();
    throw error;
  }
  return page;
}

module.exports = {open_game, start_game, keys, pause};
