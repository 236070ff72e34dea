// probe.js -- put into the page before its own scripts run: watches every picture the game puts on
// its canvas and compares pictures with reference screens, in the 5-6-5 bits a 16-bit screen holds.
// The test sends the references in (add_reference) and asks how much of the canvas differs (diff),
// or whether a reference was ever put on the canvas and still there when the browser drew a frame
// (seen_painted), so brief screens are caught too.
'use strict';

function install_probe() {
  const probe = {
    frames: 0,
    last_frame_at: 0,
    references: new Map(),  // name -> {x, y, width, height, rgb: Uint8Array}
    watched: new Map(),     // name -> {x, y}: where on the screen to look for it
    seen: new Map(),        // name -> {frame, at}: first picture that matched
    frame_times: [],
    sleeps: 0,              // the game's sleeps: each one follows a poll that found nothing to do
  };
  window.__umbra_probe = probe;

  // The game hands the browser its turn with emscripten_sleep, which is a setTimeout; counting
  // them tells the test that the game has polled (and taken every key sent before) since.
  const set_timeout = window.setTimeout;
  window.setTimeout = function (...args) {
    probe.sleeps++;
    return set_timeout.apply(this, args);
  };

  function matches(data, image_width, reference, x, y) {
    const rgb = reference.rgb;
    for (let row = 0, i = 0; row < reference.height; row++) {
      let at = ((y + row) * image_width + x) * 4;
      for (let column = 0; column < reference.width; column++, i += 3, at += 4) {
        if ((data[at] & 0xf8) !== rgb[i] || (data[at + 1] & 0xfc) !== rgb[i + 1] ||
            (data[at + 2] & 0xf8) !== rgb[i + 2])
          return false;
      }
    }
    return true;
  }

  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (image, ...rest) {
    const result = put.call(this, image, ...rest);
    if (this.canvas && this.canvas.id === 'canvas') {
      probe.frames++;
      probe.last_frame_at = performance.now();
      if (probe.frame_times.length < 100000)
        probe.frame_times.push(probe.last_frame_at);
      for (const [name, place] of probe.watched) {
        if (probe.seen.has(name))
          continue;
        const reference = probe.references.get(name);
        if (reference && image.width >= place.x + reference.width && image.height >= place.y + reference.height &&
            matches(image.data, image.width, reference, place.x, place.y))
          probe.seen.set(name, {frame: probe.frames, at: probe.last_frame_at});
      }
    }
    return result;
  };

  probe.add_reference = (name, base64, width, height) => {
    const bytes = atob(base64);
    const rgb = new Uint8Array(bytes.length);
    for (let i = 0; i < bytes.length; i++)
      rgb[i] = bytes.charCodeAt(i);
    probe.references.set(name, {width, height, rgb});
  };

  // Pictures a person could have seen: the ones still on the canvas when the browser drew a frame
  // (an animation frame callback runs just before each drawing). Counted only while watching.
  probe.painted = new Set();
  let painting = false;
  const note_painted = () => {
    probe.painted.add(probe.frames);
    if (painting)
      window.requestAnimationFrame(note_painted);
  };

  probe.watch = (name, x, y) => {
    probe.watched.set(name, {x, y});
    if (!painting) {
      painting = true;
      window.requestAnimationFrame(note_painted);
    }
  };
  probe.stop_watching = () => {
    probe.watched.clear();
    painting = false;
  };
  // Whether a watched reference was on the canvas when the browser drew.
  probe.seen_painted = (name) => probe.seen.has(name) && probe.painted.has(probe.seen.get(name).frame);

  probe.canvas_pixels = (x, y, width, height) => {
    const canvas = document.getElementById('canvas');
    if (!canvas || canvas.width < x + width || canvas.height < y + height)
      return null;
    return canvas.getContext('2d').getImageData(x, y, width, height).data;
  };

  // How many pixels of the reference differ from the canvas at (x, y); -1 if the canvas is not
  // there yet or is smaller.
  probe.diff = (name, x, y) => {
    const reference = probe.references.get(name);
    if (!reference)
      throw new Error('no reference ' + name);
    const data = probe.canvas_pixels(x, y, reference.width, reference.height);
    if (!data)
      return -1;
    let differing = 0;
    const rgb = reference.rgb;
    for (let i = 0, at = 0; i < rgb.length; i += 3, at += 4) {
      if ((data[at] & 0xf8) !== rgb[i] || (data[at + 1] & 0xfc) !== rgb[i + 1] || (data[at + 2] & 0xf8) !== rgb[i + 2])
        differing++;
    }
    return differing;
  };

  // A cheap fingerprint of a region, to see that the screen changed.
  probe.hash = (x, y, width, height) => {
    const data = probe.canvas_pixels(x, y, width, height);
    if (!data)
      return '';
    let h1 = 0x811c9dc5, h2 = 0;
    for (let i = 0; i < data.length; i += 4) {
      const v = ((data[i] & 0xf8) << 16) | ((data[i + 1] & 0xfc) << 8) | (data[i + 2] & 0xf8);
      h1 = Math.imul(h1 ^ v, 16777619) >>> 0;
      h2 = (h2 + v * (i + 1)) % 4294967291;
    }
    return h1.toString(16) + ':' + h2.toString(16);
  };
}

module.exports = {probe_source: '(' + install_probe.toString() + ')();'};
