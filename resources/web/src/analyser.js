// ---------------------------------------------------------------------------
// Canvases: backing stores follow the device pixel ratio so lines stay crisp.
// ---------------------------------------------------------------------------
var kAnalyserW = 680, kAnalyserH = 184, kMeterW = 464, kMeterH = 184;
var gCanvases = [];
function canvas(id, w, h, parent) {
  var c = document.getElementById(id);
  if (!c) { c = el('canvas'); c.id = id; }
  c.style.width = w + 'px';
  c.style.height = h + 'px';
  parent.appendChild(c);
  if (gCanvases.indexOf(c) < 0) gCanvases.push(c);
  c.cssW = w; c.cssH = h;
  return c;
}
function sizeCanvases() {
  var ac = canvas('analyser', kAnalyserW, kAnalyserH, document.querySelector('#analyserPanel'));
  watchCursor(ac, document.querySelector('#analyserPanel'));
  canvas('meters', kMeterW, kMeterH, document.querySelector('#meterPanel'));
  gCanvases.forEach(fitBackingStore);
  drawAnalyser();
  drawMeters();
}
var gDprQuery = null;
function watchDpr() {
  if (gDprQuery) gDprQuery.removeEventListener('change', onDprChange);
  gDprQuery = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
  gDprQuery.addEventListener('change', onDprChange);
}
function onDprChange() { watchDpr(); sizeCanvases(); }
function fitBackingStore(c) {
  var dpr = (window.devicePixelRatio || 1) * gScale;
  var w = Math.round(c.cssW * dpr), h = Math.round(c.cssH * dpr);
  if (c.width !== w || c.height !== h) { c.width = w; c.height = h; }
  c.dpr = dpr;
}
// Every drawing checks the pixel ratio too: not every way of moving a window
// to another screen reports the change as an event.
function context(c) {
  if (c.dpr !== (window.devicePixelRatio || 1) * gScale) fitBackingStore(c);
  var ctx = c.getContext('2d');
  ctx.setTransform(c.dpr || 1, 0, 0, c.dpr || 1, 0, 0);
  ctx.clearRect(0, 0, c.cssW, c.cssH);
  return ctx;
}

// ---------------------------------------------------------------------------
// Analyser: input and output spectra with the response curve over them.
// ---------------------------------------------------------------------------
var gSpectrum = { input: null, output: null, shownIn: null, shownOut: null, count: 0 };
var kSpecTopDb = 0, kSpecBottomDb = -96;
var kCurveRangeDb = 24;
var kGridHz = [20, 30, 40, 50, 60, 70, 80, 90, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000];
var kLabelHz = { 20: '20', 50: '50', 100: '100', 200: '200', 500: '500', 1000: '1k', 2000: '2k', 5000: '5k', 10000: '10k', 20000: '20k' };
function xOfHz(hz, w) { return Math.log(hz / 20) / Math.log(1000) * w; }
function hzOfX(x, w) { return 20 * Math.pow(1000, x / w); }
var kSpecInk = '#9ccbe8', kScaleInk = '#aaa496';

// The plug-in averages the FFT bins lo..hi into display band j (128 bands,
// logarithmic from 20 Hz to 20 kHz). At low frequencies neighbouring bands
// read the same bins and so carry no detail of their own: bands with the same
// bins form one step, drawn flat across all of them.
function spectrumSteps(sampleRate) {
  var binHz = sampleRate * (1 / 2048), steps = [], key = null;
  for (var j = 0; j < 128; j++) {
    var lo = Math.max(1, Math.floor(20 * Math.pow(1000, (j - 0.5) / 127) / binHz));
    var hi = Math.min(1023, Math.ceil(20 * Math.pow(1000, (j + 0.5) / 127) / binHz));
    if (lo > hi) lo = hi = clamp(Math.round(20 * Math.pow(1000, j / 127) / binHz), 1, 1023);
    var k = lo + ':' + hi;
    if (k === key) steps[steps.length - 1].last = j;
    else steps.push({ first: j, last: j });
    key = k;
  }
  return steps;
}
function formatHz(hz) { return hz < 999.5 ? Math.round(hz) + ' Hz' : (hz / 1000).toFixed(hz < 10000 ? 2 : 1) + ' kHz'; }

// Cursor over the analyser: frequency, level on the spectrum's dBFS scale and
// the EQ's gain there.
var gCursor = null;
function cursorText(x, y) {
  var c = document.getElementById('analyser'), W = c.cssW, plotH = c.cssH - 14;
  var hz = hzOfX(clamp(x, 0, W), W);
  var dbfs = kSpecBottomDb + (plotH - clamp(y, 0, plotH)) / plotH * (kSpecTopDb - kSpecBottomDb);
  var text = formatHz(hz) + '   ' + dbfs.toFixed(1) + ' dBFS';
  var chains = gParams.length ? responseChains(gSampleRate) : [];
  if (chains.length) {
    var eq = chainDb(chains[0], hz, gSampleRate);
    text += '   EQ ' + (eq >= 0.05 ? '+' : '') + (Math.abs(eq) < 0.05 ? 0 : eq).toFixed(1) + ' dB';
  }
  return text;
}
function watchCursor(c, panel) {
  if (c.cursorWatched) return;
  c.cursorWatched = true;
  var box = el('div', 'cursor');
  box.id = 'analyserCursor';
  panel.appendChild(box);
  c.addEventListener('pointermove', function (e) {
    var r = unscaled(c.getBoundingClientRect());
    gCursor = { x: e.clientX / gScale - r.left, y: e.clientY / gScale - r.top };
    box.textContent = cursorText(gCursor.x, gCursor.y);
    box.style.display = 'block';
    scheduleCurve();
  });
  c.addEventListener('pointerleave', function () { gCursor = null; box.style.display = 'none'; scheduleCurve(); });
}

function drawAnalyser() {
  var c = document.getElementById('analyser');
  if (!c || !c.cssW) return;
  var ctx = context(c), W = c.cssW, H = c.cssH;
  var plotH = H - 14;
  function ySpec(db) { return plotH - (db - kSpecBottomDb) / (kSpecTopDb - kSpecBottomDb) * plotH; }
  var curveRange = gParams.length && Math.trunc(plain('Mode', 0)) === 1 ? 12 : kCurveRangeDb;
  var curveGrid = curveRange === 12 ? [-9, -6, -3, 0, 3, 6, 9] : [-18, -12, -6, 0, 6, 12, 18];
  var bg = ctx.createLinearGradient(0, 0, 0, H);
  bg.addColorStop(0, '#101214');
  bg.addColorStop(1, '#08090a');
  ctx.fillStyle = bg;
  ctx.fillRect(0, 0, W, H);
  // Grid
  ctx.lineWidth = 1;
  kGridHz.forEach(function (hz) {
    var x = Math.round(xOfHz(hz, W)) + 0.5;
    ctx.strokeStyle = kLabelHz[hz] ? 'rgba(255,255,255,0.10)' : 'rgba(255,255,255,0.04)';
    ctx.beginPath(); ctx.moveTo(x, 0); ctx.lineTo(x, plotH); ctx.stroke();
  });
  function yOfCurve(db) { return plotH / 2 - db / curveRange * (plotH / 2 - 6); }
  curveGrid.forEach(function (db) {
    var y = Math.round(yOfCurve(db)) + 0.5;
    ctx.strokeStyle = db === 0 ? 'rgba(255,200,120,0.20)' : 'rgba(255,255,255,0.05)';
    ctx.beginPath(); ctx.moveTo(0, y); ctx.lineTo(W, y); ctx.stroke();
  });
  ctx.font = '9px ' + getComputedStyle(document.body).fontFamily;
  ctx.fillStyle = kScaleInk;
  ctx.textBaseline = 'middle';
  ctx.textAlign = 'right';
  curveGrid.forEach(function (db) {
    ctx.fillText((db > 0 ? '+' : '') + db, W - 4, yOfCurve(db) - 6);
  });
  // The spectra's own scale, in dBFS, on the left.
  ctx.textAlign = 'left';
  ctx.fillStyle = kSpecInk;
  for (var sdb = -12; sdb > kSpecBottomDb; sdb -= 12) {
    var sy = Math.round(ySpec(sdb)) + 0.5;
    ctx.fillRect(0, sy, 4, 1);
    ctx.fillText(String(sdb), 6, sy);
  }
  ctx.fillStyle = kScaleInk;
  ctx.textAlign = 'center';
  Object.keys(kLabelHz).forEach(function (hz) {
    var x = xOfHz(+hz, W);
    ctx.fillText(kLabelHz[hz], clamp(x, 10, W - 12), H - 6);
  });
  // Spectra: one flat step per group of bands that read the same bins.
  var steps = spectrumSteps(gSampleRate);
  function spectrumPath(levels) {
    ctx.beginPath();
    ctx.moveTo(0, plotH);
    steps.forEach(function (s) {
      var top = -Infinity;
      for (var j = s.first; j <= s.last; j++) top = Math.max(top, levels[j]);
      var y = clamp(ySpec(top), 0, plotH);
      ctx.lineTo(clamp((s.first - 0.5) / 127 * W, 0, W), y);
      ctx.lineTo(clamp((s.last + 0.5) / 127 * W, 0, W), y);
    });
    ctx.lineTo(W, plotH);
    ctx.closePath();
  }
  if (gSpectrum.shownIn) {
    spectrumPath(gSpectrum.shownIn);
    ctx.fillStyle = 'rgba(95,168,211,0.16)';
    ctx.fill();
    ctx.strokeStyle = 'rgba(120,185,225,0.45)';
    ctx.stroke();
    spectrumPath(gSpectrum.shownOut);
    var g = ctx.createLinearGradient(0, 0, 0, plotH);
    g.addColorStop(0, 'rgba(255,179,71,0.30)');
    g.addColorStop(1, 'rgba(255,179,71,0.03)');
    ctx.fillStyle = g;
    ctx.fill();
    ctx.strokeStyle = 'rgba(255,200,130,0.55)';
    ctx.stroke();
  }
  // Response curves
  var chains = gParams.length ? responseChains(gSampleRate) : [];
  var kSteps = 300;
  chains.forEach(function (chain, idx) {
    var pts = [];
    for (var i = 0; i <= kSteps; i++) {
      var hz = 20 * Math.pow(1000, i / kSteps);
      pts.push([i / kSteps * W, clamp(yOfCurve(chainDb(chain, hz, gSampleRate)), -2, plotH + 2)]);
    }
    var y0 = yOfCurve(0);
    if (idx === 0) {
      ctx.beginPath();
      ctx.moveTo(0, y0);
      pts.forEach(function (p) { ctx.lineTo(p[0], p[1]); });
      ctx.lineTo(W, y0);
      ctx.closePath();
      ctx.fillStyle = 'rgba(255,196,110,0.10)';
      ctx.fill();
    }
    ctx.beginPath();
    pts.forEach(function (p, i) { if (i) ctx.lineTo(p[0], p[1]); else ctx.moveTo(p[0], p[1]); });
    ctx.save();
    ctx.shadowColor = idx === 0 ? 'rgba(255,179,71,0.9)' : 'rgba(95,211,224,0.9)';
    ctx.shadowBlur = 6;
    ctx.lineWidth = 2;
    ctx.strokeStyle = idx === 0 ? '#ffd48a' : '#8fe6f0';
    if (idx === 1) ctx.setLineDash([5, 3]);
    ctx.stroke();
    ctx.restore();
    if (chain.label) {
      ctx.fillStyle = idx === 0 ? '#ffd48a' : '#8fe6f0';
      ctx.textAlign = 'left';
      ctx.fillText(chain.label, W - 186 + idx * 14, 9);
    }
  });
  // Legend
  ctx.textAlign = 'left';
  ctx.fillStyle = 'rgba(120,185,225,0.8)';
  ctx.fillRect(6, 5, 8, 8);
  ctx.fillStyle = kScaleInk;
  ctx.fillText('IN', 18, 9);
  ctx.fillStyle = 'rgba(255,200,130,0.8)';
  ctx.fillRect(38, 5, 8, 8);
  ctx.fillStyle = kScaleInk;
  ctx.fillText('OUT', 50, 9);
  ctx.fillStyle = kSpecInk;
  ctx.fillText('dBFS, left scale', 74, 9);
  ctx.fillStyle = '#ffd48a';
  ctx.fillRect(W - 150, 8, 10, 2);
  ctx.fillStyle = kScaleInk;
  ctx.fillText('EQ (dB), right scale', W - 136, 9);
  if (gCursor) {
    ctx.strokeStyle = 'rgba(255,255,255,0.28)';
    ctx.beginPath();
    ctx.moveTo(Math.round(gCursor.x) + 0.5, 0); ctx.lineTo(Math.round(gCursor.x) + 0.5, plotH);
    ctx.moveTo(0, Math.round(gCursor.y) + 0.5); ctx.lineTo(W, Math.round(gCursor.y) + 0.5);
    ctx.stroke();
  }
}

var gCurvePending = false;
function scheduleCurve() {
  if (gCurvePending) return;
  gCurvePending = true;
  requestAnimationFrame(function () { gCurvePending = false; drawAnalyser(); });
}

// The picture holds 128 bands of the input then 128 of the output, each a
// level 0..255 for -120..0 dB. Falling levels are eased for a steadier view.
function acceptSpectrum(bytes) {
  function toDb(off) {
    var a = new Float64Array(128);
    for (var j = 0; j < 128; j++) a[j] = bytes[off + j] / 255 * 120 - 120;
    return a;
  }
  var inDb = toDb(0), outDb = toDb(128);
  function ease(prev, next) {
    if (!prev) return next;
    for (var j = 0; j < 128; j++) next[j] = Math.max(next[j], prev[j] - 3);
    return next;
  }
  gSpectrum.shownIn = ease(gSpectrum.shownIn, inDb);
  gSpectrum.shownOut = ease(gSpectrum.shownOut, outDb);
  gSpectrum.count++;
  drawAnalyser();
}
