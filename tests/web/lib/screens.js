// screens.js -- reference screens: the native suite's PNGs (tests/reference) and this suite's own
// (tests/web/reference), reduced to what a 5-6-5 screen holds (R and B top 5 bits, G top 6).
'use strict';

const fs = require('fs');
const path = require('path');
const {PNG} = require('pngjs');

const reference_dirs = [
  path.join(__dirname, '..', '..', 'reference'),
  path.join(__dirname, '..', 'reference'),
];

const loaded = new Map();

function reference(name) {
  if (loaded.has(name))
    return loaded.get(name);
  const file = reference_dirs.map((dir) => path.join(dir, name + '.png')).find((f) => fs.existsSync(f));
  if (!file)
    throw new Error('no reference screen ' + name + '.png in ' + reference_dirs.join(' or '));
  const png = PNG.sync.read(fs.readFileSync(file));
  const rgb = Buffer.alloc(png.width * png.height * 3);
  for (let i = 0, o = 0; i < png.data.length; i += 4, o += 3) {
    rgb[o] = png.data[i] & 0xf8;
    rgb[o + 1] = png.data[i + 1] & 0xfc;
    rgb[o + 2] = png.data[i + 2] & 0xf8;
  }
  const result = {name, width: png.width, height: png.height, rgb};
  loaded.set(name, result);
  return result;
}

// A part of a reference as a reference of its own (e.g. the box's rows above a text line).
function crop(name, x, y, width, height, as) {
  const whole = reference(name);
  const rgb = Buffer.alloc(width * height * 3);
  for (let row = 0; row < height; row++)
    whole.rgb.copy(rgb, row * width * 3, ((y + row) * whole.width + x) * 3, ((y + row) * whole.width + x + width) * 3);
  const result = {name: as, width, height, rgb};
  loaded.set(as, result);
  return result;
}

// Writes RGBA pixels as a PNG, for a failing test's evidence.
function write_png(file, rgba, width, height) {
  const png = new PNG({width, height});
  Buffer.from(rgba).copy(png.data);
  fs.mkdirSync(path.dirname(file), {recursive: true});
  fs.writeFileSync(file, PNG.sync.write(png));
}

module.exports = {reference, crop, write_png};
