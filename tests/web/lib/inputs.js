// inputs.js -- touches on the page's on-screen keys, and a stand-in game pad: navigator.getGamepads
// replaced in the page before it loads, as a browser with one "standard" pad plugged in reports it.
'use strict';

// Put into the page before its scripts: one standard pad, index 0, all controls at rest.
const pad_source = '(' + function () {
  const pad = {
    id: 'Umbrafront stand-in pad (STANDARD GAMEPAD Vendor: 0000 Product: 0000)',
    index: 0, connected: true, mapping: 'standard', timestamp: 0,
    axes: [0, 0, 0, 0],
    buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0})),
  };
  window.__umbra_pad = {
    pad,
    set: (index, down) => {
      pad.buttons[index] = {pressed: down, touched: down, value: down ? 1 : 0};
      pad.timestamp = performance.now();
    },
    connect: () => {
      const event = new Event('gamepadconnected');
      Object.defineProperty(event, 'gamepad', {value: pad});
      window.dispatchEvent(event);
    },
  };
  const pads = () => [pad, null, null, null];
  Object.defineProperty(Navigator.prototype, 'getGamepads', {value: pads, configurable: true, writable: true});
} + ')();';

// The standard mapping's button numbers.
const pad_buttons = {a: 0, b: 1, x: 2, y: 3, l: 4, r: 5, lt: 6, rt: 7, back: 8, start: 9,
  up: 12, down: 13, left: 14, right: 15};

// Records every key event the game's SDL sees on the window, with whether it was the page's own.
const key_log_source = 'window.__keys = []; for (const t of ["keydown", "keyup"]) ' +
  'window.addEventListener(t, (e) => __keys.push(t + ":" + e.code + (e.isTrusted ? "" : ":page")));';

async function touch_centre(page, key) {
  return page.eval('(() => { const r = document.querySelector(\'.touch-key[data-key="' + key + '"]\')' +
    '.getBoundingClientRect(); return {x: r.left + r.width / 2, y: r.top + r.height / 2}; })()');
}

async function touch(page, type, points) {
  await page.client.Input.dispatchTouchEvent({type, touchPoints: points});
}

// Puts a finger on on-screen key KEY; returns the touch point for later moves.
async function finger_down(page, key, id = 1) {
  const {x, y} = await touch_centre(page, key);
  const point = {x, y, id};
  await touch(page, 'touchStart', [point]);
  return point;
}

async function finger_up(page) {
  await touch(page, 'touchEnd', []);
}

// A touch of KEY the game sees pressed in one poll and released in a later one.
async function touch_press(page, key) {
  await finger_down(page, key);
  await page.sync();
  await finger_up(page);
  await page.sync();
}

async function pad_set(page, button, down) {
  await page.eval('__umbra_pad.set(' + pad_buttons[button] + ', ' + down + ')');
}

// A pad button pressed for at least one poll of the game, then released for at least one.
async function pad_press(page, button) {
  await pad_set(page, button, true);
  await page.sync();
  await pad_set(page, button, false);
  await page.sync();
}

module.exports = {pad_source, pad_buttons, key_log_source, touch_centre, touch, finger_down, finger_up,
  touch_press, pad_set, pad_press};
