// run.js -- runs the browser tests against the site scripts/web-build.sh wrote, served by
// scripts/web-serve.sh on 127.0.0.1, each test in a fresh headless Chromium; ends with the line
// "N passed, N failed" and a non-zero exit status on any failure.
//
// Usage: node run.js [--site DIR] [--only NAME-PART]... [--output DIR] [--jobs N] [--figures]
//   --jobs N runs up to N tests at once, each in its own browser (2 by default): most of a test's
//            time goes to waiting for the game, the long computer battle above all.
//   --figures prints the build's figures (sizes, start time, idle CPU, a computer turn) instead.
'use strict';

const {spawn} = require('child_process');
const fs = require('fs');
const path = require('path');

const root = path.resolve(__dirname, '..', '..');
const cases_dir = path.join(__dirname, 'cases');

function usage(message) {
  if (message)
    console.error(message);
  console.error('usage: node run.js [--site DIR] [--only NAME-PART]... [--output DIR] [--jobs N] [--figures]');
  process.exit(2);
}

function parse(argv) {
  const options = {site: path.join(root, 'build-web', 'site'), only: [], output: null, figures: false, jobs: 2};
  for (let i = 0; i < argv.length; i++) {
    const a = argv[i];
    const value = () => (i + 1 < argv.length ? argv[++i] : usage(a + ' needs a value'));
    if (a === '--site') options.site = path.resolve(value());
    else if (a === '--only') options.only.push(value());
    else if (a === '--output') options.output = path.resolve(value());
    else if (a === '--figures') options.figures = true;
    else if (a === '--jobs') {
      options.jobs = Number(value());
      if (!Number.isInteger(options.jobs) || options.jobs < 1)
        usage('--jobs needs a whole number of at least 1');
    }
    else usage('unknown argument ' + a);
  }
  options.output = options.output || path.join(path.dirname(options.site), 'test-output');
  return options;
}

// Starts scripts/web-serve.sh on DIR; resolves with its address and a stop function.
function serve(dir) {
  return new Promise((resolve, reject) => {
    const child = spawn(path.join(root, 'scripts', 'web-serve.sh'), ['--quiet', dir],
      {stdio: ['ignore', 'pipe', 'pipe'], detached: false});
    let out = '';
    let err = '';
    const timer = setTimeout(() => {
      child.kill('SIGKILL');
      reject(new Error('web-serve.sh printed no address within 30 s: ' + err));
    }, 30000);
    child.stdout.on('data', (chunk) => {
      out += chunk.toString();
      const line = out.split('\n')[0];
      if (out.includes('\n') && /^http:\/\/127\.0\.0\.1:\d+\/$/.test(line)) {
        clearTimeout(timer);
        resolve({url: line, stop: () => stop_child(child)});
      }
    });
    child.stderr.on('data', (chunk) => { err += chunk.toString(); });
    child.on('exit', (code) => {
      clearTimeout(timer);
      reject(new Error('web-serve.sh ended (' + code + '): ' + err));
    });
  });
}

function stop_child(child) {
  return new Promise((resolve) => {
    if (child.exitCode !== null || child.signalCode !== null)
      return resolve();
    child.once('exit', () => resolve());
    child.kill('SIGTERM');
  });
}

function load_cases() {
  const all = [];
  for (const file of fs.readdirSync(cases_dir).filter((f) => f.endsWith('.js')).sort())
    for (const one of require(path.join(cases_dir, file)))
      all.push(one);
  return all;
}

async function main() {
  const options = parse(process.argv.slice(2));
  if (!fs.existsSync(path.join(options.site, 'files.json')))
    usage('no site in ' + options.site + ' (build it with scripts/web-build.sh)');
  fs.rmSync(options.output, {recursive: true, force: true});
  fs.mkdirSync(options.output, {recursive: true});
  const server = await serve(options.site);
  const servers = [server];
  const context = {
    root, site: options.site, url: server.url, output: options.output,
    // Another site (a changed copy) on its own server, stopped at the end of the run.
    serve: async (dir) => {
      const other = await serve(dir);
      servers.push(other);
      return other.url;
    },
  };
  let passed = 0;
  let failed = 0;
  try {
    if (options.figures) {
      await require('./figures').print_figures(context);
      return 0;
    }
    const cases = load_cases().filter((c) => options.only.length === 0 || options.only.some((o) => c.name.includes(o)));
    if (cases.length === 0)
      usage('no test matches ' + options.only.join(', '));
    // Workers take the tests in order, so the long ones early in the list overlap the rest.
    let next = 0;
    const worker = async () => {
      while (next < cases.length) {
        const test = cases[next++];
        const started = Date.now();
        const own = {...context, test_name: test.name.replace(/[^a-z0-9]+/gi, '_')};
        try {
          await test.run(own);
          passed++;
          console.log('ok: ' + test.name + ' (' + ((Date.now() - started) / 1000).toFixed(1) + ' s)');
        } catch (error) {
          failed++;
          console.log('FAIL: ' + test.name + ' (' + ((Date.now() - started) / 1000).toFixed(1) + ' s)');
          console.log('  ' + String(error && error.stack ? error.stack : error).split('\n').join('\n  '));
        }
      }
    };
    await Promise.all(Array.from({length: Math.min(options.jobs, cases.length)}, worker));
  } finally {
    for (const s of servers)
      await s.stop();
  }
  if (!options.figures) {
    if (failed)
      console.log('evidence in ' + options.output);
    console.log(passed + ' passed, ' + failed + ' failed');
  }
  return failed ? 1 : 0;
}

main().then((code) => { process.exitCode = code; }, (error) => {
  console.error('FAIL: ' + (error && error.stack ? error.stack : error));
  console.log('0 passed, 1 failed');
  process.exitCode = 1;
});
