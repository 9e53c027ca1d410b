// ---------------------------------------------------------------------------
// Values in the units engineers think in: the dB a level or band amount
// gives, and typed values read in the unit they were typed in.
// ---------------------------------------------------------------------------

// Output is a gain of -12..+12 dB over 0..100 %. Input is the tube's drive:
// its dB is the drive relative to the default (50 %), so 0 dB at 50 % as for
// Output, but the drive is not linear in the percentage and has a floor.
function driveOf(a) {
  var d = kVoicing.drive, v = a * d.perInput + d.offset;
  return v <= d.min ? d.min : (v >= d.max ? d.max : v);
}
var kLevelDb = {
  Output: {
    toDb: function (a) { return a * 24 - 12; },
    fromDb: function (db) { return (db + 12) / 24; }
  },
  Input: {
    toDb: function (a) { return 20 * Math.log10(driveOf(a) / driveOf(0.5)); },
    fromDb: function (db) {
      var d = kVoicing.drive;
      return (driveOf(0.5) * Math.pow(10, db / 20) - d.offset) / d.perInput;
    }
  }
};
function isLevel(p) { return p.kind === 'float' && p.label === '%' && !!kLevelDb[p.name]; }
function bandOf(p) {
  if (p.kind !== 'float') return null;
  for (var i = 0; i < kVoicing.bands.length; i++) if (kVoicing.bands[i].amount === p.name) return kVoicing.bands[i];
  return null;
}

// The frequency in hertz a choice text names ("1.7k" -> 1700), or NaN.
function hzOfText(t) {
  var m = /^(\d+(?:\.\d+)?)(k?)$/i.exec(String(t).trim());
  return m ? parseFloat(m[1]) * (m[2] ? 1000 : 1) : NaN;
}

// The gain in dB that a level or band amount gives at the normalised value
// norm, or null for parameters without one. A band's gain is its response at
// the frequency its selector shows, from the same designs as the drawn curve.
function gainDbOf(p, norm) {
  var a = toPlain(p, norm === undefined ? p.norm : norm) / 100;
  if (isLevel(p)) return kLevelDb[p.name].toDb(a);
  var b = bandOf(p);
  if (!b) return null;
  if (a <= kVoicing.activeAmount) return 0;
  var fs = gSampleRate, w = amount('Bandwidth');
  var f = param(b.freq), hz = f ? hzOfText(displayText(f)) : NaN;
  var designHz = pick(b.hz, b.freq, 0);
  if (!isFinite(hz)) hz = designHz;
  var section = designBiquad(b.type, designHz, bandGainDb(b, a, w), bandQ(b, a, w), fs);
  return chainDb({ sections: [section], gainDb: 0 }, limitFreq(hz, fs), fs);
}
// The parameters besides p itself whose changes move p's dB.
function gainDbInputs(p) {
  var b = bandOf(p);
  return b ? [b.freq, 'Bandwidth'] : [];
}
function formatDb(db) {
  var t = (Math.abs(db) < 0.05 ? 0 : db).toFixed(1);
  return (db >= 0.05 ? '+' : '') + t + ' dB';
}
function gainDbText(p) {
  var db = gainDbOf(p);
  return db === null ? '' : formatDb(db);
}

// Reads a typed value in the unit typed. Levels take % (a plain number) or dB
// (a number with "dB" or with a sign: "-3", "+2 dB"); frequency choices take
// Hz or kHz and snap to the nearest entry; other choices take their texts.
// Text that fits no unit of the control gives null: the caller refuses it
// rather than guess.
var kNumber = /^([+-]?)(\d+(?:[.,]\d*)?|[.,]\d+)\s*(.*)$/;
function parseEntry(p, text) {
  var s = String(text).trim();
  if (!s) return null;
  if (p.kind !== 'float') return parseChoice(p, s);
  var m = kNumber.exec(s);
  if (!m) return null;
  var num = parseFloat(m[2].replace(',', '.')) * (m[1] === '-' ? -1 : 1);
  var unit = m[3].trim().toLowerCase();
  if (!isFinite(num)) return null;
  if (isLevel(p) && (unit === 'db' || (unit === '' && m[1] !== ''))) {
    return toNorm(p, p.min + clamp(kLevelDb[p.name].fromDb(num), 0, 1) * (p.max - p.min));
  }
  if (unit !== '' && unit !== p.label.toLowerCase()) return null;
  return toNorm(p, num);
}

// A frequency typed further than a third of an octave beyond the choice's
// ends fits none of its entries.
var kSnapReach = Math.pow(2, 1 / 3);
function parseChoice(p, s) {
  var lower = s.toLowerCase(), bare = lower.replace(/\s*(hz|db\/oct|db)$/, '');
  if (p.texts) {
    for (var i = 0; i < p.texts.length; i++) {
      var t = p.texts[i].toLowerCase();
      if (t === lower || t === bare) return toNorm(p, p.min + i);
    }
  }
  if (p.texts && p.unit === 'Hz') {
    var m = /^(\d+(?:[.,]\d*)?|[.,]\d+)\s*(k?)\s*(hz)?$/.exec(lower);
    if (!m) return null;
    var hz = parseFloat(m[1].replace(',', '.')) * (m[2] ? 1000 : 1);
    var best = -1, bestDist = Infinity, lo = Infinity, hi = 0;
    p.texts.forEach(function (t, k) {
      var f = hzOfText(t);
      if (!(f > 0)) return;
      lo = Math.min(lo, f); hi = Math.max(hi, f);
      var dist = Math.abs(Math.log(hz / f));
      if (dist < bestDist) { bestDist = dist; best = k; }
    });
    if (best < 0 || !(hz >= lo / kSnapReach && hz <= hi * kSnapReach)) return null;
    return toNorm(p, p.min + best);
  }
  if (p.texts) return null;
  var n = Number(bare);
  return bare !== '' && isFinite(n) ? toNorm(p, n) : null;
}

// What a control accepts, shown when typed text was refused.
function entryHint(p) {
  if (isLevel(p)) return 'Type % (e.g. 50) or dB (e.g. -3, +2 dB)';
  if (p.kind !== 'float' && p.unit === 'Hz') return 'Type a frequency (e.g. 1k, 1 kHz, 1000 Hz) or one of the listed texts';
  if (p.kind !== 'float') return 'Type one of: ' + (p.texts ? p.texts.join(', ') : p.min + ' to ' + p.max);
  var unit = p.label ? ' ' + p.label : '';
  return 'Type a value from ' + displayText(p, 0).replace(/\s.*$/, '') + unit + ' to ' + displayText(p, 1);
}
