// The demo's page in headless Chromium (software GL), served from 127.0.0.1: it starts as the
// desktop program does, a screenshot holds the scene's colours where the desktop window has them,
// and mouse releases over the canvas kick the block exactly as in the window: the page's state
// after the kicks is, byte for byte, the native simulator's with the same kicks, and not the
// state of an unkicked run. Its recording (Record, kicks, Stop) downloads as wobblerama.rib.gz,
// which gunzips to exactly what the native simulator writes for the command line the page shows.
// Prints the frame rate the page reaches.
//
//   node PageTest.js WEB_DIR NATIVE_SIM      (exit 0 passed, 1 failed, 77 skipped)
'use strict';

const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { sleep, serve, Browser, decodePng, skipReason, failAfter } = require('./Chromium.js');

const SKIPPED = 77;
const [webDir, nativeSim] = process.argv.slice(2);

// ---- Checks -------------------------------------------------------------------------------

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures += 1;
}

// The scene's colours, 8 bits per channel, as the desktop window test knows them.
const near = (value, target) => value >= target - 3 && value <= target + 3;
const isSphereGreen = (c) => near(c.r, 0) && near(c.g, 204) && near(c.b, 0);
const isFloorPurple = (c) => near(c.r, 128) && near(c.g, 0) && near(c.b, 128);
const isWallBlue = (c) => near(c.r, 0) && near(c.g, 77) && near(c.b, 128);
const isSpringWhite = (c) => c.r >= 250 && c.g >= 250 && c.b >= 250;
const isBackground = (c) => c.r <= 3 && c.g <= 3 && c.b <= 3;

// Pixel of a point of the view (-5 to 5 on both axes).
const pixelX = (frame, x) => Math.floor((x + 5) / 10 * frame.width);
const pixelY = (frame, y) => Math.floor((5 - y) / 10 * frame.height);

function countPixels(frame, test) {
  let count = 0;
  for (let y = 0; y < frame.height; ++y)
    for (let x = 0; x < frame.width; ++x) count += test(frame.at(x, y)) ? 1 : 0;
  return count;
}

function checkScene(frame) {
  check(frame.width === 300 && frame.height === 300, `the canvas is 300 x 300 (${frame.width} x ${frame.height})`);
  check(isSphereGreen(frame.at(pixelX(frame, 1.5), pixelY(frame, 2))), 'the upper sphere shows green at its centre');
  check(countPixels(frame, isSphereGreen) > 2000, 'two green discs');
  check(countPixels(frame, isSpringWhite) > 150, 'the springs are white lines');
  check(countPixels(frame, isWallBlue) > 500, 'the walls show blue');
  let floor = 0, patch = 0;
  for (let y = pixelY(frame, -4.5); y <= pixelY(frame, -4.8); ++y)
    for (let x = pixelX(frame, -3.3); x <= pixelX(frame, -1.5); ++x, ++patch)
      floor += isFloorPurple(frame.at(x, y)) ? 1 : 0;
  check(floor > patch * 9 / 10, `the floor fills the bottom left (${floor} of ${patch} pixels purple)`);
  check(isBackground(frame.at(pixelX(frame, 0), pixelY(frame, 4.5))), 'black above the upper sphere');
}

// ---- The native simulator ---------------------------------------------------------------------

// The state lines (after the CSV header) that the native simulator prints after `steps` steps.
function nativeState(steps, kicks) {
  const args = ['--steps', String(steps)];
  for (const kick of kicks) args.push('--push', kick);
  const text = execFileSync(nativeSim, args, { encoding: 'utf8' });
  return text.slice(text.indexOf('step,i,j,k,x,y,z,vx,vy,vz\n') + 26);
}

const kStartUp = 'blorp: initialing members...\nblorp: initialize nodes array with actual nodes...\n' +
  'initializing springs...\ninitializing faces...\nblorp has been created\n';

// ---- The test ---------------------------------------------------------------------------------

async function run(browser, url) {
  const { targetId } = await browser.send('Target.createTarget', { url: 'about:blank' });
  browser.sessionId = (await browser.send('Target.attachToTarget', { targetId, flatten: true })).sessionId;
  const exceptions = [];
  let console_ = '';
  browser.listeners.push(({ method, params }) => {
    const thrown = method === 'Runtime.exceptionThrown' && params.exceptionDetails;
    if (thrown) exceptions.push(thrown.exception?.description ?? thrown.exception?.value ?? thrown.text);
    if (method === 'Runtime.consoleAPICalled' && params.type === 'log')
      console_ += params.args.map((arg) => arg.value).join(' ') + '\n';
  });
  await browser.send('Runtime.enable');
  await browser.send('Emulation.setDeviceMetricsOverride',
    { width: 800, height: 900, deviceScaleFactor: 1, mobile: false });
  await browser.send('Page.navigate', { url });

  const running = await browser.waitFor(
    "typeof Module === 'object' && Module.calledRun === true && Module._webFramesShown() >= 60", 60000);
  check(running, 'the page runs and shows frames');
  const noExceptions = () => check(exceptions.length === 0, 'no exceptions in the page' +
    (exceptions.length ? ` (${exceptions.length}, the first: ${exceptions[0]})` : ''));
  if (!running) return noExceptions();
  check(console_ === kStartUp + 'about to create the world...\n' + kStartUp + 'world has been created...\n',
    'the console shows the start-up lines of the desktop program');

  // The picture.
  const box = await browser.evaluate(
    "JSON.stringify(document.getElementById('canvas').getBoundingClientRect())");
  const { x, y, width, height } = JSON.parse(box);
  const shot = await browser.send('Page.captureScreenshot',
    { format: 'png', clip: { x, y, width, height, scale: 1 } });
  const frame = decodePng(Buffer.from(shot.data, 'base64'));
  checkScene(frame);

  // The frame rate over a few seconds.
  const before = await browser.evaluate('[Module._webFramesShown(), performance.now()]');
  await sleep(3000);
  const after = await browser.evaluate('[Module._webFramesShown(), performance.now()]');
  const rate = (after[0] - before[0]) * 1000 / (after[1] - before[1]);
  console.log(`page: ${rate.toFixed(1)} frames per second in headless Chromium`);
  check(rate > 1, 'frames keep coming');

  // A click beside the canvas kicks nothing; left, right and middle releases over the canvas
  // kick, a few frames apart.
  await browser.click(x + width + 20, y + height / 2, 'left');
  for (const button of ['left', 'right', 'middle']) {
    await browser.click(x + width / 2, y + height / 2, button);
    const shown = await browser.evaluate('Module._webFramesShown()');
    await browser.waitFor(`Module._webFramesShown() >= ${shown + 5}`, 10000);
  }
  const kicked = JSON.parse(await browser.evaluate(
    "JSON.stringify([Module._webFramesShown(), Module.ccall('webKicks', 'string'), Module.ccall('webState', 'string')])"));
  const [steps, kickText, state] = kicked;
  const kicks = kickText === '' ? [] : kickText.split(' ');
  check(kicks.map((kick) => kick.split(':')[1]).join(' ') === '0 1 2',
    `a click beside the canvas does nothing; left, right and middle releases over it kick with modes 0, 1, 2 (${kickText})`);
  check(state === nativeState(steps, kicks),
    `after ${steps} frames the page's state is the native simulator's with --push ${kicks.join(' --push ')}`);
  check(state !== nativeState(steps, []), 'and differs from the state of an unkicked run');

  await checkRecording(browser, x + width / 2, y + height / 2);
  noExceptions();
}

// What the native simulator writes to a RIB file for a command line the page shows.
function nativeRib(command) {
  const args = command.split(' ');
  if (args[0] !== 'wobblerama-sim' || args[args.length - 2] !== '--rib') return null;
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'wobblerama-rib-'));
  try {
    const file = path.join(folder, args[args.length - 1]);
    execFileSync(nativeSim, [...args.slice(1, -1), file], { stdio: 'ignore' });
    return fs.readFileSync(file);
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// Record every 7 steps, a left and a middle kick, Stop: the download against the native RIB.
async function checkRecording(browser, canvasX, canvasY) {
  await browser.evaluate("document.getElementById('every').value = '7'; " +
    "document.getElementById('record').click()");
  check(await browser.evaluate('Module._webFramesShown() < 30'), 'Record starts the run again');
  for (const button of ['left', 'middle']) {
    const shown = await browser.evaluate('Module._webFramesShown()');
    await browser.waitFor(`Module._webFramesShown() >= ${shown + 9}`, 10000);
    await browser.click(canvasX, canvasY, button);
  }
  await browser.waitFor('Module._webFramesShown() % 7 !== 0', 10000);
  const [steps, kicks, state] = JSON.parse(await browser.evaluate(
    "document.getElementById('stop').click(); JSON.stringify([Module._webFramesShown(), " +
    "Module.ccall('webKicks', 'string'), Module.ccall('webState', 'string')])"));
  check(state === nativeState(steps, kicks.split(' ')),
    `the probe follows the recorded run (${steps} steps, kicks ${kicks})`);
  const linked = await browser.waitFor("!document.getElementById('download').hidden", 10000);
  check(linked, 'Stop offers a download');
  if (!linked) return;
  const [name, command, base64] = JSON.parse(await browser.evaluate(`(async () => {
    const link = document.getElementById('download');
    const bytes = new Uint8Array(await (await fetch(link.href)).arrayBuffer());
    let text = '';
    for (const byte of bytes) text += String.fromCharCode(byte);
    return JSON.stringify([link.download, document.getElementById('command').textContent, btoa(text)]);
  })()`));
  check(name === 'wobblerama.rib.gz', `the download is named wobblerama.rib.gz (${name})`);
  const pushes = kicks.split(' ').map((kick) => ` --push ${kick}`).join('');
  check(command === `wobblerama-sim --steps ${steps} --every 7${pushes} --rib wobblerama.rib`,
    `the page shows the command line: ${command}`);
  const recorded = zlib.gunzipSync(Buffer.from(base64, 'base64'));
  const native = nativeRib(command);
  check(native !== null && recorded.equals(native),
    `the download gunzips to the simulator's RIB byte for byte (${recorded.length} bytes)`);
}

async function main() {
  if (!webDir || !nativeSim) {
    console.error('usage: node PageTest.js WEB_DIR NATIVE_SIM');
    return 2;
  }
  const reason = skipReason(webDir, ['index.html', 'wobblerama-page.js', 'wobblerama-page.wasm']);
  if (reason) {
    console.log(`skipped: ${reason}`);
    return SKIPPED;
  }
  const server = await serve(webDir);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'wobblerama-page-'));
  const browser = new Browser(profile);
  const timer = failAfter(150000, browser, 'the page test');
  try {
    await run(browser, `http://127.0.0.1:${server.address().port}/index.html`);
  } catch (error) {
    check(false, `the page test ran to its end: ${error.message}\n${browser.log}`);
  } finally {
    clearTimeout(timer);
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  }
  return failures === 0 ? 0 : 1;
}

main().then((status) => process.exit(status));
