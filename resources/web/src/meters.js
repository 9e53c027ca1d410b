// ---------------------------------------------------------------------------
// Meters
// ---------------------------------------------------------------------------
var gMeters = { thd: 0, drive: 0, loRed: 0, hiRed: 0, tp: -120, lufs: -120, xf: 0, tb: 0, ease: 0,
  ppg: [1, 1, 1, 1, 1, 1], ppbg: [1, 1], count: 0, peakHold: -120, peakAt: 0 };
// Loudness after ITU-R BS.1770 (momentary, short-term, integrated, in LUFS),
// the input's true peak and the gain the Auto Gain Match applies now.
var gLevels = { m: -120, s: -120, i: -120, inTp: -120, gm: 0, count: 0, peakHold: -120, peakAt: 0 };

function acceptMeters(m) {
  if (!m || typeof m !== 'object' || m.t !== 'meters') return false;
  ['thd', 'drive', 'loRed', 'hiRed', 'tp', 'lufs', 'xf', 'tb', 'ease'].forEach(function (k) {
    if (isNum(m[k])) gMeters[k] = m[k];
  });
  if (Array.isArray(m.ppg)) m.ppg.slice(0, 6).forEach(function (v, i) { if (isNum(v)) gMeters.ppg[i] = v; });
  if (Array.isArray(m.ppbg)) m.ppbg.slice(0, 2).forEach(function (v, i) { if (isNum(v)) gMeters.ppbg[i] = v; });
  holdPeak(gMeters, gMeters.tp);
  gMeters.count++;
  drawMeters();
  return true;
}

function acceptLevels(m) {
  if (!m || typeof m !== 'object' || m.t !== 'levels') return false;
  ['m', 's', 'i', 'inTp', 'gm'].forEach(function (k) { if (isNum(m[k])) gLevels[k] = m[k]; });
  holdPeak(gLevels, gLevels.inTp);
  gLevels.count++;
  drawMeters();
  return true;
}

// Peaks are held for 1.5 s unless a higher one comes.
function holdPeak(rec, db) {
  var now = performance.now();
  if (db >= rec.peakHold || now - rec.peakAt > 1500) { rec.peakHold = db; rec.peakAt = now; }
}

function resetLoudness() {
  postArbitrary(kMsgTag.resetLoudness, '');
}

// Texts of the meter canvas: labels and scales in kMeterInk (at least 4.5:1 on
// the meter background), values in kMeterValue.
var kMeterInk = '#aaa496', kMeterValue = '#ffc266', kMeterBg = '#0d0e10';
// The push-pull columns of the program bands in the order of the Band Depth
// knobs; "ppg" holds them in the engine's band order (LC, LB, MC, HB, HC, MB).
var kPushPullColumns = [['LB', 1], ['LC', 0], ['MB', 5], ['MC', 2], ['HB', 3], ['HC', 4]];
var kMeterHint = 'Drive: gain into the tube \u00b7 Low / High band: share of the distortion below / above the split';

function dbText(db, decimals, floor) { return db <= floor ? '\u2013' : (db > 0 ? '+' : '') + db.toFixed(decimals); }

function drawMeters() {
  var c = document.getElementById('meters');
  if (!c || !c.cssW) return;
  var ctx = context(c), W = c.cssW, H = c.cssH, m = gMeters, lv = gLevels;
  var font = getComputedStyle(document.body).fontFamily;
  var mode = gParams.length ? Math.trunc(plain('Mode', 0)) : 0;
  ctx.fillStyle = kMeterBg;
  roundRect(ctx, 0, 0, W, H, 4);
  ctx.fill();
  ctx.textBaseline = 'middle';
  function title(text, x, align) {
    ctx.font = 'bold 9px ' + font;
    ctx.fillStyle = kMeterInk;
    ctx.textAlign = align || 'left';
    ctx.fillText(text, x, 9);
  }

  // Levels: input and output true peak and the engine's 3-second K-weighted
  // average of the mid signal ("AVG"), -60..+6 dB.
  var top = 20, bottom = H - 44, colW = 14;
  function yDb(db) { return bottom - (clamp(db, -60, 6) + 60) / 66 * (bottom - top); }
  title('LEVEL (dB)', 4);
  [[6, lv.inTp, 'IN', lv.peakHold], [36, m.tp, 'OUT', m.peakHold], [78, m.lufs, 'AVG', null]].forEach(function (col) {
    var x = col[0];
    ctx.fillStyle = '#050506';
    ctx.fillRect(x, top, colW, bottom - top);
    var y = yDb(col[1]);
    var g = ctx.createLinearGradient(0, bottom, 0, top);
    g.addColorStop(0, '#3f8f5a'); g.addColorStop(0.72, '#c9b24a'); g.addColorStop(0.86, '#ff9f3a'); g.addColorStop(1, '#ff4b3a');
    ctx.fillStyle = g;
    if (col[1] > -60) ctx.fillRect(x + 1, y, colW - 2, bottom - y);
    if (col[3] !== null && col[3] > -60) {
      ctx.fillStyle = col[3] > 0 ? '#ff5e4d' : '#f3ead7';
      ctx.fillRect(x + 1, Math.round(yDb(col[3])), colW - 2, 2);
    }
    ctx.textAlign = 'center';
    ctx.font = '9px ' + font;
    ctx.fillStyle = kMeterInk;
    ctx.fillText(col[2], x + colW / 2, bottom + 8);
    ctx.font = 'bold 10px ' + font;
    ctx.fillStyle = col[2] !== 'AVG' && col[1] > 0 ? '#ff5e4d' : kMeterValue;
    ctx.fillText(col[1] <= -120 ? '-inf' : col[1].toFixed(1), x + colW / 2, bottom + 20);
  });
  ctx.font = '9px ' + font;
  ctx.textAlign = 'center';
  [6, 0, -6, -12, -18, -24, -36, -48, -60].forEach(function (db) {
    var y = Math.round(yDb(db)) + 0.5;
    ctx.fillStyle = kMeterInk;
    ctx.fillText((db > 0 ? '+' : '') + db, 64, y);
    ctx.fillStyle = 'rgba(255,255,255,0.14)';
    ctx.fillRect(21, y, 4, 1); ctx.fillRect(51, y, 4, 1);
  });

  // Loudness after BS.1770 and the gain of the Auto Gain Match.
  var lx = 106, lw = 96;
  title('LOUDNESS (LUFS)', lx);
  function row(y, label, text, dim) {
    ctx.globalAlpha = dim ? 0.45 : 1;
    ctx.font = '10px ' + font;
    ctx.textAlign = 'left';
    ctx.fillStyle = kMeterInk;
    ctx.fillText(label, lx, y);
    ctx.font = 'bold 11px ' + font;
    ctx.textAlign = 'right';
    ctx.fillStyle = kMeterValue;
    ctx.fillText(text, lx + lw, y);
    ctx.globalAlpha = 1;
  }
  row(28, 'Momentary', dbText(lv.m, 1, -120));
  row(44, 'Short-term', dbText(lv.s, 1, -120));
  row(60, 'Integrated', dbText(lv.i, 1, -120));
  var matching = plain('Auto Gain Match', 0) >= 0.5;
  ctx.textBaseline = 'middle';
  ctx.font = 'bold 9px ' + font;
  ctx.fillStyle = kMeterInk;
  ctx.textAlign = 'left';
  ctx.fillText('GAIN MATCH', lx, 106);
  row(122, 'Applied', (lv.gm > 0 ? '+' : '') + lv.gm.toFixed(2) + ' dB', !matching);
  ctx.font = '9px ' + font;
  ctx.fillStyle = kMeterInk;
  ctx.textAlign = 'left';
  ctx.fillText('AVG: 3 s K-weighted', lx, 140);

  // Tube and Baxandall activity as horizontal bars.
  var bx = 212, bw = 136;
  function bar(row, label, text, frac, active, colour, fromRight) {
    var y = 26 + row * 19;
    ctx.globalAlpha = active ? 1 : 0.4;
    ctx.font = '9px ' + font;
    ctx.textAlign = 'left';
    ctx.fillStyle = kMeterInk;
    ctx.fillText(label, bx, y - 5);
    ctx.textAlign = 'right';
    ctx.fillStyle = kMeterValue;
    ctx.fillText(text, bx + bw, y - 5);
    ctx.fillStyle = '#050506';
    ctx.fillRect(bx, y, bw, 5);
    ctx.fillStyle = colour;
    var f = clamp(frac, 0, 1);
    if (fromRight) ctx.fillRect(bx + bw - f * bw, y + 1, f * bw, 3);
    else ctx.fillRect(bx + 1, y + 1, f * (bw - 2), 3);
    ctx.globalAlpha = 1;
  }
  var tube = mode === 0, bax = mode === 1;
  title('TUBE', bx);
  ctx.textBaseline = 'middle';
  bar(0, 'Distortion', m.thd.toFixed(2) + ' %', Math.log10(1 + m.thd) / Math.log10(21), tube, '#ffb347');
  bar(1, 'Drive', '\u00d7' + m.drive.toFixed(3), m.drive / 1.032, tube, '#ffb347');
  bar(2, 'Low band', m.xf.toFixed(2) + ' % of dist.', Math.log10(1 + m.xf) / Math.log10(101), tube, '#d98a4a');
  bar(3, 'High band', m.tb.toFixed(2) + ' % of dist.', Math.log10(1 + m.tb) / Math.log10(101), tube, '#f2d27a');
  bar(4, 'Dynamic ease', m.ease.toFixed(2) + ' dB', -m.ease / 12, tube, '#5fd3e0', true);
  bar(5, 'BAX low red.', m.loRed.toFixed(2) + ' dB', m.loRed / 6, bax, '#5fd3e0', true);
  bar(6, 'BAX high red.', m.hiRed.toFixed(2) + ' dB', m.hiRed / 6, bax, '#5fd3e0', true);
  ctx.font = '9px ' + font;
  ctx.textAlign = 'left';
  ctx.fillStyle = kMeterInk;
  ctx.fillText(kMeterHint, 4, H - 7);

  // Push-pull gains of the current mode's bands: centre-zero columns, +-8 dB.
  var px = 358, pw = W - px - 4;
  title('PUSH-PULL', px);
  ctx.font = '9px ' + font;
  ctx.fillStyle = kMeterInk;
  ctx.textAlign = 'right';
  ctx.fillText('\u00b18 dB', W - 4, 9);
  var cols = mode === 1 ? [['Lo', m.ppbg[0]], ['Hi', m.ppbg[1]]]
    : kPushPullColumns.map(function (d) { return [d[0], m.ppg[d[1]]]; });
  var ptop = 20, pbot = H - 36, mid = (ptop + pbot) / 2, step = pw / cols.length;
  ctx.fillStyle = 'rgba(255,255,255,0.10)';
  ctx.fillRect(px, Math.round(mid), pw, 1);
  cols.forEach(function (col, i) {
    var db = 20 * Math.log10(Math.max(col[1], 1e-6));
    var w = Math.min(step - 4, 22), x = px + i * step + (step - w) / 2;
    ctx.fillStyle = '#050506';
    ctx.fillRect(x, ptop, w, pbot - ptop);
    var hgt = clamp(db / 8, -1, 1) * (pbot - ptop) / 2;
    ctx.fillStyle = hgt > 0 ? '#ffb347' : '#5fd3e0';
    ctx.fillRect(x + 1, hgt > 0 ? mid - hgt : mid, w - 2, Math.abs(hgt));
    ctx.font = '9px ' + font;
    ctx.textAlign = 'center';
    ctx.fillStyle = kMeterInk;
    ctx.fillText(col[0], x + w / 2, pbot + 8);
  });
}
function roundRect(ctx, x, y, w, h, r) {
  ctx.beginPath();
  ctx.moveTo(x + r, y); ctx.arcTo(x + w, y, x + w, y + h, r); ctx.arcTo(x + w, y + h, x, y + h, r);
  ctx.arcTo(x, y + h, x, y, r); ctx.arcTo(x, y, x + w, y, r); ctx.closePath();
}
