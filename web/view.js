// The previewer's page: reading happens in a worker (view-worker.js), drawing here with WebGL.
// Each picture is camera-space triangles and lines with their shaded colours and a projection;
// they are drawn with a depth test on black, as the native previewer draws them. Alpha is 1
// where geometry covers the pixel and 0 elsewhere, as in the previewer's snapshots.
'use strict';

var params = new URLSearchParams(location.search);
var canvas = document.getElementById('canvas');
var statusLine = document.getElementById('status');
var pictureLine = document.getElementById('picture');
var problemList = document.getElementById('problems');
if (params.has('bare')) document.body.classList.add('bare');

// What a test (or the console) can read: 'idle', 'reading', 'done'; the pictures and problems.
var viewer = { state: 'idle', pictures: [], current: 0, problems: '', seconds: 0, wires: false,
               shownAt: 0, progress: [] };
window.viewer = viewer;

// ---- Drawing ------------------------------------------------------------------------------

// The colour buffer holds the picture over black, as the native previewer's does; its alpha
// grows with every surface drawn on a pixel, so it is above 0 exactly where geometry covers it.
var gl = canvas.getContext('webgl2', { antialias: false, preserveDrawingBuffer: true,
                                        premultipliedAlpha: true, depth: true });
if (!gl) {
  statusLine.textContent = 'This browser has no WebGL 2, which the viewer draws with.';
  throw new Error(statusLine.textContent);
}
var kVertexShader = '#version 300 es\n' +
  'in vec3 position; in vec4 colour; uniform mat4 projection; out vec4 shade;\n' +
  'void main() { gl_Position = projection * vec4(position, 1.0); shade = colour; }\n';
var kFragmentShader = '#version 300 es\nprecision mediump float;\n' +
  'in vec4 shade; out vec4 pixel;\nvoid main() { pixel = shade; }\n';

function compile(type, source) {
  var shader = gl.createShader(type);
  gl.shaderSource(shader, source);
  gl.compileShader(shader);
  if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS)) throw new Error(gl.getShaderInfoLog(shader));
  return shader;
}

var program = gl.createProgram();
gl.attachShader(program, compile(gl.VERTEX_SHADER, kVertexShader));
gl.attachShader(program, compile(gl.FRAGMENT_SHADER, kFragmentShader));
gl.linkProgram(program);
var positionAt = gl.getAttribLocation(program, 'position');
var colourAt = gl.getAttribLocation(program, 'colour');
var projectionAt = gl.getUniformLocation(program, 'projection');
var vertexBuffer = gl.createBuffer();

// Seven floats a vertex: x, y, z, r, g, b, a.
function drawVertices(mode, vertices) {
  if (vertices.length === 0) return;
  gl.bindBuffer(gl.ARRAY_BUFFER, vertexBuffer);
  gl.bufferData(gl.ARRAY_BUFFER, vertices, gl.STREAM_DRAW);
  gl.enableVertexAttribArray(positionAt);
  gl.vertexAttribPointer(positionAt, 3, gl.FLOAT, false, 28, 0);
  gl.enableVertexAttribArray(colourAt);
  gl.vertexAttribPointer(colourAt, 4, gl.FLOAT, false, 28, 12);
  gl.drawArrays(mode, 0, vertices.length / 7);
}

// The triangles' edges as lines, made when first asked for.
function wiresOf(picture) {
  if (picture.wires) return picture.wires;
  var t = picture.triangles, wires = new Float32Array(t.length * 2);
  for (var i = 0, at = 0; i < t.length; i += 21) {
    for (var edge = 0; edge < 3; ++edge) {
      wires.set(t.subarray(i + edge * 7, i + edge * 7 + 7), at);
      wires.set(t.subarray(i + (edge + 1) % 3 * 7, i + (edge + 1) % 3 * 7 + 7), at + 7);
      at += 14;
    }
  }
  picture.wires = wires;
  return wires;
}

function show(index) {
  var picture = viewer.pictures[index];
  if (!picture) return;
  viewer.current = index;
  if (canvas.width !== picture.width || canvas.height !== picture.height) {
    canvas.width = picture.width;
    canvas.height = picture.height;
  }
  gl.viewport(0, 0, picture.width, picture.height);
  gl.clearColor(0, 0, 0, 0);
  gl.clearDepth(1);
  gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
  gl.viewport(picture.viewport[0], picture.viewport[1], picture.viewport[2], picture.viewport[3]);
  gl.enable(gl.DEPTH_TEST);
  gl.depthFunc(gl.LESS);
  // Opacity shows as a mix with what is behind; opaque surfaces (alpha 1) simply replace it.
  gl.enable(gl.BLEND);
  gl.blendFuncSeparate(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA, gl.ONE, gl.ONE);
  gl.useProgram(program);
  gl.uniformMatrix4fv(projectionAt, false, new Float32Array(picture.projection));
  if (viewer.wires) drawVertices(gl.LINES, wiresOf(picture));
  else drawVertices(gl.TRIANGLES, picture.triangles);
  drawVertices(gl.LINES, picture.lines);
  pictureLine.textContent = 'Picture ' + picture.number + ' of ' + viewer.pictures.length +
    (picture.hasFrameNumber ? ' (frame ' + picture.frameNumber + ')' : '') + ', ' +
    picture.width + ' \u00d7 ' + picture.height + ', ' + picture.triangles.length / 21 + ' triangles';
}

// The drawn picture's alpha, top row first, in base64 (for tests: above 0 where covered).
window.viewerAlpha = function () {
  var w = canvas.width, h = canvas.height, rgba = new Uint8Array(w * h * 4), text = '';
  gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
  for (var y = h - 1; y >= 0; --y)
    for (var x = 0; x < w; ++x) text += String.fromCharCode(rgba[(y * w + x) * 4 + 3]);
  return btoa(text);
};

// ---- Playing, as the native previewer's window does -------------------------------------------

// The pictures play at 30 a second from the first to the last, where they stay; space stops and
// goes on, Left and Right stop and step, Home goes back to the first.
var playing = false;
setInterval(function () {
  if (playing && viewer.current + 1 < viewer.pictures.length) show(viewer.current + 1);
}, 1000 / 30);

window.addEventListener('keydown', function (event) {
  var count = viewer.pictures.length;
  if (count === 0) return;
  if (event.key === ' ') {
    playing = !playing;
  } else if (event.key === 'ArrowRight') {
    playing = false;
    show(Math.min(viewer.current + 1, count - 1));
  } else if (event.key === 'ArrowLeft') {
    playing = false;
    show(Math.max(viewer.current - 1, 0));
  } else if (event.key === 'Home') {
    show(0);
  } else if (event.key === 'l') {
    viewer.wires = !viewer.wires;
    show(viewer.current);
  } else {
    return;
  }
  event.preventDefault();
});

// ---- Reading ----------------------------------------------------------------------------------

var worker = null;
var reading = null; // names and sizes of the files being read

function startWorker() {
  worker = new Worker('view-worker.js');
  worker.onmessage = heard;
}

function heard(event) {
  var message = event.data;
  if (message.reading) {
    reading = message.reading;
    statusLine.textContent = 'Reading ' + reading.names.join(', ') + '\u2026';
  } else if (message.progress && reading) {
    var p = message.progress, size = reading.sizes[p.input] || 1;
    viewer.progress.push(Math.min(100, Math.floor(100 * p.offset / size)));
    statusLine.textContent = 'Reading ' + reading.names[p.input] + ': ' +
      viewer.progress[viewer.progress.length - 1] + '%';
  } else if (message.done) {
    var done = message.done;
    viewer.pictures = done.pictures;
    viewer.problems = done.problems;
    viewer.seconds = done.seconds || 0;
    problemList.textContent = done.problems;
    statusLine.textContent = (reading ? reading.names.join(', ') + ': ' : '') +
      done.pictures.length + (done.pictures.length === 1 ? ' picture' : ' pictures') +
      ' in ' + viewer.seconds.toFixed(2) + ' s';
    playing = true;
    if (done.pictures.length > 0) show(0);
    else pictureLine.textContent = 'No picture: nothing in the input ended with WorldEnd.';
    gl.finish();
    viewer.shownAt = performance.now(); // milliseconds since the page began to load
    viewer.state = 'done';
    if (done.failed) {
      worker.terminate();
      startWorker();
    }
  }
}
startWorker();

function open(files) {
  playing = false;
  viewer.state = 'reading';
  viewer.pictures = [];
  viewer.progress = [];
  problemList.textContent = '';
  pictureLine.textContent = '';
  statusLine.textContent = 'Reading\u2026';
  Promise.all(files.map(function (file) {
    return file.arrayBuffer().then(function (bytes) { return { name: file.name, bytes: bytes }; });
  })).then(function (loaded) {
    worker.postMessage({ files: loaded }, loaded.map(function (file) { return file.bytes; }));
  });
}

function failed(message) {
  statusLine.textContent = message;
  problemList.textContent = message + '\n';
  viewer.problems = message + '\n';
  viewer.state = 'done';
}

document.getElementById('file').addEventListener('change', function (event) {
  if (event.target.files.length > 0) open(Array.from(event.target.files));
});
document.addEventListener('dragover', function (event) {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', function () { document.body.classList.remove('dragging'); });
document.addEventListener('drop', function (event) {
  event.preventDefault();
  document.body.classList.remove('dragging');
  if (event.dataTransfer.files.length > 0) open(Array.from(event.dataTransfer.files));
});

// view.html?rib=URL: a file of this same server.
if (params.has('rib')) {
  var url = new URL(params.get('rib'), location.href);
  if (url.origin !== location.origin) {
    failed(params.get('rib') + ': only files from this server are opened');
  } else {
    viewer.state = 'reading';
    fetch(url).then(function (response) {
      if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
      return response.blob();
    }).then(function (blob) {
      var name = decodeURIComponent(url.pathname.split('/').pop()) || 'input.rib';
      open([new File([blob], name)]);
    }).catch(function (error) {
      failed(params.get('rib') + ': cannot be fetched (' + error.message + ')');
    });
  }
}
