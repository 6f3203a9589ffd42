// The previewer's reading, off the page's thread so that a large file does not freeze it: the
// library's reader and the previewer's core in WebAssembly (rib-view-page.js). The page sends
// files as bytes; gzip is inflated here by the browser's own DecompressionStream (the WebAssembly
// has no zlib); the reader sees them as files of one folder, so that ReadArchive finds exactly
// the files it was given. Progress, then the pictures (their vertex arrays handed over, not
// copied) and the problem lines go back to the page.
'use strict';

var ready = new Promise(function (resolve) {
  self.Module = {
    print: function () {},
    printErr: function (text) { console.error(text); },
    onRuntimeInitialized: resolve
  };
});
importScripts('rib-view-page.js');

var kFields = 27; // the numbers viewPicture gives: 11, then the projection's 16
var folders = 0;

function isGzip(bytes) {
  return bytes.length >= 2 && bytes[0] === 0x1f && bytes[1] === 0x8b;
}

// The inflated bytes, and a problem line when the input is corrupt or cut short (what came
// before it is kept, and the line is the one the native reader gives: where the input ends).
async function inflate(name, bytes) {
  var reader = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip')).getReader();
  var parts = [], size = 0, problem = '';
  for (;;) {
    var next;
    try {
      next = await reader.read();
    } catch (error) {
      problem = /truncated/i.test(error.message) ? 'gzip input is truncated' : 'gzip input is corrupt';
      break;
    }
    if (next.done) break;
    parts.push(next.value);
    size += next.value.length;
  }
  var out = new Uint8Array(size), at = 0;
  parts.forEach(function (part) { out.set(part, at); at += part.length; });
  if (problem !== '') {
    var line = 1;
    for (var i = 0; i < out.length; ++i) line += out[i] === 10 ? 1 : 0;
    problem = name + ':' + line + ': ' + problem + '\n';
  }
  return { bytes: out, problem: problem };
}

// A file's own name, without folders, as the reader's problem lines give it.
function baseName(name) {
  var base = String(name).split('/').pop();
  return base === '' || base === '.' || base === '..' ? 'input.rib' : base;
}

async function open(files) {
  await ready;
  var folder = '/input' + ++folders;
  FS.mkdir(folder);
  FS.chdir(folder);
  var names = [], sizes = [], inflating = '';
  for (var i = 0; i < files.length; ++i) {
    var name = baseName(files[i].name), bytes = new Uint8Array(files[i].bytes);
    if (isGzip(bytes)) {
      var inflated = await inflate(name, bytes);
      bytes = inflated.bytes;
      inflating += inflated.problem;
    }
    FS.writeFile(name, bytes);
    if (names.indexOf(name) < 0) {
      names.push(name);
      sizes.push(bytes.length);
    }
  }
  postMessage({ reading: { names: names, sizes: sizes } });
  var start = performance.now();
  var found = Module.ccall('viewRead', 'number', ['string'], [names.join('\n')]);
  // A gzip input's problem comes where its reading ends, after what the reader found before it.
  var problems = UTF8ToString(Module._viewProblems()) + inflating;
  var pictures = [], transfers = [];
  for (var p = 0; p < Module._viewPictureCount(); ++p) {
    var at = Module._viewPicture(p) >> 3;
    var fields = Array.from(HEAPF64.subarray(at, at + kFields));
    var triangles = HEAPF32.slice(Module._viewTriangles(p) >> 2,
                                  (Module._viewTriangles(p) >> 2) + fields[9] * 7);
    var lines = HEAPF32.slice(Module._viewLines(p) >> 2, (Module._viewLines(p) >> 2) + fields[10] * 7);
    pictures.push({
      number: fields[0], frameNumber: fields[1], hasFrameNumber: fields[2] !== 0,
      width: fields[3], height: fields[4], viewport: fields.slice(5, 9),
      projection: fields.slice(11, 27), triangles: triangles, lines: lines
    });
    transfers.push(triangles.buffer, lines.buffer);
  }
  Module._viewRelease();
  names.forEach(function (name) { FS.unlink(name); });
  FS.chdir('/');
  FS.rmdir(folder);
  postMessage({ done: { problems: problems, unreadable: found < 0, pictures: pictures,
                        seconds: (performance.now() - start) / 1000 } }, transfers);
}

onmessage = function (event) {
  open(event.data.files).catch(function (error) {
    // The WebAssembly may be unusable after this (out of memory): the page starts a new worker.
    postMessage({ done: { problems: 'the viewer failed: ' + error.message + '\n', pictures: [],
                          failed: true } });
  });
};
