// board.js -- where things are on the game's 320 x 240 screen, and moving the battle cursor.
'use strict';

// The white box of banners, statistics and the victory (161 x 81 at 80, 80), the status bar and
// the info line, as the native end-to-end test checks them.
const box = {x: 80, y: 80, width: 161, height: 81};
const status_bar = {x: 0, y: 0};
const info_line = {x: 0, y: 228};

// Parts of the native Dark turn banner: every box has the same frame and blank bottom rows below
// its last text line (the statistics' descenders reach row 72); the first two lines are the
// Dark's name and "Turn: 1".
const box_parts = {
  box_bottom: ['e2e_banner_dark', 0, 73, 161, 8, 'box_bottom'],
  banner_dark_turn1: ['e2e_banner_dark', 0, 0, 161, 53, 'banner_dark_turn1'],
  box_dark_name: ['e2e_banner_dark', 0, 0, 161, 32, 'box_dark_name'],
};

// Whether any box (banner, statistics, victory) is on the screen, as a page expression.
const box_shown = '__umbra_probe.diff("box_bottom", ' + box.x + ', ' + (box.y + 73) + ') === 0';

async function use_box_parts(page) {
  for (const [name, from] of Object.entries(box_parts))
    await page.reference(name, from);
}

// The cursor as the test believes it to be; every battle starts it at (10, 6).
function new_cursor() {
  return {x: 10, y: 6};
}

// Taps the arrows to (x, y), then waits for the game to have taken them; the game sums a poll's
// moves, so quick taps are fine.
async function move_to(page, cursor, x, y) {
  let moved = false;
  while (cursor.x < x) { await page.tap('Right'); cursor.x++; moved = true; }
  while (cursor.x > x) { await page.tap('Left'); cursor.x--; moved = true; }
  while (cursor.y < y) { await page.tap('Down'); cursor.y++; moved = true; }
  while (cursor.y > y) { await page.tap('Up'); cursor.y--; moved = true; }
  if (moved)
    await page.sync();
}

module.exports = {box, box_shown, status_bar, info_line, box_parts, use_box_parts, new_cursor, move_to};
