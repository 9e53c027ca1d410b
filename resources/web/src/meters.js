// ---------------------------------------------------------------------------
// Meters
// ---------------------------------------------------------------------------
var gMeters = { thd: 0, drive: 0, loRed: 0, hiRed: 0, tp: -120, lufs: -120, xf: 0, tb: 0, ease: 0,
  ppg: [1, 1, 1, 1, 1, 1], ppbg: [1, 1], count: 0, peakHold: -120, peakAt: 0 };

function acceptMeters(m) {
  if (!m || typeof m !== 'object' || m.t !== 'meters') return false;
  ['thd', 'drive', 'loRed', 'hiRed', 'tp', 'lufs', 'xf', 'tb', 'ease'].forEach(function (k) {
    if (isNum(m[k])) gMeters[k] = m[k];
  });
  if (Array.isArray(m.ppg)) m.ppg.slice(0, 6).forEach(function (v, i) { if (isNum(v)) gMeters.ppg[i] = v; });
  if (Array.isArray(m.ppbg)) m.ppbg.slice(0, 2).forEach(function (v, i) { if (isNum(v)) gMeters.ppbg[i] = v; });
  var now = performance.now();
  if (gMeters.tp >= gMeters.peakHold || now - gMeters.peakAt > 1500) { gMeters.peakHold = gMeters.tp; gMeters.peakAt = now; }
  gMeters.count++;
  drawMeters();
  return true;
}

function drawMeters() {
  var c = document.getElementById('meters');
  if (!c || !c.cssW) return;
  var ctx = context(c), W = c.cssW, H = c.cssH, m = gMeters;
  var font = getComputedStyle(document.body).fontFamily;
  var mode = gParams.length ? Math.trunc(plain('Mode', 0)) : 0;
  ctx.fillStyle = '#0d0e10';
  roundRect(ctx, 0, 0, W, H, 4);
  ctx.fill();
  ctx.textBaseline = 'middle';

  // Output: true peak and loudness columns, -60..+6 dB.
  var top = 20, bottom = H - 22, colW = 14;
  function yDb(db) { return bottom - (clamp(db, -60, 6) + 60) / 66 * (bottom - top); }
  ctx.font = 'bold 9px ' + font;
  ctx.fillStyle = '#8e897d';
  ctx.textAlign = 'center';
  ctx.fillText('OUTPUT', 46, 9);
  [[12, m.tp, 'TP', m.peakHold], [66, m.lufs, 'LUFS', null]].forEach(function (col) {
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
    ctx.font = '9px ' + font;
    ctx.fillStyle = '#8e897d';
    ctx.fillText(col[2], x + colW / 2, bottom + 8);
    ctx.font = 'bold 10px ' + font;
    ctx.fillStyle = col[2] === 'TP' && col[1] > 0 ? '#ff5e4d' : '#ffc266';
    ctx.fillText(col[1] <= -120 ? '-inf' : col[1].toFixed(1), x + colW / 2, bottom + 18);
  });
  ctx.font = '8px ' + font;
  ctx.fillStyle = '#6f6a60';
  [0, -6, -12, -18, -24, -36, -48, -60].forEach(function (db) {
    var y = Math.round(yDb(db)) + 0.5;
    ctx.fillText(String(db), 46, y);
    ctx.fillStyle = 'rgba(255,255,255,0.12)';
    ctx.fillRect(28, y, 4, 1); ctx.fillRect(60, y, 4, 1);
    ctx.fillStyle = '#6f6a60';
  });

  // Tube and Baxandall activity as horizontal bars.
  var bx = 108, bw = 132;
  function bar(row, label, value, text, frac, active, colour, fromRight) {
    var y = 24 + row * 21;
    ctx.globalAlpha = active ? 1 : 0.35;
    ctx.font = '9px ' + font;
    ctx.textAlign = 'left';
    ctx.fillStyle = '#b9b2a3';
    ctx.fillText(label, bx, y - 5);
    ctx.textAlign = 'right';
    ctx.fillStyle = '#ffc266';
    ctx.fillText(text, bx + bw, y - 5);
    ctx.fillStyle = '#050506';
    ctx.fillRect(bx, y, bw, 6);
    ctx.fillStyle = colour;
    var f = clamp(frac, 0, 1);
    if (fromRight) ctx.fillRect(bx + bw - f * bw, y + 1, f * bw, 4);
    else ctx.fillRect(bx + 1, y + 1, f * (bw - 2), 4);
    ctx.globalAlpha = 1;
  }
  var tube = mode === 0, bax = mode === 1;
  ctx.font = 'bold 9px ' + font;
  ctx.fillStyle = '#8e897d';
  ctx.textAlign = 'left';
  ctx.fillText('TUBE', bx, 9);
  bar(1, 'Distortion', m.thd, m.thd.toFixed(2) + ' %', Math.log10(1 + m.thd) / Math.log10(21), tube, '#ffb347');
  bar(2, 'Drive', m.drive, m.drive.toFixed(3), m.drive / 1.032, tube, '#ffb347');
  bar(3, 'Low band', m.xf, m.xf.toFixed(2) + ' %', Math.log10(1 + m.xf) / Math.log10(21), tube, '#d98a4a');
  bar(4, 'High band', m.tb, m.tb.toFixed(2) + ' %', Math.log10(1 + m.tb) / Math.log10(21), tube, '#f2d27a');
  bar(5, 'Dynamic ease', m.ease, m.ease.toFixed(2) + ' dB', -m.ease / 12, tube, '#5fd3e0', true);
  bar(6, 'BAX low red.', m.loRed, m.loRed.toFixed(2) + ' dB', m.loRed / 6, bax, '#5fd3e0', true);
  bar(7, 'BAX high red.', m.hiRed, m.hiRed.toFixed(2) + ' dB', m.hiRed / 6, bax, '#5fd3e0', true);

  // Push-pull gains: centre-zero columns on a decibel scale of +-8 dB.
  var px = 256, pw = W - px - 4;
  ctx.font = 'bold 9px ' + font;
  ctx.fillStyle = '#8e897d';
  ctx.textAlign = 'left';
  ctx.fillText('PUSH-PULL', px, 9);
  ctx.font = '8px ' + font;
  ctx.fillStyle = '#6f6a60';
  ctx.textAlign = 'right';
  ctx.fillText('\u00b18 dB', W - 4, 9);
  var labels = ['LC', 'LB', 'MC', 'HB', 'HC', 'MB', 'Lo', 'Hi'];
  var gains = m.ppg.concat(m.ppbg);
  var ptop = 20, pbot = H - 22, mid = (ptop + pbot) / 2, step = pw / 8;
  ctx.fillStyle = 'rgba(255,255,255,0.10)';
  ctx.fillRect(px, Math.round(mid), pw, 1);
  gains.forEach(function (gv, i) {
    var active = i < 6 ? mode === 0 : mode === 1;
    var db = 20 * Math.log10(Math.max(gv, 1e-6));
    var x = px + i * step + 2, w = step - 5;
    ctx.globalAlpha = active ? 1 : 0.35;
    ctx.fillStyle = '#050506';
    ctx.fillRect(x, ptop, w, pbot - ptop);
    var hgt = clamp(db / 8, -1, 1) * (pbot - ptop) / 2;
    ctx.fillStyle = hgt > 0 ? '#ffb347' : '#5fd3e0';
    ctx.fillRect(x + 1, hgt > 0 ? mid - hgt : mid, w - 2, Math.abs(hgt));
    ctx.font = '8px ' + font;
    ctx.textAlign = 'center';
    ctx.fillStyle = '#b9b2a3';
    ctx.fillText(labels[i], x + w / 2, pbot + 8);
    ctx.globalAlpha = 1;
  });
}
function roundRect(ctx, x, y, w, h, r) {
  ctx.beginPath();
  ctx.moveTo(x + r, y); ctx.arcTo(x + w, y, x + w, y + h, r); ctx.arcTo(x + w, y + h, x, y + h, r);
  ctx.arcTo(x, y + h, x, y, r); ctx.arcTo(x, y, x + w, y, r); ctx.closePath();
}
