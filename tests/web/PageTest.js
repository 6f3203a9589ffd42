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

const { spawn, execFileSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

const SKIPPED = 77;
const [webDir, nativeSim] = process.argv.slice(2);

// ---- Checks -------------------------------------------------------------------------------

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures += 1;
}

function sleep(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}

// ---- The page's files, served as a web server would --------------------------------------

const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

function serve(folder) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://127.0.0.1').pathname) || 'index.html';
    const file = path.join(folder, name);
    const type = kTypes[path.extname(name)];
    if (!type || !fs.existsSync(file)) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': type });
    response.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- Chromium through the DevTools protocol on a pipe (fd 3 in, fd 4 out) -----------------

class Browser {
  constructor(profile) {
    const flags = ['--headless', '--no-sandbox', '--use-angle=swiftshader',
      '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`, '--remote-debugging-pipe', 'about:blank'];
    this.child = spawn('chromium', flags, { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    this.log = '';
    this.child.stderr.on('data', (data) => { this.log += data; });
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    let buffer = '';
    this.child.stdio[4].setEncoding('utf8');
    this.child.stdio[4].on('data', (data) => {
      buffer += data;
      let end;
      while ((end = buffer.indexOf('\0')) >= 0) {
        this.receive(JSON.parse(buffer.slice(0, end)));
        buffer = buffer.slice(end + 1);
      }
    });
  }

  receive(message) {
    if (message.id === undefined) {
      for (const listener of this.listeners) listener(message);
      return;
    }
    const waiting = this.pending.get(message.id);
    this.pending.delete(message.id);
    if (message.error) waiting.reject(new Error(JSON.stringify(message.error)));
    else waiting.resolve(message.result);
  }

  // Commands go to the page's session once one is attached.
  send(method, params = {}) {
    const id = this.nextId++;
    const message = { id, method, params, sessionId: this.sessionId };
    this.child.stdio[3].write(JSON.stringify(message) + '\0');
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
  }

  async evaluate(expression) {
    const reply = await this.send('Runtime.evaluate',
      { expression, returnByValue: true, awaitPromise: true });
    if (reply.exceptionDetails) throw new Error(`${expression}: ${reply.exceptionDetails.text}`);
    return reply.result.value;
  }

  async waitFor(expression, timeoutMs) {
    const deadline = Date.now() + timeoutMs;
    while (Date.now() < deadline) {
      if (await this.evaluate(expression)) return true;
      await sleep(100);
    }
    return false;
  }

  async click(x, y, button) {
    const event = { x, y, button, clickCount: 1 };
    const buttons = { left: 1, right: 2, middle: 4 }[button];
    await this.send('Input.dispatchMouseEvent', { type: 'mousePressed', buttons, ...event });
    await this.send('Input.dispatchMouseEvent', { type: 'mouseReleased', buttons: 0, ...event });
  }

  // Asks the browser to quit and waits for it; kills it if it does not.
  async close() {
    const exited = new Promise((resolve) => this.child.once('exit', resolve));
    if (this.child.exitCode === null && this.child.signalCode === null) {
      this.send('Browser.close').catch(() => {});
      await Promise.race([exited, sleep(10000)]);
      this.child.kill('SIGKILL');
    }
  }
}

// ---- Screenshots: PNG, 8-bit RGB or RGBA --------------------------------------------------

function decodePng(bytes) {
  let offset = 8;
  let width = 0, height = 0, channels = 0;
  const data = [];
  while (offset < bytes.length) {
    const length = bytes.readUInt32BE(offset);
    const type = bytes.toString('latin1', offset + 4, offset + 8);
    const body = bytes.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      channels = { 2: 3, 6: 4 }[body[9]];
      if (body[8] !== 8 || !channels || body[12] !== 0) throw new Error('unexpected PNG format');
    } else if (type === 'IDAT') {
      data.push(body);
    }
    offset += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; ++i) {
      const value = raw[y * (stride + 1) + 1 + i];
      const a = i >= channels ? pixels[y * stride + i - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + i] : 0;
      const c = y > 0 && i >= channels ? pixels[(y - 1) * stride + i - channels] : 0;
      const p = a + b - c;
      const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c)
        ? a : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
      const predicted = [0, a, b, (a + b) >> 1, paeth][filter];
      pixels[y * stride + i] = (value + predicted) & 255;
    }
  }
  const at = (x, y) => {
    const i = y * stride + x * channels;
    return { r: pixels[i], g: pixels[i + 1], b: pixels[i + 2] };
  };
  return { width, height, at };
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
  for (const file of ['index.html', 'wobblerama-page.js', 'wobblerama-page.wasm']) {
    if (!fs.existsSync(path.join(webDir, file))) {
      console.log(`skipped: no ${file} in ${webDir} (scripts/web.sh builds it)`);
      return SKIPPED;
    }
  }
  try {
    execFileSync('chromium', ['--version'], { stdio: 'ignore' });
  } catch {
    console.log('skipped: chromium is not installed');
    return SKIPPED;
  }
  const server = await serve(webDir);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'wobblerama-page-'));
  const browser = new Browser(profile);
  const timer = setTimeout(() => {
    console.log('FAIL the page test did not finish in time');
    browser.child.kill('SIGKILL');
    process.exit(1);
  }, 150000);
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
