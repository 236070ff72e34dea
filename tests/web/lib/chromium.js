// chromium.js -- starts Debian's Chromium headless with a fresh profile and connects to a page of it
// through the DevTools protocol; collects what the page reports as errors.
'use strict';

const {spawn} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const CDP = require('chrome-remote-interface');

const chromium_binary = process.env.UMBRA_CHROMIUM || '/usr/bin/chromium';

// Starts the browser; resolves once its DevTools endpoint answers.
function launch({width = 1024, height = 768} = {}) {
  if (!fs.existsSync(chromium_binary))
    throw new Error(chromium_binary + ' is missing (Debian\'s chromium package)');
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'umbra-web-profile-'));
  const args = [
    '--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--disable-default-apps', '--disable-extensions', '--mute-audio',
    '--user-data-dir=' + profile, '--remote-debugging-port=0', '--remote-debugging-address=127.0.0.1',
    '--window-size=' + width + ',' + height, 'about:blank',
  ];
  // Its own process group, so that closing it ends its helper processes too.
  const child = spawn(chromium_binary, args, {stdio: ['ignore', 'ignore', 'pipe'], detached: true});
  let output = '';
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => {
      child.kill('SIGKILL');
      reject(new Error('chromium did not open its DevTools port within 60 s:\n' + output));
    }, 60000);
    child.stderr.on('data', (chunk) => {
      output += chunk.toString();
      const found = /DevTools listening on ws:\/\/127\.0\.0\.1:(\d+)\//.exec(output);
      if (found) {
        clearTimeout(timer);
        child.stderr.removeAllListeners('data');
        child.stderr.resume();
        resolve({child, profile, port: Number(found[1]), close: () => close_browser(child, profile)});
      }
    });
    child.on('exit', (code) => {
      clearTimeout(timer);
      reject(new Error('chromium ended (' + code + ') before opening its DevTools port:\n' + output));
    });
  });
}

function close_browser(child, profile) {
  return new Promise((resolve) => {
    const done = () => {
      // The browser's helper processes may still be writing into the profile for a moment.
      try {
        fs.rmSync(profile, {recursive: true, force: true, maxRetries: 10, retryDelay: 200});
      } catch (error) {
        console.error('note: could not remove ' + profile + ': ' + error.message);
      }
      resolve();
    };
    const kill_group = (signal) => {
      try {
        process.kill(-child.pid, signal);
      } catch (error) {
        // the group is gone already
      }
    };
    if (child.exitCode !== null || child.signalCode !== null) {
      kill_group('SIGKILL');
      return done();
    }
    child.once('exit', () => {
      kill_group('SIGKILL');
      done();
    });
    kill_group('SIGTERM');
    setTimeout(() => kill_group('SIGKILL'), 5000).unref();
  });
}

// Connects to the browser's first page and turns on the domains the tests use. Errors the page
// reports (console.error, uncaught exceptions, error log entries) are kept in page.errors.
async function connect(browser) {
  const targets = await CDP.List({port: browser.port});
  const target = targets.find((t) => t.type === 'page');
  if (!target)
    throw new Error('chromium has no page');
  const client = await CDP({port: browser.port, target});
  const errors = [];
  const messages = [];
  client.Runtime.consoleAPICalled(({type, args}) => {
    const text = args.map((a) => a.value !== undefined ? String(a.value) : (a.description || a.type)).join(' ');
    messages.push(type + ': ' + text);
    if (type === 'error' || type === 'assert')
      errors.push('console.' + type + ': ' + text);
  });
  client.Runtime.exceptionThrown(({exceptionDetails}) => {
    const d = exceptionDetails;
    errors.push('exception: ' + (d.exception && d.exception.description ? d.exception.description : d.text));
  });
  client.Log.entryAdded(({entry}) => {
    messages.push('log ' + entry.level + ': ' + entry.text);
    if (entry.level === 'error')
      errors.push('log: ' + entry.text + (entry.url ? ' (' + entry.url + ')' : ''));
  });
  await Promise.all([client.Page.enable(), client.Runtime.enable(), client.Log.enable()]);
  return {client, errors, messages};
}

module.exports = {launch, connect};
