// ---------------------------------------------------------------------------
// Canvases: backing stores follow the device pixel ratio so lines stay crisp.
// ---------------------------------------------------------------------------
var kAnalyserW = 760, kAnalyserH = 184, kMeterW = 384, kMeterH = 184;
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
  canvas('analyser', kAnalyserW, kAnalyserH, document.querySelector('#analyserPanel'));
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
  var dpr = window.devicePixelRatio || 1;
  var w = Math.round(c.cssW * dpr), h = Math.round(c.cssH * dpr);
  if (c.width !== w || c.height !== h) { c.width = w; c.height = h; }
  c.dpr = dpr;
}
// Every drawing checks the pixel ratio too: not every way of moving a window
// to another screen reports the change as an event.
function context(c) {
  if (c.dpr !== (window.devicePixelRatio || 1)) fitBackingStore(c);
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

function drawAnalyser() {
  var c = document.getElementById('analyser');
  if (!c || !c.cssW) return;
  var ctx = context(c), W = c.cssW, H = c.cssH;
  var plotH = H - 14;
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
  ctx.fillStyle = '#6f6a60';
  ctx.textBaseline = 'middle';
  ctx.textAlign = 'right';
  curveGrid.forEach(function (db) {
    ctx.fillText((db > 0 ? '+' : '') + db, W - 4, yOfCurve(db) - 6);
  });
  ctx.textAlign = 'center';
  Object.keys(kLabelHz).forEach(function (hz) {
    var x = xOfHz(+hz, W);
    ctx.fillText(kLabelHz[hz], clamp(x, 10, W - 12), H - 6);
  });
  // Spectra
  function ySpec(db) { return plotH - (db - kSpecBottomDb) / (kSpecTopDb - kSpecBottomDb) * plotH; }
  function spectrumPath(levels) {
    ctx.beginPath();
    ctx.moveTo(0, plotH);
    for (var j = 0; j < 128; j++) {
      var x = j / 127 * W, y = clamp(ySpec(levels[j]), 0, plotH);
      if (j === 0) ctx.lineTo(0, y);
      else {
        var px = (j - 1) / 127 * W, py = clamp(ySpec(levels[j - 1]), 0, plotH);
        ctx.quadraticCurveTo(px, py, (px + x) / 2, (py + y) / 2);
      }
    }
    ctx.lineTo(W, clamp(ySpec(levels[127]), 0, plotH));
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
      ctx.fillText(chain.label, 150 + idx * 14, 9);
    }
  });
  // Legend
  ctx.textAlign = 'left';
  ctx.fillStyle = 'rgba(120,185,225,0.8)';
  ctx.fillRect(6, 5, 8, 8);
  ctx.fillStyle = '#8e897d';
  ctx.fillText('IN', 18, 9);
  ctx.fillStyle = 'rgba(255,200,130,0.8)';
  ctx.fillRect(38, 5, 8, 8);
  ctx.fillStyle = '#8e897d';
  ctx.fillText('OUT', 50, 9);
  ctx.fillStyle = '#ffd48a';
  ctx.fillRect(80, 8, 10, 2);
  ctx.fillStyle = '#8e897d';
  ctx.fillText('EQ (dB)', 94, 9);
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
