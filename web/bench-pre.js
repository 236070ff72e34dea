// bench-pre.js -- the browser that SDL2 looks for at start-up, as little of it as the benchmarks
// need under node: no gamepads, a document and window that take listeners and never fire them,
// and a Web Audio context whose sound is never asked for (as in a page before its first click).
// SDL2's dummy audio driver would need threads, which this build has not: the browser's is used.
if (typeof navigator === 'undefined') globalThis.navigator = { getGamepads: () => [] };
if (typeof window === 'undefined') globalThis.window = { addEventListener() {}, removeEventListener() {} };
if (typeof document === 'undefined') {
  globalThis.document = { addEventListener() {}, removeEventListener() {}, getElementById: () => null };
}
if (typeof AudioContext === 'undefined') {
  globalThis.AudioContext = class {
    constructor() {
      this.sampleRate = 44100;
      this.state = 'suspended';
      this.destination = {};
    }
    createScriptProcessor() {
      return { connect() {}, disconnect() {} };
    }
    resume() {}
    close() {}
  };
}
Module.preRun = (Module.preRun || []).concat(() => {
  ENV.SDL_AUDIODRIVER = 'emscripten';
});
