// ---------------------------------------------------------------------------
// Frequency response of the current settings, from the engine's own designs
// and its voicing (kPageData.voicing: tables, band gains and Qs, filter
// constants). A section is [b0, b1, b2, a1, a2], already divided by a0.
// ---------------------------------------------------------------------------
var kTwoPi = 6.283185307179586;
var kVoicing = kPageData.voicing;
// The engine's rate, from the plug-in's sample-rate message; until it arrives
// the curve is drawn for the common studio rate.
var gSampleRate = 48000;

function limitFreq(f, fs) { return Math.max(Math.min(f, 0.49 * fs), 1); }
function designBiquad(type, f, gainDb, q, fs) {
  var w0 = kTwoPi * limitFreq(f, fs) / fs, cs = Math.cos(w0), sn = Math.sin(w0);
  var A = Math.pow(10, gainDb / 40), alpha = sn / (2 * q), r = 2 * Math.sqrt(A) * alpha;
  var b0, b1, b2, a0, a1, a2;
  if (type === 0) {
    b0 = A * ((A + 1) - (A - 1) * cs + r); b1 = 2 * A * ((A - 1) - (A + 1) * cs); b2 = A * ((A + 1) - (A - 1) * cs - r);
    a0 = (A + 1) + (A - 1) * cs + r; a1 = -2 * ((A - 1) + (A + 1) * cs); a2 = (A + 1) + (A - 1) * cs - r;
  } else if (type === 1) {
    b0 = A * ((A + 1) + (A - 1) * cs + r); b1 = -2 * A * ((A - 1) + (A + 1) * cs); b2 = A * ((A + 1) + (A - 1) * cs - r);
    a0 = (A + 1) - (A - 1) * cs + r; a1 = 2 * ((A - 1) - (A + 1) * cs); a2 = (A + 1) - (A - 1) * cs - r;
  } else {
    b0 = 1 + alpha * A; b1 = -2 * cs; b2 = 1 - alpha * A; a0 = 1 + alpha / A; a1 = -2 * cs; a2 = 1 - alpha / A;
  }
  return [b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0];
}
// Second-order high- or low-pass with quality q.
function designPass(highpass, f, q, fs) {
  var w0 = kTwoPi * limitFreq(f, fs) / fs, cs = Math.cos(w0), sn = Math.sin(w0);
  var d = sn / (2 * q), a0 = 1 + d;
  var b0 = highpass ? (1 + cs) / 2 : (1 - cs) / 2, b1 = highpass ? -(1 + cs) : 1 - cs;
  return [b0 / a0, b1 / a0, b0 / a0, -2 * cs / a0, (1 - d) / a0];
}
function designFirstOrderShelf(high, f, gainDb, fs) {
  var g = Math.pow(10, gainDb / 20), p = Math.exp(-kTwoPi * limitFreq(f, fs) / fs);
  var L = high ? 1 - p : (1 - p) * g, H = high ? (1 + p) * g : 1 + p;
  return [(H + L) / 2, (L - H) / 2, 0, -p, 0];
}
function designBandListen(f, fs) {
  var w0 = kTwoPi * limitFreq(f, fs) / fs, alpha = Math.sin(w0) * 0.25, a0 = 1 + alpha;
  return [alpha / a0, 0, -alpha / a0, -2 * Math.cos(w0) / a0, (1 - alpha) / a0];
}
// y = (x + y1 - x1) * k: the one-pole high-pass of the coupling and the 6 dB LF Filter.
function onePoleHighPass(k) { return [k, -k, 0, -k, 0]; }
// y1 = y1 + (x - y1) * g: the 6 dB HF Filter.
function onePoleLowPass(g) { return [g, 0, 0, g - 1, 0]; }

// A program band at amount a and Bandwidth w, as the engine voices it.
function bandGainDb(v, a, w) { return (v.gainDb + v.gainDbPerWidth * w) * (v.gainExponent === 1 ? a : Math.pow(a, v.gainExponent)); }
function bandQ(v, a, w) { return Math.max(v.qMin, v.q + v.qPerAmount * a + v.qPerWidth * w); }

// The entry of a table at the index a choice parameter holds (the engine truncates and clamps).
function pick(table, name, fallback) {
  var i = Math.trunc(plain(name, fallback));
  return table[clamp(i, 0, table.length - 1)];
}
function amount(name) { return plain(name, 0) / 100; }
function outputDb() { return amount('Output') * 24 - 12; }

// The LF (high-pass) or HF (low-pass) Filter stage.
function filterSections(highpass, fs, out) {
  var pre = highpass ? 'LF' : 'HF', table = highpass ? kVoicing.lfFilterHz : kVoicing.hfFilterHz;
  var v = Math.trunc(plain(pre + ' Filter', 0));
  if (v <= 0) return;
  var f = table[clamp(v, 1, table.length) - 1], slope = Math.trunc(plain(pre + ' Slope', 1));
  var k = Math.exp(kVoicing.resonanceFactor * amount(pre + ' Reso')), q = kVoicing.fourthOrderQ;
  if (slope === 0) {
    var p = Math.exp(-kTwoPi * f / fs);
    out.push(highpass ? onePoleHighPass(p) : onePoleLowPass(1 - p));
  } else if (slope === 1) {
    out.push(designPass(highpass, f, kVoicing.butterworthQ * k, fs));
  } else {
    out.push(designPass(highpass, f, q[0], fs));
    out.push(designPass(highpass, f, q[1] * k, fs));
  }
}

function programSections(fs, out) {
  var d = kVoicing.drive, c = kVoicing.coupling;
  var drive = amount('Input') * d.perInput + d.offset;
  drive = drive <= d.min ? d.min : (drive >= d.max ? d.max : drive);
  var fc = drive * c.hzPerDrive + c.baseHz;
  fc = fc <= c.minHz ? c.minHz : (fc > c.maxHz ? c.maxHz : fc);
  out.push(onePoleHighPass(Math.exp(-kTwoPi * fc / fs)));
  var cs = kVoicing.characterShelf;
  out.push(designBiquad(cs.type, cs.hz, bandGainDb(cs, 1, 0), bandQ(cs, 1, 0), fs));
  var w = amount('Bandwidth');
  kVoicing.bands.forEach(function (b) {
    var a = amount(b.amount);
    if (a > kVoicing.activeAmount) {
      out.push(designBiquad(b.type, pick(b.hz, b.freq, 0), bandGainDb(b, a, w), bandQ(b, a, w), fs));
    }
  });
}

// The shelf pair of one Baxandall channel, corners moved by the gain as the engine does.
function baxShelf(high, baseHz, gainDb, fs) {
  var spread = Math.pow(10, Math.abs(gainDb) / 40);
  var corner = (gainDb > 0) === high ? baseHz * spread : baseHz / spread;
  return designFirstOrderShelf(high, Math.min(corner, 0.45 * fs), gainDb, fs);
}
function baxShelves(gLo, gHi, fs, out) {
  out.push(baxShelf(false, pick(kVoicing.baxLoShelfHz, 'BAX Lo Shelf Freq', 0), gLo, fs));
  out.push(baxShelf(true, pick(kVoicing.baxHiShelfHz, 'BAX Hi Shelf Freq', 0), gHi, fs));
}

function listenHz(listen) {
  var entry = kVoicing.listen[listen - 1];
  return entry ? pick(entry.hz, entry.freq, 0) : kVoicing.listenDefaultHz;
}

// The chains the page draws: one curve, or two when the Baxandall channels differ.
function responseChains(fs) {
  var gain = outputDb();
  var listen = Math.trunc(plain('Band Listen', 0));
  if (listen !== 0) return [{ sections: [designBandListen(listenHz(listen), fs)], gainDb: gain, label: '' }];
  var bypass = plain('Bypass', 0) >= 0.5;
  if (Math.trunc(plain('Mode', 0)) === 0) {
    var s0 = [];
    filterSections(true, fs, s0);
    if (!bypass) programSections(fs, s0);
    filterSections(false, fs, s0);
    return [{ sections: s0, gainDb: bypass ? 0 : gain, label: '' }];
  }
  if (bypass) return [{ sections: [], gainDb: 0, label: '' }];
  var common = [], tail = [];
  var loCut = pick(kVoicing.baxLoCutHz, 'BAX Lo Cut', 0), hiCut = pick(kVoicing.baxHiCutHz, 'BAX Hi Cut', 0);
  if (loCut > 0) common.push(designPass(true, loCut, kVoicing.butterworthQ, fs));
  if (hiCut > 0) tail.push(designPass(false, hiCut, kVoicing.butterworthQ, fs));
  var tilt = plain('Tilt', 0);
  if (Math.abs(tilt) > kVoicing.activeAmount) {
    tail.push(designFirstOrderShelf(false, kVoicing.tiltHz, -tilt, fs));
    tail.push(designFirstOrderShelf(true, kVoicing.tiltHz, tilt, fs));
  }
  var linked = plain('BAX Link', 1) >= 0.5, ms = plain('BAX Stereo Mode', 0) >= 0.5;
  var loA = plain('BAX Lo Shelf L', 0), hiA = plain('BAX Hi Shelf L', 0);
  var loB = linked ? loA : plain('BAX Lo Shelf R', 0), hiB = linked ? hiA : plain('BAX Hi Shelf R', 0);
  var a = common.slice();
  baxShelves(loA, hiA, fs, a);
  var chains = [{ sections: a.concat(tail), gainDb: gain, label: linked ? '' : (ms ? 'M' : 'L') }];
  if (loB !== loA || hiB !== hiA) {
    var b = common.slice();
    baxShelves(loB, hiB, fs, b);
    chains.push({ sections: b.concat(tail), gainDb: gain, label: ms ? 'S' : 'R' });
  }
  return chains;
}

function chainDb(chain, hz, fs) {
  var w = kTwoPi * hz / fs, cw = Math.cos(w), sw = Math.sin(w), c2 = Math.cos(2 * w), s2 = Math.sin(2 * w);
  var db = chain.gainDb;
  for (var i = 0; i < chain.sections.length; i++) {
    var c = chain.sections[i];
    var nr = c[0] + c[1] * cw + c[2] * c2, ni = -(c[1] * sw + c[2] * s2);
    var dr = 1 + c[3] * cw + c[4] * c2, di = -(c[3] * sw + c[4] * s2);
    db += 10 * Math.log10((nr * nr + ni * ni) / (dr * dr + di * di) + 1e-30);
  }
  return db;
}

// The sample-rate message: {"t":"rate","fs":<hertz>}. A rate the designs
// cannot use is ignored.
function acceptSampleRate(m) {
  if (!m || typeof m !== 'object' || m.t !== 'rate' || !isNum(m.fs) || m.fs < 8000 || m.fs > 1536000) return false;
  gSampleRate = m.fs;
  return true;
}
