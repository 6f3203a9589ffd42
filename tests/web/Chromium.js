// What the page tests share: the page's files served from 127.0.0.1 as a web server would,
// Chromium driven through the DevTools protocol, and PNG screenshots decoded.
'use strict';

const { execFileSync, spawn } = require('child_process');
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');

function sleep(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}

// ---- The page's files, served as a web server would --------------------------------------

const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

// Files of the first folder that has them; other than pages and scripts as plain bytes.
function serve(...folders) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://127.0.0.1').pathname) || 'index.html';
    const file = folders.map((folder) => path.join(folder, name)).find((f) => fs.existsSync(f));
    const type = kTypes[path.extname(name)] ?? 'application/octet-stream';
    if (!file) {
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
    return { r: pixels[i], g: pixels[i + 1], b: pixels[i + 2], a: channels === 4 ? pixels[i + 3] : 255 };
  };
  return { width, height, at };
}

// ---- Running a page test ------------------------------------------------------------------

// Why a page test cannot run here: one of the web build's `files` missing from `webDir`, or no
// Chromium; null when it can.
function skipReason(webDir, files) {
  for (const file of files) {
    if (!fs.existsSync(path.join(webDir, file))) return `no ${file} in ${webDir} (scripts/web.sh builds it)`;
  }
  try {
    execFileSync('chromium', ['--version'], { stdio: 'ignore' });
  } catch {
    return 'chromium is not installed';
  }
  return null;
}

// Fails the test, the browser killed, when `what` has not finished within `ms`; clear the
// returned timer when it has.
function failAfter(ms, browser, what) {
  return setTimeout(() => {
    console.log(`FAIL ${what} did not finish in time`);
    browser.child.kill('SIGKILL');
    process.exit(1);
  }, ms);
}

module.exports = { sleep, serve, Browser, decodePng, skipReason, failAfter };
