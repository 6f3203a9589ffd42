// The previewer's page in headless Chromium: view.html?rib=URL&bare draws a recording frame reached
// with the keys, a quadric scene, a gzip-compressed subdivision mesh and a broken file with the
// coverage the native previewer's snapshot has (at least 99% of pixels agree on covered or not), as
// the only thing on the page, at the picture's own size, in its top left corner; the broken file's
// problems are listed under the canvas as rib-check prints them, with the archive it was not given.
// Prints the time the page takes to open a 1,000,000-triangle mesh.
//
//   node ViewPageTest.js WEB_DIR NATIVE_SIM RIB_VIEW RIB_CHECK   (exit 0 passed, 1 failed, 77 skipped)
'use strict';

const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { serve, Browser, decodePng, skipReason, failAfter } = require('./Chromium.js');

const SKIPPED = 77;
const [webDir, nativeSim, ribView, ribCheck] = process.argv.slice(2).map((arg) => path.resolve(arg));

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures += 1;
  return ok;
}

// ---- The scenes ---------------------------------------------------------------------------

const kQuadrics = `Format 320 240 1
Projection "perspective" "fov" 45
Translate 0 -0.3 7
WorldBegin
Color 1 0.5 0.2
AttributeBegin Translate -2.2 1 0 Sphere 0.8 -0.8 0.8 360 AttributeEnd
AttributeBegin Translate 0 1 0 Rotate -60 1 0 0 Cylinder 0.5 -0.7 0.7 300 AttributeEnd
AttributeBegin Translate 2.2 1 0 Rotate -90 1 0 0 Cone 1.2 0.7 360 AttributeEnd
AttributeBegin Translate -2.2 -1.2 0 Rotate 50 1 0 0 Torus 0.7 0.25 0 360 360 AttributeEnd
AttributeBegin Translate 0 -1.2 0 Rotate 30 1 0 0 Disk 0 0.8 270 AttributeEnd
AttributeBegin Translate 2.2 -1.6 0 Rotate -90 1 0 0 Paraboloid 0.8 0 1.2 360 AttributeEnd
WorldEnd
`;

// Problems the reader finds, and an archive the page was not given: the rest is drawn.
const kBroken = kQuadrics.replace('WorldBegin\n', 'WorldBegin\nSphere 1 -1\nFrobnicate 3\n' +
  'ReadArchive "elsewhere.rib"\nColor [1 0]\n');

const kSubdivision = `Format 400 300 1
Projection "perspective" "fov" 40
Translate 0 0 5 Rotate 30 1 0 0 Rotate 40 0 1 0
WorldBegin
SubdivisionMesh "catmull-clark" [4 4 4 4 4 4]
  [0 1 3 2  2 3 5 4  4 5 7 6  6 7 1 0  1 7 5 3  6 0 2 4]
  ["crease"] [2 1] [0 1] [2.5]
  "P" [-1 -1 1  1 -1 1  -1 1 1  1 1 1  -1 1 -1  1 1 -1  -1 -1 -1  1 -1 -1]
WorldEnd
`;

// 1000 x 500 quads of two triangles each over a wavy grid, in front of the camera.
function millionTriangles() {
  const across = 1000, down = 500, row = across + 1, parts = [];
  parts.push('Format 800 400 1\nProjection "perspective" "fov" 30\nTranslate 0 0 4\nWorldBegin\n',
    `PointsPolygons [${'3 '.repeat(across * down * 2)}] [`);
  for (let j = 0; j < down; ++j)
    for (let a = j * row; a < j * row + across; ++a) parts.push(`${a} ${a + 1} ${a + row} ${a + 1} ${a + row + 1} ${a + row}\n`);
  parts.push('] "P" [');
  for (let j = 0; j <= down; ++j)
    for (let i = 0; i <= across; ++i) {
      const x = -1 + 2 * i / across, y = -0.5 + j / down;
      parts.push(`${x.toFixed(4)} ${y.toFixed(4)} ${(0.1 * Math.sin(10 * x) * Math.cos(8 * y)).toFixed(4)}\n`);
    }
  parts.push(']\nWorldEnd\n');
  return parts.join('');
}

function writeScenes(folder) {
  execFileSync(nativeSim, ['--steps', '30', '--every', '10', '--rib', path.join(folder, 'frames.rib')],
    { stdio: 'ignore' });
  fs.writeFileSync(path.join(folder, 'quadrics.rib'), kQuadrics);
  fs.writeFileSync(path.join(folder, 'broken.rib'), kBroken);
  fs.writeFileSync(path.join(folder, 'cube.rib.gz'), zlib.gzipSync(kSubdivision));
  fs.writeFileSync(path.join(folder, 'mesh.rib'), millionTriangles());
}

// ---- The native previewer and checker -----------------------------------------------------------

// Covered (alpha 255) or not for every pixel of the native snapshot of picture `frame`.
function nativeCoverage(folder, name, frame) {
  const out = path.join(folder, `${name}.${frame}.png`);
  spawnSync(ribView, ['--frame', String(frame), '--snapshot', out, name], { cwd: folder });
  if (!fs.existsSync(out)) return null;
  const png = decodePng(fs.readFileSync(out));
  const covered = Buffer.alloc(png.width * png.height);
  for (let y = 0; y < png.height; ++y)
    for (let x = 0; x < png.width; ++x) covered[y * png.width + x] = png.at(x, y).a > 127 ? 1 : 0;
  return { width: png.width, height: png.height, covered };
}

function ribCheckLines(folder, name) {
  const result = spawnSync(ribCheck, [name], { cwd: folder, encoding: 'utf8' });
  return result.stdout.split('\n').filter((line) => line !== '');
}

// ---- The page -----------------------------------------------------------------------------------

async function openScene(browser, url, timeoutMs = 60000) {
  await browser.send('Page.navigate', { url });
  await browser.waitFor("typeof viewer === 'object' && viewer.state === 'done'", timeoutMs);
  return JSON.parse(await browser.evaluate(`JSON.stringify({ state: viewer.state,
    pictures: viewer.pictures.length, problems: viewer.problems, current: viewer.current,
    width: document.getElementById('canvas').width, height: document.getElementById('canvas').height,
    box: document.getElementById('canvas').getBoundingClientRect(),
    text: document.body.innerText.trim() })`));
}

async function press(browser, key) {
  const code = { ArrowRight: 39, ArrowLeft: 37, Home: 36 }[key];
  await browser.send('Input.dispatchKeyEvent', { type: 'keyDown', key, windowsVirtualKeyCode: code });
  await browser.send('Input.dispatchKeyEvent', { type: 'keyUp', key, windowsVirtualKeyCode: code });
}

// Picture `frame` of the file, once the pictures have played to the last: stopped there, back to
// the first and on.
async function checkCoverage(browser, base, folder, name, frame = 1) {
  const page = await openScene(browser, `${base}/view.html?rib=${name}&bare`);
  await browser.waitFor('viewer.current === viewer.pictures.length - 1', 5000);
  if (frame < page.pictures) {
    for (const key of ['ArrowLeft', 'Home', ...Array(frame - 1).fill('ArrowRight')]) await press(browser, key);
  }
  const native = nativeCoverage(folder, name, frame);
  if (!check(page.state === 'done' && page.pictures > 0 && native !== null,
    `${name}: the page and the native previewer both draw a picture`)) return page;
  check(page.width === native.width && page.height === native.height &&
        page.box.x === 0 && page.box.y === 0 && page.box.width === native.width &&
        page.box.height === native.height && page.text === '',
    `${name}: bare, only the canvas at ${native.width} x ${native.height} in the top left corner`);
  const alpha = Buffer.from(await browser.evaluate('viewerAlpha()'), 'base64');
  // Pixels on an edge of the native coverage (a neighbour differs) may go either way, as the two
  // rasterizers round a pixel centre on an edge differently; every other pixel must agree.
  const { width, height } = native;
  const at = (x, y) => native.covered[Math.min(height - 1, Math.max(0, y)) * width +
                                      Math.min(width - 1, Math.max(0, x))];
  let agree = 0, covered = 0, inside = 0, insideAgree = 0;
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const same = (alpha[y * width + x] > 0 ? 1 : 0) === at(x, y);
      const c = at(x, y);
      const edge = at(x - 1, y) !== c || at(x + 1, y) !== c || at(x, y - 1) !== c || at(x, y + 1) !== c;
      agree += same ? 1 : 0;
      covered += c;
      inside += edge ? 0 : 1;
      insideAgree += !edge && same ? 1 : 0;
    }
  }
  const share = agree / (width * height), insideShare = insideAgree / inside;
  check(share >= 0.99 && insideShare >= 0.999 && covered > 0,
    `${name}: ${(100 * share).toFixed(2)}% of pixels agree with rib-view --snapshot on coverage ` +
    `(${(100 * insideShare).toFixed(2)}% off the edges)`);
  return page;
}

async function run(browser, base, folder) {
  const { targetId } = await browser.send('Target.createTarget', { url: 'about:blank' });
  browser.sessionId = (await browser.send('Target.attachToTarget', { targetId, flatten: true })).sessionId;
  const exceptions = [];
  browser.listeners.push(({ method, params }) => {
    const thrown = method === 'Runtime.exceptionThrown' && params.exceptionDetails;
    if (thrown) exceptions.push(thrown.exception?.description ?? thrown.text);
  });
  await browser.send('Runtime.enable');
  await browser.send('Emulation.setDeviceMetricsOverride',
    { width: 1000, height: 800, deviceScaleFactor: 1, mobile: false });

  for (const [name, frame] of [['frames.rib', 2], ['quadrics.rib', 1], ['cube.rib.gz', 1]]) {
    const page = await checkCoverage(browser, base, folder, name, frame);
    check(page.problems === '', `${name}: no problems listed (${page.problems.trim()})`);
  }

  // The broken file: its problems under the canvas, as rib-check prints them, and the picture.
  await checkCoverage(browser, base, folder, 'broken.rib');
  const listed = await openScene(browser, `${base}/view.html?rib=broken.rib`);
  const expected = ribCheckLines(folder, 'broken.rib');
  check(expected.length >= 3 && expected.every((line) => listed.problems.includes(line + '\n')) &&
        /elsewhere\.rib/.test(listed.problems) && listed.text.includes(expected[0]),
    `broken.rib: the problems are listed under the canvas as rib-check prints them:\n${listed.problems}`);
  // A picture wider than the page is scaled down to fit it; a file from elsewhere is not fetched.
  const wide = await openScene(browser, `${base}/view.html?rib=mesh.rib`, 120000);
  const [seconds, shownMs] = await browser.evaluate('[viewer.seconds, viewer.shownAt]');
  const triangles = await browser.evaluate('viewer.pictures[0] && viewer.pictures[0].triangles.length / 21');
  const size = (fs.statSync(path.join(folder, 'mesh.rib')).size / 1e6).toFixed(0);
  console.log(`view.html: the 1,000,000-triangle mesh (${size} MB of ASCII RIB) drawn ` +
    `${(shownMs / 1000).toFixed(2)} s after the page began to load (read in ${seconds.toFixed(2)} s) ` +
    `in headless Chromium; rib-view-page.wasm: ${fs.statSync(path.join(webDir, 'rib-view-page.wasm')).size} bytes`);
  check(triangles === 1000000, `mesh.rib: one picture of 1,000,000 triangles (${triangles})`);
  check(wide.box.width <= 1000 && wide.box.width / wide.box.height === 2, 'the canvas is scaled to fit the page');
  const foreign = await openScene(browser, `${base}/view.html?rib=http://example.invalid/x.rib`);
  check(/only files from this server/.test(foreign.problems), 'a file of another server is not fetched');
  check(exceptions.length === 0, `no exceptions in the page ${exceptions.join('; ')}`);
}

async function main() {
  if (!webDir || !nativeSim || !ribView || !ribCheck) {
    console.error('usage: node ViewPageTest.js WEB_DIR NATIVE_SIM RIB_VIEW RIB_CHECK');
    return 2;
  }
  const reason = skipReason(webDir,
    ['view.html', 'view.js', 'view-worker.js', 'rib-view-page.js', 'rib-view-page.wasm']);
  if (reason) {
    console.log(`skipped: ${reason}`);
    return SKIPPED;
  }
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'rib-view-page-'));
  writeScenes(folder);
  const server = await serve(webDir, folder);
  const profile = path.join(folder, 'profile');
  const browser = new Browser(profile);
  const timer = failAfter(280000, browser, 'the viewer page test');
  try {
    await run(browser, `http://127.0.0.1:${server.address().port}`, folder);
  } catch (error) {
    check(false, `the viewer page test ran to its end: ${error.message}\n${browser.log}`);
  } finally {
    clearTimeout(timer);
    await browser.close();
    server.close();
    fs.rmSync(folder, { recursive: true, force: true, maxRetries: 5 });
  }
  return failures === 0 ? 0 : 1;
}

main().then((status) => process.exit(status));
